// The game's pieces without a window: the generator against its reference
// output, the scramble's rules, the /scramble switch and the HUD's texts.
#include <gtest/gtest.h>

#include "app/app_game.h"
#include "app/game_scramble.h"
#include "app/game_switch.h"
#include "tests/common/kit/debug_capture.h"

TEST(GameScramble, ThePcg32ReferenceOutputAndTurnsThatNeverUndoTheOneBefore) {
    // pcg32-demo of the reference implementation: seed 42, stream 54.
    CGameRandom rng(42);
    for (uint32_t expected : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu, 0xcbed606eu})
        EXPECT_EQ(rng.Next(), expected);
    CGameRandom a(7), b(7), c(8);
    const std::vector<LayerTurn> turns = AppMakeScramble(a), again = AppMakeScramble(b);
    ASSERT_EQ(turns.size(), 25u);
    bool bOtherSeedDiffers = false;
    const std::vector<LayerTurn> other = AppMakeScramble(c);
    for (size_t i = 0; i < turns.size(); ++i) {
        EXPECT_TRUE(turns[i].nLayer >= -1 && turns[i].nLayer <= 1 &&
                    (turns[i].nDir == 1 || turns[i].nDir == -1));
        EXPECT_TRUE(turns[i].nAxis == again[i].nAxis && turns[i].nLayer == again[i].nLayer &&
                    turns[i].nDir == again[i].nDir);
        bOtherSeedDiffers |= turns[i].nAxis != other[i].nAxis || turns[i].nLayer != other[i].nLayer;
        if (i == 0) continue;
        EXPECT_FALSE(turns[i].nAxis == turns[i - 1].nAxis && turns[i].nLayer == turns[i - 1].nLayer &&
                     turns[i].nDir == -turns[i - 1].nDir)
            << i;
    }
    EXPECT_TRUE(bOtherSeedDiffers);
}

TEST(GameSwitch, ReadsTheSeedAndReportsWhatIsNoSeed) {
    std::string out;
    auto parse = [&out](std::vector<const WCHAR*> args) {
        args.insert(args.begin(), L"tumbral");
        kittest::DebugCapture capture;
        const ScrambleSwitch s = AppParseScrambleSwitch(int(args.size()), args.data());
        out = capture.Text();
        return s;
    };
    EXPECT_FALSE(parse({L"/windowed", L"/scramblex", L"scramble"}).bScramble);
    ScrambleSwitch s = parse({L"-SCRAMBLE"});
    EXPECT_TRUE(s.bScramble && !s.bSeeded);
    s = parse({L"/scramble:12", L"/Scramble:4294967295"});
    EXPECT_TRUE(s.bScramble && s.bSeeded && s.nSeed == 4294967295u && out.empty());
    for (const WCHAR* bad : {L"/scramble:", L"/scramble:-1", L"/scramble:+5", L"/scramble:12abc",
                             L"/scramble:4294967296", L"/scramble:99999999999999999999"}) {
        s = parse({bad});
        EXPECT_TRUE(s.bScramble && !s.bSeeded);
        EXPECT_NE(out.find("/scramble: \""), std::string::npos) << out;
    }
}

TEST(GameHud, TheLinesTextsWithTheClockFrozenWhilePausedAndStoppedAtTheSolve) {
    WCHAR str[64];
    g_Game.Start();
    g_Game.AdvanceClock(5.0f, false);  // before the first turn: not counted
    g_Game.TurnRunning();
    for (int i = 0; i < 12; ++i) g_Game.TurnFinished(1);
    g_Game.AdvanceClock(83.45f, false);
    g_Game.AdvanceClock(5.0f, true);
    ASSERT_TRUE(AppGameLineText(0, str, 64));
    EXPECT_STREQ(str, L"Moves 12   01:23.4");
    EXPECT_FALSE(AppGameLineText(1, str, 64));
    g_Game.SetBest(g_Game.Solve());
    g_Game.AdvanceClock(10.0f, false);
    ASSERT_TRUE(AppGameLineText(0, str, 64));
    EXPECT_STREQ(str, L"Solved: 12 moves, 01:23.4");
    ASSERT_TRUE(AppGameLineText(1, str, 64));
    EXPECT_STREQ(str, L"Best 12 moves, 01:23.4");
    EXPECT_TRUE(IsBetterResult({11, 900}, {12, 10}) && IsBetterResult({12, 9}, {12, 10}));
    EXPECT_FALSE(IsBetterResult({12, 10}, {12, 10}));
    g_Game.End();
    EXPECT_FALSE(AppGameLineText(0, str, 64));
}
