// The value model shared by the application, the runtime and the command libraries:
// data-type codes, the 12-byte argument record, and the memory layouts of texts, byte sets
// and arrays. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tl {

// 32-bit type codes. Codes with the top bit set name value types; codes below 0x40000000 name
// unit types ((library << 16) | type).
namespace DataType {
inline constexpr uint32_t Byte = 0x80000101;
inline constexpr uint32_t Short = 0x80000201;
inline constexpr uint32_t Int = 0x80000301;
inline constexpr uint32_t Long = 0x80000401;
inline constexpr uint32_t Float = 0x80000501;
inline constexpr uint32_t Double = 0x80000601;
inline constexpr uint32_t Bool = 0x80000002;
inline constexpr uint32_t DateTime = 0x80000003;
inline constexpr uint32_t Text = 0x80000004;
inline constexpr uint32_t ByteSet = 0x80000005;
inline constexpr uint32_t SubPointer = 0x80000006;
// An eight-byte value type this program never creates; typed events still pass it whole.
inline constexpr uint32_t EightByteValue = 0x80000008;
inline constexpr uint32_t ArrayFlag = 0x20000000;
inline constexpr uint32_t ElementMask = 0xDFFFFFFF;
inline constexpr uint32_t None = 0;
}  // namespace DataType

// A date-time value counts days (since 30 December 1899) in a double; a day has this many seconds.
inline constexpr int64_t kSecondsPerDay = 86400;

// Unit type ids of the types this program places on its windows.
enum class UnitType : uint32_t {
  Window = 0x10001,
  Menu = 0x10003,
  EditBox = 0x10005,
  Label = 0x1000A,
  Button = 0x1000B,
  Slider = 0x10014,
  DatePicker = 0x10017,
  Timer = 0x10020,
  ListView = 0x20004,
  TransparentLabel = 0x20005,
  InputDevice = 0x40001,
  BalloonTip = 0x60001,
};
// The unit type as the type code an argument record or a stored unit record carries.
constexpr uint32_t TypeCode(UnitType type) { return static_cast<uint32_t>(type); }

// Every argument and result: payload low, payload high, type code. A unit reference carries
// (window id, unit id, unit type); a by-reference argument the variable's address.
struct ArgRecord {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t type = DataType::None;
};
static_assert(sizeof(ArgRecord) == 12);
static_assert(offsetof(ArgRecord, low) == 0 && offsetof(ArgRecord, high) == 4 &&
              offsetof(ArgRecord, type) == 8);

// A command of a command library: (result record, argument count, argument records).
using CommandFn = void (*)(ArgRecord* result, int argc, ArgRecord* args);

// The record's 64-bit payload: the high word above the low word.
inline uint64_t PayloadBits(const ArgRecord& r) { return (uint64_t{r.high} << 32) | r.low; }
inline ArgRecord PayloadArg(uint64_t bits, uint32_t type) {
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

ArgRecord IntArg(int32_t v);
ArgRecord BoolArg(bool v);
ArgRecord DoubleArg(double v);
ArgRecord DateTimeArg(double v);
double ArgDouble(const ArgRecord& r);  // double, date-time or any integer form as a double
int64_t ArgInteger(const ArgRecord& r);

// A pointer payload. The program is 32-bit and keeps pointers in the low word; the 64-bit host
// build of the portable commands carries the upper half in the high word.
inline void* ArgPointer(const ArgRecord& r) {
  uintptr_t address = r.low;
  if constexpr (sizeof(void*) > 4) address |= static_cast<uintptr_t>(static_cast<uint64_t>(r.high) << 32);
  return reinterpret_cast<void*>(address);
}
inline ArgRecord PointerArg(const void* p, uint32_t type) {
  const auto address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
  return {static_cast<uint32_t>(address), sizeof(void*) > 4 ? static_cast<uint32_t>(address >> 32) : 0u, type};
}

// Pointers are 32 bits in the program (see unit.h): record slots and value payloads hold them
// as words. Only meaningful in the 32-bit program, never on the host.
template <typename T>
uint32_t PointerWord(T* pointer) {
  static_assert(sizeof pointer == sizeof(uint32_t), "pointers travel as 32-bit words");
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}
template <typename Pointer>
Pointer WordPointer(uint32_t word) {
  static_assert(sizeof(Pointer) == sizeof word, "pointers travel as 32-bit words");
  return reinterpret_cast<Pointer>(static_cast<uintptr_t>(word));
}

// A byte set: int32 1, int32 length, then the bytes, in one heap block.
struct ByteSetHeader {
  int32_t one;
  int32_t length;
};
static_assert(sizeof(ByteSetHeader) == 8);

// Texts are zero-terminated GBK in runtime heap blocks; a null text reads as empty.
std::string_view TextView(const char* text);
std::span<const uint8_t> ByteSetView(const void* byteSet);  // null or malformed: empty

// A new runtime heap text / byte set / text array holding a copy of the given data.
char* NewText(std::string_view bytes);
void* NewByteSet(std::span<const uint8_t> bytes);
// A new byte set of the given length whose bytes the caller fills in: the bytes.
std::span<uint8_t> NewByteSetToFill(uint32_t length, void*& byteSet);
void* NewTextArray(std::span<const std::string_view> elements);

// Array blocks: int32 dimension count, one int32 size per dimension, then the elements.
uint32_t ArrayElementCount(const void* array);
// Element pointers of a one-dimensional or flattened array (texts, byte sets).
std::span<char* const> ArrayTextElements(const void* array);
// Frees a text array: each element, then the block.
void FreeTextArray(void* array);

// Bytewise unsigned comparison; null compares as the empty text.
int CompareText(const char* a, const char* b);
// One new heap text holding the texts one after another (null counts as empty).
char* JoinTexts(std::span<const char* const> texts);
// Truncation toward zero into 64 bits, low 32 bits kept, whatever the rounding mode in force.
int32_t TruncateToInteger(double value);

// 1-based element access with the application's index checks: below 1 is runtime error 4,
// above the count runtime error 1.
char* ArrayTextElement(const void* array, double index);

}  // namespace tl
