#include "engine/request.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The name the file system opens: Windows drops trailing dots and spaces from the last
// component, so "a.txt." and "a.txt " are "a.txt". Neither byte is ever the second byte
// of a double-byte character.
std::string FileSystemForm(const char* path) {
    std::string s = path;
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s;
}

// How names and paths are compared: by the host's rule when it gives one, always after
// the file system's own normalisation.
struct Names {
    LeadByteFn isLeadByte;
    SameNameFn sameName;

    bool Same(const char* a, const char* b) const {
        const std::string x = FileSystemForm(a);
        const std::string y = FileSystemForm(b);
        return SameAsWritten(x.c_str(), y.c_str());
    }
    bool SameAsWritten(const char* a, const char* b) const {
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

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A colon past the drive names a stream of a file (or a drive-relative path), never a
// file of its own; ':' is never a second byte either.
bool HasStream(const char* path) {
    const char* p = path;
    if (IsAsciiLetter(p[0]) && p[1] == ':') p += 2;
    for (; *p; ++p)
        if (*p == ':') return true;
    return false;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 open a device, whatever extension follows.
bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
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

void AddOnce(std::vector<std::string>& list, const char* path, const Names& names) {
    for (const std::string& seen : list)
        if (names.SameAsWritten(seen.c_str(), path)) return;
    list.push_back(path);
}

int32_t Tick(const FileEntry& entry, Operation op) {
    return op == Operation::Copy ? entry.copy : entry.restore;
}

enum class Verdict { Take, Skip, Clash, BadName, Relative, TooLong };

// Whether a path can reach the folder at all: its name must be one the file system
// holds as it stands, and the path must not depend on the current folder.
Verdict Usable(const FileEntry& entry, const Names& names) {
    // A value cut on loading names another file, or none.
    if (entry.longValue != 0) return Verdict::TooLong;
    const char* path = entry.path;
    char name[kPathSize];
    FileNameOf(path, names.isLeadByte, name, kPathSize);
    const std::string stored = FileSystemForm(name);
    if (stored.empty() || HasWildcard(path) || HasStream(path) || IsDeviceName(stored))
        return Verdict::BadName;
    if (!IsAbsolutePath(path)) return Verdict::Relative;
    return Verdict::Take;
}

// The destination folder is flat, so a name in it belongs to the first file of the table
// that bears it, ticked or not. A later file of another path with that name is kept out of
// both operations: copying it would overwrite the first one's copy, and restoring would put
// the first one's data on its path. Files that never reach the folder own no name there.
// A short name is a name too: one file's name that is the other's short (or long) name
// meets it.
Verdict Judge(const FileTable& table, int k, const char* name, Operation op, const Names& names,
              const std::vector<std::string>& shortOf) {
    const char* path = table.entries[k].path;
    const Verdict usable = Usable(table.entries[k], names);
    if (usable != Verdict::Take) return usable;
    char other[kPathSize];
    for (int j = 0; j < k; ++j) {
        const char* earlier = table.entries[j].path;
        if (earlier[0] == '\0' || Usable(table.entries[j], names) != Verdict::Take) continue;
        FileNameOf(earlier, names.isLeadByte, other, kPathSize);
        const bool meet = names.Same(name, other) ||
                          (!shortOf[k].empty() && names.Same(shortOf[k].c_str(), other)) ||
                          (!shortOf[j].empty() && names.Same(name, shortOf[j].c_str()));
        if (!meet) continue;
        if (!names.Same(path, earlier)) return Verdict::Clash;
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
                  LeadByteFn isLeadByte, const RequestOptions& options) {
    FileRequest request;
    const Names names{isLeadByte, options.sameName};
    const char* stateName = options.stateName;
    const ShortNames& shortNames = options.shortNames;
    const bool copying = op == Operation::Copy;
    request.flags = kFofSimpleProgress | kFofNoConfirmMkdir | (copying ? 0u : kFofMultiDestFiles);
    if (overwrite == 1) request.flags |= kFofNoConfirmation;
    // Without a folder the sources or targets would be relative to the working directory.
    if (!destDir || destDir[0] == '\0') return request;
    // A relative folder would depend on where the program was started from.
    if (!IsAbsolutePath(destDir)) {
        request.relativeDest = true;
        return request;
    }

    // A hand-edited destination may lack its final separator. Both operations add it:
    // without it Copy would write a single file over a file of the folder's name.
    std::string folder = destDir;
    if (!EndsWithSeparator(destDir, isLeadByte)) folder += '\\';

    // Each folder, as written, is judged once: the system's identity of a folder costs
    // file-system calls, and most files share one.
    std::vector<std::pair<std::string, bool>> judged;
    auto isDest = [&](const std::string& own) {
        for (const auto& seen : judged)
            if (seen.first == own) return seen.second;
        const bool same = options.sameFolder ? options.sameFolder(own.c_str(), folder.c_str())
                                     : names.SameAsWritten(own.c_str(), folder.c_str());
        judged.emplace_back(own, same);
        return same;
    };

    // Each listed file's other (short or long) name, asked once.
    std::vector<std::string> shortOf(kMaxFiles);
    if (shortNames.otherName)
        for (int k = 0; k < kMaxFiles; ++k)
            if (table.entries[k].path[0] != '\0' && table.entries[k].longValue == 0 &&
                !shortNames.otherName(table.entries[k].path, shortOf[k]))
                shortOf[k].clear();

    char name[kPathSize];
    for (int k = 0; k < kMaxFiles; ++k) {
        const FileEntry& entry = table.entries[k];
        if (entry.path[0] == '\0') continue;
        if (Tick(entry, op) != 1) continue;
        FileNameOf(entry.path, isLeadByte, name, kPathSize);
        // Our record of an unfinished operation in the folder is never overwritten.
        if (stateName && (names.Same(name, stateName) ||
                          names.Same(name, (std::string(stateName) + ".lock").c_str()) ||
                          names.Same(name, (std::string(stateName) + ".new").c_str()))) {
            AddOnce(request.reserved, entry.path, names);
            continue;
        }
        switch (Judge(table, k, name, op, names, shortOf)) {
        case Verdict::Skip:
            continue;
        case Verdict::Clash:
            AddOnce(request.leftOut, entry.path, names);
            continue;
        case Verdict::BadName:
            AddOnce(request.badName, entry.path, names);
            continue;
        case Verdict::Relative:
            AddOnce(request.relative, entry.path, names);
            continue;
        case Verdict::TooLong:
            AddOnce(request.tooLong, entry.path, names);
            continue;
        case Verdict::Take:
            break;
        }
        // A file in the destination itself would be copied onto itself, and restored
        // from itself.
        const std::string own(entry.path, std::strlen(entry.path) - std::strlen(name));
        if (isDest(own)) {
            AddOnce(request.ownFolder, entry.path, names);
            continue;
        }
        // The shell fails a path beyond 259 bytes, and the check afterwards would take
        // that file for one left untouched.
        const std::string inFolder = folder + name;
        if (inFolder.size() >= static_cast<size_t>(kPathSize)) {
            AddOnce(request.joinedTooLong, entry.path, names);
            continue;
        }
        // A name that opens another file of the folder (by its short name) would overwrite
        // that file's copy, or restore it here.
        if (shortNames.aliased && shortNames.aliased(inFolder.c_str())) {
            AddOnce(request.leftOut, entry.path, names);
            continue;
        }
        CopyPair pair = copying ? CopyPair{entry.path, inFolder} : CopyPair{inFolder, entry.path};
        // The shell refuses a whole request for one missing source; leave it out instead.
        if (options.exists && !options.exists(pair.source.c_str())) {
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

bool IsAbsolutePath(const char* path) {
    if (!path) return false;
    if (IsAsciiLetter(path[0]) && path[1] == ':') return IsSeparator(path[2]);
    // \\server\share: a server name and a share name, each non-empty.
    if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    const char* p = path + 2;
    const char* server = p;
    while (*p && !IsSeparator(*p)) ++p;
    if (p == server || !*p) return false;
    ++p;
    return *p && !IsSeparator(*p);
}

FileRequest BuildCopyRequest(const FileTable& table, const char* destDir, int overwriteOnCopy,
                             LeadByteFn isLeadByte, const RequestOptions& options) {
    return Build(Operation::Copy, table, destDir, overwriteOnCopy, isLeadByte, options);
}

FileRequest BuildRestoreRequest(const FileTable& table, const char* destDir, int overwriteOnRestore,
                                LeadByteFn isLeadByte, const RequestOptions& options) {
    return Build(Operation::Restore, table, destDir, overwriteOnRestore, isLeadByte, options);
}

std::string StateFilePath(const char* destDir, const char* name, LeadByteFn isLeadByte) {
    if (!destDir || !IsAbsolutePath(destDir)) return std::string();
    std::string path = destDir;
    if (!EndsWithSeparator(destDir, isLeadByte)) path += '\\';
    return path + name;
}

namespace {
bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.exists == b.exists && a.size == b.size && a.written == b.written;
}
}  // namespace

CopyCheck CheckCopy(const FileStamp& targetBefore, const FileStamp& targetAfter,
                    const FileStamp& sourceBefore, const FileStamp& sourceAfter) {
    if (!targetAfter.exists) return CopyCheck::NotDone;
    const bool untouched = SameStamp(targetBefore, targetAfter);
    const bool likeSource = sourceBefore.exists && targetAfter.size == sourceBefore.size &&
                            targetAfter.written == sourceBefore.written;
    if (!SameStamp(sourceBefore, sourceAfter)) {
        if (untouched && !likeSource) return CopyCheck::NotDone;
        // A source that shrank is judged by its smaller size.
        unsigned long long least = sourceBefore.size;
        if (sourceAfter.exists && sourceAfter.size < least) least = sourceAfter.size;
        return targetAfter.size < least ? CopyCheck::Cut : CopyCheck::SourceChanged;
    }
    if (likeSource) return CopyCheck::Whole;
    if (untouched) return CopyCheck::NotDone;
    return targetAfter.size == sourceBefore.size ? CopyCheck::Whole : CopyCheck::Cut;
}
