// A fresh folder under the system's temporary folder for one test, removed
// with everything in it at the end. Paths use the platform's own separator.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir()
    {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("lexanto-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    // Full path of a name inside the folder ("" for the folder itself).
    std::string Path(const std::string &name = "") const
    {
        return name.empty() ? m_path.string() : (m_path / std::filesystem::path(name).make_preferred()).string();
    }

    // Writes bytes exactly as given (binary) and returns the full path.
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        const std::string full = Path(name);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    static std::string Read(const std::string &full)
    {
        std::ifstream in(full, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Names of the entries directly in a folder of this tree, sorted.
    std::string List(const std::string &name = "") const
    {
        std::string names;
        std::vector<std::string> all;
        for (const auto &entry : std::filesystem::directory_iterator(Path(name)))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        for (const auto &n : all)
            names += (names.empty() ? "" : " ") + n;
        return names;
    }

private:
    std::filesystem::path m_path;
};
