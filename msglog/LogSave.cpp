#include "msglog/LogSave.h"

#include <unordered_map>

#include "msglog/LogColumns.h"
#include "platform/CsvFile.h"
#include "platform/WideText.h"

namespace msglog {
namespace {

// How often progress is told, in rows.
constexpr size_t kProgressRows = 2000;

}  // namespace

void CLogSave::Start(const std::wstring& path, SavedRows rows, const CMessageStore& store, std::mutex& storeLock,
                     HWND notify, UINT progressMessage, UINT doneMessage) {
  Stop();
  m_stop = false;
  m_reason.clear();
  m_total = rows.Count();
  m_thread = std::thread([this, path, rows = std::move(rows), &store, &storeLock, notify, progressMessage, doneMessage] {
    // Names found on this thread have caches of their own: the dialog's belong to its thread.
    std::unordered_map<uint64_t, ControlKind> kinds;
    NameContext names;
    names.kindOf = [&kinds](uint64_t hwnd) {
      auto known = kinds.find(hwnd);
      if (known != kinds.end()) return known->second;
      if (kinds.size() >= 4096) kinds.clear();
      char name[64] = {};
      ::GetClassNameA(reinterpret_cast<HWND>(static_cast<UINT_PTR>(hwnd)), name, sizeof(name));
      return kinds.emplace(hwnd, ControlKindOf(name)).first->second;
    };
    names.registered = [](uint32_t message) {
      char name[256] = {};
      const int length = ::GetClipboardFormatNameA(message, name, sizeof(name));
      return std::string(name, length > 0 ? length : 0);
    };
    platform::CsvRow headings;
    for (const char* heading : kColumnHeadings) headings.push_back(platform::WidenAnsi(heading));
    size_t next = 0;
    const size_t count = rows.Count();
    const auto source = [&](platform::CsvRow& fields) {
      for (; next < count && !m_stop; ++next) {
        const uint64_t number = rows.filtered ? rows.numbers[next] : rows.first + next;
        const std::lock_guard<std::mutex> hold(storeLock);
        if (number < store.FirstNumber()) continue;  // gone with the cap or a clearing
        const size_t index = static_cast<size_t>(number - store.FirstNumber());
        if (index >= store.Size()) return false;
        fields.resize(kColumnCount);
        for (int column = 0; column < kColumnCount; ++column)
          fields[column] = platform::WideFromUtf8(CellText(store, index, column, names));
        if (++next % kProgressRows == 0) ::PostMessageW(notify, progressMessage, next, 0);
        return true;
      }
      return false;
    };
    m_reason = platform::WriteCsvFile(path, headings, source, [this] { return m_stop.load(); });
    if (!m_stop) ::PostMessageW(notify, doneMessage, 0, 0);
  });
}

void CLogSave::Stop() {
  if (!m_thread.joinable()) return;
  m_stop = true;
  m_thread.join();
}

std::string CLogSave::Finish() {
  if (m_thread.joinable()) m_thread.join();
  return m_reason;
}

}  // namespace msglog
