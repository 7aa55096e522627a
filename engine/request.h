// Builds the shell file-operation requests for Copy and Restore. Pure code: the flag
// values mirror <shellapi.h>, and a thin Windows part hands the result to the shell.
#pragma once
#include <string>
#include <vector>
#include "model/file_table.h"
#include "model/path_split.h"

constexpr unsigned kFoCopy = 0x0002;
constexpr unsigned kFofMultiDestFiles = 0x0001;
constexpr unsigned kFofNoConfirmation = 0x0010;
constexpr unsigned kFofSimpleProgress = 0x0100;
constexpr unsigned kFofNoConfirmMkdir = 0x0200;

struct CopyPair {
    std::string source;
    std::string target;  // full path of the file the shell writes
};

struct FileRequest {
    std::string from;                  // names, each followed by '\0', then one more '\0'
    std::string to;                    // the same form
    unsigned flags = 0;                // 16-bit flag word
    int count = 0;                     // files taken; no shell call when 0
    std::vector<std::string> leftOut;  // ticked paths refused (name clash, wildcard)
    std::vector<std::string> missing;  // ticked paths whose source does not exist
    std::vector<CopyPair> pairs;       // what each taken file becomes, in list order
};

// Tells whether a source file exists; null means every source is taken as existing.
using ExistsFn = bool (*)(const char* path);
// Tells whether two paths (or two names) name the same file, as the file system compares
// them; null ignores the case of ASCII letters only and treats '/' as '\\'.
using SameNameFn = bool (*)(const char* a, const char* b);

FileRequest BuildCopyRequest(const FileTable& table, const char* destDir, int overwriteOnCopy,
                             LeadByteFn isLeadByte, ExistsFn exists = nullptr,
                             SameNameFn sameName = nullptr);
FileRequest BuildRestoreRequest(const FileTable& table, const char* destDir, int overwriteOnRestore,
                                LeadByteFn isLeadByte, ExistsFn exists = nullptr,
                                SameNameFn sameName = nullptr);
