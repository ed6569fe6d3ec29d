// Single owners for GDI objects, icons, kernel handles and libraries, and guards for the
// calls that come in pairs (GetDC/ReleaseDC, BeginPaint/EndPaint, SelectObject/restore).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace platform {

// What the GDI owners below hold right now (objects, memory DCs and icons taken over and not yet
// released or handed to the system) and how many releases the system refused (a double
// release, or a handle that was never valid). The system's own count (GetGuiResources) is 0
// under wine; tests read these instead. Counting costs an atomic add beside a system call.
struct GdiOwnerCounts {
  long owned;
  long refusedReleases;
};
namespace detail {
inline std::atomic<long> g_gdiOwned{0};
inline std::atomic<long> g_gdiRefused{0};
inline void Released(BOOL done) {
  --g_gdiOwned;
  if (!done) ++g_gdiRefused;
}
}  // namespace detail
inline GdiOwnerCounts CurrentGdiOwnerCounts() { return {detail::g_gdiOwned.load(), detail::g_gdiRefused.load()}; }

struct GdiObjectDeleter {
  void operator()(void* object) const { detail::Released(::DeleteObject(static_cast<HGDIOBJ>(object))); }
};
struct MemoryDcDeleter {
  void operator()(HDC dc) const { detail::Released(::DeleteDC(dc)); }
};
struct IconDeleter {
  void operator()(HICON icon) const { detail::Released(::DestroyIcon(icon)); }
};

// A unique_ptr for a GDI handle that counts what it takes over and gives up (see above).
template <class Handle, class Deleter>
class UniqueGdi : public std::unique_ptr<std::remove_pointer_t<Handle>, Deleter> {
  using Base = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

 public:
  UniqueGdi() noexcept = default;
  UniqueGdi(std::nullptr_t) noexcept {}
  explicit UniqueGdi(Handle handle) noexcept : Base(handle) {
    if (handle) ++detail::g_gdiOwned;
  }
  UniqueGdi(UniqueGdi&&) noexcept = default;
  UniqueGdi& operator=(UniqueGdi&&) noexcept = default;
  UniqueGdi& operator=(std::nullptr_t) noexcept {
    reset();
    return *this;
  }
  void reset(Handle handle = nullptr) noexcept {
    if (handle) ++detail::g_gdiOwned;
    Base::reset(handle);
  }
  // Gives the handle up (to the system, which now owns it).
  Handle release() noexcept {
    Handle handle = Base::release();
    if (handle) --detail::g_gdiOwned;
    return handle;
  }
};
struct KernelHandleDeleter {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct ModuleDeleter {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};

struct MappedViewDeleter {
  void operator()(void* view) const { ::UnmapViewOfFile(view); }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST images) const { ::ImageList_Destroy(images); }
};
struct HookDeleter {
  void operator()(HHOOK hook) const { ::UnhookWindowsHookEx(hook); }
};

using UniqueBrush = UniqueGdi<HBRUSH, GdiObjectDeleter>;
using UniqueBitmap = UniqueGdi<HBITMAP, GdiObjectDeleter>;
using UniqueRegion = UniqueGdi<HRGN, GdiObjectDeleter>;
using UniquePen = UniqueGdi<HPEN, GdiObjectDeleter>;
using UniqueMemoryDc = UniqueGdi<HDC, MemoryDcDeleter>;
using UniqueIcon = UniqueGdi<HICON, IconDeleter>;
using UniqueFont = UniqueGdi<HFONT, GdiObjectDeleter>;
// An image list of a control (ImageList_Create).
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;
using UniqueProcess = std::unique_ptr<void, KernelHandleDeleter>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;
// Any other kernel object: events, threads.
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;
// A view of a file mapping (shared memory).
using UniqueMappedView = std::unique_ptr<void, MappedViewDeleter>;
// A hook set with SetWindowsHookEx.
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;

inline UniqueBrush MakeSolidBrush(COLORREF colour) { return UniqueBrush(::CreateSolidBrush(colour)); }

// GetDC / ReleaseDC (GetWindowDC with whole = true).
class CWindowDcGuard {
 public:
  explicit CWindowDcGuard(HWND hwnd, bool whole = false)
      : m_hWnd(hwnd), m_hDC(whole ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
  ~CWindowDcGuard() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CWindowDcGuard(const CWindowDcGuard&) = delete;
  CWindowDcGuard& operator=(const CWindowDcGuard&) = delete;
  HDC Get() const { return m_hDC; }

 private:
  HWND m_hWnd;
  HDC m_hDC;
};

// BeginPaint / EndPaint.
class CPaintDcGuard {
 public:
  explicit CPaintDcGuard(HWND hwnd) : m_hWnd(hwnd), m_hDC(::BeginPaint(hwnd, &m_ps)) {}
  ~CPaintDcGuard() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDcGuard(const CPaintDcGuard&) = delete;
  CPaintDcGuard& operator=(const CPaintDcGuard&) = delete;
  HDC Get() const { return m_hDC; }
  const PAINTSTRUCT& Paint() const { return m_ps; }

 private:
  HWND m_hWnd;
  PAINTSTRUCT m_ps{};
  HDC m_hDC;
};

// Selects an object into a DC and puts the previous one back.
class CSelectObjectGuard {
 public:
  CSelectObjectGuard(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(::SelectObject(dc, object)) {}
  ~CSelectObjectGuard() {
    if (m_hOld) ::SelectObject(m_hDC, m_hOld);
  }
  CSelectObjectGuard(const CSelectObjectGuard&) = delete;
  CSelectObjectGuard& operator=(const CSelectObjectGuard&) = delete;

 private:
  HDC m_hDC;
  HGDIOBJ m_hOld;
};

}  // namespace platform
