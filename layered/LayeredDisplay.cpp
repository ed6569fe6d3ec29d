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

platform::FlagLabels<3> StateLabelsOf(const LayeredStates& states) {
  return {{{IDC_LAYERED_LAYEREDSTATE, states.layered},
           {IDC_LAYERED_COLORKEYSTATE, states.colorKey},
           {IDC_LAYERED_ALPHASTATE, states.alpha}}};
}

LayeredBrush LayeredStaticBrush(int controlId, const LayeredStates& states, bool validTarget) {
  // Without a live target every state shows as unknown.
  const LayeredStates shown = validTarget ? states : LayeredStates{};
  if (const std::optional<LayeredBrush> flag = platform::FlagLabelBrush(controlId, StateLabelsOf(shown))) return *flag;
  switch (controlId) {
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
