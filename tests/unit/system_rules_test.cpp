#include "model/system_rules.h"

#include <gtest/gtest.h>

namespace {

NameForms Exact(const char* name) { return {true, name, ""}; }
NameForms Short(const char* brief) { return {false, "", brief}; }
NameForms Neither() { return {false, "", ""}; }

TEST(AnsiProgramPath, ExactThenShortFormThenNothing) {
    const struct {
        const char* what;
        std::vector<NameForms> parts;
        const char* path;
    } cases[] = {
        {"all exact",
         {Exact("C:"), Exact("Tools"), Exact("VellumBox.exe")},
         "C:\\Tools\\VellumBox.exe"},
        {"a folder by its short name",
         {Exact("C:"), Short("APP~1"), Exact("VellumBox.exe")},
         "C:\\APP~1\\VellumBox.exe"},
        {"a folder with neither form", {Exact("C:"), Neither(), Exact("VellumBox.exe")}, ""},
        // The settings file is named after the program: its name is never shortened.
        {"the program's name by its short form",
         {Exact("C:"), Exact("Tools"), Short("BOX~1.EXE")},
         ""},
        {"a share",
         {Exact(""), Exact(""), Exact("srv"), Exact("s"), Short("D~1"), Exact("V.exe")},
         "\\\\srv\\s\\D~1\\V.exe"},
        {"259 bytes",
         {Exact("C:"), Exact(std::string(242, 'd').c_str()), Exact("VellumBox.exe")},
         nullptr},
        {"260 bytes",
         {Exact("C:"), Exact(std::string(243, 'd').c_str()), Exact("VellumBox.exe")},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string got = AnsiProgramPath(c.parts);
        if (c.path)
            EXPECT_EQ(got, c.path);
        else
            EXPECT_EQ(got.size(), 259u);
    }
}

TEST(RunKeyViews, BothBuildsUseThe64BitViewOn64BitWindows) {
    const struct {
        bool process64, wow64;
        RegistryViews views;
    } cases[] = {
        {true, false, {0, kKeyWow64View32, true}},
        {false, true, {kKeyWow64View64, 0, true}},
        {false, false, {0, 0, false}},
    };
    for (const auto& c : cases) {
        const RegistryViews got = RunKeyViews(c.process64, c.wow64);
        EXPECT_EQ(got.main, c.views.main) << c.process64 << c.wow64;
        EXPECT_EQ(got.other, c.views.other) << c.process64 << c.wow64;
        EXPECT_EQ(got.hasOther, c.views.hasOther) << c.process64 << c.wow64;
    }
}

FileIdentity Id(unsigned long long volume, unsigned char low, unsigned char high = 0) {
    FileIdentity f;
    f.volume = volume;
    f.id[0] = low;
    f.id[15] = high;  // beyond the 64-bit index: only ReFS's 128-bit ids tell these apart
    return f;
}

// A 32-bit VellumBox on 64-bit Windows reaches the system folder everyone else sees.
TEST(ReachPastRedirection, SysnativeWhereItIsElseOnlyTheExemptFolders) {
    const struct {
        const char* path;
        bool sysnative;
        SystemReach reach;
        const char* reached;
    } cases[] = {
        {"C:\\Windows\\System32\\drivers\\x.sys", true, SystemReach::Through,
         "C:\\Windows\\Sysnative\\drivers\\x.sys"},
        {"c:\\WINDOWS\\system32\\a.ini", true, SystemReach::Through, "C:\\Windows\\Sysnative\\a.ini"},
        {"C:/Windows/System32/a.ini", true, SystemReach::Through, "C:\\Windows\\Sysnative/a.ini"},
        {"C:\\Windows\\System32\\drivers\\etc\\hosts", true, SystemReach::Through,
         "C:\\Windows\\Sysnative\\drivers\\etc\\hosts"},
        {"C:\\Windows\\System32\\drivers\\etc\\hosts", false, SystemReach::Same, ""},
        {"C:\\Windows\\System32\\spool\\a", false, SystemReach::Same, ""},
        {"C:\\Windows\\System32\\catroot2\\a", false, SystemReach::Same, ""},
        {"C:\\Windows\\System32\\a.ini", false, SystemReach::Unreachable, ""},
        {"C:\\Windows\\System32\\spooler\\a", false, SystemReach::Unreachable, ""},
        {"C:\\Windows\\lastgood\\System32\\a", true, SystemReach::Unreachable, ""},
        {"C:\\Windows\\regedit.exe", true, SystemReach::Unreachable, ""},
        {"C:\\Windows\\System32x\\a.ini", true, SystemReach::Same, ""},
        {"C:\\Windows\\SysWOW64\\a.ini", true, SystemReach::Same, ""},
        {"C:\\Windows\\win.ini", true, SystemReach::Same, ""},
        {"D:\\Windows\\System32\\a.ini", true, SystemReach::Same, ""},
    };
    for (const auto& c : cases) {
        std::string reached;
        EXPECT_EQ(static_cast<int>(ReachPastRedirection(c.path, "C:\\Windows", c.sysnative, reached)),
                  static_cast<int>(c.reach))
            << c.path << " " << c.sysnative;
        if (c.reach == SystemReach::Through) {
            EXPECT_EQ(reached, c.reached) << c.path;
        }
    }
}

TEST(CompareIdentity, TheWhole128BitsDecideAndZeroTellsNothing) {
    const struct {
        const char* what;
        FileIdentity a, b;
        SameIdentity same;
    } cases[] = {
        {"one folder", Id(7, 1), Id(7, 1), SameIdentity::Yes},
        {"another index", Id(7, 1), Id(7, 2), SameIdentity::No},
        {"another volume", Id(7, 1), Id(8, 1), SameIdentity::No},
        {"equal low halves, other high halves", Id(7, 1, 1), Id(7, 1, 2), SameIdentity::No},
        {"a server that gives 0", Id(7, 0), Id(7, 0), SameIdentity::Unknown},
        {"0 on one side", Id(7, 1), Id(7, 0), SameIdentity::Unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(CompareIdentity(c.a, c.b), c.same) << c.what;
}

}  // namespace
