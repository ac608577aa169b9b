// PeekMessageW, TranslateMessage, DispatchMessageW, PostMessageW, SendMessageW and PostQuitMessage.
#include <windows.h>

#include <SDL.h>

#include <algorithm>
#include <deque>

#include "win32/message_queue.h"
#include "win32/process_ending.h"
#include "win32/sdl_event_translation.h"
#include "win32/window_registry.h"

namespace platform::win32 {

namespace {

struct QueueState {
    std::deque<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
};

QueueState& Queue() {
    static QueueState queue;
    return queue;
}

// SDL's pump reads the X connection and walks every window. A program that peeks
// thousands of times a second has it pumped once a millisecond, which keeps input as
// timely; events already in SDL's queue are taken at every call.
void PumpSdlEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    static Uint64 pumpedAt = 0;
    if (const Uint64 now = SDL_GetTicks64(); now != pumpedAt) {
        pumpedAt = now;
        SDL_PumpEvents();
    }
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        TranslateSdlEvent(event);
    }
}

bool MatchesWindow(const MSG& msg, HWND filter) {
    if (filter == nullptr) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(-1)) {  // thread messages only
        return msg.hwnd == nullptr;
    }
    return msg.hwnd == filter;
}

bool MatchesRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

}  // namespace

void QueueMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = SDL_GetTicks();
    Queue().posted.push_back(msg);
}

void DiscardMessagesFor(HWND hwnd) {
    auto& posted = Queue().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [hwnd](const MSG& msg) { return msg.hwnd == hwnd; }),
                 posted.end());
}

}  // namespace platform::win32

using namespace platform::win32;

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (msg == nullptr) {
        return FALSE;
    }
    PumpSdlEvents();
    DeliverSignalledClose();
    QueueState& queue = Queue();
    const auto found =
        std::find_if(queue.posted.begin(), queue.posted.end(), [&](const MSG& candidate) {
            return MatchesWindow(candidate, hwnd) &&
                   MatchesRange(candidate.message, filterMin, filterMax);
        });
    if (found != queue.posted.end()) {
        *msg = *found;
        if ((removeMsg & PM_REMOVE) != 0) {
            queue.posted.erase(found);
        }
        return TRUE;
    }
    // WM_QUIT comes once the queue is otherwise empty, whatever the filters say.
    if (queue.quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(queue.quitCode);
        if ((removeMsg & PM_REMOVE) != 0) {
            queue.quitPosted = false;
        }
        return TRUE;
    }
    return FALSE;
}

// Key presses that type a character also post that character.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    const WPARAM vk = msg->wParam;
    const bool shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
    WPARAM character = 0;
    if (vk >= 'A' && vk <= 'Z') {
        character = shift ? vk : vk - 'A' + 'a';
    } else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE ||
               vk == VK_BACK || vk == VK_TAB) {
        character = vk;
    }
    if (character != 0) {
        QueueMessage(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, character,
                     msg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd != nullptr && FindWindowRecord(hwnd) == nullptr) {
        return FALSE;
    }
    QueueMessage(hwnd, msg, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const WindowRecord* record = FindWindowRecord(hwnd);
    if (record == nullptr) {
        return 0;
    }
    const WNDPROC proc = record->proc;  // the call may destroy the record
    return proc(hwnd, msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    Queue().quitPosted = true;
    Queue().quitCode = exitCode;
}
