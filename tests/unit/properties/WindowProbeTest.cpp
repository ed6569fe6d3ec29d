// The window probe in the hook DLL, loaded into the test and run on the test's own thread: it
// answers once, with values at their full width, and looks its memory up no more often than
// the message hook does (once per 2 ms on a thread).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "msglog/hook/MessageRecord.h"
#include "msglog/hook/WindowProbe.h"
#include "platform/Handles.h"

namespace {

std::wstring DllBesideQuorvel() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder + L"..\\..\\" + msglog::kHookDllName;  // tests/unit/ -> the build folder
}

void WaitForTick(DWORD tick) {
  while (static_cast<LONG>(GetTickCount() - tick) < 0) Sleep(0);
}

TEST(WindowProbeTest, AnswersAtFullWidthAndLooksItsMemoryUpNoMoreOftenThanTheHook) {
  platform::UniqueModule dll(LoadLibraryW(DllBesideQuorvel().c_str()));
  ASSERT_TRUE(dll) << "no hook DLL at the build folder";
  const auto probe = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll.get(), msglog::kWindowProbeName)));
  ASSERT_NE(probe, nullptr);
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0x12345678);
  wchar_t name[64];
  msglog::ProbeMemoryName(name, GetCurrentThreadId());
  platform::UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(msglog::ProbeMemory), name));
  ASSERT_TRUE(mapping);
  platform::UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(msglog::ProbeMemory)));
  ASSERT_TRUE(view);
  msglog::WindowProbe& asked = static_cast<msglog::ProbeMemory*>(view.get())->probe;
  asked.magic = msglog::kProbeMagic;
  asked.window = reinterpret_cast<UINT_PTR>(window);
  MSG msg{};
  auto ask = [&] { asked.state.store(msglog::kProbeAsked); };
  auto run = [&] { probe(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg)); };
  auto answered = [&] { return asked.state.load() == msglog::kProbeAnswered; };

  ask();
  run();
  ASSERT_TRUE(answered());
  EXPECT_EQ(asked.userData, 0x12345678u);
  EXPECT_EQ(asked.instance, static_cast<uint64_t>(GetWindowLongPtrW(window, GWLP_HINSTANCE)));

  // Within 2 ms of a lookup the next message does not look again; 2 ms on, it does. Only rounds
  // whose two calls fell within 2 ms say anything about the first.
  int paced = 0;
  for (int round = 0; round < 200 && paced < 5; ++round) {
    const DWORD start = GetTickCount();
    WaitForTick(start + 3);  // the last lookup is over 2 ms ago
    const DWORD before = GetTickCount();
    ask();
    run();
    ASSERT_TRUE(answered()) << "a lookup 2 ms after the last one";
    ask();
    run();
    const DWORD after = GetTickCount();
    if (after - before < 2) {
      EXPECT_FALSE(answered()) << "looked up again within 2 ms";
      ++paced;
    }
    WaitForTick(after + 2);
    run();
    ASSERT_TRUE(answered()) << "a question left open after the pause";
  }
  EXPECT_GT(paced, 0) << "no two calls fell within 2 ms";

  // A withdrawn question is not answered.
  WaitForTick(GetTickCount() + 3);
  asked.state.store(msglog::kProbeWithdrawn);
  run();
  EXPECT_EQ(asked.state.load(), msglog::kProbeWithdrawn);
  DestroyWindow(window);
}

}  // namespace
