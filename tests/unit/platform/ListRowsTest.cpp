#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/WinApp.h"

namespace {

using platform::ListRow;

std::vector<ListRow> Shown(const platform::CListCtrl& list) {
  std::vector<ListRow> rows;
  for (int row = 0; row < list.GetItemCount(); ++row)
    rows.push_back({list.GetItemTextW(row, 0), list.GetItemTextW(row, 1)});
  return rows;
}

// A refresh writes only what changed, adds and removes rows at the end, and fills a list that
// was changed behind its back anew; the row helpers select, find and clear rows as a click does.
TEST(ListRows, UpdateWritesWhatChangedAndTheRowHelpersSelectFindAndClear) {
  platform::EnsureCommonControls();
  HWND hwnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 300, 60,
                                nullptr, nullptr, nullptr, nullptr);
  const platform::CListCtrl list(hwnd);
  list.InsertColumn(0, "a", LVCFMT_LEFT, 100);
  list.InsertColumn(1, "b", LVCFMT_LEFT, 100);

  const std::vector<ListRow> first = {{L"one", L"1"}, {L"two", L"2"}, {L"three", L"3"}};
  list.UpdateRows({}, first);
  EXPECT_EQ(Shown(list), first);
  const std::vector<ListRow> second = {{L"one", L"1"}, {L"zwei", L"2"}};
  list.UpdateRows(first, second);
  EXPECT_EQ(Shown(list), second);
  // A cell the update believes unchanged is left as it is; a count that is not the believed one is filled anew.
  list.SetItemText(0, 1, "written elsewhere");
  const std::vector<ListRow> third = {{L"one", L"1"}, {L"zwei", L"2"}, {L"drei", L"3"}, {L"vier", L"4"}};
  list.UpdateRows(second, third);
  EXPECT_EQ(list.GetItemText(0, 1), "written elsewhere");
  EXPECT_TRUE(list.UpdateRows(first, third));
  EXPECT_EQ(Shown(list), third);
  EXPECT_FALSE(list.UpdateRows(third, third));

  EXPECT_EQ(list.FindRow(0, "drei"), 2);
  EXPECT_EQ(list.FindRow(1, "dre"), -1);
  list.SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
  list.SelectRow(3);
  EXPECT_EQ(list.GetSelectionMark(), 3);
  EXPECT_EQ(list.GetHotItem(), 3);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
  list.ClearSelection();
  EXPECT_EQ(list.GetSelectionMark(), -1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), -1);
  EXPECT_EQ(list.GetHotItem(), -1);
  ::DestroyWindow(hwnd);
}

}  // namespace
