#include "RemoteTreeView.h"

#include <cstring>

#include "E2eDriver.h"

namespace e2e {

namespace {
constexpr size_t kTextOffset = 256;
constexpr int kTextChars = 1100;  // past the longest text a test reads (the views bound theirs to 1024)
constexpr size_t kRemoteSize = kTextOffset + kTextChars * sizeof(wchar_t);
}  // namespace

RemoteTreeView::RemoteTreeView(HWND tree) : m_tree(tree) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    if (!pid) return;
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!m_process) return;
    m_remote = VirtualAllocEx(m_process, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
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

bool RemoteTreeView::Read(HTREEITEM item, RemoteTreeItem* read) const {
    if (!m_remote) return false;
    wchar_t* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(m_remote) + kTextOffset);
    TVITEMW tv = {};
    tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = 0xFFFF;
    tv.pszText = remoteText;
    tv.cchTextMax = kTextChars;
    const wchar_t nothing = L'\0';
    LRESULT ok = 0;
    if (!WriteProcessMemory(m_process, m_remote, &tv, sizeof tv, nullptr) ||
        !WriteProcessMemory(m_process, remoteText, &nothing, sizeof nothing, nullptr) ||
        !SendWithTimeout(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_remote), &ok) || !ok ||
        !ReadProcessMemory(m_process, m_remote, &tv, sizeof tv, nullptr)) {
        return false;
    }
    wchar_t text[kTextChars + 1] = {};
    if (!ReadProcessMemory(m_process, remoteText, text, kTextChars * sizeof(wchar_t), nullptr)) return false;
    read->item = item;
    read->text = text;
    read->state = tv.state;
    return true;
}

std::vector<RemoteTreeItem> RemoteTreeView::Items() const {
    std::vector<RemoteTreeItem> items;
    struct Level {
        HTREEITEM item;
        HTREEITEM parent;
        int depth;
    };
    std::vector<Level> stack;
    if (HTREEITEM root = Next(nullptr, TVGN_ROOT)) stack.push_back({root, nullptr, 0});
    while (!stack.empty()) {
        const Level at = stack.back();
        stack.pop_back();
        RemoteTreeItem read;
        if (!Read(at.item, &read)) return {};
        read.parent = at.parent;
        read.depth = at.depth;
        items.push_back(read);
        if (HTREEITEM next = Next(at.item, TVGN_NEXT)) stack.push_back({next, at.parent, at.depth});
        if (HTREEITEM child = Next(at.item, TVGN_CHILD)) stack.push_back({child, at.item, at.depth + 1});
    }
    return items;
}

RemoteTreeItem RemoteTreeView::Find(const std::wstring& prefix) const {
    for (const RemoteTreeItem& item : Items())
        if (item.text.compare(0, prefix.size(), prefix) == 0) return item;
    return RemoteTreeItem{};
}

std::vector<HTREEITEM> RemoteTreeView::Children(HTREEITEM item) const {
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = Next(item, TVGN_CHILD); child && children.size() < 10000; child = Next(child, TVGN_NEXT))
        children.push_back(child);
    return children;
}

std::wstring RemoteTreeView::Text(HTREEITEM item) const {
    RemoteTreeItem read;
    return item && Read(item, &read) ? read.text : std::wstring();
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

bool RemoteTreeView::Select(HTREEITEM item) const {
    return SendWithTimeout(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item), nullptr);
}

bool RemoteTreeView::Expand(HTREEITEM item) const {
    return SendWithTimeout(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item), nullptr);
}

bool RemoteTreeView::Click(HTREEITEM item) const {
    if (!m_remote) return false;
    SendWithTimeout(m_tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item), nullptr);
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item);
    LRESULT ok = 0;
    if (!WriteProcessMemory(m_process, m_remote, &rect, sizeof rect, nullptr) ||
        !SendWithTimeout(m_tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(m_remote), &ok) || !ok ||
        !ReadProcessMemory(m_process, m_remote, &rect, sizeof rect, nullptr)) {
        return false;
    }
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(m_tree, &middle);
    return ClickScreenPoint(m_tree, middle);
}

}  // namespace e2e
