// The window tree's list of what changed (list 1307): a virtual list over the change list, its
// columns, Ctrl+C and the right-click menu that copy the selected rows, and the whole list
// saved as CSV or as JSON Lines in the command line's watch format.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/RowCopy.h"
#include "wintree/ChangeList.h"

namespace wintree {

class CChangeListView {
 public:
  void Attach(HWND owner, HWND list);
  CChangeList& Rows() { return m_rows; }
  const CChangeList& Rows() const { return m_rows; }
  // Shows the rows the list holds now; the last row is scrolled to unless the user selected
  // another.
  void Update();
  void Clear();

  LRESULT OnGetDispInfoW(NMHDR* header);
  LRESULT OnGetDispInfoA(NMHDR* header);
  // Ctrl+C copies the selected rows.
  LRESULT OnKeyDown(NMHDR* header);
  // The right-click menu: コピー, すべてコピー, 一覧を保存….
  void OnContextMenu(LPARAM point);
  // The Save As dialog: CSV, or JSON Lines as the watch command writes them.
  void Save();
  // The rows the user selected, in order.
  std::vector<size_t> SelectedRows() const;

 private:
  platform::RowCopy Copy() const;

  HWND m_owner = nullptr;
  HWND m_list = nullptr;
  CChangeList m_rows;
  std::wstring m_cell;
  std::string m_narrowCell;
};

}  // namespace wintree
