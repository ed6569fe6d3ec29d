#include "platform/ActionBudget.h"

#include <algorithm>

namespace platform {
namespace {

// The open budget of this thread: whether there is one and what is left of it.
struct OpenBudget {
  bool open = false;
  DWORD leftMs = 0;
};

OpenBudget& Current() {
  thread_local OpenBudget budget;
  return budget;
}

}  // namespace

CActionBudget::CActionBudget(DWORD budgetMs) {
  OpenBudget& current = Current();
  if (current.open) return;
  current.open = true;
  current.leftMs = budgetMs;
  m_bOpened = true;
}

CActionBudget::~CActionBudget() {
  if (m_bOpened) Current() = OpenBudget{};
}

DWORD CActionBudget::Bound(DWORD wantedMs) {
  const OpenBudget& current = Current();
  return current.open ? std::min(wantedMs, current.leftMs) : wantedMs;
}

void CActionBudget::Charge(DWORD elapsedMs) {
  OpenBudget& current = Current();
  if (current.open) current.leftMs -= std::min(elapsedMs, current.leftMs);
}

bool CActionBudget::Spent() {
  const OpenBudget& current = Current();
  return current.open && current.leftMs == 0;
}

CActionBudgetPause::CActionBudgetPause() : m_bOpen(Current().open), m_leftMs(Current().leftMs) {
  Current() = OpenBudget{};
}

CActionBudgetPause::~CActionBudgetPause() { Current() = OpenBudget{m_bOpen, m_leftMs}; }

}  // namespace platform
