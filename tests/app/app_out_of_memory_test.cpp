// Running out of memory while the first frame builds the cube ends the run
// the way a failed device-object set-up does: the framework's message and
// exit code, the device released, no frame drawn with an empty cube.
#include <string>

#include "tests/app/app_kit_env.h"
#include "tests/support/memory_limit.h"

namespace {

using tumbral_test::ChildResult;
using tumbral_test::kAddressSanitized;
using tumbral_test::RunInChild;

// A mesh of a million triangles over six vertices at distance 10 on the
// axes (radius 10, no materials): about 9 MB of text that needs far more
// than 32 MB once read.
std::string MillionTriangleBox() {
    std::string text =
        "xof 0303txt 0032\nMesh {\n6;\n10;0;0;,-10;0;0;,0;10;0;,0;-10;0;,0;0;10;,0;0;-10;;\n1000000;\n";
    text.reserve(text.size() + 1000000 * 9 + 16);
    for (int i = 0; i < 1000000; ++i) text += "3;0,2,4;,";
    text += ";\n}\n";
    return text;
}

class AppOutOfMemoryTest : public AppOnKitTest {};

TEST_F(AppOutOfMemoryTest, FirstBuildOutOfMemoryEndsTheRunWithTheDeviceObjectsFailure) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    WriteTextFile("box.x", MillionTriangleBox());
    // The child answers the exit code once the framework has let go of the device.
    const ChildResult r = RunInChild(uint64_t(32) << 20, [] {
        AppFrameRender(KitCurrentDevice(), 1.0, 0.0f, nullptr);
        return KitCurrentDevice() == nullptr ? HRESULT(KitProcessExitCode()) : E_UNEXPECTED;
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, 8) << "KITERR_CREATINGDEVICEOBJECTS's exit code";
}

}  // namespace
