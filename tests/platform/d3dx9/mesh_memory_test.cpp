// Mesh loading under a memory limit, in a child process whose address space
// is capped a little above what it already uses: running out of memory is
// E_OUTOFMEMORY (not an exception that ends the process), and a mesh too
// large for the device is refused from its counts before it is expanded.
// Skipped in sanitizer builds, whose shadow memory needs an unlimited
// address space.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/d3dx9/d3dx_device_env.h"
#include "tests/support/memory_limit.h"

namespace {

using tumbral_test::ChildResult;
using tumbral_test::kAddressSanitized;
using tumbral_test::RunInChild;

const char kHeader[] = "xof 0303txt 0032\n";

class MeshMemoryTest : public D3dxDeviceTest {
  protected:
    HRESULT LoadFromMemory(const std::string& text) {
        ID3DXMesh* mesh = nullptr;
        const HRESULT hr = D3DXLoadMeshFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED,
                                                     m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh);
        if (mesh) mesh->Release();
        return hr;
    }
};

// One polygon with 22.4 million corners over 65,536 vertices: 22.4 million
// triangles need a 269 MB index buffer of 32-bit indices, more than the
// device's 256 MiB. Refused after reading its counts, within 64 MB.
TEST_F(MeshMemoryTest, OversizedPolygonIsRefusedBeforeItIsExpanded) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    constexpr uint32_t kVertices = 65536, kCorners = 22400000;
    std::string text = std::string(kHeader) + "Mesh {\n" + std::to_string(kVertices) + ";\n";
    text.reserve(text.size() + kVertices * 7 + kCorners * 2 + 64);
    for (uint32_t i = 0; i < kVertices; ++i) text += "0;0;0;,";
    text += ";\n1;\n" + std::to_string(kCorners) + ";";
    for (uint32_t i = 0; i < kCorners; ++i) text += "0,";
    text += ";;\n}\n";
    const ChildResult r = RunInChild(uint64_t(64) << 20, [&] { return LoadFromMemory(text); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, D3DXERR_INVALIDDATA);
}

// A mesh of a million triangles that the device could hold, loaded with
// only 32 MB to spare: the loader runs out of memory and says so.
TEST_F(MeshMemoryTest, RunningOutOfMemoryIsAResultCode) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    constexpr uint32_t kTriangles = 1000000;
    std::string text =
        std::string(kHeader) + "Mesh {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n" + std::to_string(kTriangles) + ";\n";
    text.reserve(text.size() + kTriangles * 9 + 16);
    for (uint32_t i = 0; i < kTriangles; ++i) text += "3;0,1,2;,";
    text += ";\n}\n";
    // With room to spare the same mesh loads.
    EXPECT_EQ(LoadFromMemory(text), S_OK);
    const ChildResult r = RunInChild(uint64_t(32) << 20, [&] { return LoadFromMemory(text); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, E_OUTOFMEMORY);
}

}  // namespace
