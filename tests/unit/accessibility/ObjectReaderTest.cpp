// The reader's thread with a stand-in for the calls: a call that does not return, one that
// fails, a long branch that goes on, and the generation every answer carries.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

#include "accessibility/ObjectReader.h"
#include "platform/Handles.h"

namespace {

using namespace accessibility;

// Waits for the condition, up to timeoutMs; whether it came.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(5);
  }
  return true;
}

struct Event {
  platform::UniqueHandle handle{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  void Set() { ::SetEvent(handle.get()); }
  bool Wait(DWORD ms = 10000) { return ::WaitForSingleObject(handle.get(), ms) == WAIT_OBJECT_0; }
};

// A window of this thread, standing for a program's window: readers are kept by its thread.
HWND MakeWindow() { return ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }

TEST(ObjectReaderTest, AGivenUpReaderIsTheOnlyOneLeftOnItsProgramUntilItsCallReturns) {
  const HWND window = MakeWindow();
  const HWND sibling = MakeWindow();  // another window of the same program's thread
  ASSERT_TRUE(window && sibling);
  auto release = std::make_shared<Event>();
  auto reader = std::make_unique<CObjectReader>(window, nullptr, 0, [release](const Stop&, const Ask& ask, HWND, CObjectStore&,
                                                                             const Deliver&, const Progress&) {
    release->Wait();
    Answer answer;
    answer.kind = ask.kind;
    return answer;
  });
  ASSERT_TRUE(reader->Started());
  EXPECT_EQ(reader->Waiting(), 0u);
  reader->Post(Ask{AskKind::Root});
  ASSERT_TRUE(WaitFor([&] { return reader->Waiting() >= 100; }));
  Ask current;
  reader->Waiting(&current);
  EXPECT_EQ(current.kind, AskKind::Root);
  EXPECT_FALSE(CObjectReader::GivenUpOn(window)) << "a reader still wanted is not given up";

  reader.reset();
  const std::optional<DWORD> waited = CObjectReader::GivenUpOn(sibling);
  ASSERT_TRUE(waited.has_value()) << "a view of the same program must start no second reader";
  EXPECT_GE(*waited, 100u);
  EXPECT_TRUE(CObjectReader::GivenUpOn(window).has_value());
  release->Set();
  EXPECT_TRUE(WaitFor([&] { return !CObjectReader::GivenUpOn(window); })) << "the call returned: its thread ends";

  // A reader dropped while idle is no given-up reader.
  auto idle = std::make_unique<CObjectReader>(window, nullptr, 0);
  idle.reset();
  EXPECT_FALSE(CObjectReader::GivenUpOn(window));
  ::DestroyWindow(window);
  ::DestroyWindow(sibling);
}

TEST(ObjectReaderTest, AReaderThatFailsSaysWhyAndWaitsNoLonger) {
  const struct {
    std::function<void()> fail;
    const char* reason;
  } kFailures[] = {
      {[] { throw std::bad_alloc(); }, "メモリが足りません"},
      {[] { throw std::runtime_error("x"); }, "予期しないエラーが起きました"},
      {[] { throw 5; }, "予期しないエラーが起きました"},
  };
  for (const auto& c : kFailures) {
    CObjectReader reader(nullptr, nullptr, 0, [&c](const Stop&, const Ask&, HWND, CObjectStore&, const Deliver&, const Progress&) -> Answer {
      c.fail();
      return Answer{};
    });
    EXPECT_FALSE(reader.Failure().has_value());
    reader.Post(Ask{AskKind::Root});
    ASSERT_TRUE(WaitFor([&] { return reader.Failure().has_value(); })) << c.reason;
    EXPECT_EQ(*reader.Failure(), c.reason);
    EXPECT_EQ(reader.Waiting(), 0u) << "a failed reader is no program that does not answer";
    reader.Post(Ask{AskKind::Root});
    EXPECT_EQ(reader.Waiting(), 0u) << "nothing is answered after a failure";
  }
}

// A branch that goes on is counted, and its wait starts anew with every child read.
TEST(ObjectReaderTest, ALongBranchSaysHowFarItIsAndAnswersCarryTheirGeneration) {
  auto go = std::make_shared<Event>();
  auto read = std::make_shared<Event>();
  auto finish = std::make_shared<Event>();
  CObjectReader reader(nullptr, nullptr, 0, [=](const Stop&, const Ask& ask, HWND, CObjectStore&, const Deliver&,
                                                const Progress& progress) {
    if (ask.kind == AskKind::Children) {
      go->Wait();
      progress(7);
      read->Set();
      finish->Wait();
    }
    Answer answer;
    answer.kind = ask.kind;
    answer.serial = ask.serial;
    return answer;
  });
  CObjectReader other(nullptr, nullptr, 0);
  EXPECT_NE(reader.Generation(), other.Generation());
  const unsigned serial = reader.Post(Ask{AskKind::Children, 1});
  ASSERT_TRUE(WaitFor([&] { return reader.Waiting() >= 1000; }));
  const DWORD before = reader.Waiting();
  go->Set();
  ASSERT_TRUE(read->Wait());
  EXPECT_EQ(reader.ReadSoFar(), 7u);
  EXPECT_LT(reader.Waiting(), before) << "a child read is an answer";
  finish->Set();
  std::vector<Answer> answers;
  ASSERT_TRUE(WaitFor([&] {
    for (Answer& answer : reader.Take()) answers.push_back(std::move(answer));
    return !answers.empty();
  }));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].serial, serial);
  EXPECT_EQ(answers[0].generation, reader.Generation());
  EXPECT_TRUE(WaitFor([&] { return reader.Waiting() == 0; }));
}

// Readings asked while one hangs are one reading: the last.
TEST(ObjectReaderTest, ReadingsAskedWhileOneHangsAreAskedOnce) {
  auto release = std::make_shared<Event>();
  auto calls = std::make_shared<std::atomic<int>>(0);
  CObjectReader reader(nullptr, nullptr, 0, [release, calls](const Stop&, const Ask& ask, HWND, CObjectStore&, const Deliver&,
                                                             const Progress&) {
    ++*calls;
    release->Wait();
    Answer answer;
    answer.kind = ask.kind;
    answer.serial = ask.serial;
    return answer;
  });
  reader.Post(Ask{AskKind::Root});
  ASSERT_TRUE(WaitFor([&] { return reader.Waiting() >= 20; }));
  unsigned last = 0;
  for (int i = 0; i < 20; ++i) last = reader.Post(Ask{AskKind::Root});
  release->Set();
  std::vector<Answer> answers;
  ASSERT_TRUE(WaitFor([&] {
    for (Answer& answer : reader.Take()) answers.push_back(std::move(answer));
    return answers.size() >= 2 && reader.Waiting() == 0;
  }));
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[1].serial, last);
  EXPECT_EQ(calls->load(), 2);
}

}  // namespace
