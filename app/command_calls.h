// The application's typed command call: `Call(cmd::kReplaceFileWith, source, target)` encodes the
// arguments with the command's own types, goes through the table's command slot, and hands back
// what the command answers, a text, byte set or text array in its owner.
#pragma once

#include <type_traits>

#include "app/runtime_values.h"
#include "app/services_in_use.h"
#include "runtime/command.h"

namespace tl::app {

inline OwnedText Owned(TextBlock text) { return OwnedText(text.block); }
inline OwnedByteSet Owned(ByteSetBlock byteSet) { return OwnedByteSet(byteSet.block); }
inline TextArray Owned(TextArrayBlock array) { return TextArray(array.block); }
template <typename T>
T Owned(T value) {
  return value;
}

template <typename R, typename... P>
auto Call(const Command<R, P...>& command, const typename P::Given&... args) {
  if constexpr (std::is_void_v<R>) {
    CallCommand(ServicesInUse(), command, args...);
  } else {
    return Owned(CallCommand(ServicesInUse(), command, args...));
  }
}

}  // namespace tl::app
