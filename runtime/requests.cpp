#include "runtime/requests.h"

#include "runtime/dispatch.h"
#include "runtime/dll_call.h"
#include "runtime/loader.h"
#include "runtime/memory.h"
#include "runtime/menu_bar.h"
#include "runtime/program_end.h"
#include "runtime/program_header.h"
#include "runtime/runtime_error.h"
#include "runtime/runtime_state.h"
#include "runtime/unit.h"
#include "runtime/value.h"
#include "runtime/window_map.h"

namespace tl {
namespace {

// The record a request's argument points to; null when the caller passed none.
template <typename Record>
Record* RecordAt(intptr_t argument) {
  return reinterpret_cast<Record*>(argument);
}

intptr_t FillDefaultIcons(DefaultIconsRecord* icons) {
  const RuntimeState& rt = Runtime();
  if (icons) *icons = {rt.defaultBigIcon, rt.defaultSmallIcon};
  return 0;
}

intptr_t ToInteger(const ArgRecord* value) {
  const uint32_t type = value ? value->type : 0;
  const bool numeric = type == DataType::Byte || type == DataType::Short || type == DataType::Int ||
                       type == DataType::Long || type == DataType::Float || type == DataType::Double;
  if (!numeric) RaiseRuntimeError(0, "欲转换数据类型不是数值");
  return static_cast<intptr_t>(ArgInteger(*value));
}

// 0 once the window is loaded (a visible modal one: once it is gone again), -1 when it is not.
intptr_t LoadWindow(const LoadWindowRecord* request) {
  if (!request) return -1;
  HWND owner = request->owner ? request->owner->hwnd() : nullptr;
  return LoadWindowRequest(request->window, owner, request->modal != 0) == 1 ? 0 : -1;
}

intptr_t UnitObjectOf(uint32_t windowId, uint32_t unitId, bool checked) {
  Unit* unit = FindUnitObject(windowId, unitId);
  if (!unit && checked) RaiseRuntimeError(0, "指定窗口或窗口组件不存在或尚未载入");
  return reinterpret_cast<intptr_t>(unit);
}

intptr_t FillEventSource(EventSourceRecord* source) {
  const RuntimeState& rt = Runtime();
  if (source) *source = {rt.sourceWindow, rt.sourceUnit};
  return rt.sourceWindow != 0 ? 1 : 0;
}

intptr_t CallDeclaredFunction(uint32_t index, const DeclaredCall* call) {
  if (!call) return 0;
  return static_cast<intptr_t>(tl_CallDllChecked(index, call->words, call->count));
}

}  // namespace

intptr_t RuntimeRequest(Request code, intptr_t a, intptr_t b) {
  const RuntimeState& rt = Runtime();
  switch (code) {
    case Request::DefaultIcons: return FillDefaultIcons(RecordAt<DefaultIconsRecord>(a));
    case Request::WindowMap: return reinterpret_cast<intptr_t>(&rt.windows);
    case Request::UnitTypeDescriptor: return reinterpret_cast<intptr_t>(FindUnitType(static_cast<uint32_t>(a)));
    case Request::WindowDestroyed: WindowDestroyed(static_cast<uint32_t>(a)); return 0;
    case Request::ToInteger: return ToInteger(RecordAt<const ArgRecord>(a));
    case Request::RunDirectory: return reinterpret_cast<intptr_t>(NewText(rt.programDirectory));
    case Request::ProgramFileName: return reinterpret_cast<intptr_t>(NewText(rt.programFileName));
    case Request::LoadWindow: return LoadWindow(RecordAt<const LoadWindowRecord>(a));
    case Request::UnitObject:
    case Request::UnitObjectOrError:
      return UnitObjectOf(static_cast<uint32_t>(a), static_cast<uint32_t>(b), code == Request::UnitObjectOrError);
    case Request::FireEvent: return a ? FireEvent(*RecordAt<EventRecord>(a)) : 0;
    case Request::SuspendEvents: SuspendEvents(); return 0;
    case Request::ResumeEvents: ResumeEvents(); return 0;
    case Request::CurrentEventSource: return FillEventSource(RecordAt<EventSourceRecord>(a));
    case Request::ProcessQueued: ProcessQueuedMessages(static_cast<uint32_t>(a)); return 0;
    case Request::AllocateMemory:
      return reinterpret_cast<intptr_t>(b ? TryAllocate(static_cast<uint32_t>(a))
                                          : Allocate(static_cast<uint32_t>(a)));
    case Request::FreeMemory: Free(reinterpret_cast<void*>(a)); return 0;
    case Request::ResizeMemory:
      return reinterpret_cast<intptr_t>(Reallocate(reinterpret_cast<void*>(a), static_cast<uint32_t>(b)));
    case Request::ReportError:
      RaiseRuntimeError(0, TextView(reinterpret_cast<const char*>(a)));
    case Request::EndProgram: ExitProgram(static_cast<int32_t>(a));
    case Request::FireTypedEvent: return a ? FireTypedEvent(*RecordAt<TypedEventRecord>(a)) : 0;
    case Request::PopupMenu:
      return reinterpret_cast<intptr_t>(PopupMenuOf(static_cast<uint32_t>(a), static_cast<uint32_t>(b)));
    case Request::CloseByProgram: return CloseByProgram(static_cast<uint32_t>(a)) ? 1 : 0;
    case Request::CallDeclared: return CallDeclaredFunction(static_cast<uint32_t>(a), RecordAt<const DeclaredCall>(b));
  }
  return 0;
}

}  // namespace tl
