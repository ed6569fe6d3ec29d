// qv send, do, capture and log driven as a script would, against the fixture program: what they
// send arrives in the fixture with its values, what they change is read back from outside, the
// pictures are read from the files, the log's JSON Lines are parsed, and the exit statuses are
// the ones a script tests.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "E2eSuite.h"

namespace {

using e2e::HandleText;
using nlohmann::json;

struct QvRun {
  DWORD status = 0xFFFF;
  std::string output;  // standard output, then standard error
  // The output's JSON lines ("qv:" lines, which go to standard error, left out).
  std::vector<json> Json() const {
    std::vector<json> lines;
    for (const std::string& line : e2e::SplitLines(output))
      if (!line.empty() && line[0] == '{') lines.push_back(json::parse(line));
    return lines;
  }
};

// Starts qv with the arguments, its output into a file of its own (a run to watch as it goes).
bool StartQv(e2e::ChildProcess& process, const std::vector<std::string>& args, std::string* outputFile) {
  *outputFile = e2e::TemporaryFilePath("qv");
  return process.Start(e2e::QvExePath(), args, *outputFile);
}

// Runs qv to its end.
QvRun RunQv(const std::vector<std::string>& args, DWORD timeoutMs = 30000) {
  const e2e::ProgramRun ran = e2e::RunProgram(e2e::QvExePath(), args, timeoutMs);
  EXPECT_TRUE(ran.ended) << "qv did not end";
  return QvRun{ran.ended ? ran.exitCode : 0xFFFF, ran.out + ran.err};
}

std::string Describe(const QvRun& run) { return "exit " + std::to_string(run.status) + ": " + run.output; }

class QvScriptTest : public e2e::E2eSuite {
 protected:
  std::string Query(HWND window, const std::string& message) {
    return fixture.Command("query window=" + HandleText(window) + " msg=" + message).text;
  }
};

TEST_F(QvScriptTest, SendDeliversTypedValuesTextsAndClicksAndReadsTextsBack) {
  HWND target = fixture.Create("name=sendee title=Sendee x=120 y=120 show=noactivate");
  ASSERT_NE(target, nullptr);
  const std::string handle = HandleText(target);

  QvRun run = RunQv({"send", handle, "WM_USER+1", "0x1234", "-5", "--json"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  ASSERT_EQ(1u, run.Json().size()) << Describe(run);
  json answer = run.Json()[0];
  EXPECT_EQ(answer["message"], "WM_USER+1");
  EXPECT_EQ(answer["code"], 0x401);
  EXPECT_EQ(answer["result"], 0);
  EXPECT_EQ(answer["timedOut"], false);
  EXPECT_EQ("count=1 wparam=0x00001234 lparam=0xfffffffb", Query(target, "0x401"));

  // A text where the system carries one: the window's title becomes it, every character.
  run = RunQv({"send", handle, "WM_SETTEXT", "0", "\"スクリプト題\""});
  ASSERT_EQ(0u, run.status) << Describe(run);
  wchar_t title[64] = {};
  ::GetWindowTextW(target, title, 64);
  EXPECT_EQ(std::wstring(L"スクリプト題"), title);
  // The buffer of WM_GETTEXT comes back as text, with the length in decimal and hex.
  run = RunQv({"send", handle, "wm_gettext", "--json"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  answer = run.Json().at(0);
  EXPECT_EQ(answer["text"], u8"スクリプト題");
  EXPECT_EQ(answer["result"], 6);
  EXPECT_EQ(answer["resultHex"], "0x00000006");
  run = RunQv({"send", handle, "WM_GETTEXT"});
  EXPECT_NE(run.output.find("WM_GETTEXT -> 6 (0x00000006)"), std::string::npos) << Describe(run);

  // --post returns at once; the message arrives with its values.
  run = RunQv({"send", handle, "0x401", "7", "4294967295", "--post"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  EXPECT_TRUE(e2e::WaitUntil([&] { return Query(target, "0x401") == "count=2 wparam=0x00000007 lparam=0xffffffff"; }, 5000))
      << Query(target, "0x401");

  // Nothing typed is trusted: exit 2 with the reason, and nothing arrives.
  const std::pair<std::vector<std::string>, std::string> refused[] = {
      {{"send", handle, "WM_USER+1", "0", "\"text\""}, "carries no text"},
      {{"send", handle, "WM_NOSUCH"}, "no message of that name"},
      {{"send", handle, "0x10000"}, "0 to 0xFFFF"},
      {{"send", handle, "WM_USER+1", "4294967296"}, "out of range"},
      {{"send", handle, "WM_GETTEXT", "0", "0", "--post"}, "cannot carry back"},
      {{"send", handle, "WM_USER+1", "--timeout", "0"}, "from 1 to 600000"},
      {{"send", "0x1", "WM_USER+1"}, "no such window"},
  };
  for (const auto& [args, why] : refused) {
    run = RunQv(args);
    EXPECT_EQ(2u, run.status) << Describe(run);
    EXPECT_NE(run.output.find("qv: "), std::string::npos) << Describe(run);
    EXPECT_NE(run.output.find(why), std::string::npos) << Describe(run);
  }
  EXPECT_EQ("count=2 wparam=0x00000007 lparam=0xffffffff", Query(target, "0x401"));

  // A control's message by name to that control: BM_CLICK clicks the button.
  ASSERT_TRUE(fixture.Command("child parent=sendee class=BUTTON text=Press id=77").answered);
  HWND button = ::FindWindowExA(target, nullptr, "Button", "Press");
  ASSERT_NE(button, nullptr);
  run = RunQv({"send", HandleText(button), "BM_CLICK"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  EXPECT_TRUE(e2e::WaitUntil([&] { return Query(target, "command").rfind("count=1 wparam=0x0000004d", 0) == 0; }, 5000))
      << Query(target, "command");
}

TEST_F(QvScriptTest, SendToAHungWindowEndsAtTheBoundWithExit3) {
  HWND target = fixture.Create("name=stuck title=Stuck x=120 y=120 show=noactivate thread=stuck");
  ASSERT_NE(target, nullptr);
  ASSERT_EQ(fixture.Command("hang window=" + HandleText(target) + " ms=forever").value, 1);
  const QvRun run = RunQv({"send", HandleText(target), "WM_USER+1", "--timeout", "800", "--json"});
  fixture.Command("resume window=" + HandleText(target));
  EXPECT_EQ(3u, run.status) << Describe(run);
  ASSERT_EQ(1u, run.Json().size()) << Describe(run);
  EXPECT_EQ(run.Json()[0]["timedOut"], true);
  EXPECT_TRUE(run.output.find("no answer within 800 ms") != std::string::npos ||
              run.output.find("hung") != std::string::npos)
      << Describe(run);
}

TEST_F(QvScriptTest, DoMovesRestylesRetitlesAndShowsInOrderThroughThePanelsCalls) {
  HWND target = fixture.Create("name=doee title=Doee x=100 y=100 w=300 h=200 show=noactivate");
  ASSERT_NE(target, nullptr);
  const std::string handle = HandleText(target);
  QvRun run = RunQv({"do", "--json", handle, "move", "50", "60", "400", "300", "style", "-WS_CAPTION", "exstyle",
                     "+WS_EX_TOOLWINDOW", "text", "新しい題", "alpha", "128", "topmost", "on"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  ASSERT_EQ(1u, run.Json().size()) << Describe(run);
  EXPECT_EQ(run.Json()[0]["actions"].size(), 6u);
  // The move and the top-most band go without waiting: they are there once the program took them.
  const LONG layers = WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST;
  EXPECT_TRUE(e2e::WaitUntil([&] {
    RECT rect{};
    ::GetWindowRect(target, &rect);
    return rect.left == 50 && rect.top == 60 && rect.right == 450 && rect.bottom == 360 &&
           (::GetWindowLongA(target, GWL_EXSTYLE) & layers) == layers;
  }, 5000));
  const LONG style = ::GetWindowLongA(target, GWL_STYLE);
  const LONG exStyle = ::GetWindowLongA(target, GWL_EXSTYLE);
  EXPECT_EQ(0, style & WS_CAPTION);
  EXPECT_EQ(WS_THICKFRAME, style & WS_THICKFRAME);  // the other bits stay
  EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST, exStyle & (WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST));
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(target, &key, &alpha, &flags));
  EXPECT_EQ(128, alpha);
  EXPECT_TRUE(flags & LWA_ALPHA);
  wchar_t title[32] = {};
  ::GetWindowTextW(target, title, 32);
  EXPECT_EQ(std::wstring(L"新しい題"), title);

  run = RunQv({"do", handle, "colorkey", "00ff00", "topmost", "off", "hide"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  EXPECT_TRUE(e2e::WaitUntil(
      [&] { return !::IsWindowVisible(target) && !(::GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_TOPMOST); }, 5000));
  ASSERT_TRUE(::GetLayeredWindowAttributes(target, &key, &alpha, &flags));
  EXPECT_EQ(RGB(0, 255, 0), key);
  EXPECT_EQ(128, alpha);  // the other part kept
  for (const auto& [action, check] : std::vector<std::pair<std::string, std::function<bool()>>>{
           {"show", [&] { return ::IsWindowVisible(target) != FALSE; }},
           {"minimize", [&] { return ::IsIconic(target) != FALSE; }},
           {"restore", [&] { return !::IsIconic(target); }},
           {"maximize", [&] { return ::IsZoomed(target) != FALSE; }}}) {
    run = RunQv({"do", handle, action});
    EXPECT_EQ(0u, run.status) << action << ": " << Describe(run);
    EXPECT_TRUE(e2e::WaitUntil(check, 5000)) << action;
  }

  // Every action is read before any is made: one wrong word changes nothing.
  RECT before{};
  ::GetWindowRect(target, &before);
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"do", handle, "restore", "bogus"}, {"do", handle, "move", "1"},
        {"do", handle, "restore", "style", "+WS_NOSUCH"}, {"do", handle, "alpha", "256"},
        {"do", handle, "colorkey", "12345"}, {"do", handle}}) {
    run = RunQv(wrong);
    EXPECT_EQ(2u, run.status) << Describe(run);
  }
  EXPECT_TRUE(::IsZoomed(target));

  run = RunQv({"do", handle, "close"});
  EXPECT_EQ(0u, run.status) << Describe(run);
  EXPECT_TRUE(e2e::WaitUntil([&] { return !::IsWindow(target); }, 5000));
}

TEST_F(QvScriptTest, DoWaitsForABusyProgramAndSaysSo) {
  HWND target = fixture.Create("name=busy title=Busy x=100 y=100 w=300 h=200 show=noactivate thread=busy");
  ASSERT_NE(target, nullptr);
  ASSERT_EQ(fixture.Command("hang window=" + HandleText(target) + " ms=forever").value, 1);
  e2e::ChildProcess qv;
  std::string file;
  ASSERT_TRUE(StartQv(qv, {"do", HandleText(target), "style", "+WS_BORDER", "exstyle", "+WS_EX_CLIENTEDGE"}, &file));
  // qv says it waits, and waits: it is still there until the program answers.
  const bool said = e2e::WaitUntil([&] { return e2e::ReadFile(file).find("not answering") != std::string::npos; }, 15000);
  const bool stayed = qv.Running();
  fixture.Command("resume window=" + HandleText(target));
  QvRun run;
  EXPECT_TRUE(qv.WaitForExit(15000, &run.status));
  run.output = e2e::ReadFile(file);
  ::DeleteFileA(file.c_str());
  EXPECT_TRUE(said && stayed) << Describe(run);
  EXPECT_EQ(0u, run.status) << Describe(run);
  EXPECT_NE(run.output.find("not answering"), std::string::npos) << Describe(run);
  EXPECT_NE(run.output.find("every command is made"), std::string::npos) << Describe(run);
  EXPECT_TRUE(::GetWindowLongA(target, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

// The colour of a pixel of a BMP file as qv writes it (bottom-up rows, 24 or 32 bits), or ~0.
COLORREF BmpPixel(const std::string& bytes, int x, int y) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return ~0u;
  auto read32 = [&](size_t at) { return *reinterpret_cast<const int32_t*>(bytes.data() + at); };
  const int32_t offset = read32(10), width = read32(18), height = read32(22);
  const int bits = *reinterpret_cast<const uint16_t*>(bytes.data() + 28);
  if ((bits != 24 && bits != 32) || x >= width || y >= std::abs(height)) return ~0u;
  const size_t stride = ((static_cast<size_t>(width) * bits / 8) + 3) & ~size_t(3);
  const size_t row = height > 0 ? static_cast<size_t>(height - 1 - y) : static_cast<size_t>(y);
  const size_t at = offset + row * stride + static_cast<size_t>(x) * (bits / 8);
  if (at + 3 > bytes.size()) return ~0u;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return RGB(p[2], p[1], p[0]);
}

TEST_F(QvScriptTest, CaptureWritesTheWindowsPictureByExtensionAndMethod) {
  HWND target = fixture.Create("name=red title=Red x=100 y=100 w=300 h=200 color=0x000000ff show=noactivate");
  ASSERT_NE(target, nullptr);
  RECT rect{};
  ::GetWindowRect(target, &rect);
  const std::string bmp = e2e::TemporaryFilePath("capture") + ".bmp";
  QvRun run = RunQv({"capture", HandleText(target), "-o", bmp, "--json"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  EXPECT_EQ(run.Json().at(0)["width"], rect.right - rect.left);
  EXPECT_EQ(run.Json().at(0)["format"], "bmp");
  EXPECT_EQ(RGB(255, 0, 0), BmpPixel(e2e::ReadFile(bmp), (rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2));

  // PNG by its extension, by a copy of the screen.
  const std::string png = e2e::TemporaryFilePath("capture") + ".png";
  run = RunQv({"capture", HandleText(target), "-o", png, "--method", "screen"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  const std::string bytes = e2e::ReadFile(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(0, bytes.compare(1, 3, "PNG"));
  auto big32 = [&](size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
  };
  EXPECT_EQ(rect.right - rect.left, big32(16));
  EXPECT_EQ(rect.bottom - rect.top, big32(20));

  // A minimised window by the restore out of sight: its picture, and minimised again after.
  HWND small = fixture.Create("name=blue title=Blue x=100 y=100 w=240 h=160 color=0x00ff0000 show=minnoactive");
  ASSERT_NE(small, nullptr);
  const std::string iconic = e2e::TemporaryFilePath("iconic") + ".bmp";
  run = RunQv({"capture", HandleText(small), "-o", iconic, "--method", "iconic", "--json"});
  ASSERT_EQ(0u, run.status) << Describe(run);
  // The file holds the picture qv reports (its content is printed by the window's program,
  // which this Wine does for no other program's window, and its size is the placement this
  // Wine reports for another program's minimised window).
  const std::string iconicBytes = e2e::ReadFile(iconic);
  ASSERT_GT(iconicBytes.size(), 54u);
  EXPECT_EQ(run.Json().at(0)["width"], *reinterpret_cast<const int32_t*>(iconicBytes.data() + 18)) << Describe(run);
  EXPECT_EQ(run.Json().at(0)["height"], std::abs(*reinterpret_cast<const int32_t*>(iconicBytes.data() + 22)));
  EXPECT_TRUE(e2e::WaitUntil([&] { return ::IsIconic(small) != FALSE; }, 5000));

  for (const std::vector<std::string>& wrong : {std::vector<std::string>{"capture", HandleText(target), "-o", "x.gif"},
                                                {"capture", HandleText(target), "-o", bmp, "--method", "paint"},
                                                {"capture", "0x1", "-o", bmp}}) {
    run = RunQv(wrong);
    EXPECT_EQ(2u, run.status) << Describe(run);
  }
  for (const std::string& file : {bmp, png, iconic}) ::DeleteFileA(file.c_str());
}

TEST_F(QvScriptTest, LogWritesWhatTheWindowIsSentPostedAndReturnsAsJsonLines) {
  HWND target = fixture.Create("name=logged title=Logged x=100 y=100 show=noactivate");
  ASSERT_NE(target, nullptr);
  const std::string handle = HandleText(target);
  e2e::ChildProcess log;
  std::string file;
  ASSERT_TRUE(StartQv(log, {"log", handle, "--json", "--filter", "WM_USER*", "--count", "3"}, &file));
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadFile(file).find("qv: logging") != std::string::npos; }, 10000))
      << e2e::ReadFile(file);
  ASSERT_EQ(0u, RunQv({"send", handle, "WM_USER+1", "0x1234", "-5"}).status);
  ASSERT_EQ(0u, RunQv({"send", handle, "WM_USER+2", "9", "--post"}).status);
  DWORD status = 0;
  ASSERT_TRUE(log.WaitForExit(20000, &status));
  QvRun run;
  run.status = status;
  run.output = e2e::ReadFile(file);
  EXPECT_EQ(0u, status) << Describe(run);
  const std::vector<json> lines = run.Json();
  ASSERT_EQ(4u, lines.size()) << Describe(run);
  const struct {
    const char *kind, *message, *wParam, *lParam;
  } expected[] = {{"S", "WM_USER+1", "0x00001234", "0xfffffffb"},
                  {"R", "WM_USER+1", "0x00001234", "0xfffffffb"},
                  {"P", "WM_USER+2", "0x00000009", "0x00000000"}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i]["kind"], expected[i].kind) << lines[i].dump();
    EXPECT_EQ(lines[i]["message"], expected[i].message) << lines[i].dump();
    EXPECT_EQ(lines[i]["wParam"], expected[i].wParam) << lines[i].dump();
    // A 64-bit program gets the negative LPARAM sign-extended to its 64 bits.
    const std::string lParam = lines[i]["lParam"];
    EXPECT_TRUE(lParam == expected[i].lParam ||
                (i < 2 && lParam == "0xfffffffffffffffb"))
        << lines[i].dump();
    EXPECT_EQ(lines[i]["handle"], handle);
    for (const char* field : {"index", "time", "code", "result", "meaning"}) EXPECT_TRUE(lines[i].contains(field)) << field;
  }
  EXPECT_EQ(lines[0]["code"], 0x401);
  EXPECT_TRUE(lines[0]["result"].is_null());
  EXPECT_EQ(lines[1]["result"], "0x00000000");
  EXPECT_GE(lines[3]["recorded"].get<int>(), 3);
  EXPECT_EQ(lines[3]["dropped"], 0);
  ::DeleteFileA(file.c_str());

  // --for ends it by time; a log taken again after it records again (its hooks went, a new
  // channel came), readable text without --json.
  run = RunQv({"log", handle, "--for", "1"});
  EXPECT_EQ(0u, run.status) << Describe(run);
  EXPECT_NE(run.output.find("recorded "), std::string::npos) << Describe(run);
  run = RunQv({"log", "0x1", "--for", "1"});
  EXPECT_EQ(2u, run.status) << Describe(run);
}

}  // namespace

namespace {

TEST_F(QvScriptTest, LogEndsOnCtrlBreakWithItsLastLine) {
  HWND target = fixture.Create("name=broken title=Broken x=100 y=100 show=noactivate");
  ASSERT_NE(target, nullptr);
  e2e::ChildProcess log;
  const std::string file = e2e::TemporaryFilePath("qvbreak");
  // A console of its own, as a terminal gives.
  ASSERT_TRUE(log.Start(e2e::QvExePath(), {"log", HandleText(target), "--json"}, file, "",
                        CREATE_NEW_CONSOLE));
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadFile(file).find("qv: logging") != std::string::npos; }, 10000))
      << e2e::ReadFile(file);
  fixture.Command("send window=broken msg=0x401 wparam=0x31");
  ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadFile(file).find("0x00000031") != std::string::npos; }, 5000))
      << e2e::ReadFile(file);
  // Ctrl+C typed into qv's console, as a user stops it.
  ::FreeConsole();
  ASSERT_TRUE(::AttachConsole(log.Pid()));
  HWND console = ::GetConsoleWindow();
  ::FreeConsole();
  ASSERT_NE(console, nullptr);
  ::SetForegroundWindow(console);
  e2e::PressKeys({VK_CONTROL, 'C'});
  DWORD status = 0xFFFF;
  const bool ended = log.WaitForExit(10000, &status);
  ASSERT_TRUE(ended) << e2e::ReadFile(file);
  EXPECT_EQ(0u, status);
  const std::vector<std::string> lines = e2e::SplitLines(e2e::ReadFile(file));
  ASSERT_FALSE(lines.empty());
  const json last = json::parse(lines.back());
  EXPECT_GE(last["recorded"].get<int>(), 2) << lines.back();
  ::DeleteFileA(file.c_str());
}

}  // namespace
