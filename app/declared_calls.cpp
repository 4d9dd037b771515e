#include "app/declared_calls.h"

#include <vector>

#include "app/command_calls.h"
#include "app/program.h"
#include "commands/declared_call.h"

namespace tl::app {

uint32_t CallDll(uint32_t index, std::initializer_list<uint32_t> args) {
  std::vector<ArgRecord> words;
  for (uint32_t word : args) words.push_back(IntArg(static_cast<int32_t>(word)));
  return static_cast<uint32_t>(Call(cmd::kCallDeclared, static_cast<int32_t>(index), MoreRecords(words)));
}

PointRecord CursorPosition() {
  PointRecord point{0, 0};
  CallDll(declared::GetCursorPos, {PointerWord(&point)});
  return point;
}

PointRecord ClientOrigin(int32_t window) {
  PointRecord origin{0, 0};
  CallDll(declared::ClientToScreen, {static_cast<uint32_t>(window), PointerWord(&origin)});
  return origin;
}

}  // namespace tl::app
