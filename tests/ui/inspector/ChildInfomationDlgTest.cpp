// The inspector created in the test process, inspecting a child tree in the fixture program:
// the list and its re-selection, the labels, the picture and a real click on it, every
// injection button as the fixture's windows receive it, the region buttons, the style editor
// and the ways the dialog hides.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "E2eDriver.h"
#include "inspector/ChildInfomationDlg.h"
#include "platform/Dpi.h"
#include "platform/FileDialog.h"
#include "platform/ListCommands.h"
#include "platform/PopupMenu.h"
#include "platform/Format.h"
#include "platform/WindowCalls.h"
#include "platform/WideText.h"
#include "res/resource.h"
#include "support/FixtureSuite.h"
#include "support/ModalAnswer.h"
#include "support/UiTestSupport.h"

namespace {

const char kNoChildRect[] = "子ウィンドウの矩形が選択状態でありません";
const char kReleaseFailed[] = "リージョンの解除に失敗しました";

RECT WindowRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

std::string Dec(LONG value) { return std::to_string(value); }

// The window's region as the window manager has it; null when it has none.
platform::UniqueRegion RegionOf(HWND hwnd) {
  platform::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  if (::GetWindowRgn(hwnd, region.get()) == ERROR) return nullptr;
  return region;
}

class InspectorTest : public uitest::FixtureSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(s_fixture, nullptr);
    m_dlg = std::make_unique<CChildInfomationDlg>();
    ASSERT_TRUE(m_dlg->Create(nullptr));
    m_hWnd = m_dlg->GetSafeHwnd();
    // The dialog on the left, the fixture's windows on the right: nothing covers the picture.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void TearDown() override {
    platform::WaitForDeferredWindowCalls(10000);
    if (m_dlg) m_gdi.Watch(m_dlg->Picture().bitmap.get());
    m_dlg.reset();
    m_gdi.ExpectBalanced();
  }

  // The tree the list tests read: nested children, a hidden and a disabled child, two
  // overlapping siblings, a 600-byte text with control id 0 and a chain eleven levels deep.
  HWND CreateTree() {
    const std::string name = "t" + std::to_string(++s_trees);
    HWND target = s_fixture->Create("name=" + name + " title=InspectorTarget x=760 y=40 w=420 h=320 show=noactivate");
    EXPECT_NE(target, nullptr);
    std::string script;
    auto child = [&](const std::string& options) { script += "child parent=" + options + ";"; };
    child(name + " name=" + name + "a text=Alpha id=11 x=10 y=10 w=160 h=110");
    child(name + "a name=" + name + "a1 class=BUTTON text=Press id=12 x=10 y=10 w=80 h=30");
    child(name + "a name=" + name + "a2 text=Second id=13 x=10 y=60 w=80 h=30");
    child(name + " name=" + name + "h text=Hidden id=21 style=WS_CHILD x=200 y=10 w=80 h=40");
    child(name + " name=" + name + "d text=Disabled id=22 style=WS_CHILD|WS_VISIBLE|WS_DISABLED x=290 y=10 w=80 h=40");
    child(name + " name=" + name + "o1 text=Over1 id=31 x=200 y=130 w=100 h=60");
    child(name + " name=" + name + "o2 text=Over2 id=32 x=250 y=150 w=100 h=60");
    child(name + " name=" + name + "long text=" + std::string(600, 'x') + " x=10 y=200 w=100 h=20");
    std::string parent = name;
    for (int level = 1; level <= 11; ++level) {
      const std::string link = name + "c" + std::to_string(level);
      child(parent + " name=" + link + " text=L" + std::to_string(level) + " id=" + std::to_string(40 + level) +
            (level == 1 ? " x=380 y=10 w=20 h=20" : " x=0 y=0 w=20 h=20"));
      parent = link;
    }
    EXPECT_TRUE(s_fixture->Command(script).answered);
    m_names = name;
    return target;
  }
  HWND Named(const std::string& suffix) {
    return reinterpret_cast<HWND>(s_fixture->Command("find name=" + m_names + suffix).value);
  }

  void Inspect(HWND target) {
    m_dlg->SetParentHandle(target);
    m_dlg->update();
  }
  platform::CListCtrl List() const { return platform::CListCtrl(::GetDlgItem(m_hWnd, IDC_CI_LIST)); }
  platform::CSpinButtonCtrl Spin(int id) const { return platform::CSpinButtonCtrl(::GetDlgItem(m_hWnd, id)); }
  std::vector<std::string> Row(int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < 8; ++column) cells.push_back(List().GetItemText(row, column));
    return cells;
  }
  std::vector<std::vector<std::string>> Rows() {
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < List().GetItemCount(); ++i) rows.push_back(Row(i));
    return rows;
  }
  int RowOf(HWND hwnd) {
    for (int i = 0; i < List().GetItemCount(); ++i)
      if (List().GetItemText(i, 0) == e2e::HandleText(hwnd)) return i;
    return -1;
  }
  // A mouse click on the row as the list reports it: selection, then NM_CLICK.
  void ClickRow(int row) {
    List().SetItemState(-1, 0, LVIS_SELECTED);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    List().SetSelectionMark(row);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = List().GetSafeHwnd();
    click.hdr.idFrom = IDC_CI_LIST;
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    ::SendMessageA(m_hWnd, WM_NOTIFY, IDC_CI_LIST, reinterpret_cast<LPARAM>(&click));
  }
  void ClickChild(HWND child) {
    const int row = RowOf(child);
    ASSERT_GE(row, 0);
    ClickRow(row);
  }
  void Tick() { ::SendMessageA(m_hWnd, WM_TIMER, 104, 0); }
  std::string Text(int id) { return uitest::ControlText(m_hWnd, id); }
  std::string Record(HWND hwnd, const char* msg) {
    return s_fixture->Command("query window=" + e2e::HandleText(hwnd) + " msg=" + msg).text;
  }
  // Waits until the fixture has handled what was posted to the window, then reads the record.
  std::string RecordAfterPost(HWND hwnd, const char* msg) {
    e2e::WaitUntil([&] { return s_fixture->Command("query window=" + e2e::HandleText(hwnd) + " msg=" + msg).value > 0; },
                   2000, 20);
    return Record(hwnd, msg);
  }

  static int s_trees;
  uitest::GdiOwnerBalance m_gdi;  // made before the dialog, checked once it is gone
  std::unique_ptr<CChildInfomationDlg> m_dlg;
  HWND m_hWnd = nullptr;
  std::string m_names;
};
int InspectorTest::s_trees = 0;

TEST_F(InspectorTest, ListsEveryDescendantInOrderWithEveryCellAndKeepsTheSelection) {
  HWND target = CreateTree();
  EXPECT_EQ(Text(IDC_CI_STYLE), "0x00000000");
  EXPECT_EQ(Text(IDC_CI_CLIENT_W), "Static");
  Inspect(target);

  char caption[128] = {};
  ::GetWindowTextA(m_hWnd, caption, sizeof caption);
  EXPECT_EQ(std::string(caption), "子ウィンドウ情報（親ハンドル=" + e2e::HandleText(target) + ")");

  HWND a = Named("a"), a1 = Named("a1"), a2 = Named("a2"), hidden = Named("h"), disabled = Named("d");
  HWND o1 = Named("o1"), o2 = Named("o2"), longText = Named("long");
  const std::string T = e2e::HandleText(target);
  const std::string kClass = "QuorvelFixtureWindow";
  const std::vector<std::vector<std::string>> expected_head = {
      {e2e::HandleText(a), kClass, "Alpha", T, "11", "TRUE", "TRUE", ""},
      {e2e::HandleText(a1), "Button", "Press", e2e::HandleText(a), "12", "TRUE", "TRUE", ""},
      {e2e::HandleText(a2), kClass, "Second", e2e::HandleText(a), "13", "TRUE", "TRUE", ""},
      {e2e::HandleText(hidden), kClass, "Hidden", T, "21", "", "TRUE", ""},
      {e2e::HandleText(disabled), kClass, "Disabled", T, "22", "TRUE", "", ""},
      {e2e::HandleText(o1), kClass, "Over1", T, "31", "TRUE", "TRUE", ""},
      {e2e::HandleText(o2), kClass, "Over2", T, "32", "TRUE", "TRUE", ""},
      {e2e::HandleText(longText), kClass, std::string(510, 'x'), T, "0", "TRUE", "TRUE", ""},
  };
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 19u);
  for (size_t i = 0; i < expected_head.size(); ++i) EXPECT_EQ(rows[i], expected_head[i]) << "row " << i;
  // The chain: each link right after its parent, eleven levels down.
  HWND parent = target;
  for (int level = 1; level <= 11; ++level) {
    HWND link = Named("c" + std::to_string(level));
    const std::vector<std::string> row = {e2e::HandleText(link), kClass, "L" + std::to_string(level),
                                          e2e::HandleText(parent), std::to_string(40 + level), "TRUE", "TRUE", ""};
    EXPECT_EQ(rows[7 + level], row) << "level " << level;
    parent = link;
  }
  ASSERT_EQ(m_dlg->Children().size(), 19u);
  EXPECT_EQ(m_dlg->Children()[1].hwnd, a1);

  // A second update gives the same list; without a selection none is made.
  m_dlg->update();
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(List().GetSelectionMark(), -1);

  // The selected row is found again by its handle even when it moved up.
  ClickChild(o2);
  EXPECT_EQ(m_dlg->SelectedChild(), o2);
  ASSERT_EQ(s_fixture->Command("destroy window=" + e2e::HandleText(hidden)).value, 1);
  m_dlg->update();
  EXPECT_EQ(List().GetItemCount(), 18);
  EXPECT_EQ(List().GetSelectionMark(), 5);
  EXPECT_EQ(List().GetItemText(5, 0), e2e::HandleText(o2));
  EXPECT_EQ(List().GetItemState(5, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
  Tick();
  EXPECT_NE(m_dlg->SelectedRect().right, 0);

  // Once the child is gone its rectangle is empty; the handle stays until a new choice.
  ASSERT_EQ(s_fixture->Command("destroy window=" + e2e::HandleText(o2)).value, 1);
  m_dlg->update();
  EXPECT_EQ(List().GetItemCount(), 17);
  EXPECT_EQ(List().GetSelectionMark(), -1);
  EXPECT_EQ(m_dlg->SelectedRect().right, 0);
  EXPECT_EQ(m_dlg->SelectedChild(), o2);
}

// The list's menu saves every child as listed, under the seven headings.
TEST_F(InspectorTest, ListMenuSavesEveryChildAsListed) {
  Inspect(CreateTree());
  const std::string path = e2e::TemporaryFilePath("children") + ".csv";
  platform::PopupMenuHook oldMenu =
      platform::SetPopupMenuHook([](HWND, POINT, const auto&) { return platform::kListSaveCommand; });
  platform::SaveFileDialogHook oldSave = platform::SetSaveFileDialogHook(
      [&](HWND, const platform::SaveFileRequest&) { return std::optional<platform::SaveFileChoice>({platform::WidenAnsi(path), 1}); });
  ::SendMessageA(m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().GetSafeHwnd()), MAKELPARAM(-1, -1));
  platform::SetPopupMenuHook(std::move(oldMenu));
  platform::SetSaveFileDialogHook(std::move(oldSave));

  const std::vector<std::string> lines = e2e::SplitLines(e2e::ReadFile(path));
  ::DeleteFileA(path.c_str());
  ASSERT_EQ(static_cast<int>(lines.size()), List().GetItemCount() + 1);
  EXPECT_EQ(lines[0], "\xEF\xBB\xBFhandle,className,text,parent,CtrlID,Visible,Enable");
  const std::vector<std::string> first = Row(0);
  EXPECT_EQ(lines[1], first[0] + "," + first[1] + "," + first[2] + "," + first[3] + "," + first[4] + "," + first[5] + "," +
                          first[6]);
}

// A program that has just stopped answering costs one bounded text request per update, not
// one per window: its other windows' texts are read without waiting. Six windows waiting one
// second each would take over six seconds.
TEST_F(InspectorTest, AProgramThatStoppedAnsweringCostsOneTextWait) {
  HWND target = s_fixture->Create("name=slow title=Slow x=760 y=400 w=300 h=200 show=noactivate thread=slow");
  ASSERT_NE(target, nullptr);
  std::string script;
  for (int i = 0; i < 6; ++i)
    script += "child parent=slow text=S" + std::to_string(i) + " x=" + std::to_string(i * 40) + " w=30 h=20;";
  ASSERT_TRUE(s_fixture->Command(script).answered);
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=forever").value, 1);
  const DWORD start = ::GetTickCount();
  Inspect(target);
  const DWORD elapsed = ::GetTickCount() - start;
  s_fixture->Command("resume window=" + e2e::HandleText(target));
  // One text wait and the picture's one-second probe, with room for a loaded machine.
  EXPECT_LT(elapsed, 4000u);
  ASSERT_EQ(List().GetItemCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(List().GetItemText(i, 2), "S" + std::to_string(i));
}

// A child is shown with what it wrote, as far as the length it reports; a length below zero or
// beyond the buffer is no text, and a child that writes nothing has an empty text, whatever
// length it reports.
TEST_F(InspectorTest, ChildTextsAreTakenAsFarAsWritten) {
  HWND target = s_fixture->Create("name=liar title=Liar x=760 y=400 w=300 h=200 show=noactivate thread=liar");
  ASSERT_NE(target, nullptr);
  std::string script;
  const char* answers[] = {"-1", "0x7fffffff", "512", "2", "4 write=no"};
  for (int i = 0; i < 5; ++i) {
    const std::string name = "liar" + std::to_string(i);
    script += "child parent=liar name=" + name + (i < 4 ? " text=Lie" + std::to_string(i) : std::string()) +
              " x=" + std::to_string(i * 40) + " w=30 h=20; answer window=@" + name + " gettext=" + answers[i] + ";";
  }
  ASSERT_TRUE(s_fixture->Command(script).answered);
  Inspect(target);
  ASSERT_EQ(List().GetItemCount(), 5);
  EXPECT_EQ(List().GetItemText(4, 2), "");
  EXPECT_EQ(List().GetItemText(0, 2), "");
  // A length beyond the buffer reaches Quorvel as it was said (no text) or, where the system
  // carries the text across processes itself, cut to what was written.
  for (int row : {1, 2}) {
    const std::string text = List().GetItemText(row, 2);
    EXPECT_TRUE(text.empty() || text == "Lie" + std::to_string(row)) << text;
  }
  EXPECT_EQ(List().GetItemText(3, 2), "Li");

}

TEST_F(InspectorTest, RowClickShowsTheChildsStyleAndRectangles) {
  HWND target = CreateTree();
  Inspect(target);
  Tick();  // no child selected: the labels empty, the client size keeps its caption
  EXPECT_EQ(Text(IDC_CI_STYLE), "");
  EXPECT_EQ(Text(IDC_CI_REL_LEFT), "");
  EXPECT_EQ(Text(IDC_CI_CLIENT_W), "Static");

  HWND a2 = Named("a2");
  ::SendMessageA(Spin(IDC_CI_XSPIN).GetSafeHwnd(), UDM_SETPOS32, 0, 7);
  ClickChild(a2);
  EXPECT_EQ(m_dlg->SelectedChild(), a2);
  EXPECT_EQ(Spin(IDC_CI_XSPIN).GetPos32(), 0);
  const RECT child = WindowRect(a2);
  const RECT outer = WindowRect(target);
  RECT client{};
  ::GetClientRect(a2, &client);
  EXPECT_EQ(Text(IDC_CI_STYLE), platform::Format("0x%08lx", static_cast<unsigned long>(::GetWindowLongA(a2, GWL_STYLE))));
  EXPECT_EQ(Text(IDC_CI_EXSTYLE), "0x00000000");
  EXPECT_EQ(Text(IDC_CI_RECT_TOP), Dec(child.top));
  EXPECT_EQ(Text(IDC_CI_RECT_LEFT), Dec(child.left));
  EXPECT_EQ(Text(IDC_CI_RECT_RIGHT), Dec(child.right));
  EXPECT_EQ(Text(IDC_CI_RECT_BOTTOM), Dec(child.bottom));
  EXPECT_EQ(Text(IDC_CI_CLIENT_W), "80");
  EXPECT_EQ(Text(IDC_CI_CLIENT_H), "30");
  EXPECT_EQ(Text(IDC_CI_REL_LEFT), Dec(child.left - outer.left));
  EXPECT_EQ(Text(IDC_CI_REL_TOP), Dec(child.top - outer.top));
  EXPECT_EQ(Text(IDC_CI_REL_RIGHT), Dec(child.right - outer.left));
  EXPECT_EQ(Text(IDC_CI_REL_BOTTOM), Dec(child.bottom - outer.top));
  EXPECT_EQ(m_dlg->SelectedRect().right - m_dlg->SelectedRect().left, 80);

  // The 500 ms refresh follows a moved child while the inspector is shown, rewriting only the
  // labels whose text changed; hidden, it refreshes nothing until it is shown again.
  m_dlg->ShowWindow(SW_SHOWNOACTIVATE);
  ASSERT_EQ(s_fixture->Command("move window=" + e2e::HandleText(a2) + " x=30 y=65").value, 1);
  EXPECT_TRUE(uitest::PumpUntil([&] { return Text(IDC_CI_RECT_LEFT) == Dec(WindowRect(a2).left); }, 3000));
  HWND label = ::GetDlgItem(m_hWnd, IDC_CI_STYLE);
  static int s_writes = 0;
  static WNDPROC s_labelProc = nullptr;
  s_writes = 0;
  s_labelProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) WINAPI -> LRESULT {
        if (msg == WM_SETTEXT) ++s_writes;
        return ::CallWindowProcA(s_labelProc, hwnd, msg, wParam, lParam);
      })));
  Tick();
  Tick();
  EXPECT_EQ(s_writes, 0) << "an unchanged label was written again";
  ::SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_labelProc));
  const std::string shownLeft = Text(IDC_CI_RECT_LEFT);
  m_dlg->ShowWindow(SW_HIDE);
  ASSERT_EQ(s_fixture->Command("move window=" + e2e::HandleText(a2) + " x=40 y=65").value, 1);
  uitest::PumpUntil([] { return false; }, 1200);
  EXPECT_EQ(Text(IDC_CI_RECT_LEFT), shownLeft) << "the hidden inspector refreshed";
  m_dlg->ShowWindow(SW_SHOWNOACTIVATE);
  EXPECT_EQ(Text(IDC_CI_RECT_LEFT), Dec(WindowRect(a2).left)) << "shown again, it showed an old rectangle";
  HDC dc = ::GetDC(label);
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
  ::ReleaseDC(label, dc);
  LOGBRUSH info{};
  ASSERT_TRUE(::GetObjectA(brush, sizeof info, &info));
  EXPECT_EQ(info.lbColor, RGB(255, 255, 180));

  // A new target clears the selection; the list stays until the update.
  m_dlg->SetParentHandle(a2);
  EXPECT_EQ(m_dlg->SelectedChild(), nullptr);
  EXPECT_EQ(List().GetItemCount(), 19);
}

TEST_F(InspectorTest, PictureClickSelectsTheDeepestVisibleEnabledChild) {
  HWND target = CreateTree();
  m_dlg->ShowWindow(SW_SHOW);
  Inspect(target);
  // Before the picture is painted there is no scale: a click selects nothing.
  ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 300));
  EXPECT_EQ(m_dlg->SelectedChild(), nullptr);
  ::UpdateWindow(m_hWnd);
  // 420 x 320 in a 300 x 200 area: the height binds.
  ASSERT_DOUBLE_EQ(m_dlg->Scale(), 0.625);
  EXPECT_EQ(m_dlg->Picture().width, 420);
  EXPECT_EQ(m_dlg->Picture().height, 320);

  const RECT outer = WindowRect(target);
  auto pictureClient = [&](HWND child, int dx, int dy) {
    const RECT r = WindowRect(child);
    return POINT{20 + static_cast<LONG>((r.left + dx - outer.left) * 0.625),
                 250 + static_cast<LONG>((r.top + dy - outer.top) * 0.625)};
  };
  auto click = [&](POINT client) {
    ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
  };

  // One real click: on the button inside "Alpha".
  HWND a1 = Named("a1");
  POINT onButton = pictureClient(a1, 40, 16);
  POINT screen = onButton;
  ::ClientToScreen(m_hWnd, &screen);
  ASSERT_TRUE(e2e::ClickScreenPoint(m_hWnd, screen));
  EXPECT_TRUE(uitest::PumpUntil([&] { return m_dlg->SelectedChild() == a1; }, 3000));
  EXPECT_EQ(List().GetSelectionMark(), 1);
  // The spins hold the point in the button's client coordinates (the picture's grain is 1.6 px).
  EXPECT_NEAR(Spin(IDC_CI_XSPIN).GetPos32(), 40, 2);
  EXPECT_NEAR(Spin(IDC_CI_YSPIN).GetPos32(), 16, 2);
  // The red frame sits on the button's rectangle scaled into the picture.
  ::UpdateWindow(m_hWnd);
  const RECT button = WindowRect(a1);
  const POINT frameCorner{20 + static_cast<LONG>((button.left - outer.left) * 0.625),
                          250 + static_cast<LONG>((button.top - outer.top) * 0.625)};
  HDC dc = ::GetDC(m_hWnd);
  EXPECT_EQ(::GetPixel(dc, frameCorner.x, frameCorner.y), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(dc, frameCorner.x + 10, frameCorner.y), RGB(255, 0, 0));
  EXPECT_NE(::GetPixel(dc, frameCorner.x + 10, frameCorner.y + 5), RGB(255, 0, 0));
  ::ReleaseDC(m_hWnd, dc);

  // Overlapping siblings: the one listed first.
  click(pictureClient(Named("o2"), 20, 10));
  EXPECT_EQ(m_dlg->SelectedChild(), Named("o1"));
  // Only a hidden child there: nothing selected, the spins at the target's client point.
  HWND o1 = Named("o1");
  click(pictureClient(Named("h"), 40, 20));
  EXPECT_EQ(m_dlg->SelectedChild(), o1);
  POINT inTarget{WindowRect(Named("h")).left + 40, WindowRect(Named("h")).top + 20};
  ::ScreenToClient(target, &inTarget);
  EXPECT_NEAR(Spin(IDC_CI_XSPIN).GetPos32(), inTarget.x, 2);
  EXPECT_NEAR(Spin(IDC_CI_YSPIN).GetPos32(), inTarget.y, 2);
  // A disabled child is never hit either, and the eleven-deep chain is out of reach.
  click(pictureClient(Named("d"), 40, 20));
  EXPECT_EQ(m_dlg->SelectedChild(), o1);
  click(pictureClient(Named("c1"), 10, 10));
  EXPECT_EQ(m_dlg->SelectedChild(), o1);
  // Outside the picture area (its right edge is outside too).
  click(POINT{320, 300});
  click(POINT{19, 300});
  EXPECT_EQ(m_dlg->SelectedChild(), o1);
}

// Moved to a monitor of 144 DPI and back: the picture area, the click offsets and the list's
// columns follow the DPI, and at 96 every figure is the one above.
TEST_F(InspectorTest, ADpiChangeScalesThePictureAreaItsClicksAndTheColumns) {
  HWND target = CreateTree();
  m_dlg->ShowWindow(SW_SHOW);
  auto moveTo = [&](UINT dpi) {
    RECT suggested = WindowRect(m_hWnd);
    ::SendMessageA(m_hWnd, platform::kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  };
  auto columnWidths = [&] {
    std::vector<int> widths;
    for (int column = 0; column < 8; ++column)
      widths.push_back(static_cast<int>(List().Send(LVM_GETCOLUMNWIDTH, column)));
    return widths;
  };
  const RECT area144{30, 375, 480, 675}, area96{20, 250, 320, 450};
  moveTo(144);
  EXPECT_TRUE(::EqualRect(&m_dlg->PictureArea(), &area144));
  EXPECT_EQ(columnWidths(), (std::vector<int>{120, 180, 180, 120, 90, 75, 75, 15}));

  Inspect(target);
  ::UpdateWindow(m_hWnd);
  // 420 x 320 in a 450 x 300 area: the height binds.
  ASSERT_DOUBLE_EQ(m_dlg->Scale(), 300.0 / 320);
  const RECT outer = WindowRect(target);
  const RECT button = WindowRect(Named("a1"));
  const POINT onButton{30 + static_cast<LONG>((button.left + 40 - outer.left) * 300.0 / 320),
                       375 + static_cast<LONG>((button.top + 16 - outer.top) * 300.0 / 320)};
  ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onButton.x, onButton.y));
  EXPECT_EQ(m_dlg->SelectedChild(), Named("a1"));
  EXPECT_NEAR(Spin(IDC_CI_XSPIN).GetPos32(), 40, 2);
  EXPECT_NEAR(Spin(IDC_CI_YSPIN).GetPos32(), 16, 2);

  moveTo(96);
  EXPECT_TRUE(::EqualRect(&m_dlg->PictureArea(), &area96));
  EXPECT_EQ(columnWidths(), (std::vector<int>{80, 120, 120, 80, 60, 50, 50, 10}));
  // Until the picture is painted again at the new size, a click maps nothing.
  ::SendMessageA(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 300));
  EXPECT_EQ(m_dlg->SelectedChild(), Named("a1"));
}

TEST_F(InspectorTest, InjectionButtonsReachTheSelectedChild) {
  HWND target = CreateTree();
  Inspect(target);
  HWND a = Named("a");
  s_fixture->Command("clear window=" + e2e::HandleText(a));
  // No row selected: none of the seven buttons does anything.
  for (int id : {IDC_CI_LBUTTONDOWN, IDC_CI_LBUTTONUP, IDC_CI_SETFOCUS, IDC_CI_ENTERKEY, IDC_CI_F5KEY, IDC_CI_WMCOPY,
                 IDC_CI_CTRLC})
    uitest::Click(m_hWnd, id);

  ClickChild(a);
  // The numbers typed into the edits are the point.
  ::SetDlgItemTextA(m_hWnd, IDC_CI_X, "10");
  ::SetDlgItemTextA(m_hWnd, IDC_CI_Y, "20");
  uitest::Click(m_hWnd, IDC_CI_LBUTTONDOWN);
  EXPECT_EQ(RecordAfterPost(a, "lbuttondown"), "count=1 wparam=0x00000001 lparam=0x0014000a");
  uitest::Click(m_hWnd, IDC_CI_LBUTTONUP);
  EXPECT_EQ(RecordAfterPost(a, "lbuttonup"), "count=1 wparam=0x00000000 lparam=0x0014000a");
  uitest::Click(m_hWnd, IDC_CI_SETFOCUS);
  EXPECT_EQ(Record(a, "setfocus"), "count=1 wparam=0x00000000 lparam=0x00000000");
  uitest::Click(m_hWnd, IDC_CI_ENTERKEY);
  EXPECT_EQ(RecordAfterPost(a, "keydown"), "count=1 wparam=0x0000000d lparam=0x00000000");
  uitest::Click(m_hWnd, IDC_CI_F5KEY);
  e2e::WaitUntil([&] { return s_fixture->Command("query window=" + e2e::HandleText(a) + " msg=keydown").value > 1; }, 2000);
  EXPECT_EQ(Record(a, "keydown"), "count=2 wparam=0x00000074 lparam=0x00000000");
  EXPECT_EQ(Record(a, "keyup"), "count=0 wparam=0x00000000 lparam=0x00000000");
  uitest::Click(m_hWnd, IDC_CI_WMCOPY);
  EXPECT_EQ(Record(a, "copy"), "count=1 wparam=0x00000000 lparam=0x00000000");

  // A row whose child has gone sends nothing.
  HWND a2 = Named("a2");
  ClickChild(a2);
  ASSERT_EQ(s_fixture->Command("destroy window=" + e2e::HandleText(a2)).value, 1);
  for (int id : {IDC_CI_LBUTTONDOWN, IDC_CI_LBUTTONUP, IDC_CI_SETFOCUS, IDC_CI_ENTERKEY, IDC_CI_F5KEY, IDC_CI_WMCOPY})
    uitest::Click(m_hWnd, id);
  ::Sleep(200);
  for (const char* msg : {"lbuttondown", "lbuttonup", "setfocus", "keydown", "copy"})
    EXPECT_EQ(s_fixture->Command("query window=" + e2e::HandleText(a2) + " msg=" + msg).value, 0) << msg;
  // Nothing reached the first child meanwhile either.
  EXPECT_EQ(s_fixture->Command("query window=" + e2e::HandleText(a) + " msg=lbuttondown").value, 1);
}

// Key strokes go to the focused window, so this one lives in the test process, where the test
// can give its child the focus.
TEST_F(InspectorTest, SimulatedCtrlCIsFourKeyEvents) {
  static std::vector<std::pair<UINT, WPARAM>>* s_keys;
  std::vector<std::pair<UINT, WPARAM>> keys;
  s_keys = &keys;
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) WINAPI -> LRESULT {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP) s_keys->push_back({msg, wParam});
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  };
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "InspectorKeyTarget";
  ::RegisterClassA(&wc);
  HWND top = ::CreateWindowExA(0, "InspectorKeyTarget", "keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 760, 500, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
  HWND child = ::CreateWindowExA(0, "InspectorKeyTarget", "child", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, top, nullptr,
                                 wc.hInstance, nullptr);
  ::SetForegroundWindow(top);
  uitest::PumpUntil([&] { return ::GetForegroundWindow() == top; }, 2000);
  ::SetFocus(child);
  uitest::PumpPending();

  Inspect(top);
  ClickRow(0);
  keys.clear();
  // The command itself, not a click on the button, which would take the focus away first.
  ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CI_CTRLC, BN_CLICKED), 0);
  uitest::PumpUntil([&] { return keys.size() >= 4; }, 3000);

  uitest::PumpUntil([] { return false; }, 200);
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'C'}, {WM_KEYUP, 'C'}, {WM_KEYUP, VK_CONTROL}};
  EXPECT_EQ(keys, expected);
  ::DestroyWindow(top);
}

TEST_F(InspectorTest, RegionSequencesOnOneWindow) {
  uitest::MessageBoxRecorder boxes;
  HWND target = CreateTree();
  HWND a = Named("a"), o1 = Named("o1");
  Inspect(target);
  const RECT outer = WindowRect(target);
  auto relative = [&](HWND child) {
    RECT r = WindowRect(child);
    return RECT{r.left - outer.left, r.top - outer.top, r.right - outer.left, r.bottom - outer.top};
  };
  auto inside = [&](HWND child) {  // the child's centre, in window coordinates
    RECT r = relative(child);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  auto has = [&](POINT p) {
    platform::UniqueRegion region = RegionOf(target);
    return region && ::PtInRegion(region.get(), p.x, p.y);
  };
  const POINT corner{2, 2};

  // No child selected: both setters refuse.
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoChildRect);
  EXPECT_EQ(boxes.Boxes()[1].text, kNoChildRect);
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_FALSE(RegionOf(target));

  // Without a region: every cut-out starts from the whole window, the window's own shape.
  ClickChild(a);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  EXPECT_TRUE(has(corner));
  EXPECT_FALSE(has(inside(a)));
  {
    platform::UniqueRegion whole = RegionOf(target);
    ASSERT_TRUE(whole);
    RECT box{};
    ::GetRgnBox(whole.get(), &box);
    const RECT expected{0, 0, outer.right - outer.left, outer.bottom - outer.top};  // 420 x 320
    EXPECT_TRUE(::EqualRect(&box, &expected)) << box.right << " x " << box.bottom;
  }
  ClickChild(o1);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  EXPECT_TRUE(has(inside(a)));
  EXPECT_FALSE(has(inside(o1)));
  EXPECT_TRUE(has(corner));
  // Cut, rectangle, release: one release gives the window back no region at all.
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  platform::UniqueRegion cut = RegionOf(target);
  ASSERT_TRUE(cut);
  RECT box{};
  EXPECT_EQ(::GetRgnBox(cut.get(), &box), SIMPLEREGION);
  const RECT o1Rect = relative(o1);
  EXPECT_TRUE(::EqualRect(&box, &o1Rect));
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  EXPECT_FALSE(RegionOf(target));
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  EXPECT_FALSE(RegionOf(target));

  // A window with a region S: each cut-out starts from S; release gives S back exactly.
  ASSERT_EQ(s_fixture->Command("region window=" + e2e::HandleText(target) + " ellipse=0,0,400,300").value, 1);
  platform::UniqueRegion original = RegionOf(target);
  ASSERT_TRUE(original);
  ClickChild(a);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  EXPECT_FALSE(has(inside(a)));
  ClickChild(o1);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  EXPECT_TRUE(has(POINT{inside(a).x + 20, inside(a).y + 20}));
  EXPECT_FALSE(has(inside(o1)));
  EXPECT_FALSE(has(corner));
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  EXPECT_TRUE(has(inside(o1)));
  EXPECT_FALSE(has(inside(a)));
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  platform::UniqueRegion restored = RegionOf(target);
  ASSERT_TRUE(restored);
  EXPECT_TRUE(::EqualRgn(restored.get(), original.get()));
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  EXPECT_FALSE(RegionOf(target));
  EXPECT_EQ(boxes.Boxes().size(), 2u);

  // A window that is gone: the release reports its failure.
  ASSERT_EQ(s_fixture->Command("destroy window=" + e2e::HandleText(target)).value, 1);
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[2].text, kReleaseFailed);
}

TEST_F(InspectorTest, SavedRegionBelongsToTheWindowItWasSavedFrom) {
  uitest::MessageBoxRecorder boxes;
  HWND first = CreateTree();
  const std::string firstNames = m_names;
  HWND a = Named("a");
  ASSERT_EQ(s_fixture->Command("region window=" + e2e::HandleText(first) + " rect=0,0,300,250").value, 1);
  platform::UniqueRegion original = RegionOf(first);
  Inspect(first);
  ClickChild(a);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);

  HWND second = CreateTree();
  Inspect(second);
  ClickChild(Named("o1"));
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  ASSERT_TRUE(RegionOf(second));
  // The release on the second window removes its region and leaves the first one's saved.
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  EXPECT_FALSE(RegionOf(second));

  Inspect(first);
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  platform::UniqueRegion restored = RegionOf(first);
  ASSERT_TRUE(restored);
  EXPECT_TRUE(::EqualRgn(restored.get(), original.get()));
  EXPECT_TRUE(boxes.Boxes().empty());
}

// A region for a window whose program has stopped answering is handed to a worker: the
// inspector goes on at once and the window has its region once the program recovers.
TEST_F(InspectorTest, RegionForAProgramThatStoppedAnsweringArrivesLater) {
  uitest::MessageBoxRecorder boxes;
  HWND target = s_fixture->Create("name=rgn title=Regions x=760 y=400 w=300 h=200 show=noactivate thread=rgn");
  ASSERT_NE(target, nullptr);
  HWND child = reinterpret_cast<HWND>(s_fixture->Command("child parent=rgn text=C x=20 y=20 w=50 h=40").value);
  ASSERT_NE(child, nullptr);
  Inspect(target);
  ClickChild(child);
  const RECT expected = m_dlg->SelectedRect();
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=forever").value, 1);
  const DWORD start = ::GetTickCount();
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_LT(elapsed, 2500u);  // one bounded probe, no wait on the window itself
  EXPECT_TRUE(boxes.Boxes().empty());
  s_fixture->Command("resume window=" + e2e::HandleText(target));
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  platform::UniqueRegion region = RegionOf(target);
  ASSERT_TRUE(region);
  RECT box{};
  EXPECT_EQ(::GetRgnBox(region.get(), &box), SIMPLEREGION);
  EXPECT_TRUE(::EqualRect(&box, &expected));
}

// A release the window takes late, with another change made meanwhile, keeps the saved region:
// the next release still gives the window back its own.
TEST_F(InspectorTest, ALateReleaseFollowedByAnotherChangeKeepsTheSavedRegion) {
  uitest::MessageBoxRecorder boxes;
  HWND target = s_fixture->Create("name=late title=Late x=760 y=400 w=300 h=200 show=noactivate thread=late");
  ASSERT_NE(target, nullptr);
  HWND child = reinterpret_cast<HWND>(s_fixture->Command("child parent=late text=C x=20 y=20 w=50 h=40").value);
  ASSERT_EQ(s_fixture->Command("region window=" + e2e::HandleText(target) + " rect=0,0,250,180").value, 1);
  platform::UniqueRegion original = RegionOf(target);
  ASSERT_TRUE(original);
  Inspect(target);
  ClickChild(child);
  uitest::Click(m_hWnd, IDC_CI_CUTRGN);
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=forever").value, 1);
  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  uitest::Click(m_hWnd, IDC_CI_RECTRGN);
  s_fixture->Command("resume window=" + e2e::HandleText(target));
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  uitest::PumpPending();  // the release's completion runs on this thread
  platform::UniqueRegion rectangle = RegionOf(target);
  ASSERT_TRUE(rectangle);
  RECT box{};
  EXPECT_EQ(::GetRgnBox(rectangle.get(), &box), SIMPLEREGION);
  const RECT selected = m_dlg->SelectedRect();
  EXPECT_TRUE(::EqualRect(&box, &selected));

  uitest::Click(m_hWnd, IDC_CI_RELEASERGN);
  ASSERT_TRUE(platform::WaitForDeferredWindowCalls(5000));
  platform::UniqueRegion restored = RegionOf(target);
  ASSERT_TRUE(restored) << "the saved region was dropped";
  EXPECT_TRUE(::EqualRgn(restored.get(), original.get()));
  EXPECT_TRUE(boxes.Boxes().empty());
}

// A refresh of a window that has closed keeps what the inspector shows: the children listed and
// the picture, as they were last seen.
TEST_F(InspectorTest, ARefreshAfterTheWindowClosedKeepsTheListAndThePicture) {
  HWND target = CreateTree();
  Inspect(target);
  const std::vector<std::vector<std::string>> listed = Rows();
  ASSERT_FALSE(listed.empty());
  const HBITMAP picture = m_dlg->Picture().bitmap.get();
  ASSERT_EQ(s_fixture->Command("destroy window=" + e2e::HandleText(target)).value, 1);
  uitest::Click(m_hWnd, IDC_CI_REFRESH);
  EXPECT_EQ(List().GetItemCount(), static_cast<int>(listed.size()));
  EXPECT_TRUE(Rows() == listed);
  EXPECT_EQ(m_dlg->Picture().bitmap.get(), picture);
}

TEST_F(InspectorTest, StyleEditorWritesTheSelectedChildsStyle) {
  uitest::MessageBoxRecorder boxes;
  HWND target = CreateTree();
  Inspect(target);
  // No child selected: no editor opens (a modal editor would stop the test here).
  uitest::Click(m_hWnd, IDC_CI_STYLEEDIT);
  uitest::Click(m_hWnd, IDC_CI_EXSTYLEEDIT);

  HWND a2 = Named("a2");
  ClickChild(a2);
  const LONG before = ::GetWindowLongA(a2, GWL_STYLE);
  ASSERT_EQ(before & WS_BORDER, 0);
  boxes.QueueAnswer(IDYES);
  // The editor is the inspector's: owned by it, which stays disabled until the editor closes.
  bool ownedAndDisabled = false;
  {
    uitest::ModalAnswer answer("WindowStyle", [&](HWND editor) {
      ownedAndDisabled = ::GetWindow(editor, GW_OWNER) == m_hWnd && !::IsWindowEnabled(m_hWnd);
      uitest::Click(editor, IDC_STYLE_BORDER);
      uitest::Click(editor, IDOK);
    });
    uitest::Click(m_hWnd, IDC_CI_STYLEEDIT);
    EXPECT_TRUE(answer.Answered());
  }
  EXPECT_TRUE(ownedAndDisabled);
  EXPECT_TRUE(::IsWindowEnabled(m_hWnd));
  EXPECT_EQ(::GetWindowLongA(a2, GWL_STYLE), before | WS_BORDER);
  Tick();
  EXPECT_EQ(Text(IDC_CI_STYLE), platform::Format("0x%08lx", static_cast<unsigned long>(before | WS_BORDER)));
}

TEST_F(InspectorTest, EnterEscapeAndCloseHideAndKeepEverything) {
  HWND target = CreateTree();
  Inspect(target);
  ClickChild(Named("o1"));
  m_dlg->ShowWindow(SW_SHOW);
  ::SetForegroundWindow(m_hWnd);
  HWND xEdit = ::GetDlgItem(m_hWnd, IDC_CI_X);
  ::SetFocus(xEdit);
  ::PostMessageA(xEdit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !::IsWindowVisible(m_hWnd); }, 2000));

  m_dlg->ShowWindow(SW_SHOW);
  ::SetFocus(::GetDlgItem(m_hWnd, IDC_CI_LIST));
  ::PostMessageA(::GetDlgItem(m_hWnd, IDC_CI_LIST), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !::IsWindowVisible(m_hWnd); }, 2000));

  m_dlg->ShowWindow(SW_SHOW);
  ::SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(uitest::PumpUntil([&] { return !::IsWindowVisible(m_hWnd); }, 2000));

  ASSERT_TRUE(::IsWindow(m_hWnd));
  EXPECT_EQ(List().GetItemCount(), 19);
  EXPECT_EQ(m_dlg->SelectedChild(), Named("o1"));
  EXPECT_EQ(List().GetSelectionMark(), 5);
  EXPECT_EQ(m_dlg->Picture().width, 420);
}

// Another view's object, given on the screen, framed in blue in the picture of its window only.
TEST_F(InspectorTest, AnObjectOfTheInspectedWindowIsFramedInBlue) {
  HWND target = CreateTree();
  m_dlg->ShowWindow(SW_SHOW);
  Inspect(target);
  ::UpdateWindow(m_hWnd);
  ASSERT_DOUBLE_EQ(m_dlg->Scale(), 0.625);
  const RECT outer = WindowRect(target);
  const RECT object{outer.left + 80, outer.top + 160, outer.left + 240, outer.top + 240};
  const POINT corner{20 + 50, 250 + 100};
  auto pixel = [&](int dx, int dy) {
    ::UpdateWindow(m_hWnd);
    HDC dc = ::GetDC(m_hWnd);
    const COLORREF colour = ::GetPixel(dc, corner.x + dx, corner.y + dy);
    ::ReleaseDC(m_hWnd, dc);
    return colour;
  };
  m_dlg->FrameScreenRect(m_hWnd, object);  // not the inspected window
  EXPECT_NE(pixel(10, 0), RGB(0, 0, 255));
  m_dlg->FrameScreenRect(Named("a"), object);  // a child of it
  EXPECT_EQ(pixel(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(pixel(10, 0), RGB(0, 0, 255));
  EXPECT_NE(pixel(10, 5), RGB(0, 0, 255));
  Inspect(target);
  EXPECT_NE(pixel(10, 0), RGB(0, 0, 255)) << "a new window to inspect drops the frame";
}

}  // namespace
