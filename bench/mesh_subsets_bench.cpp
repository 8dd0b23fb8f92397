// Frames of a mesh with many subsets drawn through ID3DXMesh::DrawSubset: 27
// cubies, each drawing every subset (one small quad a subset), as the cube
// does with a box.x of that many materials; N = 1002, 6000, 12000.
// "ms_per_frame" must grow in proportion to N (the draws), not faster.
//
// BM_SubsetFrame draws through DrawSubset. BM_SubsetFrameTableScan makes the
// same draws after searching the attribute table for each subset, the way
// DrawSubset once found its range, for a side-by-side figure in one run.
// Run with one raster thread and report medians:
//   TUMBRAL_RASTER_THREADS=1 mesh_subsets_bench --benchmark_repetitions=5
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// (one command line)
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32.h"
#include "tests/support/device_setup.h"

namespace {

constexpr int kCubies = 27;
constexpr UINT kWidth = 640, kHeight = 480;

// N quads of 0.8 x 0.8 units on a 100-wide grid, quad i with material i.
std::string SubsetMesh(int subsets) {
    std::string x = "xof 0302txt 0032\nMesh {\n" + std::to_string(subsets * 4) + ";\n";
    for (int i = 0; i < subsets; ++i) {
        const float fx = float(i % 100), fy = float(i / 100);
        for (int c = 0; c < 4; ++c)
            x += std::to_string(fx + (c == 1 || c == 2 ? 0.8f : 0.0f)) + ";" +
                 std::to_string(fy + (c >= 2 ? 0.8f : 0.0f)) + ";0;" +
                 (i + 1 == subsets && c == 3 ? ";\n" : ",\n");
    }
    x += std::to_string(subsets) + ";\n";
    for (int i = 0; i < subsets; ++i)
        x += "4;" + std::to_string(i * 4 + 3) + "," + std::to_string(i * 4 + 2) + "," +
             std::to_string(i * 4 + 1) + "," + std::to_string(i * 4) + (i + 1 == subsets ? ";;\n" : ";,\n");
    x += "MeshMaterialList {\n" + std::to_string(subsets) + ";\n" + std::to_string(subsets) + ";\n";
    for (int i = 0; i < subsets; ++i) x += std::to_string(i) + (i + 1 == subsets ? ";\n" : ",\n");
    for (int i = 0; i < subsets; ++i) x += "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n";
    return x + "}\n}\n";
}

class SubsetScene {
  public:
    explicit SubsetScene(int subsets) : m_subsets(subsets) {
        plat::HeadlessConfig config;
        config.noWait = true;
        plat::SetBackend(std::make_unique<plat::HeadlessBackend>(std::move(config)));
        if (!tumbral_test::OpenWindowAndDevice(kWidth, kHeight, true, m_window, m_d3d, m_device)) return;
        const std::string x = SubsetMesh(subsets);
        if (FAILED(D3DXLoadMeshFromXInMemory(x.data(), DWORD(x.size()), D3DXMESH_MANAGED, m_device, nullptr,
                                             nullptr, nullptr, nullptr, &m_mesh)))
            return;
        DWORD size = 0;
        m_mesh->GetAttributeTable(nullptr, &size);
        m_table.resize(size);
        m_mesh->GetAttributeTable(m_table.data(), &size);
        m_mesh->GetVertexBuffer(&m_vb);
        m_mesh->GetIndexBuffer(&m_ib);
        D3DXMATRIX view, proj;
        D3DXMatrixIdentity(&view);
        D3DXMatrixOrthoOffCenterLH(&proj, 0.0f, 300.0f, 0.0f, 400.0f, -1.0f, 1.0f);
        m_device->SetTransform(D3DTS_VIEW, &view);
        m_device->SetTransform(D3DTS_PROJECTION, &proj);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    ~SubsetScene() {
        if (m_ib) m_ib->Release();
        if (m_vb) m_vb->Release();
        if (m_mesh) m_mesh->Release();
        if (m_device) m_device->Release();
        if (m_d3d) m_d3d->Release();
        if (m_window) DestroyWindow(m_window);
    }
    bool Ok() const { return m_mesh != nullptr; }

    // One frame; `scan` finds each subset's range by searching the table.
    void DrawFrame(bool scan) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF2D3C5A, 1.0f, 0);
        m_device->BeginScene();
        for (int c = 0; c < kCubies; ++c) {
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, float(c % 3) * 100.0f, float(c / 3) * 40.0f, 0.0f);
            m_device->SetTransform(D3DTS_WORLD, &world);
            for (int i = 0; i < m_subsets; ++i)
                scan ? DrawAfterScan(DWORD(i)) : (void)m_mesh->DrawSubset(DWORD(i));
        }
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

  private:
    void DrawAfterScan(DWORD id) {
        for (const D3DXATTRIBUTERANGE& r : m_table) {
            if (r.AttribId != id) continue;
            m_device->SetFVF(m_mesh->GetFVF());
            m_device->SetStreamSource(0, m_vb, 0, m_mesh->GetNumBytesPerVertex());
            m_device->SetIndices(m_ib);
            m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, r.VertexStart, r.VertexCount,
                                           r.FaceStart * 3, r.FaceCount);
            return;
        }
    }

    int m_subsets;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    ID3DXMesh* m_mesh = nullptr;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
    std::vector<D3DXATTRIBUTERANGE> m_table;
};

void RunFrames(benchmark::State& state, bool scan) {
    SubsetScene scene(int(state.range(0)));
    if (!scene.Ok()) return state.SkipWithError("no device or mesh");
    scene.DrawFrame(scan);  // warm-up
    double ms = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        scene.DrawFrame(scan);
        ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ms_per_frame"] = ms / double(state.iterations());
}

void BM_SubsetFrame(benchmark::State& state) { RunFrames(state, false); }
void BM_SubsetFrameTableScan(benchmark::State& state) { RunFrames(state, true); }

}  // namespace

BENCHMARK(BM_SubsetFrame)->Arg(1002)->Arg(6000)->Arg(12000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubsetFrameTableScan)->Arg(1002)->Arg(6000)->Arg(12000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
