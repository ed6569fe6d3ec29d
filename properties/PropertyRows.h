// The properties view's rows: every item of a window's facts, named and formatted as the view
// shows it, in the order of its groups.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/PropertyRow.h"
#include "properties/WindowFacts.h"

namespace properties {

// The groups, in the order the view shows them.
enum class Group { kWindow, kClass, kRelations, kProcess, kProps, kDisplay };
// The group's heading.
const char* GroupName(Group group);

// A row's group is its Group; a relation row's related the window it names.
using platform::PropertyRow;
using platform::RowsAsText;
inline Group GroupOf(const PropertyRow& row) { return static_cast<Group>(row.group); }

// Takes the probe's answer into the facts: the procedures, and what it read better than the
// outside reading could (full-width instance, user data and ID, a 64-bit program's modules and
// command line).
void MergeProbeAnswer(WindowFacts& facts, const ProcedureFacts& answer);

// Every row of the facts, group by group; for a window that is gone, its handle only.
std::vector<PropertyRow> PropertyRows(const WindowFacts& facts);
// The rows shown when 更新 finds the handle naming another window: what it was, and the window
// it names now (related: a double-click shows it).
std::vector<PropertyRow> AnotherWindowRows(const WindowFacts& before, const WindowFacts& now);

// "qprobe.exe+0x1a2b" for an address inside one of the modules; empty when none holds it.
std::wstring ModuleOfAddress(uint64_t address, const std::vector<ModuleRange>& modules);
// An address as "0x%08x" (16 digits above 4 GB), with its module when one holds it.
std::wstring AddressText(uint64_t address, const std::vector<ModuleRange>& modules);
// Whether the window's pointer-wide values (ID, instance, user data) were read only in their
// low 32 bits: a 64-bit program's window the probe has not answered for.
bool OnlyLowHalfRead(const WindowFacts& facts);
// Whether the handle now names another window than the facts were read of: another class,
// process or thread.
bool IsAnotherWindow(const WindowFacts& before, const WindowFacts& now);
// "8: 0x00001234 0x00005678" (the count, then the words; a part word is counted, not shown).
std::string ExtraBytesText(int count, const std::vector<DWORD>& words);
// `0x%08x "text" class`, or "なし".
std::wstring RelationText(const RelatedWindow& related);
// The item of a SetProp entry: "プロパティ NAME", or "プロパティ #0x%04x" for an atom without a name.
std::wstring PropItem(const WindowProp& prop);
// The integer atom a name "#<decimal>" stands for (below 0xc000); none for any other name.
std::optional<uint16_t> IntegerAtomOfName(const std::wstring& name);
// "非対応", "システム", "モニターごと", "モニターごと v2", "不明".
const char* DpiAwarenessText(DpiAwareness awareness);
// DWMWA_CLOAKED: "いいえ", "はい (…)" with who hid it, or "不明".
std::string CloakText(const std::optional<DWORD>& cloaked);

// The item names the view and the list of what changed share (one name, one place).
namespace item {
inline constexpr char kText[] = "テキスト";
inline constexpr char kClassName[] = "クラス名";
inline constexpr char kWindowRect[] = "ウィンドウの四角形";
inline constexpr char kStyle[] = "スタイル";
inline constexpr char kExStyle[] = "拡張スタイル";
inline constexpr char kVisible[] = "表示";
inline constexpr char kParent[] = "親";
inline constexpr char kOwner[] = "所有者";
inline constexpr char kProcess[] = "プロセス";
inline constexpr char kThreadId[] = "スレッドID";
}  // namespace item

// The item under which a window's field (as the snapshot names it: "rect", "text", "owner",
// "windowProc", ...) is shown; a field the view has no item for is named as it is.
std::wstring FieldItemName(const std::string& field);
// A window's rectangle as the view shows it: "(l, t) - (r, b)  w x h".
std::string RectText(const RECT& rect);

}  // namespace properties
