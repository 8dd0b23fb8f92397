// Backend factories by name and the headless backend's monitors and modes.
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"

namespace {

int g_created = 0;

std::unique_ptr<plat::Backend> MakeCountingHeadless() {
    ++g_created;
    return std::make_unique<plat::HeadlessBackend>(plat::HeadlessConfig{});
}

TEST(BackendSelection, FactoriesAreFoundByName) {
    auto headless = plat::CreateBackendByName("headless");
    ASSERT_TRUE(headless);
    EXPECT_STREQ(headless->Name(), "headless");
    EXPECT_EQ(plat::CreateBackendByName("no-such-backend"), nullptr);
    plat::RegisterBackendFactory("counting", &MakeCountingHeadless);
    EXPECT_TRUE(plat::CreateBackendByName("counting"));
    EXPECT_EQ(g_created, 1);
}

TEST(BackendSelection, HeadlessMonitorsModesAndWorkArea) {
    plat::HeadlessConfig config;
    config.monitors = {plat::DisplayMode{1280, 1024, 75, 32}, plat::DisplayMode{800, 600, 60, 32}};
    plat::HeadlessBackend backend(config);
    auto mons = backend.Monitors();
    ASSERT_EQ(mons.size(), 2u);
    EXPECT_TRUE(mons[0].primary);
    EXPECT_FALSE(mons[1].primary);
    EXPECT_EQ(mons[0].workArea.bottom, 1024 - 40);
    EXPECT_EQ(mons[1].bounds.left, 1280);
    EXPECT_EQ(mons[1].workArea.bottom, 600);
    EXPECT_EQ(mons[0].desktop.refreshHz, 75);
    bool has640x16 = false, bigger = false, has60 = false;
    for (auto& m : mons[0].modes) {
        if (m.width == 640 && m.height == 480 && m.bitsPerPixel == 16) has640x16 = true;
        if (m.width > 1280 || m.height > 1024) bigger = true;
        if (m.refreshHz == 60) has60 = true;
    }
    EXPECT_TRUE(has640x16);
    EXPECT_FALSE(bigger);
    EXPECT_TRUE(has60);
    EXPECT_EQ(mons[1].modes.front().width, 640);
}

}  // namespace
