#include "runtime/row_texts.h"

namespace tl {

std::vector<uint8_t> RowChangesBlock(const std::vector<RowChange>* changes) {
  ByteWriter out;
  out.Int32(changes ? static_cast<int32_t>(changes->size()) : -1);
  if (!changes) return out.Take();
  for (const RowChange& change : *changes) out.Int32(static_cast<int32_t>(change.kind)).Int32(change.row);
  return out.Take();
}

std::optional<std::vector<RowChange>> ReadRowChanges(std::span<const uint8_t> block) {
  if (block.size() < 4 || block.size() % 8 != 4) return std::nullopt;
  ByteReader in(block);
  int32_t count = 0;
  in.Int32(count);
  if (count < 0 || static_cast<size_t>(count) != block.size() / 8) return std::nullopt;
  std::vector<RowChange> changes;
  int32_t kind = 0, row = 0;
  while (in.Int32(kind) && in.Int32(row)) {
    if (kind < 1 || kind > 3) return std::nullopt;
    changes.push_back({static_cast<RowChangeKind>(kind), row});
  }
  return changes;
}

}  // namespace tl
