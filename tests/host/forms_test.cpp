#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
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
      {ids::MainWindow.window, 0xC2, 0x19010003},
      {ids::DetailsWindow.window, 0x4568FB0, 0x19012422},
      {ids::AboutWindow.window, 0x208C4, 0},
      {ids::ReminderWindow.window, 0x44F9FB0, 0x19012453},
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
      {ids::MainWindow.window,
       {ids::MainWindow.unit, ids::TransparencySlider.unit, ids::SettingsMenu.unit, ids::AboutItem,
        ids::TransparencyItem, ids::CloseProgramItem, ids::ListMenu.unit, ids::EditEntryItem,
        ids::DeleteEntryItem, ids::InsertEntryItem, ids::ViewDetailsItem, ids::ReminderSubmenu,
        ids::ShowRemindersItem, ids::AddReminderItem, ids::DeleteReminderItem, ids::TipBalloon.unit,
        ids::PinButton.unit, ids::PortalButton.unit, ids::CalculatorButton.unit, ids::NotepadButton.unit,
        ids::SaveTimer.unit, ids::HiddenButton.unit, ids::ShrinkTimer.unit, ids::AddEntryButton.unit,
        ids::InputDeviceUnit.unit, ids::TitleLabel.unit, ids::EntryList.unit}},
      {ids::DetailsWindow.window, {ids::DetailsWindow.unit, ids::DetailsList.unit}},
      {ids::AboutWindow.window, {ids::AboutWindow.unit, ids::AboutText.unit}},
      {ids::ReminderWindow.window,
       {ids::ReminderWindow.unit, ids::ReminderList.unit, ids::StagingBox.unit, ids::ReminderTimer.unit,
        ids::ReminderTimeLabel.unit, ids::TimeColonLower.unit, ids::TimeColonUpper.unit, ids::ReminderMinuteBox.unit,
        ids::ReminderHourBox.unit, ids::ReminderDateLabel.unit, ids::ReminderCaption.unit,
        ids::ConfirmReminderButton.unit, ids::ReminderDateBox.unit}},
  };
  for (const auto& [window, records] : expected) {
    const UnitRecordArray& units = Units(window);
    ASSERT_EQ(units.size(), records.size()) << std::hex << window;
    for (size_t k = 0; k < records.size(); ++k) {
      EXPECT_EQ(units.IdAt(k), records[k]) << std::hex << window << " " << k;
      if (units.IsMenuItem(k)) continue;
      const UnitRecordFields unit = units.Unit(k);
      EXPECT_EQ(unit.type == TypeCode(UnitType::Window), k == 0);
      EXPECT_EQ(unit.name.empty(), k == 0) << k;
      EXPECT_EQ(unit.parent, 0u);
      EXPECT_TRUE(unit.children.empty() && unit.tag.empty() && unit.tabOrder == 0);
    }
  }
}

TEST_F(FormsTest, MainWindowMenusFormOneRunOfTwoHiddenPopups) {
  const UnitRecordArray& units = Units(ids::MainWindow.window);
  struct Item {
    uint32_t id;
    int32_t level;
    const char* caption;
    bool hidden;
    int32_t handler;
  };
  const Item expected[] = {
      {ids::SettingsMenu.unit, 0, "设置", true, kNoHandler},
      {ids::AboutItem, 1, "关于", false, HandlerRef(HandlerId::OnAbout)},
      {ids::TransparencyItem, 1, "透明度", false, HandlerRef(HandlerId::OnTransparencyMenu)},
      {ids::CloseProgramItem, 1, "关闭程序", false, HandlerRef(HandlerId::OnCloseProgram)},
      {ids::ListMenu.unit, 0, "关键", true, kNoHandler},
      {ids::EditEntryItem, 1, "编辑事件", false, HandlerRef(HandlerId::OnEditEntry)},
      {ids::DeleteEntryItem, 1, "删除事件", false, HandlerRef(HandlerId::OnDeleteEntry)},
      {ids::InsertEntryItem, 1, "插入事件", false, HandlerRef(HandlerId::OnInsertEntry)},
      {ids::ViewDetailsItem, 1, "查看详细", false, HandlerRef(HandlerId::OnViewDetails)},
      {ids::ReminderSubmenu, 1, "提醒", false, kNoHandler},
      {ids::ShowRemindersItem, 2, "提醒事件", false, HandlerRef(HandlerId::OnShowReminders)},
      {ids::AddReminderItem, 2, "添加提醒事件", false, HandlerRef(HandlerId::OnAddReminder)},
      {ids::DeleteReminderItem, 2, "删除提醒事件", false, HandlerRef(HandlerId::OnDeleteReminder)},
  };
  const size_t first = *units.IndexOf(ids::SettingsMenu.unit);
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

TEST_F(FormsTest, TheAboutWindowCarriesTheLeafPicturesAtTheirDesignedSizes) {
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
  const std::optional<WindowProperties> about = ReadWindowBlock(Units(ids::AboutWindow.window).PropertyBlock(0));
  ASSERT_TRUE(about.has_value());
  EXPECT_EQ(about->backPicture, png);
  EXPECT_EQ(about->windowIcon, icon);
}

// Whether the unit type's own reader accepts a stored block.
bool TypeAccepts(uint32_t type, std::span<const uint8_t> block) {
  switch (static_cast<UnitType>(type)) {
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
    case UnitType::Menu: break;
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
}

// A unit's reference carries its window: listed in another window, the unit would be addressed
// where it does not live, so the generator refuses it.
TEST(FormsSerialize, RefusesAUnitListedInAnotherWindow) {
  WindowDef details = DetailsWindow();
  EXPECT_NO_THROW(Serialize(details));
  UnitDef entryList;
  entryList.unit = ids::EntryList;
  details.records.push_back(entryList);
  EXPECT_THROW(Serialize(details), std::logic_error);
}

}  // namespace
}  // namespace tl::forms
