#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/list_view.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/row_texts.h"
#include "runtime/unit_events.h"
#include "tests/win/control_host.h"
#include "tests/win/dialog_finder.h"
#include "tests/win/pointer_input.h"
#include "tests/win/unit_entries.h"

namespace tl {
namespace {

using namespace tl::test;

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kUnit = 0x16010002;

ArgRecord TextRecord(const char* text) {
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(text)), 0, DataType::Text};
}

struct OwnedText {
  char* text;
  ~OwnedText() { Free(text); }
};

// The entry list of the main window, without its colours: report view, two columns.
ListViewBlock EntryListBlock() {
  ListViewBlock b;
  b.border = 0;
  b.viewType = 3;
  b.gridLines = true;
  b.columns = {{false, -1, 0, 278, "0"}, {false, -1, 0, 50, "1"}};
  return b;
}

// The list fires into the recording runtime, which answers the events a test chooses and finds
// the test's list by its reference.
class ListViewTest : public RecordingHostWindowTest {
 protected:
  ListViewTest()
      : RecordingHostWindowTest({.title = L"parent", .style = WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                 .exStyle = WS_EX_TOPMOST, .left = 50, .top = 50, .width = 300, .height = 420}) {}
  void TearDown() override {
    ResetRecordingRuntime();
    list_.reset();
    RecordingHostWindowTest::TearDown();
  }

  ListView* Create(const std::vector<uint8_t>& bytes) {
    list_.reset();
    list_.reset(CreateUnitEntry(kListViewType, bytes, {parent_, 100, 0, 56, 279, 312, kWindow, kUnit, 0x00010000}));
    PlaceUnit(kWindow, kUnit, list_.get());
    if (list_) ShowWindow(list_->hwnd(), SW_SHOWNA);
    return dynamic_cast<ListView*>(list_.get());
  }
  ListView* Create(const ListViewBlock& block) { return Create(block.Write()); }
  // What the runtime does when a property write answers 1.
  ListView* Recreate() { return Create(list_->PropertyData()); }

  HWND hwnd() const { return list_->hwnd(); }

  // Methods go through their command entries with the unit reference first.
  ArgRecord Call(CommandFn method, std::vector<ArgRecord> args) {
    args.insert(args.begin(), ArgRecord{kWindow, kUnit, TypeCode(UnitType::ListView)});
    ArgRecord result{};
    method(&result, static_cast<int>(args.size()), args.data());
    return result;
  }
  int32_t Insert(const char* title, ArgRecord position = {}) {
    return static_cast<int32_t>(Call(kListViewInsertItem.entry, {position, TextRecord(title), {}, {}, {}, {}}).low);
  }
  std::string Text(int32_t item, int32_t column = 0) {
    ArgRecord r = Call(kListViewGetItemText.entry, {IntArg(item), IntArg(column)});
    EXPECT_EQ(r.type, DataType::Text);
    OwnedText owned{reinterpret_cast<char*>(static_cast<uintptr_t>(r.low))};
    return std::string(TextView(owned.text));
  }
  int32_t Count() { return static_cast<int32_t>(Call(kListViewGetItemCount.entry, {}).low); }

  int Write(int32_t index, uint32_t value) {
    return WritePropertyEntry(kListViewType, list_.get(), index - 8, {value, 0});
  }
  PropertyValue Read(int32_t index) {
    return ReadPropertyEntry(kListViewType, list_.get(), index - 8);
  }
  std::vector<int32_t> EventIndexes() const {
    std::vector<int32_t> indexes;
    for (const auto& e : FiredEvents()) indexes.push_back(e.index);
    return indexes;
  }

  std::unique_ptr<Unit> list_;
};

TEST_F(ListViewTest, CreatesAReportListWithTheStoredStylesAndColumns) {
  ListViewBlock b = EntryListBlock();
  b.hideHeader = true;
  b.textColor = 0xFFFFFF;
  b.textBackColor = 0;
  b.backColor = kButtonFaceColor;
  ASSERT_TRUE(Create(b));
  wchar_t className[64];
  GetClassNameW(hwnd(), className, 64);
  EXPECT_STREQ(className, WC_LISTVIEWW);
  const DWORD style = GetWindowLongW(hwnd(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
  EXPECT_TRUE(style & LVS_SINGLESEL);
  EXPECT_TRUE(style & WS_CLIPSIBLINGS);
  EXPECT_FALSE(style & LVS_EDITLABELS);
  const DWORD ex = SendMessageW(hwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ex & LVS_EX_INFOTIP);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETTEXTCOLOR, 0, 0), 0xFFFFFF);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 0, 0), 278);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 1, 0), 50);
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), -1);
  EXPECT_EQ(Count(), 0);
  // The column titles are GBK: under a Western locale the stock font's set has no glyphs for them.
  LOGFONTW headerFont{};
  const auto shown = reinterpret_cast<HFONT>(SendMessageW(ListView_GetHeader(hwnd()), WM_GETFONT, 0, 0));
  ASSERT_TRUE(GetObjectW(shown, sizeof headerFont, &headerFont));
  EXPECT_EQ(headerFont.lfCharSet, GB2312_CHARSET);
}

// Changed texts are drawn again together once the handler that changed them is done.
TEST_F(ListViewTest, ChangedTextsInViewAreDrawnAgainOnceTheChangesAreDone) {
  ASSERT_TRUE(Create(EntryListBlock()));
  for (int i = 0; i < 40; ++i) Insert("row");
  Pump(50);
  UpdateWindow(hwnd());
  RECT update;
  ASSERT_FALSE(GetUpdateRect(hwnd(), &update, FALSE));
  Call(kListViewSetItemText.entry, {IntArg(2), IntArg(1), TextRecord("near")});
  Call(kListViewSetItemText.entry, {IntArg(9), IntArg(0), TextRecord("nearer")});
  RunPosted();  // what the loop takes before it paints
  ASSERT_TRUE(GetUpdateRect(hwnd(), &update, FALSE));
  for (int row : {2, 9}) {
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(hwnd(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)));
    RECT both;
    EXPECT_TRUE(IntersectRect(&both, &update, &bounds)) << "row " << row;
  }
  EXPECT_EQ(Text(2, 1), "near");
}

TEST_F(ListViewTest, RefusesNewerBlocksAndTakesDefaultsFromAnEmptyOne) {
  auto bytes = EntryListBlock().Write();
  bytes[0] = 2;
  EXPECT_EQ(Create(bytes), nullptr);
  ASSERT_TRUE(Create(std::vector<uint8_t>{}));
  EXPECT_EQ(GetWindowLongW(hwnd(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
  EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(ListViewTest, InsertAppendsOrPlacesAndTheOthersMoveDown) {
  ASSERT_TRUE(Create(EntryListBlock()));
  EXPECT_EQ(Insert("a"), 0);
  EXPECT_EQ(Insert("b"), 1);
  EXPECT_EQ(Insert("c", IntArg(-3)), 2);  // negative appends
  EXPECT_EQ(Insert("新", IntArg(0)), 0);
  EXPECT_EQ(Count(), 4);
  EXPECT_EQ(Text(0), "新");
  EXPECT_EQ(Text(1), "a");
  EXPECT_EQ(Text(3), "c");

  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("2026年12月7日")});
  EXPECT_EQ(Text(1, 1), "2026年12月7日");
  Call(kListViewSetItemText.entry, {IntArg(9), IntArg(0), TextRecord("x")});  // ignored
  EXPECT_EQ(Text(4), "");  // index equal to the count
  EXPECT_EQ(Text(0, 7), "");

  Call(kListViewDeleteItem.entry, {IntArg(0)});
  Call(kListViewDeleteItem.entry, {IntArg(10)});
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(Text(0), "a");
}

TEST_F(ListViewTest, InsertItemFillsValueIndentAndStateImage) {
  ListViewBlock b = EntryListBlock();
  b.checkBoxes = true;
  ASSERT_TRUE(Create(b));
  Call(kListViewInsertItem.entry, {{}, TextRecord("x"), IntArg(-7), IntArg(1), IntArg(-2), IntArg(42)});
  LVITEMW item{};
  item.mask = LVIF_PARAM | LVIF_INDENT | LVIF_STATE | LVIF_IMAGE;
  item.stateMask = LVIS_STATEIMAGEMASK;
  ASSERT_TRUE(SendMessageW(hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.lParam, 42);
  EXPECT_EQ(item.iIndent, 0);
  EXPECT_EQ(item.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));  // checked
  EXPECT_NE(item.iImage, I_IMAGECALLBACK);
  EXPECT_EQ(LastFired(8), nullptr);  // the unit's own setting is no user's toggle
}

TEST_F(ListViewTest, GetItemTextReturnsLongTitlesWhole) {
  ASSERT_TRUE(Create(EntryListBlock()));
  std::string title;
  for (int i = 0; i < 500; ++i) title += "字";
  ASSERT_EQ(title.size(), 1000u);
  Insert(title.c_str());
  EXPECT_EQ(Text(0), title);
  // Exactly at a buffer boundary too.
  const std::string ascii(511, 'x');
  Insert(ascii.c_str());
  EXPECT_EQ(Text(1), ascii);
}

TEST_F(ListViewTest, CurrentSelectionSelectsFocusesAndClears) {
  ASSERT_TRUE(Create(EntryListBlock()));
  for (const char* t : {"a", "b", "c"}) Insert(t);
  EXPECT_EQ(Write(35, 2), 0);
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), 2);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 2);
  ASSERT_TRUE(LastFired(0));  // the focused item changed
  Write(35, 0);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETSELECTEDCOUNT, 0, 0), 1);  // single selection
  Write(35, static_cast<uint32_t>(-1));
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), -1);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETSELECTEDCOUNT, 0, 0), 0);
  Write(35, static_cast<uint32_t>(-9));  // below -1 counts as -1, nothing to clear
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), -1);
}

TEST_F(ListViewTest, EditItemDoesNothingUntilTitleEditingIsAllowed) {
  ASSERT_TRUE(Create(EntryListBlock()));
  Insert("old");
  Call(kListViewEditItem.entry, {IntArg(0)});
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0), 0);
  EXPECT_EQ(LastFired(6), nullptr);

  EXPECT_EQ(Write(30, 1), 1);  // a new control is needed
  EXPECT_EQ(Write(30, 1), 0);  // but not twice
  ASSERT_TRUE(Recreate());
  EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_STYLE) & LVS_EDITLABELS);
  EXPECT_EQ(Count(), 0);  // run-time items are not carried over
  Insert("old");

  Call(kListViewEditItem.entry, {IntArg(0)});
  ASSERT_TRUE(LastFired(6));
  EXPECT_EQ(LastFired(6)->args[0], 0u);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetFocus(), edit);
  SetWindowTextW(edit, Widen("新标题").c_str());
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump(20);
  ASSERT_TRUE(LastFired(7));
  EXPECT_EQ(LastFired(7)->args[0], 0u);
  EXPECT_EQ(Text(0), "新标题");
  OwnedText edited{reinterpret_cast<char*>(static_cast<uintptr_t>(Read(38).low))};
  EXPECT_STREQ(edited.text, "新标题");
}

TEST_F(ListViewTest, EditingHandlersCanCancelOrRejectTheTitle) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  Insert("old");

  AnswerEvents({{6, 0}});
  Call(kListViewEditItem.entry, {IntArg(0)});
  ASSERT_TRUE(LastFired(6));
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0), 0);

  AnswerEvents({{7, 0}});
  Call(kListViewEditItem.entry, {IntArg(0)});
  HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"rejected");
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump(20);
  ASSERT_TRUE(LastFired(7));
  EXPECT_EQ(Text(0), "old");
}

// The editing box holds the whole title however long, and what the user typed comes back whole.
TEST_F(ListViewTest, TitlesOfAnyLengthSurviveEditingInPlace) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  for (size_t characters : {400u, 5000u}) {
    std::string title;
    for (size_t i = 0; i < characters; ++i) title += i % 2 ? "事" : "a";
    Insert(title.c_str());
    const int32_t row = Count() - 1;
    Call(kListViewEditItem.entry, {IntArg(row)});
    HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(edit), static_cast<int>(characters));
    // End, Backspace, Enter.
    SendMessageW(edit, EM_SETSEL, characters - 1, characters);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump(20);
    EXPECT_EQ(Text(row), title.substr(0, title.size() - 2)) << characters << " characters";
  }
}

// A title the files could not hold exactly is refused with a word, and its editing opens again
// with what was typed; the row keeps its title meanwhile.
TEST_F(ListViewTest, ATitleWithCharactersTheTextsCannotHoldIsToldAndOpensAgain) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  Insert("old");
  Call(kListViewEditItem.entry, {IntArg(0)});
  HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  const std::wstring typed = L"\u623F\u79DF\U0001F34E";
  SetWindowTextW(edit, typed.c_str());
  ClearFiredEvents();
  std::wstring told;
  {
    test::DialogDriver driver([&](HWND box) {
      told.resize(256);
      told.resize(static_cast<size_t>(GetDlgItemTextW(box, 65535, told.data(), 256)));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  }
  Pump(20);
  EXPECT_EQ(told.substr(0, 4), L"\u201C\U0001F34E\u201D");
  EXPECT_EQ(LastFired(7), nullptr) << "no handler is offered a title the list would not keep";
  EXPECT_EQ(Text(0), "old");
  edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  wchar_t reopened[16] = {};
  GetWindowTextW(edit, reopened, 16);
  EXPECT_EQ(std::wstring(reopened), typed);
  SetWindowTextW(edit, L"\u623F\u79DF\u20AC");
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump(20);
  EXPECT_EQ(Text(0), "房租\x80");
}

TEST_F(ListViewTest, RowTextsGiveEveryRowsColumnsInOneRead) {
  ASSERT_TRUE(Create(EntryListBlock()));
  Insert("买菜");
  Insert("");
  Insert("写PPt", IntArg(0));
  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("2024年3月5日")});
  const PropertyValue value = Read(40);
  const std::span<const uint8_t> bytes = ByteSetView(WordPointer<const void*>(value.low));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), RowTextsBlock(2, {"写PPt", "", "买菜", "2024年3月5日", "", ""}));
  Free(WordPointer<void*>(value.low));
}

TEST_F(ListViewTest, AddLinesPlacesRowsAndTextsAsOneCallAPieceWould) {
  ASSERT_TRUE(Create(EntryListBlock()));
  ListView* list = dynamic_cast<ListView*>(list_.get());
  Insert("已有");
  // The last line needs no line end; an empty line is an empty row.
  EXPECT_EQ(list->AddLines(0, "买菜\r\n\r\n写PPt", "\r\n"), 3);
  EXPECT_EQ(list->AddLines(1, "一\r\n二\r\n三\r\n四\r\n五\r\n", "\r\n"), 5) << "pieces past the rows are dropped";
  const PropertyValue value = Read(40);
  const std::span<const uint8_t> bytes = ByteSetView(WordPointer<const void*>(value.low));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), RowTextsBlock(2, {"已有", "一", "买菜", "二", "", "三", "写PPt", "四"}));
  Free(WordPointer<void*>(value.low));
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0), 4) << "the control learns the count";
  LVITEMW rows[2]{};
  for (int i = 0; i < 2; ++i) {
    rows[i].mask = LVIF_STATE;
    rows[i].iItem = i;
    rows[i].stateMask = LVIS_STATEIMAGEMASK;
    ASSERT_TRUE(SendMessageW(hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&rows[i])));
  }
  EXPECT_EQ(rows[1].state, rows[0].state) << "an added row is marked as an inserted one";

  ListViewBlock sorted = EntryListBlock();
  sorted.sorting = 1;
  list = Create(sorted);
  ASSERT_TRUE(list);
  list->AddLines(0, "c\r\na\r\nb\r\n", "\r\n");
  EXPECT_EQ(Text(0) + Text(1) + Text(2), "abc") << "a sorted list places each row as an insertion would";
}

TEST_F(ListViewTest, ChangesSinceTellsEachChangeOfTheRowsUntilTooManyWereMade) {
  ASSERT_TRUE(Create(EntryListBlock()));
  ListView* list = dynamic_cast<ListView*>(list_.get());
  auto count = [&] { return static_cast<uint32_t>(Read(39).low); };
  const uint32_t start = count();
  EXPECT_EQ(list->ChangesSince(start), std::vector<RowChange>{});
  Insert("a");
  Insert("b", IntArg(0));
  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("t")});
  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("t")});  // the same text: no change
  const uint32_t middle = count();
  Call(kListViewDeleteItem.entry, {IntArg(0)});
  using K = RowChangeKind;
  EXPECT_EQ(list->ChangesSince(start),
            (std::vector<RowChange>{{K::Inserted, 0}, {K::Inserted, 0}, {K::TextSet, 1}, {K::Deleted, 0}}));
  EXPECT_EQ(list->ChangesSince(middle), (std::vector<RowChange>{{K::Deleted, 0}}));

  for (int i = 0; i < 300; ++i) Insert("x");
  EXPECT_FALSE(list->ChangesSince(middle)) << "the oldest changes are no longer kept";
  const uint32_t recent = count();
  list->AddLines(0, "y\r\nz", "\r\n");
  EXPECT_FALSE(list->ChangesSince(recent)) << "many rows at once are one change too large to tell";
}

TEST_F(ListViewTest, InitialItemsAndColumnsComeFromTheirRecords) {
  ListViewBlock b = EntryListBlock();
  b.items = {{false, -1, -1, 5, 0, "第一", "提示"},
             {true, -1, -1, 0, 0, "10:00", ""},
             {false, -1, -1, 6, 0, "第二", ""}};
  ASSERT_TRUE(Create(b));
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(Text(0), "第一");
  EXPECT_EQ(Text(0, 1), "10:00");
  EXPECT_EQ(Text(1), "第二");

  Insert("run time");
  const std::vector<uint8_t> items = WriteListViewItems(std::vector<ListViewItemRecord>{{false, -1, -1, 0, 0, "only", ""}});
  void* byteSet = NewByteSet(items);
  EXPECT_EQ(Write(37, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(byteSet))), 0);
  Free(byteSet);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Text(0), "only");

  void* columns = reinterpret_cast<void*>(static_cast<uintptr_t>(Read(17).low));
  EXPECT_EQ(ReadListViewColumns(ByteSetView(columns)).value(), EntryListBlock().columns);
  Free(columns);
  // Malformed column data is ignored and asks for nothing.
  const uint8_t broken[] = {1, 0, 0, 0, 3, 0, 0, 0, 0};
  byteSet = NewByteSet(broken);
  EXPECT_EQ(Write(17, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(byteSet))), 0);
  Free(byteSet);
  ListViewBlock expected = b;
  expected.items = {{false, -1, -1, 0, 0, "only", ""}};
  EXPECT_EQ(list_->PropertyData(), expected.Write());
}

TEST_F(ListViewTest, InitialItemsShowTheirTips) {
  ListViewBlock b = EntryListBlock();
  b.items = {{false, -1, -1, 0, 0, "a", "第一条"}, {false, -1, -1, 0, 0, "b", ""}};
  ASSERT_TRUE(Create(b));
  auto askTip = [&](int item) {
    wchar_t text[64] = L"unchanged";
    NMLVGETINFOTIPW tip{};
    tip.hdr = {hwnd(), 100, LVN_GETINFOTIPW};
    tip.pszText = text;
    tip.cchTextMax = 64;
    tip.iItem = item;
    SendMessageW(parent_, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&tip));
    return Narrow(text);
  };
  EXPECT_EQ(askTip(0), "第一条");
  EXPECT_EQ(askTip(1), "unchanged");
  Insert("first", IntArg(0));  // the tip follows its item
  EXPECT_EQ(askTip(1), "第一条");
}

TEST_F(ListViewTest, LiveWritesApplyAndStyleWritesAskForANewControl) {
  ASSERT_TRUE(Create(EntryListBlock()));
  Insert("kept");
  EXPECT_EQ(Write(11, 0x123456), 0);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETBKCOLOR, 0, 0), 0x123456);
  EXPECT_EQ(Write(18, 1), 0);
  EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_STYLE) & LVS_NOCOLUMNHEADER);
  EXPECT_EQ(Write(8, 5), 0);
  EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(Write(14, 1), 0);  // icon alignment means nothing in report view
  EXPECT_EQ(Write(22, 0), 1);
  EXPECT_EQ(Write(36, 1), 1);
  EXPECT_EQ(Write(27, 0), 0);  // hot-tracking options only matter with hot tracking
  EXPECT_EQ(Write(13, 1), 1);
  EXPECT_EQ(Count(), 1);  // nothing was rebuilt by the unit itself
  ASSERT_TRUE(Recreate());
  EXPECT_EQ(GetWindowLongW(hwnd(), GWL_STYLE) & LVS_TYPEMASK, static_cast<DWORD>(LVS_SMALLICON));
  EXPECT_TRUE(GetWindowLongW(hwnd(), GWL_STYLE) & LVS_SHOWSELALWAYS);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETBKCOLOR, 0, 0), 0x123456);
}

TEST_F(ListViewTest, ColumnWidthsFitOrAreSet) {
  ASSERT_TRUE(Create(EntryListBlock()));
  Call(kListViewSetColumnWidth.entry, {IntArg(1), IntArg(120)});
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 1, 0), 120);
  Call(kListViewSetColumnWidth.entry, {IntArg(0), IntArg(-9)});  // fits the header title
  const LRESULT fitted = SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 0, 0);
  EXPECT_GT(fitted, 0);
  EXPECT_LT(fitted, 278);
  for (int i = 0; i < 40; ++i) Insert("x");
  Call(kListViewEnsureVisible.entry, {IntArg(39)});
  EXPECT_GT(SendMessageW(hwnd(), LVM_GETTOPINDEX, 0, 0), 0);
}

TEST_F(ListViewTest, CheckBoxChangesRaiseEventsAndFocusChangesDoNot) {
  ListViewBlock b = EntryListBlock();
  b.checkBoxes = true;
  ASSERT_TRUE(Create(b));
  Insert("a");
  Insert("b");
  ClearFiredEvents();
  ListView_SetCheckState(hwnd(), 1, TRUE);
  const EventRecord* changed = LastFired(8);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->argCount, 2);
  EXPECT_EQ(changed->args[0], 1u);
  EXPECT_EQ(changed->args[1], 1u);
  ListView_SetCheckState(hwnd(), 1, FALSE);
  EXPECT_EQ(LastFired(8)->args[1], 0u);

  // Focus events come from the runtime for every unit; the list raising them too would double them.
  ClearFiredEvents();
  SetFocus(hwnd());
  SetFocus(parent_);
  EXPECT_TRUE(EventIndexes().empty());
}

// The methods' arguments left out: an item names no row, so the methods that take one change
// nothing and the text of no row is an empty text of its own; a column is the title's.
TEST_F(ListViewTest, ArgumentsLeftOutTakeTheMethodsDefaults) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  for (const char* t : {"a", "b"}) Insert(t);
  const uint32_t changeCount = Read(39).low;
  for (const CommandFn method : {kListViewDeleteItem.entry, kListViewSetItemText.entry, kListViewEditItem.entry,
                                 kListViewEnsureVisible.entry, kListViewSetColumnWidth.entry}) {
    Call(method, {{}, {}, TextRecord("x")});
  }
  EXPECT_EQ(Read(39).low, changeCount) << "no row changed";
  EXPECT_EQ(Text(0), "a");
  EXPECT_EQ(Text(1), "b");
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0), 0) << "no row is edited";
  const ArgRecord none = Call(kListViewGetItemText.entry, {});
  ASSERT_EQ(none.type, DataType::Text);
  const OwnedText empty{static_cast<char*>(ArgPointer(none))};
  ASSERT_NE(empty.text, nullptr) << "a text of its own";
  EXPECT_STREQ(empty.text, "");

  Call(kListViewSetItemText.entry, {IntArg(1), {}, TextRecord("title")});
  EXPECT_EQ(Text(1), "title");
  EXPECT_EQ(Call(kListViewAddLines.entry, {{}, TextRecord("c|d"), TextRecord("|")}).low, 2u);
  ASSERT_EQ(Count(), 4) << "a row a piece";
  EXPECT_EQ(Text(3), "d");
}

TEST_F(ListViewTest, MethodsOnAnotherUnitDoNothing) {
  ASSERT_TRUE(Create(EntryListBlock()));
  ArgRecord args[] = {{kWindow, 0x16099999, TypeCode(UnitType::ListView)}, TextRecord("x")};
  ArgRecord result{};
  kListViewGetItemCount.entry(&result, 1, args);
  EXPECT_EQ(result.type, DataType::None);
  kListViewInsertItem.entry(&result, 0, nullptr);
  EXPECT_EQ(result.type, DataType::None);
  EXPECT_EQ(Count(), 0);
}

// Selection and focus as another program reads them: S selected, F selected and focused,
// f focused only, '.' neither.
std::string Marks(HWND list) {
  std::string marks;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
    const bool selected = state & LVIS_SELECTED, focused = state & LVIS_FOCUSED;
    marks += selected ? (focused ? 'F' : 'S') : (focused ? 'f' : '.');
  }
  return marks;
}

TEST_F(ListViewTest, SelectionAndFocusStayOnTheirRowsAsRowsComeAndGo) {
  ListViewBlock b = EntryListBlock();
  b.singleSelection = false;
  ASSERT_TRUE(Create(b));
  for (const char* t : {"r0", "r1", "r2", "r3", "r4"}) Insert(t);
  Write(35, 1);
  Write(35, 3);
  ASSERT_EQ(Marks(hwnd()), ".S.F.");
  ClearFiredEvents();
  Insert("n0", IntArg(2));  // between the two selected rows
  EXPECT_EQ(Marks(hwnd()), ".S..F.");
  Insert("n1", IntArg(0));
  EXPECT_EQ(Marks(hwnd()), "..S..F.");
  Insert("n2");
  EXPECT_EQ(Marks(hwnd()), "..S..F..");
  EXPECT_EQ(Text(5), "r3");
  Call(kListViewDeleteItem.entry, {IntArg(0)});
  EXPECT_EQ(Marks(hwnd()), ".S..F..");
  Call(kListViewDeleteItem.entry, {IntArg(1)});  // the selected row itself
  EXPECT_EQ(Marks(hwnd()), "...F..");
  EXPECT_EQ(Text(3), "r3");
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), 3);
  EXPECT_EQ(LastFired(0), nullptr);  // marks moving with their rows are no new focus
}

TEST_F(ListViewTest, AnInsertionAboveTheSelectedRowKeepsItSelectedAndDoesNotScroll) {
  ASSERT_TRUE(Create(EntryListBlock()));
  for (int i = 0; i < 60; ++i) Insert(std::to_string(i).c_str());
  Write(35, 40);
  const LRESULT top = SendMessageW(hwnd(), LVM_GETTOPINDEX, 0, 0);
  ASSERT_GT(top, 0);
  Insert("new", IntArg(0));
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), 41);
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 41);
  EXPECT_EQ(Text(41), "40");
  EXPECT_EQ(SendMessageW(hwnd(), LVM_GETTOPINDEX, 0, 0), top);
  Insert("after", IntArg(50));  // below the selection nothing moves
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), 41);
}

TEST_F(ListViewTest, AnEditedTitleLandsOnItsRowWhileHandlersMoveIt) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  for (const char* t : {"a", "b", "c"}) Insert(t);
  Call(kListViewEditItem.entry, {IntArg(2)});
  HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  Insert("timer row", IntArg(0));  // a timer's handler runs while the user types
  SetWindowTextW(edit, L"edited");
  OnFiredEvent([&](const EventRecord& e) {
    if (e.index != 7) return;
    EXPECT_EQ(Text(3), "c");  // the old title stays until the handler has answered
    Insert("handler row", IntArg(0));
  });
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump(20);
  ASSERT_TRUE(LastFired(7));
  EXPECT_EQ(LastFired(7)->args[0], 3u);
  const std::vector<std::string> expected = {"handler row", "timer row", "a", "b", "edited"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Text(i), expected[static_cast<size_t>(i)]) << i;

  // A row deleted while its title is open takes the new title with it.
  OnFiredEvent(nullptr);
  Call(kListViewEditItem.entry, {IntArg(4)});
  edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr);
  Call(kListViewDeleteItem.entry, {IntArg(4)});
  SetWindowTextW(edit, L"lost");
  ClearFiredEvents();
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump(20);
  EXPECT_EQ(LastFired(7), nullptr);
  ASSERT_EQ(Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Text(i), expected[static_cast<size_t>(i)]) << i;
}

// Property 39 lets a save tell cheaply whether anything in the rows changed since it looked.
TEST_F(ListViewTest, TheChangeCountMovesWithEveryChangeOfRowsOrTextsAndOnlyThen) {
  ListViewBlock b = EntryListBlock();
  b.allowTitleEditing = true;
  ASSERT_TRUE(Create(b));
  uint32_t last = Read(39).low;
  auto changed = [&] {
    const uint32_t now = Read(39).low;
    const bool moved = now != last;
    last = now;
    return moved;
  };
  auto editTitle = [&](const wchar_t* title, UINT key) {
    Call(kListViewEditItem.entry, {IntArg(0)});
    HWND edit = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, title);
    SendMessageW(edit, WM_KEYDOWN, key, 0);
    Pump(20);
  };
  Insert("a");
  EXPECT_TRUE(changed()) << "append";
  Insert("b", IntArg(0));
  EXPECT_TRUE(changed()) << "insert at a place";
  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("t")});
  EXPECT_TRUE(changed()) << "set a text";
  Call(kListViewSetItemText.entry, {IntArg(1), IntArg(1), TextRecord("t")});
  Call(kListViewSetItemText.entry, {IntArg(9), IntArg(0), TextRecord("x")});
  Call(kListViewSetItemText.entry, {IntArg(0), IntArg(5), TextRecord("x")});
  EXPECT_FALSE(changed()) << "the same text again, no such row or column";
  Text(0);
  Count();
  Write(35, 0);
  Write(9, 0xFF);
  Call(kListViewEnsureVisible.entry, {IntArg(1)});
  Call(kListViewSetColumnWidth.entry, {IntArg(0), IntArg(90)});
  EXPECT_FALSE(changed()) << "reading, selecting, colouring, scrolling, sizing";
  editTitle(L"edited", VK_RETURN);
  ASSERT_EQ(Text(0), "edited");
  EXPECT_TRUE(changed()) << "a title edited in place";
  editTitle(L"dropped", VK_ESCAPE);
  EXPECT_FALSE(changed()) << "an edit given up";
  AnswerEvents({{7, 0}});
  editTitle(L"rejected", VK_RETURN);
  ASSERT_EQ(Text(0), "edited");
  EXPECT_FALSE(changed()) << "a rejected title";
  Call(kListViewDeleteItem.entry, {IntArg(5)});
  EXPECT_FALSE(changed()) << "no such row to delete";
  Call(kListViewDeleteItem.entry, {IntArg(0)});
  EXPECT_TRUE(changed()) << "delete";
  const std::vector<uint8_t> items = WriteListViewItems(std::vector<ListViewItemRecord>{{false, -1, -1, 0, 0, "x", ""}});
  void* byteSet = NewByteSet(items);
  Write(37, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(byteSet)));
  Free(byteSet);
  EXPECT_TRUE(changed()) << "the initial items put back";
  EXPECT_EQ(Write(39, 12345), 0) << "read only";
  EXPECT_FALSE(changed());
  // A list built anew never answers a value its predecessor answered.
  ASSERT_TRUE(Recreate());
  EXPECT_TRUE(changed());
}

// Another program reads the list as a screen reader or an automation tool does: through the
// platform's messages, with its buffers in the list's process. A virtual control answers the
// texts by asking its parent, which happens in the list's own process.
TEST_F(ListViewTest, AnotherProgramReadsEveryRowColumnAndTheSelection) {
  ASSERT_TRUE(Create(EntryListBlock()));
  std::string longTitle;
  for (int i = 0; i < 300; ++i) longTitle += "长";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"第一条", "2026年12月7日"}, {"", "空标题"}, {longTitle, "x"}, {"last", ""}};
  for (const auto& [title, time] : rows) {
    const auto item = Insert(title.c_str());
    Call(kListViewSetItemText.entry, {IntArg(item), IntArg(1), TextRecord(time.c_str())});
  }
  Write(35, 2);

  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring reader(exe);
  reader.resize(reader.rfind(L'\\') + 1);
  wchar_t output[MAX_PATH];
  GetTempPathW(MAX_PATH, output);
  std::wstring outputFile = std::wstring(output) + L"listview_reader.txt";
  std::wstring command = L"\"" + reader + L"listview_reader.exe\" " +
                         std::to_wstring(reinterpret_cast<uintptr_t>(hwnd())) + L" 2 \"" + outputFile + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  // The reader's messages are answered while this thread waits for it.
  const DWORD end = GetTickCount() + 20000;
  while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && static_cast<LONG>(end - GetTickCount()) > 0) {
    Pump(100);
  }
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  ASSERT_EQ(exitCode, 0u);

  std::ifstream in(std::string(outputFile.begin(), outputFile.end()), std::ios::binary);
  std::stringstream read;
  read << in.rdbuf();
  in.close();
  DeleteFileW(outputFile.c_str());
  std::ostringstream expected;
  expected << "count " << rows.size() << "\n";
  for (size_t i = 0; i < rows.size(); ++i) {
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(hwnd(), LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&bounds));
    expected << i << (i == 2 ? " selected focused" : "") << " rect " << bounds.left << ',' << bounds.top << ','
             << bounds.right << ',' << bounds.bottom << "\n";
    expected << "  " << rows[i].first << "\n  " << rows[i].second << "\n";
  }
  // The reader writes UTF-8; the list's texts are GBK.
  const std::wstring wide = [&] {
    const std::string bytes = read.str();
    std::wstring w(bytes.size(), L'\0');
    w.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(),
                                 static_cast<int>(w.size())));
    return w;
  }();
  EXPECT_EQ(Narrow(wide), expected.str());
}

// Synthesized mouse input: clicks on and beside items.
class ListViewInputTest : public ListViewTest {
 protected:
  void Click(POINT client, bool right) {
    ClientToScreen(hwnd(), &client);
    SetCursorPos(client.x, client.y);
    ClickAtPointer(right);
    Pump(150);
    Sleep(550);  // keep separate clicks from pairing into a double click
  }
  // An entry list in front holding one item, and a point on that item in the list's client area.
  void ShowOneItem(POINT& onItem) {
    ASSERT_TRUE(Create(EntryListBlock()));
    SetForegroundWindow(parent_);
    Insert("an entry");
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)));
    onItem = {item.left + 10, (item.top + item.bottom) / 2};
  }
};

TEST_F(ListViewInputTest, RightClickFiresOnAndOffAnItemAndLeftClickFires) {
  POINT onItem;
  ASSERT_NO_FATAL_FAILURE(ShowOneItem(onItem));
  ClearFiredEvents();
  Click(onItem, true);
  int rightClicks = 0;
  for (int32_t e : EventIndexes()) rightClicks += e == 5;
  EXPECT_EQ(rightClicks, 1);
  Click({20, 250}, true);  // below the only item
  rightClicks = 0;
  for (int32_t e : EventIndexes()) rightClicks += e == 5;
  EXPECT_EQ(rightClicks, 2);
  Click(onItem, false);
  EXPECT_TRUE(LastFired(4));
  EXPECT_EQ(static_cast<int32_t>(Read(35).low), 0);
}

TEST_F(ListViewInputTest, DoubleClickActivatesAndHeaderClickNamesTheColumn) {
  POINT point;
  ASSERT_NO_FATAL_FAILURE(ShowOneItem(point));
  ClientToScreen(hwnd(), &point);
  SetCursorPos(point.x, point.y);
  ClickAtPointer(false, 2);
  Pump(200);
  Sleep(550);
  EXPECT_TRUE(LastFired(1));

  Call(kListViewSetColumnWidth.entry, {IntArg(0), IntArg(100)});
  HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
  RECT column{};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&column)));
  MapWindowPoints(header, hwnd(), reinterpret_cast<POINT*>(&column), 2);
  Click({(column.left + column.right) / 2, (column.top + column.bottom) / 2}, false);
  ASSERT_TRUE(LastFired(2));
  EXPECT_EQ(LastFired(2)->args[0], 1u);
}

TEST_F(ListViewInputTest, HotTrackingNamesTheItemUnderThePointer) {
  ListViewBlock b = EntryListBlock();
  b.hotTracking = true;
  ASSERT_TRUE(Create(b));
  SetForegroundWindow(parent_);
  Insert("first");
  Insert("second");
  RECT item{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(SendMessageW(hwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
  POINT point{item.left + 10, (item.top + item.bottom) / 2};
  ClientToScreen(hwnd(), &point);
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  move.mi.dx = MulDiv(point.x, 65536, GetSystemMetrics(SM_CXSCREEN));
  move.mi.dy = MulDiv(point.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  SendInput(1, &move, sizeof move);
  Pump(100);
  move.mi.dx += 2;
  SendInput(1, &move, sizeof move);
  Pump(700);
  ASSERT_TRUE(LastFired(3));
  EXPECT_EQ(LastFired(3)->args[0], 1u);
}

}  // namespace
}  // namespace tl
