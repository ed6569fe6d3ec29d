#include "app/VersionText.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Format.h"

namespace app {
namespace {
char g_szVersionCache[256];
int g_nVersionFilled = 0;
char g_szModulePath[260];
}  // namespace

std::optional<std::string> ReadProductVersionText(const char* path) {
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size + 1, '\0');
  if (!::GetFileVersionInfoA(path, 0, size, block.data())) return std::nullopt;

  WORD* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
      !translation || length < 2 * sizeof(WORD))
    return std::nullopt;

  std::string key = platform::Format("%04x%04x", translation[0], translation[1]);
  std::string query = platform::Format("\\StringFileInfo\\%s\\%s", key.c_str(), "ProductVersion");
  char* value = nullptr;
  UINT valueLength = 0;
  // A missing entry leaves the value empty rather than pointing anywhere.
  if (!::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &valueLength) || !value)
    value = const_cast<char*>("");
  return platform::Format("Ver.:%s", value);
}

const char* GetVersionText() {
  if (g_nVersionFilled == 1) return g_szVersionCache;
  std::memset(g_szVersionCache, 0, sizeof(g_szVersionCache));
  ::GetModuleFileNameA(nullptr, g_szModulePath, sizeof(g_szModulePath));
  std::optional<std::string> text = ReadProductVersionText(g_szModulePath);
  if (!text) return g_szVersionCache;
  lstrcpynA(g_szVersionCache, text->c_str(), sizeof(g_szVersionCache));
  g_nVersionFilled = 1;
  return g_szVersionCache;
}

std::string FormatAboutVersion(const std::string& versionText) {
  std::string text = versionText;
  std::replace(text.begin(), text.end(), ',', '-');
  std::replace(text.begin(), text.end(), ';', '.');
  return "Tsuravi " + text;
}

}  // namespace app
