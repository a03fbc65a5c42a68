#include "toolkit/base/ptr_list.h"

#include <cstdlib>
#include <cstring>
#include <new>

int32_t TPtrList::Add(void* item) {
  int32_t index = Count;
  Count += 1;
  if (index >= Capacity) SetCapacity(index + GrowBy);
  Items[index] = item;
  return index;
}

void TPtrList::Insert(int32_t index, void* item) {
  Add(nullptr);
  std::memmove(&Items[index + 1], &Items[index], sizeof(void*) * (Count - 1 - index));
  Items[index] = item;
}

void TPtrList::DeleteRange(int32_t index, int32_t count) {
  if (count <= 0) return;
  if (count > Count - index) count = Count - index;
  std::memmove(&Items[index], &Items[index + count], sizeof(void*) * (Count - index - count));
  Count -= count;
}

void TPtrList::Remove(void* item) {
  int32_t index = IndexOf(item);
  if (index >= 0) Delete(index);
}

int32_t TPtrList::IndexOf(const void* item) const {
  for (int32_t i = 0; i < Count; ++i) {
    if (Items[i] == item) return i;
  }
  return -1;
}

void* TPtrList::ItemAt(int32_t index) const {
  if (index < 0 || index >= Count) return nullptr;
  return Items[index];
}

void TPtrList::Clear() {
  std::free(Items);
  Items = nullptr;
  Count = 0;
  Capacity = 0;
}

void TPtrList::SetCapacity(int32_t capacity) {
  if (capacity < Count) capacity = Count;
  if (capacity == Capacity) return;
  if (capacity == 0) {
    std::free(Items);
    Items = nullptr;
  } else {
    void* grown = std::realloc(Items, sizeof(void*) * static_cast<size_t>(capacity));
    if (!grown) throw std::bad_alloc();
    Items = static_cast<void**>(grown);
  }
  Capacity = capacity;
}

void TPtrList::Destroy() {
  Clear();
  TBaseObject::Destroy();
}
