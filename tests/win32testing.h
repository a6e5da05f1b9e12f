#pragma once

// Drives the Win32 windows in the test's own thread, as the program's message loop would.

#include "formwindow.h"
#include "widetext.h"

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace runetally::win32::testing {

inline bool quitPosted = false;

// Runs the thread's messages through the program's dispatch until none has come for a while.
inline void Pump(DWORD idleMillis = 40) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitPosted = true;
            } else {
                FormWindow::Dispatch(message);
            }
        }
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, idleMillis, QS_ALLINPUT) == WAIT_TIMEOUT) {
            return;
        }
    }
}

// A key pressed and released on the focused control, with Shift or Ctrl, or both, held if asked.
inline void Press(UINT key, UINT modifier = 0, UINT also = 0) {
    BYTE keys[256] = {};
    keys[modifier] = 0x80;
    keys[also] = also != 0 ? 0x80 : 0;
    SetKeyboardState(keys);
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
    keys[modifier] = keys[also] = 0;
    SetKeyboardState(keys);
}

// The text of a table's cell, as its list view shows it.
inline std::string ReportCell(HWND list, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
}

inline std::string Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return Narrow(text);
}

// Answers every message box of this process from a second thread while the box's own loop runs:
// notes its caption, text and number of buttons, and presses OK. No test can hang on a box.
class MessageBoxes {
public:
    MessageBoxes() : watcher_([this] { watch(); }) {}
    ~MessageBoxes() {
        stop_ = true;
        watcher_.join();
    }

    // "caption: text (buttons)" for each box seen since the last call.
    std::vector<std::string> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(seen_, {});
    }

private:
    void watch() {
        while (!stop_) {
            for (HWND box = nullptr;
                 (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
                DWORD process = 0;
                GetWindowThreadProcessId(box, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(box) ||
                    !answered_.insert(box).second) {
                    continue;
                }
                int buttons = 0;
                for (HWND child = nullptr;
                     (child = FindWindowExW(box, child, L"Button", nullptr)) != nullptr;) {
                    buttons += IsWindowVisible(child) ? 1 : 0;
                }
                const std::string seen = Text(box) + ": " + Text(GetDlgItem(box, 0xFFFF)) + " (" +
                                         std::to_string(buttons) + ")";
                {
                    std::lock_guard lock(mutex_);
                    seen_.push_back(seen);
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::vector<std::string> seen_;
    std::set<HWND> answered_;
    std::thread watcher_;
};

} // namespace runetally::win32::testing
