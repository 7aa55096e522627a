#include "engine/shell_op.h"
#include <shellapi.h>
#include <algorithm>

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

// A path as the ANSI file functions hand it to the file system, with '/' read as '\\'.
std::wstring FileSystemName(const char* path) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}
}  // namespace

bool FileExistsA(const char* path) { return StampOf(path).exists; }

bool SameFileNameA(const char* a, const char* b) {
    return ::CompareStringOrdinal(FileSystemName(a).c_str(), -1, FileSystemName(b).c_str(), -1,
                                  TRUE) == CSTR_EQUAL;
}

CopyOutcome IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle,
                           bool removeBroken) {
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
        const std::string& own = removeBroken ? pair.source : pair.target;
        switch (CheckCopy(targets[i], StampOf(pair.target), sources[i], StampOf(pair.source))) {
        case CopyCheck::Cut:
            // A cut copy would later be restored over the original: never keep one.
            if (removeBroken) ::DeleteFileA(pair.target.c_str());
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
