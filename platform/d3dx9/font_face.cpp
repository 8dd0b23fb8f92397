// Sized faces over FreeType and HarfBuzz. Shaping uses HarfBuzz's own OpenType
// functions (fast, unhinted advances rounded to whole pixels); rasterisation
// uses FreeType with light hinting, optional emboldening and shearing.
#include "platform/d3dx9/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ot.h>
#include <hb.h>

#include <cmath>
#include <map>
#include <mutex>
#include <string>

namespace plat {
namespace {

// A font file opened once for the whole process.
struct SharedFace {
    FT_Face ft = nullptr;
    hb_face_t* hb = nullptr;
};

std::mutex g_faceMutex;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// Shared faces stay open for the life of the process: fonts come and go with
// the device, the files behind them do not change. The table is never
// destroyed, so no face is closed under a font released during exit.
const SharedFace* OpenShared(const FontFile& file) {
    static auto& faces = *new std::map<std::pair<std::string, int>, SharedFace>();
    std::lock_guard<std::mutex> lock(g_faceMutex);
    const auto key = std::make_pair(file.path, file.index);
    auto found = faces.find(key);
    if (found != faces.end()) return &found->second;
    FT_Library lib = Library();
    if (!lib) return nullptr;
    SharedFace shared;
    if (FT_New_Face(lib, file.path.c_str(), file.index, &shared.ft) != 0) return nullptr;
    if (!FT_IS_SCALABLE(shared.ft)) {
        FT_Done_Face(shared.ft);
        return nullptr;
    }
    hb_blob_t* blob = hb_blob_create_from_file_or_fail(file.path.c_str());
    if (!blob) {
        FT_Done_Face(shared.ft);
        return nullptr;
    }
    shared.hb = hb_face_create(blob, static_cast<unsigned>(file.index));
    hb_blob_destroy(blob);
    return &faces.emplace(key, shared).first->second;
}

int RoundPixels(hb_position_t v) { return static_cast<int>(std::lround(v / 64.0)); }

}  // namespace

uint32_t GuessScript(const char32_t* text, int count) {
    hb_unicode_funcs_t* funcs = hb_unicode_funcs_get_default();
    for (int i = 0; i < count; ++i) {
        // ASCII without a look-up: its letters are Latin, the rest common to all scripts.
        const char32_t ch = text[i];
        if (ch < 0x80) {
            if ((ch | 0x20) >= U'a' && (ch | 0x20) <= U'z') return HB_SCRIPT_LATIN;
            continue;
        }
        const hb_script_t script = hb_unicode_script(funcs, ch);
        if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN)
            return script;
    }
    return 0;
}

bool IsRightToLeft(uint32_t script) {
    return script && hb_script_get_horizontal_direction(static_cast<hb_script_t>(script)) == HB_DIRECTION_RTL;
}

struct SizedFace::Impl {
    const SharedFace* shared = nullptr;
    FontFile file;
    FT_Size size = nullptr;
    hb_font_t* font = nullptr;
    hb_buffer_t* buffer = nullptr;
    double emX = 0, emY = 0;
    bool mono = false;
    int boldExtra = 0;  // pixels added to advances when outlines are emboldened

    ~Impl() {
        if (buffer) hb_buffer_destroy(buffer);
        if (font) hb_font_destroy(font);
        if (size) {
            std::lock_guard<std::mutex> lock(g_faceMutex);
            FT_Done_Size(size);
        }
    }
};

SizedFace::SizedFace(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}
SizedFace::~SizedFace() = default;

std::unique_ptr<SizedFace> SizedFace::Open(const FontFile& file) {
    const SharedFace* shared = OpenShared(file);
    if (!shared) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->shared = shared;
    impl->file = file;
    {
        std::lock_guard<std::mutex> lock(g_faceMutex);
        if (FT_New_Size(shared->ft, &impl->size) != 0) return nullptr;
    }
    impl->font = hb_font_create(shared->hb);
    hb_ot_font_set_funcs(impl->font);
    impl->buffer = hb_buffer_create();
    auto face = std::unique_ptr<SizedFace>(new SizedFace(std::move(impl)));
    face->SetPixelSize(16, 16, false);
    return face;
}

int SizedFace::UnitsPerEm() const { return m->shared->ft->units_per_EM ? m->shared->ft->units_per_EM : 1000; }

int SizedFace::CellAscentUnits() const {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m->shared->ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) return os2->usWinAscent;
    return m->shared->ft->ascender;
}

int SizedFace::CellDescentUnits() const {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m->shared->ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) return os2->usWinDescent;
    return -m->shared->ft->descender;
}

int SizedFace::AverageWidthUnits() const {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m->shared->ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
    return UnitsPerEm() / 2;
}

void SizedFace::SetPixelSize(double emX, double emY, bool mono) {
    m->emX = emX > 0 ? emX : emY;
    m->emY = emY;
    m->mono = mono;
    {
        std::lock_guard<std::mutex> lock(g_faceMutex);
        FT_Activate_Size(m->size);
        FT_Set_Char_Size(m->shared->ft, static_cast<FT_F26Dot6>(std::lround(m->emX * 64)),
                         static_cast<FT_F26Dot6>(std::lround(m->emY * 64)), 72, 72);
    }
    hb_font_set_scale(m->font, static_cast<int>(std::lround(m->emX * 64)),
                      static_cast<int>(std::lround(m->emY * 64)));
    hb_font_set_ppem(m->font, static_cast<unsigned>(std::lround(m->emX)),
                     static_cast<unsigned>(std::lround(m->emY)));
    m->boldExtra = m->file.synthBold ? std::max(1, static_cast<int>(std::lround(m->emY / 24.0))) : 0;
}

int SizedFace::Ascent() const {
    return static_cast<int>(std::lround(CellAscentUnits() * m->emY / UnitsPerEm()));
}

int SizedFace::Descent() const {
    return static_cast<int>(std::lround(CellDescentUnits() * m->emY / UnitsPerEm()));
}

bool SizedFace::HasChar(char32_t ch) const {
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(m->font, ch, &glyph) && glyph != 0;
}

void SizedFace::Shape(const char32_t* text, int length, int start, int count, uint32_t script,
                      std::vector<ShapedGlyph>* out) const {
    hb_buffer_t* buffer = m->buffer;
    hb_buffer_clear_contents(buffer);
    // Flags that tell where the result may be cut and joined, for reuse after an edit.
    hb_buffer_set_flags(buffer, HB_BUFFER_FLAG_PRODUCE_UNSAFE_TO_CONCAT);
    hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text), length, static_cast<unsigned>(start),
                        count);
    // The run's script and direction, so a piece of a run shapes as the whole run would.
    if (script) hb_buffer_set_script(buffer, static_cast<hb_script_t>(script));
    hb_buffer_set_direction(buffer, IsRightToLeft(script) ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(m->font, buffer, nullptr, 0);
    unsigned n = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &n);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, nullptr);
    out->reserve(out->size() + n);
    for (unsigned i = 0; i < n; ++i) {
        ShapedGlyph g;
        g.glyph = info[i].codepoint;
        g.cluster = info[i].cluster;
        g.advance = RoundPixels(pos[i].x_advance);
        if (g.advance > 0) g.advance += m->boldExtra;
        g.xOffset = RoundPixels(pos[i].x_offset);
        g.yOffset = -RoundPixels(pos[i].y_offset);
        g.unsafe = (hb_glyph_info_get_glyph_flags(&info[i]) &
                    (HB_GLYPH_FLAG_UNSAFE_TO_BREAK | HB_GLYPH_FLAG_UNSAFE_TO_CONCAT)) != 0;
        out->push_back(g);
    }
}

bool SizedFace::Render(uint32_t glyph, GlyphImage* out) const {
    std::lock_guard<std::mutex> lock(g_faceMutex);
    FT_Face ft = m->shared->ft;
    FT_Activate_Size(m->size);
    if (m->file.synthItalic) {
        FT_Matrix shear = {0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
        FT_Set_Transform(ft, &shear, nullptr);
    }
    const FT_Int32 flags = FT_LOAD_NO_BITMAP | (m->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    const FT_Error loaded = FT_Load_Glyph(ft, glyph, flags);
    if (m->file.synthItalic) FT_Set_Transform(ft, nullptr, nullptr);
    if (loaded != 0) return false;
    FT_GlyphSlot slot = ft->glyph;
    if (m->file.synthBold && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_EmboldenXY(&slot->outline, m->boldExtra * 64, 0);
    if (FT_Render_Glyph(slot, m->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out->width = static_cast<int>(bitmap.width);
    out->height = static_cast<int>(bitmap.rows);
    out->left = slot->bitmap_left;
    out->top = -slot->bitmap_top;
    out->coverage.assign(static_cast<size_t>(out->width) * out->height, 0);
    for (int y = 0; y < out->height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        uint8_t* dst = out->coverage.data() + static_cast<size_t>(y) * out->width;
        for (int x = 0; x < out->width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = static_cast<uint8_t>(
                    bitmap.num_grays == 256 ? row[x] : row[x] * 255 / (bitmap.num_grays - 1));
        }
    }
    return true;
}

}  // namespace plat
