// The built-in text-layout service through LoadLibraryW and GetProcAddress,
// over a font engine's device context: caret positions per cluster, hit tests
// with their edges, word stops and white space, argument checks, and text that
// must neither crash nor hang the layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/uniscribe/layout_service_fixture.h"

namespace {

class LayoutService : public tumbral_test::LayoutServiceFixture {
  protected:
    void TearDown() override {
        if (m_Free && m_ssa) m_Free(&m_ssa);
        LayoutServiceFixture::TearDown();
    }

    // Analyses the text with its terminator, as the edit box does.
    HRESULT Analyse(const std::wstring& text) {
        if (m_ssa) m_Free(&m_ssa);
        SCRIPT_CONTROL control{};
        SCRIPT_STATE state{};
        EXPECT_EQ(m_Digits(nullptr, &control, &state), S_OK);
        return m_Analyse(m_hDC, text.c_str(), int(text.size()) + 1, int(text.size()) * 3 / 2 + 16, -1,
                         SSA_BREAK | SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, &control, &state, nullptr,
                         nullptr, nullptr, &m_ssa);
    }
    int X(int cp, bool trailing = false) {
        int x = -1;
        EXPECT_EQ(m_CPtoX(m_ssa, cp, trailing, &x), S_OK) << cp;
        return x;
    }
    std::pair<int, int> Hit(int x) {
        int cp = -7, trailing = -7;
        EXPECT_EQ(m_XtoCP(m_ssa, x, &cp, &trailing), S_OK);
        return {cp, trailing};
    }

    SCRIPT_STRING_ANALYSIS m_ssa = nullptr;
};

TEST_F(LayoutService, CaretPositionsGrowAcrossMixedTextAndStayOutOfClusters) {
    const std::wstring mixed = L"Tumbral 还原 cube 立方体 ok";
    ASSERT_EQ(Analyse(mixed), S_OK);
    ASSERT_NE(m_OutChars(m_ssa), nullptr);
    EXPECT_EQ(*m_OutChars(m_ssa), int(mixed.size()) + 1);
    for (int i = 1; i <= int(mixed.size()); ++i) EXPECT_GT(X(i), X(i - 1)) << i;
    EXPECT_EQ(X(0, true), X(1)) << "the trailing edge of a character is the next one's leading edge";
    EXPECT_EQ(X(int(mixed.size())), X(int(mixed.size()) + 1)) << "the terminator takes no room";

    // e + combining acute; a surrogate pair; woman + ZWJ + laptop; then z.
    const std::wstring clusters =
        L"e\x0301"
        L"\xD83D\xDE00"
        L"\x1F469\x200D\x1F4BB"
        L"z";
    ASSERT_EQ(Analyse(clusters), S_OK);
    const SCRIPT_LOGATTR* attrs = m_LogAttr(m_ssa);
    ASSERT_NE(attrs, nullptr);
    std::vector<int> stops;
    for (int i = 0; i < int(clusters.size()); ++i)
        if (attrs[i].fCharStop) stops.push_back(i);
    EXPECT_EQ(stops, (std::vector<int>{0, 2, 4, 7}));
    EXPECT_EQ(X(1), X(0));
    EXPECT_EQ(X(1, true), X(2));
    EXPECT_EQ(X(3), X(2));
    EXPECT_EQ(X(5), X(4));
    EXPECT_EQ(X(5, true), X(7));
    EXPECT_GT(X(2), X(0));
    EXPECT_GT(X(4), X(2));
    EXPECT_GT(X(7), X(4));

    // A hit on a cluster's trailing half names its last character, so the caret after it is the cluster's
    // end.
    EXPECT_EQ(Hit(X(4) + (X(7) - X(4)) * 3 / 4), std::make_pair(6, 1));
    EXPECT_EQ(Hit(X(4) + 1), std::make_pair(4, 0));
}

TEST_F(LayoutService, HitTestsGiveEdgesAndTheTextsEnds) {
    ASSERT_EQ(Analyse(L"abc"), S_OK);
    EXPECT_EQ(Hit(-1), std::make_pair(-1, 1)) << "left of the text";
    EXPECT_EQ(Hit(X(3) + 50), std::make_pair(4, 0)) << "right of it: past the last character";
    EXPECT_EQ(Hit(X(1)), std::make_pair(1, 0));
    EXPECT_EQ(Hit(X(2) - 1), std::make_pair(1, 1));
    for (int x = 0; x < X(3); ++x) {
        const auto [cp, trailing] = Hit(x);
        const int caret = cp + trailing;
        // The caret chosen is the nearer edge.
        EXPECT_LE(std::abs(X(caret) - x), std::abs(X(trailing ? cp : cp + 1) - x)) << x;
    }
}

TEST_F(LayoutService, WordStopsAndWhiteSpace) {
    const std::wstring text = L"hello  world, 还原 test";
    ASSERT_EQ(Analyse(text), S_OK);
    const SCRIPT_LOGATTR* attrs = m_LogAttr(m_ssa);
    ASSERT_NE(attrs, nullptr);
    std::vector<int> words, spaces;
    for (int i = 0; i < int(text.size()); ++i) {
        if (attrs[i].fWordStop) words.push_back(i);
        if (attrs[i].fWhiteSpace) spaces.push_back(i);
    }
    EXPECT_EQ(words, (std::vector<int>{0, 7, 12, 14, 17}));
    EXPECT_EQ(spaces, (std::vector<int>{5, 6, 13, 16}));
    EXPECT_TRUE(Analyse(L"a\x3000"
                        L"b") == S_OK &&
                m_LogAttr(m_ssa)[1].fWhiteSpace)
        << "ideographic space";
}

TEST_F(LayoutService, ArgumentsAreChecked) {
    SCRIPT_STRING_ANALYSIS ssa = nullptr;
    const WCHAR text[] = L"abc";
    EXPECT_EQ(m_Analyse(m_hDC, text, 0, 16, -1, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &ssa),
              E_INVALIDARG);
    EXPECT_EQ(m_Analyse(m_hDC, nullptr, 4, 16, -1, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &ssa),
              E_INVALIDARG);
    EXPECT_EQ(m_Analyse(nullptr, text, 4, 16, -1, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &ssa),
              E_PENDING)
        << "shaping needs a font's device context";
    EXPECT_EQ(ssa, nullptr);
    EXPECT_EQ(m_Digits(nullptr, nullptr, nullptr), E_INVALIDARG);
    ASSERT_EQ(Analyse(L"abc"), S_OK);
    int x = 0;
    EXPECT_EQ(m_CPtoX(m_ssa, 5, FALSE, &x), E_INVALIDARG);
    EXPECT_EQ(m_CPtoX(m_ssa, -1, FALSE, &x), E_INVALIDARG);
    EXPECT_EQ(m_LogAttr(nullptr), nullptr);
    EXPECT_EQ(m_OutChars(nullptr), nullptr);
    EXPECT_EQ(m_Free(nullptr), E_INVALIDARG);
}

TEST_F(LayoutService, BadTextNeitherCrashesNorHangs) {
    // Unpaired surrogates and control characters.
    const std::wstring odd =
        L"a\xD800"
        L"b\xDC00\x0001\x0008\x007F\x001B"
        L"c\xDBFF";
    ASSERT_EQ(Analyse(odd), S_OK);
    const SCRIPT_LOGATTR* attrs = m_LogAttr(m_ssa);
    EXPECT_TRUE(attrs[1].fInvalid && attrs[3].fInvalid && attrs[9].fInvalid);
    EXPECT_FALSE(attrs[0].fInvalid);
    for (int i = 1; i <= int(odd.size()); ++i) EXPECT_GE(X(i), X(i - 1)) << i;

    // 65,534 characters of one grapheme cluster: a base and 65,533 combining marks.
    std::wstring cluster(65534, L'\x0301');
    cluster[0] = L'a';
    ASSERT_EQ(Analyse(cluster), S_OK);
    EXPECT_EQ(X(30000), 0);
    EXPECT_EQ(X(30000, true), X(65534));
    EXPECT_EQ(Hit(1), std::make_pair(0, 0));
    int stops = 0;
    for (int i = 0; i < 65534; ++i) stops += m_LogAttr(m_ssa)[i].fCharStop;
    EXPECT_EQ(stops, 1);
}

}  // namespace
