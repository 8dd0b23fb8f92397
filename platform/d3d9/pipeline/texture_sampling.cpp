// Texture sampling stage: per-triangle choice of mip level and filter.
#include "platform/d3d9/pipeline/texture_sampling.h"

#include <cmath>

namespace plat::d3d9 {

TriangleSampling ChooseSampling(const Sampler& sampler, float texelsPerPixel) {
    TriangleSampling ts;
    if (!sampler.levels || sampler.levelCount <= 0) return ts;
    bool magnify = !(texelsPerPixel > 1.0f);
    int level = 0;
    if (!magnify && sampler.mipFilter != D3DTEXF_NONE && sampler.levelCount > 1) {
        // Nearest level by the log2 of the footprint (both mip filters pick one level here).
        float lod = std::log2(texelsPerPixel);
        level = static_cast<int>(lod + 0.5f);
        if (level >= sampler.levelCount) level = sampler.levelCount - 1;
        if (level < 0) level = 0;
    }
    ts.level = &sampler.levels[level];
    DWORD filter = magnify ? sampler.magFilter : sampler.minFilter;
    ts.linear = filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC;
    return ts;
}

}  // namespace plat::d3d9
