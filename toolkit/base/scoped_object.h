#pragma once

#include <utility>

#include "toolkit/base/base_object.h"

// A toolkit object freed with Free() when the scope ends, however it is left.
template <typename T>
class TScopedObject {
 public:
  explicit TScopedObject(T* object = nullptr) : object_(object) {}
  ~TScopedObject() { Free(object_); }
  TScopedObject(TScopedObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  TScopedObject& operator=(TScopedObject&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  TScopedObject(const TScopedObject&) = delete;
  TScopedObject& operator=(const TScopedObject&) = delete;

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  operator T*() const { return object_; }

 private:
  T* object_;
};
