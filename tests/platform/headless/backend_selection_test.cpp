// The table of backends, creation by name, and the headless backend's monitors and modes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/backend/backend_table.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32user.h"

namespace {

TEST(BackendSelection, TableNamesEachBackendOnceWithSdlPreferred) {
    std::vector<std::string> names;
    for (const plat::BackendEntry& entry : plat::Backends()) {
        ASSERT_NE(entry.name, nullptr);
        ASSERT_NE(entry.create, nullptr);
        names.push_back(entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"sdl", "headless"}));
}

TEST(BackendSelection, BackendsAreCreatedByTheirTableName) {
    auto headless = plat::CreateBackendByName("headless");
    ASSERT_TRUE(headless);
    EXPECT_STREQ(headless->Name(), "headless");
    EXPECT_EQ(plat::CreateBackendByName("no-such-backend"), nullptr);
    EXPECT_EQ(plat::CreateBackendByName(""), nullptr);
    // Names are matched exactly, as TUMBRAL_BACKEND gives them.
    EXPECT_EQ(plat::CreateBackendByName("Headless"), nullptr);
    // SDL without a reachable display gives no backend rather than a broken one.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        EXPECT_EQ(plat::CreateBackendByName("sdl"), nullptr);
    }
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

namespace {

// Headless message boxes are written to standard error as UTF-8; a value that
// is no character becomes U+FFFD rather than bytes no reader can decode, and
// terminal controls are escaped.
TEST(BackendSelection, HeadlessMessageBoxesReachStandardErrorAsUtf8) {
    plat::HeadlessBackend backend(plat::HeadlessConfig{});
    plat::MessageBoxRequest request;
    request.caption = L"\u8FD8\u539F";
    request.text = std::wstring(L"a\U0001F600b") + wchar_t(0x110000) + L"\n\x1b[2J\x9b";
    request.type = MB_YESNO;
    testing::internal::CaptureStderr();
    const int answer = backend.ShowMessageBox(request);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDYES);
    // Line feeds stay; terminal controls (C0 and C1) are escaped.
    EXPECT_EQ(out,
              "[message box] \xe8\xbf\x98\xe5\x8e\x9f: a\xf0\x9f\x98\x80"
              "b\xef\xbf\xbd\n\\x1B[2J\\xC2\\x9B\n");
}

// A monitor list that cannot be read is quoted in the note with its control
// characters and malformed bytes escaped.
TEST(BackendSelection, UnreadableMonitorListIsQuotedEscaped) {
    setenv("TUMBRAL_HEADLESS_MONITORS",
           "1x1\x1b]0;t\x07\xc2\x9b"
           "2J\xfe",
           1);
    testing::internal::CaptureStderr();
    auto backend = plat::CreateHeadlessBackend();
    const std::string out = testing::internal::GetCapturedStderr();
    unsetenv("TUMBRAL_HEADLESS_MONITORS");
    ASSERT_TRUE(backend);
    EXPECT_EQ(backend->Monitors().size(), 1u);
    EXPECT_NE(out.find("TUMBRAL_HEADLESS_MONITORS=\"1x1\\x1B]0;t\\x07\\xC2\\x9B2J\\xFE\" is not a list"),
              std::string::npos)
        << out;
}

}  // namespace
