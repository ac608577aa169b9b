// MessageBoxW: an SDL message box, or its text on standard error without a display.
#include <windows.h>

#include <platform_testing.h>

#include <SDL.h>

#include <cstdio>
#include <string>
#include <utility>

#include "crt/wide_utf8.h"
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

}  // namespace

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    if (Handler()) {
        return Handler()(MessageBoxCall{owner, text != nullptr ? text : L"",
                                        caption != nullptr ? caption : L"", type});
    }
    const std::string utf8Text = platform::crt::WideToUtf8(text);
    const std::string utf8Caption = platform::crt::WideToUtf8(caption);
    if (platform::win32::HasRealDisplay()) {
        const int answer = ShowSdlBox(owner, utf8Text, utf8Caption, type);
        if (answer > 0) {
            return answer;
        }
    }
    // Nobody can answer: say what the box said and take its default button.
    std::fprintf(stderr, "message box \"%s\": %s\n", utf8Caption.c_str(), utf8Text.c_str());
    std::fflush(stderr);
    return IDOK;
}

namespace platform::testing {

void SetMessageBoxHandler(std::function<int(const MessageBoxCall& call)> handler) {
    Handler() = std::move(handler);
}

}  // namespace platform::testing
