#include "operations/PanelDisplay.h"

#include "platform/Format.h"
#include "res/resource.h"

using platform::FormatHex32;
using platform::FormatInt;

PanelTexts FormatPanelTexts(const std::optional<TargetState>& state) {
  PanelTexts texts;
  const std::string zero = "0";
  texts.top = texts.bottom = texts.left = texts.right = zero;
  texts.normalTop = texts.normalLeft = texts.normalBottom = texts.normalRight = zero;
  texts.minX = texts.minY = texts.maxX = texts.maxY = zero;
  texts.style = texts.exStyle = FormatHex32(0);
  if (!state) return texts;

  texts.top = FormatInt(state->window.top);
  texts.bottom = FormatInt(state->window.bottom);
  texts.left = FormatInt(state->window.left);
  texts.right = FormatInt(state->window.right);
  texts.style = FormatHex32(state->style);
  texts.exStyle = FormatHex32(state->exStyle);
  if (state->placement) {
    const WINDOWPLACEMENT& wp = *state->placement;
    texts.normalTop = FormatInt(wp.rcNormalPosition.top);
    texts.normalLeft = FormatInt(wp.rcNormalPosition.left);
    texts.normalBottom = FormatInt(wp.rcNormalPosition.bottom);
    texts.normalRight = FormatInt(wp.rcNormalPosition.right);
    texts.minX = FormatInt(wp.ptMinPosition.x);
    texts.minY = FormatInt(wp.ptMinPosition.y);
    texts.maxX = FormatInt(wp.ptMaxPosition.x);
    texts.maxY = FormatInt(wp.ptMaxPosition.y);
  }
  return texts;
}

platform::FlagLabels<4> FlagLabelsOf(const TargetFlags& flags) {
  return {{{IDC_OP_ENABLED, flags.enabled},
           {IDC_OP_VISIBLE, flags.visible},
           {IDC_OP_ICONIC, flags.iconic},
           {IDC_OP_ZOOMED, flags.zoomed}}};
}

PanelBrush StaticBrush(int controlId, const TargetFlags& flags) {
  if (const std::optional<PanelBrush> flag = platform::FlagLabelBrush(controlId, FlagLabelsOf(flags))) return *flag;
  switch (controlId) {
    case IDC_OP_TOP:
    case IDC_OP_LEFT:
    case IDC_OP_RIGHT:
    case IDC_OP_BOTTOM:
    case IDC_OP_STYLE:
    case IDC_OP_EXSTYLE:
    case IDC_OP_NOR_TOP:
    case IDC_OP_NOR_LEFT:
    case IDC_OP_NOR_BOTTOM:
    case IDC_OP_NOR_RIGHT:
    case IDC_OP_MIN_X:
    case IDC_OP_MIN_Y:
    case IDC_OP_MAX_X:
    case IDC_OP_MAX_Y:
      return PanelBrush::Value;
    default:
      return PanelBrush::Default;
  }
}

IconSource ChooseIconSource(bool noTarget, bool isWindow, std::optional<HICON> bigIcon,
                            std::optional<HICON> smallIcon) {
  if (noTarget) return IconSource::Keep;
  if (!isWindow) return IconSource::White;
  if (bigIcon && *bigIcon) return IconSource::Big;
  if (smallIcon && *smallIcon) return IconSource::Small;
  return IconSource::File;
}
