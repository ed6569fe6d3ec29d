#include "inspector/ChildReport.h"

#include <cwchar>

namespace inspector {

namespace {
// The columns whose cells are flags.
constexpr size_t kVisibleColumn = 5;
constexpr size_t kEnableColumn = 6;
}  // namespace

std::wstring ChildReport(const platform::CsvRow& headings, const platform::CsvRow& cells,
                         const std::optional<ChildLiveState>& live) {
  std::wstring report;
  for (size_t i = 0; i < cells.size(); ++i) {
    const bool flag = i == kVisibleColumn || i == kEnableColumn;
    report += (i < headings.size() ? headings[i] : std::wstring()) + L": " +
              (flag && cells[i].empty() ? L"FALSE" : cells[i]) + L"\r\n";
  }
  if (!live) return report + L"(このウィンドウはもうありません)\r\n";
  wchar_t line[160];
  std::swprintf(line, 160, L"GetWindowRect(): left=%ld, top=%ld, right=%ld, bottom=%ld\r\n", live->window.left,
                live->window.top, live->window.right, live->window.bottom);
  report += line;
  std::swprintf(line, 160, L"GetClientRect(): W=%ld, H=%ld\r\n", live->client.right - live->client.left,
                live->client.bottom - live->client.top);
  report += line;
  std::swprintf(line, 160, L"Style: 0x%08lx\r\nStyleEx: 0x%08lx\r\n", static_cast<unsigned long>(live->style),
                static_cast<unsigned long>(live->exStyle));
  return report + line;
}

}  // namespace inspector
