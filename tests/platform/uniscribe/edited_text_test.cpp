// Analyses of a text after small edits, as an edit box makes them keystroke by
// keystroke: every logical attribute, the character count and every caret
// position must equal those of a fresh analysis of the same text, made on a
// thread that has analysed nothing before.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/uniscribe/layout_service_fixture.h"

namespace {

// What a caller can read back from an analysis.
struct Result {
    HRESULT hr = E_FAIL;
    int chars = -1;
    std::vector<SCRIPT_LOGATTR> attrs;
    std::vector<int> leading, trailing;
};

bool SameAttr(const SCRIPT_LOGATTR& a, const SCRIPT_LOGATTR& b) {
    return a.fSoftBreak == b.fSoftBreak && a.fWhiteSpace == b.fWhiteSpace && a.fCharStop == b.fCharStop &&
           a.fWordStop == b.fWordStop && a.fInvalid == b.fInvalid;
}

class EditedText : public tumbral_test::LayoutServiceFixture {
  protected:
    // Analyses the text with its terminator, as the edit box does, on the calling thread.
    Result Analyse(const std::wstring& text) {
        Result r;
        SCRIPT_CONTROL control{};
        SCRIPT_STATE state{};
        SCRIPT_STRING_ANALYSIS ssa = nullptr;
        r.hr = m_Analyse(m_hDC, text.c_str(), int(text.size()) + 1, int(text.size()) * 3 / 2 + 16, -1,
                         SSA_BREAK | SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, &control, &state, nullptr,
                         nullptr, nullptr, &ssa);
        if (FAILED(r.hr)) return r;
        r.chars = *m_OutChars(ssa);
        r.attrs.assign(m_LogAttr(ssa), m_LogAttr(ssa) + r.chars);
        for (int cp = 0; cp <= r.chars; ++cp) {
            int x = -1;
            m_CPtoX(ssa, cp, FALSE, &x);
            r.leading.push_back(x);
            if (cp < r.chars) m_CPtoX(ssa, cp, TRUE, &x);
            r.trailing.push_back(x);
        }
        m_Free(&ssa);
        return r;
    }
    // The same on a new thread, which has no earlier text to build on.
    Result AnalyseAfresh(const std::wstring& text) {
        Result r;
        std::thread([&] { r = Analyse(text); }).join();
        return r;
    }

    // Compares an analysis with a fresh one; false (and failures reported) when they differ.
    bool Matches(const std::wstring& text, const std::string& what) {
        const Result got = Analyse(text), want = AnalyseAfresh(text);
        EXPECT_EQ(got.hr, S_OK) << what;
        EXPECT_EQ(want.hr, S_OK) << what;
        EXPECT_EQ(got.chars, want.chars) << what;
        if (got.chars != want.chars) return false;
        for (int i = 0; i < got.chars; ++i) {
            if (SameAttr(got.attrs[size_t(i)], want.attrs[size_t(i)])) continue;
            ADD_FAILURE() << what << ": attributes differ at " << i << " (stop "
                          << int(got.attrs[size_t(i)].fCharStop) << "/"
                          << int(want.attrs[size_t(i)].fCharStop) << ", word "
                          << int(got.attrs[size_t(i)].fWordStop) << "/"
                          << int(want.attrs[size_t(i)].fWordStop) << ")";
            return false;
        }
        EXPECT_EQ(got.leading, want.leading) << what;
        EXPECT_EQ(got.trailing, want.trailing) << what;
        return got.leading == want.leading && got.trailing == want.trailing;
    }
};

// Pieces the edits are made of: words and spaces, CJK written without spaces,
// combining marks, surrogate pairs (joined emoji among them), Arabic, regional
// indicators, apostrophes and digits that join words, line breaks.
const std::vector<std::wstring> kMixed = {
    L"a",
    L"word",
    L" ",
    L"  ",
    L"还原",
    L"立方体",
    L"还",
    L"\x0301",
    L"e\x0301",
    L"\xD83D\xDE00",
    L"\xD83D\xDC69\x200D\xD83D\xDCBB",
    L"\x1F600",
    L"\x0645\x0643\x0639\x0628",
    L"\x064E",
    L"'",
    L"don't",
    L"3.14",
    L",",
    L"\xD83C\xDDEB\xD83C\xDDF7",
    L"\r\n",
    L"\x200D",
    L"\xD800",
    L"Κύβος",
    L"\x0E01\x0E32\x0E23",
};
// Long runs of Chinese and Thai, which are split into words by dictionary over the whole run.
const std::vector<std::wstring> kDictionary = {
    L"还原",
    L"立方体",
    L"还",
    L"原",
    L"立",
    L"方",
    L"体",
    L"的",
    L"是",
    L"中国",
    L"人民",
    L"魔方",
    L"\x0E01\x0E32\x0E23",
    L"\x0E17\x0E33",
    L"\x0E07\x0E32\x0E19",
    L" ",
    L"a",
};

// White space of every kind among words, surrogate pairs and unpaired halves,
// whose flags an analysis keeps from the previous text around an edit.
const std::vector<std::wstring> kSpaces = {
    L" ",    L"\t",   L"\x00A0", L"\x3000",       L"\x2028", L"\x0085", L"\x2003",  L"\r\n",   L"\x001F",
    L"word", L"还原", L"x",      L"\xD83D\xDE00", L"\xD83D", L"\xDE00", L"\x1F600", L"\x200B",
};

std::wstring RandomText(std::mt19937& rng, const std::vector<std::wstring>& pieces, size_t count) {
    std::wstring text;
    for (size_t i = 0; i < count; ++i) text += pieces[rng() % pieces.size()];
    return text;
}

// Inserts, deletes and replaces at the start, in the middle and at the end.
void Edit(std::mt19937& rng, const std::vector<std::wstring>& pieces, std::wstring* text, std::string* what) {
    const size_t n = text->size();
    size_t at = 0;
    switch (rng() % 3) {
        case 0:
            at = 0;
            break;
        case 1:
            at = n ? rng() % (n + 1) : 0;
            break;
        default:
            at = n;
            break;
    }
    const size_t gone = std::min<size_t>(n - at, rng() % 3 == 0 ? 0 : rng() % 4);
    const std::wstring added = rng() % 4 == 0 ? std::wstring() : RandomText(rng, pieces, 1 + rng() % 2);
    text->replace(at, gone, added);
    *what = "replace " + std::to_string(gone) + " at " + std::to_string(at) + " with " +
            std::to_string(added.size());
}

TEST_F(EditedText, RandomEditsAnalyseAsAFreshText) {
    std::mt19937 rng(17);
    for (const auto* pieces : {&kMixed, &kDictionary}) {
        for (int round = 0; round < 8; ++round) {
            std::wstring text = RandomText(rng, *pieces, 20 + rng() % 60);
            ASSERT_TRUE(Matches(text, "round " + std::to_string(round) + " start"));
            for (int step = 0; step < 120; ++step) {
                std::string what;
                Edit(rng, *pieces, &text, &what);
                ASSERT_TRUE(Matches(
                    text, "round " + std::to_string(round) + " step " + std::to_string(step) + ": " + what));
            }
        }
    }
}

TEST_F(EditedText, WhiteSpaceFlagsAfterEditsMatchAFreshText) {
    std::mt19937 rng(23);
    for (int round = 0; round < 4; ++round) {
        std::wstring text = RandomText(rng, kSpaces, 30 + rng() % 40);
        ASSERT_TRUE(Matches(text, "round " + std::to_string(round) + " start"));
        for (int step = 0; step < 100; ++step) {
            std::string what;
            Edit(rng, kSpaces, &text, &what);
            ASSERT_TRUE(Matches(
                text, "round " + std::to_string(round) + " step " + std::to_string(step) + ": " + what));
        }
    }
}

TEST_F(EditedText, EditsThatChangeTheBoundariesAroundThem) {
    // Each pair: a text and an edit of it whose boundaries differ outside the edited characters.
    const std::vector<std::pair<std::wstring, std::wstring>> cases = {
        {L"one two e three", L"one two e\x0301 three"},  // a mark joins the letter before it
        {L"one two don three", L"one two don't three"},  // an apostrophe joins two words
        {L"x 还原立方体 y", L"x 还原立方体还原 y"},      // a dictionary run is segmented anew
        {L"x \xD83C\xDDEB\xD83C\xDDF7 y", L"x \xD83C\xDDEB\xD83C\xDDEB\xD83C\xDDF7 y"},  // flags pair anew
        {L"a b c d", L"a b\r c d"},                                                      // CR before LF
        {L"a b\r c d", L"a b\r\n c d"},
        {L"12 3 45", L"12 3.45"},                          // numbers join across a point
        {L"a \x0645\x0643 b", L"a \x0645\x0643\x064E b"},  // an Arabic vowel mark
        {L"one two", L"one two"},                          // no change at all
        {L"one two", L""},
        {L"", L"one two"},
    };
    for (const auto& [before, after] : cases) {
        ASSERT_TRUE(Matches(before, "before"));
        ASSERT_TRUE(Matches(after, "after"));
        ASSERT_TRUE(Matches(before, "and back"));
    }
}

TEST_F(EditedText, KeystrokesInALongLine) {
    // The edit box's case: one character typed and taken back, again and again, in a long line.
    std::wstring text;
    while (text.size() < 1000) text += L"Tumbral 还原 cube, Κύβος 立方体 кубик 42; ";
    std::mt19937 rng(5);
    for (int k = 0; k < 200; ++k) {
        const size_t at = rng() % text.size();
        const wchar_t typed = L"x 还'\x0301"[rng() % 5];
        text.insert(at, 1, typed);
        ASSERT_TRUE(Matches(text, "typed at " + std::to_string(at)));
        text.erase(at, 1);
        ASSERT_TRUE(Matches(text, "erased at " + std::to_string(at)));
    }
}

}  // namespace
