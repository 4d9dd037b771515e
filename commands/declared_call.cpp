#include "commands/declared_call.h"

#include <vector>

#include "runtime/unit_events.h"

namespace tl::cmd {

void CallDeclared(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  std::vector<uint32_t> words;
  for (size_t i = 1; i < a.size(); ++i) words.push_back(a[i].low);
  const DeclaredCall call{words.data(), static_cast<uint32_t>(words.size())};
  const intptr_t answer = CallRuntime(Request::CallDeclared, a.Int(0), reinterpret_cast<intptr_t>(&call));
  SetInt(result, static_cast<int32_t>(answer));
}

}  // namespace tl::cmd
