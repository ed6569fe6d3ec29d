// The properties view's pure logic over tables of cases: class style names, an address named
// by its module, extra bytes, relations, SetProp names, DPI awareness, cloaking, integrity
// levels, and the rows of whole facts in their groups' order.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/WideText.h"
#include "properties/ClassStyles.h"
#include "msglog/hook/WindowProbe.h"
#include "properties/ProcedureProbe.h"
#include "properties/ProcessFacts.h"
#include "properties/PropertyRows.h"

namespace {

using namespace properties;
using platform::WidenAnsi;

TEST(PropertyFormats, ClassStylesModulesAndExtraBytes) {
  // Style bits without a name are kept in hex after the named ones.
  for (const auto& [style, names] : {std::pair<DWORD, const char*>{0, "なし"}, {CS_VREDRAW | CS_HREDRAW, "CS_VREDRAW | CS_HREDRAW"},
                                     {CS_DBLCLKS | CS_NOCLOSE | CS_DROPSHADOW, "CS_DBLCLKS | CS_NOCLOSE | CS_DROPSHADOW"},
                                     {CS_GLOBALCLASS | 0x80000000u | 0x4, "CS_GLOBALCLASS | 0x80000004"}, {0x100, "0x00000100"}})
    EXPECT_EQ(ClassStyleNames(style), names) << style;
  // A system colour brush is its index plus one, from COLOR_SCROLLBAR to COLOR_MENUBAR, gaps unnamed.
  for (const auto& [brush, name] : {std::pair<uint64_t, const char*>{0, ""}, {1, "COLOR_SCROLLBAR + 1"}, {COLOR_BTNFACE + 1, "COLOR_BTNFACE + 1"},
                                    {26, ""}, {COLOR_MENUBAR + 1, "COLOR_MENUBAR + 1"}, {32, ""}, {0x1900015, ""}})
    EXPECT_EQ(SystemColourBrushName(brush), name) << brush;

  const std::vector<ModuleRange> modules = {{0x00400000, 0x20000, L"qprobe.exe"}, {0x7b000000, 0x1000, L"user32.dll"}, {0x10000000, 0x1000, L"Caf\u00e9\u63a2\u67fb.dll"}};
  const struct {
    uint64_t address;
    const wchar_t* module;
    const wchar_t* text;
  } kAddresses[] = {
      {0x00401a2b, L"qprobe.exe+0x1a2b", L"0x00401a2b (qprobe.exe+0x1a2b)"},
      {0x00400000, L"qprobe.exe+0x0", L"0x00400000 (qprobe.exe+0x0)"},
      {0x0041ffff, L"qprobe.exe+0x1ffff", L"0x0041ffff (qprobe.exe+0x1ffff)"},  // the last byte
      {0x00420000, L"", L"0x00420000"},  // one past the end
      {0x7b000fff, L"user32.dll+0xfff", L"0x7b000fff (user32.dll+0xfff)"},
      {0x10000010, L"Caf\u00e9\u63a2\u67fb.dll+0x10", L"0x10000010 (Caf\u00e9\u63a2\u67fb.dll+0x10)"},  // a name code page 932 cannot hold
      {0x00007ff612345678ull, L"", L"0x00007ff612345678"},
      {0, L"", L"0x00000000"},
  };
  for (const auto& c : kAddresses) {
    EXPECT_EQ(ModuleOfAddress(c.address, modules), c.module) << c.address;
    EXPECT_EQ(AddressText(c.address, modules), c.text);
  }
  // A module above 4 GB, its offset beyond 32 bits.
  EXPECT_EQ(ModuleOfAddress(0x180000000ull, {{0x80000000ull, 0x200000000ull, L"huge.dll"}}), L"huge.dll+0x100000000");

  EXPECT_EQ(ExtraBytesText(0, {}), "0");
  EXPECT_EQ(ExtraBytesText(8, {0x11223344, 0x55667788}), "8: 0x11223344 0x55667788");
  EXPECT_EQ(ExtraBytesText(30, {1, 2, 3, 4, 5, 6, 7}),
            "30: 0x00000001 0x00000002 0x00000003 0x00000004 0x00000005 0x00000006 0x00000007");
  EXPECT_EQ(ExtraBytesText(1000, {1}), "1000: 0x00000001 …");
}

TEST(PropertyFormats, RelationsPropsAwarenessCloakingAndIntegrity) {
  EXPECT_EQ(RelationText(RelatedWindow{}), WidenAnsi("なし"));
  EXPECT_EQ(RelationText(RelatedWindow{reinterpret_cast<HWND>(0x1234), L"日本語 \"q\"", L"Static"}),
            L"0x00001234 \"日本語 \"q\"\" Static");

  EXPECT_EQ(PropItem(WindowProp{std::wstring(L"Named"), 0xc123, 1}), WidenAnsi("プロパティ Named"));
  EXPECT_EQ(PropItem(WindowProp{std::nullopt, 0x42, 1}), WidenAnsi("プロパティ #0x0042"));
  // "#<decimal>" names an integer atom from 1 to 0xBFFF; -1: not an integer atom.
  for (const auto& [name, atom] : {std::pair<const wchar_t*, int>{L"#66", 66}, {L"#49151", 0xbfff}, {L"#49152", -1}, {L"#0", -1},
                                   {L"#", -1}, {L"#6a", -1}, {L"66", -1}, {L"#1234567", -1}})
    EXPECT_EQ(IntegerAtomOfName(name) ? *IntegerAtomOfName(name) : -1, atom) << name;

  const char* const kAwareness[] = {"不明", "非対応", "システム", "モニターごと", "モニターごと v2"};
  for (int i = 0; i <= static_cast<int>(DpiAwareness::kPerMonitorV2); ++i)
    EXPECT_STREQ(DpiAwarenessText(static_cast<DpiAwareness>(i)), kAwareness[i]);
  // Cloaked by the shell, by the program itself and through its owner (bits combined), or unknown.
  for (const auto& [cloaked, text] : {std::pair<std::optional<DWORD>, const char*>{std::nullopt, "不明"}, {0u, "いいえ"},
                                      {2u, "はい (シェル)"}, {5u, "はい (プログラム自身、所有者から)"}, {8u, "はい"}})
    EXPECT_EQ(CloakText(cloaked), text) << (cloaked ? *cloaked : -1);

  for (const auto& [rid, name] : {std::pair<DWORD, const char*>{0, "信頼されていない"}, {0x1000, "低"}, {0x2000, "中"},
                                  {0x2100, "中 (UIAccess)"}, {0x3000, "高"}, {0x4000, "システム"}, {0x5000, "システム"}})
    EXPECT_STREQ(IntegrityLevelName(rid), name) << rid;
}

// The value of the first row with the item, or "(none)".
std::wstring ValueOf(const std::vector<PropertyRow>& rows, const char* item) {
  const std::wstring wanted = WidenAnsi(item);
  for (const PropertyRow& row : rows)
    if (row.item == wanted) return row.value;
  return L"(none)";
}

// Each item's row holds its value.
void ExpectValues(const std::vector<PropertyRow>& rows, std::initializer_list<std::pair<const char*, std::wstring>> expected) {
  for (const auto& [item, value] : expected) EXPECT_EQ(ValueOf(rows, item), value) << item;
}

// A window read as alive, the handle every case here uses.
WindowFacts LiveWindow() {
  WindowFacts facts;
  facts.hwnd = reinterpret_cast<HWND>(0x10020);
  facts.alive = true;
  return facts;
}

TEST(PropertyRowsTest, EveryItemInGroupOrderWithTheProbesAnswerOrItsReason) {
  WindowFacts facts = LiveWindow();
  facts.className = L"QuorvelPropsWindow";
  facts.window = RECT{-10, 20, 310, 220};
  facts.classStyle = CS_DBLCLKS;
  facts.child = true;
  facts.id = 321;
  facts.modules = {{0x00400000, 0x10000, L"qprobe.exe"}};
  facts.owner = RelatedWindow{reinterpret_cast<HWND>(0x30040), L"owner", L"Owner"};
  facts.pid = 12;
  facts.threadId = 34;
  facts.processName = L"qprobe.exe";
  facts.commandLineReason = "読めません";
  facts.classIcon = 0x777;
  facts.props = {WindowProp{std::wstring(L"P"), 0xc001, 0x1234}, WindowProp{std::nullopt, 0x42, 0x5678}};

  std::vector<PropertyRow> rows = PropertyRows(facts);
  // Groups never go back, and every group is there.
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const PropertyRow& a, const PropertyRow& b) { return a.group < b.group; }));
  EXPECT_EQ(GroupOf(rows.front()), Group::kWindow);
  EXPECT_EQ(GroupOf(rows.back()), Group::kDisplay);
  for (const char* item : {"ハンドル", "テキスト", "クラス名", "ウィンドウの四角形", "クライアントの四角形", "クラススタイル",
                           "クラスの追加バイト", "ウィンドウの追加バイト", "ウィンドウプロシージャ", "クラスプロシージャ",
                           "インスタンス", "ユーザーデータ", "ID", "アイコン", "カーソル", "背景ブラシ", "親", "所有者",
                           "ルート所有者", "最初の子", "次のウィンドウ", "前のウィンドウ", "プロセス", "パス", "ビット数",
                           "整合性レベル", "コマンドライン", "スレッドID", "DPI 認識", "DPI", "クローク"})
    EXPECT_FALSE(ValueOf(rows, item).empty() || ValueOf(rows, item) == L"(none)") << item;
  // The icon is the one read from outside until the probe answers.
  ExpectValues(rows, {{"ハンドル", L"0x00010020"}, {"テキスト", WidenAnsi("(空)")}, {"ID", L"321 (0x00000141)"},
                      {"ウィンドウの四角形", L"(-10, 20) - (310, 220)  320 x 200"}, {"クラススタイル", L"0x00000008 CS_DBLCLKS"},
                      {"ウィンドウプロシージャ", WidenAnsi("読み取り中…")}, {"アイコン", L"0x00000777"}, {"ビット数", WidenAnsi("不明")},
                      {"プロセス", L"qprobe.exe (12)"}, {"プロパティ P", L"0x00001234"}, {"プロパティ #0x0042", L"0x00005678"}});
  const auto owner = std::find_if(rows.begin(), rows.end(), [](const PropertyRow& row) { return row.related; });
  ASSERT_NE(owner, rows.end());
  EXPECT_EQ(owner->item, WidenAnsi("所有者"));
  EXPECT_EQ(owner->value, L"0x00030040 \"owner\" Owner");

  facts.procedures = ProcedureFacts{ProcedureFacts::Status::kAnswered, "", 0x00401000, 0x00402000, true, 0x999, 0, 0x555, 0x16};
  ExpectValues(PropertyRows(facts), {{"ウィンドウプロシージャ", WidenAnsi("0x00401000 (qprobe.exe+0x1000)  Unicode  サブクラス化")},
                                     {"クラスプロシージャ", L"0x00402000 (qprobe.exe+0x2000)"}, {"アイコン", L"0x00000999"},
                                     {"カーソル", L"0x00000555"}, {"背景ブラシ", L"0x00000016 (COLOR_3DDKSHADOW + 1)"}});
  facts.procedures.classProc = facts.procedures.windowProc;
  facts.procedures.unicode = false;
  EXPECT_EQ(ValueOf(PropertyRows(facts), "ウィンドウプロシージャ"), WidenAnsi("0x00401000 (qprobe.exe+0x1000)  ANSI"));
  facts.procedures = ProcedureFacts{ProcedureFacts::Status::kNotRead, "応答しません"};
  ExpectValues(PropertyRows(facts), {{"ウィンドウプロシージャ", WidenAnsi("応答しません")}, {"クラスプロシージャ", WidenAnsi("応答しません")}});

  // A 64-bit program's answer brings its modules, command line and full-width values; an
  // outside reading that had them keeps its own.
  ProcedureFacts wide{ProcedureFacts::Status::kAnswered, "", 0x140001010ull, 0x140001010ull, true};
  wide.instance = 0x140000000ull;
  wide.userData = 0x123456789ull;
  wide.modules = {{0x140000000ull, 0x20000, L"wide.exe"}};
  wide.commandLine = L"wide.exe /x";
  WindowFacts outside = facts;
  outside.modules.clear();
  MergeProbeAnswer(outside, wide);
  ExpectValues(PropertyRows(outside), {{"ウィンドウプロシージャ", L"0x0000000140001010 (wide.exe+0x1010)  Unicode"},
                                       {"インスタンス", L"0x0000000140000000 (wide.exe+0x0)"},
                                       {"ユーザーデータ", L"0x0000000123456789"}, {"コマンドライン", L"wide.exe /x"}});
  MergeProbeAnswer(facts, wide);
  EXPECT_EQ(facts.modules.front().name, L"qprobe.exe");
  MergeProbeAnswer(outside, ProcedureFacts{ProcedureFacts::Status::kNotRead, "x"});
  EXPECT_EQ(outside.userData, 0x123456789ull) << "a refusal takes nothing away";

  WindowFacts gone;
  gone.hwnd = facts.hwnd;
  rows = PropertyRows(gone);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].value, WidenAnsi("0x00010020 (ウィンドウはもうありません)"));
  rows = PropertyRows(facts);

  EXPECT_EQ(RowsAsText({rows[0], rows[2]}), WidenAnsi("ハンドル\t0x00010020\r\nクラス名\tQuorvelPropsWindow\r\n"));
}

// What another program holds is shown whole and on one line: names outside code page 932, texts
// with tabs and line breaks (escaped as the tree shows them), and a copied row stays one line.
TEST(PropertyRowsTest, NamesStayWholeAndTextsStayOnOneLine) {
  WindowFacts facts = LiveWindow();
  facts.text = L"行1\r\n行2\tタブ\x1b";
  facts.className = L"Cls\n";
  facts.processName = L"Caf\u00e9\u63a2\u67fb.exe";
  facts.pid = 7;
  facts.path = L"C:\\dir\\Caf\u00e9\u63a2\u67fb.exe";
  facts.commandLine = L"Caf\u00e9\u63a2\u67fb.exe\t/x";
  facts.parent = RelatedWindow{reinterpret_cast<HWND>(0x40), L"a\tb", L"P"};
  facts.props = {WindowProp{std::wstring(L"n\r\n"), 0xc001, 1}};
  const std::vector<PropertyRow> rows = PropertyRows(facts);
  ExpectValues(rows, {{"テキスト", L"行1\\r\\n行2\\tタブ\\x1b"}, {"クラス名", L"Cls\\n"}, {"プロセス", L"Caf\u00e9\u63a2\u67fb.exe (7)"},
                      {"パス", L"C:\\dir\\Caf\u00e9\u63a2\u67fb.exe"}, {"コマンドライン", L"Caf\u00e9\u63a2\u67fb.exe\\t/x"},
                      {"親", L"0x00000040 \"a\\tb\" P"}, {"プロパティ n\\r\\n", L"0x00000001"}});
  const std::wstring copied = RowsAsText(rows);
  size_t lines = 0;
  for (wchar_t c : copied) lines += c == L'\n';
  EXPECT_EQ(lines, rows.size()) << "a row broke its line";
  EXPECT_EQ(copied.find(L"\t\t"), std::wstring::npos);
}

// A 64-bit program's ID, instance and user data: whole once its probe answered, else said to be
// their low half; a 32-bit program's are always whole. A hung window's class handles read as not
// read, with the probe's reason, unless the outside reading had them.
TEST(PropertyRowsTest, WideValuesAndClassHandlesSayWhatCouldNotBeRead) {
  WindowFacts facts = LiveWindow();
  facts.child = true;
  facts.id = 0x89abcdef;
  facts.instance = 0x00400000;
  facts.userData = 0x12345678;
  const std::wstring low = WidenAnsi(" (下位 32 ビットだけ読めました)");
  facts.sixtyFourBit = false;
  EXPECT_EQ(ValueOf(PropertyRows(facts), "ID"), L"2309737967 (0x89abcdef)");
  facts.sixtyFourBit = true;
  for (auto status : {ProcedureFacts::Status::kReading, ProcedureFacts::Status::kNotRead}) {
    facts.procedures.status = status;
    ExpectValues(PropertyRows(facts), {{"ID", L"2309737967 (0x89abcdef)" + low}, {"インスタンス", L"0x00400000" + low},
                                       {"ユーザーデータ", L"0x12345678" + low}});
  }
  // Top-level: the ID is the menu, a handle read whole from outside.
  facts.child = false;
  EXPECT_EQ(ValueOf(PropertyRows(facts), "ID"), WidenAnsi("メニュー 0x89abcdef"));

  ProcedureFacts answer{ProcedureFacts::Status::kAnswered};
  answer.id = 0x100000001ull;
  answer.instance = 0x7ff600000000ull;
  answer.userData = 0xffffffff00000001ull;
  WindowFacts topLevel = facts;
  MergeProbeAnswer(topLevel, answer);
  EXPECT_EQ(topLevel.id, 0x89abcdefu) << "a top-level window's ID is its menu";
  facts.child = true;
  MergeProbeAnswer(facts, answer);
  ExpectValues(PropertyRows(facts), {{"ID", L"4294967297 (0x0000000100000001)"}, {"インスタンス", L"0x00007ff600000000"},
                                     {"ユーザーデータ", L"0xffffffff00000001"}});

  WindowFacts hung = LiveWindow();
  hung.procedures = ProcedureFacts{ProcedureFacts::Status::kNotRead, "プログラムが応答しないため読めません"};
  hung.classCursor = 0x10013;  // read from outside
  const std::wstring notRead = WidenAnsi("プログラムが応答しないため読めません");
  ExpectValues(PropertyRows(hung), {{"アイコン", notRead}, {"背景ブラシ", notRead}, {"カーソル", L"0x00010013"}});
  hung.procedures.status = ProcedureFacts::Status::kReading;
  EXPECT_EQ(ValueOf(PropertyRows(hung), "アイコン"), WidenAnsi("読み取り中…"));
  hung.procedures = ProcedureFacts{ProcedureFacts::Status::kAnswered};
  EXPECT_EQ(ValueOf(PropertyRows(hung), "アイコン"), WidenAnsi("なし")) << "answered: none is none";

  // The 64-bit probe's limit has the helper's time on top of the hook's.
  EXPECT_EQ(ProbeLimitMs(false), kProbeLimitMs);
  EXPECT_EQ(ProbeLimitMs(true), kProbeLimitMs + msglog::kProbeHelperLimitMs);
}

// Every SetProp entry up to the bound, the cut said; a handle that names another window now.
TEST(PropertyRowsTest, PropsAtTheirBoundAndAHandleThatNamesAnotherWindow) {
  WindowFacts facts = LiveWindow();
  facts.className = L"Old";
  facts.processName = L"old.exe";
  facts.pid = 1;
  facts.threadId = 2;
  for (uint16_t i = 0; i < 3; ++i) facts.props.push_back(WindowProp{std::nullopt, static_cast<uint16_t>(i + 1), i});
  auto propRows = [](const std::vector<PropertyRow>& rows) {
    return std::count_if(rows.begin(), rows.end(), [](const PropertyRow& row) { return GroupOf(row) == Group::kProps; });
  };
  EXPECT_EQ(propRows(PropertyRows(facts)), 3);
  facts.propsCut = true;
  const std::vector<PropertyRow> cut = PropertyRows(facts);
  EXPECT_EQ(propRows(cut), 4);
  EXPECT_EQ(ValueOf(cut, "プロパティ"), WidenAnsi("ほかにもあります (最初の 3 個だけを表示)"));

  WindowFacts now = facts;
  now.text = L"new title";
  EXPECT_FALSE(IsAnotherWindow(facts, now)) << "a new title is the same window";
  for (int change = 0; change < 3; ++change) {
    WindowFacts other = facts;
    if (change == 0) other.className = L"New";
    if (change == 1) other.pid = 3;
    if (change == 2) other.threadId = 4;
    EXPECT_TRUE(IsAnotherWindow(facts, other)) << change;
    EXPECT_FALSE(IsAnotherWindow(WindowFacts{}, other)) << "nothing read before";
  }
  now.className = L"New";
  now.processName = L"new.exe";
  const std::vector<PropertyRow> rows = AnotherWindowRows(facts, now);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].value, WidenAnsi("0x00010020 (別のウィンドウを指すようになりました)"));
  EXPECT_EQ(rows[1].value, L"\"\" Old [old.exe]");
  EXPECT_EQ(rows[2].value, L"0x00010020 \"new title\" New [new.exe]" + WidenAnsi(" (ダブルクリックで表示)"));
  EXPECT_EQ(rows[2].related, facts.hwnd);
  EXPECT_EQ(rows[1].related, nullptr);
}

}  // namespace
