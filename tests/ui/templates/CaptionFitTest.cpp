// Every caption of every dialog template fits its control in the font the dialog gives it, at
// 96, 144 and 192 DPI: a caption cut off under the fonts this machine has would make a correct
// program look broken. The test process runs at one DPI; the others are laid out the way the
// dialog manager lays out a template (the font at the DPI's height, dialog units from its
// character size), and that arithmetic is checked against the real dialogs at this DPI.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

enum class Kind { Skip, Text, PushButton, CheckBox, GroupBox };

struct Item {
  std::wstring className;  // "Button", "Static", ... also for the templates' class ordinals
  DWORD style = 0;
  RECT units{};  // x, y, x + cx, y + cy in dialog units
  int id = 0;
  std::wstring text;
};

struct Template {
  WORD id = 0;
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  std::wstring face;
  std::vector<Item> items;
};

// Reads a DLGTEMPLATEEX: its font and, per control, class, style, rectangle, id and caption.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : m_at(data) {}
  template <class T>
  T Read() {
    T value;
    memcpy(&value, m_at, sizeof value);
    m_at += sizeof value;
    return value;
  }
  // A string, or an ordinal (0xFFFF, value) given as "#value".
  std::wstring ReadNameOrOrdinal() {
    const WORD first = Read<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
    std::wstring text;
    for (WORD c = first; c != 0; c = Read<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignToDword(const BYTE* base) { m_at = base + ((m_at - base + 3) & ~3); }
  void Skip(size_t bytes) { m_at += bytes; }

 private:
  const BYTE* m_at;
};

Template LoadTemplate(WORD id) {
  Template result;
  result.id = id;
  HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
  const BYTE* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  if (!base) return result;
  TemplateReader reader(base);
  reader.Skip(2 * sizeof(WORD) + 2 * sizeof(DWORD));  // version, signature, help id, extended style
  const DWORD style = reader.Read<DWORD>();
  const WORD count = reader.Read<WORD>();
  reader.Skip(4 * sizeof(short));
  reader.ReadNameOrOrdinal();  // menu
  reader.ReadNameOrOrdinal();  // class
  reader.ReadNameOrOrdinal();  // title
  if (style & DS_SETFONT) {
    result.pointSize = reader.Read<WORD>();
    result.weight = reader.Read<WORD>();
    result.italic = reader.Read<BYTE>();
    reader.Read<BYTE>();  // character set
    result.face = reader.ReadNameOrOrdinal();
  }
  for (WORD i = 0; i < count; ++i) {
    reader.AlignToDword(base);
    Item item;
    reader.Skip(2 * sizeof(DWORD));  // help id, extended style
    item.style = reader.Read<DWORD>();
    const short x = reader.Read<short>(), y = reader.Read<short>(), cx = reader.Read<short>(), cy = reader.Read<short>();
    item.units = RECT{x, y, x + cx, y + cy};
    item.id = static_cast<int>(reader.Read<DWORD>());
    item.className = reader.ReadNameOrOrdinal();
    if (item.className == L"#128") item.className = L"Button";
    if (item.className == L"#130") item.className = L"Static";
    item.text = reader.ReadNameOrOrdinal();
    reader.Skip(reader.Read<WORD>());  // creation data
    result.items.push_back(item);
  }
  return result;
}

std::wstring WithoutMnemonics(const std::wstring& text) {
  std::wstring plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&')
      plain += text[i];
    else if (i + 1 < text.size() && text[i + 1] == L'&')
      plain += text[++i];
  }
  return plain;
}

Kind KindOf(const Item& item) {
  if (lstrcmpiW(item.className.c_str(), L"Static") == 0) {
    switch (item.style & SS_TYPEMASK) {
      case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_LEFTNOWORDWRAP: case SS_SIMPLE:
        return Kind::Text;
      default:
        return Kind::Skip;
    }
  }
  if (lstrcmpiW(item.className.c_str(), L"Button") == 0) {
    switch (item.style & BS_TYPEMASK) {
      case BS_PUSHBUTTON: case BS_DEFPUSHBUTTON:
        return Kind::PushButton;
      case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
      case BS_3STATE: case BS_AUTO3STATE:
        return (item.style & BS_PUSHLIKE) ? Kind::PushButton : Kind::CheckBox;
      case BS_GROUPBOX:
        return Kind::GroupBox;
      default:
        return Kind::Skip;
    }
  }
  return Kind::Skip;
}

// The template's font at a DPI, as the dialog manager creates it, and the dialog units it gives.
struct DialogFont {
  DialogFont(const Template& t, int dpi) {
    font = ::CreateFontW(-::MulDiv(t.pointSize, dpi, 72), 0, 0, 0, t.weight, t.italic, FALSE, FALSE, DEFAULT_CHARSET,
                         0, 0, PROOF_QUALITY, FF_DONTCARE, t.face.c_str());
    dc = ::CreateCompatibleDC(nullptr);
    old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    lineHeight = metrics.tmHeight;
    SIZE letters{};
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    ::GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    baseX = (letters.cx / 26 + 1) / 2;
    baseY = metrics.tmHeight;
  }
  ~DialogFont() {
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(font);
  }
  // The control's window rectangle in dialog client pixels.
  RECT Pixels(const RECT& units) const {
    return RECT{::MulDiv(units.left, baseX, 4), ::MulDiv(units.top, baseY, 8),
                ::MulDiv(units.left, baseX, 4) + ::MulDiv(units.right - units.left, baseX, 4),
                ::MulDiv(units.top, baseY, 8) + ::MulDiv(units.bottom - units.top, baseY, 8)};
  }
  HFONT font;
  HDC dc;
  HGDIOBJ old;
  int lineHeight = 0;
  int baseX = 0;
  int baseY = 0;
};

// A control's border, and what it draws beside its caption, at the test process's DPI. At
// another DPI the border stays (Wine draws one- and two-pixel edges at every DPI) and what is
// beside the caption is scaled in proportion.
struct Margins {
  SIZE border{};
  int beside = 0;
  int dpi = 96;
  int Scaled(int value, int toDpi) const { return ::MulDiv(value, toDpi, dpi); }
};

// Whether the caption fits; needed and available are in pixels, widths or (wrapped) heights.
bool Fits(const Item& item, const DialogFont& font, const Margins& margins, int dpi, int& needed, int& available) {
  const std::wstring text = WithoutMnemonics(item.text);
  const RECT window = font.Pixels(item.units);
  RECT client{0, 0, window.right - window.left - margins.border.cx,
              window.bottom - window.top - margins.border.cy};
  SIZE extent{};
  ::GetTextExtentPoint32W(font.dc, text.c_str(), static_cast<int>(text.size()), &extent);
  needed = extent.cx;
  int beside = margins.Scaled(margins.beside, dpi);
  if (KindOf(item) == Kind::CheckBox) {
    // Wine draws the box 12 px wide at 96 DPI plus one, scaled, and leaves half a '0' of the
    // font before the caption; the system's metric scaled alone comes out narrower at 192 DPI.
    INT zero = 0;
    ::GetCharWidth32W(font.dc, L'0', L'0', &zero);
    beside = std::max(beside, ::MulDiv(12, dpi, 96) + 1 + zero / 2);
  }
  available = client.right - beside;
  // A static with room for more than one line wraps its caption: it must fit in height.
  if (KindOf(item) == Kind::Text && client.bottom >= 2 * font.lineHeight && !(item.style & SS_LEFTNOWORDWRAP)) {
    RECT wrapped = client;
    ::DrawTextW(font.dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
    needed = wrapped.bottom;
    available = client.bottom;
  }
  return needed <= available;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string Narrow(const std::wstring& text) {
  char narrow[512] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

std::vector<WORD> TemplateIds() {
  std::vector<WORD> ids;
  ::EnumResourceNamesA(
      nullptr, RT_DIALOG,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR context) WINAPI -> BOOL {
        if (IS_INTRESOURCE(name))
          reinterpret_cast<std::vector<WORD>*>(context)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

TEST(CaptionFitTest, EveryCaptionOfEveryTemplateFitsItsControlAt96144And192Dpi) {
  const std::vector<WORD> ids = TemplateIds();
  ASSERT_GE(ids.size(), 6u) << "the program's dialog templates are not in the test's resources";

  HDC screen = ::GetDC(nullptr);
  const int ownDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);

  // Child templates need a parent; a hidden pop-up serves every template.
  HWND host = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  std::string report;
  for (WORD id : ids) {
    const Template t = LoadTemplate(id);
    ASSERT_EQ(t.face, L"ＭＳ Ｐゴシック") << "template " << id;
    // The real dialog at this DPI: its controls where the arithmetic puts them, and their borders.
    HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), host, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "template " << id;
    const DialogFont own(t, ownDpi);
    std::vector<Margins> margins;
    HWND control = ::GetWindow(dialog, GW_CHILD);
    for (const Item& item : t.items) {
      ASSERT_NE(control, nullptr) << "template " << id << " control " << item.id;
      RECT window{}, client{};
      ::GetWindowRect(control, &window);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&window), 2);
      ::GetClientRect(control, &client);
      const RECT expected = own.Pixels(item.units);
      // Captioned controls only: an up-down moves itself and narrows its buddy.
      if (KindOf(item) != Kind::Skip) {
        EXPECT_TRUE(::EqualRect(&window, &expected))
            << "template " << id << " control " << item.id << " at " << window.left << "," << window.top << " "
            << window.right - window.left << "x" << window.bottom - window.top << ", the arithmetic gives "
            << expected.left << "," << expected.top << " " << expected.right - expected.left << "x"
            << expected.bottom - expected.top;
      }
      Margins m;
      m.dpi = ownDpi;
      m.border = SIZE{(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
      const Kind kind = KindOf(item);
      m.beside = kind == Kind::CheckBox     ? ::GetSystemMetrics(SM_CXMENUCHECK)
                 : kind == Kind::PushButton ? 2 * ::GetSystemMetrics(SM_CXEDGE)
                 : kind == Kind::GroupBox   ? 2 * 7
                                            : 0;
      margins.push_back(m);
      control = ::GetWindow(control, GW_HWNDNEXT);
    }
    ::DestroyWindow(dialog);

    int measured = 0;
    for (int dpi : {96, 144, 192}) {
      const DialogFont font(t, dpi);
      for (size_t i = 0; i < t.items.size(); ++i) {
        const Item& item = t.items[i];
        if (KindOf(item) == Kind::Skip || WithoutMnemonics(item.text).empty()) continue;
        ++measured;
        int needed = 0, available = 0;
        if (!Fits(item, font, margins[i], dpi, needed, available))
          report += std::to_string(dpi) + " DPI: " + std::to_string(id) + "/" + std::to_string(item.id) + " \"" +
                    Narrow(item.text) + "\" needs " + std::to_string(needed) + " px, has " +
                    std::to_string(available) + "\n";
      }
    }
    // Every template has captions: none measured means the template was not read.
    EXPECT_GT(measured, 0) << "template " << id;
  }
  ::DestroyWindow(host);
  EXPECT_TRUE(report.empty()) << "clipped captions:\n" << report;
}

// A control either lies inside a group box or clear of it (or holds it): one that runs into the
// frame from outside is drawn across its line (at 192 DPI a dialog unit is three pixels).
TEST(CaptionFitTest, NoControlRunsIntoAGroupBoxFromOutside) {
  std::string report;
  for (WORD id : TemplateIds()) {
    const Template t = LoadTemplate(id);
    for (const Item& box : t.items) {
      if (KindOf(box) != Kind::GroupBox) continue;
      for (const Item& item : t.items) {
        RECT overlap{}, joined{};
        if (&item == &box || !::IntersectRect(&overlap, &item.units, &box.units)) continue;
        ::UnionRect(&joined, &item.units, &box.units);
        if (!::EqualRect(&joined, &box.units) && !::EqualRect(&joined, &item.units))
          report += std::to_string(id) + "/" + std::to_string(item.id) + " \"" + Narrow(item.text) +
                    "\" runs into the group box \"" + Narrow(box.text) + "\"\n";
      }
    }
  }
  EXPECT_TRUE(report.empty()) << report;
}

}  // namespace
