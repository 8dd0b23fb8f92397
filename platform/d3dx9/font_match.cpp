// Face matching through fontconfig: requests become patterns, patterns become
// font files; the sorted list behind the best match serves as fallback chain.
#include "platform/d3dx9/font_match.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <system_error>

#include "platform/base/utf8.h"

namespace plat {
namespace {

std::once_flag g_configOnce;
FcConfig* g_config = nullptr;

// Loaded once, by the first caller; a second caller meanwhile waits for it.
FcConfig* Config() {
    std::call_once(g_configOnce, [] { g_config = FcInitLoadConfigAndFonts(); });
    return g_config;
}

// Generic family for the FF_* bits, used when no face name is given and as a
// second family after the name.
const char* GenericFamily(unsigned pitchAndFamily) {
    if ((pitchAndFamily & 0x3) == 1) return "monospace";  // FIXED_PITCH
    switch (pitchAndFamily & 0xF0) {
        case 0x10:
            return "serif";  // FF_ROMAN
        case 0x30:
            return "monospace";  // FF_MODERN
        case 0x40:
            return "cursive";  // FF_SCRIPT
        case 0x50:
            return "fantasy";  // FF_DECORATIVE
        default:
            return "sans-serif";
    }
}

int RequestedFcWeight(const FontRequest& request) {
    const int weight = request.weight <= 0 ? 400 : (request.weight > 1000 ? 1000 : request.weight);
    return FcWeightFromOpenType(weight);
}

// A pattern ready for matching: names, weight, slant, defaults applied.
FcPattern* BuildPattern(const FontRequest& request) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    const std::string face = WideToUtf8(request.face);
    if (!face.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(GenericFamily(request.pitchAndFamily)));
    FcPatternAddInteger(pattern, FC_WEIGHT, RequestedFcWeight(request));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

bool FileOf(const FontRequest& request, FcPattern* font, FontFile* out) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) return false;
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    out->path = reinterpret_cast<const char*>(file);
    out->index = index;
    out->synthBold = request.weight >= 600 && weight < FC_WEIGHT_DEMIBOLD;
    out->synthItalic = request.italic && slant == FC_SLANT_ROMAN;
    return true;
}

}  // namespace

FontMatchingWarmUp::FontMatchingWarmUp() {
    try {
        m_thread = std::thread([] { Config(); });
    } catch (const std::system_error&) {
        // No thread: the first font loads the configuration itself.
    }
}

FontMatchingWarmUp::~FontMatchingWarmUp() {
    if (m_thread.joinable()) m_thread.join();
}

bool MatchFontFile(const FontRequest& request, FontFile* out) {
    FcConfig* config = Config();
    if (!config) return false;
    FcPattern* pattern = BuildPattern(request);
    if (!pattern) return false;
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    const bool found = FileOf(request, match, out);
    FcPatternDestroy(match);
    return found;
}

struct FontFallbackChain::Chain {
    FcFontSet* fonts = nullptr;  // sorted by preference, trimmed to fonts that add coverage
    ~Chain() {
        if (fonts) FcFontSetDestroy(fonts);
    }
};

FontFallbackChain::FontFallbackChain(const FontRequest& request) : m_request(request) {}
FontFallbackChain::~FontFallbackChain() = default;

bool FontFallbackChain::Find(char32_t ch, FontFile* out) {
    if (!m_chain) {
        m_chain = std::make_unique<Chain>();
        FcConfig* config = Config();
        FcPattern* pattern = config ? BuildPattern(m_request) : nullptr;
        if (pattern) {
            FcResult result = FcResultNoMatch;
            m_chain->fonts = FcFontSort(config, pattern, FcTrue, nullptr, &result);
            FcPatternDestroy(pattern);
        }
    }
    if (!m_chain->fonts) return false;
    for (int i = 0; i < m_chain->fonts->nfont; ++i) {
        FcPattern* font = m_chain->fonts->fonts[i];
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch || !charset) continue;
        if (!FcCharSetHasChar(charset, static_cast<FcChar32>(ch))) continue;
        if (FileOf(m_request, font, out)) return true;
    }
    return false;
}

}  // namespace plat
