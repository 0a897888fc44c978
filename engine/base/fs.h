// The engine's only window on the file system. Windows: a thin layer over the
// A functions (fs_win32.cpp); Linux: POSIX (fs_posix.cpp).
#pragma once

#include <cstdint>
#include <functional>

#include "engine/base/owned.h"

namespace fs {

// The separator the engine puts between a folder and a name.
extern const char kSeparator;

struct File;  // an open file, read access, others may read too

struct FileKind {
    using Type = File*;
    static File* none() { return nullptr; }
    static void giveBack(File* file);  // closes it
};
// An open file, closed when its owner goes.
using OwnedFile = Owned<FileKind>;

// Opens an existing file for reading with read sharing; an empty owner on
// failure (missing, a folder, no access, held open for writing elsewhere).
OwnedFile openRead(const char* path);
// 64-bit size of an open file, as it was when opened.
uint64_t fileSize(File* file);
// Reads up to `count` bytes from the current position; returns the bytes
// delivered, or -1 on a failed read.
int64_t readFile(File* file, void* buffer, uint32_t count);
// Moves the read position to `offset`; false when it cannot.
bool seekFile(File* file, uint64_t offset);
// Last-write time of an open file in the platform's units (Windows FILETIME,
// POSIX seconds); 0 when unknown.
uint64_t lastWriteTime(File* file);

struct FolderEntry {
    const char* name;
    bool isFolder;
    // A symbolic link, junction or other reparse point: what it leads to may
    // lie outside the folder being listed.
    bool isLink;
    uint64_t size;  // 0 for folders
};
// Lists `folder` (without "." and ".."), calling `visit` for each entry in the
// platform's order. Returns false when the folder cannot be listed.
bool listFolder(const char* folder, const std::function<void(const FolderEntry&)>& visit);

bool removeFolder(const char* path);
// Clears read-only and similar attributes (FILE_ATTRIBUTE_NORMAL).
bool resetAttributes(const char* path);

// Physical identity of a file: volume serial + file index on Windows,
// device + inode on Linux. Two paths with equal identities name one file.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};
bool fileIdentity(const char* path, FileIdentity& identity);
bool openFileIdentity(File* file, FileIdentity& identity);

bool pathExists(const char* path);
// True for a folder (or a link to one).
bool isFolder(const char* path);

}  // namespace fs
