// Memory blocks and the text and number conversions of the host requests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "host/callbacks.h"
#include "host/memory.h"
#include "platform/fault.h"

namespace {

TEST(MemoryTest, SmallHandleBlocksAreZeroFilled) {
    XPHandle h = NewXPHandle(kZeroFillLimit);
    ASSERT_NE(nullptr, h);
    const uint8_t* p = static_cast<const uint8_t*>(LockXPHandle(h));
    for (uint32_t i = 0; i < kZeroFillLimit; ++i) ASSERT_EQ(0, p[i]) << i;
    UnlockXPHandle(h);
    DisposeXPHandle(h);

    void* q = NewXPPointer(1000);
    ASSERT_NE(nullptr, q);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(0, static_cast<uint8_t*>(q)[i]);
    DisposeXPPointer(q);
}

TEST(MemoryTest, ResizeKeepsContentAndZeroesGrowth) {
    XPHandle h = NewXPHandle(4);
    std::memcpy(LockXPHandle(h), "abcd", 4);
    UnlockXPHandle(h);
    ASSERT_EQ(0, ResizeXPHandle(&h, 20000));
    EXPECT_GE(SizeXPHandle(h), 20000u);
    const uint8_t* p = static_cast<const uint8_t*>(LockXPHandle(h));
    EXPECT_EQ(0, std::memcmp(p, "abcd", 4));
    for (int i = 4; i < 20000; ++i) ASSERT_EQ(0, p[i]) << i;
    UnlockXPHandle(h);
    DisposeXPHandle(h);
}

TEST(MemoryTest, FailedResizeLeavesHandleAndBlock) {
    XPHandle h = NewXPHandle(8);
    const XPHandle original = h;
    std::memcpy(LockXPHandle(h), "12345678", 8);
    UnlockXPHandle(h);
    fault::Arm(fault::kAlloc, 1);
    EXPECT_EQ(1, ResizeXPHandle(&h, 64));
    fault::DisarmAll();
    EXPECT_EQ(original, h);
    EXPECT_EQ(0, std::memcmp(LockXPHandle(h), "12345678", 8));
    UnlockXPHandle(h);
    DisposeXPHandle(h);
    fault::Arm(fault::kAlloc, 1);
    EXPECT_EQ(nullptr, NewXPHandle(8));
    fault::Arm(fault::kAlloc, 1);
    EXPECT_EQ(nullptr, NewXPPointer(8));
    fault::DisarmAll();
}

TEST(MemoryTest, ClearMemBlockClearsExactlyItsLength) {
    uint8_t b[12];
    std::memset(b, 0xEE, sizeof b);
    ClearMemBlock(b + 1, 7);
    EXPECT_EQ(0xEE, b[0]);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(0, b[i]);
    EXPECT_EQ(0xEE, b[8]);
    ClearMemBlock(b + 9, 0);
    EXPECT_EQ(0xEE, b[9]);
}

TEST(ConversionTest, ShortToStr) {
    char t[8];
    EXPECT_STREQ("0", shortToStr(0, t));
    EXPECT_STREQ("-12", shortToStr(-12, t));
    EXPECT_STREQ("32767", shortToStr(32767, t));
    EXPECT_STREQ("7", shortToStr(7, t));
}

TEST(ConversionTest, SthandleCutsAt254) {
    uint8_t t[256];
    sthandle("abc", t);
    EXPECT_EQ(3, t[0]);
    EXPECT_EQ(0, std::memcmp(t + 1, "abc", 4));  // NUL copied too
    const std::string s254(254, 'x');
    sthandle(s254.c_str(), t);
    EXPECT_EQ(254, t[0]);
    const std::string s300(300, 'y');
    sthandle(s300.c_str(), t);
    EXPECT_EQ(254, t[0]);
    EXPECT_EQ('y', t[255]);
}

TEST(ConversionTest, HostNumbersTruncateTowardZero) {
    EXPECT_EQ(7, DoubleToLong(7.99));
    EXPECT_EQ(0, DoubleToLong(-0.5));
    EXPECT_EQ(-3, DoubleToLong(-3.9));
    EXPECT_EQ(2, DoubleToLong(2.9));
    // Values no integer holds saturate instead of being undefined.
    EXPECT_EQ(2147483647, DoubleToLong(1e300));
    EXPECT_EQ(-2147483647 - 1, DoubleToLong(-1e300));
    EXPECT_EQ(0, DoubleToLong(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
