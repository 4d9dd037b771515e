// The application's thin layer over the service table. Every call below still goes through one
// slot of the table the runtime handed to the entry routine; the helpers only spare the handlers
// the argument records, the result records and the releasing of what comes back, so that each
// handler reads like the steps it carries out.
//
// Ownership: every text, byte set or array a service returns is wrapped in an owner (`Text`,
// `ByteSet`, `TextArray`) that frees it through the table's `Free` slot. Arguments stay the
// caller's; a null text or byte set is never passed: the helpers pass the constant empty one.
//
// Numbers: the application computes in doubles; the value model's `TruncateToInteger` turns a
// double into an integer argument by truncation toward zero.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "controls/unit_numbers.h"
#include "forms/ids.h"
#include "runtime/row_texts.h"
#include "runtime/services.h"
#include "runtime/value.h"

namespace tl::app {

// ---- the table -------------------------------------------------------------------------------

// The entry routine records the table once, before any handler can run.
void UseServices(const ServiceTable& services);
const ServiceTable& Services();

// The application's own runtime errors (index checks, unbalanced DLL calls): do not return.
[[noreturn]] void RuntimeError(int32_t code);
// Ends the program with the exit code (ExitProgram: the exit callbacks run first).
[[noreturn]] void EndProgram(int32_t code);

// The value model's TruncateToInteger (runtime/value.h) is the application's too.
using tl::TruncateToInteger;

// ---- owners of what the runtime returns ------------------------------------------------------

// A runtime heap block freed through the table's `Free` on destruction. Move-only.
class Block {
 public:
  Block() = default;
  explicit Block(void* owned) : p_(owned) {}
  Block(Block&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Block& operator=(Block&& other) noexcept;
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  ~Block() { Reset(); }

  void* get() const { return p_; }
  void* Release() { return std::exchange(p_, nullptr); }
  void Reset(void* owned = nullptr);

 private:
  void* p_ = nullptr;
};

// A GBK text owned by the application. A null text reads as empty; `arg()` never hands out null.
class Text {
 public:
  Text() = default;
  explicit Text(char* owned) : block_(owned) {}
  // A new heap copy made through the table's `Allocate`.
  static Text Copy(std::string_view bytes);

  const char* c_str() const;  // the constant empty text for a null text
  std::string_view view() const { return TextView(static_cast<const char*>(block_.get())); }
  bool empty() const { return view().empty(); }
  char* Release() { return static_cast<char*>(block_.Release()); }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }

 private:
  Block block_;
};

// A byte set (int32 1, int32 length, bytes) owned by the application; null reads as empty.
class ByteSet {
 public:
  ByteSet() = default;
  explicit ByteSet(void* owned) : block_(owned) {}
  static ByteSet Copy(std::span<const uint8_t> bytes);

  const void* get() const;  // the constant empty byte set for a null one
  std::span<const uint8_t> bytes() const { return ByteSetView(block_.get()); }

 private:
  Block block_;
};

// A one-dimensional text array (the result of SplitText): frees each element, then the block.
class TextArray {
 public:
  TextArray() = default;
  explicit TextArray(void* owned) : block_(owned) {}
  TextArray(TextArray&&) = default;
  TextArray& operator=(TextArray&& other) noexcept;
  ~TextArray() { Reset(); }

  uint32_t Count() const;
  // Element n counted from 1, with the application's index checks (below 1: runtime error 4,
  // above the count: runtime error 1). Never null: a null element is the constant empty text.
  const char* At(double n) const;
  const void* get() const { return block_.get(); }
  void* Release() { return block_.Release(); }
  void Reset(void* owned = nullptr);
  // Replaces element n (counted from 1, with the same index checks) and frees the old text.
  void Put(double n, Text text);

 private:
  Block block_;
};

// ---- argument records --------------------------------------------------------------------------

inline constexpr ArgRecord Omitted() { return {}; }
using tl::BoolArg;
using tl::IntArg;
ArgRecord DoubleArg(double v);
// A text argument; null becomes the constant empty text.
ArgRecord TextArg(const char* text);
inline ArgRecord TextArg(const Text& text) { return TextArg(text.c_str()); }
ArgRecord ByteSetArg(const void* byteSet);
inline ArgRecord ByteSetArg(const ByteSet& byteSet) { return ByteSetArg(byteSet.get()); }
// A by-reference argument: the command writes into the variable.
ArgRecord RefArg(void* variable, uint32_t type);
inline ArgRecord OptionalInt(std::optional<int32_t> v) { return v ? IntArg(*v) : Omitted(); }

// A unit as the object of a method or as a window argument.
struct UnitRef {
  uint32_t window;
  uint32_t unit;
  uint32_t type;
  ArgRecord arg() const { return {window, unit, type}; }
};

// ---- commands and methods ---------------------------------------------------------------------

// The 0-based position of a command's library in the program's library table. Core commands
// go through slot 3, the others through slot 2 with their position carried along.
enum class Library : int32_t {
  Core = 0,
  ListAndLabelTypes = 1,  // the list view and the transparent label
  ApplicationInterface = 2,
  Shell = 4,  // synthetic input, web addresses, shell verbs
  BalloonTipType = 5,
  SpecialFunctions = 6,
};

ArgRecord Call(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
int32_t CallInt(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
bool CallBool(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
int64_t CallLong(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
double CallDouble(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
Text CallText(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
ByteSet CallByteSet(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);
TextArray CallTextArray(CommandFn command, std::initializer_list<ArgRecord> args, Library library = Library::Core);

// ---- unit properties (slots 4 and 5) ---------------------------------------------------------

namespace prop {
inline constexpr int32_t Left = Number(CommonProperty::Left), Top = Number(CommonProperty::Top),
                         Width = Number(CommonProperty::Width), Height = Number(CommonProperty::Height),
                         Tag = Number(CommonProperty::Tag), Visible = Number(CommonProperty::Visible),
                         Disabled = Number(CommonProperty::Disabled), Cursor = Number(CommonProperty::Cursor);
inline constexpr int32_t TimerInterval = Number(TimerProperty::Interval);
inline constexpr int32_t ButtonCaption = Number(ButtonProperty::Caption), LabelCaption = Number(LabelProperty::Caption);
inline constexpr int32_t EditBoxContent = Number(EditBoxProperty::Content);
inline constexpr int32_t DatePickerValue = Number(DatePickerProperty::Value);
inline constexpr int32_t SliderPosition = Number(SliderProperty::Position);
inline constexpr int32_t ListAllowTitleEditing = Number(ListViewProperty::AllowTitleEditing),
                         ListCurrentSelection = Number(ListViewProperty::CurrentSelection),
                         ListShowSelectionAlways = Number(ListViewProperty::ShowSelectionAlways),
                         ListEditedTitle = Number(ListViewProperty::EditedTitle);
// Advances with every change of the list's rows or texts; read only.
inline constexpr int32_t ListChangeCount = Number(ListViewProperty::ChangeCount);
inline constexpr int32_t ListRowTexts = Number(ListViewProperty::RowTexts);
}  // namespace prop

uint64_t ReadProperty(const UnitRef& unit, int32_t index);
int32_t ReadInt(const UnitRef& unit, int32_t index);
bool ReadBool(const UnitRef& unit, int32_t index);
Text ReadText(const UnitRef& unit, int32_t index);
double ReadDateTime(const UnitRef& unit, int32_t index);
void WriteInt(const UnitRef& unit, int32_t index, int32_t value);
void WriteDateTime(const UnitRef& unit, int32_t index, double value);
void WriteBool(const UnitRef& unit, int32_t index, bool value);
void WriteText(const UnitRef& unit, int32_t index, const char* text);

// ---- the list view's methods -------------------------------------------------------------------

// A list view unit as the application reaches it: by reference, every method a library command.
class ListUnit {
 public:
  explicit constexpr ListUnit(UnitRef unit) : unit_(unit) {}
  const UnitRef& unit() const { return unit_; }

  int32_t ItemCount() const;
  Text ItemText(int32_t item, int32_t column = 0) const;
  void SetItemText(int32_t item, int32_t column, const char* text) const;
  // Appends when the position is omitted; answers the new item's index or -1.
  int32_t InsertItem(std::optional<int32_t> position, const char* title) const;
  void DeleteItem(int32_t item) const;
  void EnsureVisible(int32_t item) const;
  void SetColumnWidth(int32_t column, int32_t width) const;
  void EditItem(int32_t item) const;
  void FinishEditing() const;
  // A row per line of `lines` (column 0), or that column's text of the rows from the first on.
  void AddLines(int32_t column, const Text& lines, const char* lineEnd) const;
  int32_t CurrentSelection() const { return ReadInt(unit_, prop::ListCurrentSelection); }
  void SetCurrentSelection(int32_t item) const { WriteInt(unit_, prop::ListCurrentSelection, item); }
  uint32_t ChangeCount() const { return static_cast<uint32_t>(ReadProperty(unit_, prop::ListChangeCount)); }
  // Every row's texts in one read (see runtime/row_texts.h).
  ByteSet RowTexts() const;
  // The changes of the rows since the change count; nothing when the list no longer knows them.
  std::optional<std::vector<RowChange>> ChangesSince(uint32_t changeCount) const;

 private:
  UnitRef unit_;
};

// ---- dialog, window and shell commands used across the application ----------------------------

// MessageBox's flags: 0 OK, 4 Yes/No, 52 Yes/No with the exclamation icon; the answer is the
// button code (5 Yes, 6 No).
int32_t ShowMessage(const char* text, int32_t flags = 0, const char* title = nullptr);
bool LoadWindow(const UnitRef& window, bool modal, const UnitRef* owner = nullptr);
void CloseWindow(const UnitRef& window, bool atOnce = false);
void SetFocus(const UnitRef& unit);
void RefreshDisplay(const UnitRef& unit);
int32_t WindowHandle(const UnitRef& unit);
void PopupMenu(const UnitRef& anyUnitOfWindow, const UnitRef& menu);
void Delay(int32_t milliseconds);
double Now();  // date-time
Text DateTimeText(double dateTime);
// The input box; a confirmed input replaces `answer`, a cancelled one leaves it alone.
bool InputBox(const char* prompt, const char* title, const char* initial, Text& answer);
int32_t MouseX();
int32_t MouseY();
int32_t ToByte(int32_t value);

// ---- declared DLL functions -------------------------------------------------------------------

// Calls declaration `index` with 32-bit argument words through the core command that hands them
// to the runtime; a function that removes other than exactly those words from the stack is
// runtime error 6.
uint32_t CallDeclared(uint32_t index, std::initializer_list<uint32_t> args);

}  // namespace tl::app
