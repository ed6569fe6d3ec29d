#include "accessibility/ObjectText.h"

#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/Format.h"

namespace accessibility {
namespace {

struct StateName {
  DWORD bit;
  const wchar_t* name;
};

// Sorted by bit: the names as the system's state texts give them.
constexpr StateName kStateNames[] = {
    {STATE_SYSTEM_UNAVAILABLE, L"unavailable"},
    {STATE_SYSTEM_SELECTED, L"selected"},
    {STATE_SYSTEM_FOCUSED, L"focused"},
    {STATE_SYSTEM_PRESSED, L"pressed"},
    {STATE_SYSTEM_CHECKED, L"checked"},
    {STATE_SYSTEM_MIXED, L"mixed"},
    {STATE_SYSTEM_READONLY, L"read only"},
    {STATE_SYSTEM_HOTTRACKED, L"hot tracked"},
    {STATE_SYSTEM_DEFAULT, L"default"},
    {STATE_SYSTEM_EXPANDED, L"expanded"},
    {STATE_SYSTEM_COLLAPSED, L"collapsed"},
    {STATE_SYSTEM_BUSY, L"busy"},
    {STATE_SYSTEM_FLOATING, L"floating"},
    {STATE_SYSTEM_MARQUEED, L"marqueed"},
    {STATE_SYSTEM_ANIMATED, L"animated"},
    {STATE_SYSTEM_INVISIBLE, L"invisible"},
    {STATE_SYSTEM_OFFSCREEN, L"offscreen"},
    {STATE_SYSTEM_SIZEABLE, L"sizeable"},
    {STATE_SYSTEM_MOVEABLE, L"moveable"},
    {STATE_SYSTEM_SELFVOICING, L"self voicing"},
    {STATE_SYSTEM_FOCUSABLE, L"focusable"},
    {STATE_SYSTEM_SELECTABLE, L"selectable"},
    {STATE_SYSTEM_LINKED, L"linked"},
    {STATE_SYSTEM_TRAVERSED, L"traversed"},
    {STATE_SYSTEM_MULTISELECTABLE, L"multiple selectable"},
    {STATE_SYSTEM_EXTSELECTABLE, L"extended selectable"},
    {STATE_SYSTEM_ALERT_LOW, L"alert low"},
    {STATE_SYSTEM_ALERT_MEDIUM, L"alert medium"},
    {STATE_SYSTEM_ALERT_HIGH, L"alert high"},
    {STATE_SYSTEM_PROTECTED, L"protected"},
    {STATE_SYSTEM_HASPOPUP, L"has popup"},
};
constexpr bool SortedByBit() {
  for (size_t i = 1; i < std::size(kStateNames); ++i)
    if (kStateNames[i - 1].bit >= kStateNames[i].bit) return false;
  return true;
}
static_assert(SortedByBit(), "state names are sorted by bit, so a word's names come lowest first");

std::wstring Hex32(DWORD value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08x", static_cast<unsigned>(value));
  return text;
}

}  // namespace

std::wstring BoundedText(const wchar_t* text, size_t length) {
  if (!text) return {};
  std::wstring bounded(text, std::min(length, kMaxTextLength));
  // A surrogate pair cut in half leaves half a character.
  if (bounded.size() < length && !bounded.empty() && bounded.back() >= 0xD800 && bounded.back() <= 0xDBFF)
    bounded.pop_back();
  for (wchar_t& c : bounded)
    if (c == L'\r' || c == L'\n' || c == L'\t' || c == L'\0') c = L' ';
  return bounded;
}

std::wstring StateText(DWORD state) {
  std::wstring text = Hex32(state);
  for (const StateName& name : kStateNames)
    if (state & name.bit) text.append(L" ").append(name.name);
  return text;
}

std::wstring LocationText(long x, long y, long width, long height) {
  wchar_t text[96];
  std::swprintf(text, 96, L"x=%ld y=%ld w=%ld h=%ld", x, y, width, height);
  return text;
}

std::wstring ItemText(const std::wstring& role, const std::wstring& name) {
  return role + L" \"" + name + L"\"";
}

std::vector<PropertyRow> DetailRows(const ObjectDetails& details) {
  std::vector<PropertyRow> rows{
      {L"名前", details.name},
      {L"役割", details.role},
      {L"状態", details.state ? StateText(*details.state) : std::wstring()},
      {L"値", details.value},
      {L"説明", details.description},
      {L"既定の操作", details.defaultAction},
      {L"ショートカット", details.shortcut},
      {L"ヘルプ", details.help},
      {L"位置", details.location ? LocationText(details.location->x, details.location->y,
                                                 details.location->width, details.location->height)
                                  : std::wstring()},
      {L"子の数", details.childCount ? std::to_wstring(*details.childCount) : std::wstring()},
  };
  if (details.window)
    rows.push_back({L"ウィンドウ", Hex32(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(details.window)))});
  return rows;
}

std::wstring CopiedRows(const std::vector<PropertyRow>& rows) {
  std::wstring text;
  for (const PropertyRow& row : rows) text.append(row.item).append(L"\t").append(row.value).append(L"\r\n");
  return text;
}

std::string RefusalText(HRESULT result) {
  return platform::Format("システムがこのウィンドウのオブジェクトを渡しません (0x%08lx)", static_cast<unsigned long>(result));
}

}  // namespace accessibility
