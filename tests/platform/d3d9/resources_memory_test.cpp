// Resources the device cannot find memory for: every creation call answers
// E_OUTOFMEMORY with no object and no reference left on the device, in a
// child process whose address space is capped a little above its use.
#include <functional>
#include <utility>

#include "tests/platform/d3d9/device_fixture.h"
#include "tests/support/memory_limit.h"

namespace tumbral_test {
namespace {

class ResourceMemoryTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice(32, 32);
    }

    // Runs a creation with 32 MB to spare. Its result, or E_UNEXPECTED when it
    // handed out an object or changed the device's reference count.
    ChildResult CreateLimited(const std::function<HRESULT(IUnknown**)>& create) {
        return RunInChild(uint64_t(32) << 20, [&] {
            const ULONG refs = RefCount(m_device);
            IUnknown* object = nullptr;
            const HRESULT hr = create(&object);
            if (object || RefCount(m_device) != refs) return E_UNEXPECTED;
            return hr;
        });
    }
};

// Each of these needs 256 MB.
TEST_F(ResourceMemoryTest, CreationsBeyondTheMemoryLeftAreOutOfMemory) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    IDirect3DDevice9* d = m_device;
    const std::vector<std::pair<const char*, std::function<HRESULT(IUnknown**)>>> creations = {
        {"managed texture",
         [d](IUnknown** out) {
             return d->CreateTexture(8192, 8192, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     reinterpret_cast<IDirect3DTexture9**>(out), nullptr);
         }},
        {"render-target texture",
         [d](IUnknown** out) {
             return d->CreateTexture(8192, 8192, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                     reinterpret_cast<IDirect3DTexture9**>(out), nullptr);
         }},
        {"vertex buffer",
         [d](IUnknown** out) {
             return d->CreateVertexBuffer(256u << 20, 0, 0, D3DPOOL_MANAGED,
                                          reinterpret_cast<IDirect3DVertexBuffer9**>(out), nullptr);
         }},
        {"index buffer",
         [d](IUnknown** out) {
             return d->CreateIndexBuffer(256u << 20, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED,
                                         reinterpret_cast<IDirect3DIndexBuffer9**>(out), nullptr);
         }},
        {"render target",
         [d](IUnknown** out) {
             return d->CreateRenderTarget(8192, 8192, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                          reinterpret_cast<IDirect3DSurface9**>(out), nullptr);
         }},
        {"depth surface",
         [d](IUnknown** out) {
             return d->CreateDepthStencilSurface(8192, 8192, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                 reinterpret_cast<IDirect3DSurface9**>(out), nullptr);
         }},
    };
    for (const auto& [name, create] : creations) {
        SCOPED_TRACE(name);
        const ChildResult r = CreateLimited(create);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.hr, E_OUTOFMEMORY);
    }
}

// A state block copies the device's light table: with 200,000 lights set
// (about 30 MB) and 4 MB to spare, the copy cannot be made.
TEST_F(ResourceMemoryTest, StateBlockOfMoreStateThanMemoryLeftIsOutOfMemory) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    const auto prepare = [&] {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Direction = D3DVECTOR{0, 0, 1};
        for (DWORD i = 0; i < 200000; ++i) m_device->SetLight(i, &light);
    };
    const ChildResult r = RunInChild(uint64_t(4) << 20, prepare, [&] {
        const ULONG refs = RefCount(m_device);
        IDirect3DStateBlock9* block = nullptr;
        const HRESULT hr = m_device->CreateStateBlock(D3DSBT_ALL, &block);
        if (block || RefCount(m_device) != refs) return E_UNEXPECTED;
        return hr;
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, E_OUTOFMEMORY);
}

}  // namespace
}  // namespace tumbral_test
