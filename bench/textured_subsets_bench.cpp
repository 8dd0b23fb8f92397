// Frames with many textured subsets on the software device: 27 cubies of a
// mesh with N subsets, each subset with a texture of its own (16 x 16 with
// its mip chain), drawn as small pre-transformed quads; N = 100, 300, 1000.
// The per-draw cost must stay flat as N grows: "us_per_draw" (wall time) and
// "cpu_us_per_draw" (CPU time of the drawing thread) are the figures to
// compare across N. At N = 1000 (27,000 draws a frame) the drawing thread may
// spend at most 2 us of CPU per draw; above that the benchmark reports an
// error instead of a time (a search through every texture sampled so far,
// per draw, costs about 4.4 us there).
//
// Every measurement includes finishing the deferred drawing (EndScene). Runs
// on the headless backend (no vsync wait). Report medians:
//   textured_subsets_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

#include "tests/support/device_setup.h"
#include "platform/backend.h"
#include "platform/d3d9.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32.h"

namespace {

struct QuadVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr int kCubies = 27;
constexpr UINT kWidth = 640, kHeight = 480;
constexpr double kCpuBoundUsPerDraw = 2.0;  // at N = 1000

class SubsetScene {
  public:
    explicit SubsetScene(int subsets) : m_subsets(subsets) {
        plat::HeadlessConfig config;
        config.noWait = true;
        plat::SetBackend(std::make_unique<plat::HeadlessBackend>(std::move(config)));
        if (!tumbral_test::OpenWindowAndDevice(kWidth, kHeight, true, m_window, m_d3d, m_device) ||
            !MakeTextures()) {
            Release();
            return;
        }
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
        m_device->SetFVF(kQuadFvf);
    }

    ~SubsetScene() { Release(); }

    bool Ok() const { return m_device != nullptr; }

    // One frame: every cubie draws every subset with that subset's texture,
    // each a 6 x 6 quad at its own place (cubie by cubie across the target).
    void DrawFrame() {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF2D3C5A, 1.0f, 0);
        m_device->BeginScene();
        for (int c = 0; c < kCubies; ++c) {
            const float ox = float(c % 9) * 70.0f + 2.0f, oy = float(c / 9) * 150.0f + 2.0f;
            for (int i = 0; i < m_subsets; ++i) {
                const float x = ox + float(i % 10) * 6.5f, y = oy + float((i / 10) % 20) * 6.5f;
                const QuadVertex quad[4] = {{x, y, 0.5f, 1, 0, 0},
                                            {x + 6, y, 0.5f, 1, 1, 0},
                                            {x, y + 6, 0.5f, 1, 0, 1},
                                            {x + 6, y + 6, 0.5f, 1, 1, 1}};
                m_device->SetTexture(0, m_textures[size_t(i)]);
                m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(QuadVertex));
            }
        }
        m_device->EndScene();  // finishes the deferred drawing
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

  private:
    bool MakeTextures() {
        for (int i = 0; i < m_subsets; ++i) {
            IDirect3DTexture9* texture = nullptr;
            if (FAILED(m_device->CreateTexture(16, 16, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture,
                                               nullptr)))
                return false;
            m_textures.push_back(texture);
            for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
                D3DLOCKED_RECT lr{};
                if (FAILED(texture->LockRect(level, &lr, nullptr, 0))) return false;
                const UINT side = 16u >> level;
                for (UINT y = 0; y < side; ++y) {
                    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch);
                    for (UINT x = 0; x < side; ++x) row[x] = 0xFF000000u | uint32_t(i * 2654435761u) >> 8;
                }
                texture->UnlockRect(level);
            }
        }
        return true;
    }

    void Release() {
        if (m_device) m_device->SetTexture(0, nullptr);
        for (IDirect3DTexture9* t : m_textures) t->Release();
        m_textures.clear();
        if (m_device) m_device->Release();
        if (m_d3d) m_d3d->Release();
        if (m_window) DestroyWindow(m_window);
        m_device = nullptr;
        m_d3d = nullptr;
        m_window = nullptr;
    }

    int m_subsets;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    std::vector<IDirect3DTexture9*> m_textures;
};

// CPU time of the calling thread: the draw calls and the queue's
// bookkeeping run there, the shading on the worker threads.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_TexturedSubsets(benchmark::State& state) {
    const int subsets = int(state.range(0));
    SubsetScene scene(subsets);
    if (!scene.Ok()) return state.SkipWithError("no device");
    scene.DrawFrame();  // warm-up: first uploads, thread start
    double wallMs = 0.0, cpuMs = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        scene.DrawFrame();
        cpuMs += ThreadCpuMs() - cpuStart;
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    const double draws = double(kCubies) * subsets;
    const double frames = double(state.iterations());
    state.counters["draws"] = draws;
    state.counters["us_per_draw"] = wallMs / frames * 1000.0 / draws;
    state.counters["cpu_us_per_draw"] = cpuMs / frames * 1000.0 / draws;
    if (subsets >= 1000 && cpuMs / frames * 1000.0 / draws > kCpuBoundUsPerDraw)
        state.SkipWithError("the drawing thread spent more than 2 us of CPU per draw");
}

}  // namespace

BENCHMARK(BM_TexturedSubsets)->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
