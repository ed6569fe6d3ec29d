// The inspector's snapshot of the target's children: each child's class, place in the tree,
// state and text, read without waiting long on the children's programs.
#include "inspector/ChildInfomationDlg.h"
#include "platform/Messaging.h"
#include "platform/Target.h"
#include "platform/WindowWalk.h"

namespace {
constexpr int kTextBufferSize = 512;
}  // namespace

void CChildInfomationDlg::CollectChildren() {
  m_children.clear();
  m_silentThreads.clear();
  // A handle that is no window (the no-target value among them) has no children to list.
  if (platform::IsLiveTarget(m_hParent))
    platform::ForEachChildWindow(m_hParent, [this](HWND hwnd) {
      AddChild(hwnd);
      return true;
    });
  m_silentThreads.clear();
}

void CChildInfomationDlg::AddChild(HWND hwnd) {
  CChildWindowItem item;
  item.hwnd = hwnd;
  wchar_t className[kTextBufferSize] = {};
  ::GetClassNameW(hwnd, className, kTextBufferSize - 1);
  item.className = className;
  item.parent = ::GetParent(hwnd);
  item.ctrlId = ::GetDlgCtrlID(hwnd);
  item.visible = ::IsWindowVisible(hwnd);
  item.enabled = ::IsWindowEnabled(hwnd);
  item.text = ReadChildText(hwnd);
  m_children.push_back(std::move(item));
}

// A window that answers WM_GETTEXT with a length may not have written that much (or anything):
// what the system carried back beyond that is stale. The length it gives for its text bounds it.
LRESULT CChildInfomationDlg::ConfirmedLength(HWND hwnd, LRESULT written) {
  if (written <= 0) return written;
  const platform::SendOutcome length =
      platform::SendMessageWithinW(hwnd, WM_GETTEXTLENGTH, 0, 0, platform::kReadTimeoutMs);
  if (length.status != platform::SendStatus::Answered) return written;
  return length.value < written ? length.value : written;
}

// WM_GETTEXT with a bound. A thread that let it time out is not waited for again in this
// update: its windows' texts come from GetWindowTextW, which does not wait for another program.
// Only what the window says it wrote is taken, never beyond the buffer.
std::wstring CChildInfomationDlg::ReadChildText(HWND hwnd) {
  // Read as Unicode: an ANSI request crosses processes converted, and the conversion of a
  // length the window lied about reads past what it wrote.
  wchar_t text[kTextBufferSize] = {};
  constexpr size_t kOffered = kTextBufferSize - 1;  // the last one stays 0 whatever is written
  const DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
  if (m_silentThreads.count(thread) == 0) {
    const platform::SendOutcome sent = platform::SendMessageWithinW(hwnd, WM_GETTEXT, kOffered,
                                                                    reinterpret_cast<LPARAM>(text), platform::kReadTimeoutMs);
    if (sent.status == platform::SendStatus::Answered)
      return inspector::WrittenText(text, kOffered, ConfirmedLength(hwnd, sent.value));
    if (sent.status == platform::SendStatus::TimedOut && thread != 0) m_silentThreads.insert(thread);
  }
  text[0] = L'\0';
  const int length = ::GetWindowTextW(hwnd, text, static_cast<int>(kOffered));
  return inspector::WrittenText(text, kOffered, length);
}
