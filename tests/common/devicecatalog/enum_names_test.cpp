// Names of formats, device types, multisample types, vertex processing and present intervals.
#include <gtest/gtest.h>

#include <string>

#include "common/devicecatalog/enum_names.h"

namespace {

std::wstring Fmt(int value, bool bWithPrefix) {
    return KitFormatName(static_cast<D3DFORMAT>(value), bWithPrefix);
}

TEST(EnumNames, FormatNamesWithAndWithoutPrefix) {
    EXPECT_EQ(Fmt(22, true), L"D3DFMT_X8R8G8B8");
    EXPECT_EQ(Fmt(22, false), L"X8R8G8B8");
    EXPECT_EQ(Fmt(0, true), L"D3DFMT_UNKNOWN");
    EXPECT_EQ(Fmt(75, false), L"D24S8");
    EXPECT_EQ(Fmt(117, true), L"D3DFMT_CxV8U8");
    EXPECT_EQ(Fmt(D3DFMT_A8R8G8B8, false), L"A8R8G8B8");
    EXPECT_EQ(Fmt(D3DFMT_R5G6B5, true), L"D3DFMT_R5G6B5");
}

TEST(EnumNames, UnnamedFormatsAreUnknownEitherWay) {
    EXPECT_EQ(Fmt(83, true), L"Unknown format");  // D24FS8
    EXPECT_EQ(Fmt(83, false), L"Unknown format");
    EXPECT_EQ(Fmt(82, false), L"Unknown format");  // D32F_LOCKABLE
    EXPECT_EQ(Fmt(37, true), L"Unknown format");
    EXPECT_EQ(Fmt(-1, true), L"Unknown format");
}

TEST(EnumNames, FourCharacterCodesPackFirstCharacterLowest) {
    auto fourcc = [](char a, char b, char c, char d) {
        return static_cast<int>(static_cast<unsigned>(a) | static_cast<unsigned>(b) << 8 |
                                static_cast<unsigned>(c) << 16 | static_cast<unsigned>(d) << 24);
    };
    EXPECT_EQ(Fmt(fourcc('D', 'X', 'T', '1'), true), L"D3DFMT_DXT1");
    EXPECT_EQ(Fmt(fourcc('D', 'X', 'T', '5'), false), L"DXT5");
    EXPECT_EQ(Fmt(fourcc('M', 'E', 'T', '1'), true), L"D3DFMT_MULTI2_ARGB8");
    EXPECT_EQ(Fmt(fourcc('U', 'Y', 'V', 'Y'), false), L"UYVY");
    EXPECT_EQ(Fmt(fourcc('1', 'T', 'X', 'D'), true), L"Unknown format");
}

TEST(EnumNames, DeviceTypes) {
    EXPECT_EQ(std::wstring(KitDeviceTypeName(D3DDEVTYPE_HAL)), L"D3DDEVTYPE_HAL");
    EXPECT_EQ(std::wstring(KitDeviceTypeName(D3DDEVTYPE_REF)), L"D3DDEVTYPE_REF");
    EXPECT_EQ(std::wstring(KitDeviceTypeName(D3DDEVTYPE_SW)), L"D3DDEVTYPE_SW");
    EXPECT_EQ(std::wstring(KitDeviceTypeName(static_cast<D3DDEVTYPE>(4))), L"Unknown devType");
}

TEST(EnumNames, SampleTypes) {
    EXPECT_EQ(std::wstring(KitSampleTypeName(static_cast<D3DMULTISAMPLE_TYPE>(0))), L"D3DMULTISAMPLE_NONE");
    EXPECT_EQ(std::wstring(KitSampleTypeName(static_cast<D3DMULTISAMPLE_TYPE>(1))),
              L"D3DMULTISAMPLE_NONMASKABLE");
    for (int n = 2; n <= 16; ++n) {
        std::wstring expected = L"D3DMULTISAMPLE_" + std::to_wstring(n) + L"_SAMPLES";
        EXPECT_EQ(std::wstring(KitSampleTypeName(static_cast<D3DMULTISAMPLE_TYPE>(n))), expected);
    }
    EXPECT_EQ(std::wstring(KitSampleTypeName(static_cast<D3DMULTISAMPLE_TYPE>(17))),
              L"Unknown Multisample Type");
    EXPECT_EQ(std::wstring(KitSampleTypeName(static_cast<D3DMULTISAMPLE_TYPE>(-1))),
              L"Unknown Multisample Type");
}

TEST(EnumNames, VertexProcessing) {
    EXPECT_EQ(std::wstring(KitVertexProcessingName(0x10)), L"Pure hardware vertex processing");
    EXPECT_EQ(std::wstring(KitVertexProcessingName(0x20)), L"Software vertex processing");
    EXPECT_EQ(std::wstring(KitVertexProcessingName(0x40)), L"Hardware vertex processing");
    EXPECT_EQ(std::wstring(KitVertexProcessingName(0x80)), L"Mixed vertex processing");
    EXPECT_EQ(std::wstring(KitVertexProcessingName(0x50)), L"Unknown vertex processing type");
}

TEST(EnumNames, PresentIntervals) {
    EXPECT_EQ(std::wstring(KitPresentIntervalName(0)), L"D3DPRESENT_INTERVAL_DEFAULT");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(1)), L"D3DPRESENT_INTERVAL_ONE");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(2)), L"D3DPRESENT_INTERVAL_TWO");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(4)), L"D3DPRESENT_INTERVAL_THREE");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(8)), L"D3DPRESENT_INTERVAL_FOUR");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(0x80000000u)), L"D3DPRESENT_INTERVAL_IMMEDIATE");
    EXPECT_EQ(std::wstring(KitPresentIntervalName(3)), L"Unknown PresentInterval");
}

}  // namespace
