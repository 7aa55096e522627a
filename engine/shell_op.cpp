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

bool ReadSmallFileA(const char* path, std::string& text) {
    text.clear();
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD got = 0;
    // A state file holds a few lines; one far larger than that is not ours to trust whole.
    while (text.size() < (1u << 20) && ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got)
        text.append(buffer, got);
    ::CloseHandle(h);
    return true;
}

bool WriteFileThroughA(const char* path, const std::string& text) {
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size();
    ok = ::FlushFileBuffers(h) && ok;
    ::CloseHandle(h);
    return ok;
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
    ::SHFileOperationA(&op);

    for (size_t i = 0; i < request.pairs.size(); ++i) {
        const CopyPair& pair = request.pairs[i];
        // Named by the user's own path: the source for Copy, the target for Restore.
        const std::string& own = copying ? pair.source : pair.target;
        switch (CheckCopy(targets[i], StampOf(pair.target), sources[i], StampOf(pair.source))) {
        case CopyCheck::Cut:
            // A cut copy would later be restored over the original: never keep one.
            if (copying) ::DeleteFileA(pair.target.c_str());
            outcome.incomplete.push_back(own);
            break;
        case CopyCheck::SourceChanged:
            outcome.changed.push_back(own);
            break;
        case CopyCheck::Untouched:
        case CopyCheck::Whole:
            break;
        }
    }
    return outcome;
}
