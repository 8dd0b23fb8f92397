// The restore dialog's drawing: OnRender of a dialog holding one button
// labelled "还原" at (540, 48) on a 640 x 480 software device, drawing
// finished (every call is followed by EndScene, which draws the queued quads,
// and BeginScene).
//   BM_DialogOnRender         the button idle
//   BM_DialogOnRenderHovered  the button under the mouse (both layers drawn)
#include <benchmark/benchmark.h>

#include "bench/dialog_bench_scene.h"
#include "common/kitgui/control_button.h"

namespace {

struct Scene : DialogBenchScene {
    CKitButton* button = nullptr;

    Scene() {
        if (!Open()) return;
        dialog.CreateButton(4, L"还原", 30, 100, 80, 35, 'R', false, &button);
        if (!button) return;
        button->MoveTo(540, 48);
        if (!Start()) return;
        // Fade the looks in and warm the glyph cache.
        for (int i = 0; i < 10; ++i) dialog.OnRender(0.1f);
        Finish();
        ready = true;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void Run(benchmark::State& state, bool bHovered) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    if (bHovered)
        s.button->OnPointerEnter();
    else
        s.button->OnPointerLeave();
    for (int i = 0; i < 10; ++i) s.dialog.OnRender(0.1f);
    s.Finish();
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.dialog.OnRender(1.0f / 60.0f));
        s.Finish();
    }
}

void BM_DialogOnRender(benchmark::State& state) { Run(state, false); }
BENCHMARK(BM_DialogOnRender)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_DialogOnRenderHovered(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_DialogOnRenderHovered)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

// Only the finishing of an empty scene, to read the dialog's own share.
void BM_EmptySceneFinish(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device");
    for (auto _ : state) s.Finish();
}
BENCHMARK(BM_EmptySceneFinish)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
