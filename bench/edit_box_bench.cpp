// The edit box and its text-layout service.
//   BM_AnalyseMixedLine200   ScriptStringAnalyse + ScriptStringFree of a 200-character
//                            Latin/CJK/Greek/Cyrillic line; every iteration's text differs
//                            (so no shaping cache serves it)
//   BM_CaretToX / BM_XToCaret  one query on that analysed line
//   BM_EditBoxKeystroke      one typed character (then one Backspace, alternately) in a
//                            1,000-character box: insertion, re-layout, the dialog drawn,
//                            drawing finished (EndScene + BeginScene)
//   BM_EditBoxTypingNewText  the same, but every keystroke types a new character, so each text
//                            is one the layout service has not seen before
//   BM_EditBoxFrameIdle      the same drawing without a keystroke, to read the keystroke's share
//   BM_EditBoxKeystrokeAtEnd/N  one typed character (then one Backspace, alternately) at the end
//                            of an N-character line (1,000 to 65,533, the most a box holds less
//                            one), to read how the keystroke grows with the line
//   BM_EditBoxTypingAtEnd/N  typing on at the end of a line of N - 100 to N characters, every
//                            keystroke a text not seen before (as BM_EditBoxTypingNewText)
#include <benchmark/benchmark.h>

#include <cwchar>
#include <memory>
#include <string>

#include "bench/dialog_bench_scene.h"
#include "common/kitgui/control_edit_box.h"
#include "platform/d3dx9/font_dc.h"
#include "platform/d3dx9/font_engine.h"
#include "platform/usp10.h"
#include "tests/support/layout_service.h"

namespace {

std::wstring MixedLine(size_t length) {
    static const std::wstring kPiece = L"Tumbral 还原 cube, Κύβος 立方体 кубик 42; ";
    std::wstring line;
    while (line.size() < length) line += kPiece;
    line.resize(length);
    return line;
}

struct Service : tumbral_test::LayoutService {
    SCRIPT_STRING_ANALYSIS Analyse(const std::wstring& text) {
        SCRIPT_CONTROL control{};
        SCRIPT_STATE state{};
        SCRIPT_STRING_ANALYSIS ssa = nullptr;
        analyse(dc, text.c_str(), int(text.size()) + 1, int(text.size()) * 3 / 2 + 16, -1,
                SSA_BREAK | SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, &control, &state, nullptr, nullptr,
                nullptr, &ssa);
        return ssa;
    }
};

Service& TheService() {
    static Service service;
    return service;
}

void BM_AnalyseMixedLine200(benchmark::State& state) {
    Service& s = TheService();
    if (!s.Ready()) return state.SkipWithError("no layout service or font");
    std::wstring line = MixedLine(200);
    unsigned n = 0;
    for (auto _ : state) {
        // Four letters count the iterations, so every text is new.
        for (int k = 0; k < 4; ++k) line[size_t(k)] = wchar_t(L'a' + (n >> (5 * k)) % 26);
        ++n;
        SCRIPT_STRING_ANALYSIS ssa = s.Analyse(line);
        benchmark::DoNotOptimize(ssa);
        s.free(&ssa);
    }
}
BENCHMARK(BM_AnalyseMixedLine200)->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_CaretToX(benchmark::State& state) {
    Service& s = TheService();
    if (!s.Ready()) return state.SkipWithError("no layout service or font");
    SCRIPT_STRING_ANALYSIS ssa = s.Analyse(MixedLine(200));
    int cp = 0, x = 0;
    for (auto _ : state) {
        s.cpToX(ssa, cp, FALSE, &x);
        benchmark::DoNotOptimize(x);
        cp = (cp + 37) % 201;
    }
    s.free(&ssa);
}
BENCHMARK(BM_CaretToX)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_XToCaret(benchmark::State& state) {
    Service& s = TheService();
    if (!s.Ready()) return state.SkipWithError("no layout service or font");
    SCRIPT_STRING_ANALYSIS ssa = s.Analyse(MixedLine(200));
    int width = 0;
    s.cpToX(ssa, 200, FALSE, &width);
    int x = 0, cp = 0, trailing = 0;
    for (auto _ : state) {
        s.xToCp(ssa, x, &cp, &trailing);
        benchmark::DoNotOptimize(cp);
        x = (x + 97) % (width + 1);
    }
    s.free(&ssa);
}
BENCHMARK(BM_XToCaret)->Repetitions(7)->ReportAggregatesOnly(true);

struct Scene : DialogBenchScene {
    CKitEditBox* box = nullptr;

    Scene() {
        if (!Open()) return;
        dialog.CreateEditBox(1, MixedLine(1000).c_str(), 20, 20, 400, 36, false, &box);
        if (!box || !Start()) return;
        dialog.FocusControl(box);
        // The caret in the middle of the text.
        for (int i = 0; i < 500; ++i) box->OnKey(WM_KEYDOWN, VK_LEFT, 0);
        for (int i = 0; i < 10; ++i) dialog.OnRender(0.1f);
        Finish();
        ready = true;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_EditBoxKeystroke(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    bool bType = true;
    for (auto _ : state) {
        s.dialog.ProcessMessage(s.hwnd, WM_CHAR, bType ? WPARAM(L'x') : WPARAM(8), 0);
        bType = !bType;
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
    }
}
BENCHMARK(BM_EditBoxKeystroke)->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Typing on: every keystroke makes a text the service has not seen, so nothing
// shaped or segmented for an earlier text serves it whole. Every 100 characters
// the typed ones are taken back with Backspace, untimed.
void BM_EditBoxTypingNewText(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    unsigned n = 0;
    for (auto _ : state) {
        // The letter sequence of each hundred differs from the previous 25 hundreds'.
        s.dialog.ProcessMessage(s.hwnd, WM_CHAR, WPARAM(L'a' + (n + n / 100) % 26), 0);
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
        if (++n % 100 == 0) {
            state.PauseTiming();
            for (int k = 0; k < 100; ++k) s.dialog.ProcessMessage(s.hwnd, WM_CHAR, WPARAM(8), 0);
            s.dialog.OnRender(1.0f / 60.0f);
            s.Finish();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_EditBoxTypingNewText)->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_EditBoxFrameIdle(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    for (auto _ : state) {
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
    }
}
BENCHMARK(BM_EditBoxFrameIdle)->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The benchmarks below run after those above (registration order): they replace the box's text.
void LineLengths(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(4000)->Arg(16000)->Arg(65533);
    b->Repetitions(7)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
}

// The box holds a line of the given length with the caret at its end, drawn.
void PlaceAtEnd(Scene& s, size_t length) {
    s.box->SetContent(MixedLine(length).c_str());
    for (int i = 0; i < 4; ++i) {
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
    }
}

void BM_EditBoxKeystrokeAtEnd(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    PlaceAtEnd(s, static_cast<size_t>(state.range(0)));
    bool bType = true;
    for (auto _ : state) {
        s.dialog.ProcessMessage(s.hwnd, WM_CHAR, bType ? WPARAM(L'x') : WPARAM(8), 0);
        bType = !bType;
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
    }
}
BENCHMARK(BM_EditBoxKeystrokeAtEnd)->Apply(LineLengths);

void BM_EditBoxTypingAtEnd(benchmark::State& state) {
    Scene& s = TheScene();
    if (!s.ready) return state.SkipWithError("no device, font or skin");
    PlaceAtEnd(s, static_cast<size_t>(state.range(0)) - 100);
    unsigned n = 0;
    for (auto _ : state) {
        s.dialog.ProcessMessage(s.hwnd, WM_CHAR, WPARAM(L'a' + (n + n / 100) % 26), 0);
        s.dialog.OnRender(1.0f / 60.0f);
        s.Finish();
        if (++n % 100 == 0) {
            state.PauseTiming();
            for (int k = 0; k < 100; ++k) s.dialog.ProcessMessage(s.hwnd, WM_CHAR, WPARAM(8), 0);
            s.dialog.OnRender(1.0f / 60.0f);
            s.Finish();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_EditBoxTypingAtEnd)->Apply(LineLengths);

}  // namespace

BENCHMARK_MAIN();
