#include <gtest/gtest.h>

#include <string>

#include "support/ModalAnswer.h"
#include "operations/StyleBits.h"
#include "operations/WindowStyleExDlg.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"

namespace {

const char kExStyleQuestion[] = "拡張ウィンドウスタイルを変更しますか？";

using uitest::Checked;

class WindowStyleExDlgTest : public uitest::ModelessDialogTest<CWindowStyleExDlg> {
 protected:
  void Open(DWORD exStyle) {
    m_dlg.m_dwExStyle = exStyle;
    Create();
  }
};

}  // namespace

TEST_F(WindowStyleExDlgTest, EveryBoxCarriesItsCaptionAndFollowsTheWord) {
  Open(0);
  EXPECT_EQ("0x00000000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  // Each box shows its row's caption; each single-bit box sets its bit and nothing else.
  for (const operations::StyleBitRow& row : operations::WindowStyleExBits()) {
    EXPECT_EQ(row.caption, uitest::ControlText(m_hDlg, row.id));
    if (row.kind != operations::StyleBitKind::Single) continue;
    EXPECT_FALSE(Checked(m_hDlg, row.id)) << row.caption;
    uitest::Click(m_hDlg, row.id);
    EXPECT_EQ(row.mask, m_dlg.m_dwExStyle) << row.caption;
    uitest::Click(m_hDlg, row.id);
    EXPECT_EQ(0u, m_dlg.m_dwExStyle) << row.caption;
  }
}

TEST_F(WindowStyleExDlgTest, CombinationBoxesShareTheWindowEdge) {
  // Both edges and the palette bits, plus bits without a box.
  Open(0x00000388 | 0x00008802);
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW));
  EXPECT_EQ("0x00008b8a", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));

  uitest::Click(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW);
  EXPECT_EQ(0x0000888Au, m_dlg.m_dwExStyle);
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_WINDOWEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_CLIENTEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_TOOLWINDOW));

  uitest::Click(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW);
  EXPECT_EQ("0x0000898a", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_WINDOWEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW));
}

TEST(WindowStyleExDlgModalTest, OkAsksOnlyForAChangedWord) {
  uitest::MessageBoxRecorder boxes;
  {
    CWindowStyleExDlg dlg;
    dlg.m_dwExStyle = 0xFFFFFFFF;
    INT_PTR result = uitest::RunModal(dlg, [&dlg] { uitest::Click(dlg.GetSafeHwnd(), IDOK); });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0xFFFFFFFFu, dlg.m_dwExStyle);
    EXPECT_TRUE(boxes.Boxes().empty());
  }
  {
    CWindowStyleExDlg dlg;
    dlg.m_dwExStyle = 0;
    boxes.QueueAnswer(IDNO);
    bool openAfterNo = false;
    INT_PTR result = uitest::RunModal(dlg, [&] {
      uitest::Click(dlg.GetSafeHwnd(), IDC_EXSTYLE_LAYERED);
      openAfterNo = uitest::ClickLeavesOpen(dlg.GetSafeHwnd(), IDOK);
      uitest::Click(dlg.GetSafeHwnd(), IDCANCEL);
    });
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(kExStyleQuestion, boxes.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.Boxes()[0].type);
  }
  {
    CWindowStyleExDlg dlg;
    dlg.m_dwExStyle = WS_EX_APPWINDOW;
    boxes.QueueAnswer(IDYES);
    INT_PTR result = uitest::RunModal(dlg, [&dlg] {
      uitest::Click(dlg.GetSafeHwnd(), IDC_EXSTYLE_TOPMOST);
      uitest::Click(dlg.GetSafeHwnd(), IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOPMOST), dlg.m_dwExStyle);
    EXPECT_EQ(2u, boxes.Boxes().size());
  }
}
