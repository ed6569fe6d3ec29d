// The style editor and the extended style editor: one editor with two tables of bits and two
// rules for OK, so the cases they share run over both.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "operations/StyleBits.h"
#include "operations/StyleWordDlg.h"
#include "res/resource.h"
#include "support/ModalAnswer.h"
#include "support/UiTestSupport.h"

namespace {

using uitest::Checked;

struct Editor {
  const char* name;
  std::function<std::unique_ptr<CStyleWordDlg>()> make;
  operations::StyleBitTable (*bits)();
  const char* question;
};

const Editor kEditors[] = {
    {"WindowStyle", [] { return std::make_unique<CWindowStyleDlg>(); }, operations::WindowStyleBits,
     "ウィンドウスタイルを変更しますか？"},
    {"WindowStyleEX", [] { return std::make_unique<CWindowStyleExDlg>(); }, operations::WindowStyleExBits,
     "拡張ウィンドウスタイルを変更しますか？"},
};

// The bits no box of the table stands for.
DWORD PassThrough(const operations::StyleBitTable& table) {
  DWORD boxed = 0;
  for (const operations::StyleBitRow& row : table) boxed |= row.mask;
  return ~boxed;
}

// The text of the static label on the box's line, left of it and close to it.
std::string MaskLabelOf(HWND dialog, HWND box) {
  RECT boxRect;
  ::GetWindowRect(box, &boxRect);
  std::string label;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    ::GetWindowRect(child, &r);
    const int middle = (r.top + r.bottom) / 2;
    if (child != box && r.right <= boxRect.left && middle >= boxRect.top && middle <= boxRect.bottom &&
        ::GetDlgCtrlID(child) == static_cast<int>(IDC_STATIC) && boxRect.left - r.right < 20)
      label = platform::CWindow(child).GetWindowText();
  }
  return label;
}

std::set<int> CheckedBoxes(HWND dialog, const operations::StyleBitTable& table) {
  std::set<int> checked;
  for (const operations::StyleBitRow& row : table)
    if (Checked(dialog, row.id)) checked.insert(row.id);
  return checked;
}

class StyleEditorTest : public uitest::ModelessDialogTest<CWindowStyleDlg> {
 protected:
  void Open(DWORD style) {
    m_dlg.m_dwWord = style;
    Create();
  }
};

class ExStyleEditorTest : public uitest::ModelessDialogTest<CWindowStyleExDlg> {
 protected:
  void Open(DWORD exStyle) {
    m_dlg.m_dwWord = exStyle;
    Create();
  }
};

}  // namespace

// Every row of both editors: its caption on an automatic check box, its mask in upper-case
// hexadecimal left of it; a single-bit box sets its bit alone and clears it again; and the
// bits without a box survive a click on every box.
TEST(StyleEditors, EveryBoxShowsItsCaptionAndMaskAndMovesOnlyItsOwnBits) {
  uitest::GdiOwnerBalance gdi;
  for (const Editor& editor : kEditors) {
    SCOPED_TRACE(editor.name);
    const operations::StyleBitTable table = editor.bits();
    std::unique_ptr<CStyleWordDlg> dlg = editor.make();
    ASSERT_TRUE(dlg->Create(nullptr));
    const HWND hwnd = dlg->GetSafeHwnd();
    EXPECT_EQ("0x00000000", uitest::ControlText(hwnd, IDC_STYLE_VALUE));
    for (const operations::StyleBitRow& row : table) {
      SCOPED_TRACE(row.caption);
      const HWND box = ::GetDlgItem(hwnd, row.id);
      ASSERT_NE(nullptr, box);
      EXPECT_EQ(row.caption, uitest::ControlText(hwnd, row.id));
      EXPECT_EQ(static_cast<LONG>(BS_AUTOCHECKBOX), ::GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK);
      char mask[16];
      wsprintfA(mask, "0x%08X", static_cast<unsigned>(row.mask));
      EXPECT_EQ(mask, MaskLabelOf(hwnd, box));
      if (row.kind != operations::StyleBitKind::Single) continue;
      uitest::Click(hwnd, row.id);
      EXPECT_EQ(row.mask, dlg->m_dwWord);
      uitest::Click(hwnd, row.id);
      EXPECT_EQ(0u, dlg->m_dwWord);
    }
    dlg.reset();

    // A maximised edit control's style keeps WS_MAXIMIZE and its alignment and multi-line bits.
    const DWORD passThrough = PassThrough(table);
    const DWORD start = (editor.bits == operations::WindowStyleBits)
                            ? 0x56000000 | WS_MAXIMIZE | ES_RIGHT | ES_MULTILINE | ES_AUTOVSCROLL
                            : 0xFFFFFFFF;
    dlg = editor.make();
    dlg->m_dwWord = start;
    ASSERT_TRUE(dlg->Create(nullptr));
    for (const operations::StyleBitRow& row : table) {
      uitest::Click(dlg->GetSafeHwnd(), row.id);
      EXPECT_EQ(start & passThrough, dlg->m_dwWord & passThrough) << row.caption;
    }
  }
  gdi.ExpectBalanced();
}

// OK in both editors: an unchanged word, or one changed and changed back, closes without a
// question; a changed word is asked about, No goes back to editing with the edited word, Yes
// closes with it. The style editor alone refuses WS_CHILD with WS_POPUP and stays open.
TEST(StyleEditors, OkAsksOnlyForAChangedWordAndTheStyleEditorRefusesChildWithPopup) {
  for (const Editor& editor : kEditors) {
    SCOPED_TRACE(editor.name);
    uitest::MessageBoxRecorder boxes;
    const operations::StyleBitRow first = *editor.bits().begin();
    {
      std::unique_ptr<CStyleWordDlg> dlg = editor.make();
      dlg->m_dwWord = 0x16CF0000;
      const INT_PTR result = uitest::RunModal(*dlg, [&] {
        uitest::Click(dlg->GetSafeHwnd(), first.id);
        uitest::Click(dlg->GetSafeHwnd(), first.id);
        uitest::Click(dlg->GetSafeHwnd(), IDOK);
      });
      EXPECT_EQ(IDOK, result);
      EXPECT_EQ(0x16CF0000u, dlg->m_dwWord);
      EXPECT_TRUE(boxes.Boxes().empty());
    }
    {
      std::unique_ptr<CStyleWordDlg> dlg = editor.make();
      dlg->m_dwWord = 0x16CF0000;
      boxes.QueueAnswer(IDNO);
      boxes.QueueAnswer(IDYES);
      bool openAfterNo = false;
      std::string labelAfterNo;
      const INT_PTR result = uitest::RunModal(*dlg, [&] {
        const HWND hwnd = dlg->GetSafeHwnd();
        uitest::Click(hwnd, first.id);
        openAfterNo = uitest::ClickLeavesOpen(hwnd, IDOK);
        labelAfterNo = uitest::ControlText(hwnd, IDC_STYLE_VALUE);
        uitest::Click(hwnd, IDOK);
      });
      const DWORD edited = 0x16CF0000u ^ first.mask;
      EXPECT_TRUE(openAfterNo);
      char expected[16];
      wsprintfA(expected, "0x%08x", static_cast<unsigned>(edited));
      EXPECT_EQ(expected, labelAfterNo);
      EXPECT_EQ(IDOK, result);
      EXPECT_EQ(edited, dlg->m_dwWord);
      ASSERT_EQ(2u, boxes.Boxes().size());
      for (const uitest::MessageBoxRecorder::Box& box : boxes.Boxes()) {
        EXPECT_EQ(editor.question, box.text);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), box.type);
      }
    }
  }
  // A child window given WS_POPUPWINDOW: refused, the dialog stays open with the word.
  uitest::MessageBoxRecorder boxes;
  CWindowStyleDlg dlg;
  dlg.m_dwWord = WS_CHILD | WS_VISIBLE;
  bool openAfterOk = false;
  const INT_PTR result = uitest::RunModal(dlg, [&] {
    uitest::Click(dlg.GetSafeHwnd(), IDC_STYLE_POPUPWINDOW);
    openAfterOk = uitest::ClickLeavesOpen(dlg.GetSafeHwnd(), IDOK);
    uitest::Click(dlg.GetSafeHwnd(), IDCANCEL);
  });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(0xD0880000u, dlg.m_dwWord);
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ("WS_CHILEとWS_POPUPは同時に指定できません", boxes.Boxes()[0].text);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), boxes.Boxes()[0].type);
}

TEST_F(StyleEditorTest, CombinationBoxesFollowTheirBitsAndSetOrClearThemAll) {
  Open(0x16CF0000);
  EXPECT_EQ((std::set<int>{IDC_STYLE_VISIBLE, IDC_STYLE_CLIPSIBLINGS, IDC_STYLE_CLIPCHILDREN, IDC_STYLE_BORDER,
                           IDC_STYLE_DLGFRAME, IDC_STYLE_SYSMENU, IDC_STYLE_THICKFRAME, IDC_STYLE_MINIMIZEBOX,
                           IDC_STYLE_MAXIMIZEBOX, IDC_STYLE_CAPTION, IDC_STYLE_OVERLAPPEDWINDOW}),
            CheckedBoxes(m_hDlg, operations::WindowStyleBits()));
  EXPECT_EQ("0x16cf0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_EQ(0x16CF0000u, m_dlg.m_dwOrgWord);

  uitest::Click(m_hDlg, IDC_STYLE_CAPTION);
  EXPECT_EQ("0x160f0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_EQ(0x160F0000u, m_dlg.m_dwWord);
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_BORDER));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_DLGFRAME));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_OVERLAPPEDWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_SYSMENU));

  // A single bit back: the caption box waits for its second bit.
  uitest::Click(m_hDlg, IDC_STYLE_BORDER);
  EXPECT_EQ("0x168f0000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  uitest::Click(m_hDlg, IDC_STYLE_DLGFRAME);
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_OVERLAPPEDWINDOW));

  // The pop-up window box sets WS_POPUP too, and clearing it clears WS_BORDER and WS_SYSMENU.
  uitest::Click(m_hDlg, IDC_STYLE_POPUPWINDOW);
  EXPECT_EQ(0x96CF0000u, m_dlg.m_dwWord);
  EXPECT_TRUE(Checked(m_hDlg, IDC_STYLE_POPUP));
  uitest::Click(m_hDlg, IDC_STYLE_POPUPWINDOW);
  EXPECT_EQ("0x16470000", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_CAPTION));
  EXPECT_FALSE(Checked(m_hDlg, IDC_STYLE_POPUP));
}

TEST_F(ExStyleEditorTest, CombinationBoxesShareTheWindowEdge) {
  // Both edges and the palette bits, plus bits without a box.
  Open(0x00000388 | 0x00008802);
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW));
  EXPECT_EQ("0x00008b8a", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));

  uitest::Click(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW);
  EXPECT_EQ(0x0000888Au, m_dlg.m_dwWord);
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_WINDOWEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_CLIENTEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_TOOLWINDOW));

  uitest::Click(m_hDlg, IDC_EXSTYLE_PALETTEWINDOW);
  EXPECT_EQ("0x0000898a", uitest::ControlText(m_hDlg, IDC_STYLE_VALUE));
  EXPECT_TRUE(Checked(m_hDlg, IDC_EXSTYLE_WINDOWEDGE));
  EXPECT_FALSE(Checked(m_hDlg, IDC_EXSTYLE_OVERLAPPEDWINDOW));
}
