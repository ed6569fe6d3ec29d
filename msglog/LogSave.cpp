#include "msglog/LogSave.h"

#include <system_error>
#include <thread>
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
  Abandon();
  auto state = std::make_shared<State>();
  m_state = state;
  m_total = rows.Count();
  // The worker holds the state, never this object: it may outlive the dialog. It reads the
  // store and tells the dialog only under the state's gate, while the save is not abandoned.
  const auto work = [state, path, rows = std::move(rows), &store, &storeLock, notify, progressMessage, doneMessage] {
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
      for (; next < count; ++next) {
        const std::lock_guard<std::mutex> open(state->gate);
        if (state->abandoned) return false;
        const uint64_t number = rows.filtered ? rows.numbers[next] : rows.first + next;
        const std::lock_guard<std::mutex> hold(storeLock);
        if (number < store.FirstNumber()) continue;  // gone with the cap or a clearing
        const size_t index = static_cast<size_t>(number - store.FirstNumber());
        if (index >= store.Size()) return false;
        fields.resize(kColumnCount);
        for (int column = 0; column < kColumnCount; ++column)
          fields[column] = platform::WideFromUtf8(CellText(store, index, column, names));
        state->saved = ++next;
        if (next % kProgressRows == 0) ::PostMessageW(notify, progressMessage, 0, 0);
        return true;
      }
      return false;
    };
    std::string reason = platform::WriteCsvFile(path, headings, source, [&state] {
      const std::lock_guard<std::mutex> open(state->gate);
      return state->abandoned;
    });
    const std::lock_guard<std::mutex> open(state->gate);
    state->reason = std::move(reason);
    state->done = true;
    if (!state->abandoned) ::PostMessageW(notify, doneMessage, 0, 0);
  };
  try {
    std::thread(work).detach();
  } catch (const std::system_error&) {
    state->reason = "保存を始められません（スレッドを作れません）。";
    state->done = true;
    ::PostMessageW(notify, doneMessage, 0, 0);
  }
}

void CLogSave::Abandon() {
  if (!m_state) return;
  {
    const std::lock_guard<std::mutex> open(m_state->gate);
    m_state->abandoned = true;
  }
  m_state.reset();
}

bool CLogSave::Done() const { return m_state && m_state->done.load(); }

size_t CLogSave::Saved() const { return m_state ? m_state->saved.load() : 0; }

std::optional<std::string> CLogSave::Finish() {
  if (!Done()) return std::nullopt;
  std::string reason;
  {
    const std::lock_guard<std::mutex> open(m_state->gate);
    reason = m_state->reason;
  }
  m_state.reset();
  return reason;
}

}  // namespace msglog
