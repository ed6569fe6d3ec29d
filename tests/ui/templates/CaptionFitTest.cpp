// Every caption of every dialog template fits its control in the font the dialog gives it:
// a caption cut off under the fonts this machine has would make a correct program look broken.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// Controls whose captions are known not to fit, by "template/control id"; empty when every
// caption fits.
const std::vector<std::string> kKnownClipped = {};

std::string WithoutMnemonics(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (::IsDBCSLeadByte(c) && i + 1 < text.size()) {
      plain += text[i];
      plain += text[++i];
    } else if (c == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') plain += text[++i];
    } else {
      plain += text[i];
    }
  }
  return plain;
}

enum class Kind { Skip, Text, PushButton, CheckBox, GroupBox };

Kind KindOf(HWND control) {
  char className[64] = {};
  ::GetClassNameA(control, className, sizeof className);
  const LONG style = ::GetWindowLongA(control, GWL_STYLE);
  if (lstrcmpiA(className, "Static") == 0) {
    switch (style & SS_TYPEMASK) {
      case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_LEFTNOWORDWRAP: case SS_SIMPLE:
        return Kind::Text;
      default:
        return Kind::Skip;
    }
  }
  if (lstrcmpiA(className, "Button") == 0) {
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON:
        return Kind::PushButton;
      case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
      case BS_3STATE: case BS_AUTO3STATE:
        return (style & BS_PUSHLIKE) ? Kind::PushButton : Kind::CheckBox;
      case BS_GROUPBOX:
        return Kind::GroupBox;
      default:
        return Kind::Skip;
    }
  }
  return Kind::Skip;
}

struct Clipped {
  std::string where;
  std::string text;
  int needed;
  int available;
};

// Room for the caption: the client width less what the control draws beside it.
int AvailableWidth(HWND control, Kind kind) {
  RECT client{};
  ::GetClientRect(control, &client);
  int width = client.right - client.left;
  switch (kind) {
    case Kind::CheckBox:
      return width - ::GetSystemMetrics(SM_CXMENUCHECK);
    case Kind::PushButton:
      return width - 2 * ::GetSystemMetrics(SM_CXEDGE);
    case Kind::GroupBox:
      return width - 2 * 7;
    default:
      return width;
  }
}

void CheckControls(HWND dialog, const std::string& templateName, std::vector<Clipped>& clipped) {
  for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
    const Kind kind = KindOf(control);
    if (kind == Kind::Skip) continue;
    char raw[512] = {};
    ::GetWindowTextA(control, raw, sizeof raw);
    const std::string text = WithoutMnemonics(raw);
    if (text.empty()) continue;

    HDC dc = ::GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    RECT client{};
    ::GetClientRect(control, &client);
    int needed = extent.cx;
    int available = AvailableWidth(control, kind);
    // A static with room for more than one line wraps its caption: it must fit in height.
    if (kind == Kind::Text && client.bottom >= 2 * metrics.tmHeight &&
        !(::GetWindowLongA(control, GWL_STYLE) & SS_LEFTNOWORDWRAP)) {
      RECT wrapped = client;
      ::DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
      needed = wrapped.bottom;
      available = client.bottom;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);

    if (needed > available)
      clipped.push_back({templateName + "/" + std::to_string(::GetDlgCtrlID(control)), text, needed, available});
  }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(CaptionFitTest, EveryCaptionOfEveryTemplateFitsItsControl) {
  std::vector<WORD> templates;
  ::EnumResourceNamesA(
      nullptr, RT_DIALOG,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR context) WINAPI -> BOOL {
        if (IS_INTRESOURCE(name))
          reinterpret_cast<std::vector<WORD>*>(context)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&templates));
  ASSERT_GE(templates.size(), 6u) << "the program's dialog templates are not in the test's resources";

  // Child templates need a parent; a hidden pop-up serves every template.
  HWND host = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  std::vector<Clipped> clipped;
  int checked = 0;
  for (WORD id : templates) {
    HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), host, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "template " << id;
    CheckControls(dialog, std::to_string(id), clipped);
    ::DestroyWindow(dialog);
    ++checked;
  }
  ::DestroyWindow(host);

  std::string report;
  for (const Clipped& c : clipped) {
    bool known = false;
    for (const std::string& k : kKnownClipped) known = known || k == c.where;
    if (!known)
      report += c.where + " \"" + c.text + "\" needs " + std::to_string(c.needed) + " px, has " +
                std::to_string(c.available) + "\n";
  }
  EXPECT_TRUE(report.empty()) << "clipped captions:\n" << report;
  EXPECT_EQ(checked, static_cast<int>(templates.size()));
}

}  // namespace
