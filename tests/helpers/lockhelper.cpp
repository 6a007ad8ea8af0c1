// A second process for the tests of file sharing between processes.
//
//   lockhelper hold <file> <access> <share>
//       Opens the file and prints "ready" (or "error <code>"), then obeys
//       its input: the line "close" closes the handle and prints "closed";
//       the end of the input ends the process, handle still open.
//   lockhelper open <file> <access> <share>
//       Tries to open the file, prints "ok" or "error <code>", and exits.
//
// <access> and <share> are made of the letters r and w, or "-" for none.
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

DWORD flagsFrom(const char *letters, DWORD read, DWORD write) {
    DWORD flags = 0;
    if (std::strchr(letters, 'r'))
        flags |= read;
    if (std::strchr(letters, 'w'))
        flags |= write;
    return flags;
}

HANDLE openAsTold(char **argv) {
    return CreateFileA(argv[2], flagsFrom(argv[3], GENERIC_READ, GENERIC_WRITE),
                       flagsFrom(argv[4], FILE_SHARE_READ, FILE_SHARE_WRITE), nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void report(HANDLE file, const char *success) {
    if (file == INVALID_HANDLE_VALUE)
        std::cout << "error " << GetLastError() << std::endl;
    else
        std::cout << success << std::endl;
}

void hold(HANDLE file) {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "close" && file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
            std::cout << "closed" << std::endl;
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: lockhelper hold|open <file> <access> <share>\n");
        return 2;
    }
    std::string command = argv[1];
    HANDLE file = openAsTold(argv);
    if (command == "hold") {
        report(file, "ready");
        hold(file);
    } else {
        report(file, "ok");
    }
    return 0;
}
