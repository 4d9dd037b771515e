#include "commands/declared_call.h"

#include <vector>

#include "runtime/requests.h"
#include "runtime/unit_events.h"

namespace tl::cmd {

int32_t CallDeclared(int32_t index, MoreRecords arguments) {
  std::vector<uint32_t> words;
  for (const ArgRecord& r : arguments) words.push_back(r.low);
  const DeclaredCall call{words.data(), static_cast<uint32_t>(words.size())};
  return static_cast<int32_t>(CallRuntime(Request::CallDeclared, index, reinterpret_cast<intptr_t>(&call)));
}

}  // namespace tl::cmd
