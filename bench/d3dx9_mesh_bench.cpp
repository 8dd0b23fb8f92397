// Loading our box.x: the whole D3DXLoadMeshFromX on the software device
// (file read, parse, mesh building, buffer creation), and the reader and
// mesh building alone on the bytes in memory.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/device_setup.h"
#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9/xfile_reader.h"
#include "platform/win32.h"

namespace {

// box.x beside this source tree: this file is <root>/bench/d3dx9_mesh_bench.cpp.
std::string BoxPath() {
    std::string path = __FILE__;
    const size_t cut = path.rfind("bench/");
    return (cut == std::string::npos ? std::string() : path.substr(0, cut)) + "app/media/box.x";
}

// A hidden window and a software device for the whole run.
struct BenchDevice {
    HWND hWnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

    BenchDevice() { tumbral_test::OpenWindowAndDevice(64, 64, false, hWnd, d3d, device); }
    ~BenchDevice() {
        if (device) device->Release();
        if (d3d) d3d->Release();
        if (hWnd) DestroyWindow(hWnd);
    }
};

void BM_LoadBoxOnDevice(benchmark::State& state) {
    const std::string path = BoxPath();
    BenchDevice env;
    if (!env.device) {
        state.SkipWithError("no device");
        return;
    }
    for (auto _ : state) {
        ID3DXBuffer* adjacency = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        ID3DXMesh* mesh = nullptr;
        if (FAILED(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, env.device, &adjacency, &materials,
                                      nullptr, &count, &mesh))) {
            state.SkipWithError("box.x did not load");
            return;
        }
        mesh->Release();
        adjacency->Release();
        materials->Release();
    }
}
BENCHMARK(BM_LoadBoxOnDevice)->Unit(benchmark::kMicrosecond);

void BM_ParseAndBuildBox(benchmark::State& state) {
    std::ifstream f(BoxPath(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        plat::XMeshData data;
        if (FAILED(plat::ReadXFile(bytes.data(), bytes.size(), &data))) {
            state.SkipWithError("box.x did not parse");
            return;
        }
        plat::MeshImage image;
        plat::BuildMeshImage(data, &image);
        benchmark::DoNotOptimize(image.vertices.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ParseAndBuildBox)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
