#include "sendmsg/MessageSending.h"

#include <algorithm>
#include <vector>

#include "msglog/MessageDecoding.h"
#include "platform/Format.h"
#include "platform/Messaging.h"
#include "platform/WideText.h"

namespace sendmsg {
namespace {

using msglog::ControlKind;

LPARAM LParamOf(const SendRequest& request) {
  return request.lParam.isText ? reinterpret_cast<LPARAM>(request.lParam.text.c_str())
                               : static_cast<LPARAM>(request.lParam.value);
}

// One bounded Unicode send, its outcome folded into the report.
bool SendOnce(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, SendReport& report) {
  ::SetLastError(ERROR_SUCCESS);
  const platform::SendOutcome outcome = platform::SendMessageWithinW(hwnd, message, wParam, lParam, timeoutMs);
  switch (outcome.status) {
    case platform::SendStatus::Answered:
      report.state = SendState::Answered;
      report.value = outcome.value;
      return true;
    case platform::SendStatus::TimedOut:
      report.state = ::IsHungAppWindow(hwnd) ? SendState::Hung : SendState::TimedOut;
      report.error = ERROR_TIMEOUT;
      return false;
    case platform::SendStatus::Failed:
      report.state = SendState::Failed;
      report.error = ::GetLastError();
      report.reason = ::IsWindow(hwnd) ? platform::Format("the system refused the call (error %lu)", report.error)
                                       : "no such window";
      return false;
  }
  return false;
}

// The text a buffer holds: at most `length` units, up to the first NUL.
std::wstring BufferText(const std::vector<wchar_t>& buffer, LRESULT length) {
  const size_t most = std::min(buffer.size(), static_cast<size_t>(std::max<LRESULT>(length, 0)));
  const auto end = std::find(buffer.begin(), buffer.begin() + most, L'\0');
  return std::wstring(buffer.begin(), end);
}

// A buffer message: Quorvel's buffer as lParam, sized for what the window can write into it.
void SendBufferMessage(HWND hwnd, const SendRequest& request, UINT timeoutMs, SendReport& report) {
  const DWORD start = ::GetTickCount();
  const WPARAM wParam = request.wParam.value;
  std::vector<wchar_t> buffer;
  switch (request.message) {
    case WM_GETTEXT:
      // The window writes at most wParam units, its NUL included.
      buffer.assign(std::max<size_t>(wParam, 1), L'\0');
      break;
    case EM_GETLINE:
      // The first word of the buffer tells the edit control its size.
      buffer.assign(kMaxTextLength + 1, L'\0');
      buffer[0] = static_cast<wchar_t>(kMaxTextLength);
      break;
    default: {  // LB_GETTEXT, CB_GETLBTEXT: sized by the item's length, asked first
      const UINT lengthMessage = request.message == LB_GETTEXT ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
      if (!SendOnce(hwnd, lengthMessage, wParam, 0, timeoutMs, report)) return;
      if (report.value > static_cast<LRESULT>(kMaxTextLength)) {
        report.state = SendState::Refused;
        report.reason = platform::Format("the item's text is longer than %u characters", static_cast<unsigned>(kMaxTextLength));
        return;
      }
      // Twice what is needed: an item that grows meanwhile still fits.
      buffer.assign(2 * (std::max<LRESULT>(report.value, 0) + 1), L'\0');
      break;
    }
  }
  const DWORD spent = ::GetTickCount() - start;
  const UINT left = spent >= timeoutMs ? 1 : timeoutMs - spent;
  if (!SendOnce(hwnd, request.message, wParam, reinterpret_cast<LPARAM>(buffer.data()), left, report)) return;
  report.hasText = true;
  LRESULT length = report.value;
  if (request.message == WM_GETTEXT) length = std::min<LRESULT>(length, static_cast<LRESULT>(buffer.size()) - 1);
  report.text = BufferText(buffer, length);
}

}  // namespace

std::string RefusedTarget(HWND hwnd) {
  if (!hwnd || !::IsWindow(hwnd)) return "no such window";
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == ::GetCurrentProcessId()) return "the window is one of Quorvel's own";
  return "";
}

ControlKind ControlKindOfWindow(HWND hwnd) {
  wchar_t name[256] = {};
  if (!::GetClassNameW(hwnd, name, 256)) return ControlKind::None;
  return msglog::ControlKindOf(platform::Utf8FromWide(name));
}

SendReport SendRequestTo(HWND hwnd, const SendRequest& request, UINT timeoutMs) {
  SendReport report;
  report.reason = RefusedTarget(hwnd);
  if (!report.reason.empty()) {
    report.state = ::IsWindow(hwnd) ? SendState::Refused : SendState::Failed;
    return report;
  }
  const DWORD start = ::GetTickCount();
  if (request.shape == ParamShape::Buffer)
    SendBufferMessage(hwnd, request, timeoutMs, report);
  else
    SendOnce(hwnd, request.message, request.wParam.value, LParamOf(request), timeoutMs, report);
  report.elapsedMs = ::GetTickCount() - start;
  return report;
}

SendReport PostRequestTo(HWND hwnd, const SendRequest& request) {
  SendReport report;
  report.reason = RefusedTarget(hwnd);
  if (!report.reason.empty()) {
    report.state = ::IsWindow(hwnd) ? SendState::Refused : SendState::Failed;
    return report;
  }
  if (request.lParam.isText || request.shape == ParamShape::Buffer) {
    report.state = SendState::Refused;
    report.reason = "a posted message carries no text or buffer";
    return report;
  }
  if (::PostMessageW(hwnd, request.message, request.wParam.value, static_cast<LPARAM>(request.lParam.value))) {
    report.state = SendState::Posted;
    return report;
  }
  report.error = ::GetLastError();
  report.state = SendState::Failed;
  report.reason = platform::Format("the system refused to post it (error %lu)", report.error);
  return report;
}

std::string ResultNumberText(LRESULT value) {
  return platform::Format("%ld (0x%08lx)", static_cast<long>(value), static_cast<unsigned long>(value));
}

std::string ResultMeaning(HWND hwnd, const SendRequest& request, const SendReport& report) {
  if (report.state != SendState::Answered) return "";
  msglog::Payload payload;
  msglog::MessageView view;
  view.kind = 'R';
  view.message = request.message;
  view.hwnd = reinterpret_cast<uintptr_t>(hwnd);
  view.wParam = request.wParam.value;
  view.lParam = request.lParam.isText ? 0 : request.lParam.value;
  view.result = static_cast<uint32_t>(report.value);
  view.unicodeWindow = ::IsWindowUnicode(hwnd) != FALSE;
  view.windowKind = request.kind;
  if (report.hasText || request.lParam.isText) {
    payload.kind = msglog::Payload::Text;
    payload.text = platform::Utf8FromWide(report.hasText ? report.text : request.lParam.text);
    view.payload = &payload;
  }
  std::string meaning = msglog::DecodeContent(view, [](uint64_t window) {
    return ControlKindOfWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(window)));
  });
  // The log decodes only what the window's text messages carry; the other buffers read the same way.
  if (meaning.empty() && report.hasText) meaning = "\"" + payload.text + "\"";
  return meaning;
}

std::string StateText(const SendReport& report, UINT timeoutMs) {
  switch (report.state) {
    case SendState::Answered: return "answered";
    case SendState::Posted: return "posted";
    case SendState::TimedOut: return platform::Format("no answer within %u ms", timeoutMs);
    case SendState::Hung: return "the window is hung (no answer)";
    case SendState::Failed:
    case SendState::Refused: return report.reason;
  }
  return report.reason;
}

}  // namespace sendmsg
