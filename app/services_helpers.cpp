#include "app/services_helpers.h"

#include <cstring>
#include <vector>

#include "app/program.h"
#include "commands/declared_call.h"
#include "commands/dialogs.h"
#include "commands/text.h"
#include "commands/time.h"
#include "controls/list_view.h"

namespace tl::app {
namespace {

const ServiceTable* g_services = nullptr;

const char* EmptyText() { return kConstants.emptyText; }
const void* EmptyByteSet() { return kConstants.emptyByteSet; }

}  // namespace

void UseServices(const ServiceTable& services) { g_services = &services; }
const ServiceTable& Services() { return *g_services; }

// The slots do not return; their pointers cannot say so.
void RuntimeError(int32_t code) {
  Services().ReportRuntimeError(code);
  __builtin_unreachable();
}

void EndProgram(int32_t code) {
  Services().ExitProgram(code);
  __builtin_unreachable();
}

// ---- owners ----------------------------------------------------------------------------------

Block& Block::operator=(Block&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void Block::Reset(void* owned) {
  if (p_ && p_ != owned) Services().Free(p_);
  p_ = owned;
}

Text Text::Copy(std::string_view bytes) {
  auto* text = static_cast<char*>(Services().Allocate(static_cast<uint32_t>(bytes.size() + 1)));
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return Text(text);
}

const char* Text::c_str() const {
  auto* text = static_cast<const char*>(block_.get());
  return text ? text : EmptyText();
}

ByteSet ByteSet::Copy(std::span<const uint8_t> bytes) {
  auto* block = static_cast<uint8_t*>(Services().Allocate(static_cast<uint32_t>(sizeof(ByteSetHeader) + bytes.size())));
  const ByteSetHeader header{1, static_cast<int32_t>(bytes.size())};
  std::memcpy(block, &header, sizeof header);
  if (!bytes.empty()) std::memcpy(block + sizeof header, bytes.data(), bytes.size());
  return ByteSet(block);
}

const void* ByteSet::get() const { return block_.get() ? block_.get() : EmptyByteSet(); }

TextArray& TextArray::operator=(TextArray&& other) noexcept {
  if (this != &other) Reset(other.block_.Release());
  return *this;
}

uint32_t TextArray::Count() const { return ArrayElementCount(block_.get()); }

const char* TextArray::At(double n) const {
  if (n < 1) RuntimeError(4);
  if (n > Count()) RuntimeError(1);
  const char* element = ArrayTextElements(block_.get())[static_cast<size_t>(TruncateToInteger(n) - 1)];
  return element ? element : EmptyText();
}

void TextArray::Put(double n, Text text) {
  At(n);
  // The block is this owner's own heap block; the element view is read-only only because it also
  // serves arrays in the constant area.
  char** elements = const_cast<char**>(ArrayTextElements(block_.get()).data());
  char*& element = elements[static_cast<size_t>(TruncateToInteger(n) - 1)];
  Services().Free(element);
  element = text.Release();
}

void TextArray::Reset(void* owned) {
  if (block_.get() && block_.get() != owned) {
    for (char* element : ArrayTextElements(block_.get())) Services().Free(element);
  }
  block_.Reset(owned);
}

// ---- argument records --------------------------------------------------------------------------

ArgRecord DoubleArg(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), DataType::Double};
}

ArgRecord TextArg(const char* text) { return {PointerWord(text ? text : EmptyText()), 0, DataType::Text}; }
ArgRecord ByteSetArg(const void* byteSet) { return {PointerWord(byteSet ? byteSet : EmptyByteSet()), 0, DataType::ByteSet}; }
ArgRecord RefArg(void* variable, uint32_t type) { return {PointerWord(variable), 0, type}; }

// ---- commands --------------------------------------------------------------------------------

ArgRecord Call(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  // The command may write into its argument records; they are the call's own copies.
  std::vector<ArgRecord> records(args);
  const auto count = static_cast<int32_t>(records.size());
  if (library == Library::Core) return Services().CallCoreCommand(command, count, records.data());
  return Services().CallLibraryCommand(command, static_cast<int32_t>(library), count, records.data());
}

int32_t CallInt(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  return static_cast<int32_t>(Call(command, args, library).low);
}

bool CallBool(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  return Call(command, args, library).low != 0;
}

int64_t CallLong(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  const ArgRecord r = Call(command, args, library);
  return static_cast<int64_t>((static_cast<uint64_t>(r.high) << 32) | r.low);
}

double CallDouble(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  const ArgRecord r = Call(command, args, library);
  const uint64_t bits = (static_cast<uint64_t>(r.high) << 32) | r.low;
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

Text CallText(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  return Text(WordPointer<char*>(Call(command, args, library).low));
}

ByteSet CallByteSet(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  return ByteSet(WordPointer<void*>(Call(command, args, library).low));
}

TextArray CallTextArray(CommandFn command, std::initializer_list<ArgRecord> args, Library library) {
  return TextArray(WordPointer<void*>(Call(command, args, library).low));
}

// ---- properties ------------------------------------------------------------------------------

uint64_t ReadProperty(const UnitRef& unit, int32_t index) {
  return Services().ReadUnitProperty(unit.window, unit.unit, index, -1);
}

int32_t ReadInt(const UnitRef& unit, int32_t index) { return static_cast<int32_t>(ReadProperty(unit, index)); }
bool ReadBool(const UnitRef& unit, int32_t index) { return static_cast<uint32_t>(ReadProperty(unit, index)) != 0; }
Text ReadText(const UnitRef& unit, int32_t index) {
  return Text(WordPointer<char*>(static_cast<uint32_t>(ReadProperty(unit, index))));
}

double ReadDateTime(const UnitRef& unit, int32_t index) {
  const uint64_t bits = ReadProperty(unit, index);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void WriteInt(const UnitRef& unit, int32_t index, int32_t value) {
  Services().WriteUnitProperty(unit.window, unit.unit, index, -1, static_cast<uint32_t>(value), 0);
}
void WriteDateTime(const UnitRef& unit, int32_t index, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Services().WriteUnitProperty(unit.window, unit.unit, index, -1, static_cast<uint32_t>(bits),
                               static_cast<uint32_t>(bits >> 32));
}
void WriteBool(const UnitRef& unit, int32_t index, bool value) { WriteInt(unit, index, value ? 1 : 0); }
void WriteText(const UnitRef& unit, int32_t index, const char* text) {
  Services().WriteUnitProperty(unit.window, unit.unit, index, -1, PointerWord(text ? text : EmptyText()), 0);
}

// ---- list view -------------------------------------------------------------------------------

ByteSet ListUnit::RowTexts() const {
  return ByteSet(WordPointer<void*>(static_cast<uint32_t>(ReadProperty(unit_, prop::ListRowTexts))));
}

int32_t ListUnit::ItemCount() const {
  return CallInt(ListViewGetItemCount, {unit_.arg()}, Library::ListAndLabelTypes);
}

Text ListUnit::ItemText(int32_t item, int32_t column) const {
  return CallText(ListViewGetItemText, {unit_.arg(), IntArg(item), IntArg(column)}, Library::ListAndLabelTypes);
}

void ListUnit::SetItemText(int32_t item, int32_t column, const char* text) const {
  Call(ListViewSetItemText, {unit_.arg(), IntArg(item), IntArg(column), TextArg(text)}, Library::ListAndLabelTypes);
}

int32_t ListUnit::InsertItem(std::optional<int32_t> position, const char* title) const {
  return CallInt(ListViewInsertItem,
                 {unit_.arg(), OptionalInt(position), TextArg(title), Omitted(), Omitted(), Omitted(), Omitted()},
                 Library::ListAndLabelTypes);
}

void ListUnit::DeleteItem(int32_t item) const {
  Call(ListViewDeleteItem, {unit_.arg(), IntArg(item)}, Library::ListAndLabelTypes);
}

void ListUnit::EnsureVisible(int32_t item) const {
  Call(ListViewEnsureVisible, {unit_.arg(), IntArg(item)}, Library::ListAndLabelTypes);
}

void ListUnit::SetColumnWidth(int32_t column, int32_t width) const {
  Call(ListViewSetColumnWidth, {unit_.arg(), IntArg(column), IntArg(width)}, Library::ListAndLabelTypes);
}

void ListUnit::EditItem(int32_t item) const {
  Call(ListViewEditItem, {unit_.arg(), IntArg(item)}, Library::ListAndLabelTypes);
}

void ListUnit::FinishEditing() const { Call(ListViewFinishEditing, {unit_.arg()}, Library::ListAndLabelTypes); }

std::optional<std::vector<RowChange>> ListUnit::ChangesSince(uint32_t changeCount) const {
  const ByteSet changes = CallByteSet(ListViewChangesSince, {unit_.arg(), IntArg(static_cast<int32_t>(changeCount))},
                                      Library::ListAndLabelTypes);
  return ReadRowChanges(changes.bytes());
}

void ListUnit::AddLines(int32_t column, const Text& lines, const char* lineEnd) const {
  Call(ListViewAddLines, {unit_.arg(), IntArg(column), TextArg(lines), TextArg(lineEnd)}, Library::ListAndLabelTypes);
}

// ---- dialogs and windows -----------------------------------------------------------------------

int32_t ShowMessage(const char* text, int32_t flags, const char* title) {
  return CallInt(cmd::MessageBox, {TextArg(text), IntArg(flags), title ? TextArg(title) : Omitted(), Omitted()});
}

bool LoadWindow(const UnitRef& window, bool modal, const UnitRef* owner) {
  return CallBool(cmd::LoadWindow, {window.arg(), owner ? owner->arg() : Omitted(), BoolArg(modal)});
}

void CloseWindow(const UnitRef& window, bool atOnce) { Call(cmd::CloseWindow, {window.arg(), BoolArg(atOnce)}); }

void SetFocus(const UnitRef& unit) { Call(cmd::SetFocus, {unit.arg()}); }

void RefreshDisplay(const UnitRef& unit) { Call(cmd::RefreshDisplay, {unit.arg()}); }

int32_t WindowHandle(const UnitRef& unit) { return CallInt(cmd::GetWindowHandle, {unit.arg()}); }

void PopupMenu(const UnitRef& anyUnitOfWindow, const UnitRef& menu) {
  Call(cmd::PopupMenu, {anyUnitOfWindow.arg(), menu.arg()});
}

void Delay(int32_t milliseconds) { Call(cmd::Delay, {IntArg(milliseconds)}); }

double Now() { return CallDouble(cmd::Now, {}); }

Text DateTimeText(double dateTime) {
  ArgRecord value = DoubleArg(dateTime);
  value.type = DataType::DateTime;
  return CallText(cmd::ToText, {value});
}

bool InputBox(const char* prompt, const char* title, const char* initial, Text& answer) {
  char* received = nullptr;
  const bool confirmed = CallBool(cmd::InputBox, {TextArg(prompt), TextArg(title), TextArg(initial),
                                                  RefArg(&received, DataType::Text), Omitted(), Omitted()});
  if (confirmed) answer = Text(received);
  return confirmed;
}

int32_t MouseX() { return CallInt(cmd::MouseX, {}); }
int32_t MouseY() { return CallInt(cmd::MouseY, {}); }

int32_t ToByte(int32_t value) { return CallInt(cmd::ToByte, {IntArg(value)}); }

// ---- declared DLL functions --------------------------------------------------------------------

uint32_t CallDeclared(uint32_t index, std::initializer_list<uint32_t> args) {
  std::vector<ArgRecord> records{IntArg(static_cast<int32_t>(index))};
  for (uint32_t word : args) records.push_back(IntArg(static_cast<int32_t>(word)));
  const auto count = static_cast<int32_t>(records.size());
  return Services().CallCoreCommand(cmd::CallDeclared, count, records.data()).low;
}

}  // namespace tl::app
