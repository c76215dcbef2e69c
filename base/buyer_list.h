// The harvested contacts of a run, in order of discovery, each with its
// provenance. The window only mirrors this list; the run is the one way in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "base/contact_value.h"

namespace brivano {

// Told about every change so that a view can follow the list.
class BuyerListObserver {
 public:
  virtual ~BuyerListObserver() = default;
  virtual void BuyerListCleared() = 0;
  virtual void BuyerItemAppended(std::size_t index) = 0;
};

// An ordered list with a hash index beside it, so that asking "is this value
// listed already?" costs the same at a million items as at ten. Equality is
// byte-for-byte, letter case included. Every item is indexed, also those added
// while de-duplication was off, so that turning it on later compares with all
// of them.
class BuyerList {
 public:
  BuyerList();

  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const ContactValue& operator[](std::size_t i) const { return items_[i]; }
  const std::vector<ContactValue>& items() const { return items_; }

  bool Contains(std::string_view value) const;
  void Append(ContactValue value);
  // A value without provenance (a list read back from a file).
  void Append(std::string_view value, ContactKind kind) { Append({std::string(value), kind, {}}); }
  void Clear();

  void SetObserver(BuyerListObserver* observer) { observer_ = observer; }

 private:
  static constexpr std::uint32_t kEmptySlot = 0xFFFFFFFFu;
  std::size_t SlotOf(std::string_view value, std::size_t hash) const;
  void Grow();

  std::vector<ContactValue> items_;
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
