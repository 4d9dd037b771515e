#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <string>

#include "runtime/memory.h"
#include "runtime/runtime_error.h"
#include "runtime/value.h"

namespace tl {
namespace {

class ConstantPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { SetConstantPool(pool_, sizeof pool_); }
  void TearDown() override { SetConstantPool(nullptr, 0); }
  char pool_[16] = "\0abcdefghij";  // the empty text at 0, "abcdefghij" at 1
};

TEST_F(ConstantPoolTest, FreeIgnoresNullAndConstants) {
  Free(nullptr);
  Free(pool_);
  Free(pool_ + 5);
  EXPECT_TRUE(IsConstant(pool_ + 15));
  EXPECT_FALSE(IsConstant(pool_ + 16));
  EXPECT_FALSE(IsConstant(nullptr));
}

TEST_F(ConstantPoolTest, ReallocateCopiesConstantsUpToThePoolEnd) {
  // 6 bytes remain from pool_ + 10 to the end: "j" and five zeros; the rest is not read.
  auto* grown = static_cast<char*>(Reallocate(pool_ + 10, 64));
  ASSERT_FALSE(IsConstant(grown));
  EXPECT_EQ(grown[0], 'j');
  EXPECT_EQ(pool_[10], 'j');
  Free(grown);

  auto* shrunk = static_cast<char*>(Reallocate(pool_ + 1, 3));
  EXPECT_EQ(std::string(shrunk, 3), "abc");
  Free(shrunk);
}

TEST(Memory, ReallocateOfNullAllocatesAndHeapBlocksKeepTheirBytes) {
  auto* p = static_cast<char*>(Reallocate(nullptr, 4));
  std::memcpy(p, "xyz", 4);
  p = static_cast<char*>(Reallocate(p, 4096));
  EXPECT_STREQ(p, "xyz");
  Free(p);
}

TEST(Value, CompareTextTreatsNullAsEmptyAndComparesUnsigned) {
  EXPECT_EQ(CompareText(nullptr, ""), 0);
  EXPECT_LT(CompareText(nullptr, "a"), 0);
  EXPECT_GT(CompareText("\xB4\xED", "a"), 0);  // GBK lead bytes sort above ASCII
  EXPECT_EQ(CompareText("abc", "abc"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
}

TEST(Value, JoinTextsSkipsNullAndEmptyIntoOneBlock) {
  const char* parts[] = {"", nullptr, "\xB4\xED"};
  char* joined = JoinTexts(parts);
  EXPECT_STREQ(joined, "\xB4\xED");
  Free(joined);
  const char* none[] = {nullptr};
  char* empty = JoinTexts(none);
  EXPECT_STREQ(empty, "");
  Free(empty);
}

TEST(Value, TruncateToIntegerIgnoresTheRoundingMode) {
  for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    EXPECT_EQ(TruncateToInteger(2.9), 2);
    EXPECT_EQ(TruncateToInteger(-2.9), -2);
    EXPECT_EQ(TruncateToInteger(2.5), 2);
    EXPECT_EQ(std::fegetround(), mode);
  }
  std::fesetround(FE_TONEAREST);
  EXPECT_EQ(TruncateToInteger(4294967297.0), 1);  // low 32 bits of the 64-bit integer
  EXPECT_EQ(TruncateToInteger(-1e300), INT32_MIN);
}

TEST(Value, ArgRecordsCarryDoublesInTwoWords) {
  ArgRecord r = DoubleArg(-3.25);
  EXPECT_EQ(r.type, DataType::Double);
  EXPECT_EQ(ArgDouble(r), -3.25);
  EXPECT_EQ(ArgInteger(r), -3);
  EXPECT_EQ(ArgInteger(ArgRecord{0xFFFF, 0, DataType::Short}), -1);
  EXPECT_EQ(ArgInteger(ArgRecord{0xFF, 0, DataType::Byte}), 255);
}

TEST(Value, ByteSetsAndTextArraysUseTheirBlockLayouts) {
  const uint8_t bytes[] = {1, 2, 3};
  void* set = NewByteSet(bytes);
  ASSERT_EQ(ByteSetView(set).size(), 3u);
  EXPECT_EQ(ByteSetView(set)[2], 3);
  Free(set);
  const int32_t empty[] = {1, 0};
  EXPECT_TRUE(ByteSetView(empty).empty());
  EXPECT_EQ(ArrayElementCount(empty), 0u);

  const std::string_view texts[] = {"a", "", "bc"};
  void* array = NewTextArray(texts);
  EXPECT_EQ(ArrayElementCount(array), 3u);
  EXPECT_STREQ(ArrayTextElement(array, 3.0), "bc");
  EXPECT_STREQ(ArrayTextElement(array, 1.9), "a");
  FreeTextArray(array);
}

[[noreturn]] void ThrowingReporter(int code, std::string_view message) {
  throw std::runtime_error(std::to_string(code) + ":" + std::string(message));
}

TEST(Value, ArrayIndexChecksRaiseErrorsFourAndOne) {
  SetErrorReporter(ThrowingReporter);
  const std::string_view texts[] = {"a", "b"};
  void* array = NewTextArray(texts);
  try {
    ArrayTextElement(array, 0.5);
    ADD_FAILURE() << "index 0 was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "4:" + std::string(RuntimeErrorMessage(4)));
  }
  try {
    ArrayTextElement(array, 3.0);
    ADD_FAILURE() << "index 3 of 2 was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "1:" + std::string(RuntimeErrorMessage(1)));
  }
  FreeTextArray(array);
  SetErrorReporter(nullptr);
}

TEST(Value, RuntimeErrorTextHasTheCodeLineOnlyForNonZeroCodes) {
  EXPECT_EQ(RuntimeErrorText(4, RuntimeErrorMessage(4)),
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_EQ(RuntimeErrorText(0, "分配 100 字节内存失败!"),
            "运行时出错!\r\n\r\n错误信息：分配 100 字节内存失败!\r\n");
}

}  // namespace
}  // namespace tl
