#include "platform/LateBound.h"

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/Handles.h"

namespace platform {
namespace {

// The libraries and entries looked up so far. Workers call through it too, hence the lock.
// Never destroyed: a worker may still call through it while the process ends.
class LateBindings {
 public:
  FARPROC Entry(const char* library, const char* entry) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto key = std::make_pair(std::string(library), std::string(entry));
    auto known = m_entries.find(key);
    if (known != m_entries.end()) return known->second;
    auto loaded = m_libraries.find(key.first);
    if (loaded == m_libraries.end())
      loaded = m_libraries.emplace(key.first, UniqueModule(::LoadLibraryA(library))).first;
    const FARPROC proc = loaded->second ? ::GetProcAddress(loaded->second.get(), entry) : nullptr;
    m_entries.emplace(key, proc);
    return proc;
  }

 private:
  std::mutex m_mutex;
  std::map<std::string, UniqueModule> m_libraries;
  std::map<std::pair<std::string, std::string>, FARPROC> m_entries;
};

}  // namespace

FARPROC LateBoundEntry(const char* library, const char* entry) {
  static LateBindings* bindings = new LateBindings;
  return bindings->Entry(library, entry);
}

}  // namespace platform
