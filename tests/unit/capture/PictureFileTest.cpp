#include <gtest/gtest.h>

#include <string>

#include "capture/CptViewDlg.h"
#include "capture/PictureFile.h"
#include "platform/FileDialog.h"

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
  EXPECT_EQ(capture::SaveFailureReason(ERROR_DISK_FULL), "ディスクの空き領域が足りません。");
  EXPECT_EQ(capture::SaveFailureReason(ERROR_ACCESS_DENIED), "このフォルダーには書き込めません（アクセスが拒否されました）。");
  ::DeleteObject(bitmap);
}

// The Save As dialog of the picture as it is built: the types with their closing second NUL,
// PNG selected, "png" for a name without extension, and the flags that ask before overwriting,
// want an existing folder, hide the read-only box and keep the current directory.
TEST(PictureFileTest, SaveAsSettingsAreBuiltFromThePicturesRequest) {
  const platform::SaveFileRequest request = capture::PictureSaveRequest("shot: a/b");
  EXPECT_EQ(request.fileName, "shot_ a_b");
  const std::string filter = request.filter + '\0';
  char path[MAX_PATH] = {};
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  const OPENFILENAMEA ofn = platform::SaveFileDialogSettings(owner, request, filter, path, sizeof(path));
  EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(ofn.hwndOwner, owner);
  EXPECT_EQ(std::string(ofn.lpstrFilter, 38), std::string("PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0\0", 38));
  EXPECT_EQ(ofn.nFilterIndex, capture::kPngFilterIndex);
  EXPECT_STREQ(ofn.lpstrDefExt, "png");
  EXPECT_EQ(ofn.lpstrFile, path);
  EXPECT_EQ(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR));
  platform::SaveFileRequest bare = request;
  bare.defaultExtension.clear();
  EXPECT_EQ(platform::SaveFileDialogSettings(owner, bare, filter, path, sizeof(path)).lpstrDefExt, nullptr);
}
