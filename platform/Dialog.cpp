#include "platform/Dialog.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "platform/ActionBudget.h"
#include "platform/Dpi.h"
#include "platform/MessageBox.h"
#include "platform/WinApp.h"

namespace platform {

void DDX_Check(CDataExchange& dx, int id, int& value) {
  HWND control = dx.m_dlg.GetDlgItem(id);
  if (dx.m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
  if (dx.m_bSaveAndValidate)
    value = dx.m_dlg.GetDlgItemText(id);
  else
    dx.m_dlg.SetDlgItemText(id, value);
}

void DDX_Control(CDataExchange& dx, int id, CWindow& control) {
  if (!control.GetSafeHwnd()) control.Attach(dx.m_dlg.GetDlgItem(id));
}

CDialog::CDialog(UINT templateId) : m_nTemplateId(templateId) {}

CDialog::~CDialog() { DestroyWindow(); }

void CDialog::SetDlgItemText(int id, const std::string& text) const {
  if (GetDlgItemText(id) != text) ::SetDlgItemTextA(m_hWnd, id, text.c_str());
}

std::string CDialog::GetDlgItemText(int id) const { return CWindow(GetDlgItem(id)).GetWindowText(); }

bool CDialog::UpdateData(bool saveAndValidate) {
  if (!m_hWnd) return false;
  CDataExchange dx(*this, saveAndValidate);
  DoDataExchange(dx);
  return true;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CDialog::Create(HWND parent) {
  EnsureCommonControls();
  m_bModal = false;
  HWND hwnd = ::CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_nTemplateId), parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

INT_PTR CDialog::DoModal(HWND owner) {
  EnsureCommonControls();
  if (!owner) owner = MainWindowHandle();
  m_bModal = true;
  m_bEndModal = false;
  m_nModalResult = -1;
  HWND hwnd = ::CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(m_nTemplateId), owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  if (!hwnd) {
    m_bModal = false;
    return -1;
  }
  bool ownerDisabled = owner && ::IsWindowEnabled(owner) && ::EnableWindow(owner, FALSE) == FALSE;
  // Over the window it belongs to, not where the template's 0,0 would put it. A dialog of its
  // own (the main dialog) stays where the template puts it.
  if (!m_bEndModal && m_hWnd && owner) CenterOverOwner(hwnd);
  if (!m_bEndModal && m_hWnd) ::ShowWindow(hwnd, SW_SHOWNORMAL);

  const CActionBudgetPause userAnswers;
  MSG msg;
  while (!m_bEndModal && m_hWnd) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (!RouteDialogMessage(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  // The owner comes back before the dialog goes, so activation returns to it.
  if (ownerDisabled) ::EnableWindow(owner, TRUE);
  DestroyWindow();
  m_bModal = false;
  return m_nModalResult;
}

void CenterOverOwner(HWND hwnd) {
  HWND owner = ::GetWindow(hwnd, GW_OWNER);
  const bool onScreen = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT workArea{};
  if (onScreen && ::GetMonitorInfoA(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
    workArea = monitor.rcWork;
  else
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT around = workArea;
  if (onScreen) ::GetWindowRect(owner, &around);
  RECT own{};
  ::GetWindowRect(hwnd, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG x = (around.left + around.right - width) / 2;
  LONG y = (around.top + around.bottom - height) / 2;
  if (x + width > workArea.right) x = workArea.right - width;
  if (y + height > workArea.bottom) y = workArea.bottom - height;
  if (x < workArea.left) x = workArea.left;
  if (y < workArea.top) y = workArea.top;
  ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialog::RouteDialogMessage(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
  if (!root) return false;
  char className[16] = {};
  ::GetClassNameA(root, className, sizeof(className));
  if (lstrcmpA(className, "#32770") != 0) return false;
  return ::IsDialogMessageA(root, &msg) != FALSE;
}

void CDialog::DestroyWindow() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

void CDialog::EndDialog(int result) {
  if (m_bModal) {
    m_nModalResult = result;
    m_bEndModal = true;
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
  } else if (m_hWnd) {
    ::ShowWindow(m_hWnd, SW_HIDE);
  }
}

namespace {

const char kCommandFailed[] = "コマンドを実行できませんでした。";

// An exception that reached the dialog procedure: one trace line with what it carried, and
// the application box. A failure that repeats while the box is up (a timer's) is traced only.
void ReportFailure(UINT message, const char* what) {
  static bool s_bReporting = false;
  std::printf("CDialog: message 0x%04x failed: %s\n", message, what);
  std::fflush(stdout);
  if (s_bReporting) return;
  s_bReporting = true;
  AppMessageBox(kCommandFailed);
  s_bReporting = false;
}

}  // namespace

namespace {
// Whether a WM_NOTIFY's parameter is a notice of a window of this thread (a control or tool tip
// of ours): memory that can be read, naming such a window. The system carries the pointer to no
// other process, so one another program sends points anywhere.
bool IsOwnNotice(LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  MEMORY_BASIC_INFORMATION memory{};
  if (!header || !::VirtualQuery(header, &memory, sizeof(memory)) || memory.State != MEM_COMMIT) return false;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (!(memory.Protect & kReadable) || (memory.Protect & PAGE_GUARD)) return false;
  const auto end = reinterpret_cast<uintptr_t>(memory.BaseAddress) + memory.RegionSize;
  if (end - reinterpret_cast<uintptr_t>(header) < sizeof(NMHDR)) return false;
  return ::GetWindowThreadProcessId(header->hwndFrom, nullptr) == ::GetCurrentThreadId();
}
}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Two messages carry a pointer of ours: WM_INITDIALOG (the dialog object, once, from the
  // system during creation) and WM_NOTIFY (from the dialog's own controls). Another program can
  // send either with any parameter: a second WM_INITDIALOG, or a notice that is none, is ignored.
  if (message == WM_INITDIALOG && ::GetWindowLongPtrA(hwnd, DWLP_USER)) return FALSE;
  if (message == WM_NOTIFY && !IsOwnNotice(lParam)) return FALSE;
  CDialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    dialog->m_hWnd = hwnd;
  } else {
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (!dialog) return FALSE;
  INT_PTR answer = FALSE;
  // One user action: whatever the handler waits for on other programs shares one budget.
  CActionBudget budget;
  try {
    answer = dialog->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& failure) {
    // No exception may cross into the window manager, and none goes unsaid.
    ReportFailure(message, failure.what());
  } catch (...) {
    ReportFailure(message, "unknown exception");
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    dialog->m_hWnd = nullptr;
  }
  return answer;
}

namespace {
// Messages whose value a dialog procedure returns directly instead of in DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
  return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_INITDIALOG ||
         message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
         message == WM_QUERYDRAGICON;
}
}  // namespace

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  // A top-level dialog hears of its new DPI first, its child dialogs after it.
  if (message == kWmDpiChanged) OnDpiChanged(LOWORD(wParam));
  if (message == kWmDpiChangedAfterParent) OnDpiChanged(WindowDpi(m_hWnd));

  if (!Answers(message)) return FALSE;
  LRESULT result = 0;
  if (ProcessMessage(message, wParam, lParam, result)) {
    if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace platform
