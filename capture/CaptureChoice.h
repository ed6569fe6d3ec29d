// The decisions behind a picture, as values: which part of a window the screen can give, where
// a window shown out of sight goes, which flags PrintWindow gets on this system, and whether a
// printed picture came back black.
#pragma once
#include <windows.h>

#include <cstddef>

// PrintWindow's flag that asks the system for a window drawn with DirectX or DirectComposition.
constexpr UINT kPrintRenderFullContent = 2;

// The window's rectangle clipped to the virtual screen (the rectangle around every monitor,
// which may start at negative coordinates); empty, 0 x 0 at 0,0, when it is on no monitor.
RECT ScreenPart(const RECT& virtualScreen, const RECT& window);

// Where a window the capture cycles show out of sight goes: its top-left corner at the bottom
// right of the virtual screen, so no part of it, whatever its size, is on any monitor.
POINT OffScreenOrigin(const RECT& virtualScreen);

// PrintWindow's flags on a system of the version: kPrintRenderFullContent from Windows 8.1
// (6.3) on, which knows it; 0 before.
UINT PrintFlagsFor(DWORD major, DWORD minor);

// True when every one of the 32-bit pixels is black (the unused top byte does not count); false
// for none. Stops at the first pixel with a colour.
bool AllBlack(const DWORD* pixels, std::size_t count);
