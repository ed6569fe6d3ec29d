#include "sendmsg/SendMessageDlg.h"

#include <thread>

#include "platform/Format.h"
#include "platform/ViewPlacement.h"
#include "platform/ViewRequests.h"
#include "platform/WideText.h"
#include "res/resource.h"

namespace sendmsg {
namespace {

constexpr char kDefaultTimeout[] = "5000";
// The longest a typed field is read: longer than any text the rules accept, so the rules say why.
constexpr int kMaxFieldLength = 2 * static_cast<int>(kMaxTextLength) + 8;

bool StartsWithCaseAside(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const char a = text[i] >= 'a' && text[i] <= 'z' ? text[i] - 'a' + 'A' : text[i];
    const char b = prefix[i] >= 'a' && prefix[i] <= 'z' ? prefix[i] - 'a' + 'A' : prefix[i];
    if (a != b) return false;
  }
  return true;
}

}  // namespace

std::string CompleteMessageName(const std::vector<std::string>& names, const std::string& typed) {
  if (typed.empty()) return "";
  for (const std::string& name : names)
    if (StartsWithCaseAside(name, typed)) return name;
  return "";
}

std::string ResultText(const SendReport& report, const std::string& meaning, UINT timeoutMs) {
  std::string text;
  if (report.state == SendState::Answered) {
    text = u8"結果: " + ResultNumberText(report.value) + "\r\n";
    if (!meaning.empty()) text += u8"内容: " + meaning + "\r\n";
  }
  const bool failed = report.state != SendState::Answered && report.state != SendState::Posted;
  text += (failed ? u8"エラー: " : u8"状態: ") + StateText(report, timeoutMs);
  if (report.error && report.state == SendState::Failed) text += platform::Format(" [%lu]", report.error);
  if (report.state != SendState::Posted && report.state != SendState::Refused)
    text += platform::Format(" (%lu ms)", report.elapsedMs);
  return text;
}

std::string HistoryLine(const TypedSend& typed, const SendReport& report) {
  std::string line = std::string(typed.post ? u8"ポスト " : u8"送信 ") + typed.message + "  wParam=" +
                     (typed.wParam.empty() ? "0" : typed.wParam) + "  lParam=" + (typed.lParam.empty() ? "0" : typed.lParam) +
                     "  -> ";
  switch (report.state) {
    case SendState::Answered: return line + ResultNumberText(report.value);
    case SendState::Posted: return line + "posted";
    default: return line + StateText(report, 0);
  }
}

CSendMessageDlg::CSendMessageDlg(HWND target)
    : CDialogT(IDD_SENDMESSAGE), m_hTarget(target), m_shared(std::make_shared<Shared>()) {}

CSendMessageDlg::~CSendMessageDlg() { DestroyWindow(); }

CSendMessageDlg::MessageMapView CSendMessageDlg::MessageMap() {
  static const MessageEntry kMap[] = {
      OnCommand(IDC_SM_SEND, BN_CLICKED, &CSendMessageDlg::OnSend),
      OnCommand(IDC_SM_POST, BN_CLICKED, &CSendMessageDlg::OnPost),
      OnCommand(IDC_SM_MESSAGE, CBN_EDITCHANGE, &CSendMessageDlg::OnMessageEdited),
      OnCommand(IDC_SM_HISTORY, LBN_DBLCLK, &CSendMessageDlg::OnHistoryPick),
      OnCommand(IDC_SM_MARKLOG, BN_CLICKED, &CSendMessageDlg::OnMarkLog),
      OnMessage(kSendDoneMessage, &CSendMessageDlg::OnSendDone),
      OnMessage(WM_SIZE, &CSendMessageDlg::OnSize),
      OnMessage(WM_GETMINMAXINFO, &CSendMessageDlg::OnGetMinMaxInfo),
  };
  return kMap;
}

BOOL CSendMessageDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetWindowTextA(GetSafeHwnd(),
                   platform::Format("メッセージ送信 (%s)", platform::FormatHandle(m_hTarget).c_str()).c_str());
  m_kind = ControlKindOfWindow(m_hTarget);
  {
    std::lock_guard<std::mutex> hold(m_shared->lock);
    m_shared->dialog = GetSafeHwnd();
  }
  // The window's class's own messages first, then every window message, then the other controls'.
  m_names = msglog::MessageNamesFor(m_kind, true);
  HWND combo = GetDlgItem(IDC_SM_MESSAGE);
  for (const std::string& name : m_names) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  for (int id : {IDC_SM_WPARAM, IDC_SM_LPARAM}) ::SendDlgItemMessageA(GetSafeHwnd(), id, EM_LIMITTEXT, kMaxFieldLength, 0);
  ::SendMessageA(combo, CB_LIMITTEXT, 80, 0);
  SetDlgItemText(IDC_SM_TIMEOUT, kDefaultTimeout);
  SetDlgItemText(IDC_SM_WPARAM, "0");
  SetDlgItemText(IDC_SM_LPARAM, "0");
  m_anchors.Attach(GetSafeHwnd(), {{IDC_SM_MESSAGE, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_WPARAM, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_LPARAM, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_SEND, platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_POST, platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_RESULT, platform::kAnchorLeft | platform::kAnchorTop | platform::kAnchorRight},
                                   {IDC_SM_HISTORY, platform::kAnchorAll}});
  return TRUE;
}

std::string CSendMessageDlg::FieldText(int id) const {
  HWND field = GetDlgItem(id);
  const int length = ::GetWindowTextLengthW(field);
  if (length <= 0) return "";
  std::wstring text(static_cast<size_t>(std::min(length, kMaxFieldLength)) + 1, L'\0');
  const int read = ::GetWindowTextW(field, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(read, 0)));
  return platform::Utf8FromWide(text);
}

void CSendMessageDlg::SetFieldText(int id, const std::string& utf8) {
  ::SetWindowTextW(GetDlgItem(id), platform::WideFromUtf8(utf8).c_str());
}

TypedSend CSendMessageDlg::ReadFields() const {
  return TypedSend{FieldText(IDC_SM_MESSAGE), FieldText(IDC_SM_WPARAM), FieldText(IDC_SM_LPARAM), false};
}

std::optional<SendRequest> CSendMessageDlg::Prepare(const TypedSend& typed, UINT* timeoutMs) {
  std::string reason;
  std::optional<SendRequest> request = ParseRequest(typed.message, typed.wParam, typed.lParam, m_kind, typed.post, &reason);
  std::optional<uint32_t> bound = 0;
  if (request && !typed.post) bound = ParseTimeout(FieldText(IDC_SM_TIMEOUT), &reason);
  if (!request || !bound) {
    SetFieldText(IDC_SM_RESULT, u8"エラー: " + reason);
    return std::nullopt;
  }
  *timeoutMs = *bound;
  return request;
}

void CSendMessageDlg::MarkInLog(uint32_t message) {
  if (::IsDlgButtonChecked(GetSafeHwnd(), IDC_SM_MARKLOG) != BST_CHECKED) return;
  platform::RequestMarkSent(GetSafeHwnd(), m_hTarget, message);
}

void CSendMessageDlg::OnSend() {
  TypedSend typed = ReadFields();
  UINT timeoutMs = 0;
  const std::optional<SendRequest> request = Prepare(typed, &timeoutMs);
  if (!request) return;
  const std::string refused = RefusedTarget(m_hTarget);
  if (!refused.empty()) {
    SetFieldText(IDC_SM_RESULT, u8"エラー: " + refused);
    return;
  }
  MarkInLog(request->message);
  const unsigned generation = ++m_generation;
  m_pending.push_back({generation, typed, *request, timeoutMs});
  SetFieldText(IDC_SM_RESULT, platform::Format(u8"送信中… (待ち時間 %u ms)", timeoutMs));
  // The worker owns copies of everything it needs; a dialog closed meanwhile gets no answer.
  std::shared_ptr<Shared> shared = m_shared;
  const HWND target = m_hTarget;
  const SendRequest copy = *request;
  try {
    std::thread([shared, generation, target, copy, timeoutMs] {
      SendReport report = SendRequestTo(target, copy, timeoutMs);
      std::lock_guard<std::mutex> hold(shared->lock);
      if (!shared->dialog) return;
      shared->done.emplace_back(generation, std::move(report));
      ::PostMessageA(shared->dialog, kSendDoneMessage, generation, 0);
    }).detach();
  } catch (const std::system_error&) {
    m_pending.pop_back();
    SetFieldText(IDC_SM_RESULT, u8"エラー: the system refused a thread for the send");
  }
}

void CSendMessageDlg::OnPost() {
  TypedSend typed = ReadFields();
  typed.post = true;
  UINT timeoutMs = 0;
  const std::optional<SendRequest> request = Prepare(typed, &timeoutMs);
  if (!request) return;
  MarkInLog(request->message);
  Finish(typed, *request, PostRequestTo(m_hTarget, *request), 0);
}

std::optional<LRESULT> CSendMessageDlg::OnSendDone(WPARAM, LPARAM) {
  std::vector<std::pair<unsigned, SendReport>> done;
  {
    std::lock_guard<std::mutex> hold(m_shared->lock);
    done.swap(m_shared->done);
  }
  for (auto& [generation, report] : done) {
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
      if (it->generation != generation) continue;
      const Pending pending = *it;
      m_pending.erase(it);
      // Every send goes into the history; the result box shows the latest one asked for.
      if (generation == m_generation) Finish(pending.typed, pending.request, report, pending.timeoutMs);
      else {
        m_history.push_back(pending.typed);
        ::SendDlgItemMessageW(GetSafeHwnd(), IDC_SM_HISTORY, LB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(platform::WideFromUtf8(HistoryLine(pending.typed, report)).c_str()));
      }
      break;
    }
  }
  return 0;
}

void CSendMessageDlg::Finish(const TypedSend& typed, const SendRequest& request, const SendReport& report, UINT timeoutMs) {
  SetFieldText(IDC_SM_RESULT, ResultText(report, ResultMeaning(m_hTarget, request, report), timeoutMs));
  HWND history = GetDlgItem(IDC_SM_HISTORY);
  if (m_history.size() >= kMaxHistory) {
    m_history.erase(m_history.begin());
    ::SendMessageW(history, LB_DELETESTRING, 0, 0);
  }
  m_history.push_back(typed);
  const LRESULT row = ::SendMessageW(history, LB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(platform::WideFromUtf8(HistoryLine(typed, report)).c_str()));
  if (row >= 0) ::SendMessageW(history, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
}

void CSendMessageDlg::OnMessageEdited() {
  // Completes a name as it is typed, the completed part selected so the next key replaces it;
  // a key that shortened the text (Backspace, Delete) is left alone.
  const std::string typed = FieldText(IDC_SM_MESSAGE);
  const bool grew = typed.size() > m_typedLength;
  m_typedLength = typed.size();
  if (!grew) return;
  const std::string name = CompleteMessageName(m_names, typed);
  if (name.empty() || name.size() == typed.size()) return;
  SetFieldText(IDC_SM_MESSAGE, name);
  ::SendDlgItemMessageA(GetSafeHwnd(), IDC_SM_MESSAGE, CB_SETEDITSEL, 0,
                        MAKELPARAM(typed.size(), name.size()));
}

void CSendMessageDlg::OnHistoryPick() {
  const LRESULT row = ::SendDlgItemMessageA(GetSafeHwnd(), IDC_SM_HISTORY, LB_GETCURSEL, 0, 0);
  if (row < 0 || static_cast<size_t>(row) >= m_history.size()) return;
  const TypedSend& typed = m_history[static_cast<size_t>(row)];
  SetFieldText(IDC_SM_MESSAGE, typed.message);
  m_typedLength = typed.message.size();
  SetFieldText(IDC_SM_WPARAM, typed.wParam);
  SetFieldText(IDC_SM_LPARAM, typed.lParam);
}

void CSendMessageDlg::OnMarkLog() {
  if (::IsDlgButtonChecked(GetSafeHwnd(), IDC_SM_MARKLOG) != BST_CHECKED) return;
  platform::RequestView(GetSafeHwnd(), platform::kOpenMessageLogMessage, m_hTarget);
  // The log opens beside the main dialog; it moves beside this dialog, so both are in sight,
  // and this one stays in front to be typed into.
  const std::string caption = platform::Format("メッセージログ (%s)", platform::FormatHandle(m_hTarget).c_str());
  if (HWND log = ::FindWindowA("#32770", caption.c_str())) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(log, &pid);
    if (pid == ::GetCurrentProcessId()) platform::PlaceBesideOwner(log, GetSafeHwnd(), 0);
  }
  ::SetForegroundWindow(GetSafeHwnd());
}

std::optional<LRESULT> CSendMessageDlg::OnSize(WPARAM wParam, LPARAM lParam) {
  if (wParam != SIZE_MINIMIZED) m_anchors.LayOut(LOWORD(lParam), HIWORD(lParam));
  return std::nullopt;
}

std::optional<LRESULT> CSendMessageDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  if (!m_anchors.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam))) return std::nullopt;
  return 0;
}

void CSendMessageDlg::OnClosing() {
  std::lock_guard<std::mutex> hold(m_shared->lock);
  m_shared->dialog = nullptr;
}

}  // namespace sendmsg
