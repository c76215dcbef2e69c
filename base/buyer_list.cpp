#include "base/buyer_list.h"

#include <functional>

namespace brivano {
namespace {
std::size_t HashOf(std::string_view s) {
  return std::hash<std::string_view>{}(s);
}
}  // namespace

BuyerList::BuyerList() : slots_(64, kEmptySlot), slotHashes_(64, 0) {}

std::size_t BuyerList::SlotOf(std::string_view value, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const auto shortHash = static_cast<std::uint32_t>(hash);
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t index = slots_[slot];
    if (index == kEmptySlot) return slot;
    if (slotHashes_[slot] == shortHash && items_[index].value == value) return slot;
  }
}

bool BuyerList::Contains(std::string_view value) const {
  return slots_[SlotOf(value, HashOf(value))] != kEmptySlot;
}

void BuyerList::Grow() {
  std::vector<std::uint32_t> oldSlots;
  oldSlots.swap(slots_);
  slots_.assign(oldSlots.size() * 2, kEmptySlot);
  slotHashes_.assign(slots_.size(), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t index : oldSlots) {
    if (index == kEmptySlot) continue;
    const std::size_t hash = HashOf(items_[index].value);
    std::size_t slot = hash & mask;
    while (slots_[slot] != kEmptySlot) slot = (slot + 1) & mask;
    slots_[slot] = index;
    slotHashes_[slot] = static_cast<std::uint32_t>(hash);
  }
}

void BuyerList::Append(ContactValue item) {
  items_.push_back(std::move(item));
  const std::string_view value = items_.back().value;
  const std::size_t hash = HashOf(value);
  const std::size_t slot = SlotOf(value, hash);
  if (slots_[slot] == kEmptySlot) {
    // Only the first of equal values is indexed; that is all Contains needs.
    slots_[slot] = static_cast<std::uint32_t>(items_.size() - 1);
    slotHashes_[slot] = static_cast<std::uint32_t>(hash);
    if (++distinct_ * 4 > slots_.size() * 3) Grow();
  }
  if (observer_) observer_->BuyerItemAppended(items_.size() - 1);
}

void BuyerList::Clear() {
  items_.clear();
  slots_.assign(64, kEmptySlot);
  slotHashes_.assign(64, 0);
  distinct_ = 0;
  if (observer_) observer_->BuyerListCleared();
}

}  // namespace brivano
