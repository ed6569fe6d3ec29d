// The message hook that runs inside a logged window's program. It copies each message of a
// logged window into the ring of every log that wants it, and nothing else: it never blocks,
// waits, sends a message, allocates or throws, it always calls the next hook, and without the
// shared memory of its thread (or with no log active there) it does nothing at all.
//
// Built twice from this one source, for 32-bit and for 64-bit programs.
#include <windows.h>

#include "msglog/hook/MessageRecord.h"

namespace {

using msglog::Channel;
using msglog::MessageRecord;
using msglog::SharedLog;

// What the hook keeps of one thread: the view of the thread's shared memory (null while there
// is none), which memory it is, and when to look its name up again. Entries live in a fixed
// table, so the hook never allocates; a thread that finds the table full is not logged.
struct ThreadView {
  volatile LONG threadId;  // 0: the entry is free
  SharedLog* view;
  uint64_t instance;
  DWORD lastLookup;  // GetTickCount
  bool settled;      // the last lookup found a whole memory under the name
};
constexpr int kMaxThreads = 256;
ThreadView g_threads[kMaxThreads];

// Per thread: its ThreadView, and whether this hook is already on the thread's stack for the
// message at hand (a second installation of it by another log must not record it again).
DWORD g_viewSlot = TLS_OUT_OF_INDEXES;
DWORD g_nestedSlot = TLS_OUT_OF_INDEXES;

// How often the name is looked up again: a memory whose logs were all given up (or none at
// all) at once, though at most every few milliseconds; a memory in use now and then, which
// notices a memory made anew by a Quorvel that replaced one that died.
constexpr DWORD kRetryMs = 2;
constexpr DWORD kRecheckMs = 100;

void WriteDecimal(wchar_t* out, DWORD value) {
  wchar_t digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value);
  while (count) *out++ = digits[--count];
  *out = 0;
}

void Unmap(ThreadView& thread) {
  if (thread.view) ::UnmapViewOfFile(thread.view);
  thread.view = nullptr;
  thread.instance = 0;
}

// Opens the thread's shared memory by its name and keeps it when it is another memory than the
// one held; a name that is gone lets the held memory go too, since no Quorvel reads it.
void LookUp(ThreadView& thread, DWORD now) {
  wchar_t name[64];
  int length = 0;
  for (const wchar_t* p = msglog::kSharedMemoryPrefix; *p; ++p) name[length++] = *p;
  WriteDecimal(name + length, ::GetCurrentThreadId());
  HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
  thread.lastLookup = now;
  thread.settled = false;
  if (!mapping) {
    Unmap(thread);
    return;
  }
  bool settled = false;
  // The header alone first: most lookups find the memory already held.
  if (const SharedLog* head = static_cast<const SharedLog*>(
          ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, offsetof(SharedLog, channels)))) {
    const bool whole = head->magic.load(std::memory_order_acquire) == msglog::kSharedMagic &&
                       head->version == msglog::kSharedVersion;
    const uint64_t instance = head->instance;
    ::UnmapViewOfFile(const_cast<SharedLog*>(head));
    settled = whole;
    if (whole && (!thread.view || instance != thread.instance)) {
      if (void* mapped = ::MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedLog))) {
        Unmap(thread);
        thread.view = static_cast<SharedLog*>(mapped);
        thread.instance = instance;
      } else {
        settled = false;
      }
    }
  }
  ::CloseHandle(mapping);
  thread.settled = settled;
}

// The shared memory of the calling thread, looked up on the thread's first hook call and again
// whenever the one held may have been replaced.
SharedLog* ThreadLog() {
  if (g_viewSlot == TLS_OUT_OF_INDEXES) return nullptr;
  ThreadView* thread = static_cast<ThreadView*>(::TlsGetValue(g_viewSlot));
  const DWORD now = ::GetTickCount();
  if (!thread) {
    const LONG id = static_cast<LONG>(::GetCurrentThreadId());
    for (ThreadView& entry : g_threads) {
      if (::InterlockedCompareExchange(&entry.threadId, id, 0) == 0) {
        thread = &entry;
        break;
      }
    }
    if (!thread) return nullptr;
    thread->view = nullptr;
    thread->instance = 0;
    thread->lastLookup = now - kRecheckMs;
    thread->settled = false;
    ::TlsSetValue(g_viewSlot, thread);
  }
  const bool soon = !thread->view || !thread->settled || thread->view->givenUp.load(std::memory_order_relaxed);
  if (now - thread->lastLookup >= (soon ? kRetryMs : kRecheckMs)) LookUp(*thread, now);
  return thread->view;
}

// The thread ends: its view goes with it.
void ForgetThread() {
  if (g_viewSlot == TLS_OUT_OF_INDEXES) return;
  ThreadView* thread = static_cast<ThreadView*>(::TlsGetValue(g_viewSlot));
  if (!thread) return;
  Unmap(*thread);
  ::TlsSetValue(g_viewSlot, nullptr);
  ::InterlockedExchange(&thread->threadId, 0);
}

bool InLog(const Channel& channel, HWND hwnd) {
  if (!hwnd || !channel.active.load(std::memory_order_acquire)) return false;
  const HWND root = reinterpret_cast<HWND>(static_cast<UINT_PTR>(channel.root.load(std::memory_order_relaxed)));
  if (hwnd == root) return true;
  return channel.children.load(std::memory_order_relaxed) && ::IsChild(root, hwnd);
}

// Copies what a parameter points to, page by page while it can be read, and returns the bytes
// copied. The sender may have passed anything, so memory is read directly only where
// VirtualQuery vouches for it, and never where it reports a guard page or no access (reading a
// guard page, even through the system, would take the guard off a thread's stack). Where it
// reports nothing committed the system copies it (ReadProcessMemory on this process fails
// instead of faulting): Wine keeps some of what it hands the target's hooks, a WINDOWPOS among
// them, in memory VirtualQuery does not report.
SIZE_T CopyReadable(void* to, const void* from, SIZE_T size) {
  constexpr UINT_PTR kPage = 4096;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  SIZE_T done = 0;
  while (from && done < size) {
    const char* at = static_cast<const char*>(from) + done;
    SIZE_T chunk = kPage - (reinterpret_cast<UINT_PTR>(at) & (kPage - 1));
    if (chunk > size - done) chunk = size - done;
    char* out = static_cast<char*>(to) + done;
    MEMORY_BASIC_INFORMATION info;
    const bool known = ::VirtualQuery(at, &info, sizeof(info)) != 0;
    if (known && info.State == MEM_COMMIT && (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) break;
    if (known && info.State == MEM_COMMIT && (info.Protect & readable)) {
      for (SIZE_T i = 0; i < chunk; ++i) out[i] = at[i];
    } else {
      SIZE_T read = 0;
      if (!::ReadProcessMemory(::GetCurrentProcess(), at, out, chunk, &read) || read != chunk) break;
    }
    done += chunk;
  }
  return done;
}

// Copies the text at address: UTF-16 for a Unicode window (the system hands a hook the
// window's own character set), else code-page bytes; up to count characters, or to its end
// when count is -1.
void CopyText(MessageRecord& record, const void* address, bool wide, long long count) {
  const SIZE_T unit = wide ? 2 : 1;
  const SIZE_T maxChars = wide ? msglog::kMaxTextChars : msglog::kMaxTextChars * 2;
  SIZE_T limit = CopyReadable(record.narrowText, address, maxChars * unit) / unit;
  if (count >= 0 && static_cast<unsigned long long>(count) < limit) limit = static_cast<SIZE_T>(count);
  SIZE_T length = 0;
  if (wide) {
    while (length < limit && record.wideText[length]) ++length;
  } else {
    // Up to kMaxTextChars characters, a double-byte character taken whole or not at all.
    const char* text = record.narrowText;
    for (uint32_t chars = 0; chars < msglog::kMaxTextChars && length < limit && text[length]; ++chars) {
      const SIZE_T size = ::IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1;
      if (length + size > limit || (size == 2 && !text[length + 1])) break;
      length += size;
    }
  }
  record.payloadKind = msglog::kText;
  record.textLength = static_cast<uint32_t>(length);
  if (wide) record.flags |= msglog::kTextWide;
}

// The parts of a message that point into the target, copied while they are valid.
// Copies the structure a parameter points to, when all of it can be read, and lets fill take
// its fields into the record as a payload of that kind.
template <class Struct, class Fill>
void CopyStruct(MessageRecord& record, const void* pointer, uint8_t kind, Fill fill) {
  Struct value;
  if (CopyReadable(&value, pointer, sizeof(value)) != sizeof(value)) return;
  record.payloadKind = kind;
  fill(value);
}

void CopyPayload(MessageRecord& record, UINT message, LPARAM lParam, bool returned, LRESULT result) {
  const void* pointer = reinterpret_cast<const void*>(lParam);
  const bool wide = (record.flags & msglog::kUnicodeWindow) != 0;
  switch (message) {
    case WM_SETTEXT:
      if (!returned) CopyText(record, pointer, wide, -1);
      break;
    case WM_GETTEXT:
      if (returned && result > 0) CopyText(record, pointer, wide, static_cast<long long>(result));
      break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      CopyStruct<WINDOWPOS>(record, pointer, msglog::kWindowPos, [&record](const WINDOWPOS& pos) {
        record.windowPos = {reinterpret_cast<UINT_PTR>(pos.hwndInsertAfter), pos.x, pos.y, pos.cx, pos.cy, pos.flags};
      });
      break;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
      CopyStruct<STYLESTRUCT>(record, pointer, msglog::kStyles, [&record](const STYLESTRUCT& styles) {
        record.styles = {styles.styleOld, styles.styleNew};
      });
      break;
    case WM_NOTIFY:
      CopyStruct<NMHDR>(record, pointer, msglog::kNotify, [&record](const NMHDR& header) {
        record.notify = {reinterpret_cast<UINT_PTR>(header.hwndFrom), header.idFrom, header.code};
      });
      break;
  }
}

// Messages whose text or character reads differently in a Unicode window.
bool NeedsCharacterSet(UINT message) {
  switch (message) {
    case WM_SETTEXT: case WM_GETTEXT: case WM_CHAR: case WM_SYSCHAR: case WM_DEADCHAR:
    case WM_SYSDEADCHAR: case WM_IME_CHAR:
      return true;
    default:
      return false;
  }
}

void Record(SharedLog& log, uint32_t kind, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result) {
  for (Channel& channel : log.channels) {
    if (!InLog(channel, hwnd)) continue;
    msglog::WriteRecord(channel, [&](MessageRecord& record) {
      LARGE_INTEGER now;
      ::QueryPerformanceCounter(&now);
      record.kind = kind;
      record.message = message;
      record.payloadKind = msglog::kNoPayload;
      record.flags = NeedsCharacterSet(message) && ::IsWindowUnicode(hwnd) ? msglog::kUnicodeWindow : 0;
      record.textLength = 0;
      record.time = static_cast<uint64_t>(now.QuadPart);
      record.hwnd = reinterpret_cast<UINT_PTR>(hwnd);
      record.wParam = wParam;
      record.lParam = static_cast<uint64_t>(static_cast<UINT_PTR>(lParam));
      record.result = kind == msglog::kReturned ? static_cast<uint64_t>(static_cast<UINT_PTR>(result)) : 0;
      CopyPayload(record, message, lParam, kind == msglog::kReturned, result);
    });
  }
}

// Records the message unless a hook of ours is already on the stack for it (this DLL's, seen by
// a thread-local flag, or another DLL file's, seen by the flag in the thread's memory), then
// passes it on.
template <class Recorder>
LRESULT Hook(int code, WPARAM wParam, LPARAM lParam, Recorder&& recorder) {
  if (code < 0 || g_nestedSlot == TLS_OUT_OF_INDEXES) return ::CallNextHookEx(nullptr, code, wParam, lParam);
  void* const outer = ::TlsGetValue(g_nestedSlot);
  SharedLog* log = outer ? nullptr : ThreadLog();
  uint32_t chained = 0;
  if (log) {
    chained = log->inChain.load(std::memory_order_relaxed);
    if (!chained) recorder(*log);
    log->inChain.store(1, std::memory_order_relaxed);
  }
  ::TlsSetValue(g_nestedSlot, reinterpret_cast<void*>(1));
  const LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
  ::TlsSetValue(g_nestedSlot, outer);
  // The view is the one looked up above: nothing below this hook lets it go.
  if (log) log->inChain.store(chained, std::memory_order_relaxed);
  return result;
}

}  // namespace

extern "C" {

__declspec(dllexport) LRESULT CALLBACK QuorvelCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  return Hook(code, wParam, lParam, [&](SharedLog& log) {
    const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    Record(log, msglog::kSent, sent->hwnd, sent->message, sent->wParam, sent->lParam, 0);
  });
}

__declspec(dllexport) LRESULT CALLBACK QuorvelCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) {
  return Hook(code, wParam, lParam, [&](SharedLog& log) {
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    Record(log, msglog::kReturned, sent->hwnd, sent->message, sent->wParam, sent->lParam, sent->lResult);
  });
}

__declspec(dllexport) LRESULT CALLBACK QuorvelGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  return Hook(code, wParam, lParam, [&](SharedLog& log) {
    // A message only looked at (PM_NOREMOVE) is recorded when it is taken. The removal is a bit
    // of the peek's flags: read it as one, whatever else the system passes along.
    if ((wParam & PM_REMOVE) == 0) return;
    const MSG* posted = reinterpret_cast<const MSG*>(lParam);
    Record(log, msglog::kPosted, posted->hwnd, posted->message, posted->wParam, posted->lParam, 0);
  });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_viewSlot = ::TlsAlloc();
    g_nestedSlot = ::TlsAlloc();
  } else if (reason == DLL_THREAD_DETACH) {
    ForgetThread();
  } else if (reason == DLL_PROCESS_DETACH) {
    // Unloaded while the program runs on: every thread's view goes (at the process's end the
    // system takes them all).
    if (!reserved)
      for (ThreadView& thread : g_threads)
        if (thread.threadId) Unmap(thread);
    if (g_viewSlot != TLS_OUT_OF_INDEXES) ::TlsFree(g_viewSlot);
    if (g_nestedSlot != TLS_OUT_OF_INDEXES) ::TlsFree(g_nestedSlot);
  }
  return TRUE;
}

}  // extern "C"
