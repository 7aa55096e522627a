// The settings file's contents and their codec, over an abstract profile so that the
// rules run without Windows. The window supplies a profile backed by the real
// Get/WritePrivateProfileStringA.
#pragma once
#include <string>
#include <vector>
#include "model/file_table.h"

struct AppSettings {
    int32_t autoCopyMode;        // 0, 1 or 2 (the three-state Auto Copy box)
    int32_t overwriteOnRestore;  // 1 = replace without asking
    int32_t overwriteOnCopy;
    int32_t autoRestore;      // 1 = restore when the session ends
    int32_t autoCopy;         // 1 = copy at start
    char destDir[kPathSize];  // empty = none chosen
};

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Like GetPrivateProfileStringA: the value or the default, cut to size-1 bytes.
    virtual void Read(const char* section, const char* key, const char* def, char* buf,
                      int size) = 0;
    // Like WritePrivateProfileStringA; false when the write failed.
    virtual bool Write(const char* section, const char* key, const char* value) = 0;
};

// File values too long for a path, whole: entry.longValue k stands for element k-1.
using LongValues = std::vector<std::string>;

// Reads all keys in their fixed order into settings and table (table must be reset).
// Holes between used File keys are closed afterwards. File values longer than 259 bytes
// are cut in the table, marked, and kept whole in `longValues` when it is given.
void LoadSettingsFrom(ProfileStore& store, AppSettings& settings, FileTable& table,
                      LongValues* longValues = nullptr);
// Writes the 102 keys in their fixed order; a marked entry's File value is written back
// whole from `longValues`. Returns false when any write failed (every write is still
// attempted).
bool SaveSettingsTo(ProfileStore& store, const AppSettings& settings, const FileTable& table,
                    const LongValues* longValues = nullptr);
