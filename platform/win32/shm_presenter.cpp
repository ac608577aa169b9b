// No Windows function: frames handed to the X server in shared memory.
#include "win32/shm_presenter.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

#include "win32/present_report.h"

namespace platform::win32 {

// A connection of its own: the server's word that an image was read comes back as
// an event, which SDL's event loop would take and drop on SDL's connection.
struct ShmPresenter::Server {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    int completionEvent = 0;

    Server() = default;
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;
    ~Server() {
        if (gc != nullptr) XFreeGC(display, gc);
        if (display != nullptr) XCloseDisplay(display);
    }
};

struct ShmPresenter::Image {
    XShmSegmentInfo segment{0, -1, nullptr, False};
    XImage* image = nullptr;
    bool attached = false;

    Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    // The server must have let go of the segment first.
    ~Image() {
        if (image != nullptr) XDestroyImage(image);  // leaves the shared memory alone
        if (segment.shmid >= 0) shmctl(segment.shmid, IPC_RMID, nullptr);
        if (segment.shmaddr != nullptr) shmdt(segment.shmaddr);
    }
};

namespace {

bool attachRefused = false;

int RefuseAttach(Display*, XErrorEvent*) {
    attachRefused = true;
    return 0;
}

// A segment id means the same memory to the server only on this machine.
bool IsLocalDisplay(const char* name) {
    return name != nullptr && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

int BitsPerPixelAtDepth(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    if (formats != nullptr) XFree(formats);
    return bits;
}

}  // namespace

bool CanPresentThroughShm(const ShmPresentInputs& inputs) {
    return inputs.x11 && inputs.sharedMemory && inputs.bitsPerPixel == 32 &&
           inputs.redMask == 0xFF0000 && inputs.greenMask == 0xFF00 && inputs.blueMask == 0xFF &&
           inputs.leastSignificantByteFirst;
}

std::unique_ptr<ShmPresenter> ShmPresenter::Create(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    auto server = std::make_unique<Server>();
    // The same name, so that a lost display is reported as SDL's connection would.
    server->display = XOpenDisplay(DisplayString(info.info.x11.display));
    if (server->display == nullptr) return nullptr;
    Display* display = server->display;
    server->window = info.info.x11.window;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, server->window, &attributes) == 0) return nullptr;
    server->visual = attributes.visual;
    server->depth = attributes.depth;

    ShmPresentInputs inputs;
    inputs.x11 = true;
    inputs.sharedMemory = XShmQueryExtension(display) && IsLocalDisplay(DisplayString(display));
    inputs.bitsPerPixel = BitsPerPixelAtDepth(display, attributes.depth);
    inputs.redMask = attributes.visual->red_mask;
    inputs.greenMask = attributes.visual->green_mask;
    inputs.blueMask = attributes.visual->blue_mask;
    inputs.leastSignificantByteFirst = ImageByteOrder(display) == LSBFirst;
    if (!CanPresentThroughShm(inputs)) return nullptr;

    server->completionEvent = XShmGetEventBase(display) + ShmCompletion;
    server->gc = XCreateGC(display, server->window, 0, nullptr);
    auto presenter = std::make_unique<ShmPresenter>(std::move(server));
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    // The first images show whether the server can attach this process's memory.
    if (presenter->BackPixels(width, height) == nullptr) return nullptr;
    return presenter;
}

ShmPresenter::ShmPresenter(std::unique_ptr<Server> server) : server_(std::move(server)) {}

ShmPresenter::~ShmPresenter() { DropImages(); }

bool ShmPresenter::MakeImages(int width, int height) {
    DropImages();
    Display* display = server_->display;
    for (auto& made : images_) {
        made = std::make_unique<Image>();
        XShmSegmentInfo& segment = made->segment;
        made->image = XShmCreateImage(display, server_->visual, server_->depth, ZPixmap, nullptr,
                                      &segment, width, height);
        if (made->image == nullptr || made->image->bytes_per_line != width * 4) return false;
        segment.shmid =
            shmget(IPC_PRIVATE, static_cast<size_t>(width) * height * 4, IPC_CREAT | 0600);
        if (segment.shmid < 0) return false;
        segment.shmaddr = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
        if (segment.shmaddr == reinterpret_cast<char*>(-1)) {
            segment.shmaddr = nullptr;
            return false;
        }
        made->image->data = segment.shmaddr;
    }
    attachRefused = false;
    XErrorHandler previous = XSetErrorHandler(RefuseAttach);
    for (auto& image : images_) XShmAttach(display, &image->segment);
    XSync(display, False);
    XSetErrorHandler(previous);
    for (auto& image : images_) {
        // Removed once both sides let go, even if this process dies first.
        shmctl(image->segment.shmid, IPC_RMID, nullptr);
        image->attached = !attachRefused;
    }
    pair_ = {};
    return !attachRefused;
}

void ShmPresenter::DropImages() {
    bool attached = false;
    for (auto& image : images_) {
        if (image && image->attached) {
            XShmDetach(server_->display, &image->segment);
            attached = true;
        }
    }
    if (attached) {
        // Every image sent before is read once the server answers.
        XSync(server_->display, False);
        while (TakeCompletion(false)) {
        }
    }
    for (auto& image : images_) image.reset();
}

uint32_t* ShmPresenter::BackPixels(int width, int height) {
    const Image* back = images_[pair_.Back()].get();
    if (back == nullptr || back->image->width != width || back->image->height != height) {
        if (!MakeImages(width, height)) {
            DropImages();
            return nullptr;
        }
    }
    pair_.AwaitBack([this] { TakeCompletion(true); });
    return reinterpret_cast<uint32_t*>(images_[pair_.Back()]->image->data);
}

const uint32_t* ShmPresenter::CurrentBackPixels() const {
    const Image* back = images_[pair_.Back()].get();
    return back != nullptr ? reinterpret_cast<const uint32_t*>(back->image->data) : nullptr;
}

void ShmPresenter::Show() {
    Image* back = images_[pair_.Back()].get();
    if (back == nullptr) return;
    XShmPutImage(server_->display, server_->window, server_->gc, back->image, 0, 0, 0, 0,
                 static_cast<unsigned>(back->image->width),
                 static_cast<unsigned>(back->image->height), True);
    XFlush(server_->display);
    pair_.Sent(back->segment.shmseg);
}

bool ShmPresenter::TakeCompletion(bool wait) {
    Display* display = server_->display;
    if (!wait && XEventsQueued(display, QueuedAfterReading) == 0) return false;
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == server_->completionEvent) {
        pair_.Done(reinterpret_cast<const XShmCompletionEvent&>(event).shmseg);
        // Shown now: the count the tests wait on never runs ahead of the screen.
        ReportPresented(PresentPath::WindowSurface);
    }
    return true;
}

}  // namespace platform::win32
