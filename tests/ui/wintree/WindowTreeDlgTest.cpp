// The window tree's item menu in the test process: what it offers for a window and for the
// message-only root, what コピー copies, and what the others ask of the main dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "E2eDriver.h"
#include "RemoteTreeView.h"
#include "platform/PopupMenu.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"
#include "wintree/WindowTreeDlg.h"

namespace {

// The requests the tree's owner got: message and window.
std::vector<std::pair<UINT, HWND>> g_requests;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message >= platform::kOpenMessageLogMessage && message <= platform::kPickWindowMessage) ||
      message == platform::kOpenSendMessageMessage) {
    g_requests.push_back({message, reinterpret_cast<HWND>(wParam)});
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(WindowTreeDlgTest, ItemMenuCopiesTheItemAndAsksTheOwnerForTheWindowsViews) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = OwnerProc;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "WindowTreeTestOwner";
  ::RegisterClassA(&cls);
  HWND owner = ::CreateWindowExA(0, cls.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 cls.hInstance, nullptr);
  HWND child = ::CreateWindowExA(0, "BUTTON", "menu target", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, owner, nullptr,
                                 cls.hInstance, nullptr);
  wintree::CWindowTreeDlg dlg;
  ASSERT_TRUE(dlg.Open(owner));
  HWND tree = dlg.GetDlgItem(IDC_WT_TREE);
  e2e::RemoteTreeView read(tree);
  const std::string handle = e2e::HandleText(child);
  const e2e::RemoteTreeItem item = read.Find(std::wstring(handle.begin(), handle.end()));
  ASSERT_NE(item.item, nullptr);
  ASSERT_EQ(item.text.find(L"\"menu target\" Button"), 11u) << std::string(item.text.begin(), item.text.end());

  std::vector<platform::PopupMenuItem> shown;
  UINT answer = 0;
  platform::PopupMenuHook old = platform::SetPopupMenuHook([&](HWND, POINT, const auto& items) {
    shown = items;
    return answer;
  });
  const auto menuOn = [&](HTREEITEM on) {
    // From the keyboard: on the selected item.
    ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(on));
    g_requests.clear();
    ::SendMessageA(dlg.GetSafeHwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), MAKELPARAM(-1, -1));
  };
  // Each choice asks for its own view of the window, and nothing else.
  for (const auto& [choice, request] : {std::pair<UINT, UINT>{2, platform::kOpenMessageLogMessage},
                                        std::pair<UINT, UINT>{3, platform::kOpenPropertiesMessage},
                                        std::pair<UINT, UINT>{4, platform::kOpenSendMessageMessage}}) {
    answer = choice;
    menuOn(item.item);
    EXPECT_EQ(g_requests, (std::vector<std::pair<UINT, HWND>>{{request, child}}));
  }
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].text + shown[1].text + shown[2].text + shown[3].text, "コピーメッセージログプロパティメッセージ送信");
  EXPECT_TRUE(shown[1].enabled && shown[2].enabled && shown[3].enabled);
  answer = 1;
  menuOn(item.item);
  EXPECT_EQ(e2e::ClipboardText(), item.text);

  // The message-only root stands for no window: only its text is copied.
  menuOn(read.Find(L"メッセージ専用ウィンドウ").item);
  EXPECT_FALSE(shown[1].enabled || shown[2].enabled || shown[3].enabled);
  EXPECT_EQ(e2e::ClipboardText(), L"メッセージ専用ウィンドウ");
  EXPECT_TRUE(g_requests.empty());
  platform::SetPopupMenuHook(std::move(old));
  dlg.DestroyWindow();
  ::DestroyWindow(owner);
}

}  // namespace
