// The drawing work of one Tumbral frame on the software device: clear colour
// and depth, 27 lit textured cubes (324 triangles, six subsets each) covering
// about a fifth of the target, and 100 alpha-blended text-sized quads in one
// batch. Clear and present are also measured on their own.
//
// A frame that repeats the last one keeps its bands (the queue does not draw
// them again), so BM_Frame measures recording and comparing; BM_FrameDrawn
// alternates the clear colour so that every band is drawn, with point or
// bilinear sampling: the rasterizer's own cost.
//
// The device defers drawing until the pixels are needed; every measurement
// includes finishing it (EndScene). Runs on the headless backend (no vsync
// wait). Report medians:
//   d3d9_frame_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/support/device_setup.h"
#include "platform/backend.h"
#include "platform/d3d9.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32.h"

namespace {

struct CubeVertex {
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kCubeFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct TextVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTextFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Left-handed look-at from `eye` towards the origin, y up.
D3DMATRIX LookAtOrigin(float ex, float ey, float ez) {
    float zx = -ex, zy = -ey, zz = -ez;
    float zl = std::sqrt(zx * zx + zy * zy + zz * zz);
    zx /= zl, zy /= zl, zz /= zl;
    float xx = zz, xy = 0, xz = -zx;  // up (0,1,0) x z
    float xl = std::sqrt(xx * xx + xz * xz);
    xx /= xl, xz /= xl;
    float yx = zy * xz - zz * xy, yy = zz * xx - zx * xz, yz = zx * xy - zy * xx;
    D3DMATRIX m = Identity();
    m._11 = xx, m._21 = xy, m._31 = xz;
    m._12 = yx, m._22 = yy, m._32 = yz;
    m._13 = zx, m._23 = zy, m._33 = zz;
    m._41 = -(xx * ex + xy * ey + xz * ez);
    m._42 = -(yx * ex + yy * ey + yz * ez);
    m._43 = -(zx * ex + zy * ey + zz * ez);
    return m;
}

D3DMATRIX PerspectiveFov(float fov, float aspect, float zn, float zf) {
    D3DMATRIX m{};
    float ys = 1.0f / std::tan(fov / 2), xs = ys / aspect;
    m._11 = xs;
    m._22 = ys;
    m._33 = zf / (zf - zn);
    m._34 = 1;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

class FrameScene {
  public:
    FrameScene(UINT width, UINT height) : m_width(width), m_height(height) {
        plat::HeadlessConfig config;
        config.noWait = true;
        config.monitors = {plat::DisplayMode{2560, 1440, 60, 32}};
        plat::SetBackend(std::make_unique<plat::HeadlessBackend>(std::move(config)));
        if (!tumbral_test::OpenWindowAndDevice(width, height, true, m_window, m_d3d, m_device)) {
            if (m_device) m_device->Release();
            m_device = nullptr;
            return;
        }
        BuildCube();
        BuildTextures();
        BuildText();
        SetUpLight();
        FitCamera();
    }

    ~FrameScene() {
        if (m_device) {
            m_device->SetTexture(0, nullptr);
            m_device->SetStreamSource(0, nullptr, 0, 0);
            m_device->SetIndices(nullptr);
        }
        for (IUnknown* u : {static_cast<IUnknown*>(m_sticker), static_cast<IUnknown*>(m_glyphs),
                            static_cast<IUnknown*>(m_vb), static_cast<IUnknown*>(m_ib)})
            if (u) u->Release();
        if (m_device) m_device->Release();
        if (m_d3d) m_d3d->Release();
        if (m_window) DestroyWindow(m_window);
    }

    bool Ok() const { return m_device != nullptr; }

    void Clear(D3DCOLOR color = 0xFF2D3C5A) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0);
    }

    // Point or bilinear sampling of both textures.
    void SetFilter(D3DTEXTUREFILTERTYPE filter) {
        m_device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    }

    void DrawCubes() {
        m_device->SetRenderState(D3DRS_LIGHTING, TRUE);
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetFVF(kCubeFvf);
        m_device->SetStreamSource(0, m_vb, 0, sizeof(CubeVertex));
        m_device->SetIndices(m_ib);
        m_device->SetTransform(D3DTS_VIEW, &m_view);
        m_device->SetTransform(D3DTS_PROJECTION, &m_proj);
        static const D3DCOLORVALUE colours[6] = {{1, 1, 1, 1},    {1, 0.8f, 0, 1}, {1, 0, 0, 1},
                                                 {1, 0.4f, 0, 1}, {0, 0, 1, 1},    {0, 0.6f, 0, 1}};
        for (int x = -1; x <= 1; ++x)
            for (int y = -1; y <= 1; ++y)
                for (int z = -1; z <= 1; ++z) {
                    D3DMATRIX world = Identity();
                    world._41 = 2.1f * float(x);
                    world._42 = 2.1f * float(y);
                    world._43 = 2.1f * float(z);
                    m_device->SetTransform(D3DTS_WORLD, &world);
                    for (int face = 0; face < 6; ++face) {
                        D3DMATERIAL9 m{};
                        m.Diffuse = m.Ambient = colours[face];
                        m_device->SetMaterial(&m);
                        m_device->SetTexture(0, m_sticker);
                        m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, UINT(face * 4), 4,
                                                       UINT(face * 6), 2);
                    }
                }
    }

    void DrawText() {
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        m_device->SetTexture(0, m_glyphs);
        m_device->SetFVF(kTextFvf);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 200, m_text.data(), sizeof(TextVertex));
    }

    void DrawFrame(D3DCOLOR clearColor = 0xFF2D3C5A) {
        Clear(clearColor);
        m_device->BeginScene();
        DrawCubes();
        DrawText();
        m_device->EndScene();
    }

    // Ends an (empty) scene, which finishes all queued drawing.
    void Finish() {
        m_device->BeginScene();
        m_device->EndScene();
    }

    HRESULT Present() { return m_device->Present(nullptr, nullptr, nullptr, nullptr); }

    // Share of the target the cubes cover, by pixels that differ from the clear colour.
    double Coverage() {
        Clear();
        DrawCubes();
        IDirect3DSurface9* back = nullptr;
        m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
        D3DLOCKED_RECT lr;
        size_t covered = 0;
        if (SUCCEEDED(back->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            for (UINT y = 0; y < m_height; ++y) {
                const uint32_t* row =
                    reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(lr.pBits) + y * lr.Pitch);
                for (UINT x = 0; x < m_width; ++x) covered += (row[x] & 0xFFFFFF) != 0x2D3C5A;
            }
            back->UnlockRect();
        }
        back->Release();
        return double(covered) / (double(m_width) * m_height);
    }

  private:
    void BuildCube() {
        m_device->CreateVertexBuffer(24 * sizeof(CubeVertex), D3DUSAGE_WRITEONLY, kCubeFvf, D3DPOOL_MANAGED,
                                     &m_vb, nullptr);
        m_device->CreateIndexBuffer(36 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_ib,
                                    nullptr);
        CubeVertex* v = nullptr;
        m_vb->Lock(0, 0, reinterpret_cast<void**>(&v), 0);
        uint16_t* idx = nullptr;
        m_ib->Lock(0, 0, reinterpret_cast<void**>(&idx), 0);
        const float n[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
        for (int f = 0; f < 6; ++f) {
            // Two axes spanning the face, chosen so the corners run clockwise seen from outside.
            float a[3], b[3];
            const float* N = n[f];
            float up[3] = {0, 1, 0};
            if (N[1] != 0) up[1] = 0, up[2] = 1;
            a[0] = up[1] * N[2] - up[2] * N[1];
            a[1] = up[2] * N[0] - up[0] * N[2];
            a[2] = up[0] * N[1] - up[1] * N[0];
            std::memcpy(b, up, sizeof b);
            const float corner[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
            for (int c = 0; c < 4; ++c) {
                CubeVertex& out = v[f * 4 + c];
                out.x = N[0] + a[0] * corner[c][0] + b[0] * corner[c][1];
                out.y = N[1] + a[1] * corner[c][0] + b[1] * corner[c][1];
                out.z = N[2] + a[2] * corner[c][0] + b[2] * corner[c][1];
                out.nx = N[0], out.ny = N[1], out.nz = N[2];
                out.u = corner[c][0] > 0 ? 1.0f : 0.0f;
                out.v = corner[c][1] > 0 ? 0.0f : 1.0f;
            }
            const uint16_t q[6] = {0, 1, 2, 0, 2, 3};
            for (int i = 0; i < 6; ++i) idx[f * 6 + i] = uint16_t(f * 4 + q[i]);
        }
        m_vb->Unlock();
        m_ib->Unlock();
    }

    void BuildTextures() {
        m_device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_sticker, nullptr);
        D3DLOCKED_RECT lr;
        m_sticker->LockRect(0, &lr, nullptr, 0);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                bool border = x < 4 || y < 4 || x > 59 || y > 59;
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
                    border ? 0xFF101010 : 0xFFF0F0F0;
            }
        m_sticker->UnlockRect(0);
        m_device->CreateTexture(128, 128, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_glyphs, nullptr);
        m_glyphs->LockRect(0, &lr, nullptr, 0);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
                    (uint32_t((x * 7 + y * 13) & 0xFF) << 24) | 0xFFFFFF;
        m_glyphs->UnlockRect(0);
    }

    // 100 glyph-sized quads (8 x 14 pixels) in lines of 50, as a HUD writes them.
    void BuildText() {
        for (int i = 0; i < 100; ++i) {
            float x = 5.0f + 9.0f * float(i % 50) - 0.5f, y = 5.0f + 16.0f * float(i / 50) - 0.5f;
            float u = float(i % 16) / 16.0f, v = float(i / 16) / 16.0f, du = 8.0f / 128, dv = 14.0f / 128;
            TextVertex q[4] = {{x, y, 0, 1, 0xFFFFFF00, u, v},
                               {x + 8, y, 0, 1, 0xFFFFFF00, u + du, v},
                               {x + 8, y + 14, 0, 1, 0xFFFFFF00, u + du, v + dv},
                               {x, y + 14, 0, 1, 0xFFFFFF00, u, v + dv}};
            for (int k : {0, 1, 2, 0, 2, 3}) m_text.push_back(q[k]);
        }
    }

    void SetUpLight() {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Specular = light.Ambient = {0.6f, 0.6f, 0.6f, 0.6f};
        light.Direction = {1, 0, 0.25f};
        m_device->SetLight(0, &light);
        m_device->LightEnable(0, TRUE);
        m_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
        m_device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    }

    // Moves the camera until the cubes cover about a fifth of the target.
    void FitCamera() {
        m_proj = PerspectiveFov(3.14159f / 4, float(m_width) / float(m_height), 0.5f, 100.0f);
        float lo = 5, hi = 80;
        for (int i = 0; i < 20; ++i) {
            float d = 0.5f * (lo + hi);
            m_view = LookAtOrigin(d * 0.6f, d * 0.5f, -d * 0.62f);
            if (Coverage() > 0.2)
                lo = d;
            else
                hi = d;
        }
    }

    UINT m_width, m_height;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexBuffer9* m_vb = nullptr;
    IDirect3DIndexBuffer9* m_ib = nullptr;
    IDirect3DTexture9* m_sticker = nullptr;
    IDirect3DTexture9* m_glyphs = nullptr;
    std::vector<TextVertex> m_text;
    D3DMATRIX m_view = Identity(), m_proj = Identity();
};

void BM_Frame(benchmark::State& state) {
    FrameScene scene(UINT(state.range(0)), UINT(state.range(1)));
    if (!scene.Ok()) return state.SkipWithError("no device");
    state.counters["coverage"] = scene.Coverage();
    for (auto _ : state) scene.DrawFrame();
}

void BM_FrameDrawn(benchmark::State& state) {
    FrameScene scene(UINT(state.range(0)), UINT(state.range(1)));
    if (!scene.Ok()) return state.SkipWithError("no device");
    scene.SetFilter(state.range(2) ? D3DTEXF_LINEAR : D3DTEXF_POINT);
    D3DCOLOR clear = 0xFF2D3C5A;
    for (auto _ : state) scene.DrawFrame(clear ^= 1);
}

void BM_Clear(benchmark::State& state) {
    FrameScene scene(UINT(state.range(0)), UINT(state.range(1)));
    if (!scene.Ok()) return state.SkipWithError("no device");
    for (auto _ : state) {
        scene.Clear();
        scene.Finish();  // drawing is deferred: the clear happens here
    }
}

void BM_Present(benchmark::State& state) {
    FrameScene scene(UINT(state.range(0)), UINT(state.range(1)));
    if (!scene.Ok()) return state.SkipWithError("no device");
    scene.DrawFrame();
    for (auto _ : state)
        if (FAILED(scene.Present())) return state.SkipWithError("present failed");
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({640, 480})->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Frame)->Apply(Sizes);
// Sizes, then 0 for point and 1 for bilinear sampling.
BENCHMARK(BM_FrameDrawn)
    ->Args({640, 480, 0})
    ->Args({1280, 720, 0})
    ->Args({1920, 1080, 0})
    ->Args({1280, 720, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clear)->Apply(Sizes);
BENCHMARK(BM_Present)->Apply(Sizes);
BENCHMARK_MAIN();
