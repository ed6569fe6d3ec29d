// A modeless view's life as the views share it: opened beside its owner, brought back, closed by
// its close box or Escape into answering nothing, and opened again.
#include <gtest/gtest.h>
#include <windows.h>


#include "platform/ModelessView.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"

namespace {

class CCountingView : public platform::CDialogT<CCountingView, platform::CModelessView> {
 public:
  CCountingView() : CDialogT(IDD_PROPERTIES) {}
  ~CCountingView() override { DestroyWindow(); }
  static MessageMapView MessageMap() {
    static const MessageEntry kMap[] = {
        OnCommand(IDC_PR_REFRESH, BN_CLICKED, &CCountingView::OnRefresh),
        OnMessage(WM_TIMER, &CCountingView::OnTimer),
        OnMessage(WM_DESTROY, &CCountingView::OnDestroy),  // lets the base see it too
        OnNotify(IDC_PR_LIST, NM_CLICK, &CCountingView::OnListClick),
    };
    return kMap;
  }
  int shown = 0, closing = 0, handled = 0;

 protected:
  void OnShown() override { ++shown; }
  void OnClosing() override { ++closing; }

 private:
  void OnRefresh() { ++handled; }
  std::optional<LRESULT> OnTimer(WPARAM, LPARAM) { return ++handled; }
  std::optional<LRESULT> OnDestroy(WPARAM, LPARAM) { return std::nullopt; }
  LRESULT OnListClick(NMHDR*) { return ++handled; }
};

TEST(ModelessViewTest, OpensBesideItsOwnerClosesIntoSilenceOpensAgainAndTakesNoForeignPointer) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
  CCountingView view;
  ASSERT_TRUE(view.Open(owner));
  const HWND dialog = view.GetSafeHwnd();
  RECT ownerRect{}, viewRect{}, overlap{};
  GetWindowRect(owner, &ownerRect);
  GetWindowRect(dialog, &viewRect);
  EXPECT_FALSE(IntersectRect(&overlap, &ownerRect, &viewRect)) << "the view covers its owner";
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);

  // Asked for again: the same window, restored, not shown anew.
  ShowWindow(dialog, SW_MINIMIZE);
  ASSERT_TRUE(view.Open(owner));
  EXPECT_EQ(view.GetSafeHwnd(), dialog);
  EXPECT_FALSE(IsIconic(dialog));
  EXPECT_EQ(view.shown, 1);

  // The close box and Escape close it once; closed, it answers no click and no tick.
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(view.Closed());
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(view.closing, 1);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PR_REFRESH, BN_CLICKED), 0);
  SendMessageA(dialog, WM_TIMER, 1, 0);
  EXPECT_EQ(view.handled, 0);

  // Opened again it answers again; a window destroyed unclosed closes the view first.
  ASSERT_TRUE(view.Open(owner));
  EXPECT_FALSE(view.Closed());
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(view.shown, 2);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PR_REFRESH, BN_CLICKED), 0);
  EXPECT_EQ(view.handled, 1);

  // What carries a pointer is taken only where it is one of ours: a notice pointing nowhere or
  // naming a window of another thread, or a second WM_INITDIALOG (as another program can send
  // them), is ignored.
  NMHDR notice{view.GetDlgItem(IDC_PR_LIST), IDC_PR_LIST, static_cast<UINT>(NM_CLICK)};
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, reinterpret_cast<LPARAM>(&notice));
  EXPECT_EQ(view.handled, 2);
  NMHDR foreign{GetDesktopWindow(), IDC_PR_LIST, static_cast<UINT>(NM_CLICK)};
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, reinterpret_cast<LPARAM>(&foreign));
  SendMessageA(dialog, WM_NOTIFY, IDC_PR_LIST, 0x10);
  EXPECT_EQ(view.handled, 2);
  SendMessageA(dialog, WM_INITDIALOG, 0, 0x10);
  EXPECT_EQ(view.GetSafeHwnd(), dialog) << "a second WM_INITDIALOG took its pointer";

  DestroyWindow(owner);
  EXPECT_EQ(view.closing, 2);
  EXPECT_TRUE(view.Closed());
  EXPECT_EQ(view.GetSafeHwnd(), nullptr);
}

}  // namespace
