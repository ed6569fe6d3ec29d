// The properties view created in the test process: rows from a reader the test plays (the
// probe answering later, a relation row double-clicked, copies and 更新), and the system's
// reader on a subclassed window of the test itself.
#include <gtest/gtest.h>
#include <algorithm>
#include <windows.h>
#include <commctrl.h>

#include "platform/Clipboard.h"
#include "platform/PopupMenu.h"
#include "platform/RowCopy.h"
#include "platform/ViewRequests.h"
#include "properties/PropertiesDlg.h"
#include "properties/WindowReader.h"
#include "res/resource.h"
#include "E2eDriver.h"
#include "support/UiTestSupport.h"

namespace {

using namespace properties;

// The main dialog's stand-in: a window whose receiver notes the view requests it gets.
HWND g_requested = nullptr;
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
void NoteRequest(const platform::ViewRequest& request) {
  if (request.code == platform::kOpenPropertiesMessage) g_requested = request.window;
}

HWND MakeWindow(const char* className, WNDPROC proc, const char* title, int extraBytes = 0) {
  WNDCLASSEXA wc = {sizeof wc};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  wc.style = CS_OWNDC;
  wc.cbWndExtra = extraBytes;
  RegisterClassExA(&wc);
  return CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
}

// Plays the facts the test holds (and may change between two readings).
class CPlayedReader : public IWindowReader {
 public:
  CPlayedReader(const WindowFacts* facts, int* reads) : m_facts(facts), m_reads(reads) {}
  WindowFacts Read(HWND) override {
    ++*m_reads;
    return *m_facts;
  }
  void AskProcedures(HWND) override { m_polls = 0; }
  std::optional<ProcedureFacts> PollProcedures() override {
    if (++m_polls < 3) return std::nullopt;
    return ProcedureFacts{ProcedureFacts::Status::kAnswered, "", 0x401000, 0x402000, false};
  }

 private:
  const WindowFacts* m_facts;
  int* m_reads;
  int m_polls = 0;
};

// The value of the list's row named item.
std::string Value(const e2e::RemoteListView& list, const char* item) { return list.ItemText(list.FindRow(0, item), 1); }

TEST(PropertiesDlgTest, ProbeAnswerFillsInRelationOpensThroughOwnerCopiesAndRefreshReadsAgain) {
  HWND owner = MakeWindow("QuorvelPropsTestOwner", OwnerProc, "owner");
  platform::CViewRequestReceiver receiver(owner, NoteRequest);
  HWND viewed = MakeWindow("QuorvelPropsTestViewed", DefWindowProcA, "viewed");
  WindowFacts facts;
  facts.hwnd = viewed;
  facts.alive = true;
  facts.text = L"viewed\ttab\r\nline";
  facts.modules = {{0x400000, 0x10000, L"played.exe"}};
  facts.owner = RelatedWindow{owner, L"owner", L"QuorvelPropsTestOwner"};
  int reads = 0;
  CPropertiesDlg view(viewed, std::make_unique<CPlayedReader>(&facts, &reads));
  ASSERT_TRUE(view.Open(owner, 0));
  HWND dialog = view.GetSafeHwnd();
  HWND list = GetDlgItem(dialog, IDC_PR_LIST);
  e2e::RemoteListView rows(list);
  EXPECT_EQ(e2e::WindowText(dialog), "プロパティ (" + e2e::HandleText(viewed) + ")");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  EXPECT_EQ(reads, 1);
  const int procedure = rows.FindRow(0, "ウィンドウプロシージャ");
  ASSERT_GE(procedure, 0);
  EXPECT_EQ(rows.ItemText(procedure, 1), "読み取り中…");
  // The probe's answer arrives on the timer, without the list being filled anew.
  EXPECT_TRUE(uitest::PumpUntil([&] { return rows.ItemText(procedure, 1) != "読み取り中…"; }, 2000));
  EXPECT_EQ(rows.ItemText(procedure, 1), "0x00401000 (played.exe+0x1000)  ANSI  サブクラス化");
  EXPECT_EQ(static_cast<size_t>(rows.ItemCount()), view.Rows().size());

  // A double-click on the owner row asks the owner (the main dialog) for that window's view.
  const int ownerRow = rows.FindRow(0, "所有者");
  ASSERT_GE(ownerRow, 0);
  NMITEMACTIVATE activate{};
  activate.hdr = NMHDR{list, IDC_PR_LIST, static_cast<UINT>(NM_DBLCLK)};
  activate.iItem = ownerRow;
  g_requested = nullptr;
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(g_requested, owner);
  activate.iItem = rows.FindRow(0, "テキスト");
  g_requested = nullptr;
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(g_requested, nullptr) << "a row naming no window opens nothing";

  // The menu (コピー, すべてコピー) and Ctrl+C copy the rows as the list shows them, a text's
  // tab and line breaks escaped so its row stays one line.
  std::vector<UINT> answers = {platform::kCopyRowsCommand, platform::kCopyAllRowsCommand};
  size_t asked = 0;
  std::vector<platform::PopupMenuItem> menu;
  platform::PopupMenuHook previous = platform::SetPopupMenuHook([&](HWND, POINT, const std::vector<platform::PopupMenuItem>& items) {
    menu = items;
    return answers.at(asked++);
  });
  const int textRow = rows.FindRow(0, "テキスト");
  ASSERT_GE(textRow, 0);
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(procedure), reinterpret_cast<LPARAM>(&select));
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(textRow), reinterpret_cast<LPARAM>(&select));
  const std::wstring selectedShown = uitest::ShownListRows(list, 2, true);
  EXPECT_NE(selectedShown.find(L"\u30c6\u30ad\u30b9\u30c8\tviewed\\ttab\\r\\nline\r\n"), std::wstring::npos);
  EXPECT_EQ(std::count(selectedShown.begin(), selectedShown.end(), L'\n'), 2);
  SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].text + menu[1].text, "コピーすべてコピー");
  EXPECT_TRUE(menu[0].enabled && menu[1].enabled);
  EXPECT_EQ(e2e::ClipboardText(), selectedShown);
  SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  const std::wstring all = e2e::ClipboardText();
  EXPECT_EQ(all, uitest::ShownListRows(list, 2, false));
  EXPECT_EQ(std::count(all.begin(), all.end(), L'\n'), rows.ItemCount());
  uitest::PressCtrlC(dialog, IDC_PR_LIST, LVN_KEYDOWN);
  EXPECT_EQ(e2e::ClipboardText(), selectedShown);
  platform::SetPopupMenuHook(previous);

  // 更新 reads everything again and asks the probe again.
  uitest::Click(dialog, IDC_PR_REFRESH);
  EXPECT_EQ(reads, 2);
  EXPECT_EQ(rows.ItemText(procedure, 1), "読み取り中…");

  // Resizing keeps the list filling the dialog.
  RECT before{}, after{};
  GetWindowRect(list, &before);
  SetWindowPos(dialog, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(list, &after);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_GT(after.bottom - after.top, before.bottom - before.top);

  SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(view.Closed());
  EXPECT_FALSE(IsWindowVisible(dialog));
  DestroyWindow(viewed);
  DestroyWindow(owner);
}

WNDPROC g_original = nullptr;
LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(g_original, hwnd, msg, wParam, lParam);
}

TEST(PropertiesDlgTest, SystemReaderReadsASubclassedWindowOfItsOwnProgram) {
  HWND owner = MakeWindow("QuorvelPropsTestOwner", OwnerProc, "owner");
  platform::CViewRequestReceiver receiver(owner, NoteRequest);
  HWND viewed = MakeWindow("QuorvelPropsTestExtra", DefWindowProcA, "日本語 viewed", 8);
  SetWindowLongA(viewed, 4, 0x0badf00d);
  SetPropA(viewed, "QuorvelTestProp", reinterpret_cast<HANDLE>(0x77));
  g_original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(viewed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
  CPropertiesDlg view(viewed);
  ASSERT_TRUE(view.Open(owner, 0));
  e2e::RemoteListView list(GetDlgItem(view.GetSafeHwnd(), IDC_PR_LIST));
  EXPECT_TRUE(uitest::PumpUntil([&] { return Value(list, "ウィンドウプロシージャ") != "読み取り中…"; }, 2000));
  EXPECT_NE(Value(list, "ウィンドウプロシージャ").find("ANSI  サブクラス化"), std::string::npos);
  EXPECT_EQ(Value(list, "テキスト"), "日本語 viewed");
  EXPECT_EQ(Value(list, "クラススタイル"), "0x00000020 CS_OWNDC");
  EXPECT_EQ(Value(list, "ウィンドウの追加バイト"), "8: 0x00000000 0x0badf00d");
  EXPECT_EQ(Value(list, "プロパティ QuorvelTestProp"), "0x00000077");
  EXPECT_EQ(Value(list, "ビット数"), "32 ビット");
  EXPECT_NE(Value(list, "スレッドID"), "");
  view.DestroyWindow();
  DestroyWindow(viewed);
  DestroyWindow(owner);
}

// 更新 on a handle that now names a window of another class or program: the view says so and
// shows the other window only when its row is double-clicked, never under the old one's rows.
TEST(PropertiesDlgTest, RefreshOnAHandleThatNamesAnotherWindowSaysSoAndOffersIt) {
  HWND owner = MakeWindow("QuorvelPropsTestOwner", OwnerProc, "owner");
  HWND viewed = MakeWindow("QuorvelPropsTestViewed", DefWindowProcA, "viewed");
  WindowFacts facts;
  facts.hwnd = viewed;
  facts.alive = true;
  facts.text = L"old";
  facts.className = L"OldClass";
  facts.processName = L"old.exe";
  facts.pid = 10;
  int reads = 0;
  CPropertiesDlg view(viewed, std::make_unique<CPlayedReader>(&facts, &reads));
  ASSERT_TRUE(view.Open(owner, 0));
  HWND dialog = view.GetSafeHwnd();
  HWND list = GetDlgItem(dialog, IDC_PR_LIST);
  e2e::RemoteListView rows(list);
  EXPECT_EQ(Value(rows, "クラス名"), "OldClass");

  facts.text = L"new\ttitle";
  facts.className = L"NewClass";
  facts.processName = L"new.exe";
  facts.pid = 11;
  uitest::Click(dialog, IDC_PR_REFRESH);
  EXPECT_EQ(Value(rows, "ハンドル"), e2e::HandleText(viewed) + " (別のウィンドウを指すようになりました)");
  EXPECT_EQ(Value(rows, "前のウィンドウ"), "\"old\" OldClass [old.exe]");
  EXPECT_EQ(Value(rows, "今のウィンドウ"), e2e::HandleText(viewed) + " \"new\\ttitle\" NewClass [new.exe] (ダブルクリックで表示)");
  EXPECT_LT(rows.FindRow(0, "クラス名"), 0) << "the new window is not shown under the old one";
  // The probe's late answer does not put the old rows back.
  EXPECT_FALSE(uitest::PumpUntil([&] { return rows.FindRow(0, "クラス名") >= 0; }, 500));

  NMITEMACTIVATE activate{};
  activate.hdr = NMHDR{list, IDC_PR_LIST, static_cast<UINT>(NM_DBLCLK)};
  activate.iItem = rows.FindRow(0, "今のウィンドウ");
  g_requested = nullptr;
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(g_requested, nullptr) << "shown in this view, which is the handle's";
  EXPECT_EQ(Value(rows, "クラス名"), "NewClass");
  EXPECT_EQ(Value(rows, "テキスト"), "new\\ttitle");
  EXPECT_EQ(Value(rows, "プロセス"), "new.exe (11)");
  // The same window again: read as usual.
  facts.text = L"renamed";
  uitest::Click(dialog, IDC_PR_REFRESH);
  EXPECT_EQ(Value(rows, "テキスト"), "renamed");
  view.DestroyWindow();
  DestroyWindow(viewed);
  DestroyWindow(owner);
}

// Every SetProp entry up to the bound, and a cut said only past it.
TEST(PropertiesDlgTest, SetPropEntriesAreReadUpToTheirBoundAndTheCutIsSaidOnlyPastIt) {
  HWND window = MakeWindow("QuorvelPropsTestProps", DefWindowProcA, "props");
  ASSERT_NE(window, nullptr);
  bool cut = true;
  // The system may hang entries of its own on a window.
  const size_t own = ReadWindowProps(window, kMaxProps, &cut).size();
  EXPECT_FALSE(cut);
  for (int i = 0; i < 5; ++i) SetPropA(window, ("QuorvelProp" + std::to_string(i)).c_str(), reinterpret_cast<HANDLE>(i + 1));
  const size_t all = own + 5;
  for (size_t limit : {all - 1, all, all + 1}) {
    const std::vector<WindowProp> props = ReadWindowProps(window, limit, &cut);
    EXPECT_EQ(props.size(), std::min(limit, all)) << limit;
    EXPECT_EQ(cut, limit < all) << limit;
  }
  EXPECT_EQ(ReadWindowProps(window, kMaxProps, &cut).size(), all);
  EXPECT_FALSE(cut);
  for (int i = 0; i < 5; ++i) RemovePropA(window, ("QuorvelProp" + std::to_string(i)).c_str());
  DestroyWindow(window);
}

}  // namespace
