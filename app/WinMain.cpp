#include <windows.h>

#include "app/QuorvelApp.h"

// The one application object of the process.
static CQuorvelApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return theApp.Run(instance); }
