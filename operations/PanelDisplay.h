// What the operations panel shows for its target: the label texts, the colour of each
// label, which flag labels need repainting, and where its icon comes from.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/LabelBrushes.h"

// The four flags of a target: 1 true, 0 false, -1 no valid target.
struct TargetFlags {
  int enabled = -1;
  int visible = -1;
  int iconic = -1;
  int zoomed = -1;
};

// What one refresh read from the target; absent when the target is not a window.
struct TargetState {
  RECT window{};
  DWORD style = 0;
  DWORD exStyle = 0;
  // Absent when GetWindowPlacement failed.
  std::optional<WINDOWPLACEMENT> placement;
  TargetFlags flags;
};

// Texts of the value labels, by control id.
struct PanelTexts {
  std::string top, bottom, left, right;
  std::string style, exStyle;
  std::string normalTop, normalLeft, normalBottom, normalRight;
  std::string minX, minY, maxX, maxY;
};

// The texts for a target; "0" and "0x00000000" when there is none, "0" for the placement
// labels when the placement could not be read.
PanelTexts FormatPanelTexts(const std::optional<TargetState>& state);

// The four flags as their labels: enabled, visible, iconic, zoomed.
platform::FlagLabels<4> FlagLabelsOf(const TargetFlags& flags);

using PanelBrush = platform::LabelBrush;

// The background of a static control of the panel by its id.
PanelBrush StaticBrush(int controlId, const TargetFlags& flags);

// Where the icon of a new target comes from. bigIcon/smallIcon: what the target answered to
// WM_GETICON, absent when it did not answer (then it is not asked again).
enum class IconSource { Keep, Big, Small, File, White };
IconSource ChooseIconSource(bool noTarget, bool isWindow, std::optional<HICON> bigIcon,
                            std::optional<HICON> smallIcon);
