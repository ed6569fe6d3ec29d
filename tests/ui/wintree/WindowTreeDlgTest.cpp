// The window tree in the test process: its item menu; selecting only looks while Enter, a
// double-click and ターゲットにする pick; the reader's thread, its generations and the branches
// the user opened across refreshes; the desktop reader's skips and bounds.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "E2eDriver.h"
#include "RemoteTreeView.h"
#include "support/UiTestSupport.h"
#include "platform/PopupMenu.h"
#include "platform/RowCopy.h"
#include "platform/TreeCtrl.h"
#include "platform/ViewRequests.h"
#include "res/resource.h"
#include "wintree/DesktopReader.h"
#include "wintree/WindowTreeDlg.h"

namespace {

// The requests the tree's owner got: message and window.
std::vector<std::pair<UINT, HWND>> g_requests;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeOwner() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = OwnerProc;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "WindowTreeTestOwner";
  ::RegisterClassA(&cls);
  HWND owner = ::CreateWindowExA(0, cls.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 cls.hInstance, nullptr);
  // The owner takes the views' requests as the main dialog does. The receiver is never destroyed:
  // at exit it would outlive the registry it is in.
  (void)(new platform::CViewRequestReceiver(
      owner, [](const platform::ViewRequest& request) { g_requests.push_back({request.code, request.window}); }));
  return owner;
}

// Opens the tree and waits for its first read to be shown.
bool OpenAndRead(wintree::CWindowTreeDlg& dlg, HWND owner) {
  return dlg.Open(owner) && uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000);
}


TEST(WindowTreeDlgTest, ItemMenuCopiesTheItemAndAsksTheOwnerForTheWindowsViewsOrToTargetIt) {
  HWND owner = MakeOwner();
  HWND child = ::CreateWindowExA(0, "BUTTON", "menu\ttarget", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, owner, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  wintree::CWindowTreeDlg dlg;
  ASSERT_TRUE(OpenAndRead(dlg, owner));
  HWND tree = dlg.GetDlgItem(IDC_WT_TREE);
  e2e::RemoteTreeView read(tree);
  const std::string handle = e2e::HandleText(child);
  const e2e::RemoteTreeItem item = read.Find(std::wstring(handle.begin(), handle.end()));
  ASSERT_NE(item.item, nullptr);
  // Shown escaped, as it is copied: the row stays one line.
  ASSERT_EQ(item.text.find(L"\"menu\\ttarget\" Button"), 11u) << std::string(item.text.begin(), item.text.end());

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
                                        std::pair<UINT, UINT>{1, platform::kPickWindowMessage},
                                        std::pair<UINT, UINT>{4, platform::kOpenSendMessageMessage}}) {
    answer = choice;
    menuOn(item.item);
    EXPECT_EQ(g_requests, (std::vector<std::pair<UINT, HWND>>{{request, child}}));
  }
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].text + shown[1].text + shown[2].text + shown[3].text + shown[4].text + shown[5].text,
            "ターゲットにするコピーすべてコピーメッセージログプロパティメッセージ送信");
  for (const platform::PopupMenuItem& shownItem : shown) EXPECT_TRUE(shownItem.enabled) << shownItem.text;
  // コピー and Ctrl+C: the item as shown, one line; すべてコピー: every item shown (each whose
  // parents are open), in order, two spaces further in per level.
  answer = platform::kCopyRowsCommand;
  menuOn(item.item);
  EXPECT_EQ(e2e::ClipboardText(), item.text + L"\r\n");
  ::OpenClipboard(nullptr);
  ::EmptyClipboard();
  ::CloseClipboard();
  uitest::PressCtrlC(dlg.GetSafeHwnd(), IDC_WT_TREE, TVN_KEYDOWN);
  EXPECT_EQ(e2e::ClipboardText(), item.text + L"\r\n");
  answer = platform::kCopyAllRowsCommand;
  ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item.item));
  menuOn(item.item);
  const std::wstring all = e2e::ClipboardText();
  int depth = 0;
  for (HTREEITEM up = item.item; (up = TreeView_GetParent(tree, up)) != nullptr;) ++depth;
  ASSERT_GE(depth, 1);
  EXPECT_NE(all.find(L"\r\n" + std::wstring(2 * depth, L' ') + item.text + L"\r\n"), std::wstring::npos);
  int visible = 0;
  for (HTREEITEM at = TreeView_GetRoot(tree); at; at = TreeView_GetNextVisible(tree, at)) ++visible;
  EXPECT_EQ(std::count(all.begin(), all.end(), L'\n'), visible);
  EXPECT_EQ(all.find(L'\t'), std::wstring::npos);
  const HTREEITEM root = TreeView_GetRoot(tree);
  EXPECT_EQ(all.rfind(platform::CTreeCtrl(tree).GetItemText(root) + L"\r\n", 0), 0u);

  // The message-only root stands for no window: only its text is copied.
  answer = platform::kCopyRowsCommand;
  menuOn(read.Find(L"メッセージ専用ウィンドウ").item);
  EXPECT_FALSE(shown[0].enabled || shown[3].enabled || shown[4].enabled || shown[5].enabled);
  EXPECT_EQ(e2e::ClipboardText(), L"メッセージ専用ウィンドウ\r\n");
  EXPECT_TRUE(g_requests.empty());
  platform::SetPopupMenuHook(std::move(old));
  dlg.DestroyWindow();
  ::DestroyWindow(owner);
}

// Counts what would show, restore or move a window: none of it may come from looking.
std::atomic<int> g_changes{0};
LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGED) ++g_changes;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeCounted(const wchar_t* title, DWORD style) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = CountingProc;
  cls.hInstance = ::GetModuleHandleW(nullptr);
  cls.lpszClassName = L"WindowTreeTestCounted";
  ::RegisterClassW(&cls);
  return ::CreateWindowExW(0, cls.lpszClassName, title, style, 60, 60, 240, 120, nullptr, nullptr, cls.hInstance, nullptr);
}

wintree::WindowRecord Record(HWND hwnd, HWND parent, const wchar_t* text, bool visible = true) {
  wintree::WindowRecord record;
  record.hwnd = hwnd;
  record.parent = parent;
  record.text = text;
  record.className = L"Frame";
  record.processName = L"app.exe";
  record.visible = visible;
  return record;
}

std::wstring StatusOf(const wintree::CWindowTreeDlg& dlg) {
  wchar_t text[512] = L"";
  ::GetDlgItemTextW(dlg.GetSafeHwnd(), IDC_WT_STATUS, text, 512);
  return text;
}

TEST(WindowTreeDlgTest, SelectingByKeysOnlyLooksWhileEnterDoubleClickAndTheMenuPick) {
  HWND owner = MakeOwner();
  HWND shown = MakeCounted(L"look shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND hidden = MakeCounted(L"look hidden", WS_OVERLAPPEDWINDOW);
  HWND minimised = MakeCounted(L"look minimised", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ::ShowWindow(minimised, SW_SHOWMINNOACTIVE);
  const std::vector<wintree::WindowRecord> records = {Record(shown, nullptr, L"look shown"),
                                                      Record(hidden, nullptr, L"look hidden", false),
                                                      Record(minimised, nullptr, L"look minimised")};
  wintree::CWindowTreeDlg dlg([&](bool) { return records; });
  ASSERT_TRUE(OpenAndRead(dlg, owner));
  const platform::CTreeCtrl tree(dlg.GetDlgItem(IDC_WT_TREE));
  HWND frame = ::FindWindowA("QuorvelFinderFrame", nullptr);
  ASSERT_NE(frame, nullptr);
  ::SetFocus(tree.GetSafeHwnd());
  uitest::PumpPending();
  g_requests.clear();
  g_changes = 0;

  // Home, then down over the hidden and the minimised window: each is told, the one on the
  // screen outlined, and nothing is asked of the owner or done to a window.
  const std::pair<UINT, const wchar_t*> steps[] = {{VK_HOME, L"表示中"}, {VK_DOWN, L"非表示"}, {VK_DOWN, L"最小化"}};
  for (const auto& [key, start] : steps) {
    ::SendMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, key, 0);
    const std::wstring status = StatusOf(dlg);
    EXPECT_EQ(status.compare(0, wcslen(start), start), 0) << std::string(status.begin(), status.end());
    EXPECT_EQ(status.find(L" \"look "), 10 + status.find(L"0x")) << std::string(status.begin(), status.end());
    EXPECT_EQ(::IsWindowVisible(frame) != FALSE, key == VK_HOME);
    if (key == VK_HOME) {
      RECT outline{}, window{};
      ::GetWindowRect(frame, &outline);
      ::GetWindowRect(shown, &window);
      EXPECT_TRUE(outline.left <= window.left && outline.top <= window.top && outline.right >= window.right &&
                  outline.bottom >= window.bottom);
    }
  }
  uitest::PumpPending();
  EXPECT_TRUE(g_requests.empty());
  EXPECT_EQ(g_changes, 0);
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_TRUE(::IsIconic(minimised));

  // Enter on the tree picks the selected window, once.
  ::PostMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0);
  uitest::PumpPending();
  EXPECT_EQ(g_requests, (std::vector<std::pair<UINT, HWND>>{{platform::kPickWindowMessage, minimised}}));
  // A double-click picks the window under the pointer.
  g_requests.clear();
  const std::optional<RECT> rect = tree.GetItemRect(tree.GetChild(nullptr) ? tree.GetNextItem(nullptr, TVGN_ROOT) : nullptr, true);
  ASSERT_TRUE(rect);
  POINT middle{(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2};
  POINT screen = middle;
  ::ClientToScreen(tree.GetSafeHwnd(), &screen);
  ::SetCursorPos(screen.x, screen.y);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    ::PostMessageW(tree.GetSafeHwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
  uitest::PumpUntil([&] { return !g_requests.empty(); }, 3000);
  uitest::PumpPending();
  EXPECT_EQ(g_requests, (std::vector<std::pair<UINT, HWND>>{{platform::kPickWindowMessage, shown}}));

  // Hiding the tree takes the outline away at once.
  ::SendMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, VK_HOME, 0);
  ::SendMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, VK_END, 0);
  ::SendMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_TRUE(::IsWindowVisible(frame));
  ::SendMessageW(dlg.GetSafeHwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(frame));
  EXPECT_EQ(g_changes, 0);
  dlg.DestroyWindow();
  for (HWND window : {shown, hidden, minimised, owner}) ::DestroyWindow(window);
}

// The item of a window by its handle.
HTREEITEM ItemOf(const wintree::CWindowTreeDlg& dlg, UINT_PTR hwnd) {
  const int node = dlg.Tree().Find(reinterpret_cast<HWND>(hwnd));
  const platform::CTreeCtrl tree(dlg.GetDlgItem(IDC_WT_TREE));
  std::vector<HTREEITEM> stack{tree.GetNextItem(nullptr, TVGN_ROOT)};
  while (!stack.empty()) {
    HTREEITEM item = stack.back();
    stack.pop_back();
    if (!item) continue;
    if (tree.GetItemData(item) == LPARAM(node)) return item;
    stack.push_back(tree.GetNextSibling(item));
    stack.push_back(tree.GetChild(item));
  }
  return nullptr;
}

// Whether the control shows the whole tree: every node's item under its parent's, in order,
// with the node's text, marks and value.
bool ControlShowsTree(const wintree::CWindowTreeDlg& dlg) {
  const platform::CTreeCtrl tree(dlg.GetDlgItem(IDC_WT_TREE));
  const wintree::DesktopTree& nodes = dlg.Tree();
  std::function<bool(HTREEITEM, const std::vector<int>&)> same = [&](HTREEITEM item, const std::vector<int>& want) {
    for (int node : want) {
      const wintree::TreeNode& expected = nodes.nodes[node];
      const UINT marks = (expected.hidden ? TVIS_CUT : 0) | (expected.isNew ? TVIS_BOLD : 0);
      if (!item || tree.GetItemData(item) != LPARAM(node) || tree.GetItemText(item) != expected.label ||
          tree.GetItemState(item, TVIS_CUT | TVIS_BOLD) != marks || !same(tree.GetChild(item), expected.children))
        return false;
      item = tree.GetNextSibling(item);
    }
    return item == nullptr;
  };
  return same(tree.GetNextItem(nullptr, TVGN_ROOT), nodes.roots);
}

TEST(WindowTreeDlgTest, ReadsOffTheDialogsThreadShowsOnlyTheLastReadAndReopensTheBranchesTheUserOpened) {
  HWND owner = MakeOwner();
  const HWND none = nullptr;
  auto at = [](UINT_PTR value) { return reinterpret_cast<HWND>(value); };
  std::mutex lock;
  std::vector<wintree::WindowRecord> records = {Record(at(0x10), none, L"alpha"), Record(at(0x11), at(0x10), L"beta"),
                                                Record(at(0x12), at(0x11), L"gamma"), Record(at(0x20), none, L"delta"),
                                                Record(at(0x21), at(0x20), L"epsilon")};
  HANDLE gate = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  const DWORD dialogThread = ::GetCurrentThreadId();
  std::atomic<int> readsOnDialogThread{0}, reads{0};
  wintree::CWindowTreeDlg dlg([&](bool) {
    readsOnDialogThread += ::GetCurrentThreadId() == dialogThread;
    ::WaitForSingleObject(gate, 20000);
    ++reads;
    std::lock_guard<std::mutex> hold(lock);
    return records;
  });
  ASSERT_TRUE(OpenAndRead(dlg, owner));
  const platform::CTreeCtrl tree(dlg.GetDlgItem(IDC_WT_TREE));
  // The user opens alpha, and delta and closes it again: by keys, as the control tells it.
  auto key = [&](UINT_PTR hwnd, UINT vk) {
    ASSERT_TRUE(tree.SelectItem(ItemOf(dlg, hwnd)));
    ::SendMessageW(tree.GetSafeHwnd(), WM_KEYDOWN, vk, 0);
  };
  key(0x10, VK_RIGHT);
  key(0x20, VK_RIGHT);
  key(0x20, VK_LEFT);
  EXPECT_TRUE(tree.IsExpanded(ItemOf(dlg, 0x10)));
  // A search that leaves alpha out and opens delta for its match.
  ::SetDlgItemTextW(dlg.GetSafeHwnd(), IDC_WT_SEARCH, L"epsilon");
  ASSERT_TRUE(uitest::PumpUntil([&] { return tree.GetCount() == 2; }, 5000));
  EXPECT_TRUE(tree.IsExpanded(ItemOf(dlg, 0x20)));

  // 更新 twice while the reader is held: the dialog goes on answering, a forged answer of any
  // generation hands over nothing, and only the last read is shown.
  ::ResetEvent(gate);
  uitest::Click(dlg.GetSafeHwnd(), IDC_WT_REFRESH);
  {
    std::lock_guard<std::mutex> hold(lock);
    records.push_back(Record(at(0x30), none, L"zeta"));
  }
  uitest::Click(dlg.GetSafeHwnd(), IDC_WT_REFRESH);
  for (WPARAM generation = 0; generation < 8; ++generation)
    ::PostMessageW(dlg.GetSafeHwnd(), wintree::kDesktopReadMessage, generation, 0);
  uitest::PumpPending();
  EXPECT_TRUE(dlg.Reading());
  EXPECT_EQ(dlg.Tree().Find(at(0x30)), -1);
  ::SetEvent(gate);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000));
  EXPECT_EQ(readsOnDialogThread, 0);
  EXPECT_NE(dlg.Tree().Find(at(0x30)), -1);

  // The search emptied: alpha is open again as the user left it, delta closed as the user left it.
  ::SetDlgItemTextW(dlg.GetSafeHwnd(), IDC_WT_SEARCH, L"");
  ASSERT_TRUE(uitest::PumpUntil([&] { return ItemOf(dlg, 0x10) != nullptr; }, 5000));
  EXPECT_TRUE(tree.IsExpanded(ItemOf(dlg, 0x10)));
  EXPECT_FALSE(tree.IsExpanded(ItemOf(dlg, 0x20)));
  EXPECT_FALSE(tree.IsExpanded(ItemOf(dlg, 0x11)));
  EXPECT_TRUE(tree.GetItemState(ItemOf(dlg, 0x30), TVIS_BOLD) & TVIS_BOLD);
  EXPECT_FALSE(tree.GetItemState(ItemOf(dlg, 0x10), TVIS_BOLD) & TVIS_BOLD);
  // A branch opened while a read is under way is open once it is in.
  ::ResetEvent(gate);
  uitest::Click(dlg.GetSafeHwnd(), IDC_WT_REFRESH);
  key(0x11, VK_RIGHT);
  ::SetEvent(gate);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000));
  EXPECT_TRUE(tree.IsExpanded(ItemOf(dlg, 0x10)));
  EXPECT_TRUE(tree.IsExpanded(ItemOf(dlg, 0x11)));
  EXPECT_FALSE(tree.GetItemState(ItemOf(dlg, 0x30), TVIS_BOLD) & TVIS_BOLD);
  // A window gone takes its open branch with it: the handle back later is closed.
  for (bool back : {false, true}) {
    {
      std::lock_guard<std::mutex> hold(lock);
      if (back) records.insert(records.begin(), {Record(at(0x10), none, L"alpha"), Record(at(0x11), at(0x10), L"beta")});
      else records.erase(records.begin(), records.begin() + 3);
    }
    uitest::Click(dlg.GetSafeHwnd(), IDC_WT_REFRESH);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000));
  }
  ASSERT_NE(ItemOf(dlg, 0x10), nullptr);
  EXPECT_FALSE(tree.IsExpanded(ItemOf(dlg, 0x10)));
  EXPECT_TRUE(ControlShowsTree(dlg));
  // Each refresh shows exactly its read, whether the items are kept, retold, added in the
  // middle or the siblings change their order.
  const std::vector<std::function<void()>> changes = {
      [&] { records[0].text = L"alpha renamed"; records[3].visible = false; },
      [&] { records.insert(records.begin() + 2, Record(at(0x40), none, L"new in the middle")); },
      [&] { std::swap(records[0], records.back()); },
      [&] { records.erase(records.begin() + 1); },
  };
  // delta keeps its place among the siblings that stay in order every time: its item stays.
  const HTREEITEM delta = ItemOf(dlg, 0x20);
  for (const auto& change : changes) {
    {
      std::lock_guard<std::mutex> hold(lock);
      change();
    }
    uitest::Click(dlg.GetSafeHwnd(), IDC_WT_REFRESH);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !dlg.Reading(); }, 20000));
    EXPECT_TRUE(ControlShowsTree(dlg));
    EXPECT_EQ(ItemOf(dlg, 0x20), delta);
  }
  dlg.DestroyWindow();
  ::CloseHandle(gate);
  ::DestroyWindow(owner);
}

TEST(WindowTreeDlgTest, DesktopReaderSkipsWhatClosesMidReadWithItsChildrenAndKeepsItsBounds) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto make = [&](HWND parent, const std::wstring& text) {
    return ::CreateWindowExW(0, L"STATIC", text.c_str(), parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 50, 20, parent,
                             nullptr, instance, nullptr);
  };
  HWND a = make(nullptr, L"closes first"), a1 = make(a, L"a1"), a2 = make(a1, L"a2");
  HWND b = make(nullptr, L"stays"), b1 = make(b, L"closes next"), b1a = make(b1, L"b1a"), b2 = make(b, L"b2");
  HWND at255 = make(nullptr, std::wstring(255, L'x')), past255 = make(nullptr, std::wstring(256, L'y'));
  std::vector<HWND> sinks;
  for (int i = 0; i < 3; ++i) sinks.push_back(::CreateWindowExW(0, L"STATIC", L"sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
  const std::vector<HWND> gone = {a, a1, a2, b1, b1a};

  wintree::DesktopReadOptions options;
  options.beforeEach = [&](HWND hwnd) {
    if (hwnd == a || hwnd == b1) ::DestroyWindow(hwnd);
  };
  const std::vector<wintree::WindowRecord> records = wintree::ReadDesktop(options);
  auto find = [&](HWND hwnd) -> const wintree::WindowRecord* {
    for (const auto& record : records)
      if (record.hwnd == hwnd) return &record;
    return nullptr;
  };
  for (HWND hwnd : gone) EXPECT_EQ(find(hwnd), nullptr) << e2e::HandleText(hwnd);
  ASSERT_NE(find(b), nullptr);
  ASSERT_NE(find(b2), nullptr);
  EXPECT_EQ(find(b2)->parent, b);
  EXPECT_EQ(find(b)->processName.empty(), false);
  for (const auto& record : records) EXPECT_FALSE(record.className.empty()) << e2e::HandleText(record.hwnd);
  // Texts whole up to 255 characters, the 256th left out.
  ASSERT_TRUE(find(at255) && find(past255));
  EXPECT_EQ(find(at255)->text, std::wstring(255, L'x'));
  EXPECT_EQ(find(past255)->text, std::wstring(255, L'y'));

  // Message-only windows: as many as the bound, at it and one past it.
  for (int bound : {2, 3}) {
    options = {};
    options.maxMessageOnlyWindows = bound;
    int roots = 0;
    for (const auto& record : wintree::ReadDesktop(options)) roots += record.messageOnly && !record.parent;
    EXPECT_EQ(roots, bound);
  }
  for (HWND hwnd : sinks) ::DestroyWindow(hwnd);
  for (HWND hwnd : {b, at255, past255}) ::DestroyWindow(hwnd);

  // A window of this program whose thread does not take messages (as the dialog's while it is
  // busy) is read at once, its text included: the reader sends nothing.
  HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<HWND> stuck{nullptr};
  std::thread owner([&] {
    stuck = ::CreateWindowExW(0, L"STATIC", L"thread not answering", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    ::WaitForSingleObject(release, INFINITE);
    ::DestroyWindow(stuck);
  });
  ASSERT_TRUE(e2e::WaitUntil([&] { return stuck.load() != nullptr; }, 5000));
  std::future<std::vector<wintree::WindowRecord>> read = std::async(std::launch::async, [] { return wintree::ReadDesktop(); });
  const bool readAtOnce = read.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  ::SetEvent(release);
  owner.join();
  ASSERT_TRUE(readAtOnce);
  std::wstring stuckText = L"(not read)";
  for (const auto& record : read.get())
    if (record.hwnd == stuck.load()) stuckText = record.text;
  EXPECT_EQ(stuckText, L"thread not answering");
  ::CloseHandle(release);
}

}  // namespace
