// A fresh working directory for the object's lifetime, memory-backed where the
// machine has /dev/shm (resets write a 4 MiB glyph dump each), holding copies of
// the given files. Removed, and the previous directory entered again, at the end.
#pragma once

#include <filesystem>
#include <initializer_list>

class ScratchWorkingDirectory {
public:
    explicit ScratchWorkingDirectory(std::initializer_list<std::filesystem::path> copies = {});
    ~ScratchWorkingDirectory();
    ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
    ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;

    // Empty when no directory could be made (the working directory is then unchanged).
    const std::filesystem::path& path() const { return directory_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};
