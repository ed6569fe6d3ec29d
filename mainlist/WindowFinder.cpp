#include "mainlist/WindowFinder.h"

#include <commctrl.h>

#include "platform/Dpi.h"
#include "platform/WideText.h"
#include "platform/WinApp.h"
#include "res/resource.h"

namespace {

constexpr char kToolTip[] = "ドラッグしてウィンドウを選択\r\nCtrl+Alt+F: マウスポインターの下のウィンドウを選択";
constexpr char kToolTipKeyTaken[] = "ドラッグしてウィンドウを選択\r\nCtrl+Alt+F は他のプログラムが使用中です";
HICON LoadSmallIcon(int id) {
  return static_cast<HICON>(::LoadImageA(platform::AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  ::GetClassNameW(hwnd, name, 256);
  return name;
}

}  // namespace

CWindowFinder::CWindowFinder() = default;

CWindowFinder::~CWindowFinder() {
  if (m_bDragging) Cancel();
  if (m_bPickKey) ::UnregisterHotKey(m_hDialog, kPickKeyId);
}

void CWindowFinder::Attach(HWND dialog, int finderId, int labelId) {
  m_hDialog = dialog;
  m_hFinder = ::GetDlgItem(dialog, finderId);
  m_hLabel = ::GetDlgItem(dialog, labelId);
  m_crosshair.reset(LoadSmallIcon(IDI_FINDER));
  m_empty.reset(LoadSmallIcon(IDI_WHITE));
  m_hCross = ::LoadCursorA(nullptr, IDC_CROSS);
  ::SendMessageA(m_hFinder, STM_SETICON, reinterpret_cast<WPARAM>(m_crosshair.get()), 0);
  // Held down, the key is taken once.
  m_bPickKey = ::RegisterHotKey(dialog, kPickKeyId, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, 'F') != FALSE;

  // The box lets the mouse through to the dialog, so the tip is a rectangle of the dialog. The
  // dialog relays its mouse messages (RelayMouse): a tip that subclassed the dialog would stand
  // in the way of every message the dialog gets, the list's notifications of every refresh among them.
  m_hTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, platform::AppInstance(),
                             nullptr);
  if (m_hTip) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = dialog;
    tool.uId = static_cast<UINT_PTR>(finderId);
    ::GetWindowRect(m_hFinder, &tool.rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&tool.rect), 2);
    tool.lpszText = const_cast<char*>(m_bPickKey ? kToolTip : kToolTipKeyTaken);
    ::SendMessageA(m_hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // A width makes the tip break at its line end.
    ::SendMessageA(m_hTip, TTM_SETMAXTIPWIDTH, 0, platform::ScaleForDpi(400, platform::WindowDpi(dialog)));
  }

  m_outline.Create();
}

void CWindowFinder::RelayMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hTip) return;
  MSG msg{m_hDialog, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
  const DWORD pos = ::GetMessagePos();
  msg.pt = POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  ::SendMessageA(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool CWindowFinder::BeginDrag(POINT dialogClient) {
  if (m_bDragging || !m_hFinder || !::IsWindowVisible(m_hFinder)) return false;
  RECT box{};
  ::GetWindowRect(m_hFinder, &box);
  ::MapWindowPoints(nullptr, m_hDialog, reinterpret_cast<POINT*>(&box), 2);
  if (!::PtInRect(&box, dialogClient)) return false;

  m_bDragging = true;
  m_hOutlined = nullptr;
  m_labelBefore = platform::SystemWindowText(m_hLabel, 1023);
  ::SendMessageA(m_hFinder, STM_SETICON, reinterpret_cast<WPARAM>(m_empty.get()), 0);
  m_hPreviousCursor = ::SetCursor(m_hCross);
  ::SetCapture(m_hDialog);
  ::SetTimer(m_hDialog, kFinderTimerId, kFinderPeriodMs, nullptr);
  return true;
}

bool CWindowFinder::OnTimer(POINT* released) {
  if (!m_bDragging) return false;
  const bool swapped = ::GetSystemMetrics(SM_SWAPBUTTON) != 0;
  const auto down = [](int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; };
  if (down(swapped ? VK_LBUTTON : VK_RBUTTON) || down(VK_ESCAPE)) {
    Cancel();
    return false;
  }
  POINT cursor{};
  if (!::GetCursorPos(&cursor)) return false;
  if (!down(swapped ? VK_RBUTTON : VK_LBUTTON)) {
    *released = cursor;
    return true;
  }
  Track(cursor);
  return false;
}

void CWindowFinder::Track(POINT screen) {
  if (!m_bDragging) return;
  ::SetCursor(m_hCross);
  const std::optional<mainlist::FinderPick> pick = PickAt(screen);
  const HWND window = pick ? pick->window : nullptr;
  if (window == m_hOutlined) return;
  m_hOutlined = window;
  if (!window) {
    HideOutline();
    ::SetWindowTextW(m_hLabel, L"");
    return;
  }
  Outline(window);
  // Neither call waits for the window's program, so a hung window under the pointer stalls nothing.
  ::SetWindowTextW(m_hLabel, mainlist::FinderLabel(window, ClassOf(window), platform::SystemWindowText(window)).c_str());
}

std::optional<mainlist::FinderPick> CWindowFinder::PickAt(POINT screen) const {
  return mainlist::PickWindowAt(screen, ::GetCurrentProcessId(), mainlist::SystemWindowTree());
}

std::optional<mainlist::FinderPick> CWindowFinder::Drop(POINT screen) {
  if (!m_bDragging) return std::nullopt;
  EndDrag();
  std::optional<mainlist::FinderPick> pick = PickAt(screen);
  if (!pick) ::SetWindowTextW(m_hLabel, m_labelBefore.c_str());
  return pick;
}

void CWindowFinder::Cancel() {
  if (!m_bDragging) return;
  EndDrag();
  ::SetWindowTextW(m_hLabel, m_labelBefore.c_str());
}

void CWindowFinder::EndDrag() {
  // Cleared first: releasing the capture comes back as a lost capture.
  m_bDragging = false;
  ::KillTimer(m_hDialog, kFinderTimerId);
  HideOutline();
  m_hOutlined = nullptr;
  if (::GetCapture() == m_hDialog) ::ReleaseCapture();
  ::SetCursor(m_hPreviousCursor);
  ::SendMessageA(m_hFinder, STM_SETICON, reinterpret_cast<WPARAM>(m_crosshair.get()), 0);
}

void CWindowFinder::Outline(HWND window) {
  RECT rect{};
  if (!::GetWindowRect(window, &rect)) return HideOutline();
  m_outline.Show(rect, platform::WindowDpi(m_hDialog));
}

void CWindowFinder::HideOutline() { m_outline.Hide(); }
