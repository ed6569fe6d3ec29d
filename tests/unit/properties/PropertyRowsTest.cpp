// The properties view's pure logic over tables of cases: class style names, an address named
// by its module, extra bytes, relations, SetProp names, DPI awareness, cloaking, integrity
// levels, and the rows of whole facts in their groups' order.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/WideText.h"
#include "properties/ClassStyles.h"
#include "properties/ProcessFacts.h"
#include "properties/PropertyRows.h"

namespace {

using namespace properties;
using platform::WidenAnsi;

TEST(PropertyFormats, ClassStylesModulesAndExtraBytes) {
  const struct {
    DWORD style;
    const char* names;
  } kStyles[] = {
      {0, "なし"},
      {CS_VREDRAW | CS_HREDRAW, "CS_VREDRAW | CS_HREDRAW"},
      {CS_DBLCLKS | CS_NOCLOSE | CS_DROPSHADOW, "CS_DBLCLKS | CS_NOCLOSE | CS_DROPSHADOW"},
      {CS_GLOBALCLASS | 0x80000000u | 0x4, "CS_GLOBALCLASS | 0x80000004"},
      {0x100, "0x00000100"},
  };
  for (const auto& c : kStyles) EXPECT_EQ(ClassStyleNames(c.style), c.names) << c.style;
  const struct {
    uint64_t brush;
    const char* name;
  } kBrushes[] = {{0, ""}, {1, "COLOR_SCROLLBAR + 1"}, {COLOR_BTNFACE + 1, "COLOR_BTNFACE + 1"}, {26, ""},
                  {COLOR_MENUBAR + 1, "COLOR_MENUBAR + 1"}, {32, ""}, {0x1900015, ""}};
  for (const auto& c : kBrushes) EXPECT_EQ(SystemColourBrushName(c.brush), c.name) << c.brush;

  const std::vector<ModuleRange> modules = {{0x00400000, 0x20000, "qprobe.exe"}, {0x7b000000, 0x1000, "user32.dll"}};
  const struct {
    uint64_t address;
    const char* module;
    const char* text;
  } kAddresses[] = {
      {0x00401a2b, "qprobe.exe+0x1a2b", "0x00401a2b (qprobe.exe+0x1a2b)"},
      {0x00400000, "qprobe.exe+0x0", "0x00400000 (qprobe.exe+0x0)"},
      {0x00420000, "", "0x00420000"},  // one past the end
      {0x7b000fff, "user32.dll+0xfff", "0x7b000fff (user32.dll+0xfff)"},
      {0x00007ff612345678ull, "", "0x00007ff612345678"},
      {0, "", "0x00000000"},
  };
  for (const auto& c : kAddresses) {
    EXPECT_EQ(ModuleOfAddress(c.address, modules), c.module) << c.text;
    EXPECT_EQ(AddressText(c.address, modules), c.text);
  }

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
  const struct {
    const wchar_t* name;
    int atom;  // -1: not an integer atom
  } kAtoms[] = {{L"#66", 66}, {L"#49151", 0xbfff}, {L"#49152", -1}, {L"#0", -1}, {L"#", -1},
                {L"#6a", -1}, {L"66", -1},       {L"#1234567", -1}};
  for (const auto& c : kAtoms) {
    const std::optional<uint16_t> atom = IntegerAtomOfName(c.name);
    EXPECT_EQ(atom ? *atom : -1, c.atom);
  }

  EXPECT_STREQ(DpiAwarenessText(DpiAwareness::kUnknown), "不明");
  EXPECT_STREQ(DpiAwarenessText(DpiAwareness::kUnaware), "非対応");
  EXPECT_STREQ(DpiAwarenessText(DpiAwareness::kSystem), "システム");
  EXPECT_STREQ(DpiAwarenessText(DpiAwareness::kPerMonitor), "モニターごと");
  EXPECT_STREQ(DpiAwarenessText(DpiAwareness::kPerMonitorV2), "モニターごと v2");

  EXPECT_EQ(CloakText(std::nullopt), "不明");
  EXPECT_EQ(CloakText(0u), "いいえ");
  EXPECT_EQ(CloakText(2u), "はい (シェル)");
  EXPECT_EQ(CloakText(5u), "はい (プログラム自身、所有者から)");
  EXPECT_EQ(CloakText(8u), "はい");

  const struct {
    DWORD rid;
    const char* name;
  } kLevels[] = {{0, "信頼されていない"}, {0x1000, "低"}, {0x2000, "中"}, {0x2100, "中 (UIAccess)"},
                 {0x3000, "高"},            {0x4000, "システム"}, {0x5000, "システム"}};
  for (const auto& c : kLevels) EXPECT_STREQ(IntegrityLevelName(c.rid), c.name) << c.rid;
}

// The value of the first row with the item, or "(none)".
std::wstring ValueOf(const std::vector<PropertyRow>& rows, const char* item) {
  const std::wstring wanted = WidenAnsi(item);
  for (const PropertyRow& row : rows)
    if (row.item == wanted) return row.value;
  return L"(none)";
}

TEST(PropertyRowsTest, EveryItemInGroupOrderWithTheProbesAnswerOrItsReason) {
  WindowFacts facts;
  facts.hwnd = reinterpret_cast<HWND>(0x10020);
  facts.alive = true;
  facts.className = L"QuorvelPropsWindow";
  facts.window = RECT{-10, 20, 310, 220};
  facts.classStyle = CS_DBLCLKS;
  facts.child = true;
  facts.id = 321;
  facts.modules = {{0x00400000, 0x10000, "qprobe.exe"}};
  facts.owner = RelatedWindow{reinterpret_cast<HWND>(0x30040), L"owner", L"Owner"};
  facts.pid = 12;
  facts.threadId = 34;
  facts.processName = "qprobe.exe";
  facts.commandLineReason = "読めません";
  facts.classIcon = 0x777;
  facts.props = {WindowProp{std::wstring(L"P"), 0xc001, 0x1234}, WindowProp{std::nullopt, 0x42, 0x5678}};

  std::vector<PropertyRow> rows = PropertyRows(facts);
  // Groups never go back, and every group is there.
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const PropertyRow& a, const PropertyRow& b) { return a.group < b.group; }));
  EXPECT_EQ(rows.front().group, Group::kWindow);
  EXPECT_EQ(rows.back().group, Group::kDisplay);
  for (const char* item : {"ハンドル", "テキスト", "クラス名", "ウィンドウの四角形", "クライアントの四角形", "クラススタイル",
                           "クラスの追加バイト", "ウィンドウの追加バイト", "ウィンドウプロシージャ", "クラスプロシージャ",
                           "インスタンス", "ユーザーデータ", "ID", "アイコン", "カーソル", "背景ブラシ", "親", "所有者",
                           "ルート所有者", "最初の子", "次のウィンドウ", "前のウィンドウ", "プロセス", "パス", "ビット数",
                           "整合性レベル", "コマンドライン", "スレッドID", "DPI 認識", "DPI", "クローク"})
    EXPECT_FALSE(ValueOf(rows, item).empty() || ValueOf(rows, item) == L"(none)") << item;
  EXPECT_EQ(ValueOf(rows, "ハンドル"), L"0x00010020");
  EXPECT_EQ(ValueOf(rows, "テキスト"), WidenAnsi("(空)"));
  EXPECT_EQ(ValueOf(rows, "ウィンドウの四角形"), L"(-10, 20) - (310, 220)  320 x 200");
  EXPECT_EQ(ValueOf(rows, "クラススタイル"), L"0x00000008 CS_DBLCLKS");
  EXPECT_EQ(ValueOf(rows, "ID"), L"321 (0x00000141)");
  EXPECT_EQ(ValueOf(rows, "ウィンドウプロシージャ"), WidenAnsi("読み取り中…"));
  EXPECT_EQ(ValueOf(rows, "アイコン"), L"0x00000777");  // from outside until the probe answers
  EXPECT_EQ(ValueOf(rows, "ビット数"), WidenAnsi("不明"));
  EXPECT_EQ(ValueOf(rows, "プロセス"), L"qprobe.exe (12)");
  EXPECT_EQ(ValueOf(rows, "プロパティ P"), L"0x00001234");
  EXPECT_EQ(ValueOf(rows, "プロパティ #0x0042"), L"0x00005678");
  const auto owner = std::find_if(rows.begin(), rows.end(), [](const PropertyRow& row) { return row.related; });
  ASSERT_NE(owner, rows.end());
  EXPECT_EQ(owner->item, WidenAnsi("所有者"));
  EXPECT_EQ(owner->value, L"0x00030040 \"owner\" Owner");

  facts.procedures = ProcedureFacts{ProcedureFacts::Status::kAnswered, "", 0x00401000, 0x00402000, true, 0x999, 0, 0x555, 0x16};
  rows = PropertyRows(facts);
  EXPECT_EQ(ValueOf(rows, "ウィンドウプロシージャ"), WidenAnsi("0x00401000 (qprobe.exe+0x1000)  Unicode  サブクラス化"));
  EXPECT_EQ(ValueOf(rows, "クラスプロシージャ"), L"0x00402000 (qprobe.exe+0x2000)");
  EXPECT_EQ(ValueOf(rows, "アイコン"), L"0x00000999");
  EXPECT_EQ(ValueOf(rows, "カーソル"), L"0x00000555");
  EXPECT_EQ(ValueOf(rows, "背景ブラシ"), L"0x00000016 (COLOR_3DDKSHADOW + 1)");
  facts.procedures.classProc = facts.procedures.windowProc;
  facts.procedures.unicode = false;
  EXPECT_EQ(ValueOf(PropertyRows(facts), "ウィンドウプロシージャ"), WidenAnsi("0x00401000 (qprobe.exe+0x1000)  ANSI"));
  facts.procedures = ProcedureFacts{ProcedureFacts::Status::kNotRead, "応答しません"};
  rows = PropertyRows(facts);
  EXPECT_EQ(ValueOf(rows, "ウィンドウプロシージャ"), WidenAnsi("応答しません"));
  EXPECT_EQ(ValueOf(rows, "クラスプロシージャ"), WidenAnsi("応答しません"));

  // A 64-bit program's answer brings its modules, command line and full-width values; an
  // outside reading that had them keeps its own.
  ProcedureFacts wide{ProcedureFacts::Status::kAnswered, "", 0x140001010ull, 0x140001010ull, true};
  wide.instance = 0x140000000ull;
  wide.userData = 0x123456789ull;
  wide.modules = {{0x140000000ull, 0x20000, "wide.exe"}};
  wide.commandLine = L"wide.exe /x";
  WindowFacts outside = facts;
  outside.modules.clear();
  MergeProbeAnswer(outside, wide);
  rows = PropertyRows(outside);
  EXPECT_EQ(ValueOf(rows, "ウィンドウプロシージャ"), L"0x0000000140001010 (wide.exe+0x1010)  Unicode");
  EXPECT_EQ(ValueOf(rows, "インスタンス"), L"0x0000000140000000 (wide.exe+0x0)");
  EXPECT_EQ(ValueOf(rows, "ユーザーデータ"), L"0x0000000123456789");
  EXPECT_EQ(ValueOf(rows, "コマンドライン"), L"wide.exe /x");
  MergeProbeAnswer(facts, wide);
  EXPECT_EQ(facts.modules.front().name, "qprobe.exe");
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

}  // namespace
