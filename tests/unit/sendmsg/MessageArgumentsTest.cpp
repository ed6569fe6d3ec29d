// The rules of what a user may type to send a message: names both ways, numbers and their
// ranges, texts only where the system carries them, buffers only as Quorvel's own.
#include <gtest/gtest.h>

#include <windows.h>

#include "msglog/MessageNames.h"
#include "sendmsg/MessageArguments.h"

namespace {

using msglog::ControlKind;
using sendmsg::ParamShape;

// What was typed is refused, and the reason says why.
template <typename Parse>
void ExpectRefused(const Parse& parse, const std::string& typed, const char* why) {
  std::string reason;
  EXPECT_FALSE(parse(typed, &reason)) << typed.substr(0, 30);
  EXPECT_NE(std::string::npos, reason.find(why)) << typed.substr(0, 30) << ": " << reason;
}

TEST(MessageNameLookup, EveryNameTheLogWritesComesBackToItsNumber) {
  uint32_t message = 0;
  // Every window message name and every control's names, by their own kind, both ways.
  for (ControlKind kind : {ControlKind::None, ControlKind::Button, ControlKind::Edit, ControlKind::ListBox,
                           ControlKind::ComboBox, ControlKind::ListView, ControlKind::TreeView, ControlKind::UpDown}) {
    for (const std::string& name : msglog::MessageNamesFor(kind, false)) {
      ASSERT_TRUE(msglog::MessageFromName(name, &message)) << name;
      EXPECT_EQ(name, msglog::MessageName(message, kind, nullptr)) << name;
    }
  }
  // Any case; WM_USER and WM_APP offsets up to the last private message.
  for (const auto& [name, number] : {std::pair<const char*, uint32_t>{"bm_click", BM_CLICK}, {"WM_USER+1", WM_USER + 1}, {"WM_APP+16383", 0xBFFF}}) {
    ASSERT_TRUE(msglog::MessageFromName(name, &message)) << name;
    EXPECT_EQ(number, message) << name;
  }
  for (const char* wrong : {"WM_APP+16384", "WM_USER+", "WM_USER+x", "WM_NOSUCH", "", "WM_USER+99999999999"})
    EXPECT_FALSE(msglog::MessageFromName(wrong, &message)) << wrong;
}

TEST(MessageNameLookup, CompletionListsTheClassesMessagesFirstAndEachNameOnce) {
  const std::vector<std::string> button = msglog::MessageNamesFor(ControlKind::Button, true);
  ASSERT_GT(button.size(), 800u);
  EXPECT_EQ("BM_GETCHECK", button.front());
  EXPECT_EQ("WM_NULL", button[9]);  // the button's nine, then the window messages
  std::vector<std::string> sorted = button;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted.end(), std::adjacent_find(sorted.begin(), sorted.end()));
  EXPECT_EQ(msglog::MessageNamesFor(ControlKind::Button, false).size(), 9u + msglog::MessageNamesFor(ControlKind::None, false).size());
}

TEST(MessageArguments, MessagesByNameOrNumberWithTheirControl) {
  // A control's message names its control; a window message's name or a number names none.
  const struct {
    const char* typed;
    uint32_t message;
    ControlKind named;
  } accepted[] = {{" BM_CLICK ", BM_CLICK, ControlKind::Button}, {"wm_settext", WM_SETTEXT, ControlKind::None},
                  {"CB_GETLBTEXT", CB_GETLBTEXT, ControlKind::ComboBox}, {"0x401", 0x401, ControlKind::None},
                  {"1025", 1025, ControlKind::None}, {"0xffff", 0xFFFF, ControlKind::None}};
  std::string reason;
  for (const auto& c : accepted) {
    const auto typed = sendmsg::ParseMessage(c.typed, &reason);
    ASSERT_TRUE(typed) << c.typed;
    EXPECT_EQ(c.message, typed->message) << c.typed;
    EXPECT_EQ(c.named, typed->named) << c.typed;
  }
  for (const auto& [typed, why] : {std::pair<const char*, const char*>{"0x10000", "0 to 0xFFFF"}, {"-1", "0 to 0xFFFF"},
                                   {"WM_NOTHING", "no message of that name"}, {"", "no message"}, {"12ab", "not a message number"}})
    ExpectRefused(sendmsg::ParseMessage, typed, why);
}

TEST(MessageArguments, NumbersAndTextsWithTheirRanges) {
  // Empty is zero; negative numbers down to INT_MIN and unsigned ones up to 0xFFFFFFFF.
  std::string reason;
  for (const auto& [typed, value] : {std::pair<const char*, uint32_t>{"", 0}, {"1234", 1234}, {"-5", 0xFFFFFFFBu},
                                     {"-2147483648", 0x80000000u}, {"0xFFFFFFFF", 0xFFFFFFFFu}, {"4294967295", 4294967295u}}) {
    const auto parameter = sendmsg::ParseParameter(typed, &reason);
    ASSERT_TRUE(parameter) << typed;
    EXPECT_EQ(value, parameter->value) << typed;
  }
  auto text = sendmsg::ParseParameter(u8"\"テキスト \"\"x\"", &reason);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->isText);
  EXPECT_EQ(L"テキスト \"\"x", text->text);
  EXPECT_EQ(L"", sendmsg::ParseParameter("\"\"", &reason)->text);
  // A text at the bound passes, one unit longer is refused.
  EXPECT_TRUE(sendmsg::ParseParameter("\"" + std::string(sendmsg::kMaxTextLength, 'a') + "\"", &reason));
  const std::pair<std::string, const char*> refused[] = {
      {"4294967296", "out of range"},      {"-2147483649", "out of range"}, {"0x100000000", "out of range"},
      {"99999999999999999999999999", "not a number"}, {"0x", "not a number"}, {"12abc", "not a number"},
      {"\"open", "end with a double quote"}, {"\"", "end with a double quote"},
      {"\"" + std::string(sendmsg::kMaxTextLength + 1, 'a') + "\"", "at most 32767"},
  };
  for (const auto& [typed, why] : refused) ExpectRefused(sendmsg::ParseParameter, typed, why);
}

TEST(MessageArguments, TextsOnlyWhereTheSystemCarriesThemBuffersOnlyAsQuorvelsOwnAndTimeoutsInTheirRange) {
  std::string reason;
  auto request = [&](const char* message, const char* wParam, const char* lParam, ControlKind kind = ControlKind::None,
                     bool post = false) { return sendmsg::ParseRequest(message, wParam, lParam, kind, post, &reason); };
  // Carried as text: WM_SETTEXT to anything, the list and combo box string messages to those.
  auto settext = request("WM_SETTEXT", "", u8"\"新しい題\"");
  ASSERT_TRUE(settext) << reason;
  EXPECT_EQ(ParamShape::Text, settext->shape);
  EXPECT_EQ(L"新しい題", settext->lParam.text);
  auto add = request("LB_ADDSTRING", "0", u8"\"行\"");
  ASSERT_TRUE(add) << reason;
  EXPECT_EQ(ControlKind::ListBox, add->kind);
  EXPECT_TRUE(request("0x143", "", "\"x\"", ControlKind::ComboBox));  // CB_ADDSTRING
  // A number the same as LB_ADDSTRING means something else to another window: no text.
  const struct {
    const char *message, *wParam, *lParam;
    bool post;
    const char* why;
  } refused[] = {
      {"0x180", "", "\"x\"", false, "carries no text"},
      {"WM_USER+1", "", "\"x\"", false, "carries no text"},
      {"WM_SETTEXT", "\"x\"", "", false, "wParam of WM_SETTEXT is a number"},
      {"WM_SETTEXT", "", "\"x\"", true, "posted message carries no text"},
      {"WM_GETTEXT", "10", "5", false, "buffer Quorvel lends"},
      {"WM_GETTEXT", "10", "", true, "cannot carry back"},
      {"WM_GETTEXT", "40000", "", false, "at most 32768"},
      {"WM_CLOSE", "0x1ffffffff", "", false, "wParam: out of range"},
      {"WM_CLOSE", "", "zz", false, "lParam: not a number"},
  };
  for (const auto& row : refused) {
    reason.clear();
    EXPECT_FALSE(request(row.message, row.wParam, row.lParam, ControlKind::None, row.post)) << row.message << " " << row.wParam;
    EXPECT_NE(std::string::npos, reason.find(row.why)) << row.message << ": " << reason;
  }

  // Buffers: WM_GETTEXT's count defaults, the others keep the index typed.
  auto gettext = request("WM_GETTEXT", "", "");
  ASSERT_TRUE(gettext);
  EXPECT_EQ(ParamShape::Buffer, gettext->shape);
  EXPECT_EQ(sendmsg::kDefaultBufferLength, gettext->wParam.value);
  auto item = request("LB_GETTEXT", "2", "0");
  ASSERT_TRUE(item);
  EXPECT_EQ(ParamShape::Buffer, item->shape);
  EXPECT_EQ(2u, item->wParam.value);
  // Numbers post and send alike.
  auto posted = request("WM_USER+1", "0x1234", "-5", ControlKind::None, true);
  ASSERT_TRUE(posted);
  EXPECT_EQ(0x1234u, posted->wParam.value);
  EXPECT_EQ(0xFFFFFFFBu, posted->lParam.value);

  // A send's bound: 1 ms to ten minutes, both ends kept.
  for (const char* within : {"1", "5000", "600000"})
    EXPECT_EQ(std::stoul(within), sendmsg::ParseTimeout(within, &reason).value_or(0)) << within;
  for (const char* bound : {"0", "-1", "600001", "x", ""}) EXPECT_FALSE(sendmsg::ParseTimeout(bound, &reason)) << bound;
}

}  // namespace

#include "sendmsg/SendMessageDlg.h"

namespace {

TEST(SendDialogTexts, CompletionResultAndHistory) {
  const std::vector<std::string> names = msglog::MessageNamesFor(ControlKind::Button, true);
  // The class's own first, then the window messages, then every other class's.
  for (const auto& [typed, completed] : {std::pair<const char*, const char*>{"bm_cl", "BM_CLICK"}, {"BM_", "BM_GETCHECK"},
                                         {"WM_SETT", "WM_SETTEXT"}, {"LVM_GETITEMC", "LVM_GETITEMCOUNT"}, {"", ""}, {"XYZ", ""}})
    EXPECT_EQ(completed, sendmsg::CompleteMessageName(names, typed)) << typed;

  using sendmsg::SendState;
  const sendmsg::SendReport answered{SendState::Answered, -1, false, L"", 0, 12};
  EXPECT_EQ(u8"結果: -1 (0xffffffff)\r\n内容: \"abc\"\r\n状態: answered (12 ms)",
            sendmsg::ResultText(answered, "\"abc\"", 5000));
  EXPECT_EQ(u8"エラー: the window is hung (no answer) (1007 ms)",
            sendmsg::ResultText({SendState::Hung, 0, false, L"", 0, 1007}, "", 5000));
  EXPECT_EQ(u8"エラー: no answer within 300 ms (300 ms)", sendmsg::ResultText({SendState::TimedOut, 0, false, L"", 0, 300}, "", 300));
  EXPECT_EQ(u8"ポスト WM_USER+1  wParam=0  lParam=0x5  -> posted",
            sendmsg::HistoryLine({"WM_USER+1", "", "0x5", true}, {SendState::Posted}));
  EXPECT_EQ(u8"送信 WM_GETTEXT  wParam=0  lParam=0  -> -1 (0xffffffff)",
            sendmsg::HistoryLine({"WM_GETTEXT", "", "", false}, answered));
}

}  // namespace
