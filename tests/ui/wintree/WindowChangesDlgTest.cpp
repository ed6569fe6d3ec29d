// The tree's list of what changed in the test process: 比較… with a snapshot that holds a window
// the desktop lacks lists and marks it, the list's menu copies its rows and saves them as JSON
// Lines and as CSV, and a file that is not a snapshot is said in a box.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "RemoteTreeView.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/RowCopy.h"
#include "platform/WideText.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"
#include "wintree/WindowTreeDlg.h"

namespace {

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

std::string Bytes(const std::wstring& path) {
  std::ifstream in(platform::Utf8FromWide(path).c_str(), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Write(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(platform::Utf8FromWide(path).c_str(), std::ios::binary);
  out << bytes;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return text;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

TEST(WindowChangesDlgTest, ACompareListsAndMarksAGoneWindowAndTheListIsCopiedAndSavedAsJsonLinesAndCsv) {
  const std::wstring snapshot = TempPath(L"qv-ghost-snapshot.json");
  Write(snapshot, u8R"({"schema":"quorvel.snapshot/1","taken":"2026-12-08T15:00:00.000Z","windows":[
      {"handle":"0x7ffffff0","class":"QvGhostClass","text":"QvGhost 幽霊","pid":1,"tid":1,"process":"ghost.exe",
       "visible":true,"rect":[1,2,3,4],"style":"0x10000000","exStyle":"0x00000000","parent":null,"owner":null,
       "messageOnly":false}]})");
  const std::wstring jsonLines = TempPath(L"qv-ghost-changes.jsonl");
  const std::wstring csv = TempPath(L"qv-ghost-changes.csv");
  std::wstring answerPath = snapshot;
  DWORD answerType = 1;
  platform::SaveFileDialogHook oldFiles = platform::SetSaveFileDialogHook([&](HWND, const platform::SaveFileRequest&) {
    return std::optional<platform::SaveFileChoice>(platform::SaveFileChoice{answerPath, answerType});
  });
  UINT menuAnswer = 0;
  std::vector<platform::PopupMenuItem> menu;
  platform::PopupMenuHook oldMenu = platform::SetPopupMenuHook([&](HWND, POINT, const auto& items) {
    menu = items;
    return menuAnswer;
  });
  std::string boxText;
  platform::MessageBoxHook oldBox = platform::SetMessageBoxHook([&](HWND, const std::string& text, const std::string&, UINT) {
    boxText = text;
    return IDOK;
  });

  wintree::CWindowTreeDlg dlg;
  ASSERT_TRUE(dlg.Open(nullptr) && uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000));
  const HWND dialog = dlg.GetSafeHwnd();
  // Only the ghost is compared: the search narrows what is listed.
  ::SetDlgItemTextW(dialog, IDC_WT_SEARCH, L"QvGhost");
  ::SetFocus(::GetDlgItem(dialog, IDC_WT_SEARCH));
  ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WT_COMPARE, BN_CLICKED), 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Busy() && dlg.Changes().Size() > 0; }, 30000));
  ASSERT_EQ(dlg.Changes().Size(), 1u);
  const HWND list = ::GetDlgItem(dialog, IDC_WT_CHANGES);
  EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  const wintree::ChangeRow& row = dlg.Changes().Row(0);
  EXPECT_EQ(row.kind, wintree::ChangeKind::kRemoved);
  EXPECT_EQ(wintree::ChangeWindowText(row), L"0x7ffffff0 \"QvGhost 幽霊\" QvGhostClass");
  // In the tree where it was (at the end: nothing was read before it), crossed out.
  e2e::RemoteTreeView tree(dlg.GetDlgItem(IDC_WT_TREE));
  const e2e::RemoteTreeItem ghost = tree.Find(L"0x7ffffff0 ");
  ASSERT_NE(ghost.item, nullptr);
  EXPECT_EQ((ghost.state & TVIS_STATEIMAGEMASK) >> 12, wintree::kRemovedImage);

  // The menu: コピー only with a row selected, すべてコピー, 一覧を保存…; コピー and Ctrl+C copy the
  // selected rows, すべてコピー every row, as the list shows them.
  menuAnswer = 0;
  ::SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].text + menu[1].text + menu[2].text, "コピーすべてコピー一覧を保存…");
  EXPECT_FALSE(menu[0].enabled);
  EXPECT_TRUE(menu[1].enabled && menu[2].enabled);
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  menuAnswer = platform::kCopyAllRowsCommand;
  ::SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  const std::wstring shown = uitest::ShownListRows(list, wintree::kChangeColumns, false);
  EXPECT_EQ(ClipboardText(), shown);
  EXPECT_NE(shown.find(L"\t削除\t0x7ffffff0 \"QvGhost 幽霊\" QvGhostClass\t\t\t\r\n"), std::wstring::npos) << shown.size();
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  menuAnswer = platform::kCopyRowsCommand;
  ::SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  EXPECT_TRUE(menu[0].enabled);
  EXPECT_EQ(ClipboardText(), uitest::ShownListRows(list, wintree::kChangeColumns, true));
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  uitest::PressCtrlC(dialog, IDC_WT_CHANGES, LVN_KEYDOWN);
  EXPECT_EQ(ClipboardText(), shown);

  // 一覧を保存…: JSON Lines (the second type), one event of the watch format; then CSV.
  menuAnswer = 1;
  answerPath = jsonLines;
  answerType = 2;
  ::SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  const std::string lines = Bytes(jsonLines);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), '\n');
  const wintree::Json event = wintree::Json::parse(lines);
  EXPECT_EQ(event["op"], "removed");
  EXPECT_EQ(event["handle"], "0x7ffffff0");
  EXPECT_EQ(event["text"], u8"QvGhost 幽霊");
  answerPath = csv;
  answerType = 1;
  ::SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
  const std::string table = Bytes(csv);
  EXPECT_EQ(table.rfind(u8"\xEF\xBB\xBF時刻,変化,ウィンドウ,項目,変更前,変更後\r\n", 0), 0u) << table;
  EXPECT_NE(table.find(u8",削除,\"0x7ffffff0 \"\"QvGhost 幽霊\"\" QvGhostClass\",,,\r\n"), std::string::npos) << table;
  EXPECT_TRUE(boxText.empty()) << boxText;

  // クリア empties the list and takes the gone window out of the tree.
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WT_CLEAR, BN_CLICKED), 0);
  EXPECT_EQ(dlg.Changes().Size(), 0u);
  EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(tree.Find(L"0x7ffffff0 ").item, nullptr);

  // A file that is not a snapshot: said in a box, with where it went wrong; nothing listed.
  Write(snapshot, "{\"schema\": \"quorvel.snapshot/1\", \"windows\": [");
  answerPath = snapshot;
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WT_COMPARE, BN_CLICKED), 0);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Busy() && !boxText.empty(); }, 30000));
  EXPECT_EQ(boxText.rfind("スナップショットを読めませんでした。\r\n", 0), 0u) << boxText;
  EXPECT_EQ(dlg.Changes().Size(), 0u);

  dlg.DestroyWindow();
  platform::SetSaveFileDialogHook(oldFiles);
  platform::SetPopupMenuHook(oldMenu);
  platform::SetMessageBoxHook(oldBox);
  for (const std::wstring& path : {snapshot, jsonLines, csv}) ::DeleteFileW(path.c_str());
}

}  // namespace
