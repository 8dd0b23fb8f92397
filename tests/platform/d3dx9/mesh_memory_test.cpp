// Mesh loading under a memory limit, in a child process whose address space
// is capped a little above what it already uses: running out of memory is
// E_OUTOFMEMORY (not an exception that ends the process), and a mesh too
// large for the device is refused from its counts before it is expanded.
// Skipped in sanitizer builds, whose shadow memory needs an unlimited
// address space.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

#include "d3dx_device_env.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The address space in use now, in bytes (0 when unknown).
uint64_t AddressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}

struct ChildResult {
    bool exited = false;  // ended by _exit, not by a signal
    HRESULT hr = E_FAIL;  // what the call returned
};

// Runs `call` in a child whose address space may grow by `headroom` bytes.
ChildResult RunLimited(uint64_t headroom, const std::function<HRESULT()>& call) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const uint64_t limit = AddressSpaceInUse() + headroom;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(3);
        const HRESULT hr = call();
        const ssize_t written = write(fds[1], &hr, sizeof hr);
        _exit(written == sizeof hr ? 0 : 4);
    }
    close(fds[1]);
    ChildResult result;
    HRESULT hr = E_FAIL;
    const bool got = read(fds[0], &hr, sizeof hr) == sizeof hr;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0 && got;
    result.hr = hr;
    return result;
}

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
    if (kSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    constexpr uint32_t kVertices = 65536, kCorners = 22400000;
    std::string text = std::string(kHeader) + "Mesh {\n" + std::to_string(kVertices) + ";\n";
    text.reserve(text.size() + kVertices * 7 + kCorners * 2 + 64);
    for (uint32_t i = 0; i < kVertices; ++i) text += "0;0;0;,";
    text += ";\n1;\n" + std::to_string(kCorners) + ";";
    for (uint32_t i = 0; i < kCorners; ++i) text += "0,";
    text += ";;\n}\n";
    const ChildResult r = RunLimited(uint64_t(64) << 20, [&] { return LoadFromMemory(text); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, D3DXERR_INVALIDDATA);
}

// A mesh of a million triangles that the device could hold, loaded with
// only 32 MB to spare: the loader runs out of memory and says so.
TEST_F(MeshMemoryTest, RunningOutOfMemoryIsAResultCode) {
    if (kSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    constexpr uint32_t kTriangles = 1000000;
    std::string text =
        std::string(kHeader) + "Mesh {\n3;\n0;0;0;,1;0;0;,0;1;0;;\n" + std::to_string(kTriangles) + ";\n";
    text.reserve(text.size() + kTriangles * 9 + 16);
    for (uint32_t i = 0; i < kTriangles; ++i) text += "3;0,1,2;,";
    text += ";\n}\n";
    // With room to spare the same mesh loads.
    EXPECT_EQ(LoadFromMemory(text), S_OK);
    const ChildResult r = RunLimited(uint64_t(32) << 20, [&] { return LoadFromMemory(text); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, E_OUTOFMEMORY);
}

}  // namespace
