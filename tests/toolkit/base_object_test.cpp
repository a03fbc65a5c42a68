#include "toolkit/base/base_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/base/ptr_list.h"

namespace {

// Records its destruction in a shared log.
class TTracked : public TBaseObject {
 public:
  TTracked(std::vector<std::string>* log, std::string name) : log_(log), name_(std::move(name)) {}

 protected:
  void Destroy() override {
    log_->push_back(name_);
    TBaseObject::Destroy();
  }

 private:
  std::vector<std::string>* log_;
  std::string name_;
};

struct TWitness {
  std::vector<std::string>* log;
  int calls = 0;
  TBaseObject* sender = nullptr;
};

void WitnessDestroy(TWitness* w, TBaseObject* sender) {
  w->calls += 1;
  w->sender = sender;
  w->log->push_back("event");
}

enum TStep { kAddRef, kFree, kReleaseRef };

TEST(BaseObjectHolds, DestroyWaitsForTheLastHoldAfterFree) {
  struct TCase {
    std::vector<TStep> steps;
    std::vector<int32_t> refCounts;  // after every step but the destroying one
    size_t destroyedAtStep;
  };
  const TCase cases[] = {
      {{kAddRef, kFree, kReleaseRef}, {2, 1}, 2},
      {{kAddRef, kAddRef, kFree, kReleaseRef, kReleaseRef}, {2, 4, 3, 1}, 4},
      {{kAddRef, kReleaseRef, kFree}, {2, 0}, 2},
      {{kFree}, {}, 0},
      {{kAddRef, kFree, kFree, kFree, kReleaseRef}, {2, 1, 1, 1}, 4},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> log;
    auto* object = new TTracked(&log, "x");
    for (size_t i = 0; i < c.steps.size(); ++i) {
      switch (c.steps[i]) {
        case kAddRef:
          AddRef(object);
          break;
        case kFree:
          Free(object);
          break;
        case kReleaseRef:
          ReleaseRef(object);
          break;
      }
      if (i == c.destroyedAtStep) {
        EXPECT_EQ(log.size(), 1u) << "step " << i;
        break;
      }
      EXPECT_TRUE(log.empty()) << "destroyed early at step " << i;
      EXPECT_EQ(object->RefCount, c.refCounts[i]) << "step " << i;
    }
  }
}

TEST(BaseObjectHolds, MoreReleasesThanHoldsDestroyNothing) {
  std::vector<std::string> log;
  auto* object = new TTracked(&log, "x");
  ReleaseRef(object);
  EXPECT_EQ(object->RefCount, -2);
  EXPECT_TRUE(log.empty());
  AddRef(object);
  Free(object);
  EXPECT_EQ(log.size(), 1u);
}

TEST(BaseObjectFree, AcceptsNil) {
  Free(nullptr);
}

TEST(BaseObjectDestroy, RaisesDestroyEventOnceThenFreesOwnedObjectsNewestFirst) {
  std::vector<std::string> log;
  auto* owner = new TTracked(&log, "owner");
  OwnObject(owner, new TTracked(&log, "first"));
  OwnObject(owner, new TTracked(&log, "second"));
  OwnObject(owner, new TTracked(&log, "third"));

  TWitness witness{&log};
  owner->DestroyEvent = TObjectEvent::Bind<&WitnessDestroy>(&witness);

  Free(owner);
  EXPECT_EQ(witness.calls, 1);
  EXPECT_EQ(witness.sender, owner);
  EXPECT_EQ(log, (std::vector<std::string>{"owner", "event", "third", "second", "first"}));
}

TEST(BaseObjectDestroy, OwnedObjectsAreKeptAsRoutineObjectPairsNewestFirst) {
  std::vector<std::string> log;
  auto* owner = new TTracked(&log, "owner");
  auto* a = new TTracked(&log, "a");
  auto* b = new TTracked(&log, "b");
  OwnObject(owner, a);
  OwnObject(owner, b);
  ASSERT_NE(owner->OwnedObjects, nullptr);
  ASSERT_EQ(owner->OwnedObjects->Count, 4);
  EXPECT_EQ(owner->OwnedObjects->Items[1], b);
  EXPECT_EQ(owner->OwnedObjects->Items[3], a);
  EXPECT_EQ(owner->OwnedObjects->Items[0], owner->OwnedObjects->Items[2]);
  Free(owner);
  EXPECT_EQ(log, (std::vector<std::string>{"owner", "b", "a"}));
}

}  // namespace
