// Commands written as plain typed functions. `MakeCommand<Function>(name, library)` reads the
// function's signature and gives both sides of a command from it:
//   - the library's entry (a CommandFn), which decodes the argument records into the parameters
//     and encodes the answer into the result record;
//   - the caller's typed call (`CallCommand`), which encodes the arguments with the same types
//     and reaches the entry through the service table's command slots.
// A unit type's methods are bound the same way to its member functions (MakeMethod,
// unit_arguments.h). Each parameter and result type has one codec below. Optional arguments the
// caller leaves out arrive as all-zero records; a record beyond the count reads the same way.
// Portable: no windows.h (unit references that resolve to live units are in unit_arguments.h).
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/unit_ref.h"
#include "runtime/value.h"

namespace tl {

// ---- the types commands speak in ---------------------------------------------------------------

// A date-time: days since 30 December 1899, the fraction the time of the day.
struct DateTime {
  double days = 0;
};

// A by-reference argument: the command writes a value of the given type into the variable.
struct VariableRef {
  void* address = nullptr;
  uint32_t type = DataType::None;
};

// A zero-terminated GBK text given to a command: a plain pointer or anything with c_str(). A null
// pointer is given as the empty text.
struct TextArgument {
  TextArgument(const char* text) : text(text ? text : "") {}
  template <typename S>
    requires requires(const S& s) {
      { s.c_str() } -> std::convertible_to<const char*>;
    }
  TextArgument(const S& s) : TextArgument(s.c_str()) {}
  const char* text;
};

// A byte set's bytes, as a command reads a byte set argument.
using Bytes = std::span<const uint8_t>;

// The records after the declared ones, as a command with a variable argument list takes them.
using MoreRecords = std::span<const ArgRecord>;
struct MoreArguments {
  MoreArguments(std::initializer_list<ArgRecord> records) : records(records.begin(), records.size()) {}
  MoreArguments(MoreRecords records) : records(records) {}
  MoreRecords records;
};

// Heap blocks a command makes itself and hands over; the caller frees them. Null reads as empty.
struct TextBlock {
  char* block = nullptr;
};
struct ByteSetBlock {
  void* block = nullptr;
};
struct TextArrayBlock {
  void* block = nullptr;
};

// A structure a command answers, carried as a byte set of exactly its bytes. Both sides declare
// it once, in the command's header; a byte set of another length reads as T{}.
template <typename T>
  requires std::is_trivially_copyable_v<T>
struct AsBytes {
  T value;
};

// ---- argument codecs ----------------------------------------------------------------------------
// Decode (the entry's side): the parameter from the record. Given / Encode (the caller's side):
// what a caller passes and the record it becomes. kType: the record's type code (0: any value).

template <typename T>
struct Codec;

template <>
struct Codec<int32_t> {
  static constexpr uint32_t kType = DataType::Int;
  static int32_t Decode(const ArgRecord& r) {
    return r.type == DataType::None ? 0 : static_cast<int32_t>(ArgInteger(r));
  }
  using Given = int32_t;
  static ArgRecord Encode(int32_t v) { return IntArg(v); }
};

template <>
struct Codec<bool> {
  static constexpr uint32_t kType = DataType::Bool;
  static bool Decode(const ArgRecord& r) { return r.type != DataType::None && r.low != 0; }
  using Given = bool;
  static ArgRecord Encode(bool v) { return BoolArg(v); }
};

template <>
struct Codec<double> {
  static constexpr uint32_t kType = DataType::Double;
  static double Decode(const ArgRecord& r) { return ArgDouble(r); }
  using Given = double;
  static ArgRecord Encode(double v) { return DoubleArg(v); }
};

template <>
struct Codec<DateTime> {
  static constexpr uint32_t kType = DataType::DateTime;
  static DateTime Decode(const ArgRecord& r) { return {ArgDouble(r)}; }
  using Given = DateTime;
  static ArgRecord Encode(DateTime v) { return DateTimeArg(v.days); }
};

// Anything but a text, and a null text, reads as the empty text.
template <>
struct Codec<std::string_view> {
  static constexpr uint32_t kType = DataType::Text;
  static std::string_view Decode(const ArgRecord& r) {
    return r.type == DataType::Text ? TextView(static_cast<const char*>(ArgPointer(r))) : std::string_view{};
  }
  using Given = TextArgument;
  static ArgRecord Encode(TextArgument v) { return PointerArg(v.text, DataType::Text); }
};

// A byte set's bytes; anything but a byte set, and a null one, reads as empty.
template <>
struct Codec<Bytes> {
  static constexpr uint32_t kType = DataType::ByteSet;
  static Bytes Decode(const ArgRecord& r) { return r.type == DataType::ByteSet ? ByteSetView(ArgPointer(r)) : Bytes{}; }
  using Given = const void*;  // the byte set block
  static ArgRecord Encode(const void* block) { return PointerArg(block, DataType::ByteSet); }
};

template <>
struct Codec<UnitRef> {
  static constexpr uint32_t kType = 0;
  static UnitRef Decode(const ArgRecord& r) { return {r.low, r.high, static_cast<UnitType>(r.type)}; }
  using Given = UnitRef;
  static ArgRecord Encode(const UnitRef& u) { return {u.window, u.unit, TypeCode(u.type)}; }
};

template <>
struct Codec<VariableRef> {
  static constexpr uint32_t kType = 0;
  static VariableRef Decode(const ArgRecord& r) { return {ArgPointer(r), r.type}; }
  using Given = VariableRef;
  static ArgRecord Encode(const VariableRef& v) { return PointerArg(v.address, v.type); }
};

// A value of any type, as the caller made it (commands that read every type, or a flag's bits).
template <>
struct Codec<ArgRecord> {
  static constexpr uint32_t kType = 0;
  static ArgRecord Decode(const ArgRecord& r) { return r; }
  using Given = ArgRecord;
  static ArgRecord Encode(const ArgRecord& r) { return r; }
};

// An argument the caller may leave out: nullopt then, both ways.
template <typename T>
struct Codec<std::optional<T>> {
  static constexpr uint32_t kType = Codec<T>::kType;
  static std::optional<T> Decode(const ArgRecord& r) {
    if (r.type == DataType::None) return std::nullopt;
    return Codec<T>::Decode(r);
  }
  using Given = std::optional<typename Codec<T>::Given>;
  static ArgRecord Encode(const Given& v) { return v ? Codec<T>::Encode(*v) : ArgRecord{}; }
};

// An int the caller may leave out, read as `Absent` then: a method's item or column that
// defaults to none, say. It reads as the int it holds.
template <int32_t Absent>
struct IntOr {
  int32_t value = Absent;
  constexpr operator int32_t() const { return value; }
};

template <int32_t Absent>
struct Codec<IntOr<Absent>> {
  static constexpr uint32_t kType = DataType::Int;
  static IntOr<Absent> Decode(const ArgRecord& r) {
    return {Codec<std::optional<int32_t>>::Decode(r).value_or(Absent)};
  }
  using Given = std::optional<int32_t>;
  static ArgRecord Encode(const Given& v) { return Codec<std::optional<int32_t>>::Encode(v); }
};

// The record a caller builds for a parameter that takes any value or for a variable argument list.
template <typename T>
ArgRecord Encode(const typename Codec<T>::Given& value) {
  return Codec<T>::Encode(value);
}

// ---- result codecs -----------------------------------------------------------------------------
// Set: the entry writes the answer. Read: the caller's value from the result record; blocks stay
// the caller's to free, except a structure's, which `free` releases once it is read.

template <typename R>
struct ResultCodec;

template <>
struct ResultCodec<void> {
  static constexpr uint32_t kType = DataType::None;
};

template <>
struct ResultCodec<int32_t> {
  static constexpr uint32_t kType = DataType::Int;
  static void Set(ArgRecord* result, int32_t v) { *result = IntArg(v); }
  static int32_t Read(const ArgRecord& r, void (*)(void*)) { return static_cast<int32_t>(r.low); }
};

template <>
struct ResultCodec<bool> {
  static constexpr uint32_t kType = DataType::Bool;
  static void Set(ArgRecord* result, bool v) { *result = BoolArg(v); }
  static bool Read(const ArgRecord& r, void (*)(void*)) { return r.low != 0; }
};

// One byte, for the byte conversion.
template <>
struct ResultCodec<uint8_t> {
  static constexpr uint32_t kType = DataType::Byte;
  static void Set(ArgRecord* result, uint8_t v) { *result = {v, 0, DataType::Byte}; }
  static uint8_t Read(const ArgRecord& r, void (*)(void*)) { return static_cast<uint8_t>(r.low); }
};

template <>
struct ResultCodec<int64_t> {
  static constexpr uint32_t kType = DataType::Long;
  static void Set(ArgRecord* result, int64_t v) { *result = PayloadArg(static_cast<uint64_t>(v), DataType::Long); }
  static int64_t Read(const ArgRecord& r, void (*)(void*)) { return static_cast<int64_t>(PayloadBits(r)); }
};

template <>
struct ResultCodec<DateTime> {
  static constexpr uint32_t kType = DataType::DateTime;
  static void Set(ArgRecord* result, DateTime v) { *result = DateTimeArg(v.days); }
  static DateTime Read(const ArgRecord& r, void (*)(void*)) { return {ArgDouble(r)}; }
};

template <>
struct ResultCodec<TextBlock> {
  static constexpr uint32_t kType = DataType::Text;
  static void Set(ArgRecord* result, TextBlock v) { *result = PointerArg(v.block, DataType::Text); }
  static TextBlock Read(const ArgRecord& r, void (*)(void*)) { return {static_cast<char*>(ArgPointer(r))}; }
};

// A text the command copies into a new block; an empty text comes back as null.
template <>
struct ResultCodec<std::string> : ResultCodec<TextBlock> {
  static void Set(ArgRecord* result, std::string_view v) {
    ResultCodec<TextBlock>::Set(result, {v.empty() ? nullptr : NewText(v)});
  }
};

// A text answered as a block of its own even when empty, where a null block would not do.
struct OwnText {};
template <>
struct ResultCodec<OwnText> : ResultCodec<TextBlock> {
  static void Set(ArgRecord* result, std::string_view v) { ResultCodec<TextBlock>::Set(result, {NewText(v)}); }
};

template <>
struct ResultCodec<ByteSetBlock> {
  static constexpr uint32_t kType = DataType::ByteSet;
  static void Set(ArgRecord* result, ByteSetBlock v) { *result = PointerArg(v.block, DataType::ByteSet); }
  static ByteSetBlock Read(const ArgRecord& r, void (*)(void*)) { return {ArgPointer(r)}; }
};

// Bytes the command copies into a new byte set; no bytes come back as null.
template <>
struct ResultCodec<std::vector<uint8_t>> : ResultCodec<ByteSetBlock> {
  static void Set(ArgRecord* result, Bytes v) {
    ResultCodec<ByteSetBlock>::Set(result, {v.empty() ? nullptr : NewByteSet(v)});
  }
};

template <>
struct ResultCodec<TextArrayBlock> {
  static constexpr uint32_t kType = DataType::Text | DataType::ArrayFlag;
  static void Set(ArgRecord* result, TextArrayBlock v) { *result = PointerArg(v.block, kType); }
  static TextArrayBlock Read(const ArgRecord& r, void (*)(void*)) { return {ArgPointer(r)}; }
};

template <typename T>
struct ResultCodec<AsBytes<T>> {
  static constexpr uint32_t kType = DataType::ByteSet;
  static void Set(ArgRecord* result, const AsBytes<T>& v) {
    *result = PointerArg(NewByteSet({reinterpret_cast<const uint8_t*>(&v.value), sizeof v.value}), DataType::ByteSet);
  }
  static T Read(const ArgRecord& r, void (*free)(void*)) {
    void* block = ArgPointer(r);
    const std::span<const uint8_t> bytes = ByteSetView(block);
    T value{};
    if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
    free(block);
    return value;
  }
};

// ---- the descriptor ----------------------------------------------------------------------------

// The library position of a unit type's methods: its library number counted from 0.
constexpr int32_t LibraryOfType(UnitType type) { return static_cast<int32_t>(TypeCode(type) >> 16) - 1; }

// One row of a library's table.
struct CommandInfo {
  const char* name;
  CommandFn entry;
  int32_t library;  // the 0-based position in the program's library table; 0 is the core library
  std::span<const uint32_t> argumentTypes;  // the declared ones; 0 takes any value
  uint32_t resultType;
};

template <typename R, typename... P>
struct Command : CommandInfo {};

namespace command_detail {

// How one parameter is taken from the records: its own record through its codec. Specialized for
// a variable argument list (every record from there on) and, in unit_arguments.h, for a live unit
// the command cannot run without.
template <typename P>
struct Param {
  using Held = P;
  using Given = typename Codec<P>::Given;
  static constexpr uint32_t kType = Codec<P>::kType;
  static Held Take(std::span<const ArgRecord> records, size_t i) {
    return Codec<P>::Decode(i < records.size() ? records[i] : ArgRecord{});
  }
  static bool Present(const Held&) { return true; }
  static const Held& Pass(const Held& held) { return held; }
  static size_t Count(const Given&) { return 1; }
  static void Put(ArgRecord*& out, const Given& value) { *out++ = Codec<P>::Encode(value); }
};

template <>
struct Param<MoreRecords> {
  using Held = MoreRecords;
  using Given = MoreArguments;
  static constexpr uint32_t kType = 0;
  static Held Take(std::span<const ArgRecord> records, size_t i) {
    return i < records.size() ? records.subspan(i) : MoreRecords{};
  }
  static bool Present(const Held&) { return true; }
  static Held Pass(Held held) { return held; }
  static size_t Count(const Given& more) { return more.records.size(); }
  static void Put(ArgRecord*& out, const Given& more) {
    for (const ArgRecord& r : more.records) *out++ = r;
  }
};

template <typename P>
using ParamOf = Param<std::conditional_t<std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>,
                                         P, std::remove_cvref_t<P>>>;

// The entry of a command whose records read as the parameters P and whose answer R's codec
// writes; `Function` carries it out: a free function taking P, or a member function of the unit
// that P starts with, taking the rest.
template <typename Signature>
struct Entry;

template <typename R, typename... P>
struct Entry<R(P...)> {
  template <auto Function, size_t... I>
  static void Run(ArgRecord* result, [[maybe_unused]] std::span<const ArgRecord> records, std::index_sequence<I...>) {
    // Taken in order, so that lookups happen in argument order.
    std::tuple<typename ParamOf<P>::Held...> held{ParamOf<P>::Take(records, I)...};
    if (!(ParamOf<P>::Present(std::get<I>(held)) && ...)) return;
    if constexpr (std::is_void_v<R>) {
      std::invoke(Function, ParamOf<P>::Pass(std::get<I>(held))...);
    } else {
      ResultCodec<R>::Set(result, std::invoke(Function, ParamOf<P>::Pass(std::get<I>(held))...));
    }
  }
  template <auto Function>
  static void Decode(ArgRecord* result, int argc, ArgRecord* args) {
    const std::span<const ArgRecord> records(args, args && argc > 0 ? static_cast<size_t>(argc) : 0);
    Run<Function>(result, records, std::index_sequence_for<P...>{});
  }
  static constexpr std::array<uint32_t, sizeof...(P)> kTypes{ParamOf<P>::kType...};
  static constexpr uint32_t kResultType = ResultCodec<R>::kType;
  using Descriptor = Command<R, ParamOf<P>...>;
};

// The descriptor of the command `Signature` reads and `Function` carries out.
template <typename Signature, auto Function>
constexpr auto Describe(const char* name, int32_t library) {
  using E = Entry<Signature>;
  return typename E::Descriptor{{name, &E::template Decode<Function>, library, E::kTypes, E::kResultType}};
}

}  // namespace command_detail

// The descriptor of a command function: its name, its entry, its library and its types.
template <auto Function>
constexpr auto MakeCommand(const char* name, int32_t library = 0) {
  return command_detail::Describe<std::remove_pointer_t<decltype(Function)>, Function>(name, library);
}

// The caller's side: encodes the arguments, calls through the core slot (library 0) or the library
// slot of the service table given (a ServiceTable, runtime/service_table.h), and reads the answer
// (see ResultCodec::Read).
template <typename Table, typename R, typename... P>
auto CallCommand(const Table& services, const Command<R, P...>& command, const typename P::Given&... args) {
  // The command may write into its argument records; they are this call's own copies.
  constexpr bool kVariable = (std::is_same_v<P, command_detail::Param<MoreRecords>> || ...);
  std::conditional_t<kVariable, std::vector<ArgRecord>, std::array<ArgRecord, sizeof...(P)>> records{};
  if constexpr (kVariable) records.resize((P::Count(args) + ... + 0));
  [[maybe_unused]] ArgRecord* out = records.data();
  (P::Put(out, args), ...);
  const auto argc = static_cast<int32_t>(records.size());
  const ArgRecord result = command.library == 0
                               ? services.CallCoreCommand(command.entry, argc, records.data())
                               : services.CallLibraryCommand(command.entry, command.library, argc, records.data());
  if constexpr (!std::is_void_v<R>) return ResultCodec<R>::Read(result, services.Free);
}

}  // namespace tl
