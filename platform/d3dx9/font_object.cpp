// ID3DXFont: lays text out with the font engine, keeps the engine's atlas
// pages in managed A8R8G8B8 textures (white, coverage in alpha; they survive a
// reset) and draws each glyph as a sprite quad modulated by the text colour.
// Layout, shaping and the glyph cache allocate as the text demands; running
// out of memory there fails the call (E_OUTOFMEMORY, or 0 from DrawText)
// and leaves the font usable.
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/d3dx9/device_child.h"
#include "platform/d3dx9/font_dc.h"
#include "platform/d3dx9/font_engine.h"
#include "platform/d3dx9core.h"

namespace plat {
namespace {

class Font final : public DeviceChild<ID3DXFont> {
  public:
    Font(IDirect3DDevice9* device, const D3DXFONT_DESCW& desc, std::unique_ptr<FontEngine> engine)
        : DeviceChild(device), m_desc(desc), m_engine(std::move(engine)) {}

    HRESULT GetDescW(D3DXFONT_DESCW* pDesc) override {
        if (!pDesc) return D3DERR_INVALIDCALL;
        *pDesc = m_desc;
        return S_OK;
    }
    HDC GetDC() override {
        try {
            if (!m_dc) m_dc = RegisterFontDC(m_engine.get());
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        return m_dc;
    }
    HRESULT PreloadCharacters(UINT First, UINT Last) override;
    HRESULT PreloadTextW(LPCWSTR pString, INT Count) override;
    INT DrawTextA(ID3DXSprite* pSprite, LPCSTR pString, INT Count, LPRECT pRect, DWORD Format,
                  D3DCOLOR Color) override;
    INT DrawTextW(ID3DXSprite* pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                  D3DCOLOR Color) override;
    HRESULT OnLostDevice() override { return m_sprite ? m_sprite->OnLostDevice() : S_OK; }
    HRESULT OnResetDevice() override { return m_sprite ? m_sprite->OnResetDevice() : S_OK; }

  private:
    ~Font() override {
        if (m_dc) UnregisterFontDC(m_dc);
        if (m_sprite) m_sprite->Release();
        for (IDirect3DTexture9* page : m_pages) page->Release();
    }
    HRESULT UploadPages();
    INT DrawLaidOut(ID3DXSprite* pSprite, const RECT& rect, DWORD Format, D3DCOLOR Color);
    HRESULT DrawLayout(ID3DXSprite* sprite, const RECT& clip, bool clipped, D3DCOLOR color);

    D3DXFONT_DESCW m_desc;
    std::unique_ptr<FontEngine> m_engine;
    std::vector<IDirect3DTexture9*> m_pages;  // one texture per atlas page
    ID3DXSprite* m_sprite = nullptr;          // for calls that bring no sprite
    HDC m_dc = nullptr;
    TextLayout m_layout;                       // scratch, reused between calls
    std::vector<const CachedGlyph*> m_cached;  // scratch: the layout's glyphs
};

// Copies atlas rows changed since the last upload into the page textures,
// creating textures for new pages.
HRESULT Font::UploadPages() {
    GlyphAtlas& atlas = m_engine->Atlas();
    const int size = atlas.PageSize();
    for (int p = 0; p < atlas.PageCount(); ++p) {
        if (p >= static_cast<int>(m_pages.size())) {
            m_pages.reserve(static_cast<size_t>(p) + 1);  // room first, so a new texture is never lost
            IDirect3DTexture9* texture = nullptr;
            const HRESULT hr = m_device->CreateTexture(static_cast<UINT>(size), static_cast<UINT>(size), 1, 0,
                                                       D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
            if (FAILED(hr)) return hr;
            m_pages.push_back(texture);
        }
        int top = 0, bottom = 0;
        atlas.DirtyRows(p, &top, &bottom);
        if (top >= bottom) continue;
        const RECT rows{0, top, size, bottom};
        D3DLOCKED_RECT locked{};
        const HRESULT hr = m_pages[p]->LockRect(0, &locked, &rows, 0);
        if (FAILED(hr)) return hr;
        const uint8_t* src = atlas.PagePixels(p) + static_cast<size_t>(top) * size;
        for (int y = top; y < bottom; ++y, src += size) {
            auto* dst = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) +
                                                 static_cast<ptrdiff_t>(y - top) * locked.Pitch);
            for (int x = 0; x < size; ++x) dst[x] = (static_cast<DWORD>(src[x]) << 24) | 0x00FFFFFFu;
        }
        m_pages[p]->UnlockRect(0);
        atlas.MarkClean(p);
    }
    return S_OK;
}

HRESULT Font::DrawLayout(ID3DXSprite* sprite, const RECT& clip, bool clipped, D3DCOLOR color) {
    // Rasterise first so that every page is uploaded before the first quad is queued.
    std::vector<const CachedGlyph*>& cached = m_cached;
    cached.clear();
    for (const PlacedGlyph& g : m_layout.glyphs) cached.push_back(m_engine->Glyph(g.slot, g.glyph));
    HRESULT hr = UploadPages();
    if (FAILED(hr)) return hr;
    for (size_t i = 0; i < cached.size(); ++i) {
        const CachedGlyph* glyph = cached[i];
        if (!glyph || glyph->spot.page < 0) continue;
        const AtlasSpot& spot = glyph->spot;
        LONG x = m_layout.glyphs[i].x + glyph->left, y = m_layout.glyphs[i].y + glyph->top;
        RECT src{spot.x, spot.y, spot.x + spot.width, spot.y + spot.height};
        if (clipped) {
            // Cut the quad to the rectangle; glyphs are drawn unscaled, so texels and pixels agree.
            if (x < clip.left) src.left += clip.left - x, x = clip.left;
            if (y < clip.top) src.top += clip.top - y, y = clip.top;
            src.right -= std::max<LONG>(0, x + (src.right - src.left) - clip.right);
            src.bottom -= std::max<LONG>(0, y + (src.bottom - src.top) - clip.bottom);
            if (src.right <= src.left || src.bottom <= src.top) continue;
        }
        const D3DXVECTOR3 position(static_cast<float>(x), static_cast<float>(y), 0.f);
        hr = sprite->Draw(m_pages[spot.page], &src, nullptr, &position, color);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

INT Font::DrawTextW(ID3DXSprite* pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                    D3DCOLOR Color) {
    if (!pString) return 0;
    RECT rect = pRect ? *pRect : RECT{0, 0, 0, 0};
    if (!pRect) Format |= DT_NOCLIP;
    try {
        m_engine->Layout(pString, Count, rect, Format, &m_layout);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (Format & DT_CALCRECT) {
        if (pRect) *pRect = m_layout.bounds;
        return m_layout.height;
    }
    if (m_layout.glyphs.empty()) return m_layout.height;
    return DrawLaidOut(pSprite, rect, Format, Color);
}

// Draws the current layout through the caller's sprite or the font's own,
// which is always ended again.
INT Font::DrawLaidOut(ID3DXSprite* pSprite, const RECT& rect, DWORD Format, D3DCOLOR Color) {
    ID3DXSprite* sprite = pSprite;
    if (!sprite) {
        if (!m_sprite && FAILED(D3DXCreateSprite(m_device, &m_sprite))) return 0;
        sprite = m_sprite;
        if (FAILED(sprite->Begin(D3DXSPRITE_ALPHABLEND))) return 0;
    }
    HRESULT hr;
    try {
        hr = DrawLayout(sprite, rect, !(Format & DT_NOCLIP), Color);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    if (!pSprite) sprite->End();
    return SUCCEEDED(hr) ? m_layout.height : 0;
}

INT Font::DrawTextA(ID3DXSprite* pSprite, LPCSTR pString, INT Count, LPRECT pRect, DWORD Format,
                    D3DCOLOR Color) {
    if (!pString) return 0;
    const int bytes = Count < 0 ? -1 : Count;
    const int needed = MultiByteToWideChar(CP_ACP, 0, pString, bytes, nullptr, 0);
    if (needed <= 0) return Count == 0 ? DrawTextW(pSprite, L"", 0, pRect, Format, Color) : 0;
    std::wstring wide;
    try {
        wide.assign(static_cast<size_t>(needed), L'\0');
    } catch (const std::bad_alloc&) {
        return 0;
    }
    MultiByteToWideChar(CP_ACP, 0, pString, bytes, wide.data(), needed);
    const int length = Count < 0 ? needed - 1 : needed;  // without the terminator
    return DrawTextW(pSprite, wide.c_str(), length, pRect, Format, Color);
}

HRESULT Font::PreloadCharacters(UINT First, UINT Last) {
    try {
        for (UINT ch = First; ch <= Last && ch < 0x110000; ++ch) {
            int slot = 0;
            uint32_t glyph = 0;
            if (m_engine->GlyphForChar(ch, &slot, &glyph)) m_engine->Glyph(slot, glyph);
            if (ch == Last) break;
        }
        return UploadPages();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Font::PreloadTextW(LPCWSTR pString, INT Count) {
    if (!pString) return D3DERR_INVALIDCALL;
    try {
        m_engine->Layout(pString, Count, RECT{0, 0, 0, 0}, DT_NOCLIP, &m_layout);
        for (const PlacedGlyph& g : m_layout.glyphs) m_engine->Glyph(g.slot, g.glyph);
        return UploadPages();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace
}  // namespace plat

HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* pDevice, const D3DXFONT_DESCW* pDesc, ID3DXFont** ppFont) {
    if (ppFont) *ppFont = nullptr;
    if (!pDevice || !pDesc || !ppFont) return D3DERR_INVALIDCALL;
    D3DXFONT_DESCW desc = *pDesc;
    desc.FaceName[LF_FACESIZE - 1] = L'\0';
    std::unique_ptr<plat::FontEngine> engine;
    HRESULT hr;
    try {
        hr = plat::FontEngine::Create(desc, &engine);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) return hr;
    *ppFont = new (std::nothrow) plat::Font(pDevice, desc, std::move(engine));
    return *ppFont ? S_OK : E_OUTOFMEMORY;
}

HRESULT D3DXCreateFontW(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                        BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality,
                        DWORD PitchAndFamily, LPCWSTR pFaceName, ID3DXFont** ppFont) {
    D3DXFONT_DESCW desc{};
    desc.Height = Height;
    desc.Width = Width;
    desc.Weight = Weight;
    desc.MipLevels = MipLevels;
    desc.Italic = Italic;
    desc.CharSet = static_cast<BYTE>(CharSet);
    desc.OutputPrecision = static_cast<BYTE>(OutputPrecision);
    desc.Quality = static_cast<BYTE>(Quality);
    desc.PitchAndFamily = static_cast<BYTE>(PitchAndFamily);
    for (int i = 0; pFaceName && i < LF_FACESIZE - 1 && pFaceName[i]; ++i) desc.FaceName[i] = pFaceName[i];
    return D3DXCreateFontIndirectW(pDevice, &desc, ppFont);
}
