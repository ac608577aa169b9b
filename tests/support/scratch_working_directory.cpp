#include "scratch_working_directory.h"

#include <unistd.h>

#include <string>

ScratchWorkingDirectory::ScratchWorkingDirectory(
    std::initializer_list<std::filesystem::path> copies)
    : previous_(std::filesystem::current_path()) {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "corvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    directory_ = pattern;
    for (const std::filesystem::path& file : copies) {
        std::filesystem::copy_file(file, directory_ / file.filename());
    }
    std::filesystem::current_path(directory_);
}

ScratchWorkingDirectory::~ScratchWorkingDirectory() {
    std::filesystem::current_path(previous_);
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
}
