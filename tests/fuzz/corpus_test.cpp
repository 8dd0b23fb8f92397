// Replays the committed fuzzing corpus through the .x and DDS readers: every
// input gives a result code (no crash, no out-of-bounds access under the
// sanitizers), accepted meshes are consistent, and the seeds still load.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/d3dx9/image.h"
#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9/xfile_reader.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<fs::path> Inputs(const char* folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(fs::path(TUMBRAL_FUZZ_CORPUS) / folder))
        if (e.is_regular_file()) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

bool IsReaderResult(HRESULT hr) {
    return hr == S_OK || hr == D3DXERR_INVALIDDATA || hr == D3DXERR_LOADEDMESHHASNODATA;
}

TEST(FuzzCorpusTest, XFilesGiveResultsAndConsistentMeshes) {
    const auto inputs = Inputs("xfile");
    ASSERT_GE(inputs.size(), 5u);
    size_t accepted = 0;
    for (const fs::path& p : inputs) {
        const std::vector<uint8_t> bytes = ReadAll(p);
        plat::XMeshData mesh;
        const HRESULT hr = plat::ReadXFile(bytes.data(), bytes.size(), &mesh);
        ASSERT_TRUE(IsReaderResult(hr)) << p << " gave " << std::hex << hr;
        if (FAILED(hr)) {
            EXPECT_TRUE(mesh.positions.empty() && mesh.corners.empty()) << p;
            continue;
        }
        ++accepted;
        for (const plat::XCorner& c : mesh.corners) {
            ASSERT_LT(c.vertex, mesh.positions.size()) << p;
            if (!mesh.normals.empty()) {
                ASSERT_LT(c.normal, mesh.normals.size()) << p;
            }
        }
        plat::MeshImage image;
        plat::BuildMeshImage(mesh, &image);
        ASSERT_EQ(image.indices.size(), image.attributes.size() * 3) << p;
        for (uint32_t i : image.indices) ASSERT_LT(i, image.numVertices) << p;
    }
    EXPECT_GT(accepted, 0u);  // the seeds are valid files
}

TEST(FuzzCorpusTest, DdsImagesGiveResultsAndWholeImages) {
    const auto inputs = Inputs("dds");
    ASSERT_GE(inputs.size(), 5u);
    size_t accepted = 0;
    for (const fs::path& p : inputs) {
        const std::vector<uint8_t> bytes = ReadAll(p);
        plat::Image info, image;
        const HRESULT hrInfo = plat::DecodeDds(bytes.data(), bytes.size(), true, &info);
        const HRESULT hr = plat::DecodeDds(bytes.data(), bytes.size(), false, &image);
        ASSERT_TRUE(hr == S_OK || hr == D3DXERR_INVALIDDATA) << p;
        EXPECT_EQ(hrInfo, hr) << p;
        if (FAILED(hr)) continue;
        ++accepted;
        EXPECT_EQ(image.argb.size(),
                  size_t(image.info.Width) * image.info.Height * image.info.Depth * image.faces)
            << p;
    }
    EXPECT_GT(accepted, 0u);
}

}  // namespace
