// The open message logs: one per logged window. Opening the log of a window already logged
// brings its dialog to the front.
#pragma once
#include "msglog/MessageLogDlg.h"
#include "platform/WindowViews.h"

namespace msglog {

using CMessageLogs = platform::CWindowViews<CMessageLogDlg>;

}  // namespace msglog
