#include "FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

bool FsFind(const char *pattern, std::vector<FsEntry> &entries)
{
    entries.clear();
    const std::string text(pattern);
    const size_t slash = text.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : text.substr(0, slash));
    const std::string mask = slash == std::string::npos ? text : text.substr(slash + 1);
    if (mask.empty())
        return false;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return false;
    while (dirent *item = readdir(dir)) {
        if (fnmatch(mask.c_str(), item->d_name, 0) != 0)
            continue;
        struct stat info;
        const std::string full = folder + "/" + item->d_name;
        struct stat link;
        if (stat(full.c_str(), &info) != 0 || lstat(full.c_str(), &link) != 0)
            continue;
        FsEntry entry;
        entry.name = item->d_name;
        entry.isReparsePoint = S_ISLNK(link.st_mode);
        entry.isDirectory = S_ISDIR(info.st_mode);
        entry.size = entry.isDirectory ? 0 : static_cast<unsigned long long>(info.st_size);
        entries.push_back(entry);
    }
    closedir(dir);
    return !entries.empty();
}

bool FsAccess(const char *path) { return access(path, F_OK) == 0; }

bool FsCanRead(const char *path) { return access(path, R_OK) == 0; }

long long FsFileSize64(const char *path)
{
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode) || access(path, R_OK) != 0)
        return -1;
    return static_cast<long long>(info.st_size);
}

bool FsMakeDir(const char *path) { return mkdir(path, 0777) == 0; }

bool FsCopyFile(const char *from, const char *to, bool failIfExists)
{
    std::error_code error;
    const auto options = failIfExists ? std::filesystem::copy_options::none
                                      : std::filesystem::copy_options::overwrite_existing;
    return std::filesystem::copy_file(from, to, options, error) && !error;
}

bool FsReplaceFile(const char *source, const char *target)
{
    FsIoStep();
    if (std::rename(source, target) != 0)
        return false;
    // Make the rename itself durable, as MOVEFILE_WRITE_THROUGH does.
    std::string folder(target);
    const size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return true;
}

bool FsFlushFile(FILE *file)
{
    FsIoStep();
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool FsDeleteFile(const char *path) { return unlink(path) == 0; }

bool FsTruncateFile(FILE *file, long long size)
{
    return std::fflush(file) == 0 && ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

unsigned long FsProcessId() { return static_cast<unsigned long>(getpid()); }

void FsSleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
