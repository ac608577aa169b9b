// MessageBoxW: an SDL message box, or its text on standard error without a display.
#include <windows.h>

#include <platform_testing.h>

#include <SDL.h>

#include <cstdio>
#include <string>
#include <utility>

#include "crt/wide_utf8.h"
#include "win32/process_ending.h"
#include "win32/sdl_video.h"
#include "win32/window_registry.h"

namespace {

using platform::testing::MessageBoxCall;

std::function<int(const MessageBoxCall&)>& Handler() {
    static std::function<int(const MessageBoxCall&)> handler;
    return handler;
}

// Modal, like the real box: returns when the user answers. -1 when SDL cannot show it.
int ShowSdlBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    const SDL_MessageBoxButtonData okButton{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
    const SDL_MessageBoxButtonData cancelButton{SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL,
                                                "Cancel"};
    const SDL_MessageBoxButtonData buttons[] = {okButton, cancelButton};
    const bool okCancel = (type & MB_OKCANCEL) != 0;

    SDL_MessageBoxData box{};
    box.flags = (type & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    box.window = platform::win32::SdlWindowOf(owner);
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = okCancel ? 2 : 1;
    box.buttons = buttons;
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) {
        return -1;
    }
    // Closing the box without a button answers as Escape does.
    return answer >= 0 ? answer : (okCancel ? IDCANCEL : IDOK);
}

// The box a person answers, or its text on standard error when nobody can.
int ShowBox(const MessageBoxCall& call) {
    const std::string text = platform::crt::WideToUtf8(call.text.c_str());
    const std::string caption = platform::crt::WideToUtf8(call.caption.c_str());
    if (platform::win32::HasRealDisplay()) {
        const int answer = ShowSdlBox(call.owner, text, caption, call.type);
        if (answer > 0) {
            return answer;
        }
    }
    // Nobody can answer: say what the box said and take its default button.
    std::fprintf(stderr, "message box \"%s\": %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}

}  // namespace

// A termination signal ends an open box as its default button, OK, would; the
// program's close comes next from the message queue.
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    const MessageBoxCall call{owner, text != nullptr ? text : L"",
                              caption != nullptr ? caption : L"", type};
    int answer = IDOK;
    const bool terminated = platform::win32::WaitUnlessTerminated(
        [&] { answer = Handler() ? Handler()(call) : ShowBox(call); });
    return terminated ? IDOK : answer;
}

namespace platform::testing {

void SetMessageBoxHandler(std::function<int(const MessageBoxCall& call)> handler) {
    Handler() = std::move(handler);
}

}  // namespace platform::testing
