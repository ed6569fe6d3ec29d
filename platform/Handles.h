// Single owners for GDI objects, icons, kernel handles and libraries, and guards for the
// calls that come in pairs (GetDC/ReleaseDC, BeginPaint/EndPaint, SelectObject/restore).
#pragma once
#include <windows.h>
#include <memory>
#include <type_traits>

namespace platform {

struct GdiObjectDeleter {
  void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct MemoryDcDeleter {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct IconDeleter {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct KernelHandleDeleter {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct ModuleDeleter {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};

using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueProcess = std::unique_ptr<void, KernelHandleDeleter>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;
// Any other kernel object: events, threads.
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;

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
