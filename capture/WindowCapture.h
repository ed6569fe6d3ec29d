// Pictures of windows: the four capture methods and the automatic choice among them. Shared by
// the capture view and the child-window inspector; each keeps its own target and picture and
// passes itself as owner (only for a screen-compatible device context and message boxes).
#pragma once
#include <windows.h>

#include "platform/Handles.h"

// A picture an owner keeps. An empty picture is 0 x 0 without a bitmap; a picture whose bitmap
// could not be created keeps its size but has no bitmap.
struct WindowPicture {
  LONG width = 0;
  LONG height = 0;
  platform::UniqueBitmap bitmap;
};

// user32's PrintWindow looked up by name; 0 when it does not exist.
BOOL CallPrintWindow(HWND hwnd, HDC dc, UINT flags);

// The methods. A null or dead target changes nothing. PrintWindow gets PW_RENDERFULLCONTENT
// where the system knows it; SurfaceCapture copies the part of the window on any monitor.
void PrintWindowCapture(HWND owner, HWND target, WindowPicture& picture);
void SurfaceCapture(HWND owner, HWND target, WindowPicture& picture);
void IconicCapture(HWND owner, HWND target, WindowPicture& picture);
void HideCapture(HWND owner, HWND target, WindowPicture& picture);

// Minimised: IconicCapture; visible: PrintWindowCapture, then SurfaceCapture when the printed
// picture is black in every pixel; hidden: HideCapture. False, with nothing done, when the
// target is not a live window.
bool AutoCapture(HWND owner, HWND target, WindowPicture& picture);
