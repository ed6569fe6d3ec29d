// What the layered-attributes panel shows for its target and what its set dialog writes:
// the colour key taken apart and put together, the three states with the four numbers, which
// state labels need repainting, and the colour of each label.
#pragma once
#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/LabelBrushes.h"

namespace layered {

// The red, green and blue bytes of a colour key (bits 0-7, 8-15 and 16-23).
struct ColorKeyParts {
  BYTE r;
  BYTE g;
  BYTE b;
};

ColorKeyParts UnpackColorKey(COLORREF colorKey);
// r + g * 256 + b * 65536.
COLORREF PackColorKey(BYTE r, BYTE g, BYTE b);

// What GetLayeredWindowAttributes reports.
struct LayeredAttributes {
  COLORREF colorKey;
  BYTE alpha;
  DWORD flags;
};

// The three states of the panel: 1 on, 0 off, -1 no valid target.
struct LayeredStates {
  int layered = -1;
  int colorKey = -1;
  int alpha = -1;
};

// The panel's view of its target after one refresh. values: the texts of the R, G, B and
// Alpha labels, or absent when the labels keep what they show.
struct LayeredView {
  LayeredStates states;
  std::optional<std::array<std::string, 4>> values;
};

// validTarget: the target is a live window. exStyle: its extended style. attributes: what
// GetLayeredWindowAttributes read, absent when it failed (or was not asked).
LayeredView DescribeLayered(bool validTarget, DWORD exStyle, const std::optional<LayeredAttributes>& attributes);

// The three states as their labels: layered, colour key, alpha.
platform::FlagLabels<3> StateLabelsOf(const LayeredStates& states);

using LayeredBrush = platform::LabelBrush;

// The background of a static control of the panel by its id. A state not read yet (-1)
// shows as "no target" even when a live target has just arrived.
LayeredBrush LayeredStaticBrush(int controlId, const LayeredStates& states, bool validTarget);

// What the set dialog opens with: the window's attributes when they could be read, otherwise
// white (0xFFFFFF) as colour key, alpha 255 and no flags.
LayeredAttributes SetDialogPresets(const std::optional<LayeredAttributes>& read);

// What the set dialog's OK writes: the two boxes and the four spin positions, of which only the
// low 8 bits count.
LayeredAttributes SetDialogResult(bool colorKeyTicked, bool alphaTicked, int redPos, int greenPos, int bluePos,
                                  int alphaPos);

}  // namespace layered
