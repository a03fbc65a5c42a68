#include "toolkit/base/base_object.h"

#include "toolkit/base/ptr_list.h"

namespace {

void FreeRoutine(TBaseObject* object) {
  Free(object);
}

using TFreeRoutine = void (*)(TBaseObject*);

}  // namespace

void TBaseObject::ReleaseBaseResources() {
  TObjectEvent event = DestroyEvent;
  DestroyEvent.Clear();
  event(this);

  TPtrList* owned = OwnedObjects;
  OwnedObjects = nullptr;
  if (!owned) return;
  for (int32_t i = 0; i + 1 < owned->Count; i += 2) {
    auto routine = reinterpret_cast<TFreeRoutine>(owned->Items[i]);
    routine(static_cast<TBaseObject*>(owned->Items[i + 1]));
  }
  Free(owned);
}

void TBaseObject::Destroy() {
  ReleaseBaseResources();
  delete this;
}

void Free(TBaseObject* object) {
  if (!object) return;
  if (object->RefCount == 0) {
    object->Destroy();
  } else if (object->RefCount % 2 == 0) {
    object->RefCount -= 1;  // records the request; the last ReleaseRef destroys
  }
}

void AddRef(TBaseObject* object) {
  object->RefCount += 2;
}

void ReleaseRef(TBaseObject* object) {
  object->RefCount -= 2;
  // Negative and odd: a free was requested and this was the last hold.
  if (object->RefCount < 0 && object->RefCount % 2 != 0) object->Destroy();
}

void OwnObject(TBaseObject* owner, TBaseObject* object) {
  if (!owner->OwnedObjects) owner->OwnedObjects = new TPtrList();
  owner->OwnedObjects->Insert(0, object);
  owner->OwnedObjects->Insert(0, reinterpret_cast<void*>(&FreeRoutine));
}
