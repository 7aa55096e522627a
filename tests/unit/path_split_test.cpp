#include "model/path_split.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// Shift-JIS characters whose second byte is the backslash code.
#define HYO "\x95\x5C"  // 表
#define SO "\x83\x5C"   // ソ

struct SplitCase {
    const char* what;
    const char* path;
    LeadByteFn lead;
    const char* drive;
    const char* dir;
    const char* fname;
    const char* ext;
};

TEST(SplitPath, Parts) {
    const SplitCase cases[] = {
        {"ordinary", "C:\\Work\\report.doc", IsLeadByteNone, "C:", "\\Work\\", "report", ".doc"},
        {"no extension", "C:\\Work\\README", IsLeadByteNone, "C:", "\\Work\\", "README", ""},
        {"leading dot", "C:\\Work\\.profile", IsLeadByteNone, "C:", "\\Work\\", "", ".profile"},
        {"last dot wins", "C:\\a\\archive.tar.gz", IsLeadByteNone, "C:", "\\a\\", "archive.tar",
         ".gz"},
        {"dot in folder only", "C:\\Work.d\\file", IsLeadByteNone, "C:", "\\Work.d\\", "file", ""},
        {"trailing dot", "C:\\a\\name.", IsLeadByteNone, "C:", "\\a\\", "name", "."},
        {"slashes", "C:/Work/notes.txt", IsLeadByteNone, "C:", "/Work/", "notes", ".txt"},
        {"mixed separators", "C:\\Work/sub\\x.txt", IsLeadByteNone, "C:", "\\Work/sub\\", "x",
         ".txt"},
        {"UNC", "\\\\server\\share\\dir\\f.txt", IsLeadByteNone, "", "\\\\server\\share\\dir\\",
         "f", ".txt"},
        {"name only", "report.doc", IsLeadByteNone, "", "", "report", ".doc"},
        {"drive-relative", "C:report.doc", IsLeadByteNone, "C:", "", "report", ".doc"},
        {"folder only", "C:\\Work\\", IsLeadByteNone, "C:", "\\Work\\", "", ""},
        {"empty", "", IsLeadByteNone, "", "", "", ""},
        {"null lead test", "C:\\a\\b.c", nullptr, "C:", "\\a\\", "b", ".c"},
        {"folder ends in 0x5C byte", "C:\\" HYO "\\x.txt", IsLeadByte932, "C:", "\\" HYO "\\", "x",
         ".txt"},
        {"name ends in 0x5C byte, 932", "C:\\dir\\" HYO, IsLeadByte932, "C:", "\\dir\\", HYO, ""},
        {"name ends in 0x5C byte, single-byte", "C:\\dir\\" HYO, IsLeadByteNone,
         "C:", "\\dir\\" HYO, "", ""},
        {"0x5C byte inside name", "C:\\dir\\" SO "ft.txt", IsLeadByte932, "C:", "\\dir\\", SO "ft",
         ".txt"},
        {"0x5C byte before dot", "C:\\" SO "\\" HYO ".doc", IsLeadByte932, "C:", "\\" SO "\\", HYO,
         ".doc"},
        {"lone lead byte at end", "C:\\a\\b\x95", IsLeadByte932, "C:", "\\a\\", "b\x95", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.what);
        PathParts parts;
        std::memset(&parts, 'z', sizeof parts);
        SplitPath(c.path, c.lead, parts);
        EXPECT_EQ(std::string(parts.drive), c.drive);
        EXPECT_EQ(std::string(parts.dir), c.dir);
        EXPECT_EQ(std::string(parts.fname), c.fname);
        EXPECT_EQ(std::string(parts.ext), c.ext);

        char name[260];
        FileNameOf(c.path, c.lead, name, sizeof name);
        EXPECT_EQ(std::string(name), std::string(c.fname) + c.ext);
    }
}

TEST(SplitPath, LongPartsAreCutToFit) {
    const std::string longDir = "C:\\" + std::string(300, 'd') + "\\";
    const std::string path = longDir + std::string(300, 'n') + "." + std::string(300, 'e');
    PathParts parts;
    SplitPath(path.c_str(), IsLeadByteNone, parts);
    EXPECT_STREQ(parts.drive, "C:");
    EXPECT_EQ(std::string(parts.dir), longDir.substr(2, 255));
    EXPECT_EQ(std::string(parts.fname), std::string(255, 'n'));
    EXPECT_EQ(std::string(parts.ext), "." + std::string(254, 'e'));

    // A cut never leaves half a double-byte character behind.
    std::string dbcs = "C:\\a";
    for (int i = 0; i < 200; ++i) dbcs += HYO;
    SplitPath(dbcs.c_str(), IsLeadByte932, parts);
    EXPECT_EQ(std::string(parts.fname), "a" + dbcs.substr(4, 254));
    EXPECT_EQ(std::strlen(parts.fname), 255u);
    SplitPath((std::string("C:\\") + dbcs.substr(4)).c_str(), IsLeadByte932, parts);
    EXPECT_EQ(std::strlen(parts.fname), 254u);
}

TEST(FileNameOf, CutsToOutputBuffer) {
    char out[8];
    std::memset(out, 'z', sizeof out);
    FileNameOf("C:\\dir\\longname.txt", IsLeadByteNone, out, 6);
    EXPECT_STREQ(out, "longn");
    EXPECT_EQ(out[6], 'z');
    FileNameOf("C:\\dir\\" SO SO SO, IsLeadByte932, out, 6);
    EXPECT_STREQ(out, SO SO);
    FileNameOf("C:\\dir\\x", IsLeadByteNone, out, 1);
    EXPECT_STREQ(out, "");
}

TEST(IsLeadByte932, Ranges) {
    const struct {
        unsigned char c;
        bool lead;
    } cases[] = {{0x00, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0x81, true},
                 {0x95, true},  {0x9F, true},  {0xA0, false}, {0xB1, false}, {0xDF, false},
                 {0xE0, true},  {0xFC, true},  {0xFD, false}, {0xFF, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsLeadByte932(c.c), c.lead) << int(c.c);
        EXPECT_FALSE(IsLeadByteNone(c.c)) << int(c.c);
    }
}

}  // namespace
