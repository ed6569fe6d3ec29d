#include "layered/LayeredDisplay.h"

#include "platform/Format.h"
#include "res/resource.h"

namespace layered {

ColorKeyParts UnpackColorKey(COLORREF colorKey) {
  return {static_cast<BYTE>(colorKey & 0xFF), static_cast<BYTE>((colorKey >> 8) & 0xFF),
          static_cast<BYTE>((colorKey >> 16) & 0xFF)};
}

COLORREF PackColorKey(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) + static_cast<COLORREF>(g) * 256 + static_cast<COLORREF>(b) * 65536;
}

LayeredView DescribeLayered(bool validTarget, DWORD exStyle, const std::optional<LayeredAttributes>& attributes) {
  LayeredView view;
  if (!validTarget) return view;
  const std::array<std::string, 4> empty;
  if (!(exStyle & WS_EX_LAYERED)) {
    view.states = {0, 0, 0};
    view.values = empty;
    return view;
  }
  if (!attributes) {
    view.states = {1, 0, 0};
    view.values = empty;
    return view;
  }
  view.states.layered = 1;
  view.states.colorKey = (attributes->flags & LWA_COLORKEY) ? 1 : 0;
  view.states.alpha = (attributes->flags & LWA_ALPHA) ? 1 : 0;
  // The numbers are shown whatever the flags say.
  const ColorKeyParts parts = UnpackColorKey(attributes->colorKey);
  view.values = std::array<std::string, 4>{platform::FormatInt(parts.r), platform::FormatInt(parts.g),
                                           platform::FormatInt(parts.b), platform::FormatInt(attributes->alpha)};
  return view;
}

std::vector<int> ChangedStateLabels(const LayeredStates& before, const LayeredStates& after) {
  std::vector<int> ids;
  if (before.layered != after.layered) ids.push_back(IDC_LAYERED_LAYEREDSTATE);
  if (before.colorKey != after.colorKey) ids.push_back(IDC_LAYERED_COLORKEYSTATE);
  if (before.alpha != after.alpha) ids.push_back(IDC_LAYERED_ALPHASTATE);
  return ids;
}

namespace {
LayeredBrush StateBrush(int state, bool validTarget) {
  return validTarget ? platform::FlagBrush(state) : LayeredBrush::Value;
}
}  // namespace

LayeredBrush LayeredStaticBrush(int controlId, const LayeredStates& states, bool validTarget) {
  switch (controlId) {
    case IDC_LAYERED_LAYEREDSTATE:
      return StateBrush(states.layered, validTarget);
    case IDC_LAYERED_COLORKEYSTATE:
      return StateBrush(states.colorKey, validTarget);
    case IDC_LAYERED_ALPHASTATE:
      return StateBrush(states.alpha, validTarget);
    case IDC_LAYERED_RED:
    case IDC_LAYERED_GREEN:
    case IDC_LAYERED_BLUE:
    case IDC_LAYERED_ALPHAVALUE:
      return LayeredBrush::Value;
    default:
      return LayeredBrush::Default;
  }
}

LayeredAttributes SetDialogPresets(const std::optional<LayeredAttributes>& read) {
  if (read) return *read;
  return {0xFFFFFF, 255, 0};
}

LayeredAttributes SetDialogResult(bool colorKeyTicked, bool alphaTicked, int redPos, int greenPos, int bluePos,
                                  int alphaPos) {
  auto low8 = [](int pos) { return static_cast<BYTE>(static_cast<unsigned>(pos) & 0xFF); };
  LayeredAttributes result;
  result.colorKey = PackColorKey(low8(redPos), low8(greenPos), low8(bluePos));
  result.alpha = low8(alphaPos);
  result.flags = (colorKeyTicked ? LWA_COLORKEY : 0u) | (alphaTicked ? LWA_ALPHA : 0u);
  return result;
}

}  // namespace layered
