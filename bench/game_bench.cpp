// The game's costs in the real program: the application on the framework
// (headless, 640 x 480, box.x from app/media, the cube still), one framework
// frame per iteration.
//   BM_Frame/0   no game: today's frame
//   BM_Frame/1   a game whose line does not change ("Moves 0   00:00.0")
//   BM_Frame/2   a game whose clock changes the line every frame (the worst
//                case: at 60 frames a second the tenths change every sixth)
//   BM_Hud/0..2  the HUD alone (statistics, help, the game's line), in the
//                same three ways, in a scene of its own whose end draws every
//                glyph (no clear, so no band is kept): the line's own cost
//   BM_SolvedTest  the test made after every snap
//   BM_Scramble    Ctrl+N's work: back to the start and 25 turns at once
// Run with --benchmark_enable_random_interleaving=true to interleave; with
// TUMBRAL_REDRAW_ALL=1 every band of every frame is drawn (the line's glyphs
// are then drawn every frame whatever changed).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>

#include "app/app_callbacks.h"
#include "app/app_game.h"
#include "app/app_globals.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "app/game_scramble.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/loop/kit_frame.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "platform/win32/kernel_process.h"

namespace {

// The headless backend reads its settings when it starts, which may be before main.
const bool g_bHeadless = [] {
    setenv("TUMBRAL_BACKEND", "headless", 1);
    setenv("TUMBRAL_HEADLESS_NOWAIT", "1", 1);
    setenv("TUMBRAL_DEBUG_OUTPUT", "off", 1);
    return true;
}();

// The program as AppMain sets it up (vertical sync off), without its main loop.
bool StartProgram() {
    static const bool s_bStarted = [] {
        if (!g_bHeadless || chdir(TUMBRAL_SOURCE_DIR "/app/media") != 0) return false;
        KitRegisterDeviceCreated(AppDeviceCreated, nullptr);
        KitRegisterDeviceReset(AppDeviceReset, nullptr);
        KitRegisterDeviceLost(AppDeviceLost, nullptr);
        KitRegisterDeviceDestroyed(AppDeviceDestroyed, nullptr);
        KitRegisterMsgProc(AppMsgProc, nullptr);
        KitRegisterKeyboard(AppKeyboard, nullptr);
        KitRegisterFrameRender(AppFrameRender, nullptr);
        KitRegisterFrameMove(AppFrameMove, nullptr);
        AppInitSettingsDialog();
        AppInitRestoreDialog();
        const char* argv[] = {"game_bench", "/forcevsync:0"};
        plat::SetProcessCommandLine(2, argv);
        if (FAILED(KitStartup(true, true, false, true))) return false;
        if (FAILED(KitCreateWindow(L"Tumbral"))) return false;
        if (FAILED(KitBuildDevice(0, true, 640, 480, AppAcceptDevice, AppAdjustDeviceSetup, nullptr)))
            return false;
        for (int i = 0; i < 30; ++i) KitRenderOneFrame();  // the cube built, the button faded in
        return g_PuzzleCube.IsLaidOut();
    }();
    return s_bStarted;
}

void BM_Frame(benchmark::State& state) {
    if (!StartProgram()) return state.SkipWithError("the program did not start");
    const int nMode = static_cast<int>(state.range(0));
    AppEndGame();
    if (nMode > 0) g_Game.Start();
    if (nMode == 2) g_Game.TurnRunning();
    for (int i = 0; i < 5; ++i) KitRenderOneFrame();
    for (auto _ : state) {
        if (nMode == 2) g_Game.AdvanceClock(0.1f, false);
        KitRenderOneFrame();
    }
    AppEndGame();
}
BENCHMARK(BM_Frame)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_Hud(benchmark::State& state) {
    if (!StartProgram()) return state.SkipWithError("the program did not start");
    const int nMode = static_cast<int>(state.range(0));
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    AppEndGame();
    if (nMode > 0) g_Game.Start();
    if (nMode == 2) g_Game.TurnRunning();
    for (auto _ : state) {
        if (nMode == 2) g_Game.AdvanceClock(0.1f, false);
        pd3dDevice->BeginScene();
        AppDrawHud();
        pd3dDevice->EndScene();
    }
    AppEndGame();
}
BENCHMARK(BM_Hud)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_SolvedTest(benchmark::State& state) {
    if (!StartProgram()) return state.SkipWithError("the program did not start");
    CGameRandom rng(1);
    AppScrambleCube(g_PuzzleCube, rng);
    for (auto _ : state) benchmark::DoNotOptimize(g_PuzzleCube.ShowsOneColourPerFace());
}
BENCHMARK(BM_SolvedTest)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kNanosecond);

void BM_Scramble(benchmark::State& state) {
    if (!StartProgram()) return state.SkipWithError("the program did not start");
    CGameRandom rng(1);
    for (auto _ : state) benchmark::DoNotOptimize(AppScrambleCube(g_PuzzleCube, rng).size());
}
BENCHMARK(BM_Scramble)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
