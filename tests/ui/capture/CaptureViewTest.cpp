// The capture-view panel created in the test process: its buttons, where and how large it draws
// the picture, the automatic capture on hand-over, the clipboard copy and saving to files.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CaptureTargets.h"
#include "E2eDriver.h"
#include "capture/CptViewDlg.h"
#include "capture/PictureFile.h"
#include "platform/Com.h"
#include "platform/FileDialog.h"
#include "platform/FileSave.h"
#include "platform/WinApp.h"
#include "platform/WindowCalls.h"
#include "res/resource.h"
#include "support/UiTestSupport.h"

namespace {

using capturetest::kBlue;
using capturetest::kGreen;
using capturetest::kRed;

class CaptureViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_parent = ::CreateWindowExA(0, "STATIC", "capture view parent", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(m_parent, nullptr);
    m_view = std::make_unique<CCptViewDlg>();
    ASSERT_TRUE(m_view->Create(m_parent));
    m_view->ShowWindow(SW_SHOW);
    m_hWnd = m_view->GetSafeHwnd();
  }
  void TearDown() override {
    platform::WaitForDeferredWindowCalls(10000);
    if (m_view) m_gdi.Watch(m_view->Picture().bitmap.get());
    m_view.reset();
    for (HWND hwnd : m_windows) ::DestroyWindow(hwnd);
    ::DestroyWindow(m_parent);
    m_gdi.ExpectBalanced();
  }

  HWND Target(COLORREF colour, int width, int height, const char* title = nullptr) {
    // Without a frame, so that the picture's edges are the colour too.
    HWND hwnd = capturetest::CreateFilledWindow(colour, 40, 40, width, height, SW_SHOWNOACTIVATE, 0, WS_POPUP);
    if (title) ::SetWindowTextA(hwnd, title);
    m_windows.push_back(hwnd);
    return hwnd;
  }

  // A client pixel of the panel as it is on screen after painting.
  COLORREF PanelPixel(int x, int y) {
    ::UpdateWindow(m_hWnd);
    HDC dc = ::GetDC(m_hWnd);
    COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(m_hWnd, dc);
    return colour;
  }

  uitest::GdiOwnerBalance m_gdi;  // made before the view, checked once everything is gone
  HWND m_parent = nullptr;
  std::unique_ptr<CCptViewDlg> m_view;
  HWND m_hWnd = nullptr;
  std::vector<HWND> m_windows;
};

TEST_F(CaptureViewTest, DrawsThePictureAtTenSeventyUnscaledOrFittedAndKeepsItForADeadTarget) {
  const struct {
    int id;
    const char* caption;
  } buttons[] = {{IDC_CPT_PRINTWINDOW, "PrintWindow"},       {IDC_CPT_SURFACECAPTURE, "SurfaceCapture"},
                 {IDC_CPT_ICONICCAPTURE, "IconicCapture"},   {IDC_CPT_HIDECAPTURE, "HideCapture"},
                 {IDC_CPT_COPYCLIPBOARD, "Copy Clipboard"}, {IDC_CPT_SAVEPICTURE, "画像の保存"}};
  for (const auto& button : buttons) {
    EXPECT_EQ(uitest::ControlText(m_hWnd, button.id), button.caption);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(m_hWnd, button.id))) << button.caption;
  }
  EXPECT_EQ(m_view->Target(), platform::kNoTarget);

  // No target: the buttons take nothing and nothing is drawn.
  const COLORREF background = PanelPixel(5, 65);
  for (int id : {IDC_CPT_PRINTWINDOW, IDC_CPT_SURFACECAPTURE, IDC_CPT_ICONICCAPTURE, IDC_CPT_HIDECAPTURE})
    uitest::Click(m_hWnd, id);
  EXPECT_EQ(m_view->Picture().bitmap, nullptr);
  EXPECT_EQ(m_view->Picture().width, 0);
  EXPECT_EQ(PanelPixel(60, 110), background);

  // Small: pixel for pixel from (10, 70).
  m_view->SetTarget(Target(kRed, 120, 80));
  EXPECT_EQ(m_view->Picture().width, 120);
  EXPECT_EQ(m_view->Picture().height, 80);
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 40), kRed);
  EXPECT_EQ(PanelPixel(10 + 119, 70 + 79), kRed);
  EXPECT_EQ(PanelPixel(10 + 121, 70 + 40), background);
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 81), background);
  EXPECT_EQ(PanelPixel(8, 72), background);

  // Large: fitted into 300 x 200 (600 x 800 is drawn 150 x 200). The window grows after the
  // hand-over's picture, so only the button's own capture shows it at that size.
  HWND large = Target(kGreen, 300, 100);
  m_view->SetTarget(large);
  ASSERT_EQ(m_view->Picture().height, 100);
  ::SetWindowPos(large, nullptr, 0, 0, 600, 800, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Its bottom right quarter blue: shrunk, not cut, the blue is in the drawn picture's corner.
  capturetest::MarkRect(large, RECT{300, 400, 600, 800}, kBlue);
  uitest::Click(m_hWnd, IDC_CPT_PRINTWINDOW);
  EXPECT_EQ(m_view->Picture().height, 800);
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 80), kGreen);
  EXPECT_EQ(PanelPixel(10 + 140, 70 + 190), kBlue);
  EXPECT_EQ(PanelPixel(10 + 152, 70 + 100), background);
  EXPECT_EQ(PanelPixel(10 + 75, 70 + 202), background);

  // A target closed since: the picture stays and the panel is not repainted.
  HWND closed = Target(kBlue, 50, 50);
  ::DestroyWindow(closed);
  HBITMAP kept = m_view->Picture().bitmap.get();
  ::UpdateWindow(m_hWnd);
  m_view->SetTarget(closed);
  EXPECT_FALSE(::GetUpdateRect(m_hWnd, nullptr, FALSE));
  EXPECT_EQ(m_view->Picture().bitmap.get(), kept);
  // A button press with it repaints the old picture.
  uitest::Click(m_hWnd, IDC_CPT_PRINTWINDOW);
  EXPECT_TRUE(::GetUpdateRect(m_hWnd, nullptr, FALSE));
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 80), kGreen);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  ::GetObjectA(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

TEST_F(CaptureViewTest, ClipboardGetsACopyOfItsOwnAndNothingWithoutAPicture) {
  ASSERT_TRUE(::OpenClipboard(m_hWnd));
  ::EmptyClipboard();
  HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 4);
  lstrcpyA(static_cast<char*>(::GlobalLock(text)), "old");
  ::GlobalUnlock(text);
  ::SetClipboardData(CF_TEXT, text);
  ::CloseClipboard();

  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT)) << "the clipboard was not emptied";

  m_view->SetTarget(Target(kRed, 120, 80));
  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  m_view->SetTarget(Target(kBlue, 200, 100));
  ASSERT_EQ(m_view->Picture().width, 200);

  ASSERT_TRUE(::OpenClipboard(m_hWnd));
  HBITMAP copy = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, m_view->Picture().bitmap.get());
  SIZE size = BitmapSize(copy);
  EXPECT_EQ(size.cx, 120);
  EXPECT_EQ(size.cy, 80);
  EXPECT_EQ(capturetest::PixelOf(copy, 60, 40), kRed);
  ::CloseClipboard();
  EXPECT_EQ(capturetest::PixelOf(m_view->Picture().bitmap.get(), 100, 50), kBlue);
}

// Pixels of a bitmap as 32-bit BGRX rows from the top, the unused byte cleared.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, LONG width, LONG height) {
  std::vector<DWORD> pixels(static_cast<size_t>(width * height));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = ::GetDC(nullptr);
  ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  for (DWORD& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

// A picture file read back through the imaging component, in the same layout; empty on failure.
std::vector<DWORD> FilePixels(const std::wstring& path, UINT* width, UINT* height) {
  platform::CComScope com;
  platform::CComRef<IWICImagingFactory> factory;
  platform::CComRef<IWICBitmapDecoder> decoder;
  platform::CComRef<IWICBitmapFrameDecode> frame;
  platform::CComRef<IWICFormatConverter> converter;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.OutVoid())) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(width, height)) ||
      FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    return {};
  std::vector<DWORD> pixels(static_cast<size_t>(*width) * *height);
  if (FAILED(converter->CopyPixels(nullptr, *width * 4, static_cast<UINT>(pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(pixels.data()))))
    return {};
  for (DWORD& pixel : pixels) pixel &= 0x00FFFFFF;
  return pixels;
}

std::string FileStart(const std::wstring& path, size_t count) {
  std::string bytes(count, '\0');
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  DWORD read = 0;
  ::ReadFile(file, &bytes[0], static_cast<DWORD>(count), &read, nullptr);
  ::CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// The names in a folder, sorted, as the file system holds them (UTF-16).
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (lstrcmpW(found.cFileName, L".") && lstrcmpW(found.cFileName, L"..")) names.push_back(found.cFileName);
  } while (::FindNextFileW(find, &found));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

// A new empty folder for one test's files.
std::wstring NewFolder() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"quorvel-save-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(::GetTickCount());
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// Plays a disk that fills up after half of the file.
BOOL WINAPI WriteHalfThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
  ::WriteFile(file, data, size / 2, written, nullptr);
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// Another program holding the clipboard: a short hold is waited out, a long one is reported in
// a box of the panel's own instead of copying nothing in silence.
TEST_F(CaptureViewTest, ClipboardHeldByAnotherProgramIsWaitedForThenReported) {
  e2e::FixtureClient other;
  ASSERT_TRUE(other.Start());
  uitest::MessageBoxRecorder boxes;
  m_view->SetTarget(Target(kRed, 120, 80));
  ASSERT_EQ(other.Command("clipboard ms=400").value, 1);
  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));

  ASSERT_TRUE(::OpenClipboard(m_hWnd));
  ::EmptyClipboard();
  ::CloseClipboard();
  ASSERT_EQ(other.Command("clipboard ms=5000").value, 1);
  const DWORD start = ::GetTickCount();
  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  EXPECT_LT(::GetTickCount() - start, 1000u);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "クリップボードは他のプログラムが使用中です。");
  EXPECT_EQ(boxes.Boxes()[0].owner, m_hWnd);
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
  other.Quit();
}

TEST_F(CaptureViewTest, SavesPngAndBmpThatReadBackWithTheSamePixels) {
  uitest::MessageBoxRecorder boxes;
  std::vector<platform::SaveFileRequest> requests;
  std::vector<platform::SaveFileChoice> answers;
  platform::SaveFileDialogHook previous = platform::SetSaveFileDialogHook(
      [&](HWND owner, const platform::SaveFileRequest& request) -> std::optional<platform::SaveFileChoice> {
        EXPECT_EQ(owner, m_hWnd);
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        platform::SaveFileChoice answer = answers.front();
        answers.erase(answers.begin());
        return answer;
      });

  // Without a picture the button does nothing.
  uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  EXPECT_TRUE(requests.empty());

  // Stripes, so that a picture turned over or shifted does not compare equal.
  HWND target = Target(kRed, 90, 70, "shot: a/b");
  m_view->SetTarget(target);
  {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, m_view->Picture().bitmap.get());
    RECT stripe = {0, 0, 90, 10};
    HBRUSH blue = ::CreateSolidBrush(kBlue);
    ::FillRect(dc, &stripe, blue);
    ::DeleteObject(blue);
    ::SetPixel(dc, 89, 69, RGB(1, 2, 3));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
  }
  const std::vector<DWORD> expected = BitmapPixels(m_view->Picture().bitmap.get(), 90, 70);

  const std::wstring folder = NewFolder();
  const std::wstring png = folder + L"\\picture.png";
  const std::wstring bmp = folder + L"\\picture";  // no extension: the selected type decides
  answers = {{png, 2}, {bmp, 2}, {png, 1}};
  for (int i = 0; i < 3; ++i) uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[0].fileName == L"shot_ a_b");
  EXPECT_EQ(requests[0].filterIndex, 1u);
  EXPECT_TRUE(requests[0].defaultExtension == L"png");
  EXPECT_TRUE(requests[0].filter == std::wstring(L"PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0", 36));
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;

  EXPECT_EQ(FileStart(png, 4), "\x89PNG");
  EXPECT_EQ(FileStart(bmp, 2), "BM");
  for (const std::wstring& path : {png, bmp}) {
    UINT width = 0;
    UINT height = 0;
    std::vector<DWORD> read = FilePixels(path, &width, &height);
    EXPECT_EQ(width, 90u);
    EXPECT_EQ(height, 70u);
    EXPECT_TRUE(read == expected) << "the pixels differ";
  }
  // Written over the existing file, with nothing left besides.
  EXPECT_TRUE(FilesIn(folder) == (std::vector<std::wstring>{L"picture", L"picture.png"}));

  // Names beyond code page 932 are the names on disk; a look-alike that exists stays as it was,
  // and Japanese names keep working.
  const std::wstring accented = L"Caf\u00e9.png", plain = L"Cafe.png", korean = L"\ud55c\uae00 \U0001F600.png";
  ASSERT_TRUE(::CopyFileW(bmp.c_str(), (folder + L"\\" + plain).c_str(), TRUE));
  answers = {{folder + L"\\" + accented, 1}, {folder + L"\\" + korean, 1}, {folder + L"\\\u65e5\u672c.png", 1}};
  for (int i = 0; i < 3; ++i) uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
  EXPECT_TRUE(FilesIn(folder) ==
              (std::vector<std::wstring>{plain, accented, L"picture", L"picture.png", L"\u65e5\u672c.png", korean}));
  EXPECT_EQ(FileStart(folder + L"\\" + plain, 2), "BM");
  EXPECT_EQ(FileStart(folder + L"\\" + korean, 4), "\x89PNG");

  // A disk that fills up half-way: the reason, the file as it was, and no temporary file left.
  const platform::FileWriteCall system = platform::SetFileWriteCall(&WriteHalfThenFail);
  answers = {{png, 2}};
  uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  platform::SetFileWriteCall(system);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "画像を保存できませんでした。\r\nディスクの空き領域が足りません。");
  EXPECT_EQ(FileStart(png, 4), "\x89PNG");
  EXPECT_EQ(FilesIn(folder).size(), 6u);

  // A folder that does not exist, and a name taken by a folder: the reason, and no file.
  const std::wstring missing = folder + L"\\missing\\picture.png";
  const std::wstring taken = folder + L"\\taken";
  ASSERT_TRUE(::CreateDirectoryW(taken.c_str(), nullptr));
  answers = {{missing, 1}, {taken, 1}};
  uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  for (const auto& box : boxes.Boxes()) {
    EXPECT_EQ(box.owner, m_hWnd);
    EXPECT_EQ(box.caption, platform::AppName());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    const std::string lead = "画像を保存できませんでした。\r\n";
    EXPECT_EQ(box.text.compare(0, lead.size(), lead), 0) << box.text;
    EXPECT_GT(box.text.size(), lead.size()) << "no reason given";
  }
  EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(::GetFileAttributesW(taken.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(FilesIn(taken).empty());
  EXPECT_EQ(FilesIn(folder).size(), 7u);

  platform::SetSaveFileDialogHook(std::move(previous));
  for (const std::wstring& name : FilesIn(folder)) ::DeleteFileW((folder + L"\\" + name).c_str());
  ::RemoveDirectoryW(taken.c_str());
  ::RemoveDirectoryW(folder.c_str());
}

// A window too large for any bitmap: the picture keeps its size without a bitmap, and drawing,
// copying and saving do nothing with it.
TEST_F(CaptureViewTest, APictureWithoutABitmapIsNeitherDrawnCopiedNorSaved) {
  int dialogs = 0;
  platform::SaveFileDialogHook previous = platform::SetSaveFileDialogHook(
      [&](HWND, const platform::SaveFileRequest&) -> std::optional<platform::SaveFileChoice> {
        ++dialogs;
        return std::nullopt;
      });
  // Hidden and small when handed over; grown afterwards, so only the button's capture sees it.
  HWND huge = capturetest::CreateFilledWindow(kRed, 0, 0, 120, 80, SW_HIDE, 0, WS_POPUP);
  m_windows.push_back(huge);
  const COLORREF background = PanelPixel(5, 65);
  m_view->SetTarget(huge);
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 40), kRed);
  ::SetWindowPos(huge, nullptr, 0, 0, 30000, 30000, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  uitest::Click(m_hWnd, IDC_CPT_PRINTWINDOW);
  ASSERT_GE(m_view->Picture().width, 20000) << "the system would not make so large a window";
  EXPECT_EQ(m_view->Picture().bitmap, nullptr);
  EXPECT_EQ(PanelPixel(10 + 60, 70 + 40), background);
  uitest::Click(m_hWnd, IDC_CPT_COPYCLIPBOARD);
  EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP));
  uitest::Click(m_hWnd, IDC_CPT_SAVEPICTURE);
  EXPECT_EQ(dialogs, 0);
  platform::SetSaveFileDialogHook(std::move(previous));
}

}  // namespace
