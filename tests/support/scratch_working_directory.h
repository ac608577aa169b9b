// A fresh working directory for the object's lifetime, memory-backed where the
// machine has /dev/shm (resets write a 4 MiB glyph dump each), holding copies of
// the given files, and the files tests write there. Removed, and the previous
// directory entered again, at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

class ScratchWorkingDirectory {
public:
    explicit ScratchWorkingDirectory(std::initializer_list<std::filesystem::path> copies = {});
    ~ScratchWorkingDirectory();
    ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
    ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;

    // Empty when no directory could be made (the working directory is then unchanged).
    const std::filesystem::path& path() const { return directory_; }
    // Writes the bytes to a file of that name in the directory; returns its full path.
    std::wstring Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::wstring PathOf(const std::string& name) const { return (directory_ / name).wstring(); }

private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};
