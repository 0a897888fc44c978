// File system on Linux: POSIX calls.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "engine/base/fs.h"

namespace fs {

const char kSeparator = '/';

struct File {
    int descriptor;
    // Taken once at opening: size, last write and identity of the file as opened.
    struct stat info;
};

OwnedFile openRead(const char* path) {
    // Non-blocking so that a named pipe cannot hold the worker (it has no
    // effect on regular files, the only ones accepted).
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return OwnedFile();
    OwnedFile file(new File{descriptor, {}});
    if (::fstat(descriptor, &file.get()->info) != 0 || !S_ISREG(file.get()->info.st_mode)) return OwnedFile();
    return file;
}

void FileKind::giveBack(File* file) {
    ::close(file->descriptor);
    delete file;
}

uint64_t fileSize(File* file) {
    return static_cast<uint64_t>(file->info.st_size);
}

bool seekFile(File* file, uint64_t offset) {
    return ::lseek(file->descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

uint64_t lastWriteTime(File* file) {
    return static_cast<uint64_t>(file->info.st_mtime);
}

int64_t readFile(File* file, void* buffer, uint32_t count) {
    auto* target = static_cast<char*>(buffer);
    uint32_t delivered = 0;
    while (delivered < count) {
        const ssize_t got = ::read(file->descriptor, target + delivered, count - delivered);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        delivered += static_cast<uint32_t>(got);
    }
    return delivered;
}

bool listFolder(const char* folder, const std::function<void(const FolderEntry&)>& visit) {
    // Closed however the listing ends, also when memory runs out in it.
    const std::unique_ptr<DIR, int (*)(DIR*)> open(::opendir(folder), ::closedir);
    DIR* directory = open.get();
    if (directory == nullptr) return false;
    // Each name with whether the listing knows it as a link (DT_UNKNOWN: ask).
    std::vector<std::pair<std::string, unsigned char>> names;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name, entry->d_type);
    }
    // Sorted so a walk visits files in the same order on every run.
    std::sort(names.begin(), names.end());
    const int folderDescriptor = ::dirfd(directory);
    for (const auto& [name, type] : names) {
        // Follows symbolic links: a link to a folder is listed as a folder.
        struct stat info;
        if (::fstatat(folderDescriptor, name.c_str(), &info, 0) != 0) continue;
        const bool isFolder = S_ISDIR(info.st_mode);
        if (!isFolder && !S_ISREG(info.st_mode)) continue;  // pipes, devices, sockets
        struct stat own;
        const bool isLink =
            type == DT_LNK || (type == DT_UNKNOWN &&
                               (::fstatat(folderDescriptor, name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0 ||
                                S_ISLNK(own.st_mode)));
        visit(
            FolderEntry{name.c_str(), isFolder, isLink, isFolder ? 0 : static_cast<uint64_t>(info.st_size)});
    }
    return true;
}

bool removeFolder(const char* path) {
    return ::rmdir(path) == 0;
}

bool resetAttributes(const char* path) {
    struct stat info;
    if (::stat(path, &info) != 0) return false;
    return ::chmod(path, (info.st_mode & 07777) | S_IWUSR | S_IRUSR) == 0;
}

bool fileIdentity(const char* path, FileIdentity& identity) {
    struct stat info;
    if (::stat(path, &info) != 0) return false;
    identity.volume = static_cast<uint64_t>(info.st_dev);
    identity.index = static_cast<uint64_t>(info.st_ino);
    return true;
}

bool openFileIdentity(File* file, FileIdentity& identity) {
    identity.volume = static_cast<uint64_t>(file->info.st_dev);
    identity.index = static_cast<uint64_t>(file->info.st_ino);
    return true;
}

bool pathExists(const char* path) {
    struct stat info;
    return ::lstat(path, &info) == 0;
}

bool isFolder(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace fs
