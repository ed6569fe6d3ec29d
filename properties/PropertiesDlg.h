// The properties view of one window: a modeless, resizable dialog owned by the main dialog
// that lists everything about the window, group by group. It opens at once with what can be
// read from outside; the procedures fill in when the window's program has answered the probe.
// 更新 on a handle that now names another window shows that, and shows the other window only
// when asked (a double-click on its row).
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/Anchors.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/ModelessView.h"
#include "platform/RowCopy.h"
#include "properties/PropertyRows.h"
#include "properties/WindowReader.h"

namespace properties {

constexpr UINT_PTR kProbeTimerId = 1;
constexpr UINT kProbePeriodMs = 50;
// The right-click menu's commands.

class CPropertiesDlg : public platform::CDialogT<CPropertiesDlg, platform::CModelessView> {
 public:
  explicit CPropertiesDlg(HWND viewed);
  CPropertiesDlg(HWND viewed, std::unique_ptr<IWindowReader> reader);
  ~CPropertiesDlg() override;
  static MessageMapView MessageMap();

  HWND Viewed() const { return m_hViewed; }
  // The rows shown.
  const std::vector<PropertyRow>& Rows() const { return m_rows; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnClosing() override;
  void OnDpiChanged(UINT dpi) override;

 private:
  void ReadAll();
  void ShowRows(std::vector<PropertyRow> rows);
  std::wstring CopiedRows(bool selectedOnly) const;
  platform::RowCopy Copy() const;

  void OnRefresh();
  LRESULT OnListKeyDown(NMHDR* header);
  LRESULT OnListDoubleClick(NMHDR* header);
  platform::MessageHandler OnContextMenu, OnTimer, OnSize, OnGetMinMaxInfo;

  HWND m_hViewed;
  std::unique_ptr<IWindowReader> m_reader;
  WindowFacts m_facts;
  // 更新 found the handle naming another window: the rows say so until it is asked for.
  bool m_bAnotherWindow = false;
  std::vector<PropertyRow> m_rows;
  platform::CListCtrl m_list;
  platform::CAnchorLayout m_layout;
};

}  // namespace properties
