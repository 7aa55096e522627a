// A profile held in memory, for timing the settings codec without any file system.
// Pure code: builds natively and with MinGW.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "model/settings.h"

class MemoryProfile : public ProfileStore {
public:
    void Read(const char* section, const char* key, const char* def, char* buf, int size) override {
        auto it = values.find(section + std::string(1, '\0') + key);
        const char* v = it == values.end() ? def : it->second.c_str();
        std::strncpy(buf, v, size - 1);
        buf[size - 1] = '\0';
    }
    bool Write(const char* section, const char* key, const char* value) override {
        values[section + std::string(1, '\0') + key] = value;
        return true;
    }

private:
    std::map<std::string, std::string> values;
};

// The profile a full table makes: mode 0, both overwrite switches, 32 files.
inline void FillBenchProfile(ProfileStore& store, const char* folder) {
    store.Write("AutoVellum", "AutoCopyMode", "0");
    store.Write("AutoVellum", "Copy", "1");
    store.Write("AutoVellum", "Restore", "1");
    store.Write("OverWrite", "Copy", "1");
    store.Write("OverWrite", "Restore", "1");
    store.Write("DestinationDirectory", "Directory", "C:\\Backup\\");
    for (int i = 1; i <= kMaxFiles; ++i) {
        char key[16], value[kPathSize];
        std::snprintf(key, sizeof key, "File%03d", i);
        std::snprintf(value, sizeof value, "%sfile%02d.bin", folder, i);
        store.Write("Files", key, value);
        std::snprintf(key, sizeof key, "Copy%03d", i);
        store.Write("Files", key, "1");
        std::snprintf(key, sizeof key, "Restore%03d", i);
        store.Write("Files", key, "1");
    }
}

inline double MedianOf(std::vector<double> v) {
    if (v.empty()) return -1.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Median microseconds of one LoadSettingsFrom over the in-memory profile.
inline double TimeMemoryLoad(int iterations) {
    MemoryProfile store;
    FillBenchProfile(store, "C:\\Data\\");
    std::vector<double> us;
    us.reserve(iterations);
    AppSettings settings;
    static FileTable table;
    for (int i = 0; i < iterations; ++i) {
        settings = AppSettings{};
        ResetTable(table);
        auto t0 = std::chrono::steady_clock::now();
        LoadSettingsFrom(store, settings, table);
        auto t1 = std::chrono::steady_clock::now();
        us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        if (table.count != kMaxFiles) return -1.0;  // the profile did not load: no figure
    }
    return MedianOf(us);
}
