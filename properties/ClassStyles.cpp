#include "properties/ClassStyles.h"


#include "platform/Format.h"

namespace properties {
namespace {

struct StyleName {
  DWORD bit;
  const char* name;
};

// Sorted by bit.
const StyleName kClassStyles[] = {
    {0x00000001, "CS_VREDRAW"},      {0x00000002, "CS_HREDRAW"},    {0x00000008, "CS_DBLCLKS"},
    {0x00000020, "CS_OWNDC"},        {0x00000040, "CS_CLASSDC"},    {0x00000080, "CS_PARENTDC"},
    {0x00000200, "CS_NOCLOSE"},      {0x00000800, "CS_SAVEBITS"},   {0x00001000, "CS_BYTEALIGNCLIENT"},
    {0x00002000, "CS_BYTEALIGNWINDOW"}, {0x00004000, "CS_GLOBALCLASS"}, {0x00010000, "CS_IME"},
    {0x00020000, "CS_DROPSHADOW"},
};

// By index.
const char* const kSystemColours[] = {
    "COLOR_SCROLLBAR",     "COLOR_BACKGROUND",   "COLOR_ACTIVECAPTION",     "COLOR_INACTIVECAPTION",
    "COLOR_MENU",          "COLOR_WINDOW",       "COLOR_WINDOWFRAME",       "COLOR_MENUTEXT",
    "COLOR_WINDOWTEXT",    "COLOR_CAPTIONTEXT",  "COLOR_ACTIVEBORDER",      "COLOR_INACTIVEBORDER",
    "COLOR_APPWORKSPACE",  "COLOR_HIGHLIGHT",    "COLOR_HIGHLIGHTTEXT",     "COLOR_BTNFACE",
    "COLOR_BTNSHADOW",     "COLOR_GRAYTEXT",     "COLOR_BTNTEXT",           "COLOR_INACTIVECAPTIONTEXT",
    "COLOR_BTNHIGHLIGHT",  "COLOR_3DDKSHADOW",   "COLOR_3DLIGHT",           "COLOR_INFOTEXT",
    "COLOR_INFOBK",        "",                   "COLOR_HOTLIGHT",          "COLOR_GRADIENTACTIVECAPTION",
    "COLOR_GRADIENTINACTIVECAPTION", "COLOR_MENUHILIGHT", "COLOR_MENUBAR",
};

}  // namespace

std::string SystemColourBrushName(uint64_t brush) {
  if (brush < 1 || brush > sizeof(kSystemColours) / sizeof(kSystemColours[0])) return std::string();
  const char* name = kSystemColours[brush - 1];
  return *name ? std::string(name) + " + 1" : std::string();
}

std::string ClassStyleNames(DWORD style) {
  if (!style) return "なし";
  std::string names;
  DWORD unnamed = style;
  for (const StyleName& entry : kClassStyles) {
    if (!(style & entry.bit)) continue;
    if (!names.empty()) names += " | ";
    names += entry.name;
    unnamed &= ~entry.bit;
  }
  if (unnamed) {
    if (!names.empty()) names += " | ";
    names += platform::FormatHex32(unnamed);
  }
  return names;
}

}  // namespace properties
