// Window positions and sizes far outside any screen (from command-line
// switches such as /startx:2147483647): clamped before any arithmetic, so
// rectangles stay ordered and nothing overflows.
#include <climits>

#include "tests/support/headless_fixture.h"

using tumbral_test::HeadlessTest;

namespace {

class CoordinateTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterTestClass();
    }
    HWND Create(int x, int y, int w, int h) {
        return CreateWindowExW(0, L"TestWindow", L"t", WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr,
                               nullptr, nullptr);
    }
};

// Every rectangle the window system reports is ordered and its size is what
// was asked for, clamped.
void ExpectOrdered(const RECT& r) {
    EXPECT_LE(r.left, r.right);
    EXPECT_LE(r.top, r.bottom);
}

TEST_F(CoordinateTest, AdjustWindowRectSaturatesInsteadOfWrapping) {
    RECT r{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE));
    ExpectOrdered(r);
    EXPECT_LT(r.left, 0);
    EXPECT_GT(r.right, 0);
    // Ordinary rectangles are untouched by the clamp.
    RECT n{0, 0, 640, 480};
    AdjustWindowRect(&n, WS_OVERLAPPEDWINDOW, FALSE);
    EXPECT_EQ(n.right, 648);
    EXPECT_EQ(n.top, -31);
}

TEST_F(CoordinateTest, HugePositionsAndSizesAreClamped) {
    const struct {
        int x, y, w, h;
    } cases[] = {
        {INT_MAX, INT_MAX, 656, 511},
        {INT_MAX - 10, 0, INT_MAX, INT_MAX},
        {-100000, 0, INT_MAX, 100},
        {INT_MIN + 1, INT_MIN + 1, 656, 511},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        HWND hWnd = Create(c.x, c.y, c.w, c.h);
        ASSERT_NE(hWnd, nullptr);
        RECT window{}, client{};
        ASSERT_TRUE(GetWindowRect(hWnd, &window));
        ASSERT_TRUE(GetClientRect(hWnd, &client));
        ExpectOrdered(window);
        ExpectOrdered(client);
        EXPECT_GT(window.right - window.left, 0);
        // Moving it further and resizing it again stays ordered.
        ASSERT_TRUE(SetWindowPos(hWnd, nullptr, INT_MAX, INT_MIN, INT_MAX, INT_MAX, SWP_NOZORDER));
        ASSERT_TRUE(GetWindowRect(hWnd, &window));
        ExpectOrdered(window);
        POINT p{0, 0};
        ASSERT_TRUE(ClientToScreen(hWnd, &p));
        EXPECT_GE(p.x, window.left);
        DestroyWindow(hWnd);
    }
}

// An x without a y (/startx alone): the window goes to x and the top of the
// work area, not to the CW_USEDEFAULT sentinel's INT_MIN.
TEST_F(CoordinateTest, PositionWithDefaultYPlacesAtTheWorkAreaTop) {
    HWND hWnd = Create(-100000, CW_USEDEFAULT, 656, 511);
    ASSERT_NE(hWnd, nullptr);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(hWnd, &r));
    EXPECT_EQ(r.left, -100000);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 656);
    EXPECT_EQ(r.bottom - r.top, 511);
    DestroyWindow(hWnd);
}

}  // namespace
