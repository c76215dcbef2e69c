#include <gtest/gtest.h>

#include <random>

#include "base/buyer_list.h"

namespace brivano {
namespace {

// The duplicate check as the list's plain definition puts it: compare with
// every caption from the first on.
bool LinearContains(const BuyerList& list, std::string_view caption) {
  for (const auto& item : list.items()) {
    if (item.value == caption) return true;
  }
  return false;
}

TEST(BuyerList, IndexAgreesWithALinearScan) {
  std::mt19937 random(7);
  BuyerList list;
  const char* shapes[] = {"abc", "ABC", "abc ", " abc", "", "ab\0c", "13800000000"};
  for (int i = 0; i < 20000; ++i) {
    std::string candidate;
    if (random() % 3 == 0) {
      candidate = std::string(shapes[random() % 7]);
    } else {
      candidate = std::to_string(random() % 5000);
    }
    if (random() % 5 == 0) candidate.push_back(static_cast<char>(random() % 256));
    ASSERT_EQ(list.Contains(candidate), LinearContains(list, candidate)) << i;
    list.Append(candidate, ContactKind::Email);
    ASSERT_TRUE(list.Contains(candidate));
  }
  EXPECT_EQ(list.size(), 20000u);
}

TEST(BuyerList, EqualityIsByteForByte) {
  BuyerList list;
  list.Append("Sales@Example.com", ContactKind::Email);
  list.Append("0755-00000000", ContactKind::Fax);
  EXPECT_TRUE(list.Contains("Sales@Example.com"));
  EXPECT_FALSE(list.Contains("sales@example.com"));
  EXPECT_FALSE(list.Contains("075500000000"));
  EXPECT_FALSE(list.Contains("0755-00000000 "));
  EXPECT_TRUE(list.Contains(std::string_view("0755-00000000")));
}

TEST(BuyerList, ClearEmptiesListAndIndex) {
  struct Observer : BuyerListObserver {
    int cleared = 0;
    std::vector<std::size_t> appended;
    void BuyerListCleared() override { ++cleared; }
    void BuyerItemAppended(std::size_t index) override { appended.push_back(index); }
  } observer;
  BuyerList list;
  list.SetObserver(&observer);
  for (int i = 0; i < 1000; ++i) list.Append(std::to_string(i), ContactKind::QQ);
  list.Append("1", ContactKind::QQ);
  EXPECT_EQ(list.size(), 1001u);
  EXPECT_EQ(list[1000].value, "1");
  EXPECT_EQ(list[1000].kind, ContactKind::QQ);
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.Contains("1"));
  EXPECT_EQ(observer.cleared, 1);
  EXPECT_EQ(observer.appended.size(), 1001u);
  EXPECT_EQ(observer.appended.back(), 1000u);
}

}  // namespace
}  // namespace brivano
