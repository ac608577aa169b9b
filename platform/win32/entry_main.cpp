#include <windows.h>

#include <string>

// WinMain receives the arguments after the program name as one line, each one
// quoted when it holds a space.
int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!commandLine.empty()) {
            commandLine += ' ';
        }
        commandLine += argument.find(' ') != std::string::npos ? '"' + argument + '"' : argument;
    }
    return WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
