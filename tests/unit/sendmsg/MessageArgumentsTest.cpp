// The rules of what a user may type to send a message: names both ways, numbers and their
// ranges, texts only where the system carries them, buffers only as Quorvel's own.
#include <gtest/gtest.h>

#include <windows.h>

#include "msglog/MessageNames.h"
#include "sendmsg/MessageArguments.h"

namespace {

using msglog::ControlKind;
using sendmsg::ParamShape;

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
  ASSERT_TRUE(msglog::MessageFromName("bm_click", &message));
  EXPECT_EQ(static_cast<uint32_t>(BM_CLICK), message);
  ASSERT_TRUE(msglog::MessageFromName("WM_USER+1", &message));
  EXPECT_EQ(static_cast<uint32_t>(WM_USER + 1), message);
  ASSERT_TRUE(msglog::MessageFromName("WM_APP+16383", &message));
  EXPECT_EQ(0xBFFFu, message);
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
  EXPECT_NE(sorted.end(), std::find(sorted.begin(), sorted.end(), "LVM_GETITEMCOUNT"));
  EXPECT_EQ(msglog::MessageNamesFor(ControlKind::Button, false).size(), 9u + msglog::MessageNamesFor(ControlKind::None, false).size());
}

TEST(MessageArguments, MessagesByNameOrNumberWithTheirControl) {
  std::string reason;
  auto click = sendmsg::ParseMessage(" BM_CLICK ", &reason);
  ASSERT_TRUE(click);
  EXPECT_EQ(static_cast<uint32_t>(BM_CLICK), click->message);
  EXPECT_EQ(ControlKind::Button, click->named);
  auto settext = sendmsg::ParseMessage("wm_settext", &reason);
  ASSERT_TRUE(settext);
  EXPECT_EQ(ControlKind::None, settext->named);
  EXPECT_EQ(static_cast<uint32_t>(CB_GETLBTEXT), sendmsg::ParseMessage("CB_GETLBTEXT", &reason)->message);
  EXPECT_EQ(0x401u, sendmsg::ParseMessage("0x401", &reason)->message);
  EXPECT_EQ(1025u, sendmsg::ParseMessage("1025", &reason)->message);
  EXPECT_EQ(0xFFFFu, sendmsg::ParseMessage("0xffff", &reason)->message);

  const std::pair<const char*, const char*> refused[] = {
      {"0x10000", "0 to 0xFFFF"}, {"-1", "0 to 0xFFFF"}, {"WM_NOTHING", "no message of that name"},
      {"", "no message"},          {"12ab", "not a message number"},
  };
  for (const auto& [typed, why] : refused) {
    reason.clear();
    EXPECT_FALSE(sendmsg::ParseMessage(typed, &reason)) << typed;
    EXPECT_NE(std::string::npos, reason.find(why)) << typed << ": " << reason;
  }
}

TEST(MessageArguments, NumbersAndTextsWithTheirRanges) {
  std::string reason;
  EXPECT_EQ(0u, sendmsg::ParseParameter("", &reason)->value);
  EXPECT_EQ(1234u, sendmsg::ParseParameter("1234", &reason)->value);
  EXPECT_EQ(0xFFFFFFFBu, sendmsg::ParseParameter("-5", &reason)->value);
  EXPECT_EQ(0x80000000u, sendmsg::ParseParameter("-2147483648", &reason)->value);
  EXPECT_EQ(0xFFFFFFFFu, sendmsg::ParseParameter("0xFFFFFFFF", &reason)->value);
  EXPECT_EQ(4294967295u, sendmsg::ParseParameter("4294967295", &reason)->value);
  auto text = sendmsg::ParseParameter(u8"\"テキスト \"\"x\"", &reason);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->isText);
  EXPECT_EQ(L"テキスト \"\"x", text->text);
  EXPECT_EQ(L"", sendmsg::ParseParameter("\"\"", &reason)->text);

  const std::pair<std::string, const char*> refused[] = {
      {"4294967296", "out of range"},      {"-2147483649", "out of range"}, {"0x100000000", "out of range"},
      {"99999999999999999999999999", "not a number"}, {"0x", "not a number"}, {"12abc", "not a number"},
      {"\"open", "end with a double quote"}, {"\"", "end with a double quote"},
      {"\"" + std::string(sendmsg::kMaxTextLength + 1, 'a') + "\"", "at most 32767"},
  };
  for (const auto& [typed, why] : refused) {
    reason.clear();
    EXPECT_FALSE(sendmsg::ParseParameter(typed, &reason)) << typed.substr(0, 30);
    EXPECT_NE(std::string::npos, reason.find(why)) << typed.substr(0, 30) << ": " << reason;
  }
  EXPECT_TRUE(sendmsg::ParseParameter("\"" + std::string(sendmsg::kMaxTextLength, 'a') + "\"", &reason));
}

TEST(MessageArguments, TextsOnlyWhereTheSystemCarriesThem) {
  std::string reason;
  // Carried as text: WM_SETTEXT to anything, the list and combo box string messages to those.
  auto settext = sendmsg::ParseRequest("WM_SETTEXT", "", u8"\"新しい題\"", ControlKind::None, false, &reason);
  ASSERT_TRUE(settext) << reason;
  EXPECT_EQ(ParamShape::Text, settext->shape);
  EXPECT_EQ(L"新しい題", settext->lParam.text);
  auto add = sendmsg::ParseRequest("LB_ADDSTRING", "0", u8"\"行\"", ControlKind::None, false, &reason);
  ASSERT_TRUE(add) << reason;
  EXPECT_EQ(ControlKind::ListBox, add->kind);
  EXPECT_TRUE(sendmsg::ParseRequest("0x143", "", "\"x\"", ControlKind::ComboBox, false, &reason));  // CB_ADDSTRING
  // A number the same as LB_ADDSTRING means something else to another window: no text.
  EXPECT_FALSE(sendmsg::ParseRequest("0x180", "", "\"x\"", ControlKind::None, false, &reason));
  EXPECT_NE(std::string::npos, reason.find("carries no text")) << reason;

  const struct {
    const char *message, *wParam, *lParam;
    bool post;
    const char* why;
  } refused[] = {
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
    EXPECT_FALSE(sendmsg::ParseRequest(row.message, row.wParam, row.lParam, ControlKind::None, row.post, &reason))
        << row.message << " " << row.wParam << " " << row.lParam;
    EXPECT_NE(std::string::npos, reason.find(row.why)) << row.message << ": " << reason;
  }

  // Buffers: WM_GETTEXT's count defaults, the others keep the index typed.
  auto gettext = sendmsg::ParseRequest("WM_GETTEXT", "", "", ControlKind::None, false, &reason);
  ASSERT_TRUE(gettext);
  EXPECT_EQ(ParamShape::Buffer, gettext->shape);
  EXPECT_EQ(sendmsg::kDefaultBufferLength, gettext->wParam.value);
  auto item = sendmsg::ParseRequest("LB_GETTEXT", "2", "0", ControlKind::None, false, &reason);
  ASSERT_TRUE(item);
  EXPECT_EQ(ParamShape::Buffer, item->shape);
  EXPECT_EQ(2u, item->wParam.value);
  // Numbers post and send alike.
  auto posted = sendmsg::ParseRequest("WM_USER+1", "0x1234", "-5", ControlKind::None, true, &reason);
  ASSERT_TRUE(posted);
  EXPECT_EQ(0x1234u, posted->wParam.value);
  EXPECT_EQ(0xFFFFFFFBu, posted->lParam.value);

  EXPECT_EQ(5000u, *sendmsg::ParseTimeout("5000", &reason));
  for (const char* bound : {"0", "-1", "600001", "x", ""}) EXPECT_FALSE(sendmsg::ParseTimeout(bound, &reason)) << bound;
}

}  // namespace

#include "sendmsg/SendMessageDlg.h"

namespace {

TEST(SendDialogTexts, CompletionResultAndHistory) {
  const std::vector<std::string> names = msglog::MessageNamesFor(ControlKind::Button, true);
  EXPECT_EQ("BM_CLICK", sendmsg::CompleteMessageName(names, "bm_cl"));
  EXPECT_EQ("BM_GETCHECK", sendmsg::CompleteMessageName(names, "BM_"));  // the class's own first
  EXPECT_EQ("WM_SETTEXT", sendmsg::CompleteMessageName(names, "WM_SETT"));
  EXPECT_EQ("LVM_GETITEMCOUNT", sendmsg::CompleteMessageName(names, "LVM_GETITEMC"));
  EXPECT_EQ("", sendmsg::CompleteMessageName(names, ""));
  EXPECT_EQ("", sendmsg::CompleteMessageName(names, "XYZ"));

  sendmsg::SendReport answered;
  answered.state = sendmsg::SendState::Answered;
  answered.value = -1;
  answered.elapsedMs = 12;
  EXPECT_EQ(u8"結果: -1 (0xffffffff)\r\n内容: \"abc\"\r\n状態: answered (12 ms)",
            sendmsg::ResultText(answered, "\"abc\"", 5000));
  sendmsg::SendReport hung;
  hung.state = sendmsg::SendState::Hung;
  hung.elapsedMs = 1007;
  EXPECT_EQ(u8"エラー: the window is hung (no answer) (1007 ms)", sendmsg::ResultText(hung, "", 5000));
  sendmsg::SendReport late;
  late.state = sendmsg::SendState::TimedOut;
  late.elapsedMs = 300;
  EXPECT_EQ(u8"エラー: no answer within 300 ms (300 ms)", sendmsg::ResultText(late, "", 300));
  sendmsg::SendReport posted;
  posted.state = sendmsg::SendState::Posted;
  EXPECT_EQ(u8"ポスト WM_USER+1  wParam=0  lParam=0x5  -> posted",
            sendmsg::HistoryLine({"WM_USER+1", "", "0x5", true}, posted));
  EXPECT_EQ(u8"送信 WM_GETTEXT  wParam=0  lParam=0  -> -1 (0xffffffff)",
            sendmsg::HistoryLine({"WM_GETTEXT", "", "", false}, answered));
}

}  // namespace
