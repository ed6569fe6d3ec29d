// Every message box of the program goes through ShowMessageBox, so tests can answer them.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace platform {

using MessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;

// Replaces the system's message box (tests); an empty hook restores it. Returns the old hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// A panel's own box: owned by the panel, OK only, no icon, captioned with the application name.
int PanelMessageBox(HWND panel, const std::string& text);

// The application's box, owned by the main window: OK with the exclamation icon.
int AppMessageBox(const std::string& text);

// The application's Yes/No box with the question icon; true only for Yes.
bool AppConfirm(const std::string& text);

}  // namespace platform
