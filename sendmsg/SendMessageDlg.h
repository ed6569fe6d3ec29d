// The send-message dialog of one window: a modeless, resizable dialog owned by the main dialog.
// The message by name or number, its two parameters, the bound; 送信 sends on a worker thread so
// the dialog never waits, ポスト posts. The result shows the answer in decimal and hex with the
// log's decoding, the error and the time taken; every send goes into the history, from which a
// double-click fills the fields again. The check box opens the window's message log beside it
// and has the log mark the rows each sent message causes.
#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Anchors.h"
#include "platform/Dialog.h"
#include "platform/ModelessView.h"
#include "sendmsg/MessageSending.h"

namespace sendmsg {

// Told by the worker: the send of the generation in wParam is done.
constexpr UINT kSendDoneMessage = WM_APP + 0x50;
// The most sends the history keeps; the oldest go first.
constexpr size_t kMaxHistory = 200;

// What the user typed for one send, as the history keeps it (UTF-8).
struct TypedSend {
  std::string message;
  std::string wParam;
  std::string lParam;
  bool post = false;
};

// The completion of a typed message name: the first name (in the list's order) the typed text
// begins, case aside; "" when none, or when the text is empty.
std::string CompleteMessageName(const std::vector<std::string>& names, const std::string& typed);
// The result box's text: the answer, the decoding, the state and the time taken (UTF-8, CRLF).
std::string ResultText(const SendReport& report, const std::string& meaning, UINT timeoutMs);
// A history row: what was sent and how it ended.
std::string HistoryLine(const TypedSend& typed, const SendReport& report);

class CSendMessageDlg : public platform::CDialogT<CSendMessageDlg, platform::CModelessView> {
 public:
  explicit CSendMessageDlg(HWND target);
  ~CSendMessageDlg() override;
  static MessageMapView MessageMap();

  HWND Viewed() const { return m_hTarget; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override { OnSend(); }
  // Closing never waits for a send in progress: its worker finds no dialog and ends by itself.
  void OnClosing() override;

 private:
  // Answers of the workers, by generation; shared with workers that outlive the dialog.
  struct Shared {
    std::mutex lock;
    HWND dialog = nullptr;
    std::vector<std::pair<unsigned, SendReport>> done;
  };

  TypedSend ReadFields() const;
  std::string FieldText(int id) const;
  void SetFieldText(int id, const std::string& utf8);
  // Checks what was typed; shows the reason and gives empty when it cannot be sent.
  std::optional<SendRequest> Prepare(const TypedSend& typed, UINT* timeoutMs);
  void Finish(const TypedSend& typed, const SendRequest& request, const SendReport& report, UINT timeoutMs);
  void MarkInLog(uint32_t message);

  void OnSend();
  void OnPost();
  void OnMessageEdited();
  void OnHistoryPick();
  void OnMarkLog();
  platform::MessageHandler OnSendDone, OnSize, OnGetMinMaxInfo;

  HWND m_hTarget;
  msglog::ControlKind m_kind = msglog::ControlKind::None;
  platform::CAnchorLayout m_anchors;
  std::vector<std::string> m_names;
  size_t m_typedLength = 0;
  std::shared_ptr<Shared> m_shared;
  unsigned m_generation = 0;
  // The sends on their way, by generation: what was typed, the request and its bound.
  struct Pending {
    unsigned generation;
    TypedSend typed;
    SendRequest request;
    UINT timeoutMs;
  };
  std::vector<Pending> m_pending;
  std::vector<TypedSend> m_history;
};

}  // namespace sendmsg
