#include "shell_events.h"

#include <windows.h>

#include <SDL.h>
#include <platform_testing.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>
#include <string_view>

#include "app/app_window.h"
#include "win32/window_registry.h"

namespace shell_events {

namespace {

using platform::testing::D3DCall;
using platform::testing::GdiCall;

constexpr size_t kMaxEvents = 64;
constexpr int kMaxTurns = 64;
constexpr int kBoardCells = 7;
constexpr uintmax_t kDumpSize = 4194358;  // the header, then 1024 x 1024 pixels of 4 bytes
constexpr int kArguments[] = {1, 1, 0, 0, 1, 1, 1, 0, 0, 1, 2, 1, 1};
static_assert(std::size(kArguments) == static_cast<size_t>(Kind::Count));

struct KeyRow {
    SDL_Scancode scancode;
    const char* name;
};
// clang-format off
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_RETURN, "Enter"}, {SDL_SCANCODE_ESCAPE, "Escape"}, {SDL_SCANCODE_SPACE, "Space"},
    {SDL_SCANCODE_LEFT, "Left"},    {SDL_SCANCODE_UP, "Up"},         {SDL_SCANCODE_RIGHT, "Right"},
    {SDL_SCANCODE_DOWN, "Down"},    {SDL_SCANCODE_F1, "F1"},         {SDL_SCANCODE_KP_ENTER, "keypad Enter"},
    {SDL_SCANCODE_A, "A"},          {SDL_SCANCODE_F2, "F2"},         {SDL_SCANCODE_F10, "F10"},
    {SDL_SCANCODE_TAB, "Tab"},      {SDL_SCANCODE_BACKSPACE, "Backspace"}, {SDL_SCANCODE_LALT, "left Alt"},
    {SDL_SCANCODE_UNKNOWN, "unmapped"},
};
constexpr const char* kD3DCalls[] = {
    "Direct3DCreate9", "CreateDevice", "Present", "TestCooperativeLevel", "Reset", "CreateTexture",
    "Texture LockRect", "Surface LockRect", "GetLevelDesc", "GetSurfaceLevel", "Surface GetDC",
    "UpdateTexture", "CreateVertexBuffer", "VertexBuffer Lock",
};
struct ResultRow {
    HRESULT result;
    const char* name;
};
constexpr ResultRow kResults[] = {
    {E_FAIL, "E_FAIL"},                 {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL"},
    {D3DERR_DEVICELOST, "D3DERR_DEVICELOST"}, {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},   {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY"},
    {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE"}, {D3DERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR"},
};
constexpr const char* kGdiCalls[] = {"CreateFontW", "CreateDIBSection", "CreateCompatibleDC"};
constexpr std::wstring_view kKnownLines[] = {
    L"x", L"Lost And Found", L"CreateFont Failed", L"Bitmap Failed", L"CreateDevice Failed",
    L"Terminated - Destructor", L"LoadPng : No File", L"", L"OK", L"OK2", L"OK3", L"OK4",
};
constexpr std::wstring_view kKnownBoxes[][2] = {
    {L"FAIL", L"FAIL"}, {L"Failed", L"MB"}, {L"FAIL", L""},
};
// clang-format on
static_assert(std::size(kKeys) == kKeyCount && kKeyCount == 16);
static_assert(std::size(kD3DCalls) == static_cast<size_t>(D3DCall::VertexBufferLock) + 1);
static_assert(std::size(kGdiCalls) == static_cast<size_t>(GdiCall::CreateCompatibleDC) + 1);

// Taken modulo `count`, so that every byte names something.
uint8_t Pick(uint8_t byte, size_t count) { return static_cast<uint8_t>(byte % count); }

bool NeedsTheWindow(Kind kind) {
    return kind != Kind::RefuseFullScreen && kind != Kind::FailD3D && kind != Kind::FailGdi &&
           kind != Kind::FailAllocations;
}

constexpr uint8_t kForEver = 7;
int D3DFailureCount(uint8_t c) { return c == kForEver ? -1 : c + 1; }

void Print(std::ostream& out, const Event& e) {
    switch (e.kind) {
        case Kind::Key:
            out << "key " << kKeys[e.a].name << ((e.b & kRelease) ? " up" : " down")
                << ((e.b & kRepeat) ? ", auto-repeat" : "")
                << ((e.b & kAltHeld) ? ", Alt held" : "");
            break;
        case Kind::FrameSteps:
            out << "frame steps x" << int(e.a);
            break;
        case Kind::CloseBox:
            out << "close box";
            break;
        case Kind::CloseMessage:
            out << "WM_CLOSE";
            break;
        case Kind::Signal:
            out << (e.a ? "SIGINT" : "SIGTERM");
            break;
        case Kind::Focus:
            out << (e.a ? "focus gained" : "focus lost");
            break;
        case Kind::Minimise:
            out << (e.a ? "minimised" : "restored");
            break;
        case Kind::LoseDevice:
            out << "device lost";
            break;
        case Kind::RestoreDevice:
            out << "device not reset";
            break;
        case Kind::RefuseFullScreen:
            out << "refuse the next " << int(e.a) << " full-screen switches";
            break;
        case Kind::FailD3D:
            out << "fail " << kD3DCalls[e.a] << " with " << kResults[e.b].name << ", "
                << (e.c == kForEver ? std::string("every call")
                                    : "next " + std::to_string(D3DFailureCount(e.c)) + " calls");
            break;
        case Kind::FailGdi:
            out << "fail " << kGdiCalls[e.a] << ", next " << int(e.b) << " calls";
            break;
        case Kind::FailAllocations:
            out << "fail the next " << int(e.a) << " allocations";
            break;
        case Kind::Count:
            break;
    }
}

// One run: the program's window and everything the checks watch.
class Runner {
public:
    Runner() : app_(std::make_unique<AppWindow>()) {
        platform::testing::ResetAllHooks();
        platform::testing::SetDebugSink([this](const std::wstring& text) { debug_ += text; });
        platform::testing::SetMessageBoxHandler([this](
                                                    const platform::testing::MessageBoxCall& call) {
            if (std::none_of(std::begin(kKnownBoxes), std::end(kKnownBoxes), [&](const auto& box) {
                    return call.text == box[0] && call.caption == box[1];
                })) {
                Break("a message box the program never shows");
            }
            return IDOK;
        });
        platform::testing::SetSleepHandler([](DWORD) {});
        gdiBefore_ = platform::testing::CountGdiLiveObjects();
        std::filesystem::remove("text.bmp");
    }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    std::string Run(const std::vector<Event>& events) {
        bool killed = false;
        for (size_t i = 0; i < events.size() && broken_.empty(); ++i) {
            at_ = "after event " + std::to_string(i);
            if (NeedsTheWindow(events[i].kind) && !StartOnce()) break;
            if (!Apply(events[i])) {
                killed = true;
                break;
            }
            CheckDump();
            CheckBoard();
            if (ended_) break;
        }
        at_ = "at the end";
        if (!killed && broken_.empty() && StartOnce() && !ended_) {
            // The user closes the window: the loop ends at the next turn.
            PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
            if (!app_->RunLoopTurn()) Break("the close box did not end the loop");
        }
        if (app_->Exit() != -1) Break("the result is not -1");
        // The process would end here, taking the window along; it goes before the
        // AppWindow it points to.
        if (IsWindow(app_->hwnd)) DestroyWindow(app_->hwnd);
        app_.reset();
        if (!killed) CheckShutdown();
        UnregisterClassW(L"CorvaneGame", GetModuleHandleW(nullptr));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        platform::testing::ResetAllHooks();
        std::filesystem::remove("text.bmp");
        return broken_;
    }

private:
    // WinMain's start, before the first event that needs the window; false when
    // creation failed and WinMain goes straight to the shutdown.
    bool StartOnce() {
        if (!started_) {
            started_ = true;
            created_ = app_->Create(GetModuleHandleW(nullptr));
            CheckDump();
        }
        return created_;
    }

    // False when the process ends at once.
    bool Apply(const Event& e) {
        switch (e.kind) {
            case Kind::Key:
                PushKey(e);
                break;
            case Kind::FrameSteps:
                for (int turn = 0; turn < e.a && !ended_; ++turn) ended_ = app_->RunLoopTurn();
                break;
            case Kind::CloseBox:
                PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
                break;
            case Kind::CloseMessage:
                PostMessageW(app_->hwnd, WM_CLOSE, 0, 0);
                break;
            case Kind::Signal:
                return platform::testing::DeliverTerminationSignal();
            case Kind::Focus:
                platform::testing::SetWindowFocus(app_->hwnd, e.a != 0);
                break;
            case Kind::Minimise:
                platform::testing::SetWindowMinimised(app_->hwnd, e.a != 0);
                break;
            case Kind::LoseDevice:
                platform::testing::LoseDevice(app_->device);
                break;
            case Kind::RestoreDevice:
                platform::testing::RestoreLostDevice(app_->device);
                break;
            case Kind::RefuseFullScreen:
                platform::testing::RefuseFullScreenSwitches(e.a);
                break;
            case Kind::FailD3D:
                platform::testing::FailD3DCall(static_cast<D3DCall>(e.a), kResults[e.b].result,
                                               D3DFailureCount(e.c));
                break;
            case Kind::FailGdi:
                platform::testing::FailGdiCall(static_cast<GdiCall>(e.a), e.b);
                break;
            case Kind::FailAllocations:
                platform::testing::FailAllocations(e.a);
                break;
            case Kind::Count:
                break;
        }
        return true;
    }

    uint32_t WindowId() const { return SDL_GetWindowID(platform::win32::SdlWindowOf(app_->hwnd)); }

    void PushKey(const Event& e) {
        SDL_Event event{};
        event.type = (e.b & kRelease) ? SDL_KEYUP : SDL_KEYDOWN;
        event.key.windowID = WindowId();
        event.key.state = (e.b & kRelease) ? SDL_RELEASED : SDL_PRESSED;
        event.key.repeat = (e.b & kRepeat) ? 1 : 0;
        event.key.keysym.scancode = kKeys[e.a].scancode;
        event.key.keysym.mod = (e.b & kAltHeld) ? KMOD_LALT : KMOD_NONE;
        SDL_PushEvent(&event);
    }

    void PushWindowEvent(SDL_WindowEventID kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = WindowId();
        event.window.event = static_cast<uint8_t>(kind);
        SDL_PushEvent(&event);
    }

    void Break(const std::string& what) {
        if (broken_.empty()) broken_ = at_ + ": " + what;
    }

    // Whenever the glyph atlas is dumped, the whole file is there.
    void CheckDump() {
        std::error_code error;
        const uintmax_t size = std::filesystem::file_size("text.bmp", error);
        if (error) return;
        if (size != kDumpSize) Break("text.bmp has " + std::to_string(size) + " bytes");
        std::filesystem::remove("text.bmp");
    }

    void CheckBoard() {
        const BoardScene& scene = app_->scene;
        for (const int cell : {scene.cursorCol, scene.cursorRow, scene.pieceCol, scene.pieceRow}) {
            if (cell < 0 || cell >= kBoardCells) Break("the cursor or the piece left the board");
        }
    }

    void CheckShutdown() {
        CheckDump();
        const auto d3d = platform::testing::CountD3DLiveObjects();
        if (d3d.direct3d || d3d.devices || d3d.textures || d3d.surfaces || d3d.vertexBuffers) {
            Break("Direct3D objects left alive");
        }
        const auto gdi = platform::testing::CountGdiLiveObjects();
        if (gdi.deviceContexts != gdiBefore_.deviceContexts || gdi.fonts != gdiBefore_.fonts ||
            gdi.bitmaps != gdiBefore_.bitmaps || gdi.brushes != gdiBefore_.brushes) {
            Break("GDI objects left alive");
        }
        if (!debug_.empty() && debug_.back() != L'\n') Break("the debug output ends mid-line");
        std::wistringstream lines(debug_);
        for (std::wstring line; std::getline(lines, line);) {
            const bool glyph = line.size() == 1;
            if (!glyph && std::find(std::begin(kKnownLines), std::end(kKnownLines), line) ==
                              std::end(kKnownLines)) {
                Break("an unknown debug line");
            }
        }
    }

    std::unique_ptr<AppWindow> app_;
    platform::testing::GdiLiveObjects gdiBefore_;
    std::wstring debug_;
    std::string at_ = "before the first event";
    std::string broken_;
    bool started_ = false;
    bool created_ = false;
    bool ended_ = false;
};

}  // namespace

std::vector<Event> Decode(const uint8_t* data, size_t size) {
    std::vector<Event> events;
    int turns = 0;
    size_t next = 0;
    const auto byte = [&]() -> uint8_t { return next < size ? data[next++] : 0; };
    while (next < size && events.size() < kMaxEvents) {
        Event e{static_cast<Kind>(Pick(byte(), static_cast<size_t>(Kind::Count)))};
        uint8_t args[3] = {};
        for (int i = 0; i < kArguments[static_cast<int>(e.kind)]; ++i) args[i] = byte();
        switch (e.kind) {
            case Kind::Key:
                e.a = args[0] % kKeyCount;
                e.b = (args[0] / kKeyCount) & (kRepeat | kAltHeld | kRelease);
                break;
            case Kind::FrameSteps:
                e.a = static_cast<uint8_t>(std::min(1 + args[0] % 4, kMaxTurns - turns));
                turns += e.a;
                if (e.a == 0) continue;
                break;
            case Kind::Signal:
            case Kind::Focus:
            case Kind::Minimise:
                e.a = args[0] & 1;
                break;
            case Kind::RefuseFullScreen:
                e.a = static_cast<uint8_t>(1 + args[0] % 3);
                break;
            case Kind::FailD3D:
                e.a = Pick(args[0], std::size(kD3DCalls));
                e.b = Pick(args[1], std::size(kResults));
                e.c = (args[1] / std::size(kResults)) % 8;
                break;
            case Kind::FailGdi:
                e.a = Pick(args[0], std::size(kGdiCalls));
                e.b = static_cast<uint8_t>(1 + args[0] / std::size(kGdiCalls) % 4);
                break;
            case Kind::FailAllocations:
                e.a = static_cast<uint8_t>(1 + args[0] % 8);
                break;
            default:
                break;
        }
        events.push_back(e);
    }
    return events;
}

std::string Describe(const std::vector<Event>& events) {
    std::ostringstream out;
    for (size_t i = 0; i < events.size(); ++i) {
        out << i << ": ";
        Print(out, events[i]);
        out << '\n';
    }
    return out.str();
}

std::string Run(const std::vector<Event>& events) { return Runner().Run(events); }

}  // namespace shell_events
