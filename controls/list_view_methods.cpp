// The list view's eight methods: library commands whose first argument names the unit.
#include <string>

#include "controls/list_view.h"
#include "runtime/unit_events.h"

namespace tl {
namespace {

// Method arguments: omitted optional arguments arrive as all-zero records.
bool Given(int argc, const ArgRecord* args, int i) {
  return i < argc && args[i].type != DataType::None;
}
int32_t IntArgOr(int argc, const ArgRecord* args, int i, int32_t fallback) {
  return Given(argc, args, i) ? static_cast<int32_t>(ArgInteger(args[i])) : fallback;
}
std::string_view TextArgOr(int argc, const ArgRecord* args, int i) {
  if (!Given(argc, args, i) || args[i].type != DataType::Text) return {};
  return TextView(WordPointer<const char*>(args[i].low));
}

// The live list view named by the first argument; a missing unit is the runtime's error.
ListView* Target(int argc, const ArgRecord* args) {
  if (argc < 1 || !args) return nullptr;
  auto* unit = reinterpret_cast<Unit*>(CallRuntime(Request::UnitObjectOrError,
                                                   static_cast<intptr_t>(args[0].low),
                                                   static_cast<intptr_t>(args[0].high)));
  return dynamic_cast<ListView*>(unit);
}

}  // namespace

void ListViewGetItemCount(ArgRecord* result, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) *result = IntArg(list->ItemCount());
}

void ListViewGetItemText(ArgRecord* result, int argc, ArgRecord* args) {
  auto* list = Target(argc, args);
  if (!list) return;
  const std::string text =
      list->ItemText(IntArgOr(argc, args, 1, -1), IntArgOr(argc, args, 2, 0));
  *result = {PointerWord(NewText(text)), 0, DataType::Text};
}

void ListViewSetItemText(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) {
    list->SetItemText(IntArgOr(argc, args, 1, -1), IntArgOr(argc, args, 2, 0),
                      TextArgOr(argc, args, 3));
  }
}

void ListViewInsertItem(ArgRecord* result, int argc, ArgRecord* args) {
  auto* list = Target(argc, args);
  if (!list) return;
  *result = IntArg(list->InsertItem(IntArgOr(argc, args, 1, -1), TextArgOr(argc, args, 2),
                                    IntArgOr(argc, args, 3, -1), IntArgOr(argc, args, 4, 0),
                                    IntArgOr(argc, args, 5, 0), IntArgOr(argc, args, 6, 0)));
}

void ListViewDeleteItem(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) list->DeleteItem(IntArgOr(argc, args, 1, -1));
}

void ListViewEnsureVisible(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) list->EnsureVisible(IntArgOr(argc, args, 1, -1));
}

void ListViewSetColumnWidth(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) {
    list->SetColumnWidth(IntArgOr(argc, args, 1, -1), IntArgOr(argc, args, 2, -1));
  }
}

void ListViewEditItem(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) list->EditItem(IntArgOr(argc, args, 1, -1));
}

void ListViewFinishEditing(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(argc, args)) list->FinishEditing();
}

}  // namespace tl
