// Page steps and items as the harvest store takes and gives them, for tests
// that fill a store or an export by hand.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "base/contact_value.h"
#include "store/harvest_store.h"

namespace brivano::testing {

// A page step whose values all share `source`.
inline HarvestedPage StorePage(PageSource source, std::vector<ContactValue> values = {},
                               PageOutcome outcome = PageOutcome::Read) {
  HarvestedPage page{std::make_shared<const PageSource>(std::move(source)), std::move(values),
                     outcome};
  for (ContactValue& value : page.values) value.source = page.source;
  return page;
}

inline std::vector<ContactValue> StoreItems(HarvestStore& store, const ItemFilter& filter = {}) {
  std::vector<ContactValue> items;
  store.ForEachItem(filter, [&](const ContactValue& item) { items.push_back(item); });
  return items;
}

}  // namespace brivano::testing
