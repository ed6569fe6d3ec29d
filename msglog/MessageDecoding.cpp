#include "msglog/MessageDecoding.h"

#include <windows.h>

#include "platform/Format.h"
#include "platform/WideText.h"

namespace msglog {
namespace {

int LowSigned(uint64_t value) { return static_cast<short>(value & 0xFFFF); }
int HighSigned(uint64_t value) { return static_cast<short>((value >> 16) & 0xFFFF); }

std::string HandleValue(uint64_t value) { return FormatValue(value); }

// The MK_ keys held in a mouse message's wParam.
std::string MouseKeys(uint32_t keys) {
  static const struct {
    uint32_t bit;
    const char* name;
  } kKeys[] = {{MK_LBUTTON, "MK_LBUTTON"}, {MK_RBUTTON, "MK_RBUTTON"},   {MK_SHIFT, "MK_SHIFT"},
               {MK_CONTROL, "MK_CONTROL"}, {MK_MBUTTON, "MK_MBUTTON"},   {0x20, "MK_XBUTTON1"},
               {0x40, "MK_XBUTTON2"}};
  std::string names;
  for (const auto& key : kKeys)
    if (keys & key.bit) names += (names.empty() ? "" : "|") + std::string(key.name);
  return names;
}

// A typed character: quoted when it can be shown, always with its code.
std::string CharacterText(uint64_t wParam, bool unicode) {
  const uint32_t code = static_cast<uint32_t>(wParam);
  std::string shown;
  if (code >= 0x20 && code != 0x7F) {
    if (unicode && code <= 0xFFFF) {
      const wchar_t unit = static_cast<wchar_t>(code);
      shown = platform::Utf8FromWide(std::wstring_view(&unit, 1));
    } else if (!unicode && code < 0x80) {
      shown = std::string(1, static_cast<char>(code));
    } else if (!unicode && code <= 0xFFFF) {
      // A double-byte character comes as one value, lead byte high.
      const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
      wchar_t unit = 0;
      if (code > 0xFF && ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, 2, &unit, 1) == 1)
        shown = platform::Utf8FromWide(std::wstring_view(&unit, 1));
    }
  }
  std::string text = platform::Format("0x%02x", code);
  return shown.empty() ? text : "'" + shown + "' " + text;
}

std::string KeyText(const MessageView& view) {
  const uint32_t lParam = static_cast<uint32_t>(view.lParam);
  const bool up = (lParam >> 31) & 1;
  return platform::Format("%s repeat=%u %s", VirtualKeyName(static_cast<uint32_t>(view.wParam)).c_str(),
                          lParam & 0xFFFF, up ? "up" : "down");
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string WindowPosText(const Payload& pos) {
  std::string text = platform::Format("x=%d y=%d w=%d h=%d %s", pos.x, pos.y, pos.cx, pos.cy,
                                      WindowPosFlagNames(pos.flags).c_str());
  if (!(pos.flags & SWP_NOZORDER)) text += " after=" + HandleValue(pos.insertAfter);
  return text;
}

std::string CommandText(const MessageView& view, const KindOfWindow& kindOf) {
  const uint32_t id = view.wParam & 0xFFFF;
  const uint32_t code = (view.wParam >> 16) & 0xFFFF;
  if (view.lParam == 0) return platform::Format("id=%u %s", id, code == 1 ? "accelerator" : "menu");
  std::string name = CommandCodeName(code, kindOf ? kindOf(view.lParam) : ControlKind::None);
  if (name.empty()) name = platform::Format("code=0x%04x", code);
  return platform::Format("id=%u %s control=%s", id, name.c_str(), HandleValue(view.lParam).c_str());
}

std::string NotifyText(const MessageView& view, const KindOfWindow& kindOf) {
  if (!view.payload || view.payload->kind != Payload::Notify) return platform::Format("id=%u", static_cast<uint32_t>(view.wParam));
  const Payload& header = *view.payload;
  std::string name = NotifyCodeName(header.code, kindOf ? kindOf(header.hwndFrom) : ControlKind::None);
  if (name.empty()) name = platform::Format("code=%d", static_cast<int>(header.code));
  return platform::Format("id=%u %s control=%s", static_cast<uint32_t>(header.idFrom), name.c_str(),
                          HandleValue(header.hwndFrom).c_str());
}

std::string SizeText(uint64_t wParam, uint64_t lParam) {
  static const char* const kTypes[] = {"SIZE_RESTORED", "SIZE_MINIMIZED", "SIZE_MAXIMIZED", "SIZE_MAXSHOW", "SIZE_MAXHIDE"};
  std::string type = wParam < 5 ? kTypes[wParam] : platform::Format("type=%u", static_cast<uint32_t>(wParam));
  return platform::Format("w=%u h=%u ", static_cast<uint32_t>(lParam & 0xFFFF),
                          static_cast<uint32_t>((lParam >> 16) & 0xFFFF)) + type;
}

std::string ActivateText(uint64_t wParam, uint64_t lParam) {
  static const char* const kStates[] = {"WA_INACTIVE", "WA_ACTIVE", "WA_CLICKACTIVE"};
  const uint32_t state = wParam & 0xFFFF;
  std::string text = state < 3 ? kStates[state] : platform::Format("state=%u", state);
  if ((wParam >> 16) & 0xFFFF) text += " minimized";
  return text + " other=" + HandleValue(lParam);
}

std::string ShowWindowText(uint64_t wParam, uint64_t lParam) {
  static const char* const kStatus[] = {"", " SW_PARENTCLOSING", " SW_OTHERZOOM", " SW_PARENTOPENING", " SW_OTHERUNZOOM"};
  return std::string(wParam ? "shown" : "hidden") + (lParam < 5 ? kStatus[lParam] : "");
}

// The non-client mouse messages: a hit-test code in wParam (an X button's in its low word) and
// the point in screen coordinates.
bool IsNonClientMouseMessage(uint32_t message) {
  return (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) ||
         (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER;
}

std::string PointText(uint64_t lParam) { return platform::Format("x=%d y=%d", LowSigned(lParam), HighSigned(lParam)); }

bool IsMouseMessage(uint32_t message) {
  return (message >= WM_MOUSEMOVE && message <= WM_XBUTTONDBLCLK) || message == WM_MOUSEHWHEEL;
}

}  // namespace

std::string FormatValue(uint64_t value) {
  if (value > 0xFFFFFFFFull)
    return platform::Format("0x%08lx%08lx", static_cast<unsigned long>(value >> 32), static_cast<unsigned long>(value & 0xFFFFFFFF));
  return platform::FormatHex32(static_cast<DWORD>(value));
}

std::string FormatSeconds(uint64_t milliseconds) {
  return platform::Format("%lu.%03u", static_cast<unsigned long>(milliseconds / 1000), static_cast<unsigned>(milliseconds % 1000));
}

std::string DecodeContent(const MessageView& view, const KindOfWindow& kindOf) {
  const uint32_t message = view.message;
  const Payload* payload = view.payload;
  if (IsMouseMessage(message)) {
    std::string text = platform::Format("x=%d y=%d", LowSigned(view.lParam), HighSigned(view.lParam));
    uint32_t keys = view.wParam & 0xFFFF;
    if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) text += platform::Format(" delta=%d", HighSigned(view.wParam));
    const std::string held = MouseKeys(keys);
    return held.empty() ? text : text + " " + held;
  }
  if (IsNonClientMouseMessage(message)) {
    const bool xButton = message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK;
    const int32_t code = xButton ? LowSigned(view.wParam) : static_cast<int32_t>(view.wParam);
    std::string text = PointText(view.lParam) + " " + HitTestName(code);
    if (xButton) text += platform::Format(" XBUTTON%d", HighSigned(view.wParam));
    return text;
  }
  switch (message) {
    case WM_NCHITTEST:
      return view.kind == 'R' ? PointText(view.lParam) + " " + HitTestName(static_cast<int32_t>(view.result))
                              : PointText(view.lParam);
    case WM_SETCURSOR:
      return "window=" + HandleValue(view.wParam) + " " + HitTestName(LowSigned(view.lParam)) + " " +
             MessageName(static_cast<uint32_t>((view.lParam >> 16) & 0xFFFF), ControlKind::None, nullptr);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return KeyText(view);
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_IME_CHAR:
      return CharacterText(view.wParam, view.unicodeWindow);
    case WM_SETTEXT:
      return payload && payload->kind == Payload::Text ? Quoted(payload->text) : "";
    case WM_GETTEXT:
      if (view.kind != 'R') return platform::Format("max=%u", static_cast<uint32_t>(view.wParam));
      return payload && payload->kind == Payload::Text ? Quoted(payload->text) : "\"\"";
    case WM_SIZE:
      return SizeText(view.wParam, view.lParam);
    case WM_MOVE:
      return platform::Format("x=%d y=%d", LowSigned(view.lParam), HighSigned(view.lParam));
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      return payload && payload->kind == Payload::WindowPos ? WindowPosText(*payload) : "";
    case WM_STYLECHANGING:
    case WM_STYLECHANGED: {
      const int which = static_cast<int>(static_cast<int32_t>(view.wParam));
      std::string word = which == GWL_STYLE ? "GWL_STYLE" : which == GWL_EXSTYLE ? "GWL_EXSTYLE" : platform::Format("%d", which);
      if (!payload || payload->kind != Payload::Styles) return word;
      return word + " old=" + platform::FormatHex32(payload->oldStyle) + " new=" + platform::FormatHex32(payload->newStyle);
    }
    case WM_COMMAND:
      return CommandText(view, kindOf);
    case WM_NOTIFY:
      return NotifyText(view, kindOf);
    case WM_SYSCOMMAND: {
      std::string name = SysCommandName(static_cast<uint32_t>(view.wParam));
      return name.empty() ? platform::Format("0x%04x", static_cast<uint32_t>(view.wParam)) : name;
    }
    case WM_TIMER:
      return platform::Format("id=%u", static_cast<uint32_t>(view.wParam));
    case WM_ACTIVATE:
      return ActivateText(view.wParam, view.lParam);
    case WM_SHOWWINDOW:
      return ShowWindowText(view.wParam, view.lParam);
    case WM_SETFOCUS:
      return "previous=" + HandleValue(view.wParam);
    case WM_KILLFOCUS:
      return "next=" + HandleValue(view.wParam);
    default:
      return "";
  }
}

}  // namespace msglog
