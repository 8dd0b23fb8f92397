// Media file search: candidate order, the parent walk, truncation and the media folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/kit/errors/kit_errors.h"
#include "common/kitmisc/media_search.h"

namespace fs = std::filesystem;

namespace {

class MediaSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kit_media_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_oldCwd = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(m_oldCwd);
        KitSetMediaFolder(L"");
        fs::remove_all(m_root);
    }

    fs::path Touch(const std::string& relative) {
        fs::path p = m_root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "x";
        return p;
    }
    void Enter(const std::string& relative) {
        fs::create_directories(m_root / relative);
        fs::current_path(m_root / relative);
    }
    static std::wstring W(const fs::path& p) { return p.wstring(); }

    fs::path m_root;
    fs::path m_oldCwd;
};

TEST_F(MediaSearch, NameInTheWorkingFolderIsReturnedUnchanged) {
    Touch("work/cube_box.x");
    Enter("work");
    WCHAR path[MAX_PATH];
    ASSERT_EQ(KitFindMediaFileCch(path, MAX_PATH, L"cube_box.x"), S_OK);
    EXPECT_EQ(std::wstring(path), L"cube_box.x");
}

TEST_F(MediaSearch, ProgramNameFolderBesideTheProgramFolder) {
    Touch("apps/viewer/box.x");
    fs::create_directories(m_root / "apps/bin");  // the program's own folder
    Enter("work/a");
    WCHAR path[MAX_PATH];
    std::wstring exeFolder = W(m_root / "apps/bin");
    ASSERT_TRUE(KitProbeTypicalFolders(path, MAX_PATH, L"box.x", exeFolder.c_str(), L"viewer"));
    EXPECT_EQ(std::wstring(path), exeFolder + L"/../viewer/box.x");
}

TEST_F(MediaSearch, CandidatesComeInTheirOrder) {
    // Both the program folder and its parent hold the file: the program folder comes first.
    Touch("apps/bin/both.x");
    Touch("apps/both.x");
    Enter("work/a");
    WCHAR path[MAX_PATH];
    std::wstring exeFolder = W(m_root / "apps/bin");
    ASSERT_TRUE(KitProbeTypicalFolders(path, MAX_PATH, L"both.x", exeFolder.c_str(), L"viewer"));
    EXPECT_EQ(std::wstring(path), exeFolder + L"/both.x");
    // The working folder's parent comes before the program folder.
    Touch("work/both.x");
    ASSERT_TRUE(KitProbeTypicalFolders(path, MAX_PATH, L"both.x", exeFolder.c_str(), L"viewer"));
    EXPECT_EQ(std::wstring(path), L"../both.x");
}

TEST_F(MediaSearch, GrandparentIsACandidateBeforeTheParentWalk) {
    Touch("g/gp_only.x");
    Enter("g/p/c");
    WCHAR path[MAX_PATH];
    ASSERT_EQ(KitFindMediaFileCch(path, MAX_PATH, L"gp_only.x"), S_OK);
    EXPECT_EQ(std::wstring(path), L"../../gp_only.x");
}

TEST_F(MediaSearch, ParentWalkFindsFilesFurtherUp) {
    fs::path file = Touch("d1/walk_only.x");
    Enter("d1/d2/d3/d4");
    WCHAR path[MAX_PATH];
    ASSERT_EQ(KitFindMediaFileCch(path, MAX_PATH, L"walk_only.x"), S_OK);
    EXPECT_EQ(std::wstring(path), W(file));
}

TEST_F(MediaSearch, MediaSubfolderIsSearched) {
    Touch("work/media/tex_only.dds");
    Enter("work");
    WCHAR path[MAX_PATH];
    ASSERT_EQ(KitFindMediaFileCch(path, MAX_PATH, L"tex_only.dds"), S_OK);
    EXPECT_EQ(std::wstring(path), L"media/tex_only.dds");
}

TEST_F(MediaSearch, BadArguments) {
    WCHAR path[MAX_PATH];
    EXPECT_EQ(KitFindMediaFileCch(path, 9, L"box.x"), E_INVALIDARG);
    EXPECT_EQ(KitFindMediaFileCch(path, MAX_PATH, L""), E_INVALIDARG);
    EXPECT_EQ(KitFindMediaFileCch(path, MAX_PATH, nullptr), E_INVALIDARG);
    EXPECT_EQ(KitFindMediaFileCch(nullptr, MAX_PATH, L"box.x"), E_INVALIDARG);
}

TEST_F(MediaSearch, NotFoundGivesTheBareName) {
    Enter("empty");
    WCHAR path[MAX_PATH];
    EXPECT_EQ(KitFindMediaFileCch(path, MAX_PATH, L"kit_nowhere_7f3a.x"), KITERR_MEDIANOTFOUND);
    EXPECT_EQ(std::wstring(path), L"kit_nowhere_7f3a.x");
}

TEST_F(MediaSearch, TruncatedCandidateIsNeverFound) {
    // The cut-off name exists too; it must not be taken for the file asked for.
    Touch("work/averyveryverylongname.x");
    Touch("work/averyveryverylo");  // the first 15 characters
    Enter("work");
    WCHAR path[16];
    EXPECT_EQ(KitFindMediaFileCch(path, 16, L"averyveryverylongname.x"), KITERR_MEDIANOTFOUND);
    // A found path that does not fit the buffer is not reported either.
    fs::path deep = Touch("z/" + std::string(40, 'q') + "/deep_only.x");
    Enter("z/" + std::string(40, 'q') + "/a/b/c");
    WCHAR small[40];
    EXPECT_FALSE(KitProbeParentFolders(small, 40, L".", L"deep_only.x"));
    WCHAR large[MAX_PATH];
    ASSERT_TRUE(KitProbeParentFolders(large, MAX_PATH, L".", L"deep_only.x"));
    EXPECT_EQ(std::wstring(large), W(deep));
}

TEST_F(MediaSearch, MediaFolderGetsASeparatorAndIsTheLastCandidate) {
    fs::path file = Touch("m/mf_only.x");
    Enter("work");
    ASSERT_EQ(KitSetMediaFolder(W(m_root / "m").c_str()), S_OK);
    EXPECT_EQ(std::wstring(KitMediaFolder()), W(m_root / "m") + L"/");
    WCHAR path[MAX_PATH];
    ASSERT_TRUE(KitProbeTypicalFolders(path, MAX_PATH, L"mf_only.x", L"/nonexistent_bin", L"x"));
    EXPECT_EQ(std::wstring(path), W(m_root / "m") + L"/mf_only.x");
}

TEST_F(MediaSearch, MediaFolderLeavesRoomForItsSeparator) {
    std::wstring fits(258, L'a');
    ASSERT_EQ(KitSetMediaFolder(fits.c_str()), S_OK);
    EXPECT_EQ(std::wstring(KitMediaFolder()), fits + L"/");
    std::wstring full(259, L'b');
    EXPECT_TRUE(FAILED(KitSetMediaFolder(full.c_str())));
    EXPECT_EQ(std::wstring(KitMediaFolder()), fits + L"/");  // unchanged
    std::wstring withSeparator = std::wstring(258, L'c') + L"/";
    ASSERT_EQ(KitSetMediaFolder(withSeparator.c_str()), S_OK);
    EXPECT_EQ(std::wstring(KitMediaFolder()), withSeparator);
    std::wstring tooLong(300, L'd');
    EXPECT_TRUE(FAILED(KitSetMediaFolder(tooLong.c_str())));
}

}  // namespace
