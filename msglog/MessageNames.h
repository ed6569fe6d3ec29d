// Names of messages, notification codes, system commands, window-position flags and virtual
// keys, as a user reads them in the message log. Control messages are named by the class of
// the window that receives them, since their numbers overlap from one control to the next.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace msglog {

enum class ControlKind {
  None, Button, Edit, ListBox, ComboBox, Static, ScrollBar,
  ListView, TreeView, Header, Tab, Toolbar, StatusBar, Progress, Trackbar, UpDown,
};

// The standard control a window class is (case does not matter), or None.
ControlKind ControlKindOf(const std::string& className);

// The name of a registered message (0xC000 to 0xFFFF), "" when the system knows none.
using RegisteredNameLookup = std::function<std::string(uint32_t message)>;

// "WM_SIZE", "BM_CLICK" for a button, "WM_USER+5", "WM_APP+1", a registered message's name, or
// "0x%04x".
std::string MessageName(uint32_t message, ControlKind kind, const RegisteredNameLookup& registered);

// The number of a message name as MessageName writes it, case aside: a window message, any
// control's message (each name belongs to one control, so the window's kind is not needed),
// "WM_USER+N" or "WM_APP+N". False for anything else.
bool MessageFromName(const std::string& name, uint32_t* message);
// Every message name MessageFromName knows, the kind's control messages first (by number), then
// the window messages (by number); the other controls' messages last when allControls is set.
std::vector<std::string> MessageNamesFor(ControlKind kind, bool allControls);

// A WM_COMMAND notification code of a control of the kind ("BN_CLICKED"), "" when unknown.
std::string CommandCodeName(uint32_t code, ControlKind kind);
// A WM_NOTIFY code: the common NM_ codes, else those of the sending control's kind; "" when unknown.
std::string NotifyCodeName(uint32_t code, ControlKind kind);
// "SC_CLOSE", "" when unknown (the low four bits are the system's own and ignored).
std::string SysCommandName(uint32_t command);
// "SWP_NOSIZE|SWP_NOMOVE"; bits without a name as one hexadecimal rest; "0" for none.
std::string WindowPosFlagNames(uint32_t flags);
// "HTCAPTION" for a hit-test code (WM_NCHITTEST's answer, the non-client mouse messages'
// wParam), else "ht=%d".
std::string HitTestName(int32_t code);
// "VK_F5", "A" for letters and digits, else "0x%02x".
std::string VirtualKeyName(uint32_t key);

}  // namespace msglog
