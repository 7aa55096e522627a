#include "model/settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The codec runs against an INI in memory, whose reads behave like GetPrivateProfileStringA
// (the value or the default, cut to size-1 bytes and terminated; names ignore case), and
// under Windows also against a real file through the profile functions. Either way every
// call is recorded, and writes of chosen keys can be made to fail.
class TestProfile : public ProfileStore {
public:
    struct Call {
        std::string section, key, value;  // value: the default for reads
        bool operator==(const Call& o) const {
            return section == o.section && key == o.key && value == o.value;
        }
    };

    explicit TestProfile(bool file) : file_(file) {
#ifdef _WIN32
        static int made = 0;
        char dir[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "vb_settings_test" + std::to_string(++made) + ".ini";
        if (file_) ::DeleteFileA(path_.c_str());
#endif
    }
    ~TestProfile() override {
#ifdef _WIN32
        if (file_) ::DeleteFileA(path_.c_str());
#endif
    }

    // Values set here stand in the file as they are written, blanks included.
    void Set(const std::string& section, const std::string& key, const std::string& value) {
        values_[Id(section, key)] = value;
        if (!file_) return;
        sections_[section] += key + "=" + value + "\r\n";
        std::string text;
        for (const auto& lines : sections_) text += "[" + lines.first + "]\r\n" + lines.second;
        FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    std::string Get(const std::string& section, const std::string& key) const {
        if (file_) {
            std::vector<char> buf(65536);
            Profile(section.c_str(), key.c_str(), "<missing>", buf.data(), int(buf.size()));
            return buf.data();
        }
        auto it = values_.find(Id(section, key));
        return it == values_.end() ? "<missing>" : it->second;
    }
    void FailWritesOf(const std::string& section, const std::string& key) {
        failing_.insert(Id(section, key));
    }

    void Read(const char* section, const char* key, const char* def, char* buf, int size) override {
        reads.push_back({section, key, def});
        if (file_) return Profile(section, key, def, buf, size);
        auto it = values_.find(Id(section, key));
        const std::string value = it == values_.end() ? def : it->second;
        const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
        std::memcpy(buf, value.data(), n);
        buf[n] = '\0';
    }
    bool Write(const char* section, const char* key, const char* value) override {
        writes.push_back({section, key, value});
        if (failing_.count(Id(section, key))) return false;
#ifdef _WIN32
        if (file_) return ::WritePrivateProfileStringA(section, key, value, path_.c_str()) != FALSE;
#endif
        values_[Id(section, key)] = value;
        return true;
    }

    std::vector<Call> reads;
    std::vector<Call> writes;

private:
    static std::string Id(const std::string& section, const std::string& key) {
        std::string id = section + "\n" + key;
        for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return id;
    }
    void Profile(const char* section, const char* key, const char* def, char* buf, int size) const {
#ifdef _WIN32
        ::GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(size), path_.c_str());
#else
        (void)section, (void)key, (void)def, (void)buf, (void)size;
#endif
    }
    bool file_;
    std::string path_;
    std::map<std::string, std::string> values_;
    std::set<std::string> failing_;
    std::map<std::string, std::string> sections_;  // a section's lines, for the file
};

// Each test runs once a store: "Memory", and under Windows "File".
class Settings : public testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Store, Settings,
#ifdef _WIN32
                         testing::Values(false, true),
#else
                         testing::Values(false),
#endif
                         [](const testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "File" : "Memory");
                         });

std::string Key(const char* stem, int i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%s%03d", stem, i);
    return buf;
}

struct Loaded {
    AppSettings settings;
    FileTable table;
};

Loaded Load(TestProfile& store) {
    Loaded out;
    std::memset(&out.settings, 0x5A, sizeof out.settings);
    ResetTable(out.table);
    LoadSettingsFrom(store, out.settings, out.table);
    return out;
}

void ExpectEmptyFrom(const FileTable& table, int first) {
    for (int k = first; k <= kMaxFiles; ++k) {
        EXPECT_STREQ(table.entries[k].path, "") << k;
        EXPECT_EQ(table.entries[k].copy, 0) << k;
        EXPECT_EQ(table.entries[k].restore, 0) << k;
    }
}

TEST_P(Settings, MissingFileGivesDefaultsAndReadsInOrder) {
    TestProfile store(GetParam());
    Loaded l = Load(store);
    EXPECT_EQ(l.settings.autoCopyMode, 0);
    EXPECT_EQ(l.settings.autoCopy, 0);
    EXPECT_EQ(l.settings.autoRestore, 0);
    EXPECT_EQ(l.settings.overwriteOnCopy, 0);
    EXPECT_EQ(l.settings.overwriteOnRestore, 0);
    EXPECT_STREQ(l.settings.destDir, "");
    EXPECT_EQ(l.table.count, 0);
    ExpectEmptyFrom(l.table, 0);

    std::vector<TestProfile::Call> expected = {
        {"AutoVellum", "AutoCopyMode", "0"}, {"AutoVellum", "Copy", "0"},
        {"AutoVellum", "Restore", "0"},      {"OverWrite", "Copy", "0"},
        {"OverWrite", "Restore", "0"},       {"DestinationDirectory", "Directory", ""},
    };
    // Tick keys are read only beside a used File key.
    for (int i = 1; i <= 32; ++i) expected.push_back({"Files", Key("File", i), ""});
    EXPECT_EQ(store.reads, expected);
}

TEST_P(Settings, TickKeysFollowTheirFileKey) {
    TestProfile store(GetParam());
    store.Set("Files", "File002", "C:\\b.txt");
    Load(store);
    ASSERT_GE(store.reads.size(), 10u);
    EXPECT_EQ(store.reads[6], (TestProfile::Call{"Files", "File001", ""}));
    EXPECT_EQ(store.reads[7], (TestProfile::Call{"Files", "File002", ""}));
    EXPECT_EQ(store.reads[8], (TestProfile::Call{"Files", "Copy002", ""}));
    EXPECT_EQ(store.reads[9], (TestProfile::Call{"Files", "Restore002", ""}));
    EXPECT_EQ(store.reads[10], (TestProfile::Call{"Files", "File003", ""}));
    EXPECT_EQ(store.reads.size(), 6u + 32u + 2u);
}

// Only "1" and "2" count, as written; a file's reader trims blanks around a value first.
TEST_P(Settings, OnlyExactValuesSwitchOn) {
    enum { kBoth, kMemory, kFile };
    const struct {
        const char* value;
        int mode;
        int onOff;
        int store;
    } cases[] = {
        {"1", 1, 1, kBoth},      {"2", 2, 0, kBoth},     {"3", 0, 0, kBoth},
        {"02", 0, 0, kBoth},     {"01", 0, 0, kBoth},    {"on", 0, 0, kBoth},
        {"", 0, 0, kBoth},       {"0", 0, 0, kBoth},     {"1 x", 0, 0, kBoth},
        {"1x", 0, 0, kBoth},     {"12", 0, 0, kBoth},    {"-1", 0, 0, kBoth},
        {"true", 0, 0, kBoth},   {"21", 0, 0, kBoth},    {"9999999999", 0, 0, kBoth},
        {"\xEF\xBC\x92", 0, 0, kBoth},  // a full-width 2
        {"2 ", 0, 0, kMemory},   {"2 ", 2, 0, kFile},    {" 1", 0, 0, kMemory},
        {" 1", 1, 1, kFile},     {"\t2", 0, 0, kMemory}, {"\t2", 2, 0, kFile},
    };
    for (const auto& c : cases) {
        if (c.store != kBoth && (c.store == kFile) != GetParam()) continue;
        SCOPED_TRACE(std::string("value \"") + c.value + "\"");
        TestProfile store(GetParam());
        store.Set("AutoVellum", "AutoCopyMode", c.value);
        store.Set("AutoVellum", "Copy", c.value);
        store.Set("AutoVellum", "Restore", c.value);
        store.Set("OverWrite", "Copy", c.value);
        store.Set("OverWrite", "Restore", c.value);
        store.Set("Files", "File001", "C:\\a.txt");
        store.Set("Files", "Copy001", c.value);
        store.Set("Files", "Restore001", c.value);
        Loaded l = Load(store);
        EXPECT_EQ(l.settings.autoCopyMode, c.mode);
        EXPECT_EQ(l.settings.autoCopy, c.onOff);
        EXPECT_EQ(l.settings.autoRestore, c.onOff);
        EXPECT_EQ(l.settings.overwriteOnCopy, c.onOff);
        EXPECT_EQ(l.settings.overwriteOnRestore, c.onOff);
        EXPECT_EQ(l.table.entries[0].copy, c.onOff);
        EXPECT_EQ(l.table.entries[0].restore, c.onOff);
    }
}

TEST_P(Settings, SwitchesSetApartStayApart) {
    TestProfile store(GetParam());
    store.Set("OverWrite", "Copy", "1");
    store.Set("OverWrite", "Restore", "0");
    store.Set("AutoVellum", "Copy", "0");
    store.Set("AutoVellum", "Restore", "1");
    Loaded l = Load(store);
    EXPECT_EQ(l.settings.overwriteOnCopy, 1);
    EXPECT_EQ(l.settings.overwriteOnRestore, 0);
    EXPECT_EQ(l.settings.autoCopy, 0);
    EXPECT_EQ(l.settings.autoRestore, 1);
    TestProfile out(GetParam());
    ASSERT_TRUE(SaveSettingsTo(out, l.settings, l.table));
    EXPECT_EQ(out.Get("OverWrite", "Copy"), "1");
    EXPECT_EQ(out.Get("OverWrite", "Restore"), "0");
    EXPECT_EQ(out.Get("AutoVellum", "Copy"), "0");
    EXPECT_EQ(out.Get("AutoVellum", "Restore"), "1");
}

TEST_P(Settings, TicksBesideEmptyFileKeyAreIgnored) {
    TestProfile store(GetParam());
    store.Set("Files", "File001", "");
    store.Set("Files", "Copy001", "1");
    store.Set("Files", "Restore001", "1");
    store.Set("Files", "File002", "C:\\b.txt");
    store.Set("Files", "Copy002", "0");
    Loaded l = Load(store);
    ASSERT_EQ(l.table.count, 1);
    EXPECT_STREQ(l.table.entries[0].path, "C:\\b.txt");
    EXPECT_EQ(l.table.entries[0].copy, 0);
    EXPECT_EQ(l.table.entries[0].restore, 0);
    ExpectEmptyFrom(l.table, 1);
}

TEST_P(Settings, ThirtyTwoFiles) {
    TestProfile store(GetParam());
    for (int i = 1; i <= 32; ++i) {
        store.Set("Files", Key("File", i), "C:\\f\\" + std::to_string(i));
        store.Set("Files", Key("Copy", i), i % 2 ? "1" : "0");
        store.Set("Files", Key("Restore", i), i % 3 ? "0" : "1");
    }
    store.Set("Files", "File033", "C:\\ignored");
    Loaded l = Load(store);
    ASSERT_EQ(l.table.count, 32);
    for (int i = 1; i <= 32; ++i) {
        const FileEntry& e = l.table.entries[i - 1];
        EXPECT_EQ(std::string(e.path), "C:\\f\\" + std::to_string(i));
        EXPECT_EQ(e.copy, i % 2 ? 1 : 0);
        EXPECT_EQ(e.restore, i % 3 ? 0 : 1);
    }
    ExpectEmptyFrom(l.table, 32);
}

TEST_P(Settings, HolesBetweenFileKeysAreClosed) {
    TestProfile store(GetParam());
    store.Set("Files", "File002", "C:\\two");
    store.Set("Files", "Copy002", "1");
    store.Set("Files", "File005", "C:\\five");
    store.Set("Files", "Restore005", "1");
    store.Set("Files", "Copy004", "1");  // beside a missing File004
    store.Set("Files", "File032", "C:\\last");
    store.Set("Files", "Copy032", "1");
    store.Set("Files", "Restore032", "1");
    Loaded l = Load(store);
    ASSERT_EQ(l.table.count, 3);
    const struct {
        const char* path;
        int copy, restore;
    } expected[] = {{"C:\\two", 1, 0}, {"C:\\five", 0, 1}, {"C:\\last", 1, 1}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_STREQ(l.table.entries[k].path, expected[k].path);
        EXPECT_EQ(l.table.entries[k].copy, expected[k].copy);
        EXPECT_EQ(l.table.entries[k].restore, expected[k].restore);
    }
    ExpectEmptyFrom(l.table, 3);
}

TEST_P(Settings, LongValuesAreCutTo259Bytes) {
    const std::string longPath = "C:\\" + std::string(4997, 'p');
    TestProfile store(GetParam());
    store.Set("Files", "File001", longPath);
    store.Set("DestinationDirectory", "Directory", longPath);
    store.Set("AutoVellum", "AutoCopyMode", std::string(5000, '1'));
    Loaded l = Load(store);
    EXPECT_EQ(std::string(l.table.entries[0].path), longPath.substr(0, 259));
    EXPECT_EQ(std::string(l.settings.destDir), longPath.substr(0, 259));
    EXPECT_EQ(l.settings.autoCopyMode, 0);
    EXPECT_NE(l.table.entries[0].longValue, 0) << "a cut File value is marked";
}

// A File value cut on loading is marked, kept whole, and saved back whole, also after
// the entries before it moved.
TEST_P(Settings, LongFileValuesAreMarkedAndSavedWhole) {
    const std::string base = "C:\\" + std::string(251, 'x');  // 254 bytes
    //   File value length   marked
    const struct {
        size_t length;
        bool marked;
    } cases[] = {{254, false}, {259, false}, {260, true}, {300, true}, {5000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string value = base + std::string(c.length - base.size(), 'y');
        TestProfile store(GetParam());
        store.Set("Files", "File001", "C:\\gone.txt");
        store.Set("Files", "File003", value);
        store.Set("Files", "Copy003", "1");
        AppSettings settings{};
        FileTable table;
        ResetTable(table);
        LongValues longValues;
        LoadSettingsFrom(store, settings, table, &longValues);
        ASSERT_EQ(table.count, 2);
        EXPECT_EQ(std::string(table.entries[1].path), value.substr(0, 259));
        EXPECT_EQ(table.entries[1].longValue != 0, c.marked);
        EXPECT_EQ(table.entries[1].copy, 1);
        ASSERT_TRUE(DeleteEntry(table, 0));
        ASSERT_TRUE(SaveSettingsTo(store, settings, table, &longValues));
        EXPECT_EQ(store.Get("Files", "File001"), value);
        EXPECT_EQ(store.Get("Files", "Copy001"), "1");
        EXPECT_EQ(store.Get("Files", "File002"), "");
    }
}

TEST_P(Settings, DirectoryKeptAsWritten) {
    const std::string dirs[] = {"E:\\Backup", "E:\\Backup\\", "\\\\server\\share", "E:/x/",
                                "C:\\" + std::string(255, 'd') + "\\"};  // 259 bytes
    for (const std::string& dir : dirs) {
        TestProfile store(GetParam());
        store.Set("DestinationDirectory", "Directory", dir);
        EXPECT_EQ(Load(store).settings.destDir, dir);
    }
}

AppSettings SampleSettings() {
    AppSettings s{};
    s.autoCopyMode = 1;
    s.autoCopy = 1;
    s.autoRestore = 1;
    s.overwriteOnCopy = 1;
    s.overwriteOnRestore = 1;
    CopyPath(s.destDir, kPathSize, "E:\\Backup\\");
    return s;
}

FileTable SampleTable() {
    FileTable t;
    ResetTable(t);
    FileEntry a{}, b{};
    CopyPath(a.path, kPathSize, "C:\\Work\\report.doc");
    a.copy = a.restore = 1;
    CopyPath(b.path, kPathSize, "C:\\Work\\notes.txt");
    b.copy = 1;
    AppendEntry(t, a);
    AppendEntry(t, b);
    return t;
}

TEST_P(Settings, WritesTheHundredAndTwoKeysInOrder) {
    TestProfile store(GetParam());
    ASSERT_TRUE(SaveSettingsTo(store, SampleSettings(), SampleTable()));
    std::vector<TestProfile::Call> expected = {
        {"AutoVellum", "AutoCopyMode", "1"},
        {"AutoVellum", "Copy", "1"},
        {"AutoVellum", "Restore", "1"},
        {"OverWrite", "Copy", "1"},
        {"OverWrite", "Restore", "1"},
        {"DestinationDirectory", "Directory", "E:\\Backup\\"},
        {"Files", "File001", "C:\\Work\\report.doc"},
        {"Files", "Copy001", "1"},
        {"Files", "Restore001", "1"},
        {"Files", "File002", "C:\\Work\\notes.txt"},
        {"Files", "Copy002", "1"},
        {"Files", "Restore002", "0"},
    };
    // Empty slots are written too, so files deleted since the last save disappear.
    for (int i = 3; i <= 32; ++i) {
        expected.push_back({"Files", Key("File", i), ""});
        expected.push_back({"Files", Key("Copy", i), "0"});
        expected.push_back({"Files", Key("Restore", i), "0"});
    }
    ASSERT_EQ(expected.size(), 102u);
    EXPECT_EQ(store.writes, expected);
    EXPECT_TRUE(store.reads.empty());
    for (const auto& w : expected) EXPECT_EQ(store.Get(w.section, w.key), w.value) << w.key;
}

TEST_P(Settings, OddValuesAreWrittenAsOff) {
    const struct {
        int value;
        const char* mode;
        const char* onOff;
    } cases[] = {{0, "0", "0"}, {1, "1", "1"}, {2, "2", "0"}, {3, "0", "0"}, {-1, "0", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        AppSettings s = SampleSettings();
        s.autoCopyMode = s.autoCopy = s.autoRestore = c.value;
        s.overwriteOnCopy = s.overwriteOnRestore = c.value;
        FileTable t = SampleTable();
        t.entries[0].copy = t.entries[0].restore = c.value;
        TestProfile store(GetParam());
        ASSERT_TRUE(SaveSettingsTo(store, s, t));
        EXPECT_EQ(store.Get("AutoVellum", "AutoCopyMode"), c.mode);
        EXPECT_EQ(store.Get("AutoVellum", "Copy"), c.onOff);
        EXPECT_EQ(store.Get("AutoVellum", "Restore"), c.onOff);
        EXPECT_EQ(store.Get("OverWrite", "Copy"), c.onOff);
        EXPECT_EQ(store.Get("OverWrite", "Restore"), c.onOff);
        EXPECT_EQ(store.Get("Files", "Copy001"), c.onOff);
        EXPECT_EQ(store.Get("Files", "Restore001"), c.onOff);
    }
}

TEST_P(Settings, FailedWriteIsReportedAndTheRestStillWritten) {
    for (const char* failing : {"AutoCopyMode", "Directory", "Copy017", "Restore032"}) {
        SCOPED_TRACE(failing);
        TestProfile store(GetParam());
        const char* section = std::strcmp(failing, "AutoCopyMode") == 0 ? "AutoVellum"
                              : std::strcmp(failing, "Directory") == 0  ? "DestinationDirectory"
                                                                        : "Files";
        store.FailWritesOf(section, failing);
        EXPECT_FALSE(SaveSettingsTo(store, SampleSettings(), SampleTable()));
        EXPECT_EQ(store.writes.size(), 102u);
        EXPECT_EQ(store.Get(section, failing), "<missing>");
        EXPECT_EQ(store.Get("Files", "Restore031"), "0");
        EXPECT_EQ(store.Get("Files", "File001"), "C:\\Work\\report.doc");
    }
}

TEST_P(Settings, RoundTrip) {
    AppSettings s{};
    s.autoCopyMode = 2;
    s.autoCopy = 1;
    s.overwriteOnRestore = 1;
    CopyPath(s.destDir, kPathSize, "D:\\\x95\x5C\\");  // folder named with a 0x5C second byte
    FileTable t;
    ResetTable(t);
    for (int i = 0; i < 32; ++i) {
        FileEntry e{};
        CopyPath(e.path, kPathSize, ("C:\\dir " + std::to_string(i) + "\\f.txt").c_str());
        e.copy = i % 2;
        e.restore = i % 5 == 0;
        ASSERT_TRUE(AppendEntry(t, e));
    }
    ASSERT_TRUE(DeleteEntry(t, 4));

    TestProfile store(GetParam());
    store.Set("Files", "File033", "C:\\kept");
    store.Set("Other", "Key", "kept");
    store.Set("AutoVellum", "Mine", "kept");
    ASSERT_TRUE(SaveSettingsTo(store, s, t));
    Loaded l = Load(store);
    EXPECT_EQ(l.settings.autoCopyMode, 2);
    EXPECT_EQ(l.settings.autoCopy, 1);
    EXPECT_EQ(l.settings.autoRestore, 0);
    EXPECT_EQ(l.settings.overwriteOnCopy, 0);
    EXPECT_EQ(l.settings.overwriteOnRestore, 1);
    EXPECT_STREQ(l.settings.destDir, s.destDir);
    ASSERT_EQ(l.table.count, 31);
    for (int k = 0; k <= kMaxFiles; ++k) {
        SCOPED_TRACE(k);
        EXPECT_STREQ(l.table.entries[k].path, t.entries[k].path);
        EXPECT_EQ(l.table.entries[k].copy, t.entries[k].copy);
        EXPECT_EQ(l.table.entries[k].restore, t.entries[k].restore);
    }
    EXPECT_EQ(store.Get("Files", "File033"), "C:\\kept");
    EXPECT_EQ(store.Get("Other", "Key"), "kept");
    EXPECT_EQ(store.Get("AutoVellum", "Mine"), "kept");
}

}  // namespace
