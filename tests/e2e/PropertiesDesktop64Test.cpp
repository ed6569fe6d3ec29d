// The properties view on the 64-bit desktop against the 64-bit fixture: what 32-bit Quorvel
// reads of a 64-bit program's window from outside, and what its 64-bit helper reads for it.
#include "PropertiesSuite.h"

namespace {

using e2e::HandleText;
using e2e::Items;
using PropertiesDesktop64Test = e2e::PropertiesSuite;

TEST_F(PropertiesDesktop64Test, SixtyFourBitProgramsProceduresModulesAndCommandLineAreReadThroughTheHelper) {
    BOOL wow64 = TRUE;
    ASSERT_TRUE(IsWow64Process(fixture.Process().Handle(), &wow64) && !wow64) << "not the 64-bit fixture";
    const PropsWindows made = CreatePropsWindows();
    ASSERT_TRUE(made.window && made.child && made.popup);
    ASSERT_NO_FATAL_FAILURE(StartQuorvel());
    HWND view = OpenFromMainList(made.window);
    ASSERT_NE(view, nullptr);
    Items items = ReadItems(view);
    SCOPED_TRACE(Dump(items));
    EXPECT_EQ(items["ハンドル"], HandleText(made.window));
    EXPECT_EQ(items["テキスト"], "props window");
    EXPECT_EQ(items["ビット数"], "64 ビット");
    EXPECT_EQ(items["クラススタイル"], "0x0000020a CS_HREDRAW | CS_DBLCLKS | CS_NOCLOSE");
    EXPECT_EQ(items["クラスの追加バイト"], "8: 0x11223344 0x55667788");
    EXPECT_EQ(items["ウィンドウの追加バイト"], "12: 0xa1b2c3d4 0x0badf00d 0x12345678");
    EXPECT_EQ(items["ユーザーデータ"], "0x13572468");
    EXPECT_EQ(items["プロパティ QuorvelFixtureProp"], "0x00001234");
    EXPECT_EQ(items["プロパティ #0x0042"], "0x00005678");
    EXPECT_EQ(items["最初の子"], HandleText(made.child) + " \"props child\" Static");
    // Inside the 64-bit program, through the 64-bit helper and hook: full-width addresses in its modules.
    EXPECT_NE(items["ウィンドウプロシージャ"].find("(QuorvelFixture.exe+0x"), std::string::npos);
    EXPECT_NE(items["ウィンドウプロシージャ"].find("ANSI  サブクラス化"), std::string::npos);
    EXPECT_NE(items["クラスプロシージャ"].find("(QuorvelFixture.exe+0x"), std::string::npos);
    EXPECT_NE(items["インスタンス"].find("(QuorvelFixture.exe+0x0)"), std::string::npos);
    EXPECT_NE(items["コマンドライン"].find("QuorvelFixture.exe"), std::string::npos);
    EXPECT_NE(items["パス"].find("QuorvelFixture.exe"), std::string::npos);
}

}  // namespace
