// The send-message dialog created in the test process against fixture windows in another
// process: what it sends arrives there with its values, texts go where the system carries them,
// buffers come back, a hung window neither holds the dialog nor goes unsaid, and the history and
// the log's marks work.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ViewRequests.h"
#include "platform/WideText.h"
#include "res/resource.h"
#include "sendmsg/SendMessageDlg.h"
#include "support/FixtureSuite.h"

namespace {

// The main dialog's stand-in: notes the requests it gets (message, window, lParam).
struct Request {
  UINT message;
  HWND window;
  LPARAM value;
  bool operator==(const Request& other) const {
    return message == other.message && window == other.window && value == other.value;
  }
};
std::vector<Request> g_requests;
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class SendMessageDlgTest : public uitest::FixtureSuite {
 protected:
  void SetUp() override {
    WNDCLASSA cls{};
    cls.lpfnWndProc = OwnerProc;
    cls.hInstance = ::GetModuleHandleA(nullptr);
    cls.lpszClassName = "SendMessageTestOwner";
    ::RegisterClassA(&cls);
    m_owner = ::CreateWindowExA(0, cls.lpszClassName, "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                cls.hInstance, nullptr);
    m_receiver.Register(m_owner, [](const platform::ViewRequest& request) {
      if (request.code == platform::kOpenMessageLogMessage || request.code == platform::kMarkSentMessage)
        g_requests.push_back({request.code, request.window, static_cast<LPARAM>(request.value)});
    });
    g_requests.clear();
  }
  void TearDown() override {
    m_dlg.reset();
    m_receiver.Unregister();
    ::DestroyWindow(m_owner);
  }

  void Open(HWND target) {
    m_dlg = std::make_unique<sendmsg::CSendMessageDlg>(target);
    ASSERT_TRUE(m_dlg->Open(m_owner));
    m_hwnd = m_dlg->GetSafeHwnd();
  }
  void Type(int id, const std::wstring& text) { ::SetWindowTextW(::GetDlgItem(m_hwnd, id), text.c_str()); }
  // Types the message and its parameters into their boxes.
  void Fill(const std::wstring& message, const std::wstring& wParam, const std::wstring& lParam) {
    Type(IDC_SM_MESSAGE, message);
    Type(IDC_SM_WPARAM, wParam);
    Type(IDC_SM_LPARAM, lParam);
  }
  std::wstring Field(int id) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(::GetDlgItem(m_hwnd, id), text, 1024);
    return text;
  }
  // Sends what the fields hold and waits for the worker's answer in the result box.
  std::wstring SendAndWait() {
    uitest::Click(m_hwnd, IDC_SM_SEND);
    EXPECT_TRUE(uitest::PumpUntil([&] { return Field(IDC_SM_RESULT).find(L"送信中") == std::wstring::npos; }, 10000));
    return Field(IDC_SM_RESULT);
  }
  std::string Query(HWND window, const char* message) {
    return s_fixture->Command("query window=" + e2e::HandleText(window) + " msg=" + message).text;
  }
  int HistoryCount() { return static_cast<int>(::SendDlgItemMessageW(m_hwnd, IDC_SM_HISTORY, LB_GETCOUNT, 0, 0)); }

  HWND m_owner = nullptr;
  platform::CViewRequestReceiver m_receiver;
  HWND m_hwnd = nullptr;
  std::unique_ptr<sendmsg::CSendMessageDlg> m_dlg;
};

TEST_F(SendMessageDlgTest, SendsAndPostsTypedValuesTextsAndReadsBuffersBack) {
  HWND target = CreateTarget("name=sendee title=Sendee show=noactivate");
  Open(target);
  char caption[64] = {};
  ::GetWindowTextA(m_hwnd, caption, sizeof caption);
  EXPECT_EQ("メッセージ送信 (" + e2e::HandleText(target) + ")", caption);

  // Numbers: hex and negative arrive as typed; the answer in decimal and hex.
  Fill(L"WM_USER+1", L"0x1234", L"-5");
  std::wstring result = SendAndWait();
  EXPECT_NE(result.find(L"結果: 0 (0x00000000)"), std::wstring::npos) << platform::Utf8FromWide(result);
  EXPECT_NE(result.find(L"answered"), std::wstring::npos);
  EXPECT_EQ("count=1 wparam=0x00001234 lparam=0xfffffffb", Query(target, "0x401"));

  // A text as WM_SETTEXT's lParam becomes the window's title, every character of it.
  Fill(L"WM_SETTEXT", L"0", L"\"送信テスト Ω\"");
  result = SendAndWait();
  EXPECT_NE(result.find(L"結果: 1 (0x00000001)"), std::wstring::npos) << platform::Utf8FromWide(result);
  wchar_t title[64] = {};
  ::GetWindowTextW(target, title, 64);
  EXPECT_EQ(std::wstring(L"送信テスト Ω"), title);

  // WM_GETTEXT fills Quorvel's buffer: the text returned is shown with its length.
  Fill(L"WM_GETTEXT", L"", L"");
  result = SendAndWait();
  EXPECT_NE(result.find(L"結果: 7 (0x00000007)"), std::wstring::npos) << platform::Utf8FromWide(result);
  EXPECT_NE(result.find(L"内容: \"送信テスト Ω\""), std::wstring::npos) << platform::Utf8FromWide(result);

  // ポスト goes at once with its numbers.
  Fill(L"0x401", L"7", L"4294967295");
  uitest::Click(m_hwnd, IDC_SM_POST);
  EXPECT_NE(Field(IDC_SM_RESULT).find(L"posted"), std::wstring::npos);
  EXPECT_TRUE(e2e::WaitUntil([&] { return Query(target, "0x401") == "count=2 wparam=0x00000007 lparam=0xffffffff"; }, 5000))
      << Query(target, "0x401");

  // Nothing typed is trusted: each refusal says why, and nothing is sent.
  const std::pair<std::vector<std::wstring>, std::wstring> refused[] = {
      {{L"WM_USER+1", L"0", L"\"x\""}, L"carries no text"},
      {{L"WM_NOSUCH", L"0", L"0"}, L"no message of that name"},
      {{L"WM_USER+1", L"4294967296", L"0"}, L"out of range"},
      {{L"WM_USER+1", L"0", L"\"" + std::wstring(40000, L'a') + L"\""}, L"lParam: a text may hold at most 32767"},
  };
  for (const auto& [fields, why] : refused) {
    Fill(fields[0], fields[1], fields[2]);
    uitest::Click(m_hwnd, IDC_SM_SEND);
    EXPECT_NE(Field(IDC_SM_RESULT).find(why), std::wstring::npos) << platform::Utf8FromWide(Field(IDC_SM_RESULT));
  }
  Fill(L"WM_USER+1", L"0", L"0");
  Type(IDC_SM_TIMEOUT, L"0");
  uitest::Click(m_hwnd, IDC_SM_SEND);
  EXPECT_NE(Field(IDC_SM_RESULT).find(L"from 1 to 600000"), std::wstring::npos);
  EXPECT_EQ("count=2 wparam=0x00000007 lparam=0xffffffff", Query(target, "0x401"));

  // Every send and post is in the history; a double-click fills the fields again.
  ASSERT_EQ(4, HistoryCount());
  ::SendDlgItemMessageW(m_hwnd, IDC_SM_HISTORY, LB_SETCURSEL, 0, 0);
  ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_SM_HISTORY, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(::GetDlgItem(m_hwnd, IDC_SM_HISTORY)));
  EXPECT_EQ(L"WM_USER+1", Field(IDC_SM_MESSAGE));
  EXPECT_EQ(L"0x1234", Field(IDC_SM_WPARAM));
  EXPECT_EQ(L"-5", Field(IDC_SM_LPARAM));
}

TEST_F(SendMessageDlgTest, ControlMessagesCompleteByClassAndTheLogIsAskedToMark) {
  HWND target = CreateTarget("name=panel title=Panel show=noactivate");
  ASSERT_TRUE(s_fixture->Command("child parent=panel name=okbutton class=BUTTON text=OK id=42").answered);
  HWND button = ::FindWindowExA(target, nullptr, "Button", "OK");
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(s_fixture->Command("child parent=panel name=items class=LISTBOX y=50 w=120 h=80 style=WS_CHILD|WS_VISIBLE|0x40").answered);
  HWND list = ::FindWindowExA(target, nullptr, "ListBox", nullptr);
  ASSERT_NE(list, nullptr);

  Open(button);
  // The button's own messages come first: "bm_cl" completes to BM_CLICK, selected past the typing.
  HWND combo = ::GetDlgItem(m_hwnd, IDC_SM_MESSAGE);
  Type(IDC_SM_MESSAGE, L"bm_cl");
  ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_SM_MESSAGE, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(L"BM_CLICK", Field(IDC_SM_MESSAGE));
  const LRESULT selection = ::SendMessageW(combo, CB_GETEDITSEL, 0, 0);
  EXPECT_EQ(5, LOWORD(selection));
  EXPECT_EQ(8, HIWORD(selection));

  // With the box ticked the log is asked for, and to mark each send.
  ::CheckDlgButton(m_hwnd, IDC_SM_MARKLOG, BST_CHECKED);
  ::SendMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(IDC_SM_MARKLOG, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(m_hwnd, IDC_SM_MARKLOG)));
  std::wstring result = SendAndWait();
  EXPECT_NE(result.find(L"answered"), std::wstring::npos) << platform::Utf8FromWide(result);
  EXPECT_EQ(g_requests, (std::vector<Request>{{platform::kOpenMessageLogMessage, button, 0},
                                              {platform::kMarkSentMessage, button, BM_CLICK}}));
  // The click reached the button: its parent got BN_CLICKED from control 42.
  EXPECT_TRUE(e2e::WaitUntil([&] { return Query(target, "command").rfind("count=1 wparam=0x0000002a", 0) == 0; }, 5000))
      << Query(target, "command");

  // The list box's string messages carry texts; LB_GETTEXT reads one back by its index.
  Open(list);
  for (const wchar_t* item : {L"\"一行目\"", L"\"二行目\""}) {
    Fill(L"LB_ADDSTRING", L"0", item);
    SendAndWait();
  }
  Fill(L"LB_GETTEXT", L"1", L"");
  result = SendAndWait();
  EXPECT_NE(result.find(L"結果: 3 (0x00000003)"), std::wstring::npos) << platform::Utf8FromWide(result);
  EXPECT_NE(result.find(L"\"二行目\""), std::wstring::npos) << platform::Utf8FromWide(result);
}

TEST_F(SendMessageDlgTest, AHungWindowNeitherHoldsTheDialogNorGoesUnsaid) {
  HWND target = CreateTarget("name=stuck title=Stuck show=noactivate thread=stuck");
  ASSERT_EQ(s_fixture->Command("hang window=" + e2e::HandleText(target) + " ms=forever").value, 1);
  Open(target);
  Type(IDC_SM_MESSAGE, L"WM_USER+1");
  Type(IDC_SM_TIMEOUT, L"700");
  uitest::Click(m_hwnd, IDC_SM_SEND);
  // The click came back before any answer: the send waits on a worker.
  EXPECT_NE(Field(IDC_SM_RESULT).find(L"送信中"), std::wstring::npos);
  ASSERT_TRUE(uitest::PumpUntil([&] { return Field(IDC_SM_RESULT).find(L"送信中") == std::wstring::npos; }, 10000));
  const std::wstring result = Field(IDC_SM_RESULT);
  EXPECT_TRUE(result.find(L"no answer within 700 ms") != std::wstring::npos ||
              result.find(L"hung") != std::wstring::npos)
      << platform::Utf8FromWide(result);
  EXPECT_EQ(result.find(L"結果:"), std::wstring::npos);
  s_fixture->Command("resume window=" + e2e::HandleText(target));

  // One of the test's own windows (Quorvel's, in the program) is refused before anything is sent.
  Open(m_owner);
  Type(IDC_SM_MESSAGE, L"WM_CLOSE");
  uitest::Click(m_hwnd, IDC_SM_SEND);
  EXPECT_NE(Field(IDC_SM_RESULT).find(L"one of Quorvel's own"), std::wstring::npos);
  EXPECT_TRUE(::IsWindow(m_owner));
}

}  // namespace
