#include "toolkit/base/ptr_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A list that frees itself when the test ends.
struct TListHolder {
  TPtrList* list = new TPtrList();
  ~TListHolder() { Free(list); }
};

void* P(intptr_t n) {
  return reinterpret_cast<void*>(n);
}

std::vector<intptr_t> Contents(const TPtrList* list) {
  std::vector<intptr_t> out;
  for (int32_t i = 0; i < list->Count; ++i)
    out.push_back(reinterpret_cast<intptr_t>(list->Items[i]));
  return out;
}

TEST(PtrList, NewListIsEmpty) {
  TListHolder h;
  EXPECT_EQ(h.list->Count, 0);
  EXPECT_EQ(h.list->Capacity, 0);
  EXPECT_EQ(h.list->GrowBy, 4);
  EXPECT_EQ(h.list->Items, nullptr);
  EXPECT_EQ(h.list->ItemAt(0), nullptr);
  EXPECT_EQ(h.list->IndexOf(P(1)), -1);
}

TEST(PtrList, GrowsLinearlyByFour) {
  TListHolder h;
  const int32_t expectedCapacity[] = {4, 4, 4, 4, 8, 8, 8, 8, 12, 12};
  for (int32_t i = 0; i < 10; ++i) {
    EXPECT_EQ(h.list->Add(P(i + 1)), i);
    EXPECT_EQ(h.list->Capacity, expectedCapacity[i]) << "after add " << i;
  }
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(PtrList, InsertAtFrontMiddleAndEnd) {
  TListHolder h;
  h.list->Add(P(1));
  h.list->Add(P(2));
  h.list->Insert(0, P(9));
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{9, 1, 2}));
  h.list->Insert(h.list->Count, P(7));
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{9, 1, 2, 7}));
  h.list->Insert(2, P(5));
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{9, 1, 5, 2, 7}));
  EXPECT_EQ(h.list->Capacity, 8);
}

TEST(PtrList, DeleteRangeCutsTheCountAndIgnoresNonPositiveCounts) {
  struct TCase {
    int32_t index, count;
    std::vector<intptr_t> left;
  };
  const TCase cases[] = {
      {1, 10, {1}},   {0, 3, {}},        {1, 1, {1, 3}},
      {2, 1, {1, 2}}, {1, 0, {1, 2, 3}}, {1, -4, {1, 2, 3}},
  };
  for (const TCase& c : cases) {
    TListHolder h;
    for (intptr_t n : {1, 2, 3})
      h.list->Add(P(n));
    h.list->DeleteRange(c.index, c.count);
    EXPECT_EQ(Contents(h.list), c.left) << c.index << "," << c.count;
    EXPECT_EQ(h.list->Capacity, 4);
  }
}

TEST(PtrList, RemoveAndIndexOfUseTheFirstMatch) {
  TListHolder h;
  for (intptr_t n : {1, 2, 1, 3})
    h.list->Add(P(n));
  EXPECT_EQ(h.list->IndexOf(P(1)), 0);
  EXPECT_EQ(h.list->IndexOf(P(3)), 3);
  h.list->Remove(P(1));
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{2, 1, 3}));
  h.list->Remove(P(42));
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{2, 1, 3}));
  EXPECT_EQ(h.list->ItemAt(-1), nullptr);
  EXPECT_EQ(h.list->ItemAt(3), nullptr);
  EXPECT_EQ(h.list->ItemAt(2), P(3));
}

TEST(PtrList, SetCapacityNeverDropsBelowCountAndClearEmptiesEverything) {
  TListHolder h;
  for (intptr_t n : {1, 2, 3, 4, 5})
    h.list->Add(P(n));
  h.list->SetCapacity(2);
  EXPECT_EQ(h.list->Capacity, 5);
  EXPECT_EQ(Contents(h.list), (std::vector<intptr_t>{1, 2, 3, 4, 5}));
  h.list->SetCapacity(100);
  EXPECT_EQ(h.list->Capacity, 100);
  h.list->Clear();
  EXPECT_EQ(h.list->Items, nullptr);
  EXPECT_EQ(h.list->Count, 0);
  EXPECT_EQ(h.list->Capacity, 0);
  EXPECT_EQ(h.list->Add(P(8)), 0);
  EXPECT_EQ(h.list->Capacity, 4);
}

}  // namespace
