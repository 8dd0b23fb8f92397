// The look model: fading state colours, the ARGB <-> float conversions, the
// caption's look, and the built-in skin image (its header, a part in every
// rectangle of the default table, and that the generator reproduces it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/kitgui/gui_types.h"
#include "common/kitgui/skin_element.h"
#include "common/kitgui/skin_image.h"

namespace {

TEST(StateColor, FadeMovesByTheRateOverElapsedTimeAndRateZeroJumps) {
    KitStateColor c{};
    c.SetAll(0xFFFFFFFF);
    EXPECT_EQ(c.Current.a, 0.0f);  // starts at the hidden colour
    EXPECT_EQ(c.States[KIT_LOOK_DISABLED], 0xC8808080u);
    EXPECT_EQ(c.States[KIT_LOOK_PRESSED], 0xFFFFFFFFu);

    c.Fade(KIT_LOOK_NORMAL, 1.0f / 30.0f, 0.7f);  // one thirtieth of a second: 30 % of the way
    EXPECT_NEAR(c.Current.a, 0.3f, 1e-5f);
    EXPECT_NEAR(c.Current.r, 0.3f, 1e-5f);
    c.Fade(KIT_LOOK_NORMAL, 1.0f / 30.0f, 0.7f);  // 30 % of what is left
    EXPECT_NEAR(c.Current.a, 0.51f, 1e-5f);

    c.Fade(KIT_LOOK_DISABLED, 10.0f, 0.7f);
    EXPECT_EQ(KitArgbFromColor(c.Current), 0xC8808080u);
    EXPECT_NEAR(c.Current.a, 200.0f / 255.0f, 1e-6f);

    c.Fade(KIT_LOOK_HIDDEN, 0.0f, 0.0f);  // rate 0: at once, even with no time elapsed
    EXPECT_EQ(c.Current.a, 0.0f);
    EXPECT_EQ(c.Current.r, 0.0f);
}

TEST(StateColor, ConversionsRoundAndClamp) {
    EXPECT_EQ(KitArgbFromColor(KitColorFromArgb(0x00000000)), 0x00000000u);
    EXPECT_EQ(KitArgbFromColor(KitColorFromArgb(0xFFFFFFFF)), 0xFFFFFFFFu);
    EXPECT_EQ(KitArgbFromColor(KitColorFromArgb(0x80402010)), 0x80402010u);
    const D3DXCOLOR c = KitColorFromArgb(0xFF336699);
    EXPECT_FLOAT_EQ(c.a, 1.0f);
    EXPECT_FLOAT_EQ(c.r, 0x33 / 255.0f);
    EXPECT_FLOAT_EQ(c.b, 0x99 / 255.0f);
    // Out of range: above 1 is 255, below 0 is 0; in between rounds to nearest.
    EXPECT_EQ(KitArgbFromColor(D3DXCOLOR(1.5f, -0.5f, 0.5f, 2.0f)), 0xFFFF0080u);
    EXPECT_EQ(KitArgbFromColor(D3DXCOLOR(0.0f, 1.0f / 255.0f * 0.49f, 0.999f, 0.0f)), 0x000000FFu);
}

TEST(SkinElement, TheCaptionStartsFullyShownAndRestoreHidesALook) {
    CKitSkinElement caption = KitCaptionElement();
    EXPECT_EQ(KitArgbFromColor(caption.TintColor.Current), 0xFFFFFFFFu);
    EXPECT_EQ(KitArgbFromColor(caption.TextColor.Current), 0xFFFFFFFFu);
    EXPECT_EQ(caption.rcSource.top, 269);  // below the image's last row, as the layout has it
    caption.Restore();
    EXPECT_EQ(caption.TintColor.Current.a, 0.0f);
    EXPECT_EQ(caption.TextColor.Current.a, 0.0f);
}

// The skin's pixel (x, y) alpha, from the DDS image (R, G, B, A bytes).
int SkinAlpha(const unsigned char* pBytes, int x, int y) { return pBytes[128 + (y * 256 + x) * 4 + 3]; }

TEST(Skin, TheBuiltInImageHasTheHeaderAndAPartInEveryDefaultRectangle) {
    const void* pData = nullptr;
    UINT nSize = 0;
    ASSERT_TRUE(KitFindSkinImage(&pData, &nSize));
    ASSERT_EQ(nSize, 262272u);
    const auto* b = static_cast<const unsigned char*>(pData);
    auto u32 = [&](int at) {
        return UINT(b[at]) | UINT(b[at + 1]) << 8 | UINT(b[at + 2]) << 16 | UINT(b[at + 3]) << 24;
    };
    EXPECT_EQ(std::memcmp(b, "DDS ", 4), 0);
    EXPECT_EQ(u32(4), 124u);
    EXPECT_EQ(u32(8), 0x1007u);
    EXPECT_EQ(u32(12), 256u);
    EXPECT_EQ(u32(16), 256u);
    EXPECT_EQ(u32(80), 0x41u);
    EXPECT_EQ(u32(88), 32u);
    EXPECT_EQ(u32(92), 0x000000FFu);
    EXPECT_EQ(u32(104), 0xFF000000u);
    EXPECT_EQ(u32(108), 0x1002u);

    int nDefaults = 0;
    const KitElementDefault* pDefaults = KitDefaultElements(&nDefaults);
    int nChecked = 0;
    for (int i = 0; i < nDefaults; ++i) {
        const RECT& rc = pDefaults[i].Element.rcSource;
        if (rc.right <= rc.left) continue;  // the static draws no picture
        // An opaque part; the shapes of buttons, boxes and marks also have soft
        // edges (partly transparent texels). Pieces of a panel's inside may not.
        int nOpaque = 0, nEdge = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) {
                const int a = SkinAlpha(b, x, y);
                nOpaque += a == 255;
                nEdge += a > 0 && a < 255;
            }
        EXPECT_GT(nOpaque, 0) << "kind " << pDefaults[i].nKind << " element " << pDefaults[i].iElement;
        if (pDefaults[i].nKind <= KIT_KIND_RADIOBUTTON) {
            EXPECT_GT(nEdge, 20) << "kind " << pDefaults[i].nKind << " element " << pDefaults[i].iElement;
        }
        ++nChecked;
    }
    EXPECT_EQ(nChecked, 37);  // every element but the static's text
}

TEST(Skin, TheGeneratorReproducesTheCommittedImage) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    const std::string out = std::string(TUMBRAL_BINARY_DIR) + "/kit_skin_check.dds";
    const std::string cmd = "python3 " TUMBRAL_SOURCE_DIR "/scripts/gen_skin.py " + out;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    auto read = [](const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(f), {});
    };
    const std::vector<char> made = read(out);
    const std::vector<char> committed = read(TUMBRAL_SOURCE_DIR "/common/kitgui/media/kit_skin.dds");
    std::remove(out.c_str());
    EXPECT_EQ(made.size(), 262272u);
    EXPECT_TRUE(made == committed) << "scripts/gen_skin.py and common/kitgui/media/kit_skin.dds differ";
}

}  // namespace
