#include "model/settings.h"

#include <cstring>

namespace {

const char kAutoSection[] = "AutoVellum";
const char kOverwriteSection[] = "OverWrite";
const char kDestSection[] = "DestinationDirectory";
const char kFilesSection[] = "Files";

// Enough for "Restore" and any int, so the compiler sees no possible truncation.
constexpr int kKeySize = 24;
// The longest File value kept whole.
constexpr int kLongValueSize = 65536;

// The stem and the number with at least three digits ("File001"), as "%s%03d" writes them.
void FileKey(char (&key)[kKeySize], const char* stem, int number) {
    char digits[12];  // reversed, sign included
    int n = 0;
    unsigned value =
        number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < (number < 0 ? 2 : 3)) digits[n++] = '0';  // the sign counts in the width
    if (number < 0) digits[n++] = '-';
    size_t used = 0;
    for (const char* c = stem; *c && used + 1 < sizeof key; ++c) key[used++] = *c;
    while (n > 0 && used + 1 < sizeof key) key[used++] = digits[--n];
    key[used] = '\0';
}

// Only a value that is exactly "1" switches on.
int32_t ReadSwitch(ProfileStore& store, const char* section, const char* key, const char* def) {
    char buf[kPathSize];
    store.Read(section, key, def, buf, kPathSize);
    buf[kPathSize - 1] = '\0';
    return std::strcmp(buf, "1") == 0 ? 1 : 0;
}

const char* SwitchText(int32_t value) { return value == 1 ? "1" : "0"; }

}  // namespace

void LoadSettingsFrom(ProfileStore& store, AppSettings& settings, FileTable& table,
                      LongValues* longValues) {
    char buf[kPathSize];
    store.Read(kAutoSection, "AutoCopyMode", "0", buf, kPathSize);
    buf[kPathSize - 1] = '\0';
    if (std::strcmp(buf, "1") == 0)
        settings.autoCopyMode = 1;
    else if (std::strcmp(buf, "2") == 0)
        settings.autoCopyMode = 2;
    else
        settings.autoCopyMode = 0;

    settings.autoCopy = ReadSwitch(store, kAutoSection, "Copy", "0");
    settings.autoRestore = ReadSwitch(store, kAutoSection, "Restore", "0");
    settings.overwriteOnCopy = ReadSwitch(store, kOverwriteSection, "Copy", "0");
    settings.overwriteOnRestore = ReadSwitch(store, kOverwriteSection, "Restore", "0");

    store.Read(kDestSection, "Directory", "", buf, kPathSize);
    buf[kPathSize - 1] = '\0';
    CopyPath(settings.destDir, kPathSize, buf);

    char key[kKeySize];
    // Room enough to tell a value that does not fit a path; one that does not is read again
    // whole (a large buffer for every key costs the profile functions dearly).
    std::vector<char> value;
    // Reads the File value into `size` bytes; true when it is longer than a path.
    auto readFileValue = [&](int size) {
        value.assign(static_cast<size_t>(size), '\0');
        store.Read(kFilesSection, key, "", value.data(), size);
        value.back() = '\0';
        return std::strlen(value.data()) >= static_cast<size_t>(kPathSize);
    };
    for (int i = 1; i <= kMaxFiles; ++i) {
        FileEntry& slot = table.entries[i - 1];
        FileKey(key, "File", i);
        const bool tooLong = readFileValue(kPathSize * 2) && readFileValue(kLongValueSize);
        CopyPath(slot.path, kPathSize, value.data());
        slot.longValue = 0;
        if (tooLong) {
            // A cut path names another file, or none: keep it out of the work.
            slot.longValue = -1;
            if (longValues) {
                longValues->push_back(value.data());
                slot.longValue = static_cast<int32_t>(longValues->size());
            }
        }
        if (slot.path[0] == '\0') {
            // Ticks beside an empty File key belong to no file.
            slot.copy = 0;
            slot.restore = 0;
            continue;
        }
        FileKey(key, "Copy", i);
        slot.copy = ReadSwitch(store, kFilesSection, key, "");
        FileKey(key, "Restore", i);
        slot.restore = ReadSwitch(store, kFilesSection, key, "");
        ++table.count;
    }
    // A hand-edited file may skip numbers; the list, appending and deleting all
    // assume the used slots come first.
    CloseHoles(table);
}

bool SaveSettingsTo(ProfileStore& store, const AppSettings& settings, const FileTable& table,
                    const LongValues* longValues) {
    bool ok = true;
    auto write = [&](const char* section, const char* key, const char* value) {
        if (!store.Write(section, key, value)) ok = false;
    };
    const char* mode = settings.autoCopyMode == 1 ? "1" : settings.autoCopyMode == 2 ? "2" : "0";
    write(kAutoSection, "AutoCopyMode", mode);
    write(kAutoSection, "Copy", SwitchText(settings.autoCopy));
    write(kAutoSection, "Restore", SwitchText(settings.autoRestore));
    write(kOverwriteSection, "Copy", SwitchText(settings.overwriteOnCopy));
    write(kOverwriteSection, "Restore", SwitchText(settings.overwriteOnRestore));
    write(kDestSection, "Directory", settings.destDir);

    char key[kKeySize];
    for (int i = 1; i <= kMaxFiles; ++i) {
        const FileEntry& slot = table.entries[i - 1];
        FileKey(key, "File", i);
        const bool whole = slot.longValue > 0 && longValues &&
                           static_cast<size_t>(slot.longValue) <= longValues->size();
        write(kFilesSection, key,
              whole ? (*longValues)[static_cast<size_t>(slot.longValue) - 1].c_str() : slot.path);
        FileKey(key, "Copy", i);
        write(kFilesSection, key, SwitchText(slot.copy));
        FileKey(key, "Restore", i);
        write(kFilesSection, key, SwitchText(slot.restore));
    }
    return ok;
}
