#include "engine/shell_op.h"
#include <shellapi.h>
#include <algorithm>
#include "framework/fw_system.h"
#include "model/system_rules.h"

namespace {
FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        stamp.exists = true;
        stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.written = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
    }
    return stamp;
}

// A path as the ANSI file functions hand it to the file system, with '/' read as '\\';
// zero-terminated ("" when the path cannot be converted).
std::vector<wchar_t> FileSystemName(const char* path) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return std::vector<wchar_t>(1, L'\0');
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), n);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

// The attributes SetFileAttributes takes back (others, such as compressed, it cannot set).
DWORD Settable(DWORD attributes) {
    attributes &= FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                  FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                  FILE_ATTRIBUTE_TEMPORARY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// Another program that has the file open (an indexer, a virus scanner, a sync client, a
// reader in another session) makes a replace or a removal fail while it holds it: tried
// again for about two seconds.
template <class Step>
bool Retried(Step step) {
    for (int tries = 0;; ++tries) {
        if (step()) return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || tries == 20)
            return false;
        ::Sleep(100);
        ::SetLastError(error);
    }
}
}  // namespace

// Windows' shell would make a missing folder for the copy; Wine's makes it but then copies
// nothing when only one file goes into it.
void MakeFolderPathA(const char* path) {
    const std::string folder = path;
    const char* f = folder.c_str();
    bool onDrive = ((f[0] | 0x20) >= 'a' && (f[0] | 0x20) <= 'z') && f[1] == ':' &&
                   (f[2] == '\\' || f[2] == '/');
    bool unc = f[0] == '\\' && f[1] == '\\';
    if (!onDrive && !unc) return;
    // Each separator ends one level; drive, server and share fail harmlessly.
    for (size_t i = 0; i < folder.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(folder[i])) && i + 1 < folder.size()) {
            ++i;
            continue;
        }
        if (i > 2 && (folder[i] == '\\' || folder[i] == '/'))
            ::CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    }
    ::CreateDirectoryA(folder.c_str(), nullptr);
}

ReadResult ReadSmallFileA(const char* path, std::string& text) {
    text.clear();
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A name too long or not valid for the file system names no file that could exist.
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                       error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_INVALID_NAME
                   ? ReadResult::Absent
                   : ReadResult::Unreadable;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ReadResult::Unreadable;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ReadResult::Unreadable;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    // A record holds a few lines; one far larger than that is not ours to trust whole.
    while (text.size() < (1u << 20) && (ok = ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) != FALSE) && got)
        text.append(buffer, got);
    ::CloseHandle(h);
    return ok ? ReadResult::Read : ReadResult::Unreadable;
}

bool ReplaceFileWholeA(const char* path, const std::string& text) {
    const std::string fresh = std::string(path) + ".new";
    // A file of that name left by a power cut may carry any attribute.
    ::SetFileAttributesA(fresh.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = ::CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    ok = ::FlushFileBuffers(h) && ok;
    ::CloseHandle(h);
    if (ok) {
        // A read-only file is not replaced; hidden and system ones are taken as they are.
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        ok = Retried([&] {
            return ::MoveFileExA(fresh.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        });
        // MOVEFILE_WRITE_THROUGH flushes only a move done as copy and delete, never a rename.
        if (ok) return FlushFileA(path);
    }
    ::DeleteFileA(fresh.c_str());
    return false;
}

bool RemoveFileA(const char* path) {
    const DWORD attributes = ::GetFileAttributesA(path);
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) ::SetFileAttributesA(path, Settable(attributes & ~FILE_ATTRIBUTE_READONLY));
    if (Retried([path] { return ::DeleteFileA(path) != FALSE; })) return true;
    const DWORD error = ::GetLastError();
    if (readOnly) ::SetFileAttributesA(path, Settable(attributes));
    return error == ERROR_FILE_NOT_FOUND;
}

bool FileExistsA(const char* path) { return StampOf(path).exists; }

bool SameFileNameA(const char* a, const char* b) {
    // Vista and later: the system's own ordinal comparison, case folded by its table.
    using CompareOrdinalFn = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);
    // Looked up once: a request compares every ticked name with every other.
    static const CompareOrdinalFn compare =
        SystemProc<CompareOrdinalFn>("kernel32.dll", "CompareStringOrdinal");
    if (compare)
        return compare(FileSystemName(a).data(), -1, FileSystemName(b).data(), -1, TRUE) ==
               CSTR_EQUAL;
    return SameFileNameByUpcaseA(a, b);
}

bool SameFileNameByUpcaseA(const char* a, const char* b) {
    std::vector<wchar_t> wa = FileSystemName(a);
    std::vector<wchar_t> wb = FileSystemName(b);
    if (wa.size() != wb.size()) return false;
    // CharUpperBuffW folds by the system's table whatever the user's language (its "i" is
    // never the Turkish one), one UTF-16 unit for one, as NTFS's up-case table does.
    ::CharUpperBuffW(wa.data(), static_cast<DWORD>(wa.size()));
    ::CharUpperBuffW(wb.data(), static_cast<DWORD>(wb.size()));
    return wa == wb;
}

namespace {
// Opens a folder for its identity only: no access asked. Backup semantics open a folder.
HANDLE OpenForIdentity(const char* folder) {
    return ::CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The 128-bit identity (Windows 8 and later, FileIdInfo); false where the system or the
// file system has none.
bool Identity128(HANDLE h, FileIdentity& identity) {
    struct FileIdInfo {
        ULONGLONG VolumeSerialNumber;
        BYTE FileId[16];
    };
    constexpr int kFileIdInfoClass = 18;
    using GetInfoExFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const GetInfoExFn getInfo =
        SystemProc<GetInfoExFn>("kernel32.dll", "GetFileInformationByHandleEx");
    FileIdInfo info = {};
    if (!getInfo || !getInfo(h, kFileIdInfoClass, &info, sizeof info)) return false;
    identity.volume = info.VolumeSerialNumber;
    std::copy(info.FileId, info.FileId + 16, identity.id);
    return true;
}

bool Identity64(HANDLE h, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(h, &info)) return false;
    identity.volume = info.dwVolumeSerialNumber;
    const ULONGLONG index =
        (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    for (int i = 0; i < 8; ++i) identity.id[i] = static_cast<unsigned char>(index >> (8 * i));
    return true;
}

// Both folders' identities in one form: 128 bits when both have them, else 64.
bool Identities(const char* a, const char* b, FileIdentity& ia, FileIdentity& ib) {
    HANDLE ha = OpenForIdentity(a);
    if (ha == INVALID_HANDLE_VALUE) return false;
    HANDLE hb = OpenForIdentity(b);
    bool ok = false;
    if (hb != INVALID_HANDLE_VALUE) {
        ok = Identity128(ha, ia) && Identity128(hb, ib);
        if (!ok) {
            ia = ib = FileIdentity();
            ok = Identity64(ha, ia) && Identity64(hb, ib);
        }
        ::CloseHandle(hb);
    }
    ::CloseHandle(ha);
    return ok;
}
}  // namespace

bool SameFolderA(const char* a, const char* b) {
    FileIdentity ia, ib;
    if (Identities(a, b, ia, ib)) {
        const SameIdentity same = CompareIdentity(ia, ib);
        if (same != SameIdentity::Unknown) return same == SameIdentity::Yes;
    }
    return SameFileNameA(a, b);
}

CopyOutcome IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle,
                           bool copying) {
    CopyOutcome outcome;
    if (request.count <= 0) return outcome;

    // Targets as they were, so that a file the user chose not to replace is not mistaken
    // for a broken copy afterwards; sources as they were, so that one that changes during
    // the copy is not taken for a cut copy.
    std::vector<FileStamp> targets, sources;
    targets.reserve(request.pairs.size());
    sources.reserve(request.pairs.size());
    for (const CopyPair& pair : request.pairs) {
        targets.push_back(StampOf(pair.target));
        sources.push_back(StampOf(pair.source));
    }

    SHFILEOPSTRUCTA op = {};
    op.hwnd = owner;
    op.wFunc = FO_COPY;
    // The lists carry their own zero bytes; std::string adds the final terminator.
    op.pFrom = request.from.c_str();
    op.pTo = request.to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(request.flags);
    op.lpszProgressTitle = progressTitle;
    outcome.shellResult = ::SHFileOperationA(&op);
    outcome.aborted = op.fAnyOperationsAborted != FALSE;

    for (size_t i = 0; i < request.pairs.size(); ++i) {
        const CopyPair& pair = request.pairs[i];
        FileStamp after = StampOf(pair.target);
        const CopyCheck check = CheckCopy(targets[i], after, sources[i], StampOf(pair.source));
        bool unsettled = false;
        if (check == CopyCheck::Cut && copying) {
            // A cut copy would later be restored over the original: never keep one.
            unsettled = !RemoveFileA(pair.target.c_str());
            after = unsettled ? StampOf(pair.target) : FileStamp();
        } else if (check != CopyCheck::NotDone) {
            // On the disk before the record says it is done: a power cut at the shutdown
            // screen must not leave a file the record calls whole.
            unsettled = !FlushFileA(pair.target.c_str()) && check != CopyCheck::Cut;
        }
        outcome.checks.push_back(check);
        outcome.targets.push_back(after);
        outcome.unsettled.push_back(unsettled);
    }
    return outcome;
}

FileStamp StampOfA(const char* path) { return StampOf(path); }

bool FlushFileA(const char* path) {
    // Windows opens no read-only file to write (Wine does); lifting and restoring the
    // attribute leaves the last write time as it is.
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !::SetFileAttributesA(path, Settable(attributes & ~FILE_ATTRIBUTE_READONLY)))
        return false;
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = h != INVALID_HANDLE_VALUE;
    if (ok) {
        ok = ::FlushFileBuffers(h) != FALSE;
        ok = ::CloseHandle(h) && ok;
    }
    if (readOnly) ::SetFileAttributesA(path, Settable(attributes));
    return ok;
}
