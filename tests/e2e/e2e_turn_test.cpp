// Marking cubies and turning layers, as a user does it from the start view:
// two edge cubies of the front face turn it; a corner with an edge does not;
// input during a turn is ignored except F1 and the end of a press.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_script_test.h"

using namespace e2e;

namespace {

// The orbit used to look at the top and right faces after a turn.
constexpr const char* kOrbit = "drag right 320 240 260 290\n";

class TurnTest : public ScriptTest {
  protected:
    void SetUp() override {
        // The start view, to find the front face's cubies.
        Run("@frame 3\n" + Shot("grid") + "press VK_ESCAPE\n");
        Image img;
        ASSERT_TRUE(img.Load(m_scratch.File("grid.png")));
        m_pGrid = std::make_unique<FrontGrid>(img);
        ASSERT_GT(m_pGrid->Face().Width(), 150);
    }

    std::string Click(int column, int row) const { return "click " + m_pGrid->At(column, row) + "\n"; }

    // Highlighted (white) pixels in one cubie's square of the start view.
    int WhiteIn(const Image& img, int column, int row) const {
        return Count(img, m_pGrid->Cell(column, row), IsWhite);
    }
    // Highlighted pixels on the front face's nine stickers (the gaps between
    // cubies can show the white face's stickers).
    int WhiteOnFront(const Image& img) const {
        int n = 0;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) n += WhiteIn(img, column, row);
        return n;
    }

    std::unique_ptr<FrontGrid> m_pGrid;
};

}  // namespace

TEST_F(TurnTest, TwoEdgeCubiesOfTheFrontFaceTurnItAndItsColoursMove) {
    // A first turn about an axis takes 51 frames; clicks during it change nothing.
    Run("@frame 3\n" + Shot("start") + kOrbit + "@frame 6\n" + Shot("before") +
        "keydown VK_HOME\n@frame 8\nkeyup VK_HOME\n@frame 10\n" + Click(1, 0) + "@frame 12\n" + Shot("one") +
        Click(2, 1) + "@frame 30\n" + Shot("turning") + Click(1, 1) + Click(0, 0) + "@frame 32\n" +
        Shot("clicked") + "@frame 75\n" + Shot("after") + kOrbit + "@frame 78\n" + Shot("afterorbit") +
        "press VK_ESCAPE\n");
    Image start = Load("start"), one = Load("one"), turning = Load("turning"), clicked = Load("clicked"),
          after = Load("after"), before = Load("before"), afterOrbit = Load("afterorbit");

    // The first click marks the top edge cubie only.
    EXPECT_GT(WhiteIn(one, 1, 0), m_pGrid->Cell(1, 0).Width() * m_pGrid->Cell(1, 0).Height() / 2);
    EXPECT_EQ(WhiteOnFront(one), WhiteIn(one, 1, 0));

    // Half-way: the face is turned (its outline is wider than the upright square),
    // and both marked cubies still show white.
    const Box upright = CubeBounds(start), tilted = CubeBounds(turning);
    EXPECT_GT(tilted.Width(), upright.Width() * 12 / 10);
    EXPECT_GT(tilted.Height(), upright.Height() * 12 / 10);
    EXPECT_GT(Count(turning, SceneArea(turning), IsWhite), WhiteIn(one, 1, 0) * 13 / 10);

    // Clicks during the turn are ignored: a third mark would stop the turn
    // where it is; it goes on and snaps.
    EXPECT_GT(CubeBounds(clicked).Width(), upright.Width() * 12 / 10);

    // After the snap: upright again, no marks (not even from the ignored clicks).
    const Box snapped = CubeBounds(after);
    EXPECT_NEAR(snapped.left, upright.left, 1);
    EXPECT_NEAR(snapped.right, upright.right, 1);
    EXPECT_NEAR(snapped.top, upright.top, 1);
    EXPECT_NEAR(snapped.bottom, upright.bottom, 1);
    EXPECT_EQ(WhiteOnFront(after), 0);

    // Seen from above and right, the top face's front row and the right
    // face's front column now carry other faces' colours; the front face
    // itself (still one colour) is where it was.
    const int changed = CountDifferent(before, afterOrbit, SceneArea(before));
    EXPECT_GT(changed, 3000);
    EXPECT_LT(changed, CubePixels(before) / 2);
}

TEST_F(TurnTest, ACornerWithAnEdgeIsUnmarkedAndNothingTurns) {
    Run("@frame 3\n" + Shot("start") + Click(0, 0) + "@frame 5\n" + Shot("corner") + Click(1, 0) +
        "@frame 7\n" + Shot("pair") + "@frame 20\n" + Shot("later") + "press VK_ESCAPE\n");
    Image start = Load("start"), corner = Load("corner"), pair = Load("pair"), later = Load("later");
    EXPECT_GT(WhiteIn(corner, 0, 0), 100);
    EXPECT_EQ(WhiteOnFront(pair), 0);
    EXPECT_EQ(CountDifferent(start, pair, SceneArea(start)), 0);
    EXPECT_EQ(CountDifferent(start, later, SceneArea(start)), 0);
}

TEST_F(TurnTest, ADoubleClickMarksAndUnmarksLikeTwoClicks) {
    Run("@frame 3\n" + Click(1, 1) + "@frame 5\n" + Shot("marked") + Click(1, 1) + "@frame 7\n" +
        Shot("unmarked") + "doubleclick " + m_pGrid->At(2, 2) + "\n@frame 9\n" + Shot("double") +
        "press VK_ESCAPE\n");
    Image marked = Load("marked"), unmarked = Load("unmarked"), dbl = Load("double");
    EXPECT_GT(WhiteIn(marked, 1, 1), 100);
    EXPECT_EQ(WhiteOnFront(unmarked), 0);
    EXPECT_EQ(WhiteOnFront(dbl), 0);
}

TEST_F(TurnTest, F1SwapsHelpAndHintDuringATurn) {
    Run("@frame 3\n" + Shot("start") + Click(1, 0) + Click(2, 1) + "@frame 8\npress VK_F1\n@frame 14\n" +
        Shot("turning") + "press VK_ESCAPE\n");
    Image start = Load("start"), turning = Load("turning");
    EXPECT_GT(CubeBounds(turning).Width(), CubeBounds(start).Width() * 105 / 100);  // the turn is under way
    EXPECT_GT(Count(turning, Box{10, 450, 300, 465}, IsWhite), 60);
    EXPECT_EQ(Count(turning, Box{10, 390, 300, 420}, IsOrange), 0);
}

TEST_F(TurnTest, AKeyReleasedDuringATurnIsNotHeldAfterIt) {
    // Home goes down before the turn and comes up during it. Were the release
    // lost, the camera would go on resetting the view every frame and the
    // orbit after the turn would not stick.
    Run("@frame 3\n" + Shot("start") + "keydown VK_HOME\n@frame 5\n" + Click(1, 0) + Click(2, 1) +
        "@frame 10\nkeyup VK_HOME\n@frame 70\n" + kOrbit + "@frame 73\n" + Shot("orbit") + "@frame 76\n" +
        Shot("orbit2") + "press VK_ESCAPE\n");
    Image start = Load("start"), orbit = Load("orbit"), orbit2 = Load("orbit2");
    EXPECT_GT(CountDifferent(start, orbit, SceneArea(start)), 10000);
    EXPECT_EQ(CountDifferent(orbit, orbit2, SceneArea(start)), 0);
}
