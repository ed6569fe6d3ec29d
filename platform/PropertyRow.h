// A row of a view that lists a thing's properties (the properties and accessibility views):
// its item, its value as shown, and for a view with groups the group it stands in and the window
// it names. The same rows are shown and copied: "項目<TAB>値" a line (CopiedRow).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/RowCopy.h"

namespace platform {

struct PropertyRow {
  std::wstring item;
  std::wstring value;
  int group = 0;
  HWND related = nullptr;  // a row that names another window
};

inline std::wstring RowsAsText(const std::vector<PropertyRow>& rows) {
  std::wstring text;
  for (const PropertyRow& row : rows) text += CopiedRow({row.item, row.value});
  return text;
}

}  // namespace platform
