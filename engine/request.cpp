#include "engine/request.h"

#include <string>

namespace {

enum class Operation { Copy, Restore };

bool IsLead(LeadByteFn isLeadByte, const char* p) {
    return isLeadByte && p[0] && p[1] && isLeadByte(static_cast<unsigned char>(*p));
}

// Folds ASCII letters as Windows compares file names, and treats '/' as '\\'.
char Fold(char c) {
    if (c == '/') return '\\';
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Both bytes of a double-byte character must match exactly.
bool SameBytesFolded(const char* a, const char* b, LeadByteFn isLeadByte) {
    for (;;) {
        if (IsLead(isLeadByte, a)) {
            if (a[0] != b[0] || a[1] != b[1]) return false;
            a += 2;
            b += 2;
            continue;
        }
        if (Fold(*a) != Fold(*b)) return false;
        if (*a == '\0') return true;
        ++a;
        ++b;
    }
}

// How names and paths are compared: by the host's rule when it gives one.
struct Names {
    LeadByteFn isLeadByte;
    SameNameFn sameName;

    bool Same(const char* a, const char* b) const {
        return sameName ? sameName(a, b) : SameBytesFolded(a, b, isLeadByte);
    }
};

// '*' and '?' are never the second byte of a double-byte character, so any such byte
// is a wildcard (or an invalid pair that the shell would read as one).
bool HasWildcard(const char* path) {
    for (const char* p = path; *p; ++p)
        if (*p == '*' || *p == '?') return true;
    return false;
}

// A trailing 0x5C that is the second byte of a double-byte character is no separator.
bool EndsWithSeparator(const char* dir, LeadByteFn isLeadByte) {
    bool last = false;
    for (const char* p = dir; *p;) {
        if (IsLead(isLeadByte, p)) {
            last = false;
            p += 2;
            continue;
        }
        last = (*p == '\\' || *p == '/');
        ++p;
    }
    return last;
}

void AddLeftOut(FileRequest& request, const char* path, const Names& names) {
    for (const std::string& seen : request.leftOut)
        if (names.Same(seen.c_str(), path)) return;
    request.leftOut.push_back(path);
}

int32_t Tick(const FileEntry& entry, Operation op) {
    return op == Operation::Copy ? entry.copy : entry.restore;
}

// The destination folder is flat, so a name in it belongs to the first file of the table
// that bears it, ticked or not. A later file of another path with that name is kept out of
// both operations: copying it would overwrite the first one's copy, and restoring would put
// the first one's data on its path. Files that never reach the folder (wildcards, no name)
// own no name there.
enum class Verdict { Take, Skip, Refuse };

Verdict Judge(const FileTable& table, int k, const char* name, Operation op, const Names& names) {
    const char* path = table.entries[k].path;
    if (name[0] == '\0' || HasWildcard(path)) return Verdict::Refuse;
    char other[kPathSize];
    for (int j = 0; j < k; ++j) {
        const char* earlier = table.entries[j].path;
        if (earlier[0] == '\0' || HasWildcard(earlier)) continue;
        FileNameOf(earlier, names.isLeadByte, other, kPathSize);
        if (!names.Same(name, other)) continue;
        if (!names.Same(path, earlier)) return Verdict::Refuse;
        // The same file listed twice is done once, by its first ticked entry.
        for (int i = j; i < k; ++i) {
            const FileEntry& twin = table.entries[i];
            if (Tick(twin, op) == 1 && names.Same(path, twin.path)) return Verdict::Skip;
        }
        return Verdict::Take;
    }
    return Verdict::Take;
}

FileRequest Build(Operation op, const FileTable& table, const char* destDir, int overwrite,
                  LeadByteFn isLeadByte, ExistsFn exists, SameNameFn sameName) {
    FileRequest request;
    const Names names{isLeadByte, sameName};
    const bool copying = op == Operation::Copy;
    request.flags = kFofSimpleProgress | kFofNoConfirmMkdir | (copying ? 0u : kFofMultiDestFiles);
    if (overwrite == 1) request.flags |= kFofNoConfirmation;
    // Without a folder the sources or targets would be relative to the working directory.
    if (!destDir || destDir[0] == '\0') return request;

    // A hand-edited destination may lack its final separator. Both operations add it:
    // without it Copy would write a single file over a file of the folder's name.
    std::string folder = destDir;
    if (!EndsWithSeparator(destDir, isLeadByte)) folder += '\\';

    char name[kPathSize];
    for (int k = 0; k < kMaxFiles; ++k) {
        const FileEntry& entry = table.entries[k];
        if (entry.path[0] == '\0') continue;
        if (Tick(entry, op) != 1) continue;
        FileNameOf(entry.path, isLeadByte, name, kPathSize);
        switch (Judge(table, k, name, op, names)) {
        case Verdict::Skip:
            continue;
        case Verdict::Refuse:
            AddLeftOut(request, entry.path, names);
            continue;
        case Verdict::Take:
            break;
        }
        CopyPair pair =
            copying ? CopyPair{entry.path, folder + name} : CopyPair{folder + name, entry.path};
        // The shell refuses a whole request for one missing source; leave it out instead.
        if (exists && !exists(pair.source.c_str())) {
            request.missing.push_back(entry.path);
            continue;
        }
        request.from.append(pair.source).push_back('\0');
        if (!copying) request.to.append(pair.target).push_back('\0');
        request.pairs.push_back(std::move(pair));
        ++request.count;
    }
    request.from.push_back('\0');
    if (copying)
        request.to.append(folder).append(2, '\0');
    else
        request.to.push_back('\0');
    return request;
}

}  // namespace

FileRequest BuildCopyRequest(const FileTable& table, const char* destDir, int overwriteOnCopy,
                             LeadByteFn isLeadByte, ExistsFn exists, SameNameFn sameName) {
    return Build(Operation::Copy, table, destDir, overwriteOnCopy, isLeadByte, exists, sameName);
}

FileRequest BuildRestoreRequest(const FileTable& table, const char* destDir, int overwriteOnRestore,
                                LeadByteFn isLeadByte, ExistsFn exists, SameNameFn sameName) {
    return Build(Operation::Restore, table, destDir, overwriteOnRestore, isLeadByte, exists,
                 sameName);
}
