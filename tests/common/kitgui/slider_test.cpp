// The slider through window messages: keys and their limits, a click on the
// track steps by one, knob drags and drags after a track click follow the
// pointer, the wheel, range clamping, and empty ranges or widths.
#include <gtest/gtest.h>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_slider.h"

namespace {

// The slider below: at (100, 200), 200 x 20, range 0..100 at 50: the knob's
// centre is at x 200, its square 190..210.
class SliderTest : public guitest::ControlsTest {
  protected:
    CKitSlider* Slider(int nMin = 0, int nMax = 100, int nValue = 50) {
        CKitSlider* p = nullptr;
        EXPECT_EQ(m_Dialog.CreateSlider(1, 100, 200, 200, 20, nMin, nMax, nValue, false, &p), S_OK);
        return p;
    }
};

TEST_F(SliderTest, KeysStepPageAndStopAtTheEnds) {
    CKitSlider* p = Slider();
    m_Dialog.FocusControl(p);
    EXPECT_TRUE(Key(VK_PRIOR));
    EXPECT_EQ(p->GetLevel(), 60);
    EXPECT_TRUE(Key(VK_END));
    EXPECT_EQ(p->GetLevel(), 100);
    EXPECT_EQ(Count(KIT_EVT_SLIDER_CHANGED), 2);
    EXPECT_TRUE(Key(VK_PRIOR));
    EXPECT_EQ(p->GetLevel(), 100);
    EXPECT_EQ(Count(KIT_EVT_SLIDER_CHANGED), 2) << "no change, no event";
    EXPECT_TRUE(Key(VK_LEFT));
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(p->GetLevel(), 98);
    EXPECT_TRUE(Key(VK_NEXT));
    EXPECT_EQ(p->GetLevel(), 88);
    EXPECT_TRUE(Key(VK_HOME));
    EXPECT_EQ(p->GetLevel(), 0);
    EXPECT_FALSE(Key(VK_SPACE));

    p->SetBounds(0, 1000);
    EXPECT_TRUE(Key(VK_PRIOR));
    EXPECT_EQ(p->GetLevel(), 100) << "a tenth of a larger range";
}

TEST_F(SliderTest, AClickOnTheTrackStepsByOneAndADragFollowsThePointer) {
    CKitSlider* p = Slider();
    EXPECT_EQ(p->KnobRect().left, 190);
    EXPECT_TRUE(Down(280, 210));
    EXPECT_EQ(p->GetLevel(), 51) << "one step, not a jump to the point";
    // Dragging on from there puts the value under the pointer: x 250 is 150
    // of 200 pixels along.
    EXPECT_TRUE(Move(250, 210));
    EXPECT_EQ(p->GetLevel(), 75);
    EXPECT_TRUE(Up(250, 210));
    EXPECT_EQ(Count(KIT_EVT_SLIDER_CHANGED), 3) << "the release reports once more";
    EXPECT_FALSE(Move(260, 210));
    EXPECT_EQ(p->GetLevel(), 75);

    Click(120, 210);
    EXPECT_EQ(p->GetLevel(), 74);

    // The knob keeps its grab point: a press 3 pixels right of the centre
    // and a move of 50 pixels moves the value by 25.
    const int nCentre = 100 + p->KnobX();
    EXPECT_TRUE(Down(nCentre + 3, 205));
    EXPECT_TRUE(p->IsHeld());
    EXPECT_TRUE(Move(nCentre - 47, 205));
    EXPECT_EQ(p->GetLevel(), 49);
    EXPECT_TRUE(Move(900, 205));
    EXPECT_EQ(p->GetLevel(), 100) << "clamped to the range";
    Up(900, 205);
    EXPECT_EQ(p->KnobRect().left, 290);
}

TEST_F(SliderTest, TheWheelForwardLowersTheValue) {
    CKitSlider* p = Slider();
    EXPECT_TRUE(Wheel(120, 150, 210));
    EXPECT_EQ(p->GetLevel(), 49);
    EXPECT_TRUE(Wheel(-240, 150, 210));
    EXPECT_EQ(p->GetLevel(), 51);
    EXPECT_TRUE(Wheel(60, 150, 210));
    EXPECT_EQ(p->GetLevel(), 51);
}

TEST_F(SliderTest, RangesClampTheValueAndEmptyRangesOrWidthsKeepItAtLow) {
    m_Dialog.AllowProgrammaticEvents(true);
    CKitSlider* p = Slider(0, 100, 500);
    EXPECT_EQ(p->GetLevel(), 100);
    p->SetBounds(20, 40);
    EXPECT_EQ(p->GetLevel(), 40);
    int nLow = 0, nHigh = 0;
    p->GetBounds(&nLow, &nHigh);
    EXPECT_EQ(nLow, 20);
    EXPECT_EQ(nHigh, 40);
    p->SetLevel(-5);
    EXPECT_EQ(p->GetLevel(), 20);
    EXPECT_EQ(p->KnobRect().left, 90);

    p->SetBounds(7, 7);
    EXPECT_EQ(p->GetLevel(), 7);
    EXPECT_EQ(p->KnobX(), 0);
    Click(250, 210);  // a step that the range does not allow
    EXPECT_EQ(p->GetLevel(), 7);
    Down(100, 210);  // on the knob: a drag
    Move(200, 210);
    EXPECT_EQ(p->GetLevel(), 7);
    Up(200, 210);

    p->SetBounds(0, 100);
    p->SetControlSize(0, 20);
    EXPECT_EQ(p->LevelAtX(150), 0);
    EXPECT_TRUE(Down(100, 210));  // the knob still sticks out by half its width
    Move(180, 210);
    EXPECT_EQ(p->GetLevel(), 0);
    EXPECT_EQ(p->KnobX(), 0);
    Up(180, 210);
    Frame();
}

}  // namespace
