// COM on the calling thread for the length of a scope, and a single owner of an interface.
#pragma once
#include <objbase.h>

namespace platform {

// Balances a successful CoInitialize on this thread.
class CComScope {
 public:
  CComScope() : m_bInitialised(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~CComScope() {
    if (m_bInitialised) ::CoUninitialize();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;

 private:
  bool m_bInitialised;
};

// Releases the interface it holds.
template <class T>
class CComRef {
 public:
  CComRef() = default;
  ~CComRef() { Reset(); }
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;

  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // For functions that hand out a new reference; drops the one held.
  T** Out() {
    Reset();
    return &m_p;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  void Reset() {
    if (m_p) m_p->Release();
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;
};

}  // namespace platform
