// The system DLLs the program does not import: each is loaded at the first call of one of its
// functions, which then works as the imported function would, and stopping a sound that cannot
// be playing loads nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include "runtime/late_bound.h"

namespace tl {
namespace {

bool Loaded(const wchar_t* dll) { return GetModuleHandleW(dll) != nullptr; }

TEST(LateBound, ADllIsLoadedAtItsFirstCallAndItsFunctionsWork) {
  ASSERT_FALSE(Loaded(L"oleaut32.dll")) << "this test program does not import it";
  SYSTEMTIME noon{2024, 3, 2, 5, 12, 30, 15, 0};
  double date = 0;
  ASSERT_TRUE(late::SystemTimeToVariantTime(&noon, &date));
  EXPECT_TRUE(Loaded(L"oleaut32.dll"));
  EXPECT_DOUBLE_EQ(date, 45356.0 + (12 * 3600 + 30 * 60 + 15) / 86400.0);
  SYSTEMTIME back{};
  ASSERT_TRUE(late::VariantTimeToSystemTime(date, &back));
  EXPECT_EQ(back.wYear, 2024);
  EXPECT_EQ(back.wDay, 5);
  EXPECT_EQ(back.wMinute, 30);

  ASSERT_FALSE(Loaded(L"msimg32.dll"));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  TRIVERTEX ends[2] = {{0, 0, 0xFF00, 0, 0, 0}, {4, 4, 0xFF00, 0, 0, 0}};
  GRADIENT_RECT span{0, 1};
  EXPECT_TRUE(late::GradientFill(dc, ends, 2, &span, 1, GRADIENT_FILL_RECT_V));
  EXPECT_TRUE(Loaded(L"msimg32.dll"));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0)) << "filled";
  SelectObject(dc, previous);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(LateBound, StoppingNoSoundLoadsNoSoundLibrary) {
  ASSERT_FALSE(Loaded(L"winmm.dll")) << "this test program does not import it";
  late::StopSound();
  EXPECT_FALSE(Loaded(L"winmm.dll"));
}

}  // namespace
}  // namespace tl
