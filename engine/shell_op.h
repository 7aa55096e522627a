// Hands a built request to the shell's file operation (copy with progress window) and
// checks afterwards that every file it wrote is whole.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "engine/request.h"

struct CopyOutcome {
    // Targets the operation wrote but left shorter or longer than their source (a full
    // disk, for one). A Copy removes such copies.
    std::vector<std::string> incomplete;
    // Files whose source changed while it was copied; their copies are kept.
    std::vector<std::string> changed;
};

// Makes no call when the request is empty. `copying`: the request is a Copy, whose one
// destination folder the caller has made (MakeFolderPathA) before recording the operation.
CopyOutcome IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle,
                           bool copying);

// Makes a folder and the folders above it; only for an absolute path, so that nothing is
// ever made below the current folder.
void MakeFolderPathA(const char* folder);

// A small file read whole; false when it cannot be opened (there is none).
bool ReadSmallFileA(const char* path, std::string& text);
// Writes the file anew and has the system put it on the disk before returning, so that
// it is there before any copy begins. False when it cannot (a read-only folder).
bool WriteFileThroughA(const char* path, const std::string& text);

// For building requests: whether a file (not a folder) exists at the path.
bool FileExistsA(const char* path);
// For building requests: whether two ANSI paths name the same file, letter case ignored
// by the system's own table (so "\xE9" and "\xC9" match, as they do on NTFS).
bool SameFileNameA(const char* a, const char* b);
// For building requests: whether two folders are one, by volume serial number and file
// index (so a short name, a share or a mapped drive of the same folder counts); folders
// that cannot be opened are compared by name.
bool SameFolderA(const char* a, const char* b);
// The same rule where the system lacks CompareStringOrdinal (XP): both names upper-cased
// by the system's table, then compared unit by unit.
bool SameFileNameByUpcaseA(const char* a, const char* b);
