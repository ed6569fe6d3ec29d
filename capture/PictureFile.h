// Saving a picture to a file: the proposed file name, the format the user chose, and the
// writing itself through the system's imaging component.
#pragma once
#include <windows.h>
#include <string>

namespace capture {

enum class PictureFormat { Png, Bmp };

// The Save As dialog's types, in this order: PNG (index 1) first, BMP (index 2).
inline constexpr char kPictureFileFilter[] = "PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0";
constexpr DWORD kPngFilterIndex = 1;
constexpr DWORD kBmpFilterIndex = 2;

// A file name from a window title (narrow text of the system's code page), without extension so
// that the type chosen in the dialog supplies it: characters a file name cannot hold become '_',
// trailing blanks and dots go, a name the system reserves for a device gets a '_' after it, an
// overlong title is cut at a character boundary, and an empty one gives "capture".
std::string ProposedFileName(const std::string& title);

// The format to write: the extension of the chosen path when it names one of the two,
// otherwise the type selected in the dialog.
PictureFormat ChosenFormat(const std::string& path, DWORD filterIndex);

// Writes the bitmap (not selected into any DC) to path in the format. The picture goes to a
// temporary file in the same folder first and replaces path only when complete, so a failure
// leaves neither a partial file nor a changed one. Returns "" on success, otherwise the reason.
// The reason names the cause a user can act on (a full disk, a folder that refuses writing, a
// name the system rejects) and gives the system's text for anything else.
std::string WritePictureFile(HBITMAP bitmap, const std::string& path, PictureFormat format);

}  // namespace capture
