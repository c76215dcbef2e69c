// The harvested contacts of a run, in order of discovery. The window only
// mirrors this list; AddBuyerItem (in the run) is the one way in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"

namespace brivano {

struct BuyerItem {
  std::string caption;  // GBK, exactly as the extractor produced it
  ContactKind kind;
};

// Told about every change so that a view can follow the list.
class BuyerListObserver {
 public:
  virtual ~BuyerListObserver() = default;
  virtual void BuyerListCleared() = 0;
  virtual void BuyerItemAppended(std::size_t index) = 0;
};

// An ordered list with a hash index beside it, so that asking "is this caption
// listed already?" costs the same at a million items as at ten. Equality is
// byte-for-byte, letter case included. Every item is indexed, also those added
// while de-duplication was off, so that turning it on later compares with all
// of them.
class BuyerList {
 public:
  BuyerList();

  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const BuyerItem& operator[](std::size_t i) const { return items_[i]; }
  const std::vector<BuyerItem>& items() const { return items_; }

  bool Contains(std::string_view caption) const;
  void Append(std::string_view caption, ContactKind kind);
  void Clear();

  void SetObserver(BuyerListObserver* observer) { observer_ = observer; }

 private:
  static constexpr std::uint32_t kEmptySlot = 0xFFFFFFFFu;
  std::size_t SlotOf(std::string_view caption, std::size_t hash) const;
  void Grow();

  std::vector<BuyerItem> items_;
  std::vector<std::uint32_t> slots_;  // item indices, open addressing
  std::vector<std::uint32_t> slotHashes_;
  std::size_t distinct_ = 0;
  BuyerListObserver* observer_ = nullptr;
};

// What an extractor calls for every value it accepts.
class BuyerSink {
 public:
  virtual ~BuyerSink() = default;
  virtual void AddBuyerItem(std::string_view value, ContactKind kind) = 0;
};

}  // namespace brivano
