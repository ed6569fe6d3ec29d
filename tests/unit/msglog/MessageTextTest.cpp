// The log's names, its decoding of parameters and copied payloads, and its filter, each
// checked over a table of cases as a user reads them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "msglog/MessageDecoding.h"
#include "msglog/MessageFilter.h"
#include "msglog/MessageNames.h"

namespace {

using msglog::ControlKind;

TEST(MessageNames, NamesByNumberRangeAndTheReceivingControlsClass) {
  const auto registered = [](uint32_t message) { return message == 0xC123 ? std::string("TaskbarCreated") : ""; };
  const struct {
    uint32_t message;
    const char* className;
    const char* name;
  } kCases[] = {
      {WM_SIZE, "Anything", "WM_SIZE"},          {WM_KEYDOWN, "", "WM_KEYDOWN"},
      {WM_SETTINGCHANGE, "", "WM_SETTINGCHANGE"}, {WM_DDE_FIRST + 5, "", "WM_DDE_DATA"},
      {BM_CLICK, "button", "BM_CLICK"},          {BM_CLICK, "Edit", "0x00f5"},
      {EM_SETSEL, "EDIT", "EM_SETSEL"},          {LB_GETCOUNT, "ComboLBox", "LB_GETCOUNT"},
      {CB_SETCURSEL, "ComboBox", "CB_SETCURSEL"}, {STM_SETIMAGE, "Static", "STM_SETIMAGE"},
      {SBM_SETPOS, "ScrollBar", "SBM_SETPOS"},    {LVM_GETITEMCOUNT, "SysListView32", "LVM_GETITEMCOUNT"},
      {LVM_SETUNICODEFORMAT, "SysListView32", "LVM_SETUNICODEFORMAT"},
      {TVM_EXPAND, "SysTreeView32", "TVM_EXPAND"}, {TCM_SETCURSEL, "SysTabControl32", "TCM_SETCURSEL"},
      {HDM_LAYOUT, "SysHeader32", "HDM_LAYOUT"},  {TB_ADDBITMAP, "ToolbarWindow32", "TB_ADDBITMAP"},
      {SB_SETPARTS, "msctls_statusbar32", "SB_SETPARTS"}, {PBM_SETPOS, "msctls_progress32", "PBM_SETPOS"},
      {TBM_SETPOS, "msctls_trackbar32", "TBM_SETPOS"}, {UDM_SETPOS32, "msctls_updown32", "UDM_SETPOS32"},
      {WM_USER + 5, "Edit", "WM_USER+5"},        {WM_USER, "", "WM_USER+0"},
      {WM_APP + 1, "", "WM_APP+1"},              {0xC123, "", "TaskbarCreated"},
      {0xC124, "", "0xc124"},                    {0x0118, "", "WM_SYSTIMER"},
      // Sent by the system without being documented, met in practice.
      {0x0009, "", "WM_SETVISIBLE"},             {0x0035, "", "WM_ISACTIVEICON"},
      {0x0036, "", "WM_QUERYPARKICON"},          {0x0090, "", "WM_UAHDESTROYWINDOW"},
      {0x0091, "", "WM_UAHDRAWMENU"},            {0x0092, "", "WM_UAHDRAWMENUITEM"},
      {0x0093, "", "WM_UAHINITMENU"},            {0x0094, "", "WM_UAHMEASUREMENUITEM"},
      {0x0095, "", "WM_UAHNCPAINTMENUPOPUP"},    {0x00ae, "", "WM_NCUAHDRAWCAPTION"},
      {0x00af, "", "WM_NCUAHDRAWFRAME"},         {0x0131, "", "WM_LBTRACKPOINT"},
      {0x022a, "", "WM_DROPOBJECT"},             {0x022b, "", "WM_QUERYDROPOBJECT"},
      {0x022d, "", "WM_DRAGLOOP"},               {0x022e, "", "WM_DRAGSELECT"},
      {0x022f, "", "WM_DRAGMOVE"},               {0x0313, "", "WM_POPUPSYSTEMMENU"},
      {0x00010000, "", "0x10000"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(msglog::MessageName(c.message, msglog::ControlKindOf(c.className), registered), c.name)
        << c.message << " " << c.className;

  EXPECT_EQ(msglog::CommandCodeName(BN_CLICKED, ControlKind::Button), "BN_CLICKED");
  EXPECT_EQ(msglog::CommandCodeName(EN_CHANGE, ControlKind::Edit), "EN_CHANGE");
  EXPECT_EQ(msglog::CommandCodeName(LBN_SELCHANGE, ControlKind::ListBox), "LBN_SELCHANGE");
  EXPECT_EQ(msglog::CommandCodeName(EN_CHANGE, ControlKind::None), "");
  EXPECT_EQ(msglog::NotifyCodeName(NM_CLICK, ControlKind::None), "NM_CLICK");
  EXPECT_EQ(msglog::NotifyCodeName(LVN_ITEMCHANGED, ControlKind::ListView), "LVN_ITEMCHANGED");
  EXPECT_EQ(msglog::NotifyCodeName(TVN_SELCHANGEDW, ControlKind::TreeView), "TVN_SELCHANGEDW");
  EXPECT_EQ(msglog::NotifyCodeName(LVN_ITEMCHANGED, ControlKind::TreeView), "");
  EXPECT_EQ(msglog::SysCommandName(SC_CLOSE | 2), "SC_CLOSE");
  EXPECT_EQ(msglog::WindowPosFlagNames(SWP_NOSIZE | SWP_NOZORDER | 0x10000), "SWP_NOSIZE|SWP_NOZORDER|0x10000");
  EXPECT_EQ(msglog::WindowPosFlagNames(0), "0");
  EXPECT_EQ(msglog::VirtualKeyName(VK_F5), "VK_F5");
  EXPECT_EQ(msglog::VirtualKeyName('A'), "A");
  EXPECT_EQ(msglog::VirtualKeyName('7'), "7");
  EXPECT_EQ(msglog::VirtualKeyName(VK_KANJI), "VK_KANJI");
  EXPECT_EQ(msglog::VirtualKeyName(0xE8), "0xe8");
}

TEST(MessageDecoding, ContentOfEachKindOfMessage) {
  msglog::Payload text;
  text.kind = msglog::Payload::Text;
  text.text = "\xE6\x97\xA5 ok";  // 日 ok
  msglog::Payload pos;
  pos.kind = msglog::Payload::WindowPos;
  pos.x = -5, pos.y = 6, pos.cx = 300, pos.cy = 200, pos.flags = SWP_NOZORDER | SWP_NOACTIVATE;
  msglog::Payload moved = pos;
  moved.flags = SWP_NOSIZE;
  moved.insertAfter = 0x1234;
  msglog::Payload styles;
  styles.kind = msglog::Payload::Styles;
  styles.oldStyle = 0x10000000, styles.newStyle = 0x14000000;
  msglog::Payload notify;
  notify.kind = msglog::Payload::Notify;
  notify.hwndFrom = 0x2222, notify.idFrom = 9, notify.code = LVN_ITEMCHANGED;
  const auto kindOf = [](uint64_t hwnd) { return hwnd == 0x2222 ? ControlKind::ListView : ControlKind::Button; };

  const struct {
    char kind;
    uint32_t message;
    uint64_t wParam, lParam;
    const msglog::Payload* payload;
    bool unicode;
    const char* content;
  } kCases[] = {
      {'P', WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 0xFFFE000C, nullptr, false, "x=12 y=-2 MK_LBUTTON|MK_SHIFT"},
      {'P', WM_LBUTTONDOWN, 0, 0x00220011, nullptr, false, "x=17 y=34"},
      {'P', WM_MOUSEWHEEL, 0xFF880000 | MK_CONTROL, 0x00100010, nullptr, false, "x=16 y=16 delta=-120 MK_CONTROL"},
      {'P', WM_KEYDOWN, VK_F5, 0x003F0001, nullptr, false, "VK_F5 repeat=1 down"},
      {'P', WM_KEYUP, 'A', 0xC01E0001, nullptr, false, "A repeat=1 up"},
      {'P', WM_SYSKEYDOWN, VK_MENU, 0x20380003, nullptr, false, "VK_MENU repeat=3 down"},
      {'P', WM_CHAR, 'a', 1, nullptr, false, "'a' 0x61"},
      {'P', WM_CHAR, 0x65E5, 1, nullptr, true, "'\xE6\x97\xA5' 0x65e5"},
      {'P', WM_CHAR, 0x93FA, 1, nullptr, false, "'\xE6\x97\xA5' 0x93fa"},  // 日 in code page 932
      {'P', WM_CHAR, 0x0D, 1, nullptr, false, "0x0d"},
      {'S', WM_SETTEXT, 0, 0x1000, &text, false, "\"\xE6\x97\xA5 ok\""},
      {'S', WM_GETTEXT, 64, 0x1000, nullptr, false, "max=64"},
      {'R', WM_GETTEXT, 64, 0x1000, &text, false, "\"\xE6\x97\xA5 ok\""},
      {'S', WM_SIZE, SIZE_MAXIMIZED, 0x00C80140, nullptr, false, "w=320 h=200 SIZE_MAXIMIZED"},
      {'S', WM_MOVE, 0, 0xFFF6000A, nullptr, false, "x=10 y=-10"},
      {'S', WM_WINDOWPOSCHANGING, 0, 0x1000, &pos, false, "x=-5 y=6 w=300 h=200 SWP_NOZORDER|SWP_NOACTIVATE"},
      {'R', WM_WINDOWPOSCHANGED, 0, 0x1000, &moved, false, "x=-5 y=6 w=300 h=200 SWP_NOSIZE after=0x00001234"},
      {'S', WM_STYLECHANGED, static_cast<uint32_t>(GWL_STYLE), 0x1000, &styles, false,
       "GWL_STYLE old=0x10000000 new=0x14000000"},
      {'S', WM_COMMAND, MAKEWPARAM(41, BN_CLICKED), 0x3333, nullptr, false, "id=41 BN_CLICKED control=0x00003333"},
      {'S', WM_COMMAND, MAKEWPARAM(41, 0x77), 0x3333, nullptr, false, "id=41 code=0x0077 control=0x00003333"},
      {'S', WM_COMMAND, MAKEWPARAM(100, 0), 0, nullptr, false, "id=100 menu"},
      {'S', WM_COMMAND, MAKEWPARAM(100, 1), 0, nullptr, false, "id=100 accelerator"},
      {'S', WM_NOTIFY, 9, 0x1000, &notify, false, "id=9 LVN_ITEMCHANGED control=0x00002222"},
      {'S', WM_SYSCOMMAND, SC_MINIMIZE, 0, nullptr, false, "SC_MINIMIZE"},
      {'S', WM_SYSCOMMAND, 0x1230, 0, nullptr, false, "0x1230"},
      {'P', WM_TIMER, 104, 0, nullptr, false, "id=104"},
      {'S', WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0x4444, nullptr, false, "WA_CLICKACTIVE minimized other=0x00004444"},
      {'S', WM_SHOWWINDOW, 0, SW_PARENTCLOSING, nullptr, false, "hidden SW_PARENTCLOSING"},
      // Each table's last entry, and one past it, which is no entry.
      {'S', WM_SIZE, SIZE_MAXHIDE, 0, nullptr, false, "w=0 h=0 SIZE_MAXHIDE"},
      {'S', WM_SIZE, SIZE_MAXHIDE + 1, 0, nullptr, false, "w=0 h=0 type=5"},
      {'S', WM_ACTIVATE, WA_CLICKACTIVE + 1, 0, nullptr, false, "state=3 other=0x00000000"},
      {'S', WM_SHOWWINDOW, 1, SW_OTHERUNZOOM, nullptr, false, "shown SW_OTHERUNZOOM"},
      {'S', WM_SHOWWINDOW, 1, SW_OTHERUNZOOM + 1, nullptr, false, "shown"},
      {'S', WM_SETFOCUS, 0x5555, 0, nullptr, false, "previous=0x00005555"},
      {'S', WM_KILLFOCUS, 0, 0, nullptr, false, "next=0x00000000"},
      {'S', WM_PAINT, 0, 0, nullptr, false, ""},
      // Non-client mouse messages: the screen point and the hit-test code by name.
      {'P', WM_NCMOUSEMOVE, HTCAPTION, 0x015902A6, nullptr, false, "x=678 y=345 HTCAPTION"},
      {'P', WM_NCLBUTTONDOWN, HTCLOSE, 0xFFF6FF38, nullptr, false, "x=-200 y=-10 HTCLOSE"},
      {'P', WM_NCRBUTTONUP, HTTOPRIGHT, 0x00010001, nullptr, false, "x=1 y=1 HTTOPRIGHT"},
      {'P', WM_NCMBUTTONDBLCLK, 77, 0, nullptr, false, "x=0 y=0 ht=77"},
      {'P', WM_NCXBUTTONDOWN, MAKEWPARAM(HTCAPTION, XBUTTON2), 0x00050004, nullptr, false, "x=4 y=5 HTCAPTION XBUTTON2"},
      {'S', WM_NCHITTEST, 0, 0x015902A6, nullptr, false, "x=678 y=345"},
      {'S', WM_SETCURSOR, 0x6666, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), nullptr, false,
       "window=0x00006666 HTCLIENT WM_MOUSEMOVE"},
  };
  for (const auto& c : kCases) {
    msglog::MessageView view;
    view.kind = c.kind;
    view.message = c.message;
    view.wParam = c.wParam;
    view.lParam = c.lParam;
    view.payload = c.payload;
    view.unicodeWindow = c.unicode;
    EXPECT_EQ(msglog::DecodeContent(view, kindOf), c.content) << std::hex << c.message;
  }
  // WM_NCHITTEST's answer is named too, from 32- and 64-bit programs alike.
  msglog::MessageView hit;
  hit.kind = 'R';
  hit.message = WM_NCHITTEST;
  hit.lParam = 0x015902A6;
  hit.result = static_cast<uint64_t>(static_cast<int64_t>(HTTRANSPARENT));
  EXPECT_EQ(msglog::DecodeContent(hit, kindOf), "x=678 y=345 HTTRANSPARENT");  // from a 64-bit program
  hit.result = static_cast<uint32_t>(HTTRANSPARENT);
  EXPECT_EQ(msglog::DecodeContent(hit, kindOf), "x=678 y=345 HTTRANSPARENT");
  hit.result = HTBOTTOMRIGHT;
  EXPECT_EQ(msglog::DecodeContent(hit, kindOf), "x=678 y=345 HTBOTTOMRIGHT");
  EXPECT_EQ(msglog::FormatValue(0x12), "0x00000012");
  EXPECT_EQ(msglog::FormatValue(0x1FFFFFFFFull), "0x00000001ffffffff");
  EXPECT_EQ(msglog::FormatSeconds(61005), "61.005");
}

TEST(MessageFilter, NamesWildcardsAndExclusions) {
  const struct {
    const char* filter;
    const char* name;
    bool shown;
  } kCases[] = {
      {"", "WM_PAINT", true},
      {"WM_MOUSE*, -WM_MOUSEMOVE", "WM_MOUSEWHEEL", true},
      {"WM_MOUSE*, -WM_MOUSEMOVE", "WM_MOUSEMOVE", false},
      {"WM_MOUSE*, -WM_MOUSEMOVE", "WM_PAINT", false},
      {"-WM_PAINT", "WM_TIMER", true},
      {"-WM_PAINT", "WM_PAINT", false},
      {"wm_?eydown", "WM_KEYDOWN", true},
      {"WM_?EYDOWN", "WM_SYSKEYDOWN", false},
      {"WM_SIZE WM_MOVE", "WM_MOVE", true},
      {"WM_SIZE,,WM_MOVE", "WM_SIZING", false},
      {"*CHANGED", "WM_WINDOWPOSCHANGED", true},
      {"*A*B*", "xAyyBz", true},
      {"*A*B", "xAyyBz", false},
      {"WM_USER+1", "WM_USER+1", true},
      {" - ", "WM_PAINT", true},
  };
  for (const auto& c : kCases) EXPECT_EQ(msglog::CMessageFilter(c.filter).Shows(c.name), c.shown) << c.filter << " / " << c.name;
  EXPECT_TRUE(msglog::CMessageFilter(" ,").ShowsEverything());
}

}  // namespace
