#include "engine/shell_op.h"
#include <shellapi.h>
#include <algorithm>
#include "framework/fw_system.h"

namespace {
struct FileState {
    bool exists = false;
    ULONGLONG size = 0;
    FILETIME written = {0, 0};
};

FileState StateOf(const std::string& path) {
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        state.exists = true;
        state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        state.written = data.ftLastWriteTime;
    }
    return state;
}

bool Changed(const FileState& before, const FileState& after) {
    return before.exists != after.exists || before.size != after.size ||
           ::CompareFileTime(&before.written, &after.written) != 0;
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
// Creates a missing folder and its parents. Windows' shell would do it for the copy; Wine's
// creates the folder but then copies nothing when only one file goes into it. Only an
// absolute path, so nothing is ever made below the current folder.
void CreateFolderPath(const std::string& folder) {
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
}  // namespace

bool FileExistsA(const char* path) { return StateOf(path).exists; }

bool SameFileNameA(const char* a, const char* b) {
    // Vista and later: the system's own ordinal comparison, case folded by its table.
    using CompareOrdinalFn = int(WINAPI*)(LPCWSTR, int, LPCWSTR, int, BOOL);
    if (auto compare = SystemProc<CompareOrdinalFn>("kernel32.dll", "CompareStringOrdinal"))
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

CopyOutcome IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle,
                           bool copying) {
    CopyOutcome outcome;
    if (request.count <= 0) return outcome;

    // Targets as they were, so that a file the user chose not to replace is not
    // mistaken for a broken copy afterwards.
    std::vector<FileState> before;
    before.reserve(request.pairs.size());
    for (const CopyPair& pair : request.pairs) before.push_back(StateOf(pair.target));

    // A Copy's target list is the one destination folder.
    if (copying) CreateFolderPath(request.to.c_str());

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
        FileState after = StateOf(pair.target);
        if (!after.exists || !Changed(before[i], after)) continue;
        FileState source = StateOf(pair.source);
        if (!source.exists || source.size == after.size) continue;
        // A cut copy would later be restored over the original: never keep one.
        if (copying) ::DeleteFileA(pair.target.c_str());
        outcome.incomplete.push_back(copying ? pair.source : pair.target);
    }
    return outcome;
}
