// A headless window keeps the last frame by copying only the rows its
// presenter says changed, and takes the whole frame when the presenter or the
// size differs from the frame it holds.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/headless/headless_backend.h"

namespace tumbral_test {
namespace {

TEST(HeadlessPresentRows, OnlyChangedRowsOfTheSamePresenterAreCopied) {
    plat::HeadlessConfig config;
    config.noWait = true;
    plat::HeadlessBackend backend(config);
    plat::NativeWindowId id = backend.CreateNativeWindow(plat::NativeWindowDesc{});
    std::vector<uint32_t> a(8 * 6, 0xA), b(8 * 6, 0xB);
    int deviceOne = 0, deviceTwo = 0;
    std::vector<std::pair<int, int>> rows{{2, 4}};

    plat::FrameView first{a.data(), 8, 6, 8};
    first.source = &deviceOne;
    backend.Present(id, first, false);
    plat::FrameView second{b.data(), 8, 6, 8, rows.data(), int(rows.size()), &deviceOne};
    backend.Present(id, second, false);
    const auto* w = backend.Window(id);
    ASSERT_NE(w, nullptr);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(w->frame[size_t(y) * 8 + 3], y >= 2 && y < 4 ? 0xBu : 0xAu) << y;

    // Another presenter's rows say nothing about this window's frame: all of it is taken.
    plat::FrameView other{b.data(), 8, 6, 8, rows.data(), 0, &deviceTwo};
    backend.Present(id, other, false);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(w->frame[size_t(y) * 8 + 3], 0xBu) << y;

    // A new size: all of it, whatever the rows say.
    std::vector<uint32_t> c(4 * 3, 0xC);
    plat::FrameView smaller{c.data(), 4, 3, 4, rows.data(), 0, &deviceTwo};
    backend.Present(id, smaller, false);
    ASSERT_EQ(w->frameWidth, 4);
    EXPECT_EQ(w->frame[2 * 4 + 1], 0xCu);
}

}  // namespace
}  // namespace tumbral_test
