// The main dialog created in the test process: filters, rows, selection kept across
// refreshes, the auto-update switch, the hand-over of a clicked row, the About box.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "E2eDriver.h"
#include "app/QuorvelApp.h"
#include "platform/ProcessLookup.h"
#include "mainlist/QuorvelDlg.h"
#include "platform/Dpi.h"
#include "platform/FileDialog.h"
#include "platform/Format.h"
#include "platform/ListCommands.h"
#include "platform/PopupMenu.h"
#include "platform/WideText.h"
#include "platform/WinApp.h"
#include "res/resource.h"
#include "support/ModalAnswer.h"
#include "support/UiTestSupport.h"

namespace {

// A top-level window of the test process itself.
class TestWindow {
 public:
  explicit TestWindow(const std::string& title, bool visible = true) {
    m_hWnd = ::CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPED | (visible ? WS_VISIBLE : 0), 600, 600,
                               120, 60, nullptr, nullptr, nullptr, nullptr);
  }
  ~TestWindow() { Destroy(); }
  void Destroy() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
  }
  HWND Get() const { return m_hWnd; }

 private:
  HWND m_hWnd;
};

// The application object, so that modal boxes are owned by the main dialog as in the program.
class TestApp : public platform::CWinApp {
 public:
  BOOL InitInstance() override { return FALSE; }
};
TestApp g_app;

// The text of the finder's tool tip in the dialog.
std::string FinderTip(HWND dialog) {
  struct Search {
    HWND dialog;
    HWND tip;
  } search{dialog, nullptr};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM context) WINAPI -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        char name[32] = {};
        ::GetClassNameA(hwnd, name, sizeof(name));
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && ::GetWindow(hwnd, GW_OWNER) == s->dialog) s->tip = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  char text[256] = {};
  TOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = dialog;
  tool.uId = IDC_MAIN_FINDER;
  tool.lpszText = text;
  if (search.tip) ::SendMessageA(search.tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
  return text;
}

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dlg = std::make_unique<CQuorvelDlg>();
    ASSERT_TRUE(m_dlg->Create(nullptr));
    m_hWnd = m_dlg->GetSafeHwnd();
    g_app.SetMainWnd(m_dlg.get());
  }
  void TearDown() override {
    g_app.SetMainWnd(nullptr);
    m_dlg.reset();
  }

  platform::CListCtrl List() const { return platform::CListCtrl(::GetDlgItem(m_hWnd, IDC_MAIN_LIST)); }

  int RowOf(HWND hwnd) const {
    std::string handle = platform::FormatHandle(hwnd);
    for (int i = 0; i < List().GetItemCount(); ++i)
      if (List().GetItemText(i, e2e::kHandleColumn) == handle) return i;
    return -1;
  }
  void Check(int id, bool on) { ::SendMessageA(::GetDlgItem(m_hWnd, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
  int CheckState(int id) const { return static_cast<int>(::SendMessageA(::GetDlgItem(m_hWnd, id), BM_GETCHECK, 0, 0)); }
  void SelectRow(int row) {
    List().SetSelectionMark(row);
    List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }
  void ClickList() {
    NMHDR header{List().GetSafeHwnd(), IDC_MAIN_LIST, static_cast<UINT>(NM_CLICK)};
    ::SendMessageA(m_hWnd, WM_NOTIFY, IDC_MAIN_LIST, reinterpret_cast<LPARAM>(&header));
  }
  // Refreshes the list, then selects the window's row and clicks the list as a user does.
  void ChooseRow(HWND hwnd) {
    m_dlg->RefreshWindowList();
    const int row = RowOf(hwnd);
    ASSERT_GE(row, 0);
    SelectRow(row);
    ClickList();
  }

  // Made before the dialog, checked once it is gone: the dialog, its panels and the finder give
  // back every GDI object they made.
  uitest::GdiOwnerBalanceAtEnd m_gdi;
  std::unique_ptr<CQuorvelDlg> m_dlg;
  HWND m_hWnd = nullptr;
};

TEST_F(MainDialogTest, StartsWithAutoUpdateOnAndNothingChosen) {
  EXPECT_EQ(CheckState(IDC_MAIN_AUTOUPDATE), BST_CHECKED);
  EXPECT_EQ(CheckState(IDC_MAIN_VISIBLEONLY), BST_CHECKED);
  EXPECT_EQ(CheckState(IDC_MAIN_WITHTITLE), BST_CHECKED);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MAIN_REFRESH)));
  EXPECT_EQ(List().GetSelectionMark(), -1);
  EXPECT_EQ(uitest::ControlText(m_hWnd, IDC_MAIN_PATH), "");
  EXPECT_FALSE(::IsWindowVisible(m_dlg->Inspector().GetSafeHwnd()));
  EXPECT_TRUE(::IsWindowVisible(m_dlg->OperationPanel().GetSafeHwnd()));
  EXPECT_TRUE(::IsWindowVisible(m_dlg->CaptureView().GetSafeHwnd()));
  EXPECT_EQ(::GetParent(m_dlg->OperationPanel().GetSafeHwnd()), m_hWnd);
  EXPECT_EQ(::GetWindow(m_dlg->Inspector().GetSafeHwnd(), GW_OWNER), m_hWnd);
  char caption[64] = {};
  ::GetWindowTextA(m_hWnd, caption, sizeof(caption));
  EXPECT_STREQ(caption, "Tsuravi");
  EXPECT_EQ(List().GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT));
}

// The columns are Title 150, ProcessName 100, PID 40, WinHandle 100 at 96 DPI, scaled at 144 DPI,
// where only the title gives way (down to half) if the scaled columns would cut the last heading.
TEST_F(MainDialogTest, TheColumnsKeepTheirWidthsAt96DpiAndOnlyTheTitleGivesWayWhenScaled) {
  auto widths = [&] {
    std::vector<int> all;
    for (int column = 0; column < 4; ++column) all.push_back(static_cast<int>(List().Send(LVM_GETCOLUMNWIDTH, column)));
    return all;
  };
  auto moveTo = [&](UINT dpi) {
    RECT suggested{};
    ::GetWindowRect(m_hWnd, &suggested);
    ::SendMessageA(m_hWnd, platform::kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  };
  EXPECT_EQ(widths(), (std::vector<int>{150, 100, 40, 100}));
  moveTo(144);
  const std::vector<int> scaled = widths();
  EXPECT_EQ(std::vector<int>(scaled.begin() + 1, scaled.end()), (std::vector<int>{150, 60, 150}));
  EXPECT_LE(scaled[0], 225);
  EXPECT_GE(scaled[0], 112);
  moveTo(96);
  EXPECT_EQ(widths(), (std::vector<int>{150, 100, 40, 100}));
}

TEST_F(MainDialogTest, RowsFollowTheFiltersAtTheNextRefresh) {
  TestWindow shown("quorvel shown row");
  TestWindow hidden("quorvel hidden row", false);
  TestWindow untitled("");
  TestWindow manager("Program Manager");
  m_dlg->RefreshWindowList();
  int row = RowOf(shown.Get());
  ASSERT_GE(row, 0);
  EXPECT_EQ(List().GetItemText(row, 0), "quorvel shown row");
  EXPECT_EQ(List().GetItemText(row, 1), platform::CodePageFromWide(GetProcessNameW(::GetCurrentProcessId()), CP_ACP));
  EXPECT_EQ(List().GetItemText(row, 2), platform::FormatInt(static_cast<int>(::GetCurrentProcessId())));
  EXPECT_EQ(RowOf(hidden.Get()), -1);
  EXPECT_EQ(RowOf(untitled.Get()), -1);
  EXPECT_EQ(RowOf(manager.Get()), -1);
  EXPECT_EQ(RowOf(m_hWnd), -1) << "the main dialog never lists itself";

  // Unticking a filter changes nothing until the next refresh.
  Check(IDC_MAIN_VISIBLEONLY, false);
  Check(IDC_MAIN_WITHTITLE, false);
  EXPECT_EQ(RowOf(hidden.Get()), -1);
  m_dlg->RefreshWindowList();
  EXPECT_GE(RowOf(hidden.Get()), 0);
  int untitledRow = RowOf(untitled.Get());
  ASSERT_GE(untitledRow, 0);
  EXPECT_EQ(List().GetItemText(untitledRow, 0), "");
  EXPECT_EQ(RowOf(manager.Get()), -1);
  EXPECT_EQ(RowOf(m_hWnd), -1);
}

TEST_F(MainDialogTest, LongTitlesAreCutTo255Bytes) {
  TestWindow longTitle(std::string(300, 'x'));
  m_dlg->RefreshWindowList();
  int row = RowOf(longTitle.Get());
  ASSERT_GE(row, 0);
  EXPECT_EQ(List().GetItemText(row, 0), std::string(255, 'x'));
}

TEST_F(MainDialogTest, SelectedWindowStaysSelectedWhenItsRowMoves) {
  TestWindow chosen("quorvel chosen");
  m_dlg->RefreshWindowList();
  int before = RowOf(chosen.Get());
  ASSERT_GE(before, 0);
  SelectRow(before);

  // New windows come first in the Z order, so the chosen row moves down.
  TestWindow newer1("quorvel newer 1"), newer2("quorvel newer 2");
  m_dlg->RefreshWindowList();
  int after = RowOf(chosen.Get());
  ASSERT_GE(after, 0);
  EXPECT_NE(after, before);
  EXPECT_EQ(List().GetSelectionMark(), after);
  EXPECT_EQ(List().GetItemState(after, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
  EXPECT_EQ(List().GetHotItem(), after);
  // A refresh tells the panels nothing while the window is still there.
  EXPECT_EQ(m_dlg->OperationPanel().Target(), platform::kNoTarget);
}

TEST_F(MainDialogTest, VanishedWindowClearsOnlyTheOperationsTarget) {
  TestWindow chosen("quorvel vanishing");
  ASSERT_NO_FATAL_FAILURE(ChooseRow(chosen.Get()));
  ASSERT_EQ(m_dlg->OperationPanel().Target(), chosen.Get());
  std::string path = uitest::ControlText(m_hWnd, IDC_MAIN_PATH);

  chosen.Destroy();
  m_dlg->RefreshWindowList();
  EXPECT_EQ(m_dlg->OperationPanel().Target(), platform::kNoTarget);
  EXPECT_EQ(m_dlg->OperationPanel().TargetPid(), static_cast<DWORD>(-1));
  EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), -1);
  // The capture view, the inspector and the path label keep what they had.
  EXPECT_NE(m_dlg->CaptureView().Target(), platform::kNoTarget);
  EXPECT_NE(m_dlg->Inspector().ParentHandle(), platform::kNoTarget);
  EXPECT_EQ(uitest::ControlText(m_hWnd, IDC_MAIN_PATH), path);
}

TEST_F(MainDialogTest, ClickHandsTheRowToEveryPanelAndShowsThePath) {
  TestWindow chosen("quorvel clicked");
  ASSERT_NO_FATAL_FAILURE(ChooseRow(chosen.Get()));
  EXPECT_EQ(m_dlg->OperationPanel().Target(), chosen.Get());
  EXPECT_EQ(m_dlg->OperationPanel().TargetPid(), ::GetCurrentProcessId());
  EXPECT_EQ(m_dlg->OperationPanel().LayeredPanel().TargetWindow(), chosen.Get());
  EXPECT_EQ(m_dlg->CaptureView().Target(), chosen.Get());
  EXPECT_EQ(m_dlg->Inspector().ParentHandle(), chosen.Get());
  EXPECT_EQ(uitest::ControlText(m_hWnd, IDC_MAIN_PATH),
            platform::CodePageFromWide(GetProcessPathW(::GetCurrentProcessId()), CP_ACP));
}

// The search narrows the rows at every refresh but never changes the target: its row comes
// back selected once the search lets it, and only a target gone meanwhile is reported.
TEST_F(MainDialogTest, SearchHidesRowsButNotTheTarget) {
  TestWindow chosen("quorvel 検索の対象"), other("quorvel other");
  ASSERT_NO_FATAL_FAILURE(ChooseRow(chosen.Get()));
  HWND box = ::GetDlgItem(m_hWnd, IDC_MAIN_SEARCH);
  ::SetWindowTextW(box, L"検索の対象");
  ::SetFocus(box);
  ::SendMessageA(m_hWnd, WM_COMMAND, IDOK, 0);  // Enter in the box narrows at once
  EXPECT_TRUE(::IsWindowVisible(m_hWnd)) << "Enter in the search box ended the dialog";
  EXPECT_GE(RowOf(chosen.Get()), 0);
  EXPECT_LT(RowOf(other.Get()), 0);
  ::SetWindowTextW(box, L"QUORVEL OTHER");
  m_dlg->RefreshWindowList();
  m_dlg->RefreshWindowList();
  EXPECT_LT(RowOf(chosen.Get()), 0);
  EXPECT_GE(RowOf(other.Get()), 0);
  EXPECT_EQ(m_dlg->OperationPanel().Target(), chosen.Get());
  ::SetWindowTextW(box, L"");
  m_dlg->RefreshWindowList();
  EXPECT_EQ(List().GetNextItem(-1, LVNI_SELECTED), RowOf(chosen.Get()));

  ::SetWindowTextW(box, L"other");
  m_dlg->RefreshWindowList();
  chosen.Destroy();
  m_dlg->RefreshWindowList();
  EXPECT_EQ(m_dlg->OperationPanel().Target(), platform::kNoTarget);
}

// The list's menu copies as every view does: "コピー" only with a selected row, copying it as one
// tab-separated line, "すべてコピー" every row; "一覧を保存…" writes every row as shown under the
// headings; a failed save is named in a box.
TEST_F(MainDialogTest, ListMenuCopiesTheRowAndSavesTheListAsShown) {
  TestWindow chosen("quorvel 保存 \"csv\", row");
  m_dlg->RefreshWindowList();
  std::vector<platform::PopupMenuItem> shown;
  UINT answer = platform::kListSaveCommand;
  platform::PopupMenuHook oldMenu = platform::SetPopupMenuHook([&](HWND, POINT, const auto& items) {
    shown = items;
    return answer;
  });
  const std::string folder = e2e::TemporaryFilePath("list");
  std::string path = folder + ".csv";
  platform::SaveFileRequest request;
  platform::SaveFileDialogHook oldSave = platform::SetSaveFileDialogHook([&](HWND, const platform::SaveFileRequest& r) {
    request = r;
    return std::optional<platform::SaveFileChoice>(platform::SaveFileChoice{platform::WidenAnsi(path), 1});
  });
  uitest::MessageBoxRecorder boxes;
  const auto contextMenu = [&] {
    ::SendMessageA(m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().GetSafeHwnd()), MAKELPARAM(-1, -1));
  };

  contextMenu();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].text, "コピー");
  EXPECT_FALSE(shown[0].enabled) << "nothing to copy without a selected row";
  EXPECT_EQ(shown[1].text, "すべてコピー");
  EXPECT_EQ(shown[2].text, "一覧を保存…");
  EXPECT_TRUE(request.fileName == L"ウィンドウ一覧");
  EXPECT_TRUE(request.defaultExtension == L"csv");
  const std::string pid = std::to_string(::GetCurrentProcessId());
  const std::string exe = platform::Utf8FromWide(GetProcessNameW(::GetCurrentProcessId()));
  const std::string saved = e2e::ReadFile(path);
  EXPECT_EQ(saved.rfind(u8"\xEF\xBB\xBFTitle,ProcessName,PID,WinHandle\r\n", 0), 0u) << saved;
  EXPECT_NE(saved.find(u8"\r\n\"quorvel 保存 \"\"csv\"\", row\"," + exe + "," + pid + "," +
                       platform::FormatHandle(chosen.Get()) + "\r\n"),
            std::string::npos)
      << saved;
  EXPECT_EQ(static_cast<int>(e2e::SplitLines(saved).size()), List().GetItemCount() + 1);
  EXPECT_TRUE(boxes.Boxes().empty());
  ::DeleteFileA(path.c_str());

  path = folder + "\\missing\\list.csv";
  contextMenu();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "一覧を保存できませんでした。\r\n保存先のフォルダーが見つかりません。");

  SelectRow(RowOf(chosen.Get()));
  answer = platform::kCopyRowsCommand;
  contextMenu();
  EXPECT_TRUE(shown[0].enabled);
  EXPECT_EQ(e2e::ClipboardText(), L"quorvel 保存 \"csv\", row\t" + platform::WidenAnsi(exe) + L"\t" + platform::WidenAnsi(pid) +
                                      L"\t" + platform::WidenAnsi(platform::FormatHandle(chosen.Get())) + L"\r\n");
  answer = platform::kCopyAllRowsCommand;
  contextMenu();
  const std::wstring all = e2e::ClipboardText();
  EXPECT_EQ(all, uitest::ShownListRows(List().GetSafeHwnd(), 4, false));
  EXPECT_EQ(static_cast<int>(std::count(all.begin(), all.end(), L'\n')), List().GetItemCount());
  platform::SetPopupMenuHook(std::move(oldMenu));
  platform::SetSaveFileDialogHook(std::move(oldSave));
}

// Titles and texts beyond code page 932 keep every character: in the main list, in the
// inspector's list, and in the name the Save As dialog proposes (where ':' and '?' become '_').
TEST_F(MainDialogTest, TitlesAndTextsBeyondCodePage932KeepEveryCharacter) {
  const std::wstring text = L"Caf\u00e9 \u00e9\u00e8\u00fc\u00df \ud55c\uad6d\uc5b4 \u05e2\u05d1\u05e8\u05d9\u05ea "
                            L"\u0639\u0631\u0628\u064a \U0001F600: ok?";
  HWND window = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_OVERLAPPED | WS_VISIBLE, 600, 600, 200, 80, nullptr,
                                  nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  HWND child = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window, nullptr,
                                 nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  ASSERT_NO_FATAL_FAILURE(ChooseRow(window));
  EXPECT_TRUE(List().GetItemTextW(RowOf(window), 0) == text);
  ASSERT_EQ(m_dlg->Inspector().Children().size(), 1u);
  EXPECT_TRUE(m_dlg->Inspector().Children()[0].text == text);
  const platform::CListCtrl inspected(::GetDlgItem(m_dlg->Inspector().GetSafeHwnd(), IDC_CI_LIST));
  EXPECT_TRUE(inspected.GetItemTextW(0, 2) == text);

  std::wstring proposed;
  platform::SaveFileDialogHook previous = platform::SetSaveFileDialogHook(
      [&](HWND, const platform::SaveFileRequest& request) -> std::optional<platform::SaveFileChoice> {
        proposed = request.fileName;
        return std::nullopt;
      });
  uitest::Click(m_dlg->CaptureView().GetSafeHwnd(), IDC_CPT_SAVEPICTURE);
  platform::SetSaveFileDialogHook(std::move(previous));
  EXPECT_TRUE(proposed == text.substr(0, text.size() - 5) + L"_ ok_");
  ::DestroyWindow(window);
}

TEST_F(MainDialogTest, ClickWithoutSelectionMarkDoesNothing) {
  ClickList();
  EXPECT_EQ(m_dlg->OperationPanel().Target(), platform::kNoTarget);
  EXPECT_EQ(uitest::ControlText(m_hWnd, IDC_MAIN_PATH), "");
}

TEST_F(MainDialogTest, AutoUpdateSwitchControlsRefreshButtonAndFilters) {
  uitest::Click(m_hWnd, IDC_MAIN_AUTOUPDATE);  // off
  EXPECT_EQ(CheckState(IDC_MAIN_AUTOUPDATE), BST_UNCHECKED);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MAIN_REFRESH)));
  Check(IDC_MAIN_VISIBLEONLY, false);
  Check(IDC_MAIN_WITHTITLE, false);
  uitest::Click(m_hWnd, IDC_MAIN_AUTOUPDATE);  // on again: filters ticked, button disabled
  EXPECT_EQ(CheckState(IDC_MAIN_VISIBLEONLY), BST_CHECKED);
  EXPECT_EQ(CheckState(IDC_MAIN_WITHTITLE), BST_CHECKED);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MAIN_REFRESH)));
  uitest::Click(m_hWnd, IDC_MAIN_AUTOUPDATE);  // off leaves the filters as they are
  Check(IDC_MAIN_VISIBLEONLY, false);
  uitest::Click(m_hWnd, IDC_MAIN_REFRESH);
  EXPECT_EQ(CheckState(IDC_MAIN_VISIBLEONLY), BST_UNCHECKED);
}

TEST_F(MainDialogTest, RefreshButtonRebuildsTheList) {
  uitest::Click(m_hWnd, IDC_MAIN_AUTOUPDATE);  // off, so the button is enabled
  TestWindow later("quorvel created later");
  EXPECT_EQ(RowOf(later.Get()), -1);
  uitest::Click(m_hWnd, IDC_MAIN_REFRESH);
  EXPECT_GE(RowOf(later.Get()), 0);
}

TEST_F(MainDialogTest, TimerRefreshesOnlyWhileAutoUpdateIsTicked) {
  TestWindow later("quorvel seen by the timer");
  EXPECT_EQ(RowOf(later.Get()), -1);
  EXPECT_TRUE(uitest::PumpUntil([&] { return RowOf(later.Get()) >= 0; }, 8000));

  uitest::Click(m_hWnd, IDC_MAIN_AUTOUPDATE);  // off
  TestWindow ignored("quorvel ignored by the timer");
  ::SendMessageA(m_hWnd, WM_TIMER, kAutoUpdateTimerId, 0);
  EXPECT_EQ(RowOf(ignored.Get()), -1);
}

TEST_F(MainDialogTest, PathLabelIsWhiteAndButtonsTransparent) {
  HDC dc = ::GetDC(m_hWnd);
  HWND label = ::GetDlgItem(m_hWnd, IDC_MAIN_PATH);
  LRESULT brush = ::SendMessageA(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const HBRUSH status = reinterpret_cast<HBRUSH>(brush);
  EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
  LOGBRUSH colour{};
  ::GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof(colour), &colour);
  EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));

  HWND refresh = ::GetDlgItem(m_hWnd, IDC_MAIN_REFRESH);
  brush = ::SendMessageA(m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(refresh));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
  HWND check = ::GetDlgItem(m_hWnd, IDC_MAIN_AUTOUPDATE);
  brush = ::SendMessageA(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(check));
  EXPECT_NE(reinterpret_cast<HBRUSH>(brush), status);
  ::ReleaseDC(m_hWnd, dc);
}

TEST_F(MainDialogTest, ChildInfoButtonShowsTheInspector) {
  uitest::Click(m_hWnd, IDC_MAIN_CHILDINFO);
  EXPECT_TRUE(::IsWindowVisible(m_dlg->Inspector().GetSafeHwnd()));
}

TEST_F(MainDialogTest, SystemMenuHasTheAboutEntry) {
  HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
  char text[128] = {};
  ASSERT_GT(::GetMenuStringA(menu, IDM_ABOUTBOX, text, sizeof(text), MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, "Tsuravi のﾊﾞｰｼﾞｮﾝ情報(&A)...");
}

// The About box runs modally; the answer reads its label and closes it, while the main
// dialog's own timer keeps running in the nested loop.
TEST_F(MainDialogTest, AboutBoxShowsTheProductVersion) {
  std::string label;
  bool ownerDisabled = false;
  uitest::ModalAnswer answer("Quorvelのﾊﾞｰｼﾞｮﾝ情報", [&](HWND about) {
    label = uitest::ControlText(about, IDC_ABOUT_VERSION);
    ownerDisabled = !::IsWindowEnabled(::GetWindow(about, GW_OWNER));
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
  });
  ::SendMessageA(m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(label, "Tsuravi Ver.:1- 0- 1- 123");
  EXPECT_TRUE(ownerDisabled) << "the main dialog is disabled while the About box runs";
  EXPECT_TRUE(::IsWindowEnabled(m_hWnd)) << "and enabled again afterwards";
}

TEST_F(MainDialogTest, CarriesTheProgramIconForTaskbarAndDragging) {
  const HICON icon = ::LoadIconA(platform::AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, ICON_BIG, 0)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, ICON_SMALL, 0)), icon);
  // A dialog procedure returns this one directly, not through DWLP_MSGRESULT.
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_QUERYDRAGICON, 0, 0)), icon);
}

// The finder box: sunken, in its place right of the path label, showing the crosshair, with its
// tool tip; and Escape or a right press ends a drag without a pick, the dialog left running.
TEST_F(MainDialogTest, FinderBoxShowsTheCrosshairWithItsTipAndADragEndsWithoutAPick) {
  HWND finder = ::GetDlgItem(m_hWnd, IDC_MAIN_FINDER);
  ASSERT_NE(finder, nullptr);
  const LONG style = ::GetWindowLongA(finder, GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_ICON);
  EXPECT_NE(style & SS_SUNKEN, 0);
  RECT expected{276, 4, 276 + 14, 4 + 14};
  ::MapDialogRect(m_hWnd, &expected);
  RECT actual{};
  ::GetWindowRect(finder, &actual);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
  EXPECT_TRUE(::EqualRect(&expected, &actual));
  const HICON crosshair = reinterpret_cast<HICON>(::SendMessageA(finder, STM_GETICON, 0, 0));
  EXPECT_NE(crosshair, nullptr);

  // The tip names the pick key, which this dialog holds; a second dialog finds it held.
  EXPECT_EQ(FinderTip(m_hWnd), "ドラッグしてウィンドウを選択\r\nCtrl+Alt+F: マウスポインターの下のウィンドウを選択");
  {
    CQuorvelDlg second;
    ASSERT_TRUE(second.Create(nullptr));
    EXPECT_EQ(FinderTip(second.GetSafeHwnd()), "ドラッグしてウィンドウを選択\r\nCtrl+Alt+F は他のプログラムが使用中です");
  }

  ::SetDlgItemTextA(m_hWnd, IDC_MAIN_PATH, "before");
  const LPARAM onBox = MAKELPARAM((actual.left + actual.right) / 2, (actual.top + actual.bottom) / 2);
  for (UINT end : {UINT(WM_COMMAND), UINT(WM_RBUTTONDOWN)}) {
    ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, onBox);
    EXPECT_EQ(::GetCapture(), m_hWnd);
    EXPECT_NE(reinterpret_cast<HICON>(::SendMessageA(finder, STM_GETICON, 0, 0)), crosshair);
    ::SendMessageA(m_hWnd, end, end == WM_COMMAND ? IDCANCEL : 0, 0);  // Escape comes as IDCANCEL
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(finder, STM_GETICON, 0, 0)), crosshair);
    EXPECT_TRUE(::IsWindowVisible(m_hWnd)) << "Escape during a drag ended the dialog";
    EXPECT_EQ(uitest::ControlText(m_hWnd, IDC_MAIN_PATH), "before");
  }
  EXPECT_EQ(m_dlg->OperationPanel().Target(), platform::kNoTarget);
  // A press beside the box starts nothing.
  ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(actual.left - 4, actual.top));
  EXPECT_EQ(::GetCapture(), nullptr);
}

// Dragged over another program's window, the finder outlines it with a hollow frame: the frame
// keeps the region it was given (the system owns it), and the dialog gives back every GDI
// object it made, outline after outline.
TEST_F(MainDialogTest, TheFinderOutlinesAnotherProgramsWindowWithAHollowFrame) {
  e2e::FixtureClient fixture;
  ASSERT_TRUE(fixture.Start());
  // Beside the dialog: where they overlap, the dialog can come above them, and a window of
  // Quorvel's own is never picked.
  RECT dialogRect{};
  ::GetWindowRect(m_hWnd, &dialogRect);
  const std::string x = " x=" + std::to_string(dialogRect.right + 20);
  HWND first = fixture.Create("title=Outlined" + x + " y=300 w=300 h=200 show=noactivate");
  HWND second = fixture.Create("title=\"Outlined too\"" + x + " y=600 w=200 h=100 show=noactivate");
  ASSERT_TRUE(first && second);
  RECT box{};
  ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_MAIN_FINDER), &box);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&box), 2);
  ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
  const HWND frame = m_dlg->Finder().FrameWindow();
  for (HWND target : {first, second, first}) {
    RECT outer{};
    ::GetWindowRect(target, &outer);
    // The pointer's new place, and the window under it, reach the system a little later under X;
    // the dialog reads them on each move. Nothing is pumped meanwhile: the drag's timer would
    // read the real buttons, up.
    ::SetCursorPos(outer.left + 20, outer.top + 20);
    platform::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    RECT bounds{};
    const auto outlined = [&] {
      ::SendMessageA(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
      return ::IsWindowVisible(frame) && ::GetWindowRgn(frame, region.get()) == COMPLEXREGION &&
             ::GetRgnBox(region.get(), &bounds) && bounds.right == outer.right - outer.left &&
             bounds.bottom == outer.bottom - outer.top;
    };
    for (int waited = 0; !outlined() && waited < 2000; waited += 20) ::Sleep(20);
    ASSERT_TRUE(outlined()) << bounds.right << " x " << bounds.bottom << " for a window of "
                            << outer.right - outer.left << " x " << outer.bottom - outer.top;
    EXPECT_TRUE(::PtInRegion(region.get(), 1, 1));
    EXPECT_FALSE(::PtInRegion(region.get(), (outer.right - outer.left) / 2, (outer.bottom - outer.top) / 2));
  }
  ::SendMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
  fixture.Quit();
}

// The modal run routes keys through the dialog manager: Enter in the list presses the
// default button "終了" and ends the run with IDOK; Escape ends it with IDCANCEL.
TEST(MainDialogModal, EnterInTheListEndsWithOkAndEscapeCancels) {
  struct Case {
    WPARAM key;
    INT_PTR result;
  };
  for (Case c : {Case{VK_RETURN, IDOK}, Case{VK_ESCAPE, IDCANCEL}}) {
    CQuorvelDlg dlg;
    uitest::ModalAnswer answer("Tsuravi", [&](HWND dialog) {
      HWND list = ::GetDlgItem(dialog, IDC_MAIN_LIST);
      ::SetFocus(list);
      ::PostMessageA(list, WM_KEYDOWN, c.key, 0);
      ::PostMessageA(list, WM_KEYUP, c.key, 0);
    });
    const INT_PTR result = dlg.DoModal();
    EXPECT_EQ(result, c.result) << "key " << c.key;
  }
}

// The console's control events arrive on a thread of their own: Ctrl+Break leaves the dialog
// running; Ctrl+C, the console's close and shut-down end it as 終了 does; without a main dialog
// every event is still reported handled. After a close or shut-down the system ends the process
// once the handler returns, so that handler returns only once start-up has finished (the
// put-backs done); Ctrl+C's returns at once.
TEST(MainDialogModal, ConsoleEventsEndTheDialogAsTheEndButtonDoesAndCtrlBreakLeavesItRunning) {
  EXPECT_EQ(ConsoleCtrlHandler(CTRL_SHUTDOWN_EVENT), TRUE);
  static std::thread s_console;
  static DWORD s_event;
  static BOOL s_handled[2];
  static bool s_openAfterBreak;
  static CQuorvelDlg* s_dlg;
  static std::atomic<bool> s_returned;
  for (DWORD event : {CTRL_C_EVENT, CTRL_CLOSE_EVENT, CTRL_SHUTDOWN_EVENT}) {
    SCOPED_TRACE(event);
    CQuorvelDlg dlg;
    s_dlg = &dlg;
    s_event = event;
    s_returned = false;
    g_pMainDlg = &dlg;
    app::StartUpEnd().Began();
    uitest::ModalAnswer answer("Tsuravi", [](HWND) {
      s_console = std::thread([] {
        s_handled[0] = ConsoleCtrlHandler(CTRL_BREAK_EVENT);
        ::Sleep(300);
        s_openAfterBreak = ::IsWindowVisible(s_dlg->GetSafeHwnd()) != FALSE;
        s_handled[1] = ConsoleCtrlHandler(s_event);
        s_returned = true;
      });
    });
    const INT_PTR result = dlg.DoModal();
    g_pMainDlg = nullptr;
    // The dialog has ended; start-up's put-backs take a while yet.
    if (event == CTRL_C_EVENT) {
      EXPECT_TRUE(e2e::WaitUntil([] { return s_returned.load(); }, 3000)) << "Ctrl+C's handler waited";
    } else {
      ::Sleep(500);
      EXPECT_FALSE(s_returned) << "the handler returned before start-up had finished";
    }
    app::StartUpEnd().Finished();
    if (s_console.joinable()) s_console.join();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(s_openAfterBreak);
    for (BOOL handled : s_handled) EXPECT_EQ(handled, TRUE);
  }
}

}  // namespace
