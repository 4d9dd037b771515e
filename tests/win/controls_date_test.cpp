#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "controls/date_picker.h"
#include "tests/win/control_host.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

double Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  return date;
}

constexpr double kSecond = 1.0 / 86400;

class DatePickerTest : public HostWindowTest {
 protected:
  DatePickerTest()
      : HostWindowTest({.title = L"date test", .style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                        .windowClass = L"STATIC"}) {}

  std::unique_ptr<Unit> Make(const DatePickerBlock& block) {
    return CreateShownUnit(kDatePickerType, block.Write(),
                           {parent_, 100, 80, 64, 192, 24, 0x52012449, 0x1601244A, WS_TABSTOP});
  }
  double ReadValue(Unit& unit) {
    const PropertyValue v = ReadPropertyEntry(kDatePickerType, &unit, 10 - 8);
    const uint64_t bits = (uint64_t{v.high} << 32) | v.low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  int WriteValue(Unit& unit, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return WritePropertyEntry(kDatePickerType, &unit, 10 - 8,
                              PropertyValue{static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)});
  }
};

DatePickerBlock ReminderDateBox() {
  DatePickerBlock b;
  b.dropDownCalendar = 1;
  return b;
}

TEST_F(DatePickerTest, AStoredZeroReadsAsTodayWithTheCurrentTimeOfDay) {
  const double before = Now();
  auto unit = Make(ReminderDateBox());
  ASSERT_TRUE(unit);
  wchar_t cls[32];
  GetClassNameW(unit->hwnd(), cls, 32);
  EXPECT_STREQ(cls, L"SysDateTimePick32");
  const double value = ReadValue(*unit);
  EXPECT_GE(value, before - kSecond);
  EXPECT_LE(value, Now() + kSecond);
  EXPECT_EQ(std::floor(value), std::floor(before)) << "today";
  EXPECT_NE(value, std::floor(value)) << "a time of day, not midnight";
}

TEST_F(DatePickerTest, WrittenValuesReadBackAndZeroMeansNow) {
  auto unit = Make(ReminderDateBox());
  ASSERT_TRUE(unit);
  EXPECT_EQ(WriteValue(*unit, 46000.75), 0);
  EXPECT_DOUBLE_EQ(ReadValue(*unit), 46000.75);  // 9 December 2025, 18:00
  EXPECT_DOUBLE_EQ(DatePickerBlock::Read(unit->PropertyData())->value, 46000.75)
      << "re-creation keeps the control's date, not the stored 0";
  WriteValue(*unit, 0);
  EXPECT_NEAR(ReadValue(*unit), Now(), 2 * kSecond);
}

TEST_F(DatePickerTest, LimitsFormatAndRefusedVersions) {
  DatePickerBlock b = ReminderDateBox();
  b.value = 45000.5;
  b.earliest = 45000;
  b.latest = 45010;
  b.format = 1;
  auto unit = Make(b);
  ASSERT_TRUE(unit);
  EXPECT_TRUE(GetWindowLongW(unit->hwnd(), GWL_STYLE) & DTS_LONGDATEFORMAT);
  SYSTEMTIME range[2]{};
  EXPECT_EQ(SendMessageW(unit->hwnd(), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), GDTR_MIN | GDTR_MAX);
  EXPECT_DOUBLE_EQ(ReadValue(*unit), 45000.5);
  EXPECT_EQ(WritePropertyEntry(kDatePickerType, unit.get(), 9 - 8, PropertyValue{2, 0}), 1)
      << "the format is fixed at creation";

  std::vector<uint8_t> bytes = b.Write();
  bytes[0] = 3;
  EXPECT_EQ(CreateUnitEntry(kDatePickerType, bytes, {parent_, 100, 0, 0, 10, 10, 1, 2}), nullptr);
}

}  // namespace
}  // namespace tl
