// qv capture: a window's picture to a PNG or BMP file, by the capture view's methods and its
// automatic choice (capture/WindowCapture.h), written whole or not at all.
#include <memory>

#include "capture/PictureFile.h"
#include "capture/WindowCapture.h"
#include "cli/Command.h"
#include "cli/WindowNaming.h"
#include "platform/Format.h"
#include "platform/MessageBox.h"
#include "platform/Messaging.h"
#include "platform/WideText.h"
#include "platform/WindowCalls.h"

namespace cli {
namespace {

struct CaptureOptions {
  WindowName window;
  std::string file;
  std::string method = "auto";
  OutputOptions output;
};

using Method = void (*)(HWND owner, HWND target, WindowPicture& picture);

// The method by its name; null for auto.
bool MethodNamed(const std::string& name, Method* method) {
  static const std::pair<const char*, Method> kMethods[] = {
      {"auto", nullptr},
      {"print", &PrintWindowCapture},
      {"screen", &SurfaceCapture},
      {"surface", &SurfaceCapture},
      {"iconic", &IconicCapture},
      {"hidden", &HideCapture},
  };
  for (const auto& [known, function] : kMethods)
    if (name == known) {
      *method = function;
      return true;
    }
  return false;
}

int Capture(const CaptureOptions& options) {
  Method method = nullptr;
  if (!MethodNamed(options.method, &method)) {
    WriteError("--method: auto, print, screen, iconic, hidden or surface, not " + options.method.substr(0, 40));
    return kExitTrouble;
  }
  const std::wstring path = platform::WideFromUtf8(options.file);
  const size_t dot = path.find_last_of(L'.');
  const std::wstring extension = dot == std::wstring::npos ? L"" : path.substr(dot);
  if (lstrcmpiW(extension.c_str(), L".png") != 0 && lstrcmpiW(extension.c_str(), L".bmp") != 0) {
    WriteError("-o: the file's extension says the format: .png or .bmp");
    return kExitTrouble;
  }
  const capture::PictureFormat format = capture::ChosenFormat(path, capture::kPngFilterIndex);
  const NamedWindow named = ResolveWindow(options.window, options.output);
  if (!named.hwnd) return named.failure;
  const HWND hwnd = named.hwnd;

  // A window that does not answer cannot be drawn by its program: only the screen can still
  // show it, and only while it is on the screen.
  const bool answers = platform::SendMessageBounded(hwnd, WM_NULL, 0, 0, platform::kReadTimeoutMs).has_value();
  const bool onScreen = ::IsWindowVisible(hwnd) && !::IsIconic(hwnd);
  if (!answers && method == nullptr && onScreen) method = &SurfaceCapture;
  if (!answers && method != &SurfaceCapture) {
    WriteError(platform::FormatHandle(hwnd) + ": the window's program does not answer; only --method screen can copy it");
    return kExitTimedOut;
  }

  // A question the capture would ask (a layered window whose attributes cannot be read) is
  // answered no: nothing is risked without a user to ask.
  platform::MessageBoxHook old = platform::SetMessageBoxHook([](HWND, const std::string& text, const std::string&, UINT) {
    WriteError(platform::Utf8FromWide(platform::WidenAnsi(text)) + " (no)");
    return IDNO;
  });
  WindowPicture picture;
  if (method) method(nullptr, hwnd, picture);
  else AutoCapture(nullptr, hwnd, picture);
  platform::SetMessageBoxHook(std::move(old));
  // What a capture cycle changed goes back before qv ends, however long the program takes.
  if (platform::HasDeferredWindowCalls()) {
    WriteError(platform::FormatHandle(hwnd) + ": the window's program is slow; waiting to put the window back");
    platform::WaitForDeferredWindowCalls(platform::kExitGraceMs);
  }
  if (!picture.bitmap || picture.width <= 0 || picture.height <= 0) {
    WriteError(platform::FormatHandle(hwnd) + ": the window has no picture (it is not on any screen, or has no size)");
    return kExitTrouble;
  }
  const std::string failure = capture::WritePictureFile(picture.bitmap.get(), path, format);
  if (!failure.empty()) {
    WriteError(options.file + ": " + platform::Utf8FromWide(platform::WidenAnsi(failure)));
    return kExitTrouble;
  }
  if (options.output.AsJson()) {
    snapshot::Json out = snapshot::Json::object();
    out["handle"] = platform::FormatHandle(hwnd);
    out["file"] = options.file;
    out["format"] = format == capture::PictureFormat::Png ? "png" : "bmp";
    out["method"] = options.method;
    out["width"] = picture.width;
    out["height"] = picture.height;
    WriteJson(out, options.output);
  } else {
    WriteLine(platform::Format("%s: %ld x %ld", options.file.c_str(), picture.width, picture.height));
  }
  return kExitDone;
}

void AddCapture(CLI::App& command, Run& run) {
  auto options = std::make_shared<CaptureOptions>();
  AddWindowName(command, options->window);
  command.add_option("-o,--output", options->file, "The picture file: .png or .bmp")->required();
  command.add_option("--method", options->method,
                     "auto (the capture view's choice), print, screen (or surface: a copy of the screen), iconic "
                     "(a minimised window restored out of sight), hidden (a hidden window shown out of sight)");
  AddOutputOptions(command, options->output);
  run = [options] { return Capture(*options); };
}

const CommandRegistration kRegistered{{82, "capture", "A window's picture as PNG or BMP", AddCapture}};

}  // namespace
}  // namespace cli
