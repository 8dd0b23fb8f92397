// CGrowableArray: growth rule, reserving, insertion and removal bounds, search.
#include <gtest/gtest.h>

#include "common/kit/base/growable_array.h"

namespace {

// A caller error: an assertion in debug builds, the failure result otherwise.
#ifdef NDEBUG
#define EXPECT_CALLER_ERROR(call, result, assertion) EXPECT_EQ((call), (result))
#else
#define EXPECT_CALLER_ERROR(call, result, assertion) EXPECT_DEATH((void)(call), assertion)
#endif

struct Record {
    int a;
    double b;
    bool operator==(const Record& o) const { return a == o.a && b == o.b; }
};

TEST(GrowableArray, FirstAddAllocatesSixteenThenDoubles) {
    CGrowableArray<int> arr;
    EXPECT_EQ(arr.Capacity(), 0);
    EXPECT_EQ(arr.Data(), nullptr);
    ASSERT_EQ(arr.Add(1), S_OK);
    EXPECT_EQ(arr.Capacity(), 16);
    for (int i = 2; i <= 16; ++i) ASSERT_EQ(arr.Add(i), S_OK);
    EXPECT_EQ(arr.Capacity(), 16);
    ASSERT_EQ(arr.Add(17), S_OK);
    EXPECT_EQ(arr.Capacity(), 32);
    ASSERT_EQ(arr.Length(), 17);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(arr.GetAt(i), i + 1);
}

TEST(GrowableArray, ResizeReservesWithoutChangingLength) {
    CGrowableArray<int> arr;
    ASSERT_EQ(arr.Resize(5), S_OK);
    EXPECT_EQ(arr.Capacity(), 16);
    EXPECT_EQ(arr.Length(), 0);
    ASSERT_EQ(arr.Add(42), S_OK);
    EXPECT_EQ(arr.GetAt(0), 42);
    // A wanted size above double the capacity is taken as is.
    ASSERT_EQ(arr.Resize(100), S_OK);
    EXPECT_EQ(arr.Capacity(), 100);
    EXPECT_EQ(arr.Length(), 1);
    EXPECT_CALLER_ERROR(arr.Resize(-1), E_INVALIDARG, "n >= 0");
    EXPECT_EQ(arr.Length(), 1);
    ASSERT_EQ(arr.Resize(0), S_OK);
    EXPECT_EQ(arr.Length(), 0);
    EXPECT_EQ(arr.Capacity(), 0);
    EXPECT_EQ(arr.Data(), nullptr);
}

TEST(GrowableArray, InsertAtBoundsAndShifting) {
    CGrowableArray<int> arr;
    ASSERT_EQ(arr.InsertAt(0, 10), S_OK);
    ASSERT_EQ(arr.InsertAt(1, 30), S_OK);  // at Length: appends
    ASSERT_EQ(arr.InsertAt(1, 20), S_OK);
    ASSERT_EQ(arr.InsertAt(0, 5), S_OK);
    EXPECT_CALLER_ERROR(arr.InsertAt(5, 99), E_INVALIDARG, "nIndex");  // Length + 1
    EXPECT_CALLER_ERROR(arr.InsertAt(-1, 99), E_INVALIDARG, "nIndex");
    ASSERT_EQ(arr.Length(), 4);
    EXPECT_EQ(arr.GetAt(0), 5);
    EXPECT_EQ(arr.GetAt(1), 10);
    EXPECT_EQ(arr.GetAt(2), 20);
    EXPECT_EQ(arr.GetAt(3), 30);
}

TEST(GrowableArray, PutAndRemoveAt) {
    CGrowableArray<int> arr;
    for (int i = 0; i < 20; ++i) arr.Add(i);
    EXPECT_CALLER_ERROR(arr.Put(20, 1), E_INVALIDARG, "nIndex >= 0 && nIndex < m_nSize");
    ASSERT_EQ(arr.Put(3, 300), S_OK);
    EXPECT_EQ(arr.GetAt(3), 300);
    ASSERT_EQ(arr.RemoveAt(0), S_OK);
    EXPECT_EQ(arr.GetAt(0), 1);
    EXPECT_EQ(arr.GetAt(2), 300);
    EXPECT_CALLER_ERROR(arr.RemoveAt(19), E_INVALIDARG, "nIndex >= 0 && nIndex < m_nSize");
    int capacity = arr.Capacity();
    ASSERT_EQ(arr.RemoveAt(18), S_OK);  // the last one
    EXPECT_EQ(arr.Length(), 18);
    EXPECT_EQ(arr.Capacity(), capacity);
    EXPECT_EQ(arr.GetAt(17), 18);
}

TEST(GrowableArray, FindAndHas) {
    CGrowableArray<int> empty;
    EXPECT_EQ(empty.Find(1), -1);
    EXPECT_FALSE(empty.Has(1));

    CGrowableArray<int> arr;
    for (int v : {4, 7, 4, 9}) arr.Add(v);
    EXPECT_EQ(arr.Find(4), 0);
    EXPECT_EQ(arr.Find(4, 1, 3), 2);
    EXPECT_EQ(arr.Find(9, 0, 3), -1);  // outside the range
    EXPECT_EQ(arr.Find(4, 0, 0), -1);
    EXPECT_CALLER_ERROR(arr.Find(4, 2, 3), -1, "rangeOk");  // runs past the end
    EXPECT_TRUE(arr.Has(9));
    EXPECT_FALSE(arr.Has(5));
}

TEST(GrowableArray, PointersCompareByIdentity) {
    int a = 1, b = 1;
    CGrowableArray<int*> arr;
    arr.Add(&a);
    EXPECT_EQ(arr.Find(&a), 0);
    EXPECT_EQ(arr.Find(&b), -1);
}

TEST(GrowableArray, RecordsSurviveGrowthAndShifts) {
    CGrowableArray<Record> arr;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(arr.Add(Record{i, i * 0.5}), S_OK);
    ASSERT_EQ(arr.InsertAt(20, Record{-1, -1.0}), S_OK);
    ASSERT_EQ(arr.RemoveAt(0), S_OK);
    ASSERT_EQ(arr.Length(), 40);
    EXPECT_EQ(arr.GetAt(0), (Record{1, 0.5}));
    EXPECT_EQ(arr.GetAt(19), (Record{-1, -1.0}));
    EXPECT_EQ(arr.GetAt(39), (Record{39, 19.5}));
    EXPECT_EQ(arr.Find(Record{39, 19.5}), 39);
}

TEST(GrowableArray, GetAtOutsideTheRangeIsACallerError) {
#ifdef NDEBUG
    GTEST_SKIP() << "assertions are compiled out";
#else
    CGrowableArray<int> arr;
    arr.Add(1);
    EXPECT_DEATH(arr.GetAt(1), "nIndex >= 0 && nIndex < m_nSize");
#endif
}

TEST(GrowableArray, ClearOnNeverAllocatedArraySucceeds) {
    CGrowableArray<int> arr;
    EXPECT_EQ(arr.Clear(), S_OK);
    EXPECT_EQ(arr.Length(), 0);
}

}  // namespace
