// A pointer to an object that one thread owns and another thread calls into, and that the owner
// can withdraw at any moment: once Withdraw has returned, no call reaches the object, and none
// is still running inside it, so the owner may destroy it. Calls made meanwhile get the
// fallback. A call must not wait for the owner's thread (it would wait for itself).
#pragma once

#include <mutex>
#include <utility>

namespace korvex {

template <class T>
class GuardedPointer {
  public:
    void Set(T* object) {
        std::lock_guard lock(mutex_);
        object_ = object;
    }

    // Waits for a call in progress to finish.
    void Withdraw() { Set(nullptr); }

    // Withdraws only when the pointer still designates object.
    void Withdraw(const T* object) {
        std::lock_guard lock(mutex_);
        if (object_ == object) object_ = nullptr;
    }

    // fn(T&) while the object is there; fallback otherwise.
    template <class Fn, class R>
    R With(Fn&& fn, R fallback) {
        std::lock_guard lock(mutex_);
        if (!object_) return fallback;
        return std::forward<Fn>(fn)(*object_);
    }

    bool empty() {
        std::lock_guard lock(mutex_);
        return object_ == nullptr;
    }

  private:
    std::mutex mutex_;
    T* object_ = nullptr;
};

}  // namespace korvex
