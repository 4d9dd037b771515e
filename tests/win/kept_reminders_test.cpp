// A start of the program inside its own runtime, beside a reminder file from earlier runs: a
// reminder whose minute passed while the program was not running stays in the file, as not yet
// announced, until the box that tells it is about to show, so that a kill before that box leaves
// it to the next start and a kill after it leaves nothing to tell again.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/reminder_file.h"
#include "forms/ids.h"
#include "runtime/gbk.h"
#include "tests/win/dialog_finder.h"
#include "tests/win/message_pump.h"
#include "tests/win/program_fixture.h"
#include "tests/win/temporary_directory.h"

namespace tl::app {
namespace {

const std::string kFile(kReminderFileName);

void Put(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

std::string Contents(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class KeptRemindersAtStart : public test::TemporaryDirectoryTest {
 protected:
  KeptRemindersAtStart() : TemporaryDirectoryTest(L"tl_kept_reminders_") {}
  static void SetUpTestSuite() { test::LoadApplication(); }
  void TearDown() override {
    test::DestroyLoadedWindows();
    TemporaryDirectoryTest::TearDown();
  }
};

TEST_F(KeptRemindersAtStart, AMissedOneStaysKeptUntilTheBoxThatTellsItShows) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const KeptReminder missed{"事件：2019年5月3日\r\n     交房租", {"2020", "1", "2", "3", "4"}};
  const KeptReminder announced{"事件：2019年5月4日\r\n     早已提醒", {"2020", "1", "2", "3", "5"}, true};
  const KeptReminder ahead{"事件：2019年5月5日\r\n     later", {std::to_string(now.wYear + 1), "1", "2", "3", "4"}};
  Put("bugaun.txt", "[提醒]交房租\r\n早已提醒\r\n[提醒]later\r\n");
  Put("jilusjian.txt", "2019年5月3日\r\n2019年5月4日\r\n2019年5月5日\r\n");
  Put(kFile, ReminderFileText(std::vector{missed, announced, ahead}));

  test::LoadWindowOrFail(ids::MainWindow.window);
  EXPECT_EQ(Contents(kFile), ReminderFileText(std::vector{ahead, missed}))
      << "the start drops what an earlier run announced and keeps the missed one until it is told";

  std::string kept, told;
  {
    test::DialogDriver driver([&](HWND box) {
      kept = Contents(kFile);
      wchar_t text[512] = {};
      GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 512);
      told = Narrow(text);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    test::Pump(1500);
  }
  EXPECT_NE(told.find("交房租（2020年1月2日3时4分）"), std::string::npos) << told;
  EXPECT_EQ(told.find("later"), std::string::npos) << "a reminder still ahead is not missed";
  EXPECT_EQ(kept, ReminderFileText(std::vector{ahead})) << "told once: it left the file as its box showed";
  test::Pump(200);
  EXPECT_EQ(Contents(kFile), ReminderFileText(std::vector{ahead}));
}

}  // namespace
}  // namespace tl::app
