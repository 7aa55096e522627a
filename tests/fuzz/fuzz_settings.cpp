// Loading the settings from a profile whose every key may hold anything, then saving and
// loading again. The input is read as a small profile file: "[Section]" lines and
// "Key=value" lines; the value runs to the end of the line, unchanged.
#include <cstdint>
#include <cstring>
#include <string>
#include <map>
#include <utility>
#include <vector>

#include "model/settings.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Section and key compare without case, as in a profile file.
std::string Id(const std::string& section, const std::string& key) {
    std::string id = section + '\n' + key;
    for (char& c : id)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return id;
}

class MemoryStore : public ProfileStore {
public:
    std::map<std::string, std::string> keys;
    int writes = 0;
    int failAt = -1;  // the write with this number fails (and stores nothing)

    // Like GetPrivateProfileStringA: the value or the default, cut to size-1 bytes.
    void Read(const char* section, const char* key, const char* def, char* buf, int size) override {
        FUZZ_CHECK(section && key && buf != nullptr && size > 0);
        auto k = keys.find(Id(section, key));
        std::string v = k != keys.end() ? k->second : std::string(def ? def : "");
        v = v.c_str();
        size_t n = std::min(v.size(), static_cast<size_t>(size - 1));
        std::memcpy(buf, v.data(), n);
        buf[n] = '\0';
    }
    bool Write(const char* section, const char* key, const char* value) override {
        FUZZ_CHECK(section && key && value);
        if (writes++ == failAt) return false;
        keys[Id(section, key)] = value;
        return true;
    }
    // The value as loading sees it: up to its first zero, cut to 259 bytes.
    std::string Seen(const char* section, const char* key, const char* def) const {
        auto k = keys.find(Id(section, key));
        std::string v = k != keys.end() ? k->second : std::string(def);
        v = v.c_str();
        return v.substr(0, kPathSize - 1);
    }
};

void Parse(const std::string& text, MemoryStore& store) {
    std::string section;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            section = line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        // The first of repeated keys wins, as in a profile file.
        store.keys.emplace(Id(section, line.substr(0, eq)), line.substr(eq + 1));
    }
}

bool Terminated(const char* buf, size_t size) { return std::memchr(buf, '\0', size) != nullptr; }

void CheckTable(const FileTable& t) {
    FUZZ_CHECK(t.count >= 0 && t.count <= kMaxFiles);
    for (int k = 0; k <= kMaxFiles; ++k) {
        const FileEntry& e = t.entries[k];
        FUZZ_CHECK(Terminated(e.path, kPathSize));
        if (k < t.count) {
            FUZZ_CHECK(e.path[0] != '\0');
            FUZZ_CHECK(e.copy == 0 || e.copy == 1);
            FUZZ_CHECK(e.restore == 0 || e.restore == 1);
        } else {
            FUZZ_CHECK(e.path[0] == '\0' && e.copy == 0 && e.restore == 0);
        }
    }
}

void CheckSettings(const AppSettings& s) {
    FUZZ_CHECK(s.autoCopyMode >= 0 && s.autoCopyMode <= 2);
    for (int32_t v : {s.autoCopy, s.autoRestore, s.overwriteOnCopy, s.overwriteOnRestore})
        FUZZ_CHECK(v == 0 || v == 1);
    FUZZ_CHECK(Terminated(s.destDir, kPathSize));
}

void Load(MemoryStore& store, AppSettings& s, FileTable& t) {
    std::memset(&s, 0x5A, sizeof s);
    ResetTable(t);
    LoadSettingsFrom(store, s, t);
    CheckSettings(s);
    CheckTable(t);
}

bool Same(const AppSettings& a, const FileTable& ta, const AppSettings& b, const FileTable& tb) {
    if (a.autoCopyMode != b.autoCopyMode || a.autoCopy != b.autoCopy ||
        a.autoRestore != b.autoRestore || a.overwriteOnCopy != b.overwriteOnCopy ||
        a.overwriteOnRestore != b.overwriteOnRestore || std::strcmp(a.destDir, b.destDir) != 0 ||
        ta.count != tb.count)
        return false;
    for (int k = 0; k <= kMaxFiles; ++k) {
        const FileEntry &x = ta.entries[k], &y = tb.entries[k];
        if (std::strcmp(x.path, y.path) != 0 || x.copy != y.copy || x.restore != y.restore)
            return false;
    }
    return true;
}

std::string Number(const char* stem, int i) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%03d", stem, i);
    return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryStore store;
    Parse(std::string(reinterpret_cast<const char*>(data), size), store);
    AppSettings s;
    FileTable t;
    Load(store, s, t);

    // What was read must be what the store holds.
    FUZZ_CHECK(s.autoCopyMode == (store.Seen("AutoVellum", "AutoCopyMode", "0") == "1"   ? 1
                                  : store.Seen("AutoVellum", "AutoCopyMode", "0") == "2" ? 2
                                                                                         : 0));
    FUZZ_CHECK(s.autoCopy == (store.Seen("AutoVellum", "Copy", "0") == "1"));
    FUZZ_CHECK(s.autoRestore == (store.Seen("AutoVellum", "Restore", "0") == "1"));
    FUZZ_CHECK(s.overwriteOnCopy == (store.Seen("OverWrite", "Copy", "0") == "1"));
    FUZZ_CHECK(s.overwriteOnRestore == (store.Seen("OverWrite", "Restore", "0") == "1"));
    FUZZ_CHECK(store.Seen("DestinationDirectory", "Directory", "") == s.destDir);
    int used = 0;
    for (int i = 1; i <= kMaxFiles; ++i) {
        std::string path = store.Seen("Files", Number("File", i).c_str(), "");
        if (path.empty()) continue;
        const FileEntry& e = t.entries[used++];
        FUZZ_CHECK(path == e.path);
        FUZZ_CHECK(e.copy == (store.Seen("Files", Number("Copy", i).c_str(), "") == "1"));
        FUZZ_CHECK(e.restore == (store.Seen("Files", Number("Restore", i).c_str(), "") == "1"));
    }
    FUZZ_CHECK(t.count == used);

    // Round trip through a fresh profile.
    MemoryStore saved;
    FUZZ_CHECK(SaveSettingsTo(saved, s, t));
    FUZZ_CHECK(saved.writes == 102 && saved.keys.size() == 102);
    AppSettings s2;
    FileTable t2;
    Load(saved, s2, t2);
    FUZZ_CHECK(Same(s, t, s2, t2));

    // Writing over the original profile gives the same; a failed write is reported, and
    // every other write is still made.
    store.failAt = static_cast<int>(size % 103);
    const bool ok = SaveSettingsTo(store, s, t);
    FUZZ_CHECK(store.writes == 102);
    FUZZ_CHECK(ok == (store.failAt >= 102));
    if (ok) {
        AppSettings s3;
        FileTable t3;
        Load(store, s3, t3);
        FUZZ_CHECK(Same(s, t, s3, t3));
    }
    return 0;
}
