// The send dialog in the real Quorvel.exe: opened by 送信 for the target, it sends and posts what
// is typed into it to the fixture, and with its box ticked opens the window's log, where the rows
// the sent message caused are marked.
#include <gtest/gtest.h>

#include "E2eSuite.h"

namespace {

using e2e::HandleText;

constexpr COLORREF kMarkColour = RGB(255, 224, 160);
constexpr int kKind = 3, kMessage = 4, kWParam = 5;

class SendDialogE2eTest : public e2e::E2eSuite {
 protected:
  void Type(HWND dialog, int id, const std::string& text) {
    ASSERT_TRUE(e2e::SendWithTimeout(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), nullptr));
  }
  std::string Query(HWND window, const std::string& message) {
    return fixture.Command("query window=" + HandleText(window) + " msg=" + message).text;
  }
  // The log's last row of that kind, message and wParam, or -1.
  int FindLogRow(e2e::RemoteListView& list, const std::string& kind, const std::string& name, const std::string& wParam) {
    int row = -1;
    e2e::WaitUntil([&] {
      for (int i = list.ItemCount() - 1; i >= 0 && row < 0; --i) {
        const std::vector<std::string> cells = list.Row(i, 9);
        if (cells[kKind] == kind && cells[kMessage] == name && cells[kWParam] == wParam) row = i;
      }
      return row >= 0;
    }, 5000);
    return row;
  }
  // Whether the row is drawn on the mark's ground, as the screen shows it.
  bool RowMarked(HWND list, e2e::RemoteListView& rows, int row) {
    rows.EnsureVisible(row);
    RECT rect{};
    if (!rows.ItemRect(row, &rect, LVIR_BOUNDS)) return false;
    // The part of the row the list shows (its columns run past its right edge).
    RECT client{};
    ::GetClientRect(list, &client);
    ::IntersectRect(&rect, &rect, &client);
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int marked = 0;
    for (DWORD pixel : e2e::ScreenPixels(rect))
      if (pixel == ((GetRValue(kMarkColour) << 16) | (GetGValue(kMarkColour) << 8) | GetBValue(kMarkColour))) ++marked;
    return marked > (rect.right - rect.left);
  }
};

TEST_F(SendDialogE2eTest, SendsAndPostsToTheTargetAndMarksWhatTheSendCausedInTheLog) {
  HWND target = fixture.Create("name=t title=SendTarget x=60 y=600 w=300 h=150 show=noactivate");
  ASSERT_NE(target, nullptr);
  StartQuorvel();
  ClickRow(target);
  ASSERT_TRUE(e2e::PressButton(GetDlgItem(dialog, IDC_MAIN_SENDMESSAGE)));
  HWND send = e2e::WaitForShownDialog(quorvel.Pid(), "メッセージ送信 (" + HandleText(target) + ")");
  ASSERT_NE(send, nullptr);

  Type(send, IDC_SM_MESSAGE, "WM_USER+1");
  Type(send, IDC_SM_WPARAM, "0x55");
  Type(send, IDC_SM_LPARAM, "-2");
  ASSERT_TRUE(e2e::PressButton(GetDlgItem(send, IDC_SM_SEND)));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(send, IDC_SM_RESULT)).find("結果: 0 (0x00000000)") != std::string::npos; }, 5000))
      << e2e::WindowText(GetDlgItem(send, IDC_SM_RESULT));
  EXPECT_EQ("count=1 wparam=0x00000055 lparam=0xfffffffe", Query(target, "0x401"));
  Type(send, IDC_SM_WPARAM, "9");
  ASSERT_TRUE(e2e::PressButton(GetDlgItem(send, IDC_SM_POST)));
  EXPECT_TRUE(e2e::WaitUntil([&] { return Query(target, "0x401") == "count=2 wparam=0x00000009 lparam=0xfffffffe"; }, 5000))
      << Query(target, "0x401");

  // The box opens the target's log; the next send's rows are marked there, others are not.
  ASSERT_TRUE(e2e::PressButton(GetDlgItem(send, IDC_SM_MARKLOG)));
  HWND log = e2e::WaitForShownDialog(quorvel.Pid(), "メッセージログ (" + HandleText(target) + ")");
  ASSERT_NE(log, nullptr);
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(GetDlgItem(log, IDC_ML_STARTSTOP)) == "停止"; }, 5000));
  fixture.Command("send window=t msg=0x401 wparam=0x11");
  Type(send, IDC_SM_WPARAM, "0x22");
  ASSERT_TRUE(e2e::PressButton(GetDlgItem(send, IDC_SM_SEND)));
  HWND list = GetDlgItem(log, IDC_ML_LIST);
  e2e::RemoteListView rows(list);
  const int sent = FindLogRow(rows, "S", "WM_USER+1", "0x00000022");
  const int returned = FindLogRow(rows, "R", "WM_USER+1", "0x00000022");
  const int other = FindLogRow(rows, "S", "WM_USER+1", "0x00000011");
  ASSERT_GE(sent, 0);
  ASSERT_GE(returned, 0);
  ASSERT_GE(other, 0);
  EXPECT_TRUE(e2e::WaitUntil([&] { return RowMarked(list, rows, sent) && RowMarked(list, rows, returned); }, 5000));
  EXPECT_FALSE(RowMarked(list, rows, other));
}

}  // namespace
