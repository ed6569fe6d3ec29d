#include "RemoteTreeView.h"

#include "E2eDriver.h"

namespace e2e {
namespace {

constexpr size_t kTextChars = 1100;
constexpr size_t kTextOffset = 64;  // past the TVITEMW

}  // namespace

RemoteTreeView::RemoteTreeView(HWND tree) : m_tree(tree) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_process)
        m_remote = VirtualAllocEx(m_process, nullptr, kTextOffset + kTextChars * sizeof(wchar_t), MEM_COMMIT,
                                  PAGE_READWRITE);
}

RemoteTreeView::~RemoteTreeView() {
    if (m_remote) VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
}

HTREEITEM RemoteTreeView::Next(HTREEITEM item, UINT relation) const {
    LRESULT next = 0;
    if (!SendWithTimeout(m_tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), &next)) return nullptr;
    return reinterpret_cast<HTREEITEM>(next);
}

std::vector<HTREEITEM> RemoteTreeView::Children(HTREEITEM item) const {
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = Next(item, TVGN_CHILD); child && children.size() < 10000; child = Next(child, TVGN_NEXT))
        children.push_back(child);
    return children;
}

std::wstring RemoteTreeView::Text(HTREEITEM item) const {
    if (!m_remote || !item) return L"";
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(m_remote) + kTextOffset);
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = remoteText;
    tv.cchTextMax = static_cast<int>(kTextChars - 1);
    const wchar_t nothing = L'\0';
    if (!WriteProcessMemory(m_process, m_remote, &tv, sizeof tv, nullptr) ||
        !WriteProcessMemory(m_process, remoteText, &nothing, sizeof nothing, nullptr) ||
        !SendWithTimeout(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_remote), nullptr))
        return L"";
    std::wstring text(kTextChars, L'\0');
    if (!ReadProcessMemory(m_process, remoteText, &text[0], (kTextChars - 1) * sizeof(wchar_t), nullptr)) return L"";
    text.resize(wcslen(text.c_str()));
    return text;
}

std::vector<std::wstring> RemoteTreeView::ChildTexts(HTREEITEM item) const {
    std::vector<std::wstring> texts;
    for (HTREEITEM child : Children(item)) texts.push_back(Text(child));
    return texts;
}

HTREEITEM RemoteTreeView::FindChild(HTREEITEM parent, const std::wstring& text) const {
    for (HTREEITEM child : Children(parent))
        if (Text(child) == text) return child;
    return nullptr;
}

bool RemoteTreeView::Expand(HTREEITEM item) const {
    return SendWithTimeout(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item), nullptr);
}

bool RemoteTreeView::Select(HTREEITEM item) const {
    return SendWithTimeout(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item), nullptr);
}

}  // namespace e2e
