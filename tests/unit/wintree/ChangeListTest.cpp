// The list of what changed: rows from watch events, their texts, the bound, folding, the
// JSON Lines written back; and the follower's worker, driven by a pass the test controls.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <sstream>

#include "platform/Handles.h"
#include "platform/TextSearch.h"
#include "properties/PropertyRows.h"
#include "platform/WideText.h"
#include "wintree/ChangeFollower.h"
#include "wintree/ChangeList.h"

namespace {

using json = wintree::Json;
using wintree::CChangeList;
using wintree::ChangeKind;
using wintree::ChangeTime;

constexpr ChangeTime kMs = 10000;
// 2026-12-08 14:58:42.123 UTC in file time.
constexpr ChangeTime kBase = 134412155221230000ull;

json Changed(const char* handle, json changes, const char* text = "Frame") {
  return {{"op", "changed"}, {"handle", handle}, {"class", "QvFrame"}, {"text", text}, {"changes", std::move(changes)}};
}

TEST(ChangeListTest, RowsComeInOrderOnePerChangedFieldWithTheViewsItemsAndValues) {
  CChangeList list;
  EXPECT_EQ(list.Add(kBase, {{"op", "added"}, {"handle", "0x00001a2b"}, {"class", "QvFrame"}, {"text", u8"新しい\tです"}}), 1u);
  EXPECT_EQ(list.Add(kBase + 250 * kMs,
                     Changed("0x00001a2b", {{"rect", {{"from", {10, 20, 110, 220}}, {"to", {15, 20, 115, 240}}}},
                                            {"text", {{"from", u8"新しい\tです"}, {"to", u8"改題"}}},
                                            {"owner", {{"from", nullptr}, {"to", "0x00000abc"}}},
                                            {"visible", {{"from", true}, {"to", false}}},
                                            {"style", {{"from", "0x14cf0000"}, {"to", "0x04cf0000"}}}},
                             u8"改題")),
            5u);
  EXPECT_EQ(list.Add(kBase + 500 * kMs, {{"op", "removed"}, {"handle", "0x00001a2b"}, {"class", "QvFrame"}, {"text", u8"改題"}}), 1u);
  ASSERT_EQ(list.Size(), 7u);

  // Each row's cells after the time: the fields of one read in the order the event names them,
  // each with its item; added and removed rows name the window only.
  const std::wstring renamed = L"0x00001a2b \"改題\" QvFrame";
  const std::vector<std::vector<std::wstring>> expected = {
      {L"追加", L"0x00001a2b \"新しい です\" QvFrame", L"", L"", L""},
      {L"変更", renamed, L"ウィンドウの四角形", L"(10, 20) - (110, 220)  100 x 200", L"(15, 20) - (115, 240)  100 x 220"},
      {L"変更", renamed, L"テキスト", L"新しい です", L"改題"},
      {L"変更", renamed, L"所有者", L"なし", L"0x00000abc"},
      {L"変更", renamed, L"表示", L"はい", L"いいえ"},
      {L"変更", renamed, L"スタイル", L"0x14cf0000", L"0x04cf0000"},
      {L"削除", renamed, L"", L"", L""},
  };
  // Times: HH:MM:SS.mmm, local; the seconds and milliseconds hold whatever the zone.
  const wchar_t* const seconds[] = {L":42.123", L":42.373", L":42.373", L":42.373", L":42.373", L":42.373", L":42.623"};
  std::vector<std::vector<std::wstring>> cells;
  for (size_t i = 0; i < list.Size(); ++i) {
    cells.push_back(wintree::RowCells(list.Row(i)));
    EXPECT_EQ(std::vector<std::wstring>(cells[i].begin() + 1, cells[i].end()), expected[i]) << i;
    ASSERT_EQ(cells[i][0].size(), 12u);
    EXPECT_EQ(cells[i][0][2], L':');
    EXPECT_EQ(cells[i][0].substr(5), seconds[i]) << i;
  }
  EXPECT_EQ(wintree::ChangeHeadings(), (platform::CsvRow{L"時刻", L"変化", L"ウィンドウ", L"項目", L"変更前", L"変更後"}));

  // What is not an event of the watch format adds nothing.
  for (const json& bad : {json(), json("changed"), json{{"op", "moved"}, {"handle", "0x1"}}, json{{"op", "added"}},
                          json{{"op", "added"}, {"handle", 12}}, Changed("0x1", "text"), Changed("0x1", {{"text", 3}})}) {
    EXPECT_EQ(list.Add(kBase, bad), 0u) << bad.dump();
  }
  EXPECT_EQ(list.Size(), 7u);
  // The clipboard's lines: the selected rows, cells between tabs.
  EXPECT_EQ(wintree::RowsAsText(list, {6, 99}), cells[6][0] + L"\t削除\t0x00001a2b \"改題\" QvFrame\t\t\t\r\n");
}

TEST(ChangeListTest, KeepsTheLastRowsCountsTheDroppedAndClearStartsOver) {
  CChangeList list(3);
  for (int i = 0; i < 5; ++i)
    list.Add(kBase + i * 2000 * kMs, Changed("0x00000010", {{"text", {{"from", std::to_string(i)}, {"to", std::to_string(i + 1)}}}}));
  list.Add(kBase + 8500 * kMs, {{"op", "added"}, {"handle", "0x20"}});
  // Six rows through a list of three: the oldest three go, the newest is last.
  ASSERT_EQ(list.Size(), 3u);
  EXPECT_EQ(list.Dropped(), 3u);
  EXPECT_EQ(list.Row(0).from, "3");
  EXPECT_EQ(list.Row(1).to, "5");
  EXPECT_EQ(list.Row(2).kind, ChangeKind::kAdded);
  list.Clear();
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(list.Dropped(), 0u);
  // After a clear nothing folds into a row that is gone, even within its second.
  list.Add(kBase + 8600 * kMs, Changed("0x00000010", {{"text", {{"from", "a"}, {"to", "b"}}}}));
  EXPECT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.Row(0).count, 1u);
}

TEST(ChangeListTest, AWindowChangingOverAndOverIsFoldedIntoOneRowASecondLong) {
  CChangeList list(4);
  auto move = [&](ChangeTime at, int x, const char* handle = "0x00000030") {
    return list.Add(at, Changed(handle, {{"rect", {{"from", {x, 0, x + 10, 10}}, {"to", {x + 1, 0, x + 11, 10}}}}}));
  };
  EXPECT_EQ(move(kBase, 0), 1u);
  for (int i = 1; i < 300; ++i) EXPECT_EQ(move(kBase + i * 3 * kMs, i), 0u);  // 300 moves in 0.9 s
  EXPECT_EQ(move(kBase + 1000 * kMs, 300), 0u);                               // at the second
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.Row(0).from, json({0, 0, 10, 10}));
  EXPECT_EQ(list.Row(0).to, json({301, 0, 311, 10}));
  EXPECT_EQ(wintree::KindCellText(list.Row(0)), L"変更 (301 回)");  // the count, as the view shows it
  EXPECT_EQ(list.Row(0).time, kBase);
  // One tick past the second: a new row. Another field or window: rows of their own.
  EXPECT_EQ(move(kBase + 1000 * kMs + 1, 301), 1u);
  EXPECT_EQ(move(kBase + 1000 * kMs + 2, 0, "0x00000031"), 1u);
  EXPECT_EQ(list.Add(kBase + 1000 * kMs + 3, Changed("0x00000030", {{"text", {{"from", "a"}, {"to", "b"}}}})), 1u);
  // The row folded into is pushed out by a fifth: the next change starts a row of its own.
  list.Add(kBase + 1000 * kMs + 4, {{"op", "added"}, {"handle", "0x40"}});
  list.Add(kBase + 1000 * kMs + 5, {{"op", "added"}, {"handle", "0x41"}});
  EXPECT_EQ(list.Dropped(), 2u);
  EXPECT_EQ(move(kBase + 1000 * kMs + 6, 302), 1u);
}

TEST(ChangeListTest, JsonLinesGiveBackTheWatchEventsAndValuesShowAsTheViewShowsThem) {
  CChangeList list;
  list.Add(kBase, {{"op", "added"}, {"handle", "0x00000050"}, {"class", "C"}, {"text", u8"日本"}});
  list.Add(kBase + 300 * kMs, Changed("0x00000050", {{"parent", {{"from", "0x00000001"}, {"to", nullptr}}},
                                                     {"text", {{"from", u8"日本"}, {"to", "x"}}}}));
  list.Add(kBase + 600 * kMs, Changed("0x00000050", {{"text", {{"from", "x"}, {"to", "y"}}}}));  // folded
  list.Add(kBase + 700 * kMs, {{"op", "removed"}, {"handle", "0x00000050"}, {"class", "C"}, {"text", "y"}});
  std::istringstream lines(wintree::JsonLines(list));
  std::vector<json> events;
  for (std::string line; std::getline(lines, line);) events.push_back(json::parse(line));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0], json::parse(u8R"({"time":"2026-12-08T14:58:42.123Z","op":"added","handle":"0x00000050","class":"C","text":"日本"})"));
  // The parent, seen at the read of the first text change; the folded text in an event of its
  // own, with the count, from the first value to the last.
  EXPECT_EQ(events[1], json::parse(u8R"({"time":"2026-12-08T14:58:42.423Z","op":"changed","handle":"0x00000050","class":"QvFrame",
      "text":"Frame","changes":{"parent":{"from":"0x00000001","to":null}}})"))
      << events[1].dump();
  EXPECT_EQ(events[2], json::parse(u8R"({"time":"2026-12-08T14:58:42.423Z","op":"changed","handle":"0x00000050","class":"QvFrame",
      "text":"Frame","count":2,"changes":{"text":{"from":"日本","to":"y"}}})"))
      << events[2].dump();
  EXPECT_EQ(events[3]["op"], "removed");

  // A relation that names no window is none, any other missing value unread; rectangles as the
  // properties view shows them, only when they have four corners.
  const struct {
    const char* field;
    json value;
    const wchar_t* shown;
  } values[] = {
      {"owner", nullptr, L"なし"}, {"next", nullptr, L"なし"}, {"dpi", nullptr, L"(読めません)"}, {"pid", 4242, L"4242"},
      {"rect", {-5, -6, 5, 6}, L"(-5, -6) - (5, 6)  10 x 12"}, {"rect", {1, 2}, L"1 2"},
      {"clientRect", {0, 0, 3, 4}, L"(0, 0) - (3, 4)  3 x 4"}, {"text", "a\r\nb", L"a  b"},
      {"classExtra", {"0x00000001", "0x00000002"}, L"0x00000001 0x00000002"},
      {"windowProc", {{"address", "0x1"}}, L"{\"address\":\"0x1\"}"}};
  for (const auto& c : values) EXPECT_EQ(wintree::FieldValueText(c.field, c.value), c.shown) << c.field;
  // Every field of a window object has the item the properties view names it by; the table's
  // first and last, and names before and past its ends, are found or kept as they are.
  const std::pair<const char*, const wchar_t*> items[] = {
      {"bits", L"ビット数"}, {"windowProc", L"ウィンドウプロシージャ"}, {"clientRect", L"クライアントの四角形"},
      {"previous", L"前のウィンドウ"}, {"zzz", L"zzz"}, {"a", L"a"}};
  for (const auto& [field, item] : items) EXPECT_EQ(properties::FieldItemName(field), item) << field;
}

TEST(ChangeFollowerTest, FollowedWindowsAreTheOnesTheSearchMatchesByTextClassProcessOrHandle) {
  const HWND hwnd = reinterpret_cast<HWND>(0x1a2b);
  auto followed = [&](const wchar_t* typed) {
    return wintree::FollowedWindow(platform::CTextSearch(typed), hwnd, L"Title", L"QvFrame", L"qprobe.exe");
  };
  for (const wchar_t* typed : {L"", L"TITLE", L"vfr", L"PROBE.EXE", L"0x1a2b"}) EXPECT_TRUE(followed(typed)) << typed;
  for (const wchar_t* typed : {L"notepad", L"0x1a2c"}) EXPECT_FALSE(followed(typed)) << typed;
}

// The follower's notices as they reach this thread: how many, and the generation of the last.
constexpr UINT kFound = WM_APP + 7;
int notices = 0;
WPARAM noticeGeneration = 0;

// Pumps this thread's messages, counting the notices, until the condition holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& holds) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == kFound) ++notices, noticeGeneration = msg.wParam;
      DispatchMessageW(&msg);
    }
    if (holds()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return holds();
}

TEST(ChangeFollowerTest, PassesRunOnTheWorkerAndTheirChangesAreHandedOverUntilStopWhichNeverWaits) {
  HWND notify = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(notify);
  const platform::UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr)), go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<DWORD> passThread{0};
  std::atomic<int> passes{0};
  std::atomic<bool> narrowed{false};  // the last pass ran with the narrowing set after the start
  wintree::CChangeFollower follower;
  ASSERT_TRUE(follower.Start(notify, kFound, [&](const std::wstring& narrowing) {
    passThread = GetCurrentThreadId();
    narrowed = narrowing == L"qprobe";
    // After the first read, the passes wait until the test has taken it.
    if (passes > 0) WaitForSingleObject(go.get(), 10000);
    const int pass = ++passes;
    wintree::FollowedPass found;
    found.time = kBase + pass;
    // The third pass finds two changes, the others none; the sixth waits to be released.
    if (pass == 3) {
      found.events = {{{"op", "added"}, {"handle", "0x1"}}, {{"op", "removed"}, {"handle", "0x2"}}};
      found.windows.push_back(wintree::WindowRecord{reinterpret_cast<HWND>(1)});
    }
    if (pass == 6) WaitForSingleObject(release.get(), 10000);
    if (pass >= 6) found.events = {{{"op", "added"}, {"handle", "0x9"}}};
    return found;
  }, 10));
  EXPECT_TRUE(follower.Running());
  follower.SetNarrowing(L"qprobe");
  // The first read is said, with nothing found.
  ASSERT_TRUE(PumpUntil([&] { return notices == 1; }));
  EXPECT_EQ(noticeGeneration, follower.Generation());
  EXPECT_NE(passThread, GetCurrentThreadId());
  wintree::CChangeFollower::Found found = follower.Take();
  EXPECT_TRUE(found.read);
  EXPECT_TRUE(found.events.empty());
  SetEvent(go.get());
  ASSERT_TRUE(PumpUntil([&] { return notices == 2; }));
  found = follower.Take();
  ASSERT_EQ(found.events.size(), 2u);
  EXPECT_EQ(found.events[0].first, kBase + 3);
  EXPECT_EQ(found.events[1].second["op"], "removed");
  EXPECT_EQ(found.windows.size(), 1u);
  EXPECT_TRUE(found.read);
  // Nothing is posted again before Take; passes without changes post nothing.
  ASSERT_TRUE(PumpUntil([&] { return passes >= 6; }));
  EXPECT_EQ(notices, 2);
  EXPECT_TRUE(narrowed);
  // Stop returns while a pass is in progress, and what that pass finds is never handed over.
  follower.Stop();
  EXPECT_FALSE(follower.Running());
  SetEvent(release.get());
  // Room for the released pass to hand over what it must not.
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start > 300; });
  EXPECT_EQ(notices, 2);
  EXPECT_TRUE(follower.Take().events.empty());
  DestroyWindow(notify);
}

}  // namespace
