#include <gtest/gtest.h>

#include <string>

#include "capture/PictureFile.h"
#include "platform/FileSave.h"

using capture::ChosenFormat;
using capture::PictureFormat;
using capture::ProposedFileName;

TEST(PictureFileTest, ProposedNameReplacesWhatAFileNameCannotHold) {
  EXPECT_EQ(ProposedFileName("Untitled - Notepad"), "Untitled - Notepad");
  EXPECT_EQ(ProposedFileName("C:\\dir/a:b*c?d\"e<f>g|h"), "C__dir_a_b_c_d_e_f_g_h");
  EXPECT_EQ(ProposedFileName("tab\there\r\nend"), "tab_here__end");
  // Blanks and dots may not end a name; nothing left gives the fallback.
  EXPECT_EQ(ProposedFileName("report. . "), "report");
  EXPECT_EQ(ProposedFileName(""), "capture");
  EXPECT_EQ(ProposedFileName(" ..."), "capture");
  // Device names stay usable as file names only with something appended.
  EXPECT_EQ(ProposedFileName("CON"), "CON_");
  EXPECT_EQ(ProposedFileName("com1"), "com1_");
  EXPECT_EQ(ProposedFileName("nul.txt"), "nul_.txt");
  EXPECT_EQ(ProposedFileName("LPT9 .log"), "LPT9_ .log");
  EXPECT_EQ(ProposedFileName("CONSOLE"), "CONSOLE");
  EXPECT_EQ(ProposedFileName("COM0"), "COM0");
}

TEST(PictureFileTest, ProposedNameKeepsDoubleByteCharactersWhoseSecondByteLooksLikeASeparator) {
  // "ソ表能" in code page 932: 83 5C 95 5C 94 5C, each second byte a backslash.
  EXPECT_EQ(ProposedFileName("\x83\x5C\x95\x5C\x94\x5C"), "\x83\x5C\x95\x5C\x94\x5C");
  EXPECT_EQ(ProposedFileName("a\\\x83\x5C|"), "a_\x83\x5C_");
  // A lead byte at the very end has no second byte and is kept as it is.
  EXPECT_EQ(ProposedFileName("x\x83"), "x\x83");
}

TEST(PictureFileTest, ProposedNameOfALongTitleIsCutBetweenCharacters) {
  EXPECT_EQ(ProposedFileName(std::string(255, 'a')), std::string(200, 'a'));
  // 199 single bytes then a double-byte character: it would end at byte 201, so it goes whole.
  std::string title = std::string(199, 'b') + "\x93\xFA" + "cc";
  EXPECT_EQ(ProposedFileName(title), std::string(199, 'b'));
}

TEST(PictureFileTest, FormatFollowsTheTypedExtensionThenTheSelectedType) {
  EXPECT_EQ(ChosenFormat("C:\\p\\a.png", capture::kBmpFilterIndex), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat("C:\\p\\a.BMP", capture::kPngFilterIndex), PictureFormat::Bmp);
  EXPECT_EQ(ChosenFormat("C:\\p\\a.Png", 2), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat("C:\\p\\a.jpg", 2), PictureFormat::Bmp);
  EXPECT_EQ(ChosenFormat("C:\\p\\a", 1), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat("C:\\p\\bmp", 1), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat("C:\\p\\a", 0), PictureFormat::Png);
}

// A failed save names its cause.
TEST(PictureFileTest, AFailedSaveNamesItsCause) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 8, 6);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(bitmap, nullptr);

  EXPECT_EQ(capture::WritePictureFile(bitmap, "no-such-folder-q\\a.png", PictureFormat::Png),
            "保存先のフォルダーが見つかりません。");
  EXPECT_EQ(capture::WritePictureFile(bitmap, "a?b.png", PictureFormat::Png),
            "このファイル名はシステムに受け付けられません。");
  EXPECT_EQ(platform::SaveFailureReason(ERROR_DISK_FULL), "ディスクの空き領域が足りません。");
  EXPECT_EQ(platform::SaveFailureReason(ERROR_ACCESS_DENIED), "このフォルダーには書き込めません（アクセスが拒否されました）。");
  ::DeleteObject(bitmap);
}
