// Paths of this test program and of programs built beside it.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

inline std::string OwnProgramPath()
{
#ifdef _WIN32
    char self[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return self;
#else
    char self[4096] = {0};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    return std::string(self, n > 0 ? static_cast<size_t>(n) : 0);
#endif
}

// A program in the same folder; name without ".exe" (added on Windows).
inline std::string SiblingProgram(const char *name)
{
    std::string path = OwnProgramPath();
    path.erase(path.find_last_of("\\/") + 1);
#ifdef _WIN32
    return path + name + ".exe";
#else
    return path + name;
#endif
}
