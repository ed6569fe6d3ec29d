#include <gtest/gtest.h>

#include "inspector/ChildReport.h"

namespace {

TEST(ChildReport, ReadsTheRowThenTheLiveWindowOrSaysItIsGone) {
  const platform::CsvRow headings = {L"handle", L"className", L"text", L"parent", L"CtrlID", L"Visible", L"Enable"};
  const platform::CsvRow cells = {L"0x00010002", L"Static", L"名前: 値", L"0x00010001", L"-5", L"", L"TRUE"};
  const std::wstring row =
      L"handle: 0x00010002\r\nclassName: Static\r\ntext: 名前: 値\r\nparent: 0x00010001\r\nCtrlID: -5\r\n"
      L"Visible: FALSE\r\nEnable: TRUE\r\n";

  const inspector::ChildLiveState live{{-10, 20, 110, 60}, {0, 0, 96, 30}, 0x50000000, 0x00000204};
  EXPECT_EQ(inspector::ChildReport(headings, cells, live),
            row + L"GetWindowRect(): left=-10, top=20, right=110, bottom=60\r\nGetClientRect(): W=96, H=30\r\n"
                  L"Style: 0x50000000\r\nStyleEx: 0x00000204\r\n");
  EXPECT_EQ(inspector::ChildReport(headings, cells, std::nullopt), row + L"(このウィンドウはもうありません)\r\n");
}

}  // namespace
