// Face matching with the configuration loading on a second thread: a match
// asked for while it loads waits for it instead of loading twice or failing.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "platform/d3dx9/font_match.h"

namespace {

TEST(FontMatchTest, MatchesWhileTheConfigurationLoadsOnOtherThreads) {
    auto warmUp = std::make_unique<plat::FontMatchingWarmUp>();
    auto second =
        std::make_unique<plat::FontMatchingWarmUp>();  // a second one finds the load done or running
    std::vector<plat::FontFile> found(4);
    std::vector<bool> ok(found.size());
    std::vector<std::thread> askers;
    for (size_t i = 0; i < found.size(); ++i)
        askers.emplace_back([&, i] {
            plat::FontRequest request;
            request.face = i % 2 ? L"Arial" : L"";
            request.weight = i < 2 ? 400 : 700;
            ok[i] = plat::MatchFontFile(request, &found[i]);
        });
    for (auto& t : askers) t.join();
    warmUp.reset();
    second.reset();
    for (size_t i = 0; i < found.size(); ++i) {
        ASSERT_TRUE(ok[i]) << "request " << i << " found no font";
        EXPECT_TRUE(std::filesystem::is_regular_file(found[i].path)) << found[i].path;
    }
}

}  // namespace
