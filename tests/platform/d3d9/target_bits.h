// The colour and depth targets of a shading run as one list of words, so that
// two runs compare bit for bit in one check.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// The colours, then the bits of every depth value.
inline std::vector<uint32_t> ColorsThenDepthBits(const std::vector<uint32_t>& color,
                                                 const std::vector<float>& depth) {
    std::vector<uint32_t> out = color;
    for (float d : depth) {
        uint32_t bits;
        std::memcpy(&bits, &d, 4);
        out.push_back(bits);
    }
    return out;
}
