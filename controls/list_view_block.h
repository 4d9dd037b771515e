// The list view's stored property block and the two record lists it carries (columns,
// initial items). Portable: the form generator writes these, the list view unit reads them.
//
// Stored order: version; properties 8-11; 13, 14, 15, 16, 18, 20, 21, 22, 23; 26-36; then six
// counted data blocks: 12 (font, a 60-byte logical-font record), 19, 24, 17 (columns), 25,
// 37 (initial items). Texts are GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "controls/block_reader.h"

namespace tl {

// One column record of property 17, stored packed: flag byte, image, alignment, width, title.
struct ListViewColumn {
  bool imageOnRight = false;
  int32_t image = -1;
  int32_t alignment = 0;  // 0 left, 1 centre, 2 right
  int32_t width = 0;
  std::string title;

  bool operator==(const ListViewColumn&) const = default;
};

// One record of property 37: a new item (nextColumn false) or the next column of the current
// item. Value and indent matter for new items only.
struct ListViewItemRecord {
  bool nextColumn = false;
  int32_t image = -1;
  int32_t stateImage = -1;
  int32_t value = 0;
  int32_t indent = 0;
  std::string text;
  std::string tip;

  bool operator==(const ListViewItemRecord&) const = default;
};

// Malformed data (a record cut short, a text without its terminator) gives nothing, with the
// reason in *error; `at` is the offset of the data in the block around it.
std::optional<std::vector<ListViewColumn>> ReadListViewColumns(std::span<const uint8_t> data,
                                                               BlockError* error = nullptr, size_t at = 0);
std::vector<uint8_t> WriteListViewColumns(std::span<const ListViewColumn> columns);
std::optional<std::vector<ListViewItemRecord>> ReadListViewItems(std::span<const uint8_t> data,
                                                                  BlockError* error = nullptr, size_t at = 0);
std::vector<uint8_t> WriteListViewItems(std::span<const ListViewItemRecord> items);

inline constexpr uint32_t kButtonFaceColor = 0xFF000000;  // stands for the platform's colour

struct ListViewBlock {
  static constexpr int32_t kVersion = 1;
  static constexpr size_t kFontRecordSize = 60;

  int32_t border = 1;                      // 8
  uint32_t textColor = 0x000000;           // 9
  uint32_t textBackColor = 0xFFFFFF;       // 10
  uint32_t backColor = 0xFFFFFF;           // 11
  int32_t viewType = 0;                    // 13: 0 large icons, 1 small icons, 2 list, 3 report
  int32_t iconAlignment = 0;               // 14: 1 left, otherwise top
  bool autoArrange = true;                 // 15
  bool wrapTitles = true;                  // 16
  bool hideHeader = false;                 // 18
  bool headersClickable = true;            // 20
  bool fullRowSelect = true;               // 21
  bool gridLines = false;                  // 22
  bool columnDrag = false;                 // 23
  bool hotTracking = false;                // 26
  bool handCursor = true;                  // 27
  bool underlineCold = true;               // 28
  bool underlineHot = true;                // 29
  bool allowTitleEditing = false;          // 30
  int32_t sorting = 0;                     // 31: 1 ascending, 2 descending
  bool checkBoxes = false;                 // 32
  bool flatScrollBars = false;             // 33
  bool singleSelection = true;             // 34
  int32_t currentSelection = -1;           // 35
  bool showSelectionAlways = false;        // 36
  std::vector<uint8_t> font;               // 12: empty or a logical-font record
  std::vector<uint8_t> headerImages;       // 19
  std::vector<uint8_t> largeImages;        // 24
  std::vector<ListViewColumn> columns;     // 17
  std::vector<uint8_t> stateImages;        // 25
  std::vector<ListViewItemRecord> items;   // 37

  // Empty data gives the defaults; a newer version or malformed data gives nothing.
  static std::optional<ListViewBlock> Read(std::span<const uint8_t> data, BlockError* error = nullptr);
  std::vector<uint8_t> Write() const;
};

}  // namespace tl
