// The device: lifecycle (creation, reset, loss, present), resources, the
// fixed-function state and drawing through the software pipeline.
//
// Split over device.cpp (lifecycle and presentation), device_resources.cpp
// (Create*, surface copies), device_setters.cpp (state and state blocks),
// device_draw.cpp (derived pipeline configuration and the Draw* calls).
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device_state.h"
#include "platform/d3d9/pipeline/primitive_assembly.h"

namespace plat::d3d9 {

class Direct3D9;
class Surface;
class SwapChain;
class StateBlock;
class TextureBase;
class Bindable;
class VertexDeclaration;

// Checks and completes presentation parameters (0 x 0 windowed back buffers
// take the window's client size, an unknown windowed format the desktop's,
// a back-buffer count of 0 becomes 1). Returns D3DERR_INVALIDCALL for
// parameters the device cannot honour.
HRESULT ValidatePresentParameters(Direct3D9* d3d, UINT adapter, HWND focus, D3DPRESENT_PARAMETERS& params);

class Device final : public IDirect3DDevice9 {
  public:
    // Use Create; the parameters must have passed ValidatePresentParameters.
    static HRESULT Create(Direct3D9* d3d, UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags,
                          const D3DPRESENT_PARAMETERS& params, Device** out);

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // Lifecycle and presentation.
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT EvictManagedResources() override;
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) override;
    void SetCursorPosition(int X, int Y, DWORD Flags) override;
    BOOL ShowCursor(BOOL bShow) override;
    HRESULT GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) override;
    UINT GetNumberOfSwapChains() override { return 1; }
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override;
    HRESULT GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) override;

    // Resources.
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override;
    HRESULT CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage,
                                D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture,
                                HANDLE* pSharedHandle) override;
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                      D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, BOOL Discard,
                                      IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override;
    HRESULT CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                        IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override;
    HRESULT UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                          IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                          IDirect3DBaseTexture9* pDestinationTexture) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override;
    HRESULT StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                        IDirect3DSurface9* pDestSurface, const RECT* pDestRect,
                        D3DTEXTUREFILTERTYPE Filter) override;
    HRESULT ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) override;
    HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
    HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;

    // Frames.
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                  DWORD Stencil) override;

    // State.
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override;
    HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(IDirect3DStateBlock9** ppSB) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
    HRESULT ValidateDevice(DWORD* pNumPasses) override;
    HRESULT SetScissorRect(const RECT* pRect) override;
    HRESULT GetScissorRect(RECT* pRect) override;

    // Drawing.
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                 UINT NumVertices, UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                            const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;

    // Vertex input.
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                    IDirect3DVertexDeclaration9** ppDecl) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override;
    HRESULT SetFVF(DWORD FVF) override;
    HRESULT GetFVF(DWORD* pFVF) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* pShader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** ppShader) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                            UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* pShader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** ppShader) override;

    // Internal.
    void DefaultPoolCreated() { ++m_defaultPoolObjects; }
    void DefaultPoolReleased() { --m_defaultPoolObjects; }
    HRESULT PresentChain(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride);
    SwapChain* ImplicitSwapChain() const { return m_swapChain; }
    Direct3D9* Object() const { return m_d3d; }
    DeviceState& State() { return m_state; }
    void StateChanged() { m_vertexDirty = m_pixelDirty = true; }
    bool Owns(IUnknown* object) const;
    // Textures of this device, found without run-time type checks (binding a
    // texture and gathering its levels happen on every draw).
    struct KnownTexture {
        TextureBase* sampled;
        Bindable* binding;
    };
    void TextureCreated(IDirect3DBaseTexture9* texture, TextureBase* sampled, Bindable* binding) {
        m_textures[texture] = KnownTexture{sampled, binding};
    }
    void TextureDestroyed(IDirect3DBaseTexture9* texture) { m_textures.erase(texture); }
    const KnownTexture* FindTexture(IDirect3DBaseTexture9* texture) const {
        auto it = m_textures.find(texture);
        return it == m_textures.end() ? nullptr : &it->second;
    }
    // Draws everything still queued. Called before anything reads or writes
    // pixels outside the pipeline (locks, copies) or frees them; the queue
    // then no longer counts on pixels it drew before (see DrawQueue::ForgetDrawn).
    void FinishDrawing() {
        m_queue.Flush();
        m_queue.ForgetDrawn();
    }
    DrawQueue& Queue() { return m_queue; }

  private:
    Device(Direct3D9* d3d, UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags);
    ~Device();

    HRESULT BuildSwapChain(const D3DPRESENT_PARAMETERS& params);
    void EnterDisplayMode(const D3DPRESENT_PARAMETERS& params);
    void LeaveDisplayMode();
    bool UpdateLoss();
    bool Resettable();
    HWND DeviceWindow() const;
    void SetRenderTargetInternal(Surface* surface);
    void SetDepthInternal(Surface* surface);
    void FullViewport();

    // State writes go to the device or, while recording, into the recorded block.
    DeviceState& Target();
    StateMask* Recording();
    // Notes a change of light `Index` in the block being recorded, or marks the lighting to derive again.
    void LightChanged(DWORD Index);

    // Drawing helpers (device_draw.cpp).
    void DeriveVertexConfig();
    void DerivePixelConfig();
    void GatherSamplers();
    HRESULT RunDraw(const DrawCall& call, const VertexLayout& layout, const StreamSource* streams);
    bool CurrentLayout(VertexLayout& out) const;
    // The bound vertex buffers as stream sources (absent or unusable bindings stay empty).
    void BoundStreams(StreamSource* out) const;

    std::atomic<ULONG> m_refs{1};
    Direct3D9* m_d3d;
    D3DDEVICE_CREATION_PARAMETERS m_creation{};
    D3DCAPS9 m_caps{};
    SwapChain* m_swapChain = nullptr;
    Surface* m_autoDepth = nullptr;
    Surface* m_renderTarget = nullptr;  // internal reference
    Surface* m_depthStencil = nullptr;  // internal reference
    int m_defaultPoolObjects = 0;
    bool m_fullscreenActive = false;

    bool m_lost = false;
    uint64_t m_lossCountSeen = 0;
    bool m_inScene = false;

    DeviceState m_state;
    StateBlock* m_recording = nullptr;
    std::map<DWORD, VertexDeclaration*> m_fvfDeclarations;  // internal references
    std::unordered_map<IDirect3DBaseTexture9*, KnownTexture> m_textures;

    // Pipeline configuration derived from m_state; rebuilt when marked dirty.
    bool m_vertexDirty = true, m_pixelDirty = true;
    VertexConfig m_vertexConfig;
    PixelConfig m_pixelConfig;
    Viewport m_viewport;
    PrimitivePipeline m_pipeline;
    DrawQueue m_queue;

    // Full-screen cursor.
    std::vector<uint32_t> m_cursorPixels;
    UINT m_cursorWidth = 0, m_cursorHeight = 0, m_cursorHotX = 0, m_cursorHotY = 0;
    int m_cursorX = 0, m_cursorY = 0;
    bool m_cursorVisible = false;
    std::vector<uint32_t> m_presentScratch;
    std::vector<std::pair<int, int>> m_changedRows;  // back-buffer rows drawn since the last present
};

}  // namespace plat::d3d9
