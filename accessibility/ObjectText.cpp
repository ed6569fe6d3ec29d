#include "accessibility/ObjectText.h"

#include <oleacc.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/Format.h"
#include "platform/WideText.h"

namespace accessibility {
namespace {

struct StateName {
  DWORD bit;
  const wchar_t* name;
};

// Sorted by bit: the names in the view's language.
constexpr StateName kStateNames[] = {
    {STATE_SYSTEM_UNAVAILABLE, L"使用不可"},
    {STATE_SYSTEM_SELECTED, L"選択"},
    {STATE_SYSTEM_FOCUSED, L"フォーカス"},
    {STATE_SYSTEM_PRESSED, L"押下"},
    {STATE_SYSTEM_CHECKED, L"チェック"},
    {STATE_SYSTEM_MIXED, L"混在"},
    {STATE_SYSTEM_READONLY, L"読み取り専用"},
    {STATE_SYSTEM_HOTTRACKED, L"ホットトラック"},
    {STATE_SYSTEM_DEFAULT, L"既定"},
    {STATE_SYSTEM_EXPANDED, L"展開"},
    {STATE_SYSTEM_COLLAPSED, L"折りたたみ"},
    {STATE_SYSTEM_BUSY, L"ビジー"},
    {STATE_SYSTEM_FLOATING, L"フローティング"},
    {STATE_SYSTEM_MARQUEED, L"マーキー"},
    {STATE_SYSTEM_ANIMATED, L"アニメーション"},
    {STATE_SYSTEM_INVISIBLE, L"非表示"},
    {STATE_SYSTEM_OFFSCREEN, L"画面外"},
    {STATE_SYSTEM_SIZEABLE, L"サイズ変更可"},
    {STATE_SYSTEM_MOVEABLE, L"移動可"},
    {STATE_SYSTEM_SELFVOICING, L"自己読み上げ"},
    {STATE_SYSTEM_FOCUSABLE, L"フォーカス可"},
    {STATE_SYSTEM_SELECTABLE, L"選択可"},
    {STATE_SYSTEM_LINKED, L"リンク"},
    {STATE_SYSTEM_TRAVERSED, L"訪問済み"},
    {STATE_SYSTEM_MULTISELECTABLE, L"複数選択可"},
    {STATE_SYSTEM_EXTSELECTABLE, L"拡張選択可"},
    {STATE_SYSTEM_ALERT_LOW, L"警告 (低)"},
    {STATE_SYSTEM_ALERT_MEDIUM, L"警告 (中)"},
    {STATE_SYSTEM_ALERT_HIGH, L"警告 (高)"},
    {STATE_SYSTEM_PROTECTED, L"保護"},
    {STATE_SYSTEM_HASPOPUP, L"ポップアップあり"},
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
  return platform::EscapedLine(bounded);
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

std::optional<RECT> LocationOnScreen(const ObjectLocation& location, const RECT& screen) {
  auto clamp = [](long long value, long low, long high) {
    return static_cast<long>(value < low ? low : value > high ? high : value);
  };
  const long long width = location.width > 0 ? location.width : 0;
  const long long height = location.height > 0 ? location.height : 0;
  const RECT on{clamp(location.x, screen.left, screen.right), clamp(location.y, screen.top, screen.bottom),
                clamp(static_cast<long long>(location.x) + width, screen.left, screen.right),
                clamp(static_cast<long long>(location.y) + height, screen.top, screen.bottom)};
  if (on.right <= on.left || on.bottom <= on.top) return std::nullopt;
  return on;
}

std::string RefusalText(HRESULT result) {
  return platform::Format("システムがこのウィンドウのオブジェクトを渡しません (0x%08lx)", static_cast<unsigned long>(result));
}

}  // namespace accessibility
