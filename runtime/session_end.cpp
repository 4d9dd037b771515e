#include "runtime/session_end.h"

#include <vector>

#include "runtime/runtime_state.h"

namespace tl {

void SessionEnding(WPARAM endsSession) {
  RuntimeState& rt = Runtime();
  if (!endsSession || rt.sessionEnded || rt.ending) return;
  rt.sessionEnded = true;
  // A copy: a callback may register another, which then waits for a session that never comes.
  std::vector<SessionEndCallback> callbacks = rt.sessionEndCallbacks;
  for (SessionEndCallback callback : callbacks) callback();
}

}  // namespace tl
