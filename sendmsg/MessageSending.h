// Sending or posting a checked request (sendmsg/MessageArguments.h) to a window of another
// program, with a bound, and what came back in words: the send dialog and `qv send` alike.
// A send may wait up to its bound: the dialog makes it on a worker thread.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "sendmsg/MessageArguments.h"

namespace sendmsg {

enum class SendState {
  Answered,  // the window answered; value holds the answer
  Posted,    // posted: nothing to wait for
  TimedOut,  // no answer within the bound
  Hung,      // no answer, and the system reports the window hung
  Failed,    // not sent: no such window, or the system refused the call (error holds why)
  Refused,   // not sent: the window is one of Quorvel's own, or the request cannot be made
};

struct SendReport {
  SendState state = SendState::Failed;
  LRESULT value = 0;
  bool hasText = false;  // a buffer message: text holds what the window wrote
  std::wstring text;
  DWORD error = 0;
  DWORD elapsedMs = 0;
  std::string reason;  // Failed and Refused: why, in words
};

// Why a message may not go to the window ("" when it may): no window, or one of this process's
// own (Quorvel never sends itself what a user types).
std::string RefusedTarget(HWND hwnd);

// The standard control the window's class is.
msglog::ControlKind ControlKindOfWindow(HWND hwnd);

// Sends the request within timeoutMs (a buffer message's length question included), as a
// Unicode message so texts keep every character.
SendReport SendRequestTo(HWND hwnd, const SendRequest& request, UINT timeoutMs);
// Posts it.
SendReport PostRequestTo(HWND hwnd, const SendRequest& request);

// "5 (0x00000005)": the answer in decimal and hex.
std::string ResultNumberText(LRESULT value);
// What the message log's decoding says of the answer (UTF-8), "" when nothing.
std::string ResultMeaning(HWND hwnd, const SendRequest& request, const SendReport& report);
// The state in a few words: "answered", "posted", "no answer within 5000 ms", "hung (no answer)",
// or the reason.
std::string StateText(const SendReport& report, UINT timeoutMs);

}  // namespace sendmsg
