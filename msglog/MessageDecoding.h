// What the message log shows of one message: its values, and its meaning decoded in words (the
// 内容 column) from the parameters and from what the hook copied out of the target.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "msglog/MessageNames.h"

namespace msglog {

// What the hook copied from memory a parameter pointed to, in the target's terms.
struct Payload {
  enum Kind : uint8_t { None, Text, WindowPos, Styles, Notify };
  Kind kind = None;
  std::string text;  // UTF-8
  int32_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t flags = 0;           // SWP_ flags
  uint64_t insertAfter = 0;
  uint32_t oldStyle = 0, newStyle = 0;
  uint64_t hwndFrom = 0, idFrom = 0;
  uint32_t code = 0;            // NMHDR code
};

// One message as the log holds it.
struct MessageView {
  char kind = 'S';  // 'S' sent, 'P' posted, 'R' the return of a sent message
  uint32_t message = 0;
  uint64_t hwnd = 0;
  uint64_t wParam = 0, lParam = 0, result = 0;
  bool unicodeWindow = false;  // characters in wParam are UTF-16, else code-page bytes
  ControlKind windowKind = ControlKind::None;
  const Payload* payload = nullptr;
};

// The control kind of another window a message names (a WM_COMMAND's control).
using KindOfWindow = std::function<ControlKind(uint64_t hwnd)>;

// "0x%08x", or 16 digits for a value that does not fit 32 bits.
std::string FormatValue(uint64_t value);
// Seconds with three decimals.
std::string FormatSeconds(uint64_t milliseconds);

// The 内容 column, UTF-8: "" when the message carries nothing a user reads.
std::string DecodeContent(const MessageView& view, const KindOfWindow& kindOf);

}  // namespace msglog
