// The gallery's look: its first frame on the headless backend is the
// reviewed reference image.
//
// The reference, samples/gallery/reference.png, is the gallery's own shot of
// its first frame (fades completed by a 10-second first frame, statistics off
// because they follow the wall clock). After a reviewed change of the look,
// write it again from the build tree with
//   printf '@frame 1\nshot ../../samples/gallery/reference.png\nquit\n' >/tmp/ref.txt
// and then
//   TUMBRAL_BACKEND=headless TUMBRAL_SCRIPT=/tmp/ref.txt samples/gallery/tumbral-gallery
//   /constantframetime:10 /nostats
#include <gtest/gtest.h>

#include "tests/samples/gallery/gallery_test_support.h"

using namespace e2e;
using namespace gallery_test;

TEST(GalleryLook, FirstFrameIsTheReviewedReference) {
    ScratchDir scratch;
    RunOptions options;
    options.strProgram = GalleryBinary();
    options.strScript = "@frame 1\nshot " + scratch.File("first.png") + "\nquit\n";
    options.args = {"/constantframetime:10", "/nostats"};
    options.strWorkDir = scratch.Path();
    RunResult r = RunApp(options, scratch);
    ASSERT_EQ(r.nExitCode, 0) << r.strStderr;
    Image first, reference;
    ASSERT_TRUE(first.Load(scratch.File("first.png")));
    ASSERT_TRUE(reference.Load(std::string(TUMBRAL_SOURCE_DIR) + "/samples/gallery/reference.png"));
    ASSERT_EQ(first.nWidth, 1280);
    ASSERT_EQ(first.nHeight, 720);
    EXPECT_EQ(CountDifferent(first, reference, Box{0, 0, 1280, 720}, 0), 0)
        << "the gallery's first frame differs from samples/gallery/reference.png (TUMBRAL_E2E_KEEP=1 keeps "
        << scratch.File("first.png") << ")";
}
