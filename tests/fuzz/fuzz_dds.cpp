// libFuzzer target: our DDS reader, header only and with the texels.
#include <cstdlib>

#include "platform/d3dx9/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::Image info, image;
    const HRESULT hrInfo = plat::DecodeDds(data, size, true, &info);
    const HRESULT hr = plat::DecodeDds(data, size, false, &image);
    if (hrInfo != hr) std::abort();  // the header alone decides acceptance
    if (SUCCEEDED(hr) &&
        image.argb.size() != size_t(image.info.Width) * image.info.Height * image.info.Depth * image.faces)
        std::abort();
    return 0;
}
