// Names of Direct3D enumeration values: formats, device types, multisample
// types, vertex-processing kinds and present intervals.
#include "common/devicecatalog/enum_names.h"

#include <cwchar>

namespace {

constexpr UINT FourCC(char a, char b, char c, char d) {
    return static_cast<UINT>(static_cast<unsigned char>(a)) |
           (static_cast<UINT>(static_cast<unsigned char>(b)) << 8) |
           (static_cast<UINT>(static_cast<unsigned char>(c)) << 16) |
           (static_cast<UINT>(static_cast<unsigned char>(d)) << 24);
}

struct FormatName {
    UINT value;
    const WCHAR* name;
};

constexpr FormatName kFormatNames[] = {
    {0, L"D3DFMT_UNKNOWN"},
    {20, L"D3DFMT_R8G8B8"},
    {21, L"D3DFMT_A8R8G8B8"},
    {22, L"D3DFMT_X8R8G8B8"},
    {23, L"D3DFMT_R5G6B5"},
    {24, L"D3DFMT_X1R5G5B5"},
    {25, L"D3DFMT_A1R5G5B5"},
    {26, L"D3DFMT_A4R4G4B4"},
    {27, L"D3DFMT_R3G3B2"},
    {28, L"D3DFMT_A8"},
    {29, L"D3DFMT_A8R3G3B2"},
    {30, L"D3DFMT_X4R4G4B4"},
    {31, L"D3DFMT_A2B10G10R10"},
    {32, L"D3DFMT_A8B8G8R8"},
    {33, L"D3DFMT_X8B8G8R8"},
    {34, L"D3DFMT_G16R16"},
    {35, L"D3DFMT_A2R10G10B10"},
    {36, L"D3DFMT_A16B16G16R16"},
    {40, L"D3DFMT_A8P8"},
    {41, L"D3DFMT_P8"},
    {50, L"D3DFMT_L8"},
    {51, L"D3DFMT_A8L8"},
    {52, L"D3DFMT_A4L4"},
    {60, L"D3DFMT_V8U8"},
    {61, L"D3DFMT_L6V5U5"},
    {62, L"D3DFMT_X8L8V8U8"},
    {63, L"D3DFMT_Q8W8V8U8"},
    {64, L"D3DFMT_V16U16"},
    {67, L"D3DFMT_A2W10V10U10"},
    {70, L"D3DFMT_D16_LOCKABLE"},
    {71, L"D3DFMT_D32"},
    {73, L"D3DFMT_D15S1"},
    {75, L"D3DFMT_D24S8"},
    {77, L"D3DFMT_D24X8"},
    {79, L"D3DFMT_D24X4S4"},
    {80, L"D3DFMT_D16"},
    {81, L"D3DFMT_L16"},
    {100, L"D3DFMT_VERTEXDATA"},
    {101, L"D3DFMT_INDEX16"},
    {102, L"D3DFMT_INDEX32"},
    {110, L"D3DFMT_Q16W16V16U16"},
    {111, L"D3DFMT_R16F"},
    {112, L"D3DFMT_G16R16F"},
    {113, L"D3DFMT_A16B16G16R16F"},
    {114, L"D3DFMT_R32F"},
    {115, L"D3DFMT_G32R32F"},
    {116, L"D3DFMT_A32B32G32R32F"},
    {117, L"D3DFMT_CxV8U8"},
    {FourCC('M', 'E', 'T', '1'), L"D3DFMT_MULTI2_ARGB8"},
    {FourCC('D', 'X', 'T', '1'), L"D3DFMT_DXT1"},
    {FourCC('D', 'X', 'T', '2'), L"D3DFMT_DXT2"},
    {FourCC('Y', 'U', 'Y', '2'), L"D3DFMT_YUY2"},
    {FourCC('D', 'X', 'T', '3'), L"D3DFMT_DXT3"},
    {FourCC('D', 'X', 'T', '4'), L"D3DFMT_DXT4"},
    {FourCC('D', 'X', 'T', '5'), L"D3DFMT_DXT5"},
    {FourCC('U', 'Y', 'V', 'Y'), L"D3DFMT_UYVY"},
};

constexpr const WCHAR* kSampleNames[] = {
    L"D3DMULTISAMPLE_NONE",       L"D3DMULTISAMPLE_NONMASKABLE", L"D3DMULTISAMPLE_2_SAMPLES",
    L"D3DMULTISAMPLE_3_SAMPLES",  L"D3DMULTISAMPLE_4_SAMPLES",   L"D3DMULTISAMPLE_5_SAMPLES",
    L"D3DMULTISAMPLE_6_SAMPLES",  L"D3DMULTISAMPLE_7_SAMPLES",   L"D3DMULTISAMPLE_8_SAMPLES",
    L"D3DMULTISAMPLE_9_SAMPLES",  L"D3DMULTISAMPLE_10_SAMPLES",  L"D3DMULTISAMPLE_11_SAMPLES",
    L"D3DMULTISAMPLE_12_SAMPLES", L"D3DMULTISAMPLE_13_SAMPLES",  L"D3DMULTISAMPLE_14_SAMPLES",
    L"D3DMULTISAMPLE_15_SAMPLES", L"D3DMULTISAMPLE_16_SAMPLES",
};

}  // namespace

const WCHAR* KitFormatName(D3DFORMAT format, bool bWithPrefix) {
    const WCHAR* name = L"Unknown format";
    for (const FormatName& entry : kFormatNames) {
        if (entry.value == static_cast<UINT>(format)) {
            name = entry.name;
            break;
        }
    }
    if (!bWithPrefix) {
        const WCHAR* prefix = std::wcsstr(name, L"D3DFMT_");
        if (prefix != nullptr) return prefix + 7;
    }
    return name;
}

const WCHAR* KitDeviceTypeName(D3DDEVTYPE devType) {
    switch (static_cast<UINT>(devType)) {
        case 1:
            return L"D3DDEVTYPE_HAL";
        case 2:
            return L"D3DDEVTYPE_REF";
        case 3:
            return L"D3DDEVTYPE_SW";
        default:
            return L"Unknown devType";
    }
}

const WCHAR* KitSampleTypeName(D3DMULTISAMPLE_TYPE sampleType) {
    UINT value = static_cast<UINT>(sampleType);
    if (value < sizeof(kSampleNames) / sizeof(kSampleNames[0])) return kSampleNames[value];
    return L"Unknown Multisample Type";
}

const WCHAR* KitVertexProcessingName(DWORD behaviorFlag) {
    switch (behaviorFlag) {
        case 0x10:
            return L"Pure hardware vertex processing";
        case 0x20:
            return L"Software vertex processing";
        case 0x40:
            return L"Hardware vertex processing";
        case 0x80:
            return L"Mixed vertex processing";
        default:
            return L"Unknown vertex processing type";
    }
}

const WCHAR* KitPresentIntervalName(UINT presentInterval) {
    switch (presentInterval) {
        case 0:
            return L"D3DPRESENT_INTERVAL_DEFAULT";
        case 1:
            return L"D3DPRESENT_INTERVAL_ONE";
        case 2:
            return L"D3DPRESENT_INTERVAL_TWO";
        case 4:
            return L"D3DPRESENT_INTERVAL_THREE";
        case 8:
            return L"D3DPRESENT_INTERVAL_FOUR";
        case 0x80000000u:
            return L"D3DPRESENT_INTERVAL_IMMEDIATE";
        default:
            return L"Unknown PresentInterval";
    }
}
