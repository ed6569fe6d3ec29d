#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/ModalAnswer.h"
#include "operations/StyleBits.h"
#include "operations/WindowStyleDlg.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"

namespace {

const char kChildPopupRefusal[] = "WS_CHILEとWS_POPUPは同時に指定できません";
const char kStyleQuestion[] = "ウィンドウスタイルを変更しますか？";

using uitest::Checked;

std::set<int> CheckedBoxes(HWND dialog) {
  std::set<int> checked;
  for (const operations::StyleBitRow& row : operations::WindowStyleBits())
    if (Checked(dialog, row.id)) checked.insert(row.id);
  return checked;
}

class WindowStyleDlgTest : public uitest::ModelessDialogTest<CWindowStyleDlg> {
 protected:
  void Open(DWORD style) {
    m_dlg.m_dwStyle = style;
    Create();
  }
};

}  // namespace

TEST_F(WindowStyleDlgTest, EveryRowShowsItsCaptionAndItsMaskBesideIt) {
  Open(0);
  for (const operations::StyleBitRow& row : operations::WindowStyleBits()) {
    SCOPED_TRACE(row.caption);
    HWND box = ::GetDlgItem(m_hDlg, row.id);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(row.caption, uitest::ControlText(m_hDlg, row.id));
    EXPECT_EQ(static_cast<LONG>(BS_AUTOCHECKBOX), ::GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK);
    // The label on the box's line, left of it, reads the mask in upper-case hexadecimal.
    RECT boxRect;
    ::GetWindowRect(box, &boxRect);
    std::string label;
    for (HWND child = ::GetWindow(m_hDlg, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT r;
      ::GetWindowRect(child, &r);
      const int middle = (r.top + r.bottom) / 2;
      if (child != box && r.right <= boxRect.left && middle >= boxRect.top && middle <= boxRect.bottom &&
          ::GetDlgCtrlID(child) == static_cast<int>(IDC_STATIC) && boxRect.left - r.right < 20)
        label = platform::CWindow(child).GetWindowText();
    }
    char expected[16];
    wsprintfA(expected, "0x%08X", static_cast<unsigned>(row.mask));
    EXPECT_EQ(expected, label);
  }
}

TEST_F(WindowStyleDlgTest, OpensWithTheBoxesOfTheWordCheckedAndTheWordInLowerCase) {
  Open(0x16CF0000);
  EXPECT_EQ((std::set<int>{IDC_STYLE_VISIBLE, IDC_STYLE_CLIPSIBLINGS, IDC_STYLE_CLIPCHILDREN, IDC_STYLE_BORDER,
                           IDC_STYLE_DLGFRAME, IDC_STYLE_SYSMENU, IDC_STYLE_THICKFRAME, IDC_STYLE_MINIMIZEBOX,
                           IDC_STYLE_MAXIMIZEBOX, IDC_STYLE_CAPTION, IDC_STYLE_OVERLAPPEDWINDOW}),
            CheckedBoxes(m_hDlg));
  EXPECT_EQ("0x16cf0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_EQ(0x16CF0000u, m_dlg.m_dwOrgStyle);
}

TEST_F(WindowStyleDlgTest, ClicksKeepBoxesWordAndLabelInStep) {
  Open(0x16CF0000);
  uitest::Click(m_hDlg, IDC_STYLE_CAPTION);
  EXPECT_EQ("0x160f0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_EQ(0x160F0000u, m_dlg.m_dwStyle);
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_BORDER));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_DLGFRAME));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_OVERLAPPEDWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_SYSMENU));

  // A single bit back: the caption box waits for its second bit.
  uitest::Click(m_hDlg, IDC_STYLE_BORDER);
  EXPECT_EQ("0x168f0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  uitest::Click(m_hDlg, IDC_STYLE_DLGFRAME);
  EXPECT_EQ("0x16cf0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_OVERLAPPEDWINDOW));

  // The pop-up window box sets WS_POPUP too, and clearing it clears WS_BORDER and WS_SYSMENU.
  uitest::Click(m_hDlg, IDC_STYLE_POPUPWINDOW);
  EXPECT_EQ(0x96CF0000u, m_dlg.m_dwStyle);
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_POPUP));
  uitest::Click(m_hDlg, IDC_STYLE_POPUPWINDOW);
  EXPECT_EQ("0x16470000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_POPUP));
}

TEST_F(WindowStyleDlgTest, ClassBitsAndMaximizeSurviveEveryBox) {
  // A maximised window's style with an edit control's alignment and multi-line bits.
  const DWORD passThrough = WS_MAXIMIZE | ES_RIGHT | ES_MULTILINE | ES_AUTOVSCROLL;
  Open(0x56000000 | passThrough);
  for (const operations::StyleBitRow& row : operations::WindowStyleBits()) {
    uitest::Click(m_hDlg, row.id);
    EXPECT_EQ(passThrough, m_dlg.m_dwStyle & 0x0100FFFF) << row.caption;
  }
}

TEST(WindowStyleDlgModalTest, OkRefusesChildWithPopupAndAsksOnlyWhenTheWordChanged) {
  uitest::MessageBoxRecorder boxes;
  {
    // A child window given WS_POPUPWINDOW: refused, the dialog stays open with the word.
    CWindowStyleDlg dlg;
    dlg.m_dwStyle = WS_CHILD | WS_VISIBLE;
    bool openAfterOk = false;
    INT_PTR result = uitest::RunModal(dlg, [&] {
      uitest::Click(dlg.GetSafeHwnd(), IDC_STYLE_POPUPWINDOW);
      openAfterOk = uitest::ClickLeavesOpen(dlg.GetSafeHwnd(), IDOK);
      uitest::Click(dlg.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(0xD0880000u, dlg.m_dwStyle);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(kChildPopupRefusal, boxes.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), boxes.Boxes()[0].type);
  }
  {
    // Unchanged, and changed and changed back: closes without a question.
    CWindowStyleDlg dlg;
    dlg.m_dwStyle = 0x16CF0000;
    INT_PTR result = uitest::RunModal(dlg, [&dlg] {
      uitest::Click(dlg.GetSafeHwnd(), IDC_STYLE_VSCROLL);
      uitest::Click(dlg.GetSafeHwnd(), IDC_STYLE_VSCROLL);
      uitest::Click(dlg.GetSafeHwnd(), IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0x16CF0000u, dlg.m_dwStyle);
    EXPECT_EQ(1u, boxes.Boxes().size());
  }
  {
    // Changed: No goes back to editing with the edited word, Yes closes with it.
    CWindowStyleDlg dlg;
    dlg.m_dwStyle = 0x16CF0000;
    boxes.QueueAnswer(IDNO);
    boxes.QueueAnswer(IDYES);
    bool openAfterNo = false;
    std::string labelAfterNo;
    INT_PTR result = uitest::RunModal(dlg, [&] {
      HWND hwnd = dlg.GetSafeHwnd();
      uitest::Click(hwnd, IDC_STYLE_CAPTION);
      openAfterNo = uitest::ClickLeavesOpen(hwnd, IDOK);
      labelAfterNo = uitest::ControlText(hwnd, IDC_STYLE_VALUE);
      uitest::Click(hwnd, IDOK);
    });
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ("0x160f0000", labelAfterNo);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0x160F0000u, dlg.m_dwStyle);
    ASSERT_EQ(3u, boxes.Boxes().size());
    for (size_t i : {1u, 2u}) {
      EXPECT_EQ(kStyleQuestion, boxes.Boxes()[i].text);
      EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.Boxes()[i].type);
    }
  }
}
