#pragma once

// An event: a routine and the object it is bound to. The routine receives the
// bound object first, then the event's own arguments (the sender first).
// A pair whose routine is null is unset and calling it does nothing.
template <typename... Args>
struct THandlerPair {
  using TRoutine = void (*)(void* bound, Args... args);

  TRoutine Routine = nullptr;
  void* Bound = nullptr;

  bool IsSet() const { return Routine != nullptr; }
  void Clear() { *this = THandlerPair(); }

  void operator()(Args... args) const {
    if (Routine) Routine(Bound, args...);
  }

  // Binds a free function taking a typed bound object, e.g.
  //   list->SelectEvent = TNotifyEvent::Bind<&SpriteChosen>(mainWindow);
  template <auto Function, typename TBound>
  static THandlerPair Bind(TBound* bound) {
    THandlerPair pair;
    pair.Routine = [](void* self, Args... args) { Function(static_cast<TBound*>(self), args...); };
    pair.Bound = bound;
    return pair;
  }

  friend bool operator==(const THandlerPair&, const THandlerPair&) = default;
};
