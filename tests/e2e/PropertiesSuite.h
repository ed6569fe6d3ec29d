// What the properties view's end-to-end tests share: the fixture's windows of known
// properties, the view opened and its rows read as item -> value.
#pragma once
#include "E2eDriver.h"
#include "E2eSuite.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace e2e {

using Items = std::map<std::string, std::string>;

class PropertiesSuite : public E2eSuite {
protected:
    struct PropsWindows {
        HWND window = nullptr, child = nullptr, popup = nullptr;
    };
    PropsWindows CreatePropsWindows() {
        PropsWindows made;
        const FixtureClient::Reply reply = fixture.Command("propwin title=\"props window\" x=700 y=80");
        std::istringstream words(reply.text);
        std::string word;
        while (words >> word) {
            const size_t equals = word.find('=');
            HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoul(word.substr(equals + 1), nullptr, 16)));
            const std::string key = word.substr(0, equals);
            (key == "window" ? made.window : key == "child" ? made.child : made.popup) = hwnd;
        }
        return made;
    }
    // The view of the window once it shows, or null.
    HWND WaitForView(HWND viewed, DWORD timeoutMs = 5000) {
        const std::string caption = "プロパティ (" + HandleText(viewed) + ")";
        HWND view = nullptr;
        WaitUntil([&] {
            view = FindTopLevelWindow(quorvel.Pid(), "#32770", caption.c_str());
            return view && IsWindowVisible(view);
        }, timeoutMs);
        return view && IsWindowVisible(view) ? view : nullptr;
    }
    HWND OpenFromMainList(HWND target) {
        ClickRow(target);
        if (!PressButton(GetDlgItem(dialog, IDC_MAIN_PROPERTIES))) return nullptr;
        return WaitForView(target);
    }
    // Every row as item -> value, once the procedure row no longer says it is being read.
    Items ReadItems(HWND view) {
        Items items;
        RemoteListView list(GetDlgItem(view, IDC_PR_LIST));
        WaitUntil([&] {
            items.clear();
            for (const auto& row : list.Rows(2)) items[row[0]] = row[1];
            return items.count("ウィンドウプロシージャ") && items["ウィンドウプロシージャ"] != "読み取り中…";
        }, 5000);
        return items;
    }
    // A double-click on the row, posted to the list as the mouse would send it.
    void DoubleClickRow(HWND listWindow, int column, const std::string& text) {
        RemoteListView list(listWindow);
        const int row = list.FindRow(column, text);
        ASSERT_GE(row, 0) << "no row " << text;
        ASSERT_TRUE(list.EnsureVisible(row));
        RECT rect{};
        ASSERT_TRUE(list.ItemRect(row, &rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageA(listWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(listWindow, WM_LBUTTONUP, 0, at);
        PostMessageA(listWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(listWindow, WM_LBUTTONUP, 0, at);
    }
    // Closes the view as its close box does, and waits until it is hidden.
    bool CloseView(HWND view) {
        PostMessageA(view, WM_COMMAND, IDCANCEL, 0);
        return WaitUntil([&] { return !IsWindowVisible(view); }, 3000);
    }
    static std::string Dump(const Items& items) {
        std::string text;
        for (const auto& item : items) text += item.first + " = " + item.second + "\n";
        return text;
    }
};

}  // namespace e2e
