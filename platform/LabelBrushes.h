// The colours of the panels' labels: a value on light yellow, and a tri-state flag on green
// when it holds (1), on red when it does not (0) and as a value while it is unknown (-1).
#pragma once
#include <windows.h>

#include "platform/Handles.h"

namespace platform {

enum class LabelBrush { Default, Panel, Value, True, False };

// The brush of a tri-state flag label.
inline LabelBrush FlagBrush(int state) {
  if (state == 1) return LabelBrush::True;
  if (state == 0) return LabelBrush::False;
  return LabelBrush::Value;
}

// The label brushes a panel owns; a panel derives from it privately.
class CLabelBrushes {
 public:
  CLabelBrushes()
      : m_brValue(MakeSolidBrush(RGB(255, 255, 180))),
        m_brTrue(MakeSolidBrush(RGB(0, 255, 0))),
        m_brFalse(MakeSolidBrush(RGB(255, 0, 0))) {}

  // The brush of a label kind; fallback for the kinds these brushes do not paint.
  HBRUSH LabelBrushOf(LabelBrush kind, HBRUSH fallback) const {
    switch (kind) {
      case LabelBrush::Value:
        return m_brValue.get();
      case LabelBrush::True:
        return m_brTrue.get();
      case LabelBrush::False:
        return m_brFalse.get();
      default:
        return fallback;
    }
  }

 protected:
  UniqueBrush m_brValue;
  UniqueBrush m_brTrue;
  UniqueBrush m_brFalse;
};

}  // namespace platform
