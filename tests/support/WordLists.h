// The real word lists of the test machines (/usr/share/dict), reachable from
// Windows programs under Wine through drive Z:.
#pragma once

#include <fstream>
#include <string>
#include <vector>

inline std::string DictPath(const char *name)
{
#ifdef _WIN32
    return std::string("Z:\\usr\\share\\dict\\") + name;
#else
    return std::string("/usr/share/dict/") + name;
#endif
}

// Every line of a word list, or the first `limit` lines.
inline std::vector<std::string> ReadWordList(const char *name, size_t limit = static_cast<size_t>(-1))
{
    std::vector<std::string> words;
    std::ifstream in(DictPath(name), std::ios::binary);
    std::string line;
    while (words.size() < limit && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            words.push_back(line);
    }
    return words;
}
