// Builds the shell file-operation requests for Copy and Restore. Pure code: the flag
// values mirror <shellapi.h>, and a thin Windows part hands the result to the shell.
#pragma once
#include <string>
#include <vector>
#include "model/file_table.h"
#include "model/path_split.h"

constexpr unsigned kFoCopy = 0x0002;
constexpr unsigned kFofMultiDestFiles = 0x0001;
constexpr unsigned kFofSilent = 0x0004;
constexpr unsigned kFofNoConfirmation = 0x0010;
constexpr unsigned kFofSimpleProgress = 0x0100;
constexpr unsigned kFofNoConfirmMkdir = 0x0200;
constexpr unsigned kFofNoErrorUi = 0x0400;

struct CopyPair {
    std::string source;
    std::string target;  // full path of the file the shell writes
};

struct FileRequest {
    std::string from;                    // names, each followed by '\0', then one more '\0'
    std::string to;                      // the same form
    unsigned flags = 0;                  // 16-bit flag word
    int count = 0;                       // files taken; no shell call when 0
    std::vector<std::string> leftOut;    // ticked paths whose name an earlier file owns
    std::vector<std::string> badName;    // wildcard, stream, device or empty name
    std::vector<std::string> relative;   // ticked paths that start at no drive or share
    std::vector<std::string> tooLong;    // File values cut on loading (shown cut)
    std::vector<std::string> ownFolder;  // ticked paths that lie in the destination itself
    std::vector<std::string> missing;    // ticked paths whose source does not exist
    std::vector<std::string> reserved;   // ticked paths named as our own record's files
    std::vector<std::string> otherCopy;  // Restore: the copy of that name belongs to another file
    std::vector<std::string> changedCopy;  // Restore: the copy changed since it was made
    std::vector<std::string> wouldAsk;   // Copy where nobody can answer: a copy is in the way
    std::vector<std::string> owedFile;   // automatic Copy: its restore is still owed
    std::vector<std::string> savedLate;  // automatic Copy: changed after a session-end restore
    bool relativeDest = false;           // the destination starts at no drive or share
    std::vector<CopyPair> pairs;         // what each taken file becomes, in list order

    // Ticked paths whose name, after the destination, would exceed 259 bytes.
    std::vector<std::string> joinedTooLong;
    std::vector<std::string> unreachable;  // in a system folder this process is shown another of
};

// Whether a path starts at a drive root (C:\ or C:/) or a share (\\server\share).
bool IsAbsolutePath(const char* path);

// Tells whether a source file exists; null means every source is taken as existing.
using ExistsFn = bool (*)(const char* path);
// Tells whether two paths (or two names) name the same file, as the file system compares
// them; null ignores the case of ASCII letters only and treats '/' as '\\'.
using SameNameFn = bool (*)(const char* a, const char* b);
// Tells whether two folders (each ending in a separator) are one folder, by the file
// system's identity of it, so that other spellings of it count; null compares the paths.
using SameFolderFn = bool (*)(const char* a, const char* b);

// Where the file system keeps short (8.3) names, "LONGFI~1.TXT" and "longfilename.txt"
// can open one file. `otherName` gives the other name of an existing file's last component
// (its short name, or its long name when the path spells the short one; false when it has
// no other); `aliased` tells whether a path in the destination opens an existing file of
// another long name. Null: names are only names.
struct ShortNames {
    bool (*otherName)(const char* path, std::string& name) = nullptr;
    bool (*aliased)(const char* path) = nullptr;
};

// What the builders ask of the file system, and the name of the record that no file may
// take; each member left empty keeps the default its type describes.
struct RequestOptions {
    ExistsFn exists = nullptr;
    SameNameFn sameName = nullptr;
    SameFolderFn sameFolder = nullptr;
    const char* stateName = nullptr;
    ShortNames shortNames = {};
};

FileRequest BuildCopyRequest(const FileTable& table, const char* destDir, int overwriteOnCopy,
                             LeadByteFn isLeadByte, const RequestOptions& options = {});
FileRequest BuildRestoreRequest(const FileTable& table, const char* destDir, int overwriteOnRestore,
                                LeadByteFn isLeadByte, const RequestOptions& options = {});

// The file in which VellumBox keeps its own state in the destination: the folder (its
// final separator added when missing) followed by `name`. Empty when there is no
// destination or a relative one. Files of that name, and of that name followed by
// ".lock" or ".new", are never copied or restored (`stateName` above).
std::string StateFilePath(const char* destDir, const char* name, LeadByteFn isLeadByte);

// A file as seen just before and just after the shell's copy.
struct FileStamp {
    bool exists = false;
    unsigned long long size = 0;
    unsigned long long written = 0;  // last write time
};

// A small file read whole. Absent: there is none; Unreadable: there is one (or a folder of
// its name) that cannot be read.
enum class ReadResult { Absent, Read, Unreadable };

enum class CopyCheck {  // in this order: tables are indexed by it
    NotDone,        // the target is not the source's: untouched (declined, failed) or gone
    Whole,          // the target has the size the source had when the copy began
    Cut,            // shorter or longer than the unchanged source, or shorter than the
                    // changing source ever was: a full disk, for one
    SourceChanged,  // the source changed while it was copied: the copy is of another moment
};

// Judges one target after the shell's call. A target that already matches its source
// (same size and write time, as a copy keeps them) is whole, written now or not. A source
// that grows while it is copied (a log) leaves a copy shorter than it is afterwards; that
// copy is cut only when it is also shorter than the source was before.
CopyCheck CheckCopy(const FileStamp& targetBefore, const FileStamp& targetAfter,
                    const FileStamp& sourceBefore, const FileStamp& sourceAfter);
