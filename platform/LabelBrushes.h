// The colours of the panels' labels: a value on light yellow, and a tri-state flag on green
// when it holds (1), on red when it does not (0) and as a value while it is unknown (-1).
#pragma once
#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "platform/Handles.h"

namespace platform {

enum class LabelBrush { Default, Panel, Value, True, False };

// The brush of a tri-state flag label.
inline LabelBrush FlagBrush(int state) {
  if (state == 1) return LabelBrush::True;
  if (state == 0) return LabelBrush::False;
  return LabelBrush::Value;
}

// A tri-state flag shown as a coloured label: the label's control id and the flag's state.
struct FlagLabel {
  int id;
  int state;
};

// The flag labels of one panel, in its order; readings of the same panel list the same ids.
template <std::size_t N>
using FlagLabels = std::array<FlagLabel, N>;

// The labels whose state differs between two readings, in the panel's order: only those are
// invalidated.
template <std::size_t N>
std::vector<int> ChangedFlagLabels(const FlagLabels<N>& before, const FlagLabels<N>& after) {
  std::vector<int> ids;
  for (std::size_t i = 0; i < N; ++i)
    if (before[i].state != after[i].state) ids.push_back(after[i].id);
  return ids;
}

// The brush of the label id when it is one of the flags; empty otherwise.
template <std::size_t N>
std::optional<LabelBrush> FlagLabelBrush(int id, const FlagLabels<N>& flags) {
  for (const FlagLabel& flag : flags)
    if (flag.id == id) return FlagBrush(flag.state);
  return std::nullopt;
}

// Invalidates, in the dialog, the labels whose state changed between two readings.
template <std::size_t N>
void InvalidateChangedFlagLabels(HWND dialog, const FlagLabels<N>& before, const FlagLabels<N>& after) {
  for (int id : ChangedFlagLabels(before, after)) ::InvalidateRect(::GetDlgItem(dialog, id), nullptr, TRUE);
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
