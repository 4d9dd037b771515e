#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "controls/balloon_tip_block.h"
#include "controls/button_block.h"
#include "controls/date_picker_block.h"
#include "controls/edit_box_block.h"
#include "controls/input_device_block.h"
#include "controls/label_block.h"
#include "controls/list_view_block.h"
#include "controls/slider_block.h"
#include "controls/timer_block.h"
#include "controls/transparent_label_block.h"
#include "forms/definition.h"
#include "forms/handlers.h"
#include "forms/ids.h"
#include "runtime/form_image.h"
#include "runtime/window_block.h"

namespace tl::forms {
namespace {

std::vector<uint8_t> ReadAsset(const char* name) {
  std::ifstream in(std::string(TALLYLEAF_FORMS_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    assets_.aboutPicture = ReadAsset("about_background.png");
    assets_.leafIcon = ReadAsset("leaf.ico");
    image_ = WriteFormImage(AllWindows(assets_));
    auto windows = ReadFormImage(image_, kHandlerCount);
    ASSERT_TRUE(windows.has_value());
    windows_ = std::move(*windows);
    ASSERT_EQ(windows_.size(), 4u);
  }

  const UnitRecordArray& Units(uint32_t window) const {
    for (const WindowDefinitionData& w : windows_) {
      if (w.id == window) return w.units;
    }
    ADD_FAILURE() << std::hex << window;
    return windows_[0].units;
  }

  Assets assets_;
  std::vector<uint8_t> image_;
  std::vector<WindowDefinitionData> windows_;
};

TEST_F(FormsTest, ImageReadsBackAndWritesTheSameBytes) {
  EXPECT_EQ(WriteFormImage(windows_), image_);
  const std::vector<WindowDefinitionData> fresh = AllWindows(assets_);
  for (size_t i = 0; i < fresh.size(); ++i) {
    ASSERT_EQ(windows_[i].units.size(), fresh[i].units.size());
    EXPECT_EQ(windows_[i].units.data(), fresh[i].units.data());
    for (size_t k = 0; k < fresh[i].units.size(); ++k) {
      const bool menu = fresh[i].units.IsMenuItem(k);
      EXPECT_EQ(menu ? EncodeMenuItem(windows_[i].units.MenuItem(k))
                     : EncodeUnitRecord(windows_[i].units.Unit(k)),
                menu ? EncodeMenuItem(fresh[i].units.MenuItem(k))
                     : EncodeUnitRecord(fresh[i].units.Unit(k)))
          << i << " " << k;
    }
  }
}

TEST_F(FormsTest, WindowMapOrderAndStoredWords) {
  const std::vector<std::array<uint32_t, 3>> expected = {
      {ids::MainWindow, 0xC2, 0x19010003},
      {ids::DetailsWindow, 0x4568FB0, 0x19012422},
      {ids::AboutWindow, 0x208C4, 0},
      {ids::ReminderWindow, 0x44F9FB0, 0x19012453},
  };
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(windows_[i].id, expected[i][0]);
    EXPECT_EQ(static_cast<uint32_t>(windows_[i].word1), expected[i][1]);
    EXPECT_EQ(static_cast<uint32_t>(windows_[i].word2), expected[i][2]);
    EXPECT_TRUE(windows_[i].text1.empty() && windows_[i].text2.empty());
  }
}

TEST_F(FormsTest, RecordsInDesignedOrder) {
  const std::map<uint32_t, std::vector<uint32_t>> expected = {
      {ids::MainWindow,
       {ids::MainWindowUnit, ids::TransparencySlider, ids::SettingsMenu, ids::AboutItem,
        ids::TransparencyItem, ids::CloseProgramItem, ids::ListMenu, ids::EditEntryItem,
        ids::DeleteEntryItem, ids::InsertEntryItem, ids::ViewDetailsItem, ids::ReminderSubmenu,
        ids::ShowRemindersItem, ids::AddReminderItem, ids::DeleteReminderItem, ids::TipBalloon,
        ids::PinButton, ids::PortalButton, ids::CalculatorButton, ids::NotepadButton,
        ids::SaveTimer, ids::HiddenButton, ids::ShrinkTimer, ids::AddEntryButton,
        ids::InputDeviceUnit, ids::TitleLabel, ids::EntryList}},
      {ids::DetailsWindow, {ids::DetailsWindowUnit, ids::DetailsList}},
      {ids::AboutWindow, {ids::AboutWindowUnit, ids::AboutText}},
      {ids::ReminderWindow,
       {ids::ReminderWindowUnit, ids::ReminderList, ids::StagingBox, ids::ReminderTimer,
        ids::ReminderTimeLabel, ids::TimeColonLower, ids::TimeColonUpper, ids::ReminderMinuteBox,
        ids::ReminderHourBox, ids::ReminderDateLabel, ids::ReminderCaption,
        ids::ConfirmReminderButton, ids::ReminderDateBox}},
  };
  for (const auto& [window, records] : expected) {
    const UnitRecordArray& units = Units(window);
    ASSERT_EQ(units.size(), records.size()) << std::hex << window;
    for (size_t k = 0; k < records.size(); ++k) {
      EXPECT_EQ(units.IdAt(k), records[k]) << std::hex << window << " " << k;
      if (units.IsMenuItem(k)) continue;
      const UnitRecordFields unit = units.Unit(k);
      EXPECT_EQ(unit.type == UnitType::Window, k == 0);
      EXPECT_EQ(unit.name.empty(), k == 0) << k;
      EXPECT_EQ(unit.parent, 0u);
      EXPECT_TRUE(unit.children.empty() && unit.tag.empty() && unit.tabOrder == 0);
    }
  }
  EXPECT_EQ(Units(ids::MainWindow).Unit(0).width, 284);
  EXPECT_EQ(Units(ids::ReminderWindow).Unit(0).height, 363);
}

TEST_F(FormsTest, MainWindowCreationOrderGivesTheListTheFirstControlId) {
  const UnitRecordArray& units = Units(ids::MainWindow);
  std::vector<uint32_t> created;
  for (size_t k = units.size() - 1; k >= 1; --k) {
    if (!units.IsMenuItem(k)) created.push_back(units.IdAt(k));
  }
  ASSERT_EQ(created.size(), 13u);
  EXPECT_EQ(created.front(), ids::EntryList);        // child id 100
  EXPECT_EQ(created.back(), ids::TransparencySlider);  // child id 210
}

TEST_F(FormsTest, MainWindowMenusFormOneRunOfTwoHiddenPopups) {
  const UnitRecordArray& units = Units(ids::MainWindow);
  struct Item {
    uint32_t id;
    int32_t level;
    const char* caption;
    bool hidden;
    int32_t handler;
  };
  const Item expected[] = {
      {ids::SettingsMenu, 0, "设置", true, kNoHandler},
      {ids::AboutItem, 1, "关于", false, HandlerRef(HandlerId::OnAbout)},
      {ids::TransparencyItem, 1, "透明度", false, HandlerRef(HandlerId::OnTransparencyMenu)},
      {ids::CloseProgramItem, 1, "关闭程序", false, HandlerRef(HandlerId::OnCloseProgram)},
      {ids::ListMenu, 0, "关键", true, kNoHandler},
      {ids::EditEntryItem, 1, "编辑事件", false, HandlerRef(HandlerId::OnEditEntry)},
      {ids::DeleteEntryItem, 1, "删除事件", false, HandlerRef(HandlerId::OnDeleteEntry)},
      {ids::InsertEntryItem, 1, "插入事件", false, HandlerRef(HandlerId::OnInsertEntry)},
      {ids::ViewDetailsItem, 1, "查看详细", false, HandlerRef(HandlerId::OnViewDetails)},
      {ids::ReminderSubmenu, 1, "提醒", false, kNoHandler},
      {ids::ShowRemindersItem, 2, "提醒事件", false, HandlerRef(HandlerId::OnShowReminders)},
      {ids::AddReminderItem, 2, "添加提醒事件", false, HandlerRef(HandlerId::OnAddReminder)},
      {ids::DeleteReminderItem, 2, "删除提醒事件", false, HandlerRef(HandlerId::OnDeleteReminder)},
  };
  const size_t first = *units.IndexOf(ids::SettingsMenu);
  for (size_t k = 0; k < units.size(); ++k) {
    EXPECT_EQ(units.IsMenuItem(k), k >= first && k < first + std::size(expected)) << k;
  }
  for (size_t i = 0; i < std::size(expected); ++i) {
    const MenuItemFields item = units.MenuItem(first + i);
    EXPECT_EQ(units.IdAt(first + i), expected[i].id);
    EXPECT_EQ(item.level, expected[i].level) << i;
    EXPECT_EQ(item.caption, expected[i].caption) << i;
    EXPECT_EQ(item.flags, expected[i].hidden ? MenuFlag::Hidden : 0u) << i;
    EXPECT_EQ(item.handler, expected[i].handler) << i;
    EXPECT_EQ(item.shortcut, 0);
  }
  EXPECT_EQ(kFirstMenuCommand + (*units.IndexOf(ids::AddReminderItem) - first), 20011u);
}

TEST_F(FormsTest, EveryHandlerIsBoundExactlyOnce) {
  std::map<int32_t, int> uses;
  for (const WindowDefinitionData& window : windows_) {
    for (size_t k = 0; k < window.units.size(); ++k) {
      if (window.units.IsMenuItem(k)) {
        if (window.units.MenuItem(k).handler != kNoHandler) ++uses[window.units.MenuItem(k).handler];
        continue;
      }
      for (const EventBinding& binding : window.units.Unit(k).bindings) ++uses[binding.handler];
    }
  }
  EXPECT_EQ(uses.count(kNoHandler), 0u);
  EXPECT_EQ(uses.size(), kHandlerCount);
  for (const auto& [handler, count] : uses) EXPECT_EQ(count, 1) << handler;
}

TEST_F(FormsTest, UnitsWithoutBindings) {
  for (uint32_t id : {ids::TipBalloon, ids::InputDeviceUnit, ids::TitleLabel}) {
    EXPECT_TRUE(Units(ids::MainWindow).Unit(*Units(ids::MainWindow).IndexOf(id)).bindings.empty());
  }
  EXPECT_TRUE(Units(ids::AboutWindow).Unit(0).bindings.empty());
  EXPECT_TRUE(Units(ids::AboutWindow).Unit(1).bindings.empty());
  EXPECT_TRUE(Units(ids::DetailsWindow).Unit(1).bindings.empty());
}

TEST_F(FormsTest, CursorsOfTheMainWindow) {
  const UnitRecordArray& units = Units(ids::MainWindow);
  const auto cursorOf = [&](uint32_t id) { return units.Unit(*units.IndexOf(id)).cursorData; };
  EXPECT_EQ(cursorOf(ids::CalculatorButton), CursorValue(0x7F88));
  EXPECT_EQ(cursorOf(ids::TitleLabel), CursorValue(0x7F86));
  EXPECT_EQ(cursorOf(ids::CalculatorButton), (std::vector<uint8_t>{0x88, 0x7F, 0, 0}));
  EXPECT_TRUE(cursorOf(ids::PinButton).empty());
}

TEST_F(FormsTest, LeafPicturesHaveTheirDesignedSizes) {
  const std::vector<uint8_t>& png = assets_.aboutPicture;
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(BigEndian(png, 16), 89u);
  EXPECT_EQ(BigEndian(png, 20), 81u);
  const std::vector<uint8_t>& icon = assets_.leafIcon;
  ASSERT_EQ(icon.size(), 4286u);
  EXPECT_EQ(icon[2], 1);  // icon, not cursor
  EXPECT_EQ(icon[6], 32);
  EXPECT_EQ(icon[7], 32);
}

// Whether the unit type's own reader accepts a stored block.
bool TypeAccepts(uint32_t type, std::span<const uint8_t> block) {
  switch (type) {
    case UnitType::Window: return ReadWindowBlock(block).has_value();
    case UnitType::EditBox: return EditBoxBlock::Read(block).has_value();
    case UnitType::Label: return LabelBlock::Read(block).has_value();
    case UnitType::Button: return ButtonBlock::Read(block).has_value();
    case UnitType::Slider: return SliderBlock::Read(block).has_value();
    case UnitType::DatePicker: return DatePickerBlock::Read(block).has_value();
    case UnitType::Timer: return TimerBlock::Read(block).has_value();
    case UnitType::ListView: return ListViewBlock::Read(block).has_value();
    case UnitType::TransparentLabel: return TransparentLabelBlock::Read(block).has_value();
    case UnitType::InputDevice: return InputDeviceBlock::Read(block).has_value();
    case UnitType::BalloonTip: return BalloonTipBlock::Read(block).has_value();
  }
  return false;
}

TEST_F(FormsTest, EveryBlockIsAcceptedByItsType) {
  for (const WindowDefinitionData& window : windows_) {
    for (size_t k = 0; k < window.units.size(); ++k) {
      if (window.units.IsMenuItem(k)) continue;
      const UnitRecordFields unit = window.units.Unit(k);
      EXPECT_TRUE(TypeAccepts(unit.type, unit.propertyBlock)) << std::hex << window.units.IdAt(k);
    }
  }
  // Only the timers, the input device and the hidden button keep every default.
  std::vector<uint32_t> empty;
  for (const WindowDefinitionData& window : windows_) {
    for (size_t k = 0; k < window.units.size(); ++k) {
      if (!window.units.IsMenuItem(k) && window.units.PropertyBlock(k).empty()) {
        empty.push_back(window.units.IdAt(k));
      }
    }
  }
  EXPECT_EQ(empty, (std::vector<uint32_t>{ids::SaveTimer, ids::HiddenButton, ids::ShrinkTimer,
                                          ids::InputDeviceUnit, ids::ReminderTimer}));
}

class WindowBlocks : public FormsTest {
 protected:
  WindowProperties Window(uint32_t window) {
    std::optional<WindowProperties> p = ReadWindowBlock(Units(window).PropertyBlock(0));
    EXPECT_TRUE(p.has_value());
    return p.value_or(WindowProperties{});
  }
  std::span<const uint8_t> Block(uint32_t window, uint32_t unit) {
    return Units(window).PropertyBlock(*Units(window).IndexOf(unit));
  }
};

TEST_F(WindowBlocks, MainWindowIsABlackTopmostNoteWithoutTaskbarButton) {
  const WindowProperties p = Window(ids::MainWindow);
  EXPECT_EQ(p.version, 6);
  EXPECT_EQ(p.caption, "Tallyleaf");
  EXPECT_EQ(p.borderStyle, 1);
  EXPECT_EQ(p.backColor, 0u);
  EXPECT_EQ(p.minButton, 0);
  EXPECT_EQ(p.maxButton, 0);
  EXPECT_EQ(p.escCloses, 0);
  EXPECT_EQ(p.showInTaskbar, 0);
  EXPECT_EQ(p.dragAnywhere, 1);
  EXPECT_EQ(p.alwaysOnTop, 1);
  EXPECT_EQ(p.position, 1);
}

TEST_F(WindowBlocks, SecondaryWindows) {
  const WindowProperties details = Window(ids::DetailsWindow);
  EXPECT_TRUE(details.caption.empty());
  EXPECT_EQ(details.escCloses, 1);
  EXPECT_EQ(details.minButton, 1);
  EXPECT_EQ(details.showInTaskbar, 0);

  const WindowProperties about = Window(ids::AboutWindow);
  EXPECT_EQ(about.caption, "收银软件版本信息");
  EXPECT_EQ(about.backPicture, assets_.aboutPicture);
  EXPECT_EQ(about.backPictureMode, 0);
  EXPECT_EQ(about.windowIcon, assets_.leafIcon);
  EXPECT_EQ(about.closeItem, 0);
  EXPECT_EQ(about.escCloses, 1);
  EXPECT_EQ(about.alwaysOnTop, 1);

  const WindowProperties reminder = Window(ids::ReminderWindow);
  EXPECT_EQ(reminder.borderStyle, 2);
  EXPECT_EQ(reminder.escCloses, 0);
  EXPECT_EQ(reminder.closeItem, 1);
  EXPECT_EQ(reminder.showInTaskbar, 0);
}

TEST_F(WindowBlocks, MainWindowControls) {
  const auto slider = SliderBlock::Read(Block(ids::MainWindow, ids::TransparencySlider));
  ASSERT_TRUE(slider);
  EXPECT_EQ(slider->minimum, 50);
  EXPECT_EQ(slider->maximum, 255);
  EXPECT_EQ(slider->position, 1);
  const std::pair<uint32_t, const char*> captions[] = {
      {ids::PinButton, "固定"},
      {ids::PortalButton, "百度网"},
      {ids::CalculatorButton, "计算机\r\n"},
      {ids::NotepadButton, "记事本\r\n"},
      {ids::AddEntryButton, "点击此处添加事件"}};
  for (const auto& [unit, caption] : captions) {
    const auto button = ButtonBlock::Read(Block(ids::MainWindow, unit));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->caption, caption);
  }
  const auto list = ListViewBlock::Read(Block(ids::MainWindow, ids::EntryList));
  ASSERT_TRUE(list);
  EXPECT_EQ(list->columns.size(), 2u);
  EXPECT_EQ(list->columns[0].width, 278);
  EXPECT_EQ(list->textColor, 0xFFFFFFu);
  EXPECT_TRUE(list->hideHeader);
  EXPECT_EQ(list->font.size(), 60u);
  const auto tip = BalloonTipBlock::Read(Block(ids::MainWindow, ids::TipBalloon));
  ASSERT_TRUE(tip);
  EXPECT_EQ(tip->initialDelay, 600);
  EXPECT_EQ(tip->displayTime, 3000);
  EXPECT_EQ(tip->backColour, 0xE1FFFFu);
  EXPECT_EQ(tip->styleSheet.rfind("body {font-size: 9pt; color:black; font-family:\"宋体\",Verdana}", 0),
            0u);
  for (const char* rule : {"h1", "h6", "pre", "code", "a:hover", ".sub", ".sup", ".big", ".small",
                           ".comment"}) {
    EXPECT_NE(tip->styleSheet.find(rule), std::string::npos) << rule;
  }
  const auto title = LabelBlock::Read(Block(ids::MainWindow, ids::TitleLabel));
  ASSERT_TRUE(title);
  EXPECT_EQ(title->caption, "Tallyleaf");
  EXPECT_EQ(title->horizontalAlign, 1);
}

TEST_F(WindowBlocks, AboutTextHasFiveLinesWithTheVersion) {
  const auto text = LabelBlock::Read(Block(ids::AboutWindow, ids::AboutText));
  ASSERT_TRUE(text);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text->caption.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text->caption.substr(start, end - start));
  }
  lines.push_back(text->caption.substr(start));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_FALSE(lines[0].empty());
  EXPECT_TRUE(lines[1].empty());
  EXPECT_NE(lines[2].find("Tallyleaf"), std::string::npos);
  EXPECT_NE(lines[2].find("0.0.1.6"), std::string::npos);
  EXPECT_TRUE(lines[3].empty());
  EXPECT_FALSE(lines[4].empty());
  EXPECT_EQ(text->wordWrap, 1);
}

TEST_F(WindowBlocks, ReminderWindowControls) {
  const auto list = ListViewBlock::Read(Block(ids::ReminderWindow, ids::ReminderList));
  ASSERT_TRUE(list);
  ASSERT_EQ(list->columns.size(), 6u);
  EXPECT_EQ(list->columns[0].title, "事件");
  EXPECT_EQ(list->columns[5].title, "分");
  for (uint32_t box : {ids::ReminderHourBox, ids::ReminderMinuteBox}) {
    const auto edit = EditBoxBlock::Read(Block(ids::ReminderWindow, box));
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->inputMode, EditInputMode::ShortInteger);
    ASSERT_EQ(edit->font.size(), 60u);
    EXPECT_EQ(edit->font[0], static_cast<uint8_t>(-27));
    EXPECT_EQ(edit->font[23], 134);  // GB2312
  }
  const auto staging = EditBoxBlock::Read(Block(ids::ReminderWindow, ids::StagingBox));
  ASSERT_TRUE(staging);
  EXPECT_EQ(staging->inputMode, EditInputMode::FreeText);
  for (uint32_t dot : {ids::TimeColonUpper, ids::TimeColonLower}) {
    const auto label = TransparentLabelBlock::Read(Block(ids::ReminderWindow, dot));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->caption, ".");
  }
  const auto timeLabel = LabelBlock::Read(Block(ids::ReminderWindow, ids::ReminderTimeLabel));
  ASSERT_TRUE(timeLabel);
  EXPECT_EQ(timeLabel->caption, "提醒时间：");
  EXPECT_EQ(timeLabel->horizontalAlign, 2);
  const auto confirm = ButtonBlock::Read(Block(ids::ReminderWindow, ids::ConfirmReminderButton));
  ASSERT_TRUE(confirm);
  EXPECT_EQ(confirm->caption, "确认提醒");
}

}  // namespace
}  // namespace tl::forms
