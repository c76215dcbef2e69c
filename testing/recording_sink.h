// A BuyerSink that remembers what it was given.
#pragma once

#include <string>
#include <vector>

#include "base/buyer_list.h"

namespace brivano::testing {

class RecordingSink : public BuyerSink {
 public:
  void AddBuyerItem(std::string_view value, ContactKind kind) override {
    values.emplace_back(value);
    kinds.push_back(kind);
  }
  std::vector<std::string> values;
  std::vector<ContactKind> kinds;
};

}  // namespace brivano::testing
