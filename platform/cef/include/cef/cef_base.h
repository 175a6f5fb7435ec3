// Reference counting shared by every object handed to the library.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

// Base of every reference-counted library interface. Implementations get the three operations
// from IMPLEMENT_REFCOUNTING.
class CefBase {
  public:
    virtual void AddRef() const = 0;
    // Returns true when this call released the last reference (the object is then deleted).
    virtual bool Release() const = 0;
    virtual bool HasOneRef() const = 0;

  protected:
    virtual ~CefBase() = default;
};

// A 32-bit signed count, 0 after construction, changed only atomically.
class CefRefCount {
  public:
    void AddRef() const { count_.fetch_add(1, std::memory_order_relaxed); }
    // True when the count dropped to 0.
    bool Release() const { return count_.fetch_sub(1, std::memory_order_acq_rel) == 1; }
    bool HasOneRef() const { return count_.load(std::memory_order_acquire) == 1; }
    std::int32_t Count() const { return count_.load(std::memory_order_acquire); }

  private:
    mutable std::atomic<std::int32_t> count_{0};
};

// Gives ClassName AddRef/Release/HasOneRef over a CefRefCount; Release deletes at zero.
#define IMPLEMENT_REFCOUNTING(ClassName)                               \
  public:                                                              \
    void AddRef() const override { ref_count_.AddRef(); }              \
    bool Release() const override {                                    \
        if (ref_count_.Release()) {                                    \
            delete static_cast<const ClassName*>(this);                \
            return true;                                               \
        }                                                              \
        return false;                                                  \
    }                                                                  \
    bool HasOneRef() const override { return ref_count_.HasOneRef(); } \
                                                                       \
  private:                                                             \
    CefRefCount ref_count_

// Intrusive smart pointer: holds one reference to a CefBase-derived object.
template <class T>
class CefRefPtr {
  public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) {}
    CefRefPtr(T* p) : ptr_(p) {
        if (ptr_) ptr_->AddRef();
    }
    CefRefPtr(const CefRefPtr& other) : CefRefPtr(other.ptr_) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& other) : CefRefPtr(other.get()) {}
    CefRefPtr(CefRefPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~CefRefPtr() {
        if (ptr_) ptr_->Release();
    }

    CefRefPtr& operator=(const CefRefPtr& other) { return *this = other.ptr_; }
    CefRefPtr& operator=(CefRefPtr&& other) noexcept {
        if (this != &other) {
            T* old = std::exchange(ptr_, std::exchange(other.ptr_, nullptr));
            if (old) old->Release();
        }
        return *this;
    }
    CefRefPtr& operator=(T* p) {
        if (p) p->AddRef();
        T* old = std::exchange(ptr_, p);
        if (old) old->Release();
        return *this;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    operator T*() const { return ptr_; }

  private:
    T* ptr_ = nullptr;
};
