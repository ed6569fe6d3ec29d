#include "operations/StyleBits.h"

#include <algorithm>
#include <iterator>

#include "res/resource.h"

namespace operations {
namespace {

constexpr StyleBitKind kSingle = StyleBitKind::Single;
constexpr StyleBitKind kCombination = StyleBitKind::Combination;

// Both editors' boxes, the window style word's first, then the extended word's.
// WS_MAXIMIZE (0x01000000) and the class-specific low word have no box.
constexpr StyleBitRow kStyleRows[] = {
    {IDC_STYLE_POPUP, "WS_POPUP", 0x80000000, kSingle},
    {IDC_STYLE_CHILD, "WS_CHILD", 0x40000000, kSingle},
    {IDC_STYLE_MINIMIZE, "WS_MINIMIZE/WS_ICONIC", 0x20000000, kSingle},
    {IDC_STYLE_VISIBLE, "WS_VISIBLE", 0x10000000, kSingle},
    {IDC_STYLE_DISABLED, "WS_DISABLED", 0x08000000, kSingle},
    {IDC_STYLE_CLIPSIBLINGS, "WS_CLIPSIBLINGS", 0x04000000, kSingle},
    {IDC_STYLE_CLIPCHILDREN, "WS_CLIPCHILDREN", 0x02000000, kSingle},
    {IDC_STYLE_BORDER, "WS_BORDER", 0x00800000, kSingle},
    {IDC_STYLE_DLGFRAME, "WS_DLGFRAME", 0x00400000, kSingle},
    {IDC_STYLE_VSCROLL, "WS_VSCROLL", 0x00200000, kSingle},
    {IDC_STYLE_HSCROLL, "WS_HSCROLL", 0x00100000, kSingle},
    {IDC_STYLE_SYSMENU, "WS_SYSMENU", 0x00080000, kSingle},
    {IDC_STYLE_THICKFRAME, "WS_THICKFRAME/WS_SIZEBOX", 0x00040000, kSingle},
    {IDC_STYLE_MINIMIZEBOX, "WS_GROUP/WS_MINIMIZEBOX", 0x00020000, kSingle},
    {IDC_STYLE_MAXIMIZEBOX, "WS_TABSTOP/WS_MAXIMIZEBOX", 0x00010000, kSingle},
    {IDC_STYLE_POPUPWINDOW, "WS_POPUPWINDOW", 0x80880000, kCombination},
    {IDC_STYLE_CAPTION, "WS_CAPTION", 0x00C00000, kCombination},
    {IDC_STYLE_OVERLAPPEDWINDOW, "WS_OVERLAPPEDWINDOW", 0x00CF0000, kCombination},
    // The extended word: 0x00000002, 0x00000800, 0x00008000 and everything from 0x00100000 up
    // have no box.
    {IDC_EXSTYLE_DLGMODALFRAME, "WS_EX_DLGMODALFRAME", 0x00000001, kSingle},
    {IDC_EXSTYLE_NOPARENTNOTIFY, "WS_EX_NOPARENTNOTIFY", 0x00000004, kSingle},
    {IDC_EXSTYLE_TOPMOST, "WS_EX_TOPMOST", 0x00000008, kSingle},
    {IDC_EXSTYLE_ACCEPTFILES, "WS_EX_ACCEPTFILES", 0x00000010, kSingle},
    {IDC_EXSTYLE_TRANSPARENT, "WS_EX_TRANSPARENT", 0x00000020, kSingle},
    {IDC_EXSTYLE_MDICHILD, "WS_EX_MDICHILD", 0x00000040, kSingle},
    {IDC_EXSTYLE_TOOLWINDOW, "WS_EX_TOOLWINDOW", 0x00000080, kSingle},
    {IDC_EXSTYLE_WINDOWEDGE, "WS_EX_WINDOWEDGE", 0x00000100, kSingle},
    {IDC_EXSTYLE_CLIENTEDGE, "WS_EX_CLIENTEDGE", 0x00000200, kSingle},
    {IDC_EXSTYLE_CONTEXTHELP, "WS_EX_CONTEXTHELP", 0x00000400, kSingle},
    {IDC_EXSTYLE_RIGHT, "WS_EX_RIGHT", 0x00001000, kSingle},
    {IDC_EXSTYLE_RTLREADING, "WS_EX_RTLREADING", 0x00002000, kSingle},
    {IDC_EXSTYLE_LEFTSCROLLBAR, "WS_EX_LEFTSCROLLBAR", 0x00004000, kSingle},
    {IDC_EXSTYLE_CONTROLPARENT, "WS_EX_CONTROLPARENT", 0x00010000, kSingle},
    {IDC_EXSTYLE_STATICEDGE, "WS_EX_STATICEDGE", 0x00020000, kSingle},
    {IDC_EXSTYLE_APPWINDOW, "WS_EX_APPWINDOW", 0x00040000, kSingle},
    {IDC_EXSTYLE_LAYERED, "WS_EX_LAYERED", 0x00080000, kSingle},
    {IDC_EXSTYLE_OVERLAPPEDWINDOW, "WS_EX_OVERLAPPEDWINDOW", 0x00000300, kCombination},
    {IDC_EXSTYLE_PALETTEWINDOW, "WS_EX_PALETTEWINDOW", 0x00000188, kCombination},
};

}  // namespace

// The window style word's rows, the first of kStyleRows.
constexpr std::size_t kWindowStyleRowCount = 18;
static_assert(kStyleRows[kWindowStyleRowCount - 1].id == IDC_STYLE_OVERLAPPEDWINDOW, "the style word's last row");

StyleBitTable WindowStyleBits() { return StyleBitTable(kStyleRows, kWindowStyleRowCount); }

StyleBitTable WindowStyleExBits() {
  return StyleBitTable(kStyleRows + kWindowStyleRowCount, std::size(kStyleRows) - kWindowStyleRowCount);
}

const StyleBitRow* FindStyleBitRow(const StyleBitTable& table, int id) {
  for (const StyleBitRow& row : table)
    if (row.id == id) return &row;
  return nullptr;
}

DWORD StyleBitsNamed(const StyleBitTable& table, const std::string& name) {
  if (name.empty()) return 0;
  for (const StyleBitRow& row : table) {
    const std::string caption = row.caption;
    for (size_t start = 0; start <= caption.size();) {
      const size_t end = std::min(caption.find('/', start), caption.size());
      if (end - start == name.size() && ::lstrcmpiA(caption.substr(start, end - start).c_str(), name.c_str()) == 0)
        return row.mask;
      start = end + 1;
    }
  }
  return 0;
}

std::optional<DWORD> EditStyleWordText(DWORD word, const StyleBitTable& table, const std::string& text,
                                       std::string* reason) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && text.size() <= 10 &&
      text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
    return static_cast<DWORD>(std::stoul(text.substr(2), nullptr, 16));
  if (text.size() > 1 && (text[0] == '+' || text[0] == '-')) {
    const DWORD bits = StyleBitsNamed(table, text.substr(1));
    if (bits) return ApplyBoxCheck(word, bits, text[0] == '+');
  }
  *reason = "not +NAME, -NAME or 0xHEX (a style the editor names): " + text.substr(0, 40);
  return std::nullopt;
}

DWORD ReadSingleBits(DWORD word, const StyleBitTable& table, const BoxCheckReader& isChecked) {
  for (const StyleBitRow& row : table)
    if (row.kind == StyleBitKind::Single) word = ApplyBoxCheck(word, row.mask, isChecked(row.id));
  return word;
}

DWORD ApplyBoxClick(DWORD word, const StyleBitTable& table, int clickedId, const BoxCheckReader& isChecked) {
  const StyleBitRow* row = FindStyleBitRow(table, clickedId);
  if (!row) return word;
  if (row->kind == StyleBitKind::Single) return ReadSingleBits(word, table, isChecked);
  return ApplyBoxCheck(word, row->mask, isChecked(row->id));
}

StyleOkAction DecideStyleOk(DWORD style, DWORD originalStyle) {
  if (HasChildAndPopup(style)) return StyleOkAction::Refuse;
  return style == originalStyle ? StyleOkAction::Close : StyleOkAction::Confirm;
}

StyleOkAction DecideExStyleOk(DWORD exStyle, DWORD originalExStyle) {
  return exStyle == originalExStyle ? StyleOkAction::Close : StyleOkAction::Confirm;
}

}  // namespace operations
