#include "capture/WindowCapture.h"

#include <algorithm>
#include <vector>

#include "capture/CaptureChoice.h"
#include "platform/LateBound.h"
#include "platform/LayeredCalls.h"
#include "platform/MessageBox.h"
#include "platform/Messaging.h"
#include "platform/Monitors.h"
#include "platform/Target.h"
#include "platform/WindowCalls.h"

// How the methods treat a window that may not answer.
//
// Every capture first sends the target a WM_NULL bounded to one second. A target that does not
// answer is neither printed (PrintWindow waits for the target's thread without bound) nor put
// through a restore or show cycle; the picture becomes a blank one of the window's size.
//
// The cycles change another thread's window with the no-wait calls of WindowCalls.h. Show and
// move then arrive at the target as notifications in its queue of sent messages, which it works
// off in order, so the WM_NULL sent after them is answered only once they have happened: the
// print never sees the window before it stands where the cycle put it. When the target stops
// answering on the way, the cycle stops there and the picture is left blank.
//
// Putting the window back is one call through RunOnWindow that makes all steps in order: now
// when the target answers, otherwise on a worker once it recovers, behind anything still
// queued for it. Either way the window ends as it was, and Quorvel never waits for it without bound.

namespace {

constexpr UINT kProbeTimeoutMs = 1000;
constexpr COLORREF kPresetColorKey = 0xFFFFFF;
constexpr BYTE kPresetAlpha = 255;
constexpr DWORD kPresetLayeredFlags = 0;
constexpr UINT kHiddenPutBackFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_HIDEWINDOW | SWP_NOCOPYBITS;
// Rows of a picture the blank check reads at a time.
constexpr LONG kBlankCheckRows = 32;

const char kLayeredUnreadableQuestion[] =
    "レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

// The bounded WM_NULL every capture starts with; true when the target answered.
bool Answers(HWND target) {
  return platform::SendMessageBounded(target, WM_NULL, 0, 0, kProbeTimeoutMs).has_value();
}

LONG Width(const RECT& rect) { return rect.right - rect.left; }
LONG Height(const RECT& rect) { return rect.bottom - rect.top; }

// PrintWindow's flags for the system Quorvel runs on. RtlGetVersion reports the real version,
// whatever compatibility the system grants the program.
UINT PrintFlags() {
  static const UINT flags = [] {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    platform::CallLateBound<LONG>("ntdll", "RtlGetVersion", &version);
    return PrintFlagsFor(version.dwMajorVersion, version.dwMinorVersion);
  }();
  return flags;
}

// True when the picture has a bitmap and every pixel of it is black. Reads the bitmap a band
// of rows at a time and stops at the first band with a colour, so a usual picture costs one band.
bool IsBlackPicture(HWND owner, const WindowPicture& picture) {
  if (!picture.bitmap || picture.width <= 0 || picture.height <= 0) return false;
  platform::CWindowDcGuard ownerDc(owner);
  if (!ownerDc.Get()) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> band(static_cast<size_t>(picture.width) * kBlankCheckRows);
  for (LONG row = 0; row < picture.height; row += kBlankCheckRows) {
    const LONG rows = std::min(kBlankCheckRows, picture.height - row);
    if (::GetDIBits(ownerDc.Get(), picture.bitmap.get(), row, rows, band.data(), &info, DIB_RGB_COLORS) != rows)
      return false;
    if (!AllBlack(band.data(), static_cast<size_t>(picture.width) * rows)) return false;
  }
  return true;
}

// Replaces the picture's bitmap by a new one of the given size, compatible with the owner's
// screen. A size the system cannot make (zero or huge) leaves the picture without a bitmap.
void NewBitmap(HDC ownerDc, LONG width, LONG height, WindowPicture& picture) {
  picture.bitmap.reset();
  picture.width = width;
  picture.height = height;
  if (width <= 0 || height <= 0 || !ownerDc) return;
  picture.bitmap.reset(::CreateCompatibleBitmap(ownerDc, width, height));
}

// Takes the target as it stands: the whole window at its current rectangle. Prints it only when
// it answered, otherwise leaves the picture blank.
void CaptureCore(HWND owner, HWND target, WindowPicture& picture, bool print) {
  platform::CWindowDcGuard ownerDc(owner);
  RECT window = {};
  ::GetWindowRect(target, &window);
  NewBitmap(ownerDc.Get(), Width(window), Height(window), picture);
  if (!picture.bitmap) return;

  platform::UniqueMemoryDc memoryDc(::CreateCompatibleDC(ownerDc.Get()));
  if (!memoryDc) return;
  platform::CSelectObjectGuard select(memoryDc.get(), picture.bitmap.get());
  if (!print || !CallPrintWindow(target, memoryDc.get(), PrintFlags()))
    ::PatBlt(memoryDc.get(), 0, 0, picture.width, picture.height, WHITENESS);
}

// What IconicCapture changed, and how to put it back.
struct IconicState {
  LONG style = 0;
  LONG exStyle = 0;
  WINDOWPLACEMENT placement = {};
  COLORREF colorKey = kPresetColorKey;
  BYTE alpha = kPresetAlpha;
  DWORD layeredFlags = kPresetLayeredFlags;
  // Where the system put the window when it restored it, in screen coordinates; empty until then.
  RECT restored = {};
  // How far the cycle asked to move the window out of sight from its normal place; 0,0 until then.
  POINT movedBy = {};
};

// Where the system restored the window, for the put-back when the placement cannot be written:
// noted by the cycle, or, when the window stopped answering before it could be noted, read now
// that it answers again (less the move off-screen, if that was asked for). False while the
// window is still minimised: the cycle never restored it, and its place is as it was.
bool RestoredRect(HWND target, const IconicState& state, RECT* rect) {
  if (!::IsRectEmpty(&state.restored)) {
    *rect = state.restored;
    return true;
  }
  if (::IsIconic(target) || !::GetWindowRect(target, rect)) return false;
  ::OffsetRect(rect, -state.movedBy.x, -state.movedBy.y);
  return true;
}

void PutBackIconic(HWND target, const IconicState& state) {
  platform::SendMessageBounded(target, WM_SETREDRAW, FALSE, 0, kProbeTimeoutMs);
  // Minimised without activating anything: SW_MINIMIZE (and the system menu's 最小化, which
  // uses it) activates the window, or the next one, and takes the foreground from the user.
  WINDOWPLACEMENT placement = state.placement;
  placement.showCmd = SW_SHOWMINNOACTIVE;
  RECT back{};
  if (!::SetWindowPlacement(target, &placement) && RestoredRect(target, state, &back)) {
    // Refused (some systems refuse it for another program's window): bring the window back to
    // where the system restored it before it is minimised, so that it is restored there later
    // and never off-screen.
    ::SetWindowPos(target, nullptr, back.left, back.top, Width(back), Height(back), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!::IsIconic(target)) ::ShowWindow(target, SW_SHOWMINNOACTIVE);
  // Minimising shows the window; one that was hidden and minimised goes back to hidden.
  if (!(state.style & WS_VISIBLE)) ::ShowWindow(target, SW_HIDE);
  platform::SendMessageBounded(target, WM_SETREDRAW, TRUE, 0, kProbeTimeoutMs);
  if (state.exStyle & WS_EX_LAYERED) {
    // Some systems keep a new alpha only when the flags carry LWA_ALPHA; written with it first,
    // the saved alpha is what stays whatever the saved flags are.
    if (!(state.layeredFlags & LWA_ALPHA))
      CallSetLayeredWindowAttributes(target, state.colorKey, state.alpha, state.layeredFlags | LWA_ALPHA);
    CallSetLayeredWindowAttributes(target, state.colorKey, state.alpha, state.layeredFlags);
  }
  ::SetWindowLongA(target, GWL_EXSTYLE, state.exStyle);
  ::SetWindowLongA(target, GWL_STYLE, state.style);
}

// Restores the minimised window invisibly off-screen at its normal size; false when the target
// stopped answering on the way (what was done is still put back). Notes where the system
// restored it, the place to fall back to when putting it back: the placement's normal rectangle
// is in work-area coordinates, and some systems report the minimised rectangle there for another
// program's window.
bool RestoreOffScreen(HWND target, IconicState& state) {
  using platform::WindowCallRoute;
  // Transparent to the mouse as well as to the eye: where the window stands for a moment,
  // clicks go to what is below it. Disabled, so that the restore cannot give it the focus
  // either (some systems focus a window restored from minimised, whatever the show command),
  // and the keyboard stays with the user's window.
  const LONG exStyle = state.exStyle | WS_EX_LAYERED | WS_EX_TRANSPARENT;
  const LONG style = state.style | WS_DISABLED;
  if (platform::RunOnWindow(target, [target, exStyle, style] {
        ::SetWindowLongA(target, GWL_EXSTYLE, exStyle);
        CallSetLayeredWindowAttributes(target, 0, 0, LWA_ALPHA);
        ::SetWindowLongA(target, GWL_STYLE, style);
      }) == WindowCallRoute::Deferred)
    return false;
  if (!platform::SendMessageBounded(target, WM_SETREDRAW, FALSE, 0, kProbeTimeoutMs)) return false;
  // Restored without taking the foreground from the user's window. A window minimised from
  // maximised forgets that with SW_SHOWNOACTIVATE: it gets SW_SHOWNORMAL (IconicCapture gives
  // the foreground back), and the put-back's placement keeps the flag anyway.
  const bool toMaximised = (state.placement.flags & WPF_RESTORETOMAXIMIZED) != 0;
  platform::ShowWindowNoWait(target, toMaximised ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
  // Answered after the show has happened: the window now stands at its normal rectangle.
  if (!platform::SendMessageBounded(target, WM_SETREDRAW, TRUE, 0, kProbeTimeoutMs)) return false;
  RECT restored = {};
  if (::GetWindowRect(target, &restored) && !::IsIconic(target) && !::IsRectEmpty(&restored)) state.restored = restored;
  const RECT& normal = state.placement.rcNormalPosition;
  const POINT away = OffScreenOrigin(platform::VirtualScreenRect());
  state.movedBy = POINT{away.x - normal.left, away.y - normal.top};
  platform::MoveWindowNoWait(target, away.x, away.y, Width(normal), Height(normal), true);
  return Answers(target);
}

// A window the restore activated after all (a window manager may) gives the foreground back to
// the window of Quorvel's that had it, so the keyboard stays where the user was.
void KeepInFront(HWND front) {
  if (!front || ::GetForegroundWindow() == front) return;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(front, &pid);
  if (pid == ::GetCurrentProcessId()) ::SetForegroundWindow(front);
}

}  // namespace

BOOL CallPrintWindow(HWND hwnd, HDC dc, UINT flags) {
  return platform::CallLateBound<BOOL>("user32", "PrintWindow", hwnd, dc, flags);
}

void PrintWindowCapture(HWND owner, HWND target, WindowPicture& picture) {
  if (!platform::IsLiveTarget(target)) return;
  CaptureCore(owner, target, picture, Answers(target));
}

void SurfaceCapture(HWND owner, HWND target, WindowPicture& picture) {
  if (!platform::IsLiveTarget(target)) return;
  platform::CWindowDcGuard ownerDc(owner);
  // The screen itself, in screen coordinates: a window's own DC loses what lies past the top or
  // left edge on some systems, and shifts the rest by it.
  platform::CWindowDcGuard screenDc(nullptr);
  RECT window = {};
  ::GetWindowRect(target, &window);
  const RECT visible = ScreenPart(platform::VirtualScreenRect(), window);
  NewBitmap(ownerDc.Get(), Width(visible), Height(visible), picture);
  // The copy reads the screen, not the target's thread; the probe only lets it finish painting.
  Answers(target);
  if (!picture.bitmap || !screenDc.Get()) return;

  platform::UniqueMemoryDc memoryDc(::CreateCompatibleDC(ownerDc.Get()));
  if (!memoryDc) return;
  platform::CSelectObjectGuard select(memoryDc.get(), picture.bitmap.get());
  ::BitBlt(memoryDc.get(), 0, 0, picture.width, picture.height, screenDc.Get(), visible.left, visible.top,
           SRCCOPY | CAPTUREBLT);
}

void IconicCapture(HWND owner, HWND target, WindowPicture& picture) {
  if (!platform::IsLiveTarget(target)) return;
  IconicState state;
  state.style = ::GetWindowLongA(target, GWL_STYLE);
  state.exStyle = ::GetWindowLongA(target, GWL_EXSTYLE);
  state.placement.length = sizeof(state.placement);
  ::GetWindowPlacement(target, &state.placement);

  const RECT& normal = state.placement.rcNormalPosition;
  bool restore = Width(normal) != 0 && Height(normal) != 0 && (state.style & WS_MINIMIZE);
  if (!Answers(target)) {
    CaptureCore(owner, target, picture, false);
    return;
  }
  if (!restore) {
    CaptureCore(owner, target, picture, true);
    return;
  }

  if ((state.exStyle & WS_EX_LAYERED) &&
      !CallGetLayeredWindowAttributes(target, &state.colorKey, &state.alpha, &state.layeredFlags)) {
    if (!platform::AppConfirm(kLayeredUnreadableQuestion)) return;
    // The call may have written part of its answer before failing.
    state.colorKey = kPresetColorKey;
    state.alpha = kPresetAlpha;
    state.layeredFlags = kPresetLayeredFlags;
  }

  const HWND front = ::GetForegroundWindow();
  bool standing = RestoreOffScreen(target, state);
  CaptureCore(owner, target, picture, standing);
  platform::RunOnWindow(target, [target, state] { PutBackIconic(target, state); });
  KeepInFront(front);
}

void HideCapture(HWND owner, HWND target, WindowPicture& picture) {
  if (!platform::IsLiveTarget(target)) return;
  const LONG style = ::GetWindowLongA(target, GWL_STYLE);
  RECT window = {};
  ::GetWindowRect(target, &window);
  if (!Answers(target)) {
    CaptureCore(owner, target, picture, false);
    return;
  }
  if (style & WS_VISIBLE) {
    CaptureCore(owner, target, picture, true);
    return;
  }

  // Shown off-screen, disabled and without activation, so that it takes neither the focus nor
  // the foreground from the user's window.
  const POINT away = OffScreenOrigin(platform::VirtualScreenRect());
  platform::SetWindowLongNoWait(target, GWL_STYLE, style | WS_DISABLED);
  platform::MoveWindowNoWait(target, away.x, away.y, Width(window), Height(window), false);
  platform::ShowWindowNoWait(target, SW_SHOWNA);
  bool standing = platform::SetWindowLongNoWait(target, GWL_STYLE, style | WS_VISIBLE | WS_DISABLED) !=
                      platform::WindowCallRoute::Deferred &&
                  Answers(target);
  CaptureCore(owner, target, picture, standing);
  platform::RunOnWindow(target, [target, style, window] {
    ::ShowWindow(target, SW_HIDE);
    ::SetWindowLongA(target, GWL_STYLE, style);
    ::SetWindowPos(target, nullptr, window.left, window.top, Width(window), Height(window), kHiddenPutBackFlags);
    ::ShowWindow(target, SW_HIDE);
  });
}

bool AutoCapture(HWND owner, HWND target, WindowPicture& picture) {
  if (!platform::IsLiveTarget(target)) return false;
  if (::IsIconic(target))
    IconicCapture(owner, target, picture);
  else if (::IsWindowVisible(target)) {
    PrintWindowCapture(owner, target, picture);
    // Windows drawn with DirectX, and on some systems every other program's window, print
    // black: the screen then shows the window better than the print.
    if (IsBlackPicture(owner, picture)) SurfaceCapture(owner, target, picture);
  } else
    HideCapture(owner, target, picture);
  return true;
}
