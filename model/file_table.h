// The fixed table of files that Copy and Restore work on. Pure code: no Windows headers.
#pragma once
#include <cstdint>

constexpr int kMaxFiles = 32;   // usable slots
constexpr int kPathSize = 260;  // bytes per path, terminator included

struct FileEntry {
    char path[kPathSize];  // empty string marks an empty slot
    int32_t copy;          // 1 = ticked for Copy; anything else = not ticked
    int32_t restore;       // 1 = ticked for Restore
    // Nonzero when the settings file held a longer value than `path` can: the entry is
    // shown cut but never copied or restored. k > 0 names the whole value, kept apart
    // (see LongValues in settings.h) so that saving writes it back as it stood.
    int32_t longValue;
};

// Slots 0..count-1 hold files; slot 32 is a terminator that always stays empty,
// which the deletion pass reads when it shifts slot k+1 into slot k.
struct FileTable {
    int32_t count;
    FileEntry entries[kMaxFiles + 1];
};

// Zeroes every slot and the count.
void ResetTable(FileTable& table);
// Stores the entry in slot `count` and counts it. Returns false (and changes nothing)
// when the table is full, so no caller can write past slot 31.
bool AppendEntry(FileTable& table, const FileEntry& entry);
// Removes slot i (0 <= i < count) and shifts later entries down, each with its own ticks.
// Returns false and changes nothing for an index outside the used slots.
bool DeleteEntry(FileTable& table, int i);
// Sets the Copy or Restore tick of slot i to 0 or 1.
void SetCopyTick(FileTable& table, int i, bool on);
void SetRestoreTick(FileTable& table, int i, bool on);
// Moves every used entry down over the empty slots before it, keeping order and ticks,
// and recounts. A hand-edited settings file can leave such holes.
void CloseHoles(FileTable& table);
// Bounded copy that always terminates; cuts at size-1 bytes.
void CopyPath(char* dest, int destSize, const char* src);
