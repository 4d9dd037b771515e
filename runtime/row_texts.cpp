#include "runtime/row_texts.h"

namespace tl {
namespace {

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
}

int32_t Int32At(std::span<const uint8_t> bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<size_t>(i)];
  return static_cast<int32_t>(value);
}

}  // namespace

std::vector<uint8_t> RowChangesBlock(const std::vector<RowChange>* changes) {
  std::vector<uint8_t> out;
  PutInt32(out, changes ? static_cast<int32_t>(changes->size()) : -1);
  if (!changes) return out;
  for (const RowChange& change : *changes) {
    PutInt32(out, static_cast<int32_t>(change.kind));
    PutInt32(out, change.row);
  }
  return out;
}

std::optional<std::vector<RowChange>> ReadRowChanges(std::span<const uint8_t> block) {
  if (block.size() < 4 || block.size() % 8 != 4) return std::nullopt;
  const int32_t count = Int32At(block, 0);
  if (count < 0 || static_cast<size_t>(count) != block.size() / 8) return std::nullopt;
  std::vector<RowChange> changes;
  for (size_t at = 4; at < block.size(); at += 8) {
    const int32_t kind = Int32At(block, at);
    if (kind < 1 || kind > 3) return std::nullopt;
    changes.push_back({static_cast<RowChangeKind>(kind), Int32At(block, at + 4)});
  }
  return changes;
}

}  // namespace tl
