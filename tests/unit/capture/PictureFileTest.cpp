#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "capture/CptViewDlg.h"
#include "capture/PictureFile.h"
#include "platform/FileSave.h"
#include "platform/FileDialog.h"

using capture::ChosenFormat;
using capture::PictureFormat;
using capture::ProposedFileName;

TEST(PictureFileTest, ProposedNameReplacesWhatAFileNameCannotHold) {
  struct Case {
    const wchar_t* title;
    const wchar_t* name;
  };
  const Case cases[] = {
      {L"Untitled - Notepad", L"Untitled - Notepad"},
      {L"C:\\dir/a:b*c?d\"e<f>g|h", L"C__dir_a_b_c_d_e_f_g_h"},
      {L"tab\there\r\nend", L"tab_here__end"},
      // Blanks and dots may not end a name; nothing left gives the fallback.
      {L"report. . ", L"report"},
      {L"", L"capture"},
      {L" ...", L"capture"},
      // Device names stay usable as file names only with something appended.
      {L"CON", L"CON_"},
      {L"com1", L"com1_"},
      {L"nul.txt", L"nul_.txt"},
      {L"LPT9 .log", L"LPT9_ .log"},
      {L"CONSOLE", L"CONSOLE"},
      {L"COM0", L"COM0"},
      // Every character of the title stays, in and beyond code page 932.
      {L"\u30bd\u8868\u80fd", L"\u30bd\u8868\u80fd"},
      {L"Caf\u00e9 \u00dcn\u00efc\u00f8d\u00e9", L"Caf\u00e9 \u00dcn\u00efc\u00f8d\u00e9"},
      {L"\ud55c\uae00 \u05e2\u05d1 \U0001F600", L"\ud55c\uae00 \u05e2\u05d1 \U0001F600"},
  };
  for (const Case& c : cases) EXPECT_TRUE(ProposedFileName(c.title) == c.name) << static_cast<int>(wcslen(c.title));
}

TEST(PictureFileTest, ProposedNameOfALongTitleIsCutBetweenCharacters) {
  EXPECT_TRUE(ProposedFileName(std::wstring(255, L'a')) == std::wstring(200, L'a'));
  // 199 characters then an emoji of two UTF-16 units: it would end at unit 201, so it goes whole.
  const std::wstring title = std::wstring(199, L'b') + L"\U0001F600cc";
  EXPECT_TRUE(ProposedFileName(title) == std::wstring(199, L'b'));
}

TEST(PictureFileTest, FormatFollowsTheTypedExtensionThenTheSelectedType) {
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a.png", capture::kBmpFilterIndex), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a.BMP", capture::kPngFilterIndex), PictureFormat::Bmp);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a.Png", 2), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a.jpg", 2), PictureFormat::Bmp);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a", 1), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\bmp", 1), PictureFormat::Png);
  EXPECT_EQ(ChosenFormat(L"C:\\p\\a", 0), PictureFormat::Png);
}

// A failed save names its cause.
TEST(PictureFileTest, AFailedSaveNamesItsCause) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 8, 6);
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(bitmap, nullptr);

  EXPECT_EQ(capture::WritePictureFile(bitmap, L"no-such-folder-q\\a.png", PictureFormat::Png),
            "保存先のフォルダーが見つかりません。");
  EXPECT_EQ(capture::WritePictureFile(bitmap, L"a?b.png", PictureFormat::Png),
            "このファイル名はシステムに受け付けられません。");
  EXPECT_EQ(platform::SaveFailureReason(ERROR_DISK_FULL), "ディスクの空き領域が足りません。");
  EXPECT_EQ(platform::SaveFailureReason(ERROR_ACCESS_DENIED), "このフォルダーには書き込めません（アクセスが拒否されました）。");
  ::DeleteObject(bitmap);
}

// The Save As dialog of the picture as it is built: the types with their closing second NUL,
// PNG selected, "png" for a name without extension, and the flags that ask before overwriting,
// want an existing folder, hide the read-only box and keep the current directory.
TEST(PictureFileTest, SaveAsSettingsAreBuiltFromThePicturesRequest) {
  const platform::SaveFileRequest request = capture::PictureSaveRequest(L"shot: a/b");
  EXPECT_TRUE(request.fileName == L"shot_ a_b");
  const std::wstring filter = request.filter + L'\0';
  wchar_t path[MAX_PATH] = {};
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  const OPENFILENAMEW ofn = platform::SaveFileDialogSettings(owner, request, filter, path, MAX_PATH);
  EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
  EXPECT_EQ(ofn.hwndOwner, owner);
  EXPECT_TRUE(std::wstring(ofn.lpstrFilter, 38) == std::wstring(L"PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0\0", 38));
  EXPECT_EQ(ofn.nFilterIndex, capture::kPngFilterIndex);
  EXPECT_STREQ(ofn.lpstrDefExt, L"png");
  EXPECT_EQ(ofn.lpstrFile, path);
  EXPECT_EQ(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR));
  platform::SaveFileRequest bare = request;
  bare.defaultExtension.clear();
  EXPECT_EQ(platform::SaveFileDialogSettings(owner, bare, filter, path, MAX_PATH).lpstrDefExt, nullptr);
}
