#include "toolkit/base/ptr_list.h"
#include "toolkit/base/scoped_object.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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
  TScopedObject<TPtrList> h(new TPtrList());
  EXPECT_EQ(h->Count, 0);
  EXPECT_EQ(h->Capacity, 0);
  EXPECT_EQ(h->GrowBy, 4);
  EXPECT_EQ(h->Items, nullptr);
  EXPECT_EQ(h->ItemAt(0), nullptr);
  EXPECT_EQ(h->IndexOf(P(1)), -1);
}

TEST(PtrList, GrowsLinearlyByFour) {
  TScopedObject<TPtrList> h(new TPtrList());
  const int32_t expectedCapacity[] = {4, 4, 4, 4, 8, 8, 8, 8, 12, 12};
  for (int32_t i = 0; i < 10; ++i) {
    EXPECT_EQ(h->Add(P(i + 1)), i);
    EXPECT_EQ(h->Capacity, expectedCapacity[i]) << "after add " << i;
  }
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(PtrList, InsertAtFrontMiddleAndEnd) {
  TScopedObject<TPtrList> h(new TPtrList());
  h->Add(P(1));
  h->Add(P(2));
  h->Insert(0, P(9));
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{9, 1, 2}));
  h->Insert(h->Count, P(7));
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{9, 1, 2, 7}));
  h->Insert(2, P(5));
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{9, 1, 5, 2, 7}));
  EXPECT_EQ(h->Capacity, 8);
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
    TScopedObject<TPtrList> h(new TPtrList());
    for (intptr_t n : {1, 2, 3})
      h->Add(P(n));
    h->DeleteRange(c.index, c.count);
    EXPECT_EQ(Contents(h.Get()), c.left) << c.index << "," << c.count;
    EXPECT_EQ(h->Capacity, 4);
  }
}

TEST(PtrList, RemoveAndIndexOfUseTheFirstMatch) {
  TScopedObject<TPtrList> h(new TPtrList());
  for (intptr_t n : {1, 2, 1, 3})
    h->Add(P(n));
  EXPECT_EQ(h->IndexOf(P(1)), 0);
  EXPECT_EQ(h->IndexOf(P(3)), 3);
  h->Remove(P(1));
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{2, 1, 3}));
  h->Remove(P(42));
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{2, 1, 3}));
  EXPECT_EQ(h->ItemAt(-1), nullptr);
  EXPECT_EQ(h->ItemAt(3), nullptr);
  EXPECT_EQ(h->ItemAt(2), P(3));
}

TEST(PtrList, SetCapacityNeverDropsBelowCountAndClearEmptiesEverything) {
  TScopedObject<TPtrList> h(new TPtrList());
  for (intptr_t n : {1, 2, 3, 4, 5})
    h->Add(P(n));
  h->SetCapacity(2);
  EXPECT_EQ(h->Capacity, 5);
  EXPECT_EQ(Contents(h.Get()), (std::vector<intptr_t>{1, 2, 3, 4, 5}));
  h->SetCapacity(100);
  EXPECT_EQ(h->Capacity, 100);
  h->Clear();
  EXPECT_EQ(h->Items, nullptr);
  EXPECT_EQ(h->Count, 0);
  EXPECT_EQ(h->Capacity, 0);
  EXPECT_EQ(h->Add(P(8)), 0);
  EXPECT_EQ(h->Capacity, 4);
}

}  // namespace
