// The game's pieces without a window: the generator against its reference
// output, the scramble's rules, the /scramble switch, and the HUD's texts.
#include <gtest/gtest.h>

#include <string>

#include "app/app_game.h"
#include "app/game_scramble.h"
#include "app/game_switch.h"
#include "tests/common/kit/debug_capture.h"

TEST(GameRandom, MatchesTheReferenceOutputAndStaysInBounds) {
    // pcg32-demo of the reference implementation: seed 42, stream 54.
    CGameRandom rng(42);
    for (uint32_t expected : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu, 0xcbed606eu})
        EXPECT_EQ(rng.Next(), expected);
    int seen[9] = {};
    for (int i = 0; i < 900; ++i) ++seen[rng.Below(9)];
    for (int n : seen) EXPECT_GT(n, 50);
}

TEST(GameScramble, TwentyFiveTurnsNeverUndoingTheOneBeforeAndTheSameForOneSeed) {
    CGameRandom a(7), b(7), c(8);
    const std::vector<LayerTurn> turns = AppMakeScramble(a);
    ASSERT_EQ(turns.size(), 25u);
    for (size_t i = 0; i < turns.size(); ++i) {
        EXPECT_TRUE(turns[i].nAxis >= 0 && turns[i].nAxis < 3 && turns[i].nLayer >= -1 &&
                    turns[i].nLayer <= 1);
        EXPECT_TRUE(turns[i].nDir == 1 || turns[i].nDir == -1);
        if (i > 0) {
            EXPECT_FALSE(turns[i].nAxis == turns[i - 1].nAxis && turns[i].nLayer == turns[i - 1].nLayer &&
                         turns[i].nDir == -turns[i - 1].nDir)
                << i;
        }
    }
    auto same = [](const std::vector<LayerTurn>& x, const std::vector<LayerTurn>& y) {
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].nAxis != y[i].nAxis || x[i].nLayer != y[i].nLayer || x[i].nDir != y[i].nDir)
                return false;
        return x.size() == y.size();
    };
    EXPECT_TRUE(same(turns, AppMakeScramble(b)));
    EXPECT_FALSE(same(turns, AppMakeScramble(c)));
}

TEST(GameSwitch, ReadsTheSeedAndReportsWhatIsNoSeed) {
    auto parse = [](std::vector<const WCHAR*> args, std::string* pOut) {
        args.insert(args.begin(), L"tumbral");
        kittest::DebugCapture capture;
        const ScrambleSwitch s = AppParseScrambleSwitch(int(args.size()), args.data());
        *pOut = capture.Text();
        return s;
    };
    std::string out;
    EXPECT_FALSE(parse({L"/windowed", L"/scramblex", L"scramble"}, &out).bScramble);
    ScrambleSwitch s = parse({L"-SCRAMBLE"}, &out);
    EXPECT_TRUE(s.bScramble && !s.bSeeded);
    s = parse({L"/scramble:12", L"/Scramble:4294967295"}, &out);
    EXPECT_TRUE(s.bScramble && s.bSeeded && s.nSeed == 4294967295u);
    EXPECT_EQ(out, "");
    for (const WCHAR* bad : {L"/scramble:", L"/scramble:-1", L"/scramble:+5", L"/scramble:12abc",
                             L"/scramble:4294967296", L"/scramble:99999999999999999999"}) {
        s = parse({bad}, &out);
        EXPECT_TRUE(s.bScramble && !s.bSeeded) << out;
        EXPECT_NE(out.find("/scramble: \""), std::string::npos) << out;
    }
}

TEST(GameHud, TheLinesTexts) {
    WCHAR str[64];
    g_Game.End();
    EXPECT_FALSE(AppGameLineText(0, str, 64));
    g_Game.Start();
    g_Game.TurnRunning();
    for (int i = 0; i < 12; ++i) g_Game.TurnFinished(1);
    g_Game.AdvanceClock(83.45f, false);
    g_Game.AdvanceClock(5.0f, true);  // paused: not counted
    ASSERT_TRUE(AppGameLineText(0, str, 64));
    EXPECT_STREQ(str, L"Moves 12   01:23.4");
    EXPECT_FALSE(AppGameLineText(1, str, 64));
    g_Game.SetBest(g_Game.Solve());
    g_Game.AdvanceClock(10.0f, false);  // stopped
    ASSERT_TRUE(AppGameLineText(0, str, 64));
    EXPECT_STREQ(str, L"Solved: 12 moves, 01:23.4");
    ASSERT_TRUE(AppGameLineText(1, str, 64));
    EXPECT_STREQ(str, L"Best 12 moves, 01:23.4");
    EXPECT_TRUE(IsBetterResult({11, 900}, {12, 10}));
    EXPECT_TRUE(IsBetterResult({12, 9}, {12, 10}));
    EXPECT_FALSE(IsBetterResult({12, 10}, {12, 10}));
    g_Game.End();
}
