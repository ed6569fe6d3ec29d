// The message log of one window: a modeless, resizable dialog owned by the main dialog. It sets
// the hooks on the window's thread, drains the shared ring on a timer into its own store, and
// shows the store through a virtual list, filtered by name.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "msglog/BackgroundInstall.h"
#include "msglog/HookInstaller.h"
#include "msglog/LogChannel.h"
#include "msglog/LogColumns.h"
#include "msglog/LogSave.h"
#include "msglog/MessageStore.h"
#include "msglog/SentMarks.h"
#include "platform/Anchors.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/ModelessView.h"
#include "platform/RowCopy.h"
#include "platform/SearchBox.h"

namespace msglog {

// The drain's timer and period: a ring holds kRingCapacity records, so a target may send
// about 130,000 messages a second before one is dropped.
constexpr UINT_PTR kDrainTimerId = 1;
constexpr UINT kDrainPeriodMs = 30;
// The filter applies once the keys pause, as the main list's search does.
constexpr UINT_PTR kFilterTimerId = 2;
// Told by the workers: the hooks are in (or why not), a save's progress and its end. Only
// nudges: the handlers read what is so from the workers, as another program can post these too.
constexpr UINT kInstalledMessage = WM_APP + 0x40;
constexpr UINT kSaveProgressMessage = WM_APP + 0x41;
constexpr UINT kSaveDoneMessage = WM_APP + 0x42;

class CMessageLogDlg : public platform::CDialogT<CMessageLogDlg, platform::CModelessView> {
 public:
  explicit CMessageLogDlg(HWND logged);
  ~CMessageLogDlg() override;
  static MessageMapView MessageMap();

  // Open (CModelessView) shows the log and starts logging; once it is closed its hooks and
  // channel are gone.
  HWND Viewed() const { return m_hLogged; }
  // Marks the rows the next sending of the message to the logged window causes (the send dialog).
  void MarkNextSend(uint32_t message, bool posted = false);
  // True when the row shown at the index is one a message sent by hand caused.
  bool IsShownRowMarked(int shown);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}  // Enter in the filter box is not a reason to close
  void OnClosing() override;
  void OnDpiChanged(UINT dpi) override;

 private:
  void StartLogging();
  void StopLogging();
  // The hooks are in: the hook writes this log's messages from now on.
  void BeganLogging(std::unique_ptr<CInstalledHooks> hooks);
  void ShowStartStop();
  // Takes what the ring holds into the store (bounded per tick) and updates list and status.
  void Drain();
  void ShowStatus();
  void RefreshList(bool followEnd);
  void ReapplyFilter();
  ControlKind KindOf(uint64_t hwnd);
  std::string RegisteredName(uint32_t message);

  void OnStartStop();
  void OnClear();
  void OnSave();
  void OnFilterChange();
  void OnChildren();
  LRESULT OnGetDispInfoA(NMHDR* header);
  LRESULT OnGetDispInfoW(NMHDR* header);
  LRESULT OnCustomDraw(NMHDR* header);
  // The shown rows (the selected ones, or all) as copied, every column as the list shows it.
  std::wstring CopiedRows(bool selectedOnly);
  platform::RowCopy Copy();
  LRESULT OnListKeyDown(NMHDR* header);
  std::optional<LRESULT> OnContextMenu(WPARAM wParam, LPARAM lParam);
  platform::MessageHandler OnTimer, OnSize, OnGetMinMaxInfo, OnInstalled, OnSaveProgress, OnSaveDone;

  platform::CAnchorLayout m_layout;
  HWND m_hLogged;
  DWORD m_dwThreadId = 0;
  DWORD m_dwPid = 0;
  platform::CListCtrl m_list;
  platform::CSearchBox m_filterBox;
  std::shared_ptr<IHookInstaller> m_installer;
  CBackgroundInstall m_install;
  std::unique_ptr<CInstalledHooks> m_hooks;
  CLogChannel m_channel;
  // Taken by this thread to change the store, and by a running save to read it.
  std::mutex m_storeLock;
  CMessageStore m_store;
  CLogSave m_save;
  CShownRows m_shown;
  CSentMarks m_marks;
  NameContext m_names;
  std::unordered_map<uint64_t, ControlKind> m_kinds;
  std::unordered_map<uint32_t, std::string> m_registeredNames;
  uint64_t m_origin = 0;
  uint64_t m_frequency = 1;
  uint64_t m_nRecorded = 0;
  uint32_t m_nDroppedBase = 0;
  bool m_bLogging = false;
  bool m_bStarting = false;  // the hooks are being put in off this thread
  bool m_bWindowClosed = false;
  std::string m_strReason;
  std::string m_strStatus;
  // The template's client size and where each resizing control sits from the right and bottom.
  SIZE m_minTrack{};
  SIZE m_initialClient{};
  std::string m_cellBuffer;
  std::wstring m_wideCellBuffer;
};

}  // namespace msglog
