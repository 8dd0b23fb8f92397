// D3DX core: fonts, sprites and the library version check.
//
// Fonts turn a face name into an installed font (fontconfig), rasterise glyphs
// (FreeType), shape text (HarfBuzz), cache glyphs in a texture atlas and draw
// them as sprite quads. Sprites batch pre-transformed textured quads.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9math.h"

// ---------------------------------------------------------------------------
// Versions. D3D_SDK_VERSION (32) comes from the device header; callers may
// add the debug-information bit 0x80000000 to it.
#define D3DX_SDK_VERSION 42
#define D3DX_VERSION 0x0902

// TRUE when the caller was built against this runtime (32, with or without
// the debug bit) and this library (42); FALSE otherwise.
BOOL D3DXCheckVersion(UINT d3dVersion, UINT d3dxVersion);

// ---------------------------------------------------------------------------
// Text format flags for ID3DXFont::DrawText.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_TABSTOP 0x00000080
#define DT_NOCLIP 0x00000100
#define DT_EXTERNALLEADING 0x00000200
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_INTERNAL 0x00001000
#define DT_EDITCONTROL 0x00002000
#define DT_PATH_ELLIPSIS 0x00004000
#define DT_END_ELLIPSIS 0x00008000
#define DT_MODIFYSTRING 0x00010000
#define DT_RTLREADING 0x00020000
#define DT_WORD_ELLIPSIS 0x00040000

// Font weights.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_ULTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_DEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_ULTRABOLD 800
#define FW_HEAVY 900
#define FW_BLACK 900

// Character sets (accepted and stored; matching goes by face name and coverage).
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define HANGUL_CHARSET 129
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define OEM_CHARSET 255

// Output precision (stored only).
#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_STROKE_PRECIS 3
#define OUT_TT_PRECIS 4
#define OUT_DEVICE_PRECIS 5
#define OUT_RASTER_PRECIS 6
#define OUT_TT_ONLY_PRECIS 7
#define OUT_OUTLINE_PRECIS 8

// Quality: NONANTIALIASED_QUALITY gives one-bit glyphs, everything else grey-scale.
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5

// Pitch (low bits) and family (high nibble); FIXED_PITCH and FF_MODERN prefer a monospace font.
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

#define LF_FACESIZE 32

// ---------------------------------------------------------------------------
// Font description.
struct D3DXFONT_DESCW {
    INT Height;            // > 0: cell height (ascent + descent) in pixels; < 0: em height; 0: default (16)
    UINT Width;            // average character width; 0 keeps the font's proportions
    UINT Weight;           // FW_* (400 normal, 700 bold)
    UINT MipLevels;        // accepted, glyph atlases have one level
    BOOL Italic;           // slanted face, or an oblique transform when none is installed
    BYTE CharSet;          // *_CHARSET
    BYTE OutputPrecision;  // OUT_*_PRECIS
    BYTE Quality;          // *_QUALITY
    BYTE PitchAndFamily;   // *_PITCH | FF_*
    WCHAR FaceName[LF_FACESIZE];  // requested face, zero-terminated
};
typedef D3DXFONT_DESCW D3DXFONT_DESC;
typedef D3DXFONT_DESCW* LPD3DXFONT_DESCW;
typedef D3DXFONT_DESCW* LPD3DXFONT_DESC;

// A font bound to a device. DrawText returns the height of the drawn text in
// pixels (with DT_VCENTER or DT_BOTTOM: from the rectangle's top to the text's
// bottom), 0 on failure or for empty text. DT_CALCRECT draws nothing and sets
// *pRect to the rectangle the aligned lines would cover: one cell high per
// line, as wide as the widest line; with DT_LEFT | DT_TOP its left and top
// stay. A null pRect places the text at (0, 0) unclipped. Without DT_NOCLIP
// glyphs are cut to the rectangle. Accepted but not acted on: DT_*_ELLIPSIS,
// DT_RTLREADING, DT_EXTERNALLEADING, DT_NOPREFIX (prefixes are never parsed).
struct ID3DXFont : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetDescW(D3DXFONT_DESCW* pDesc) = 0;
    // An HDC naming this font for the text-layout service (usp10); valid until the font is released.
    virtual HDC GetDC() = 0;
    virtual HRESULT PreloadCharacters(UINT First, UINT Last) = 0;
    virtual HRESULT PreloadTextW(LPCWSTR pString, INT Count) = 0;
    virtual INT DrawTextA(struct ID3DXSprite* pSprite, LPCSTR pString, INT Count, LPRECT pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual INT DrawTextW(struct ID3DXSprite* pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                          D3DCOLOR Color) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;

    HRESULT GetDesc(D3DXFONT_DESCW* pDesc) { return GetDescW(pDesc); }
    INT DrawText(struct ID3DXSprite* pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                 D3DCOLOR Color) {
        return DrawTextW(pSprite, pString, Count, pRect, Format, Color);
    }
};
typedef ID3DXFont* LPD3DXFONT;

HRESULT D3DXCreateFontW(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                        BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality,
                        DWORD PitchAndFamily, LPCWSTR pFaceName, ID3DXFont** ppFont);
HRESULT D3DXCreateFontIndirectW(IDirect3DDevice9* pDevice, const D3DXFONT_DESCW* pDesc, ID3DXFont** ppFont);
#define D3DXCreateFont D3DXCreateFontW
#define D3DXCreateFontIndirect D3DXCreateFontIndirectW

// ---------------------------------------------------------------------------
// Sprite flags for ID3DXSprite::Begin.
#define D3DXSPRITE_DONOTSAVESTATE (1 << 0)           // leave device state as drawing left it
#define D3DXSPRITE_DONOTMODIFY_RENDERSTATE (1 << 1)  // draw with the caller's render states
#define D3DXSPRITE_OBJECTSPACE (1 << 2)              // accepted; quads are always in screen pixels
#define D3DXSPRITE_BILLBOARD (1 << 3)                // accepted; quads are always in screen pixels
#define D3DXSPRITE_ALPHABLEND (1 << 4)               // blend with SRCALPHA / INVSRCALPHA
#define D3DXSPRITE_SORT_TEXTURE (1 << 5)             // group quads by texture at flush
#define D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (1 << 6)   // by z, nearest first
#define D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (1 << 7)   // by z, farthest first

// Batches textured quads in screen pixels. Draw places the source rectangle
// (whole texture when null) so that pCenter (texel offset in the rectangle,
// origin when null) lands on pPosition (origin when null), then applies the
// sprite transform; the texture is modulated by Color.
struct ID3DXSprite : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetTransform(D3DXMATRIX* pTransform) = 0;
    virtual HRESULT SetTransform(const D3DXMATRIX* pTransform) = 0;
    virtual HRESULT Begin(DWORD Flags) = 0;
    virtual HRESULT Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect, const D3DXVECTOR3* pCenter,
                         const D3DXVECTOR3* pPosition, D3DCOLOR Color) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT End() = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

HRESULT D3DXCreateSprite(IDirect3DDevice9* pDevice, ID3DXSprite** ppSprite);
