// No Windows function: the report of presented frames (CORVANE_PRESENT_REPORT).
#include "win32/present_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace platform::win32 {
namespace {

struct Report {
    int fd = -1;
    unsigned long frames = 0;
    std::optional<PresentPath> path;

    Report() {
        if (const char* file = std::getenv("CORVANE_PRESENT_REPORT")) {
            fd = open(file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        }
    }
    ~Report() {
        if (fd >= 0) close(fd);
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
};

const char* Name(PresentPath path) { return path == PresentPath::GpuRenderer ? "gpu" : "surface"; }

}  // namespace

void ReportPresented(PresentPath path) {
    static Report report;
    if (report.fd < 0) return;
    if (report.path != path) {
        std::fprintf(stderr, "corvane: frames go through the %s path\n", Name(path));
        report.path = path;
    }
    // Fixed width, so that each count overwrites the last whole and a reader never
    // sees a torn line.
    char line[32];
    const int length =
        std::snprintf(line, sizeof line, "%12lu %-7s\n", ++report.frames, Name(path));
    if (pwrite(report.fd, line, static_cast<size_t>(length), 0) != length) {
        close(report.fd);
        report.fd = -1;
    }
}

}  // namespace platform::win32
