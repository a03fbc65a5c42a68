#pragma once

#include <cstdint>

#include "toolkit/base/base_object.h"

// A growable array of untyped pointers that grows linearly by GrowBy entries.
// The list never frees what its entries point to.
class TPtrList : public TBaseObject {
 public:
  void** Items = nullptr;
  int32_t Count = 0;
  int32_t Capacity = 0;
  int32_t GrowBy = 4;

  int32_t Add(void* item);
  // 0 <= index <= Count.
  void Insert(int32_t index, void* item);
  void Delete(int32_t index) { DeleteRange(index, 1); }
  // 0 <= index < Count; the count is cut to what the list holds.
  void DeleteRange(int32_t index, int32_t count);
  void Remove(void* item);
  int32_t IndexOf(const void* item) const;
  void* ItemAt(int32_t index) const;
  void Clear();
  void SetCapacity(int32_t capacity);

 protected:
  void Destroy() override;
};
