// The scroll bar: thumb size and place over a range and page, clamping, the
// 8-pixel minimum thumb, thumb drags (also on a bar whose thumb fills the
// track), and the arrows' auto-repeat on the framework's clock.
#include <gtest/gtest.h>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_scroll_bar.h"

namespace {

class ScrollBarTest : public guitest::ControlsTest {
  protected:
    // A bar at (100, 50): 20 wide, so its arrows are 20 high; the track is
    // height - 40 pixels starting at y 70.
    CKitScrollBar* Bar(int height) {
        auto* p = new CKitScrollBar(&m_Dialog);
        EXPECT_EQ(m_Dialog.AdoptControl(p), S_OK);
        p->MoveTo(100, 50);
        p->SetControlSize(20, height);
        return p;
    }
};

TEST_F(ScrollBarTest, ThumbFollowsRangeAndPageAndFirstIsClamped) {
    CKitScrollBar* p = Bar(140);  // track 70..170, 100 pixels
    p->SetSpan(0, 10);
    p->SetVisibleCount(4);
    EXPECT_EQ(p->TroughRect().top, 70);
    EXPECT_EQ(p->TroughRect().bottom, 170);
    EXPECT_EQ(p->GripRect().top, 70);
    EXPECT_EQ(p->GripRect().bottom, 110) << "40-pixel thumb";

    p->ScrollBy(6);
    EXPECT_EQ(p->GetFirst(), 6);
    EXPECT_EQ(p->GripRect().bottom, 170) << "the last page puts the thumb at the bottom";
    p->ScrollBy(100);
    EXPECT_EQ(p->GetFirst(), 6);
    p->ScrollBy(-100);
    EXPECT_EQ(p->GetFirst(), 0);

    p->RevealItem(8);  // below the page: becomes the last visible row
    EXPECT_EQ(p->GetFirst(), 5);
    p->RevealItem(2);  // above: becomes the first
    EXPECT_EQ(p->GetFirst(), 2);
    p->RevealItem(-7);
    EXPECT_EQ(p->GetFirst(), 0);

    // A page as large as the range: no thumb, and the bar draws disabled.
    p->ScrollBy(3);
    p->SetVisibleCount(10);
    EXPECT_EQ(p->GetFirst(), 0);
    EXPECT_FALSE(p->IsThumbShown());
    EXPECT_EQ(p->GripRect().bottom, p->GripRect().top);
    Frame(10.0f);
    EXPECT_EQ(KitArgbFromColor(p->GetSkinElement(1)->TintColor.Current), 0xFFC8C8C8u);
    p->SetVisibleCount(9);
    Frame(10.0f);
    EXPECT_EQ(KitArgbFromColor(p->GetSkinElement(1)->TintColor.Current), 0xFFFFFFFFu);
}

TEST_F(ScrollBarTest, TheThumbIsNeverThinnerThanEightPixels) {
    CKitScrollBar* p = Bar(140);
    p->SetSpan(0, 1000);
    p->SetVisibleCount(1);
    EXPECT_EQ(p->GripRect().bottom - p->GripRect().top, 8);
    p->ScrollBy(999);
    EXPECT_EQ(p->GripRect().bottom, 170);
}

TEST_F(ScrollBarTest, DraggingTheThumbKeepsTheGrabPointAndStopsAtTheTrackEnds) {
    CKitScrollBar* p = Bar(140);
    p->SetSpan(0, 10);
    p->SetVisibleCount(4);
    EXPECT_TRUE(Down(110, 80));  // 10 pixels into the thumb
    EXPECT_TRUE(p->IsThumbDragging());
    EXPECT_TRUE(Move(110, 110));  // thumb top at 100: 30 of 60 pixels of travel
    EXPECT_EQ(p->GetFirst(), 3);
    EXPECT_EQ(p->GripRect().top, 100);
    EXPECT_TRUE(Move(110, 185));  // past the track: the thumb stops at its end
    EXPECT_EQ(p->GripRect().bottom, 170);
    EXPECT_EQ(p->GetFirst(), 6);
    EXPECT_FALSE(Up(110, 185));
    EXPECT_FALSE(p->IsThumbDragging());
    EXPECT_FALSE(Move(110, 100)) << "no drag after the release";
    EXPECT_EQ(p->GetFirst(), 6);

    // The track above the thumb pages up by page - 1.
    EXPECT_TRUE(Down(110, 75));
    Up(110, 75);
    EXPECT_EQ(p->GetFirst(), 3);
}

TEST_F(ScrollBarTest, AThumbThatFillsTheTrackDragsWithoutMovingAndZeroSizeIsHarmless) {
    CKitScrollBar* p = Bar(48);  // track 8 pixels: the minimum thumb fills it
    p->SetSpan(0, 1000);
    p->SetVisibleCount(1);
    p->ScrollBy(500);
    EXPECT_TRUE(Down(110, 72));
    EXPECT_TRUE(Move(110, 60));
    EXPECT_TRUE(Move(110, 77));
    EXPECT_EQ(p->GetFirst(), 500);
    Up(110, 77);

    p->SetControlSize(0, 0);
    p->ScrollBy(-3);
    EXPECT_EQ(p->GetFirst(), 497);
    EXPECT_FALSE(Down(100, 50));
    Frame();
}

// The arrows repeat while the pointer stays on them; a list box forwards the
// pointer to its bar, so the bar sees where the pointer goes.
TEST_F(ScrollBarTest, AHeldArrowStepsAtThePressAfterADelayAndThenAtAFixedPace) {
    CKitListBox* pList = nullptr;
    ASSERT_EQ(m_Dialog.CreateListBox(1, 50, 50, 200, 142, 0, &pList), S_OK);
    for (int i = 0; i < 50; ++i) pList->AddRow(L"row", nullptr);
    CKitScrollBar* p = pList->GetScroller();
    ASSERT_EQ(p->GetVisibleCount(), 9);  // 130 pixels of rows, 14-pixel font
    const int x = 242, y = p->DownArrowRect().top + 5;

    SetTime(1.0);
    EXPECT_TRUE(Down(x, y));
    EXPECT_EQ(p->GetFirst(), 1) << "one step at the press";
    SetTime(1.30);
    Frame();
    EXPECT_EQ(p->GetFirst(), 1);
    SetTime(1.34);
    Frame();
    EXPECT_EQ(p->GetFirst(), 2) << "the first repeat after more than 0.33 s";
    SetTime(1.38);
    Frame();
    EXPECT_EQ(p->GetFirst(), 2);
    SetTime(1.40);
    Frame();
    EXPECT_EQ(p->GetFirst(), 3) << "then every 0.05 s";
    Frame();
    EXPECT_EQ(p->GetFirst(), 3) << "at most one step per frame and period";

    Move(150, 100);  // off the arrow: the repeat pauses
    SetTime(2.0);
    Frame();
    EXPECT_EQ(p->GetFirst(), 3);
    Move(x, y);
    SetTime(2.1);
    Frame();
    EXPECT_EQ(p->GetFirst(), 4);

    Up(x, y);
    SetTime(3.0);
    Frame();
    EXPECT_EQ(p->GetFirst(), 4) << "released: no more steps";
}

}  // namespace
