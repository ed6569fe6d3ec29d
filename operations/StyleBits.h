// The named bits of the style and extended style words, and how the editors' check boxes
// map onto a word. A box stands either for one bit or for a named combination of bits;
// bits without a box pass through every edit unchanged.
#pragma once
#include <windows.h>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace operations {

enum class StyleBitKind { Single, Combination };

// One check box of an editor: its control id, caption, the bits it stands for, and its kind.
struct StyleBitRow {
  int id;
  const char* caption;
  DWORD mask;
  StyleBitKind kind;
};

// The rows of one editor in the order the editor processes them: single bits first, then the
// combinations.
struct StyleBitTable {
  template <std::size_t N>
  constexpr StyleBitTable(const StyleBitRow (&table)[N]) : rows(table), count(N) {}
  constexpr StyleBitTable(const StyleBitRow* first, std::size_t n) : rows(first), count(n) {}
  const StyleBitRow* begin() const { return rows; }
  const StyleBitRow* end() const { return rows + count; }
  const StyleBitRow* rows;
  std::size_t count;
};

// The boxes of the window style editor (GWL_STYLE).
StyleBitTable WindowStyleBits();
// The boxes of the extended window style editor (GWL_EXSTYLE).
StyleBitTable WindowStyleExBits();

// The row of the box with the id, or null when the table has none.
const StyleBitRow* FindStyleBitRow(const StyleBitTable& table, int id);

// The bits of the row whose caption names them ("WS_BORDER", either name of "WS_GROUP/
// WS_MINIMIZEBOX"), case aside; 0 when no row of the table has that name.
DWORD StyleBitsNamed(const StyleBitTable& table, const std::string& name);

// A word after "+NAME" (set the bits), "-NAME" (clear them) or "0xHEX" (the whole word), as the
// command line writes them; empty with the reason when the text is none of these.
std::optional<DWORD> EditStyleWordText(DWORD word, const StyleBitTable& table, const std::string& text,
                                       std::string* reason);

// A box is checked only when every one of its bits is set in the word.
inline bool IsBoxChecked(DWORD word, DWORD mask) { return (word & mask) == mask; }

// A checked box sets all its bits, an unchecked one clears all of them.
inline DWORD ApplyBoxCheck(DWORD word, DWORD mask, bool checked) { return checked ? (word | mask) : (word & ~mask); }

// Reads the state of a box by id (the dialog asks its check box).
using BoxCheckReader = std::function<bool(int id)>;

// The word after reading every single-bit box in table order; combination boxes are not read.
DWORD ReadSingleBits(DWORD word, const StyleBitTable& table, const BoxCheckReader& isChecked);

// The word after a click on the box with the id, the box already showing its new state: a
// single-bit box re-reads all single-bit boxes, a combination box applies its own state to all
// of its bits. A click on an id the table does not know leaves the word as it is.
DWORD ApplyBoxClick(DWORD word, const StyleBitTable& table, int clickedId, const BoxCheckReader& isChecked);

// WS_CHILD and WS_POPUP together make a word no window can have.
inline bool HasChildAndPopup(DWORD style) {
  return (style & (WS_CHILD | WS_POPUP)) == (WS_CHILD | WS_POPUP);
}

// What OK does in an editor: refuse the word and keep editing, close at once, or ask first.
enum class StyleOkAction { Refuse, Close, Confirm };

// OK in the style editor: a word with WS_CHILD and WS_POPUP is refused; an unchanged word
// closes without a question; any other word is confirmed first.
StyleOkAction DecideStyleOk(DWORD style, DWORD originalStyle);

// OK in the extended style editor: every word is accepted, a changed one after a question.
StyleOkAction DecideExStyleOk(DWORD exStyle, DWORD originalExStyle);

}  // namespace operations
