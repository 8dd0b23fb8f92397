// The desktop files: the icon script reproduces the committed icons, and the
// menu entry, the AppStream description and the manual page pass the checks
// of the tools that read them (each test skips when its tool is missing).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const std::string kSource = std::string(TUMBRAL_SOURCE_DIR) + "/packaging/";
const std::string kBuilt = std::string(TUMBRAL_BINARY_DIR) + "/packaging/";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool Have(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command with its standard error in *pErrors and its output in *pOutput.
int Shell(const std::string& command, std::string* pOutput, std::string* pErrors) {
    const std::string errFile = fs::temp_directory_path() / ("tumbral-packaging-" + std::to_string(getpid()));
    FILE* pipe = popen((command + " 2>'" + errFile + "'").c_str(), "r");
    if (!pipe) return -1;
    char buf[4096];
    size_t n = 0;
    pOutput->clear();
    while ((n = fread(buf, 1, sizeof(buf), pipe)) > 0) pOutput->append(buf, n);
    const int status = pclose(pipe);
    *pErrors = ReadBytes(errFile);
    fs::remove(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The width and height of a PNG file, from its header.
std::pair<int, int> PngSize(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be32 = [&](size_t at) {
        return (uint8_t(bytes[at]) << 24) | (uint8_t(bytes[at + 1]) << 16) | (uint8_t(bytes[at + 2]) << 8) |
               uint8_t(bytes[at + 3]);
    };
    return {be32(16), be32(20)};
}

TEST(Icon, TheScriptReproducesTheCommittedIconsInTheirSizes) {
    if (!Have("python3")) GTEST_SKIP() << "python3 is not installed";
    const fs::path out = fs::path(TUMBRAL_BINARY_DIR) / ("icon-check-" + std::to_string(getpid()));
    const std::string command =
        "python3 '" + std::string(TUMBRAL_SOURCE_DIR) + "/scripts/gen_icon.py' '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int nCompared = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(out)) {
        if (e.is_directory()) continue;
        const fs::path rel = fs::relative(e.path(), out);
        const std::string made = ReadBytes(e.path());
        EXPECT_TRUE(made == ReadBytes(kSource + "icons/" + rel.string()))
            << rel << " differs from the committed one";
        const std::string folder =
            rel.parent_path().parent_path().filename().string();  // "48x48" or "scalable"
        if (rel.extension() == ".png") {
            const auto [w, h] = PngSize(made);
            EXPECT_EQ(std::to_string(w) + "x" + std::to_string(h), folder) << rel;
        }
        ++nCompared;
    }
    fs::remove_all(out);
    // Every committed icon is made by the script (none left over from an older one).
    int nCommitted = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(kSource + "icons"))
        nCommitted += !e.is_directory();
    EXPECT_EQ(nCompared, 8);  // seven sizes and the scalable one
    EXPECT_EQ(nCommitted, nCompared);
}

TEST(DesktopFiles, TheMenuEntryValidates) {
    if (!Have("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed (desktop-file-utils)";
    std::string out, err;
    EXPECT_EQ(Shell("desktop-file-validate '" + kSource + "org.tumbral.Tumbral.desktop'", &out, &err), 0)
        << out << err;
    EXPECT_EQ(out + err, "");  // not even a hint
}

TEST(DesktopFiles, TheAppStreamDescriptionValidates) {
    if (!Have("appstreamcli")) GTEST_SKIP() << "appstreamcli is not installed (appstream)";
    std::string out, err;
    EXPECT_EQ(
        Shell("appstreamcli validate --no-net '" + kBuilt + "org.tumbral.Tumbral.metainfo.xml'", &out, &err),
        0)
        << out << err;
}

TEST(DesktopFiles, TheManualPageFormatsWithoutWarnings) {
    if (!Have("man") || !Have("lexgrog")) GTEST_SKIP() << "man and lexgrog are not installed (man-db)";
    std::string out, err;
    EXPECT_EQ(Shell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l '" + kBuilt + "tumbral.6.gz'",
                    &out, &err),
              0)
        << err;
    EXPECT_EQ(err, "");
    EXPECT_NE(out.find("ENVIRONMENT"), std::string::npos);
    // The line the whatis database and apropos show.
    EXPECT_EQ(Shell("lexgrog '" + kBuilt + "tumbral.6.gz'", &out, &err), 0) << err;
    EXPECT_NE(out.find("\"tumbral - interactive 3x3x3 puzzle cube\""), std::string::npos) << out;
}

TEST(DesktopFiles, TheChangelogStartsWithThisVersion) {
    std::ifstream in(kSource + "changelog");
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.rfind("tumbral (" TUMBRAL_VERSION ") ", 0), 0u) << first;
}

}  // namespace
