/* A program that only carries a version resource, for the version-text tests. */
#include <windows.h>
int WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) { return 0; }
