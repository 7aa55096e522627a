#include "model/file_table.h"

#include <cstring>

void ResetTable(FileTable& table) { std::memset(&table, 0, sizeof table); }

bool AppendEntry(FileTable& table, const FileEntry& entry) {
    // An empty path would be counted but read as a free slot by every walk.
    if (table.count < 0 || table.count >= kMaxFiles || entry.path[0] == '\0') return false;
    FileEntry& slot = table.entries[table.count];
    CopyPath(slot.path, kPathSize, entry.path);
    slot.copy = entry.copy;
    slot.restore = entry.restore;
    ++table.count;
    return true;
}

bool DeleteEntry(FileTable& table, int i) {
    if (i < 0 || i >= table.count || i >= kMaxFiles) return false;
    table.entries[i].path[0] = '\0';
    // One ascending pass: each hole pulls the next slot down. Slot 32 stays empty, so
    // the last used slot ends up cleared.
    for (int k = 0; k < kMaxFiles; ++k) {
        if (table.entries[k].path[0] != '\0') continue;
        table.entries[k] = table.entries[k + 1];
        FileEntry& next = table.entries[k + 1];
        next.path[0] = '\0';
        next.copy = 0;
        next.restore = 0;
    }
    --table.count;
    return true;
}

void SetCopyTick(FileTable& table, int i, bool on) {
    if (i >= 0 && i < table.count && i < kMaxFiles) table.entries[i].copy = on ? 1 : 0;
}

void SetRestoreTick(FileTable& table, int i, bool on) {
    if (i >= 0 && i < table.count && i < kMaxFiles) table.entries[i].restore = on ? 1 : 0;
}

void CloseHoles(FileTable& table) {
    int used = 0;
    for (int k = 0; k < kMaxFiles; ++k) {
        if (table.entries[k].path[0] == '\0') continue;
        if (k != used) table.entries[used] = table.entries[k];
        ++used;
    }
    for (int k = used; k <= kMaxFiles; ++k) std::memset(&table.entries[k], 0, sizeof(FileEntry));
    table.count = used;
}

void CopyPath(char* dest, int destSize, const char* src) {
    if (!dest || destSize <= 0) return;
    int n = 0;
    if (src) {
        while (n < destSize - 1 && src[n]) {
            dest[n] = src[n];
            ++n;
        }
    }
    dest[n] = '\0';
}
