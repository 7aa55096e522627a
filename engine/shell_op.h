// Hands a built request to the shell's file operation (copy with progress window) and
// checks afterwards that every file it wrote is whole.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "engine/request.h"

struct CopyOutcome {
    std::vector<CopyCheck> checks;   // one for each pair of the request
    std::vector<FileStamp> targets;  // each target as the operation left it
    // Written but not known to be on the disk (its flush failed), or a cut copy that could
    // not be removed: either must stay counted as cut.
    std::vector<unsigned char> unsettled;
    int shellResult = 0;   // what the shell's call returned
    bool aborted = false;  // the user cancelled, or the shell stopped early
};

// Makes no call when the request is empty. `copying`: the request is a Copy, whose one
// destination folder the caller has made (MakeFolderPathA) before recording the operation.
// Cut copies are removed; every file written is flushed to the disk.
// Both are checked (`unsettled`).
CopyOutcome IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle,
                           bool copying);

FileStamp StampOfA(const char* path);
// Has the system put a file's data on the disk; false when that is not known (it cannot be
// opened to write, or the flush failed). A read-only file is flushed with its attribute
// lifted for the moment.
bool FlushFileA(const char* path);

// Makes a folder and the folders above it; only for an absolute path, so that nothing is
// ever made below the current folder.
void MakeFolderPathA(const char* folder);

// A small file read whole (ReadResult: request.h).
ReadResult ReadSmallFileA(const char* path, std::string& text);
// Replaces the file whole: a new file beside it, on the disk, then moved over it, so that
// a power cut leaves the old file or the new one, never a mixture (on FAT, possibly the new
// one alone, under the name followed by ".new"). Attributes of the old one (read-only,
// hidden, system) do not stand in the way, nor, for a moment, another program that reads
// it. False when it cannot (a read-only folder, a reader that stays) or when the file is
// not known to be on the disk.
bool ReplaceFileWholeA(const char* path, const std::string& text);
// Removes a file whatever its attributes (a read-only one stays so when it cannot be
// removed); true when it is gone (or was never there).
bool RemoveFileA(const char* path);

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
