#include "sendmsg/MessageArguments.h"

#include <windows.h>

#include "platform/Format.h"
#include "platform/WideText.h"

namespace sendmsg {
namespace {

using msglog::ControlKind;

// The longest number worth reading: "-0x" and eight digits, or eleven decimal digits with a sign,
// with room for leading zeros.
constexpr size_t kMaxNumberLength = 24;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A decimal or 0x-hex number with an optional sign, as a signed 64-bit value; false for anything
// else (and for more digits than any 32-bit value needs).
bool ParseNumber(const std::string& text, int64_t* value) {
  if (text.empty() || text.size() > kMaxNumberLength) return false;
  size_t i = 0;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  int base = 10;
  if (text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  int64_t result = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    result = result * base + digit;
    if (result > 0xFFFFFFFFll * 16) return false;  // far out of range already; stop before overflow
  }
  *value = negative ? -result : result;
  return true;
}

struct MessageShape {
  uint32_t message;
  ControlKind kind;  // None: any window
  ParamShape shape;
};

// The messages whose lParam the system copies into the receiving process as a text, or fills
// there and copies back; every other lParam crosses as a bare number.
const MessageShape kShapes[] = {
    {WM_SETTEXT, ControlKind::None, ParamShape::Text},
    {WM_GETTEXT, ControlKind::None, ParamShape::Buffer},
    {EM_REPLACESEL, ControlKind::Edit, ParamShape::Text},
    {EM_GETLINE, ControlKind::Edit, ParamShape::Buffer},
    {LB_ADDSTRING, ControlKind::ListBox, ParamShape::Text},
    {LB_INSERTSTRING, ControlKind::ListBox, ParamShape::Text},
    {LB_FINDSTRING, ControlKind::ListBox, ParamShape::Text},
    {LB_FINDSTRINGEXACT, ControlKind::ListBox, ParamShape::Text},
    {LB_SELECTSTRING, ControlKind::ListBox, ParamShape::Text},
    {LB_DIR, ControlKind::ListBox, ParamShape::Text},
    {LB_ADDFILE, ControlKind::ListBox, ParamShape::Text},
    {LB_GETTEXT, ControlKind::ListBox, ParamShape::Buffer},
    {CB_ADDSTRING, ControlKind::ComboBox, ParamShape::Text},
    {CB_INSERTSTRING, ControlKind::ComboBox, ParamShape::Text},
    {CB_FINDSTRING, ControlKind::ComboBox, ParamShape::Text},
    {CB_FINDSTRINGEXACT, ControlKind::ComboBox, ParamShape::Text},
    {CB_SELECTSTRING, ControlKind::ComboBox, ParamShape::Text},
    {CB_DIR, ControlKind::ComboBox, ParamShape::Text},
    {CB_GETLBTEXT, ControlKind::ComboBox, ParamShape::Buffer},
};

const ControlKind kControlKinds[] = {
    ControlKind::Button,  ControlKind::Edit,   ControlKind::ListBox,  ControlKind::ComboBox,
    ControlKind::Static,  ControlKind::ScrollBar, ControlKind::ListView, ControlKind::TreeView,
    ControlKind::Header,  ControlKind::Tab,    ControlKind::Toolbar,  ControlKind::StatusBar,
    ControlKind::Progress, ControlKind::Trackbar, ControlKind::UpDown,
};

std::string MessageText(uint32_t message, ControlKind kind) { return msglog::MessageName(message, kind, nullptr); }

}  // namespace

ParamShape LParamShape(uint32_t message, ControlKind kind) {
  for (const MessageShape& entry : kShapes)
    if (entry.message == message && (entry.kind == ControlKind::None || entry.kind == kind)) return entry.shape;
  return ParamShape::Value;
}

std::optional<TypedMessage> ParseMessage(const std::string& typed, std::string* reason) {
  const std::string text = Trimmed(typed);
  if (text.empty()) {
    *reason = "no message given";
    return std::nullopt;
  }
  int64_t number = 0;
  if ((text[0] >= '0' && text[0] <= '9') || text[0] == '-' || text[0] == '+') {
    if (!ParseNumber(text, &number)) {
      *reason = "not a message number: " + text;
      return std::nullopt;
    }
    if (number < 0 || number > 0xFFFF) {
      *reason = "message numbers go from 0 to 0xFFFF: " + text;
      return std::nullopt;
    }
    return TypedMessage{static_cast<uint32_t>(number), ControlKind::None};
  }
  uint32_t message = 0;
  if (text.size() > 64 || !msglog::MessageFromName(text, &message)) {
    *reason = "no message of that name: " + text.substr(0, 64);
    return std::nullopt;
  }
  TypedMessage result{message, ControlKind::None};
  // A control's message keeps the control it belongs to: its number means something else to
  // any other window.
  const std::string canonical = MessageText(message, ControlKind::None);
  if (lstrcmpiA(canonical.c_str(), text.c_str()) != 0)
    for (ControlKind kind : kControlKinds)
      if (lstrcmpiA(MessageText(message, kind).c_str(), text.c_str()) == 0) {
        result.named = kind;
        break;
      }
  return result;
}

std::optional<Parameter> ParseParameter(const std::string& typed, std::string* reason) {
  Parameter parameter;
  const std::string text = Trimmed(typed);
  if (text.empty()) return parameter;
  if (text[0] == '"') {
    if (text.size() < 2 || text.back() != '"') {
      *reason = "a text must end with a double quote";
      return std::nullopt;
    }
    parameter.isText = true;
    parameter.text = platform::WideFromUtf8(std::string_view(text).substr(1, text.size() - 2));
    if (parameter.text.size() > kMaxTextLength) {
      *reason = platform::Format("a text may hold at most %u characters", static_cast<unsigned>(kMaxTextLength));
      return std::nullopt;
    }
    return parameter;
  }
  int64_t number = 0;
  if (!ParseNumber(text, &number)) {
    *reason = "not a number (decimal, 0x hex, or a text in double quotes): " + text.substr(0, 40);
    return std::nullopt;
  }
  if (number < INT32_MIN || number > 0xFFFFFFFFll) {
    *reason = "out of range (a 32-bit value, -2147483648 to 0xFFFFFFFF): " + text;
    return std::nullopt;
  }
  parameter.value = static_cast<uint32_t>(number);
  return parameter;
}

std::optional<SendRequest> PrepareRequest(uint32_t message, ControlKind kind, const Parameter& wParam,
                                          const Parameter& lParam, bool post, std::string* reason) {
  SendRequest request{message, kind, wParam, lParam, LParamShape(message, kind)};
  const std::string name = MessageText(message, kind);
  if (wParam.isText) {
    *reason = "wParam of " + name + " is a number; a text means nothing to another program";
    return std::nullopt;
  }
  switch (request.shape) {
    case ParamShape::Value:
      if (lParam.isText) {
        *reason = name + " carries no text: the system would pass a pointer into Quorvel, which means nothing "
                         "to another program";
        return std::nullopt;
      }
      break;
    case ParamShape::Text:
      if (post && lParam.isText) {
        *reason = "a posted message carries no text (the system copies texts only for sent messages)";
        return std::nullopt;
      }
      break;
    case ParamShape::Buffer:
      if (lParam.isText || lParam.value != 0) {
        *reason = "lParam of " + name + " is the buffer Quorvel lends it; give 0 or nothing";
        return std::nullopt;
      }
      if (post) {
        *reason = name + " fills a buffer, which a posted message cannot carry back";
        return std::nullopt;
      }
      if (message == WM_GETTEXT && wParam.value > kMaxTextLength + 1) {
        *reason = platform::Format("WM_GETTEXT reads at most %u characters", static_cast<unsigned>(kMaxTextLength + 1));
        return std::nullopt;
      }
      break;
  }
  return request;
}

std::optional<uint32_t> ParseTimeout(const std::string& typed, std::string* reason) {
  int64_t value = 0;
  const std::string text = Trimmed(typed);
  if (!ParseNumber(text, &value) || value < 1 || value > kMaxTimeoutMs) {
    *reason = platform::Format("the bound is a number of milliseconds from 1 to %u: ", static_cast<unsigned>(kMaxTimeoutMs)) +
              text.substr(0, 40);
    return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

std::optional<SendRequest> ParseRequest(const std::string& message, const std::string& wParam,
                                        const std::string& lParam, ControlKind kind, bool post, std::string* reason) {
  const std::optional<TypedMessage> typed = ParseMessage(message, reason);
  if (!typed) return std::nullopt;
  const std::optional<Parameter> w = ParseParameter(wParam, reason);
  if (!w) {
    *reason = "wParam: " + *reason;
    return std::nullopt;
  }
  const std::optional<Parameter> l = ParseParameter(lParam, reason);
  if (!l) {
    *reason = "lParam: " + *reason;
    return std::nullopt;
  }
  Parameter wp = *w;
  // WM_GETTEXT without a count reads up to the default buffer.
  if (typed->message == WM_GETTEXT && Trimmed(wParam).empty()) wp.value = kDefaultBufferLength;
  const ControlKind effective = typed->named != ControlKind::None ? typed->named : kind;
  return PrepareRequest(typed->message, effective, wp, *l, post, reason);
}

}  // namespace sendmsg
