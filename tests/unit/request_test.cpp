#include "engine/request.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/unit/table_builder.h"

namespace {

#define HYO "\x95\x5C"  // 表: second byte is the backslash code
#define SO "\x83\x5C"   // ソ

// Each name followed by one zero byte, then one more.
std::string List(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out.append(n).push_back('\0');
    out.push_back('\0');
    return out;
}

// Zero bytes and high bytes made visible in failure messages.
std::string Show(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c == 0) {
            out += "\\0";
        } else if (c >= 0x80 || c < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

struct Expected {
    std::vector<std::string> from;
    std::vector<std::string> to;
    std::vector<std::string> leftOut;
    std::vector<std::string> badName = {};
    std::vector<std::string> relative = {};
    std::vector<std::string> ownFolder = {};
};

void ExpectRequest(const FileRequest& r, const Expected& e, unsigned flags) {
    EXPECT_EQ(Show(r.from), Show(List(e.from)));
    EXPECT_EQ(Show(r.to), Show(List(e.to)));
    EXPECT_EQ(r.count, static_cast<int>(e.from.size()));
    EXPECT_EQ(r.flags, flags);
    EXPECT_EQ(r.leftOut, e.leftOut);
    EXPECT_EQ(r.badName, e.badName);
    EXPECT_EQ(r.relative, e.relative);
    EXPECT_EQ(r.ownFolder, e.ownFolder);
}

TEST(Request, WorkedExample) {
    const FileTable table =
        MakeTable({{"C:\\Work\\report.doc", 1, 1}, {"C:\\Work\\notes.txt", 1, 0}});
    const FileRequest copy = BuildCopyRequest(table, "E:\\Backup\\", 0, IsLeadByteNone);
    EXPECT_EQ(copy.from, std::string("C:\\Work\\report.doc\0C:\\Work\\notes.txt\0\0", 38));
    EXPECT_EQ(copy.to, std::string("E:\\Backup\\\0\0", 12));
    EXPECT_EQ(copy.flags, 0x0300u);
    EXPECT_EQ(copy.count, 2);
    EXPECT_TRUE(copy.leftOut.empty());

    const FileRequest restore = BuildRestoreRequest(table, "E:\\Backup\\", 0, IsLeadByteNone);
    EXPECT_EQ(restore.from, std::string("E:\\Backup\\report.doc\0\0", 22));
    EXPECT_EQ(restore.to, std::string("C:\\Work\\report.doc\0\0", 20));
    EXPECT_EQ(restore.flags, 0x0301u);
    EXPECT_EQ(restore.count, 1);
    EXPECT_TRUE(restore.leftOut.empty());
}

TEST(Request, OverwriteSwitchesActApart) {
    const FileTable table = MakeTable({{"C:\\a.txt", 1, 1}});
    const struct {
        int overwrite;
        unsigned copy, restore;
    } cases[] = {
        {0, 0x0300, 0x0301}, {1, 0x0310, 0x0311}, {2, 0x0300, 0x0301}, {-1, 0x0300, 0x0301}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overwrite);
        EXPECT_EQ(BuildCopyRequest(table, "E:\\", c.overwrite, IsLeadByteNone).flags, c.copy);
        EXPECT_EQ(BuildRestoreRequest(table, "E:\\", c.overwrite, IsLeadByteNone).flags, c.restore);
    }
    // Copy replacing silently says nothing about Restore.
    EXPECT_EQ(BuildCopyRequest(table, "E:\\", 1, IsLeadByteNone).flags & kFofNoConfirmation,
              kFofNoConfirmation);
    EXPECT_EQ(BuildRestoreRequest(table, "E:\\", 0, IsLeadByteNone).flags & kFofNoConfirmation, 0u);
}

TEST(Request, NothingTickedMeansNoCall) {
    const FileTable cases[] = {
        MakeTable({}),
        MakeTable({{"C:\\a.txt", 0, 0}, {"C:\\b.txt", 0, 0}}),
        // Only 1 counts as ticked.
        MakeTable({{"C:\\a.txt", 2, -1}}),
    };
    for (const FileTable& table : cases) {
        EXPECT_EQ(BuildCopyRequest(table, "E:\\Backup\\", 0, IsLeadByteNone).count, 0);
        EXPECT_EQ(BuildRestoreRequest(table, "E:\\Backup\\", 0, IsLeadByteNone).count, 0);
    }
}

TEST(Request, AllThirtyTwoTicked) {
    std::vector<Row> rows;
    Expected copy, restore;
    for (int i = 0; i < 32; ++i) {
        const std::string name = "file" + std::to_string(i) + ".dat";
        rows.push_back({"C:\\d" + std::to_string(i % 3) + "\\" + name, 1, 1});
        copy.from.push_back(rows.back().path);
        restore.from.push_back("E:\\B\\" + name);
        restore.to.push_back(rows.back().path);
    }
    copy.to = {"E:\\B\\"};
    const FileTable table = MakeTable(rows);
    ExpectRequest(BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone), copy, 0x0300);
    ExpectRequest(BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone), restore, 0x0301);
}

TEST(Request, RestoreNamesFromTheLastRealSeparator) {
    const struct {
        const char* what;
        const char* path;
        LeadByteFn lead;
        const char* source;
    } cases[] = {
        {"no extension", "C:\\Work\\README", IsLeadByteNone, "E:\\Backup\\README"},
        {"leading dot", "C:\\Work\\.profile", IsLeadByteNone, "E:\\Backup\\.profile"},
        {"two dots", "C:\\Work\\a.tar.gz", IsLeadByteNone, "E:\\Backup\\a.tar.gz"},
        {"slashes", "C:/Work/notes.txt", IsLeadByteNone, "E:\\Backup\\notes.txt"},
        {"UNC", "\\\\srv\\share\\x.doc", IsLeadByteNone, "E:\\Backup\\x.doc"},
        {"0x5C second byte in name", "C:\\Work\\" HYO ".txt", IsLeadByte932,
         "E:\\Backup\\" HYO ".txt"},
        {"name ends in 0x5C second byte", "C:\\" SO "\\" HYO, IsLeadByte932, "E:\\Backup\\" HYO},
        {"folder ends in 0x5C second byte", "C:\\" HYO "\\x.txt", IsLeadByte932,
         "E:\\Backup\\x.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FileTable table = MakeTable({{c.path, 1, 1}});
        ExpectRequest(BuildRestoreRequest(table, "E:\\Backup\\", 0, c.lead),
                      {{c.source}, {c.path}, {}}, 0x0301);
        // Copy passes the path whole.
        ExpectRequest(BuildCopyRequest(table, "E:\\Backup\\", 0, c.lead),
                      {{c.path}, {"E:\\Backup\\"}, {}}, 0x0300);
    }
}

TEST(Request, EmptyOrRelativeDestinationMakesNoRequest) {
    const FileTable table = MakeTable({{"C:\\a.txt", 1, 1}});
    //   destination        counts as relative
    const struct {
        const char* dest;
        bool relative;
    } cases[] = {
        {"", false},          {nullptr, false},     {"Backup\\", true},  {".\\", true},
        {"E:Backup\\", true}, {"\\Backup\\", true}, {"\\\\srv\\", true}, {"\\\\\\share\\", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dest ? c.dest : "null");
        const FileRequest copy = BuildCopyRequest(table, c.dest, 1, IsLeadByteNone);
        const FileRequest restore = BuildRestoreRequest(table, c.dest, 1, IsLeadByteNone);
        EXPECT_EQ(copy.count, 0);
        EXPECT_EQ(restore.count, 0);
        EXPECT_EQ(copy.from.find("a.txt"), std::string::npos);
        EXPECT_EQ(restore.to.find("a.txt"), std::string::npos);
        EXPECT_EQ(copy.relativeDest, c.relative);
        EXPECT_EQ(restore.relativeDest, c.relative);
    }
    // A share is as absolute as a drive.
    EXPECT_EQ(BuildCopyRequest(table, "\\\\srv\\share\\", 0, IsLeadByteNone).count, 1);
    EXPECT_EQ(BuildRestoreRequest(table, "\\\\srv\\share", 0, IsLeadByteNone).count, 1);
}

TEST(Request, BothOperationsAddMissingSeparator) {
    const struct {
        const char* dest;
        LeadByteFn lead;
        const char* folder;
    } cases[] = {
        {"E:\\Backup", IsLeadByteNone, "E:\\Backup\\"},
        {"E:\\Backup\\", IsLeadByteNone, "E:\\Backup\\"},
        {"E:/Backup/", IsLeadByteNone, "E:/Backup/"},
        {"E:/Backup", IsLeadByteNone, "E:/Backup\\"},
        // The trailing 0x5C belongs to 表: the folder still needs its separator.
        {"E:\\" HYO, IsLeadByte932, "E:\\" HYO "\\"},
        {"E:\\" HYO "\\", IsLeadByte932, "E:\\" HYO "\\"},
        {"E:\\" SO, IsLeadByte932, "E:\\" SO "\\"},
    };
    const FileTable table = MakeTable({{"C:\\a.txt", 1, 1}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dest);
        const std::string source = std::string(c.folder) + "a.txt";
        ExpectRequest(BuildRestoreRequest(table, c.dest, 0, c.lead), {{source}, {"C:\\a.txt"}, {}},
                      0x0301);
        // Without the separator a single file would be written over a file of that name.
        ExpectRequest(BuildCopyRequest(table, c.dest, 0, c.lead), {{"C:\\a.txt"}, {c.folder}, {}},
                      0x0300);
    }
}

// Stands in for the system's rule in code page 1252: Latin-1 letters fold as well.
bool SameLatin1(const char* a, const char* b) {
    auto fold = [](unsigned char c) -> unsigned {
        if (c == '/') return '\\';
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20u;
        return c;
    };
    for (;; ++a, ++b) {
        if (fold(static_cast<unsigned char>(*a)) != fold(static_cast<unsigned char>(*b)))
            return false;
        if (*a == '\0') return true;
    }
}

// Stands in for a file system that keeps short names: longfilename.txt in C:\a is also
// LONGFI~1.TXT; C:\b\OTHER~1.TXT is listed by the short name of otherfile.txt; in the
// destination, LONGFI~2.TXT opens a file of another long name.
bool StandInOtherName(const char* path, std::string& name) {
    const std::string p = path;
    if (p == "C:\\a\\longfilename.txt")
        name = "LONGFI~1.TXT";
    else if (p == "C:\\b\\OTHER~1.TXT")
        name = "otherfile.txt";
    else
        return false;
    return true;
}
bool StandInAliased(const char* path) { return std::string(path) == "E:\\B\\LONGFI~2.TXT"; }
const ShortNames kStandInShortNames{StandInOtherName, StandInAliased};

TEST(Request, NameClashesAreLeftOut) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        LeadByteFn lead;
        Expected copy;  // from and leftOut
        Expected restore;
        SameNameFn rule = nullptr;  // the system's rule; none folds ASCII letters only
        ShortNames shortNames = {};
    };
    const Case cases[] = {
        {"different folders, same name",
         {{"C:\\a\\report.doc", 1, 1}, {"C:\\b\\REPORT.DOC", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\report.doc"}, {}, {"C:\\b\\REPORT.DOC"}},
         {{"E:\\B\\report.doc"}, {"C:\\a\\report.doc"}, {"C:\\b\\REPORT.DOC"}}},
        {"earlier entry unticked still owns the name",
         {{"C:\\a\\report.doc", 0, 0}, {"C:\\b\\report.doc", 1, 1}},
         IsLeadByteNone,
         {{}, {}, {"C:\\b\\report.doc"}},
         {{}, {}, {"C:\\b\\report.doc"}}},
        {"earlier entry ticked for the other operation only",
         {{"C:\\a\\report.doc", 1, 0}, {"C:\\b\\report.doc", 0, 1}},
         IsLeadByteNone,
         {{"C:\\a\\report.doc"}, {}, {}},
         {{}, {}, {"C:\\b\\report.doc"}}},
        {"same file twice is done once, silently",
         {{"C:\\Work\\a.txt", 1, 1}, {"c:/WORK/A.TXT", 1, 1}},
         IsLeadByteNone,
         {{"C:\\Work\\a.txt"}, {}, {}},
         {{"E:\\B\\a.txt"}, {"C:\\Work\\a.txt"}, {}}},
        {"same file twice, first unticked",
         {{"C:\\Work\\a.txt", 0, 0}, {"C:\\Work\\a.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\Work\\a.txt"}, {}, {}},
         {{"E:\\B\\a.txt"}, {"C:\\Work\\a.txt"}, {}}},
        {"clashing path listed twice is reported once",
         {{"C:\\a\\x.txt", 1, 1},
          {"C:\\b\\x.txt", 1, 1},
          {"C:\\b\\x.txt", 1, 1},
          {"C:\\c\\x.txt", 0, 1}},
         IsLeadByteNone,
         {{"C:\\a\\x.txt"}, {}, {"C:\\b\\x.txt"}},
         {{"E:\\B\\x.txt"}, {"C:\\a\\x.txt"}, {"C:\\b\\x.txt", "C:\\c\\x.txt"}}},
        {"unrelated files around a clash keep their order",
         {{"C:\\1.txt", 1, 1}, {"C:\\a\\2.txt", 1, 1}, {"C:\\b\\2.txt", 1, 1}, {"C:\\3.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\1.txt", "C:\\a\\2.txt", "C:\\3.txt"}, {}, {"C:\\b\\2.txt"}},
         {{"E:\\B\\1.txt", "E:\\B\\2.txt", "E:\\B\\3.txt"},
          {"C:\\1.txt", "C:\\a\\2.txt", "C:\\3.txt"},
          {"C:\\b\\2.txt"}}},
        // Windows drops trailing dots and spaces: both names are "a.txt" in the folder.
        {"trailing dot and space meet the plain name",
         {{"C:\\a\\a.txt", 1, 1}, {"C:\\b\\a.txt.", 1, 1}, {"C:\\c\\A.TXT . ", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\a.txt"}, {}, {"C:\\b\\a.txt.", "C:\\c\\A.TXT . "}},
         {{"E:\\B\\a.txt"}, {"C:\\a\\a.txt"}, {"C:\\b\\a.txt.", "C:\\c\\A.TXT . "}}},
        {"trailing dot on the first, clash still found",
         {{"C:\\a\\a.txt..", 1, 1}, {"C:\\b\\a.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\a.txt.."}, {}, {"C:\\b\\a.txt"}},
         {{"E:\\B\\a.txt.."}, {"C:\\a\\a.txt.."}, {"C:\\b\\a.txt"}}},
        {"the same file with a trailing dot is done once, silently",
         {{"C:\\Work\\a.txt", 1, 1}, {"C:\\Work\\a.txt.", 1, 1}},
         IsLeadByteNone,
         {{"C:\\Work\\a.txt"}, {}, {}},
         {{"E:\\B\\a.txt"}, {"C:\\Work\\a.txt"}, {}}},
        {"inner dots are part of the name",
         {{"C:\\a\\a.txt", 1, 0}, {"C:\\b\\a..txt", 1, 0}},
         IsLeadByteNone,
         {{"C:\\a\\a.txt", "C:\\b\\a..txt"}, {}, {}},
         {{}, {}, {}}},
        {"only letters fold",
         {{"C:\\a\\[x].txt", 1, 0}, {"C:\\b\\{x}.txt", 1, 0}},
         IsLeadByteNone,
         {{"C:\\a\\[x].txt", "C:\\b\\{x}.txt"}, {}, {}},
         {{}, {}, {}}},
        // 0x83 0x41 and 0x83 0x61 are two different katakana: no case folding inside them.
        {"double-byte trail bytes are not folded",
         {{"C:\\a\\\x83\x41.txt", 1, 1}, {"C:\\b\\\x83\x61.txt", 1, 1}},
         IsLeadByte932,
         {{"C:\\a\\\x83\x41.txt", "C:\\b\\\x83\x61.txt"}, {}, {}},
         {{"E:\\B\\\x83\x41.txt", "E:\\B\\\x83\x61.txt"},
          {"C:\\a\\\x83\x41.txt", "C:\\b\\\x83\x61.txt"},
          {}}},
        {"with the system's rule, accented names that differ in case clash",
         {{"C:\\a\\\xE9t\xE9.txt", 1, 1}, {"C:\\b\\\xC9T\xC9.TXT", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\\xE9t\xE9.txt"}, {}, {"C:\\b\\\xC9T\xC9.TXT"}},
         {{"E:\\B\\\xE9t\xE9.txt"}, {"C:\\a\\\xE9t\xE9.txt"}, {"C:\\b\\\xC9T\xC9.TXT"}},
         SameLatin1},
        {"with the system's rule, the same file in other case is done once, silently",
         {{"C:\\A\\\xC9.txt", 1, 1}, {"c:/a/\xE9.TXT", 1, 1}},
         IsLeadByteNone,
         {{"C:\\A\\\xC9.txt"}, {}, {}},
         {{"E:\\B\\\xC9.txt"}, {"C:\\A\\\xC9.txt"}, {}},
         SameLatin1},
        {"without the system's rule accented letters do not fold",
         {{"C:\\a\\\xE9.txt", 1, 1}, {"C:\\b\\\xC9.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\\xE9.txt", "C:\\b\\\xC9.txt"}, {}, {}},
         {{"E:\\B\\\xE9.txt", "E:\\B\\\xC9.txt"}, {"C:\\a\\\xE9.txt", "C:\\b\\\xC9.txt"}, {}}},
        // Short names (StandInShortNames): each pair opens one file in the folder.
        {"a name that is an earlier file's short name",
         {{"C:\\a\\longfilename.txt", 1, 1}, {"C:\\c\\LONGFI~1.TXT", 1, 1}},
         IsLeadByteNone,
         {{"C:\\a\\longfilename.txt"}, {}, {"C:\\c\\LONGFI~1.TXT"}},
         {{"E:\\B\\longfilename.txt"}, {"C:\\a\\longfilename.txt"}, {"C:\\c\\LONGFI~1.TXT"}},
         nullptr,
         kStandInShortNames},
        {"a file listed by its short name, and its long name listed later",
         {{"C:\\b\\OTHER~1.TXT", 1, 1}, {"C:\\d\\otherfile.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\b\\OTHER~1.TXT"}, {}, {"C:\\d\\otherfile.txt"}},
         {{"E:\\B\\OTHER~1.TXT"}, {"C:\\b\\OTHER~1.TXT"}, {"C:\\d\\otherfile.txt"}},
         nullptr,
         kStandInShortNames},
        {"a name that opens another long name in the folder",
         {{"C:\\e\\LONGFI~2.TXT", 1, 1}, {"C:\\e\\plain.txt", 1, 1}},
         IsLeadByteNone,
         {{"C:\\e\\plain.txt"}, {}, {"C:\\e\\LONGFI~2.TXT"}},
         {{"E:\\B\\plain.txt"}, {"C:\\e\\plain.txt"}, {"C:\\e\\LONGFI~2.TXT"}},
         nullptr,
         kStandInShortNames},
        {"without short names they are only names",
         {{"C:\\a\\longfilename.txt", 1, 0},
          {"C:\\c\\LONGFI~1.TXT", 1, 0},
          {"C:\\e\\LONGFI~2.TXT", 1, 0}},
         IsLeadByteNone,
         {{"C:\\a\\longfilename.txt", "C:\\c\\LONGFI~1.TXT", "C:\\e\\LONGFI~2.TXT"}, {}, {}},
         {{}, {}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FileTable table = MakeTable(c.rows);
        Expected copy = c.copy;
        copy.to = {"E:\\B\\"};
        ExpectRequest(BuildCopyRequest(table, "E:\\B\\", 0, c.lead,
                                       {nullptr, c.rule, nullptr, nullptr, c.shortNames}),
                      copy, 0x0300);
        ExpectRequest(BuildRestoreRequest(table, "E:\\B\\", 0, c.lead,
                                          {nullptr, c.rule, nullptr, nullptr, c.shortNames}),
                      c.restore, 0x0301);
    }
}

// Paths that cannot reach the folder as they stand are left out, each kind with its own
// reason, and own no name there.
TEST(Request, UnusablePathsAreLeftOut) {
    const FileTable table = MakeTable({
        {"C:\\Work\\*.doc", 1, 1},
        {"C:\\Work\\a?.txt", 1, 0},
        {"C:\\ab?\\report.doc", 0, 0},  // never copied, so it owns no name
        {"C:\\Work\\report.doc", 1, 1},
        {"C:\\Work\\", 1, 1},
        {"C:\\" HYO "\\x.txt", 1, 1},  // 0x5C second byte, no wildcard
        {"C:\\Work\\x.txt:secret", 1, 1},
        {"C:\\Work\\y.txt::$DATA", 1, 0},
        {"C:\\Work\\CON", 1, 1},
        {"C:\\Work\\nul.txt", 1, 1},
        {"C:\\Work\\Com1.log", 1, 1},
        {"C:\\Work\\LPT9 .txt", 1, 1},
        {"C:\\Work\\aux.", 1, 1},
        {"C:\\Work\\...", 1, 1},
        {"C:\\Work\\ . ", 1, 1},
        {"C:\\Work\\..", 1, 1},
        // Not devices: another digit, longer names.
        {"C:\\Work\\COM10.txt", 1, 1},
        {"C:\\Work\\CONSOLE.txt", 1, 1},
        {"C:\\Work\\LPT0", 1, 1},
        // Relative: they depend on the folder the program was started in.
        {"report.doc", 1, 1},
        {"Work\\z.txt", 1, 1},
        {"C:z.txt", 1, 1},
        {"\\Work\\z.txt", 1, 1},
        {"\\\\srv\\share\\w.txt", 1, 1},
    });
    const std::vector<std::string> bad = {"C:\\Work\\*.doc",
                                          "C:\\Work\\a?.txt",
                                          "C:\\Work\\",
                                          "C:\\Work\\x.txt:secret",
                                          "C:\\Work\\y.txt::$DATA",
                                          "C:\\Work\\CON",
                                          "C:\\Work\\nul.txt",
                                          "C:\\Work\\Com1.log",
                                          "C:\\Work\\LPT9 .txt",
                                          "C:\\Work\\aux.",
                                          "C:\\Work\\...",
                                          "C:\\Work\\ . ",
                                          "C:\\Work\\.."};
    const std::vector<std::string> relative = {"report.doc", "Work\\z.txt", "C:z.txt",
                                               "\\Work\\z.txt"};
    auto without = [](std::vector<std::string> list, const std::string& gone) {
        list.erase(std::find(list.begin(), list.end(), gone));
        return list;
    };
    ExpectRequest(BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByte932),
                  {{"C:\\Work\\report.doc", "C:\\" HYO "\\x.txt", "C:\\Work\\COM10.txt",
                    "C:\\Work\\CONSOLE.txt", "C:\\Work\\LPT0", "\\\\srv\\share\\w.txt"},
                   {"E:\\B\\"},
                   {},
                   bad,
                   relative},
                  0x0300);
    ExpectRequest(BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByte932),
                  {{"E:\\B\\report.doc", "E:\\B\\x.txt", "E:\\B\\COM10.txt", "E:\\B\\CONSOLE.txt",
                    "E:\\B\\LPT0", "E:\\B\\w.txt"},
                   {"C:\\Work\\report.doc", "C:\\" HYO "\\x.txt", "C:\\Work\\COM10.txt",
                    "C:\\Work\\CONSOLE.txt", "C:\\Work\\LPT0", "\\\\srv\\share\\w.txt"},
                   {},
                   without(without(bad, "C:\\Work\\a?.txt"), "C:\\Work\\y.txt::$DATA"),
                   relative},
                  0x0301);
}

// Our own state file in the folder is never copied over nor restored from, whatever
// spelling of its name a file bears; its path follows the destination's own rules.
TEST(Request, TheStateFileNameIsLeftOut) {
    const FileTable table = MakeTable({
        {"C:\\Work\\VellumBox.state", 1, 1},
        {"D:\\x\\vellumbox.STATE. ", 1, 1},
        {"C:\\Work\\VellumBox.state.txt", 1, 1},
        {"C:\\Work\\VellumBox.state", 1, 1},  // listed twice, named once
        {"C:\\Work\\VellumBox.state.LOCK", 1, 1},
        {"C:\\Work\\VellumBox.state.new", 1, 1},
    });
    const std::vector<std::string> reserved = {
        "C:\\Work\\VellumBox.state", "D:\\x\\vellumbox.STATE. ", "C:\\Work\\VellumBox.state.LOCK",
        "C:\\Work\\VellumBox.state.new"};
    for (bool copying : {true, false}) {
        const FileRequest r = copying
                                  ? BuildCopyRequest(table, "E:\\B", 0, IsLeadByte932,
                                                     {nullptr, nullptr, nullptr, "VellumBox.state"})
                                  : BuildRestoreRequest(table, "E:\\B", 0, IsLeadByte932,
                                                        {nullptr, nullptr, nullptr, "VellumBox.state"});
        EXPECT_EQ(r.reserved, reserved) << copying;
        EXPECT_EQ(r.count, 1) << copying;
        EXPECT_TRUE(r.leftOut.empty()) << copying;
    }
    const struct {
        const char* dest;
        const char* path;
    } paths[] = {
        {"E:\\B\\", "E:\\B\\VellumBox.state"},
        {"E:\\B", "E:\\B\\VellumBox.state"},
        {"E:\\" HYO, "E:\\" HYO "\\VellumBox.state"},  // 0x5C second byte is no separator
        {"\\\\srv\\share\\", "\\\\srv\\share\\VellumBox.state"},
        {"", ""},
        {"B\\", ""},
        {"E:B\\", ""},
    };
    for (const auto& p : paths)
        EXPECT_EQ(Show(StateFilePath(p.dest, "VellumBox.state", IsLeadByte932)), Show(p.path))
            << p.dest;
}

// Stands in for the file system's identity of a folder: a short name, a share and a
// mapped drive all reach C:\Work. Counts its calls, as each costs the system some.
int folderQuestions = 0;
bool SameFolderById(const char* a, const char* b) {
    ++folderQuestions;
    auto id = [](std::string f) {
        for (char& c : f) c = (c == '/') ? '\\' : static_cast<char>(std::tolower(c));
        for (const char* alias : {"c:\\work~1\\", "\\\\srv\\work\\", "w:\\"})
            if (f == alias) return std::string("c:\\work\\");
        return f;
    };
    return id(a) == id(b);
}

// A File value cut on loading is shown but names another file, or none: never used, and
// it owns no name in the folder.
TEST(Request, CutFileValuesAreLeftOut) {
    FileTable table = MakeTable({{"C:\\a\\report.doc", 1, 1}, {"C:\\b\\report.doc", 1, 1}});
    table.entries[0].longValue = 1;
    ExpectRequest(BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone),
                  {{"C:\\b\\report.doc"}, {"E:\\B\\"}, {}}, 0x0300);
    ExpectRequest(BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone),
                  {{"E:\\B\\report.doc"}, {"C:\\b\\report.doc"}, {}}, 0x0301);
    EXPECT_EQ(BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone).tooLong,
              std::vector<std::string>{"C:\\a\\report.doc"});
    EXPECT_EQ(BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone).tooLong,
              std::vector<std::string>{"C:\\a\\report.doc"});

    // The destination followed by the name must fit too: 259 bytes do, 260 do not.
    const std::string dest = "E:\\" + std::string(240, 'd') + "\\";  // 244 bytes
    table = MakeTable({{"C:\\a\\fifteen-bytes.x", 1, 1}, {"C:\\a\\sixteen-bytes.xy", 1, 1}});
    for (bool copying : {true, false}) {
        const FileRequest r = copying ? BuildCopyRequest(table, dest.c_str(), 0, IsLeadByteNone)
                                      : BuildRestoreRequest(table, dest.c_str(), 0, IsLeadByteNone);
        EXPECT_EQ(r.count, 1) << copying;
        ASSERT_EQ(r.pairs.size(), 1u) << copying;
        EXPECT_EQ((copying ? r.pairs[0].target : r.pairs[0].source).size(), 259u) << copying;
        EXPECT_EQ(r.joinedTooLong, std::vector<std::string>{"C:\\a\\sixteen-bytes.xy"}) << copying;
    }
}

// A destination that is a ticked file's own folder would copy the file onto itself.
TEST(Request, FilesInTheDestinationItselfAreLeftOut) {
    const FileTable table = MakeTable({{"C:\\Work\\a.txt", 1, 1},
                                       {"C:\\Other\\b.txt", 1, 1},
                                       {"c:/work/c.txt", 1, 0},
                                       {"C:\\Work\\sub\\d.txt", 1, 1},
                                       {"C:\\Other\\e.txt", 1, 1}});
    const std::vector<std::string> inWork = {"C:\\Work\\a.txt", "c:/work/c.txt"};
    //   destination      folder rule       files left out as in their own folder
    const struct {
        const char* dest;
        SameFolderFn rule;
        std::vector<std::string> copyOwn, restoreOwn;
    } cases[] = {
        {"C:\\Work\\", nullptr, inWork, {"C:\\Work\\a.txt"}},
        {"c:\\WORK", nullptr, inWork, {"C:\\Work\\a.txt"}},
        {"C:\\Work\\", SameFolderById, inWork, {"C:\\Work\\a.txt"}},
        {"C:\\WORK~1\\", SameFolderById, inWork, {"C:\\Work\\a.txt"}},
        {"\\\\srv\\work\\", SameFolderById, inWork, {"C:\\Work\\a.txt"}},
        {"W:\\", SameFolderById, inWork, {"C:\\Work\\a.txt"}},
        // Without the system's identity another spelling is not recognised.
        {"W:\\", nullptr, {}, {}},
        {"C:\\Work\\sub\\", SameFolderById, {"C:\\Work\\sub\\d.txt"}, {"C:\\Work\\sub\\d.txt"}},
        {"C:\\Backup\\", SameFolderById, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dest);
        folderQuestions = 0;
        const FileRequest copy =
            BuildCopyRequest(table, c.dest, 0, IsLeadByteNone, {nullptr, nullptr, c.rule});
        const FileRequest restore =
            BuildRestoreRequest(table, c.dest, 0, IsLeadByteNone, {nullptr, nullptr, c.rule});
        EXPECT_EQ(copy.ownFolder, c.copyOwn);
        EXPECT_EQ(restore.ownFolder, c.restoreOwn);
        EXPECT_EQ(copy.count, 5 - static_cast<int>(c.copyOwn.size()));
        EXPECT_EQ(restore.count, 4 - static_cast<int>(c.restoreOwn.size()));
        // Once per folder as written: C:\Other\ serves two files.
        EXPECT_EQ(folderQuestions, c.rule ? 4 + 3 : 0);
        for (const CopyPair& pair : copy.pairs) EXPECT_NE(pair.source, pair.target);
    }
}

}  // namespace

// A missing source is left out and named, so that the others are still copied.
TEST(Request, MissingSourcesAreLeftOutAndNamed) {
    const FileTable table =
        MakeTable({{"C:\\a.txt", 1, 1}, {"C:\\gone.txt", 1, 1}, {"C:\\b.txt", 1, 1}});
    auto exists = [](const char* path) {
        return std::string(path).find("gone") == std::string::npos;
    };
    FileRequest copy = BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone, {exists});
    EXPECT_EQ(copy.count, 2);
    EXPECT_EQ(copy.missing, std::vector<std::string>{"C:\\gone.txt"});
    ASSERT_EQ(copy.pairs.size(), 2u);
    EXPECT_EQ(copy.pairs[1].source, "C:\\b.txt");
    EXPECT_EQ(copy.pairs[1].target, "E:\\B\\b.txt");
    // For Restore the source is the copy in the folder.
    FileRequest restore = BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone, {exists});
    EXPECT_EQ(restore.count, 2);
    EXPECT_EQ(restore.missing, std::vector<std::string>{"C:\\gone.txt"});
    EXPECT_EQ(restore.pairs[0].source, "E:\\B\\a.txt");
    EXPECT_EQ(restore.pairs[0].target, "C:\\a.txt");
    EXPECT_EQ(Show(restore.to), Show(List({"C:\\a.txt", "C:\\b.txt"})));
}

// What a copy is judged to be from its target and source, before and after the shell.
TEST(Request, CopiesAreJudgedAgainstTheSourceAsItWas) {
    const FileStamp none;
    const FileStamp src{true, 100, 7};
    const FileStamp grown{true, 150, 8};
    const FileStamp shrunk{true, 40, 8};
    const FileStamp touched{true, 100, 8};  // same size, written again
    const FileStamp old{true, 90, 3};
    const struct {
        const char* what;
        FileStamp targetBefore, targetAfter, sourceBefore, sourceAfter;
        CopyCheck want;
    } cases[] = {
        {"new whole copy", none, src, src, src, CopyCheck::Whole},
        {"replaced by a whole copy", old, src, src, src, CopyCheck::Whole},
        {"cut short", none, {true, 60, 7}, src, src, CopyCheck::Cut},
        {"cut, replacing an old copy", old, {true, 60, 9}, src, src, CopyCheck::Cut},
        {"longer than the source", none, {true, 120, 7}, src, src, CopyCheck::Cut},
        {"empty copy of a file", none, {true, 0, 9}, src, src, CopyCheck::Cut},
        {"source grew during the copy", none, src, src, grown, CopyCheck::SourceChanged},
        {"source grew, copy has the new size", none, grown, src, grown, CopyCheck::SourceChanged},
        {"source shrank", none, src, src, shrunk, CopyCheck::SourceChanged},
        {"source rewritten at the same size", none, src, src, touched, CopyCheck::SourceChanged},
        {"source removed", none, src, src, none, CopyCheck::SourceChanged},
        {"declined: old copy kept", old, old, src, src, CopyCheck::NotDone},
        {"declined while the source grew", old, old, src, grown, CopyCheck::NotDone},
        {"nothing written", none, none, src, src, CopyCheck::NotDone},
        {"old copy removed by the shell", old, none, src, src, CopyCheck::NotDone},
        {"declined, but already the source's", src, src, src, src, CopyCheck::Whole},
        {"disk full while the source grew", none, {true, 60, 9}, src, grown, CopyCheck::Cut},
        {"source shrank, copy as long as it now is", none, {true, 40, 9}, src, shrunk,
         CopyCheck::SourceChanged},
        {"source shrank, copy shorter still", none, {true, 30, 9}, src, shrunk, CopyCheck::Cut},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(static_cast<int>(
                      CheckCopy(c.targetBefore, c.targetAfter, c.sourceBefore, c.sourceAfter)),
                  static_cast<int>(c.want));
    }
}
