// What a user types to send a message (the send dialog and `qv send` alike): the message by name
// or number and its two parameters, each a number or a quoted text, checked before anything is
// sent. Nothing typed is trusted: every refusal comes with its reason.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "msglog/MessageNames.h"

namespace sendmsg {

// The longest text sent or read back, in UTF-16 units.
constexpr size_t kMaxTextLength = 32767;
// A buffer-filling message's default size when wParam is not given (WM_GETTEXT's count).
constexpr uint32_t kDefaultBufferLength = 4096;

// How the system carries a message's lParam to another process.
enum class ParamShape {
  Value,      // a number, passed as it is
  Text,       // a text the system copies into the other process (WM_SETTEXT, LB_ADDSTRING, ...)
  Buffer,     // a buffer the system fills there and copies back (WM_GETTEXT, LB_GETTEXT, ...)
};

// What lParam is for the message sent to a window of the kind.
ParamShape LParamShape(uint32_t message, msglog::ControlKind kind);

// A typed message: its number, and the control it names when a control's message was named
// (None for a number or a window message).
struct TypedMessage {
  uint32_t message = 0;
  msglog::ControlKind named = msglog::ControlKind::None;
};

// A message name ("WM_SETTEXT", "bm_click", "WM_USER+1") or number (decimal or 0x hex, at most
// 0xFFFF). Empty with the reason in *reason for anything else.
std::optional<TypedMessage> ParseMessage(const std::string& text, std::string* reason);

// One typed parameter: a number or a text in double quotes.
struct Parameter {
  bool isText = false;
  uint32_t value = 0;     // the number, two's complement for a negative one
  std::wstring text;      // the text between the quotes
};

// A parameter as typed (UTF-8): "" is 0; decimal, 0x hex, or negative numbers that fit 32 bits;
// "\"...\"" a text of at most kMaxTextLength units. Empty with the reason for anything else.
std::optional<Parameter> ParseParameter(const std::string& typed, std::string* reason);

// A message ready to send: the typed parameters checked against what the message carries.
struct SendRequest {
  uint32_t message = 0;
  msglog::ControlKind kind = msglog::ControlKind::None;
  Parameter wParam;
  Parameter lParam;
  ParamShape shape = ParamShape::Value;
};

// Checks the typed parameters against the message: a text only as the lParam of a message the
// system carries as text; nothing but 0 (or nothing) as a buffer message's lParam, which is
// Quorvel's buffer; a buffer length within kMaxTextLength. Posting takes numbers only (the system
// copies nothing for a posted message). Empty with the reason otherwise.
std::optional<SendRequest> PrepareRequest(uint32_t message, msglog::ControlKind kind, const Parameter& wParam,
                                          const Parameter& lParam, bool post, std::string* reason);

// The bound of a send in milliseconds, as typed: 1 to kMaxTimeoutMs. Empty with the reason.
constexpr uint32_t kMaxTimeoutMs = 600000;
std::optional<uint32_t> ParseTimeout(const std::string& typed, std::string* reason);

// The whole check from typed texts (UTF-8): message, wParam, lParam.
std::optional<SendRequest> ParseRequest(const std::string& message, const std::string& wParam,
                                        const std::string& lParam, msglog::ControlKind kind, bool post,
                                        std::string* reason);

}  // namespace sendmsg
