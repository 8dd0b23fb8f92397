#include <gtest/gtest.h>

#include "platform/win32types.h"

// The framework relies on these sizes and on the sign convention of result codes.
TEST(Win32Types, SizesAndResultCodes) {
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(UINT), 4u);
    EXPECT_EQ(sizeof(HRESULT), 4u);
    EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
    EXPECT_TRUE(FAILED(E_FAIL));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_EQ(HRESULT_FROM_WIN32(122), (HRESULT)0x8007007A);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, (WORD)-120)), -120);
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM((WORD)-5, 7)), -5);
}
