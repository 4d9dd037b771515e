// The list view's eleven methods: library commands whose first argument names the unit.
#include <string>

#include "controls/list_view.h"
#include "runtime/args.h"
#include "runtime/unit_events.h"

namespace tl {
namespace {

// The live list view named by the first argument; a missing unit is the runtime's error.
ListView* Target(const Args& a) {
  return a.size() == 0 ? nullptr : dynamic_cast<ListView*>(FindUnit(a[0], true));
}

}  // namespace

void ListViewGetItemCount(ArgRecord* result, int argc, ArgRecord* args) {
  if (auto* list = Target(Args(argc, args))) *result = IntArg(list->ItemCount());
}

void ListViewGetItemText(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  // Always a text of its own, an empty one included.
  if (auto* list = Target(a)) *result = PointerArg(NewText(list->ItemText(a.Int(1, -1), a.Int(2, 0))), DataType::Text);
}

void ListViewSetItemText(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) list->SetItemText(a.Int(1, -1), a.Int(2, 0), a.Text(3));
}

void ListViewInsertItem(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) {
    *result = IntArg(list->InsertItem(a.Int(1, -1), a.Text(2), a.Int(3, -1), a.Int(4, 0), a.Int(5, 0), a.Int(6, 0)));
  }
}

void ListViewDeleteItem(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) list->DeleteItem(a.Int(1, -1));
}

void ListViewEnsureVisible(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) list->EnsureVisible(a.Int(1, -1));
}

void ListViewSetColumnWidth(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) list->SetColumnWidth(a.Int(1, -1), a.Int(2, -1));
}

void ListViewEditItem(ArgRecord*, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) list->EditItem(a.Int(1, -1));
}

void ListViewFinishEditing(ArgRecord*, int argc, ArgRecord* args) {
  if (auto* list = Target(Args(argc, args))) list->FinishEditing();
}

void ListViewAddLines(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) *result = IntArg(list->AddLines(a.Int(1, 0), a.Text(2), a.Text(3)));
}

void ListViewChangesSince(ArgRecord* result, int argc, ArgRecord* args) {
  const Args a(argc, args);
  if (auto* list = Target(a)) {
    const std::optional<std::vector<RowChange>> changes = list->ChangesSince(static_cast<uint32_t>(a.Int(1, 0)));
    SetByteSet(result, RowChangesBlock(changes ? &*changes : nullptr));
  }
}

}  // namespace tl
