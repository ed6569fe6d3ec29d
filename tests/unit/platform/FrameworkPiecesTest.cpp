#include <gtest/gtest.h>
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

#include "platform/Dialog.h"
#include "platform/Format.h"
#include "platform/LateBound.h"
#include "platform/MessageBox.h"
#include "platform/Messaging.h"
#include "platform/Target.h"
#include "platform/WinApp.h"
#include "res/resource.h"

namespace {

TEST(Formats, HexWordsAreEightLowerCaseDigits) {
  EXPECT_EQ(platform::FormatHex32(0), "0x00000000");
  EXPECT_EQ(platform::FormatHex32(0x16CF0000), "0x16cf0000");
  EXPECT_EQ(platform::FormatHex32(0xFFFFFFFF), "0xffffffff");
  EXPECT_EQ(platform::FormatHandle(platform::kNoTarget), "0xffffffff");
  EXPECT_EQ(platform::FormatHex32(0x0A1B2C3D), "0x0a1b2c3d");
  EXPECT_EQ(platform::FormatInt(0), "0");
  EXPECT_EQ(platform::FormatInt(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(platform::FormatInt(1234), "1234");
}

TEST(Target, NoTargetIsNeverLiveAndHandleTextsReadBack) {
  const HWND desktop = ::GetDesktopWindow();
  EXPECT_FALSE(platform::HasTarget(platform::kNoTarget));
  EXPECT_FALSE(platform::IsLiveTarget(platform::kNoTarget));
  EXPECT_FALSE(platform::IsLiveTarget(nullptr));
  EXPECT_TRUE(platform::IsLiveTarget(desktop));

  EXPECT_EQ(platform::ParseHandleText(platform::FormatHandle(desktop)), desktop);
  EXPECT_EQ(platform::ParseHandleText("0x0012abcd"), reinterpret_cast<HWND>(0x0012ABCD));
  EXPECT_EQ(platform::ParseHandleText("0xFFFFFFFF"), platform::kNoTarget);
  EXPECT_EQ(platform::ParseHandleText("0x"), nullptr);
  EXPECT_EQ(platform::ParseHandleText(""), nullptr);
}

TEST(Formats, NumbersAreSignedDecimal) {
  EXPECT_EQ(platform::FormatInt(-32000), "-32000");
  EXPECT_EQ(platform::FormatInt(0), "0");
  EXPECT_EQ(platform::Format("%s=%d", "x", 7), "x=7");
  std::string longText(5000, 'a');
  EXPECT_EQ(platform::Format("%s", longText.c_str()), longText);
}

TEST(LateBoundCall, CallsTheEntryWithItsArgumentsAndKeepsItsLibraryAfterTheFirstCall) {
  EXPECT_EQ((platform::CallLateBound<int>("user32", "GetSystemMetrics", SM_CXSCREEN)),
            ::GetSystemMetrics(SM_CXSCREEN));
  // A library nothing else loads: the first call loads it, and it stays for the next calls.
  ASSERT_EQ(::GetModuleHandleA("dbghelp"), nullptr);
  const DWORD options = platform::CallLateBound<DWORD>("dbghelp", "SymGetOptions");
  const HMODULE kept = ::GetModuleHandleA("dbghelp");
  EXPECT_NE(kept, nullptr);
  EXPECT_EQ(platform::LateBoundEntry("dbghelp", "SymGetOptions"),
            ::GetProcAddress(kept, "SymGetOptions"));
  EXPECT_EQ(platform::CallLateBound<DWORD>("dbghelp", "SymGetOptions"), options);
  EXPECT_EQ(::GetModuleHandleA("dbghelp"), kept);
}

TEST(LateBoundCall, MissingEntryOrLibraryGivesZeroAndLeavesOutputsAlone) {
  DWORD output = 0x12345678;
  EXPECT_EQ((platform::CallLateBound<BOOL>("user32", "NoSuchEntryPoint", &output)), FALSE);
  EXPECT_EQ((platform::CallLateBound<BOOL>("no_such_library_xyz", "GetSystemMetrics", &output)), FALSE);
  EXPECT_EQ(output, 0x12345678u);
}

TEST(MessageBoxes, CaptionIsTheApplicationNameAndTheKindSetsTheButtons) {
  std::vector<std::pair<std::string, UINT>> seen;
  auto old = platform::SetMessageBoxHook([&](HWND, const std::string& text, const std::string& caption, UINT type) {
    seen.emplace_back(caption + "|" + text, type);
    return IDYES;
  });
  platform::PanelMessageBox(nullptr, "panel");
  platform::AppMessageBox("app");
  EXPECT_TRUE(platform::AppConfirm("ask"));
  platform::SetMessageBoxHook(old);

  ASSERT_EQ(seen.size(), 3u);
  std::string name = platform::AppName();
  EXPECT_EQ(name, "unit_platform");
  EXPECT_EQ(seen[0].first, name + "|panel");
  EXPECT_EQ(seen[0].second, static_cast<UINT>(MB_OK));
  EXPECT_EQ(seen[1].second, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(seen[2].second, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

// A dialog whose handler throws what it carries.
class CThrowingDlg : public platform::CDialogT<CThrowingDlg> {
 public:
  CThrowingDlg() : CDialogT(IDD_ABOUTBOX) {}
  ~CThrowingDlg() override { DestroyWindow(); }
  static MessageMapView MessageMap() {
    static const MessageEntry entries[] = {OnMessage(WM_APP, &CThrowingDlg::OnApp)};
    return entries;
  }
  std::optional<LRESULT> OnApp(WPARAM, LPARAM) { throw std::runtime_error("disk full"); }
};

// Standard output of the calls made by run, read back from a file.
std::string TraceOf(const std::function<void()>& run) {
  const char* path = "unit_platform_trace.txt";
  std::fflush(stdout);
  const int saved = _dup(_fileno(stdout));
  if (!std::freopen(path, "w", stdout)) return "";
  run();
  std::fflush(stdout);
  _dup2(saved, _fileno(stdout));
  _close(saved);
  std::string text;
  if (FILE* file = std::fopen(path, "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, file)) text += line;
    std::fclose(file);
  }
  std::remove(path);
  return text;
}

TEST(Failures, AThrowingHandlerIsTracedAndToldAndStartUpFailuresEndWithACode) {
  std::vector<std::pair<std::string, UINT>> boxes;
  auto old = platform::SetMessageBoxHook([&](HWND, const std::string& text, const std::string& caption, UINT type) {
    boxes.emplace_back(caption + "|" + text, type);
    return IDOK;
  });
  CThrowingDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr));
  const std::string trace = TraceOf([&] { ::SendMessageA(dlg.GetSafeHwnd(), WM_APP, 0, 0); });
  platform::SetMessageBoxHook(old);
  EXPECT_NE(trace.find("disk full"), std::string::npos) << trace;
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, platform::AppName() + "|コマンドを実行できませんでした。");
  EXPECT_EQ(boxes[0].second, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_TRUE(::IsWindow(dlg.GetSafeHwnd()));

  struct ThrowingApp : platform::CWinApp {
    BOOL InitInstance() override { throw std::runtime_error("no template"); }
  };
  struct FailingApp : platform::CWinApp {
    BOOL InitInstance() override {
      m_nExitCode = 3;
      return FALSE;
    }
  };
  EXPECT_EQ(ThrowingApp().Run(nullptr), 1);
  EXPECT_EQ(FailingApp().Run(nullptr), 3);
}

// A window whose thread stops answering must not hold the sender, and one the system reports
// hung not at all.
TEST(BoundedMessages, HungWindowGivesNoAnswer) {
  HANDLE created = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  struct Context {
    HANDLE created, release;
    HWND hwnd;
  } context{created, release, nullptr};
  HANDLE thread = ::CreateThread(
      nullptr, 0,
      [](void* p) WINAPI -> DWORD {
        auto* c = static_cast<Context*>(p);
        c->hwnd = ::CreateWindowA("STATIC", "hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::SetEvent(c->created);
        ::WaitForSingleObject(c->release, INFINITE);  // never pumps its messages meanwhile
        ::DestroyWindow(c->hwnd);
        return 0;
      },
      &context, 0, nullptr);
  ::WaitForSingleObject(created, INFINITE);

  EXPECT_FALSE(platform::SendMessageBounded(context.hwnd, WM_NULL, 0, 0, 200).has_value());
  // Once the system reports it hung, a send gives up at once rather than at its bound.
  for (int i = 0; i < 90 && !::IsHungAppWindow(context.hwnd); ++i) ::Sleep(100);
  ASSERT_TRUE(::IsHungAppWindow(context.hwnd));
  const DWORD start = ::GetTickCount();
  EXPECT_EQ(platform::SendMessageWithin(context.hwnd, WM_NULL, 0, 0, 3000).status, platform::SendStatus::TimedOut);
  EXPECT_LT(::GetTickCount() - start, 500u);
  ::SetEvent(release);
  ::WaitForSingleObject(thread, INFINITE);
  ::CloseHandle(thread);
  ::CloseHandle(created);
  ::CloseHandle(release);
}

TEST(BoundedMessages, AnsweringWindowGivesItsResult) {
  HWND hwnd = ::CreateWindowA("STATIC", "answer", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  std::optional<LRESULT> length = platform::SendMessageBounded(hwnd, WM_GETTEXTLENGTH, 0, 0, 1000);
  ASSERT_TRUE(length.has_value());
  EXPECT_EQ(*length, 6);
  ::DestroyWindow(hwnd);
}

}  // namespace
