#include "properties/PropertyRows.h"

#include <algorithm>
#include <iterator>

#include "platform/Format.h"
#include "platform/WideText.h"
#include "properties/ClassStyles.h"

namespace properties {
namespace {

const char kNone[] = "なし";
const char kUnknown[] = "不明";
const char kLowHalf[] = " (下位 32 ビットだけ読めました)";

std::wstring Wide(const std::string& text) { return platform::WidenAnsi(text); }

std::string Hex(uint64_t value) {
  if (value >> 32)
    return platform::Format("0x%08lx%08lx", static_cast<unsigned long>(value >> 32), static_cast<unsigned long>(value & 0xffffffffu));
  return platform::FormatHex32(static_cast<DWORD>(value));
}

// "0x1a2b": an offset in a module, as short as it is.
std::string OffsetText(uint64_t offset) {
  if (offset >> 32)
    return platform::Format("0x%lx%08lx", static_cast<unsigned long>(offset >> 32), static_cast<unsigned long>(offset & 0xffffffffu));
  return platform::Format("0x%lx", static_cast<unsigned long>(offset));
}

// A handle, or "なし" for none.
std::string HandleOrNone(uint64_t value) { return value ? Hex(value) : kNone; }

class CRowWriter {
 public:
  explicit CRowWriter(std::vector<PropertyRow>& rows) : m_rows(rows) {}
  void Group(properties::Group group) { m_group = group; }
  void Add(const char* item, const std::string& value) { Add(platform::WidenAnsi(item), platform::WidenAnsi(value)); }
  void Add(const char* item, const std::wstring& value) { Add(platform::WidenAnsi(item), value); }
  void Add(std::wstring item, std::wstring value, HWND related = nullptr) {
    m_rows.push_back(PropertyRow{std::move(item), std::move(value), static_cast<int>(m_group), related});
  }
  void Relation(const char* item, const RelatedWindow& related) {
    Add(platform::WidenAnsi(item), RelationText(related), related.hwnd);
  }

 private:
  std::vector<PropertyRow>& m_rows;
  properties::Group m_group = Group::kWindow;
};

// What stands instead of a value the probe reads while it has not: "読み取り中…" or why not.
std::wstring NotAnsweredText(const ProcedureFacts& procedures) {
  if (procedures.status == ProcedureFacts::Status::kReading) return Wide("読み取り中…");
  return Wide(procedures.reason);
}

std::wstring ProcedureText(const ProcedureFacts& procedures, uint64_t address, const std::vector<ModuleRange>& modules) {
  if (procedures.status != ProcedureFacts::Status::kAnswered) return NotAnsweredText(procedures);
  return AddressText(address, modules);
}

std::wstring WindowProcedureText(const WindowFacts& facts) {
  const ProcedureFacts& procedures = facts.procedures;
  std::wstring text = ProcedureText(procedures, procedures.windowProc, facts.modules);
  if (procedures.status != ProcedureFacts::Status::kAnswered) return text;
  text += Wide(procedures.unicode ? "  Unicode" : "  ANSI");
  if (procedures.windowProc != procedures.classProc) text += Wide("  サブクラス化");
  return text;
}

// A class handle: the probe's answer from inside the program when there is one, else what
// was read from outside. Nothing read from outside (a value of 0) is no "なし" while the probe
// has not answered: it may be a class this program cannot read from outside.
std::wstring ClassHandleText(const WindowFacts& facts, uint64_t inside, uint64_t outside,
                             std::string (*text)(uint64_t)) {
  if (facts.procedures.status == ProcedureFacts::Status::kAnswered) return Wide(text(inside));
  if (outside) return Wide(text(outside));
  return NotAnsweredText(facts.procedures);
}

std::wstring IconText(const WindowFacts& facts) {
  const ProcedureFacts& procedures = facts.procedures;
  std::wstring text = ClassHandleText(facts, procedures.classIcon, facts.classIcon, HandleOrNone);
  if (procedures.status == ProcedureFacts::Status::kAnswered && procedures.classSmallIcon)
    text += Wide("  小: " + Hex(procedures.classSmallIcon));
  return text;
}

std::string BrushText(uint64_t brush) {
  const std::string colour = SystemColourBrushName(brush);
  return colour.empty() ? HandleOrNone(brush) : Hex(brush) + " (" + colour + ")";
}

std::wstring ProcessText(const WindowFacts& facts) {
  const std::wstring name = facts.processName.empty() ? Wide("(名前を読めません)") : platform::EscapedLine(facts.processName);
  return name + Wide(platform::Format(" (%lu)", facts.pid));
}

// A pointer-wide value, said to be only its low half where that is all that was read.
std::wstring WideValueText(const WindowFacts& facts, std::wstring text) {
  return OnlyLowHalfRead(facts) ? text + Wide(kLowHalf) : text;
}

std::wstring IdText(const WindowFacts& facts) {
  if (facts.child)
    return WideValueText(facts, Wide(std::to_string(facts.id) + " (" + Hex(facts.id) + ")"));
  return Wide("メニュー " + HandleOrNone(facts.id));
}

// Another program's text on one line, or "(空)".
std::wstring TextOrEmpty(const std::wstring& text) { return text.empty() ? Wide("(空)") : platform::EscapedLine(text); }

}  // namespace

const char* GroupName(Group group) {
  switch (group) {
    case Group::kWindow: return "ウィンドウ";
    case Group::kClass: return "クラス";
    case Group::kRelations: return "関係";
    case Group::kProcess: return "プロセスとスレッド";
    case Group::kProps: return "ウィンドウプロパティ";
    case Group::kDisplay: return "表示";
  }
  return "";
}

void MergeProbeAnswer(WindowFacts& facts, const ProcedureFacts& answer) {
  facts.procedures = answer;
  if (answer.status != ProcedureFacts::Status::kAnswered) return;
  facts.instance = answer.instance;
  facts.userData = answer.userData;
  // A top-level window's ID is its menu, a handle read whole from outside.
  if (facts.child) facts.id = answer.id;
  if (facts.modules.empty()) facts.modules = answer.modules;
  if (!facts.commandLine && answer.commandLine) facts.commandLine = answer.commandLine;
}

std::wstring ModuleOfAddress(uint64_t address, const std::vector<ModuleRange>& modules) {
  for (const ModuleRange& module : modules) {
    if (address >= module.base && address - module.base < module.size)
      return platform::EscapedLine(module.name) +
             Wide("+" + OffsetText(address - module.base));
  }
  return std::wstring();
}

std::wstring AddressText(uint64_t address, const std::vector<ModuleRange>& modules) {
  std::wstring text = Wide(Hex(address));
  const std::wstring module = ModuleOfAddress(address, modules);
  if (!module.empty()) text += L" (" + module + L")";
  return text;
}

bool OnlyLowHalfRead(const WindowFacts& facts) {
  return facts.sixtyFourBit.value_or(false) && facts.procedures.status != ProcedureFacts::Status::kAnswered;
}

bool IsAnotherWindow(const WindowFacts& before, const WindowFacts& now) {
  return before.alive && now.alive &&
         (before.className != now.className || before.pid != now.pid || before.threadId != now.threadId);
}

std::string ExtraBytesText(int count, const std::vector<DWORD>& words) {
  std::string text = platform::FormatInt(count);
  if (words.empty()) return text;
  text += ":";
  for (DWORD word : words) text += " " + platform::FormatHex32(word);
  if (static_cast<int>(words.size()) * 4 + 3 < count) text += " …";
  return text;
}

std::wstring RelationText(const RelatedWindow& related) {
  if (!related.hwnd) return platform::WidenAnsi(kNone);
  return platform::WidenAnsi(platform::FormatHandle(related.hwnd)) + L" \"" + platform::EscapedLine(related.text) + L"\" " +
         platform::EscapedLine(related.className);
}

std::wstring PropItem(const WindowProp& prop) {
  const std::wstring name = prop.name ? platform::EscapedLine(*prop.name) : platform::WidenAnsi(platform::Format("#0x%04x", prop.atom));
  return platform::WidenAnsi("プロパティ ") + name;
}

std::optional<uint16_t> IntegerAtomOfName(const std::wstring& name) {
  if (name.size() < 2 || name.size() > 6 || name[0] != L'#') return std::nullopt;
  unsigned value = 0;
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(name[i] - L'0');
  }
  if (value == 0 || value >= MAXINTATOM) return std::nullopt;
  return static_cast<uint16_t>(value);
}

const char* DpiAwarenessText(DpiAwareness awareness) {
  switch (awareness) {
    case DpiAwareness::kUnaware: return "非対応";
    case DpiAwareness::kSystem: return "システム";
    case DpiAwareness::kPerMonitor: return "モニターごと";
    case DpiAwareness::kPerMonitorV2: return "モニターごと v2";
    case DpiAwareness::kUnknown: break;
  }
  return kUnknown;
}

std::string CloakText(const std::optional<DWORD>& cloaked) {
  if (!cloaked) return kUnknown;
  if (!*cloaked) return "いいえ";
  std::string by;
  const struct {
    DWORD flag;
    const char* who;
  } kBy[] = {{0x1, "プログラム自身"}, {0x2, "シェル"}, {0x4, "所有者から"}};
  for (const auto& entry : kBy) {
    if (!(*cloaked & entry.flag)) continue;
    if (!by.empty()) by += "、";
    by += entry.who;
  }
  return by.empty() ? "はい" : "はい (" + by + ")";
}

std::vector<PropertyRow> PropertyRows(const WindowFacts& facts) {
  std::vector<PropertyRow> rows;
  CRowWriter out(rows);
  out.Group(Group::kWindow);
  if (!facts.alive) {
    out.Add("ハンドル", platform::FormatHandle(facts.hwnd) + " (ウィンドウはもうありません)");
    return rows;
  }
  out.Add("ハンドル", platform::FormatHandle(facts.hwnd));
  out.Add(item::kText, TextOrEmpty(facts.text));
  out.Add(item::kClassName, platform::EscapedLine(facts.className));
  out.Add(item::kWindowRect, RectText(facts.window));
  out.Add("クライアントの四角形", RectText(facts.client));
  out.Add("ウィンドウプロシージャ", WindowProcedureText(facts));
  out.Add("インスタンス", WideValueText(facts, AddressText(facts.instance, facts.modules)));
  out.Add("ユーザーデータ", WideValueText(facts, Wide(Hex(facts.userData))));
  out.Add("ID", IdText(facts));
  out.Add("ウィンドウの追加バイト", ExtraBytesText(facts.windowExtraBytes, facts.windowExtra));

  out.Group(Group::kClass);
  out.Add("クラススタイル", platform::FormatHex32(facts.classStyle) + " " + ClassStyleNames(facts.classStyle));
  out.Add("クラスの追加バイト", ExtraBytesText(facts.classExtraBytes, facts.classExtra));
  out.Add("クラスプロシージャ", ProcedureText(facts.procedures, facts.procedures.classProc, facts.modules));
  out.Add("アイコン", IconText(facts));
  out.Add("カーソル", ClassHandleText(facts, facts.procedures.classCursor, facts.classCursor, HandleOrNone));
  out.Add("背景ブラシ", ClassHandleText(facts, facts.procedures.classBackground, facts.classBackground, BrushText));

  out.Group(Group::kRelations);
  out.Relation(item::kParent, facts.parent);
  out.Relation(item::kOwner, facts.owner);
  out.Relation("ルート所有者", facts.rootOwner);
  out.Relation("最初の子", facts.firstChild);
  out.Relation("次のウィンドウ", facts.next);
  out.Relation("前のウィンドウ", facts.previous);

  out.Group(Group::kProcess);
  out.Add(item::kProcess, ProcessText(facts));
  out.Add("パス", facts.path.empty() ? platform::WidenAnsi("(読めません)") : platform::EscapedLine(facts.path));
  out.Add("ビット数", !facts.sixtyFourBit ? kUnknown : *facts.sixtyFourBit ? "64 ビット" : "32 ビット");
  out.Add("整合性レベル", facts.integrity.empty() ? std::string(kUnknown) : facts.integrity);
  out.Add("コマンドライン", facts.commandLine ? platform::EscapedLine(*facts.commandLine) : platform::WidenAnsi(facts.commandLineReason));
  out.Add(item::kThreadId, platform::Format("%lu", facts.threadId));

  out.Group(Group::kProps);
  if (facts.props.empty()) out.Add("プロパティ", std::string(kNone));
  for (const WindowProp& prop : facts.props) out.Add(PropItem(prop), platform::WidenAnsi(Hex(prop.data)));
  if (facts.propsCut)
    out.Add("プロパティ", platform::Format("ほかにもあります (最初の %u 個だけを表示)", static_cast<unsigned>(facts.props.size())));

  out.Group(Group::kDisplay);
  out.Add("DPI 認識", DpiAwarenessText(facts.dpiAwareness));
  out.Add("DPI", facts.dpi ? platform::Format("%u", facts.dpi) : std::string(kUnknown));
  out.Add("クローク", CloakText(facts.cloaked));
  return rows;
}

std::vector<PropertyRow> AnotherWindowRows(const WindowFacts& before, const WindowFacts& now) {
  std::vector<PropertyRow> rows;
  CRowWriter out(rows);
  out.Group(Group::kWindow);
  out.Add("ハンドル", platform::FormatHandle(now.hwnd) + " (別のウィンドウを指すようになりました)");
  out.Add("前のウィンドウ", L"\"" + platform::EscapedLine(before.text) + L"\" " + platform::EscapedLine(before.className) +
                              L" [" + platform::EscapedLine(before.processName) + L"]");
  out.Add(platform::WidenAnsi("今のウィンドウ"),
          platform::WidenAnsi(platform::FormatHandle(now.hwnd)) + L" \"" + platform::EscapedLine(now.text) + L"\" " +
              platform::EscapedLine(now.className) + L" [" + platform::EscapedLine(now.processName) + L"]" +
              platform::WidenAnsi(" (ダブルクリックで表示)"),
          now.hwnd);
  return rows;
}

std::string RectText(const RECT& rect) {
  return platform::Format("(%ld, %ld) - (%ld, %ld)  %ld x %ld", rect.left, rect.top, rect.right, rect.bottom,
                          rect.right - rect.left, rect.bottom - rect.top);
}

std::wstring FieldItemName(const std::string& field) {
  // Sorted by field, for the binary search.
  static const struct {
    const char* field;
    const char* item;
  } kItems[] = {
      {"bits", "ビット数"},
      {"class", item::kClassName},
      {"classBackground", "背景ブラシ"},
      {"classCursor", "カーソル"},
      {"classExtra", "クラスの追加バイト"},
      {"classExtraBytes", "クラスの追加バイト"},
      {"classIcon", "アイコン"},
      {"classProc", "クラスプロシージャ"},
      {"classStyle", "クラススタイル"},
      {"clientRect", "クライアントの四角形"},
      {"cloaked", "クローク"},
      {"commandLine", "コマンドライン"},
      {"dpi", "DPI"},
      {"dpiAwareness", "DPI 認識"},
      {"exStyle", item::kExStyle},
      {"firstChild", "最初の子"},
      {"id", "ID"},
      {"instance", "インスタンス"},
      {"integrity", "整合性レベル"},
      {"messageOnly", "メッセージ専用"},
      {"next", "次のウィンドウ"},
      {"owner", item::kOwner},
      {"parent", item::kParent},
      {"path", "パス"},
      {"pid", item::kProcess},
      {"previous", "前のウィンドウ"},
      {"process", item::kProcess},
      {"props", "プロパティ"},
      {"rect", item::kWindowRect},
      {"rootOwner", "ルート所有者"},
      {"style", item::kStyle},
      {"text", item::kText},
      {"tid", item::kThreadId},
      {"userData", "ユーザーデータ"},
      {"visible", item::kVisible},
      {"windowExtra", "ウィンドウの追加バイト"},
      {"windowExtraBytes", "ウィンドウの追加バイト"},
      {"windowProc", "ウィンドウプロシージャ"},
  };
  const auto* end = std::end(kItems);
  const auto* found = std::lower_bound(std::begin(kItems), end, field,
                                       [](const auto& entry, const std::string& key) { return key.compare(entry.field) > 0; });
  if (found == end || field != found->field) return platform::WidenAnsi(field);
  return platform::WidenAnsi(found->item);
}

}  // namespace properties
