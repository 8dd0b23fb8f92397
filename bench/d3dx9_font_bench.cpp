// DrawTextW of a 40-character line with a warm glyph cache on the headless
// device, drawn for real: the device defers drawing, so every call is followed
// by EndScene (which finishes the queued glyph quads) and BeginScene.
//   BM_DrawTextOwnSprite      the font's own sprite: Begin, quads, End per call
//   BM_DrawTextCallerSprite   the HUD's way: the caller's sprite begun once per call
//   BM_DrawTextChangingText   digits change every call, so the line is shaped anew
//   BM_DrawTextCalcRect       layout only (DT_CALCRECT): the font's share without rasterisation
#include <benchmark/benchmark.h>

#include <cstdio>

#include "tests/support/device_setup.h"
#include "platform/d3dx9.h"

namespace {

const wchar_t kLine[] = L"Frame rate: 59.94 fps (640x480) X8R8G8B8";
static_assert(sizeof(kLine) / sizeof(kLine[0]) == 41);

// One device and font for the whole run.
struct Scene {
    HWND hwnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    ID3DXFont* font = nullptr;
    ID3DXSprite* sprite = nullptr;

    Scene() {
        if (!tumbral_test::OpenWindowAndDevice(640, 480, false, hwnd, d3d, device)) return;
        if (FAILED(D3DXCreateFontW(device, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &font)) ||
            FAILED(D3DXCreateSprite(device, &sprite)))
            return;
        // Warm the glyph cache with every character the runs use.
        font->PreloadTextW(L"Frame rate: 0123456789. fps (640x480) X8R8G8B8", -1);
        device->BeginScene();
    }
    bool Ready() const { return font && sprite; }
    // Finishes the queued drawing, so its cost is part of the measurement.
    void Finish() { tumbral_test::FinishDrawing(device); }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_DrawTextOwnSprite(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.Ready()) return state.SkipWithError("no device or font");
    RECT rect{5, 5, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.font->DrawTextW(nullptr, kLine, -1, &rect, DT_NOCLIP, 0xFFFFFF00));
        s.Finish();
    }
}
BENCHMARK(BM_DrawTextOwnSprite)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_DrawTextCallerSprite(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.Ready()) return state.SkipWithError("no device or font");
    RECT rect{5, 5, 0, 0};
    for (auto _ : state) {
        s.sprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE);
        benchmark::DoNotOptimize(s.font->DrawTextW(s.sprite, kLine, -1, &rect, DT_NOCLIP, 0xFFFFFF00));
        s.sprite->End();
        s.Finish();
    }
}
BENCHMARK(BM_DrawTextCallerSprite)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_DrawTextChangingText(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.Ready()) return state.SkipWithError("no device or font");
    RECT rect{5, 5, 0, 0};
    wchar_t line[64];
    unsigned frame = 0;
    for (auto _ : state) {
        std::swprintf(line, 64, L"Frame rate: %05u fps (640x480) X8R8G8B8", frame++ % 100000);
        benchmark::DoNotOptimize(s.font->DrawTextW(nullptr, line, -1, &rect, DT_NOCLIP, 0xFFFFFF00));
        s.Finish();
    }
}
BENCHMARK(BM_DrawTextChangingText)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_DrawTextCalcRect(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.Ready()) return state.SkipWithError("no device or font");
    for (auto _ : state) {
        RECT rect{5, 5, 0, 0};
        benchmark::DoNotOptimize(
            s.font->DrawTextW(nullptr, kLine, -1, &rect, DT_NOCLIP | DT_CALCRECT, 0xFFFFFF00));
    }
}
BENCHMARK(BM_DrawTextCalcRect)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
