#include "scratch_working_directory.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

ScratchWorkingDirectory::ScratchWorkingDirectory(
    std::initializer_list<std::filesystem::path> copies)
    : previous_(std::filesystem::current_path()) {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    directory_ = pattern;
    for (const std::filesystem::path& file : copies)
        std::filesystem::copy_file(file, directory_ / file.filename());
    std::filesystem::current_path(directory_);
}

ScratchWorkingDirectory::~ScratchWorkingDirectory() {
    std::filesystem::current_path(previous_);
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
}

std::wstring ScratchWorkingDirectory::Write(const std::string& name,
                                            const std::vector<uint8_t>& bytes) const {
    std::ofstream out(directory_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + name);
    return PathOf(name);
}
