// File system on Windows: the A functions of kernel32.
#include <windows.h>

#include <memory>
#include <string>

#include "engine/base/fs.h"
#include "engine/base/owned_win32.h"

namespace fs {

const char kSeparator = '\\';

struct File {
    HANDLE handle;
    // Taken once at opening (one call instead of one per fact): size, last
    // write and identity of the file as opened. Without it each is asked for.
    bool informed;
    BY_HANDLE_FILE_INFORMATION information;
};

OwnedFile openRead(const char* path) {
    const HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OwnedFile();
    OwnedFile file(new File{handle, false, {}});
    file.get()->informed = GetFileInformationByHandle(handle, &file.get()->information) != 0;
    return file;
}

void FileKind::giveBack(File* file) {
    CloseHandle(file->handle);
    delete file;
}

uint64_t fileSize(File* file) {
    if (file->informed)
        return (static_cast<uint64_t>(file->information.nFileSizeHigh) << 32) |
               file->information.nFileSizeLow;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file->handle, &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

int64_t readFile(File* file, void* buffer, uint32_t count) {
    DWORD delivered = 0;
    if (!ReadFile(file->handle, buffer, count, &delivered, nullptr)) return -1;
    return delivered;
}

bool seekFile(File* file, uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file->handle, position, nullptr, FILE_BEGIN) != 0;
}

uint64_t lastWriteTime(File* file) {
    FILETIME written = file->information.ftLastWriteTime;
    if (!file->informed && !GetFileTime(file->handle, nullptr, nullptr, &written)) return 0;
    return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

namespace {

// Windows drops a trailing dot or space from every part of a path, so a name
// that ends in one (made by another system, or through Wine on a Linux disk)
// names another file or folder: "apache." would be read as "apache".
bool addressableName(const std::string& name) {
    return name.back() != '.' && name.back() != ' ';
}

}  // namespace

bool listFolder(const char* folder, const std::function<void(const FolderEntry&)>& visit) {
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    const OwnedSearchHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search) return false;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (!addressableName(name)) {
            // Reached by its short name where the volume keeps one; without it the entry cannot be
            // opened at all, and is left out rather than read under another file's path.
            if (found.cAlternateFileName[0] == '\0') continue;
            name = found.cAlternateFileName;
        }
        // A link or junction to a folder carries the folder attribute too.
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const uint64_t size =
            isFolder ? 0 : (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        visit(FolderEntry{name.c_str(), isFolder, isLink, size});
    } while (FindNextFileA(search.get(), &found));
    return true;
}

bool removeFolder(const char* path) {
    return RemoveDirectoryA(path) != 0;
}

bool resetAttributes(const char* path) {
    return SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) != 0;
}

namespace {

void identityFrom(const BY_HANDLE_FILE_INFORMATION& information, FileIdentity& identity) {
    identity.volume = information.dwVolumeSerialNumber;
    identity.index = (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

bool handleIdentity(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) return false;
    identityFrom(information, identity);
    return true;
}

}  // namespace

bool fileIdentity(const char* path, FileIdentity& identity) {
    // No access rights asked: this only reads the file's identity, whoever holds it.
    const OwnedFileHandle handle(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && handleIdentity(handle.get(), identity);
}

bool openFileIdentity(File* file, FileIdentity& identity) {
    if (!file->informed) return handleIdentity(file->handle, identity);
    identityFrom(file->information, identity);
    return true;
}

bool pathExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace fs
