// The main window in-process: a probe subclass runs each check inside OnInitDialog,
// after the real initialisation, then closes the window the way the user would.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "res/resource.h"
#include "engine/shell_op.h"
#include "ui/main_dlg.h"
#include "ui/shutdown_block.h"
#include "tests/win/message_box_answer.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

std::string IniPath() { return ExeFolder() + "vb_main_window_test.ini"; }

void RemoveIni() {
    std::string p = IniPath();
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(p.c_str());
    RemoveDirectoryA(p.c_str());
}

void WriteIni(const std::string& text) {
    RemoveIni();
    std::ofstream(IniPath(), std::ios::binary) << text;
}

bool FileExists(const std::string& p) {
    return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Texts in the test are UTF-8; the program works in the ANSI code page.
std::string Ansi(const char* utf8) {
    wchar_t wide[512];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char out[1024];
    WideCharToMultiByte(CP_ACP, 0, wide, n, out, sizeof out, nullptr, nullptr);
    return out;
}

// A string of the program as LoadString gives it: messages are checked by their number,
// their wording is the resource test's.
std::string Text(UINT id) { return LoadText(id).c_str(); }

// A string as it stands in the resources in one language, in the ANSI code page.
std::string RawString(UINT id, WORD language) {
    HRSRC res = FindResourceExA(nullptr, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1), language);
    const WORD* w = res ? static_cast<const WORD*>(LockResource(LoadResource(nullptr, res))) : nullptr;
    for (UINT k = 0; w && k < id % 16; ++k) w += 1 + w[0];
    if (!w || !w[0]) return "";
    char out[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(w + 1), w[0], out,
                                sizeof out, nullptr, nullptr);
    return std::string(out, n);
}

// The profile file's values by "Section/Key".
std::map<std::string, std::string> IniValues() {
    std::ifstream in(IniPath(), std::ios::binary);
    std::map<std::string, std::string> values;
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        size_t eq = line.find('=');
        values[section + "/" + line.substr(0, eq)] =
            eq == std::string::npos ? "" : line.substr(eq + 1);
    }
    return values;
}

std::string FilesIni(int n, const char* dest) {
    std::ostringstream s;
    s << "[DestinationDirectory]\r\nDirectory=" << dest << "\r\n[Files]\r\n";
    for (int i = 1; i <= n; ++i) {
        char line[128];
        std::snprintf(line, sizeof line,
                      "File%03d=C:\\Data\\file%02d.txt\r\nCopy%03d=%d\r\nRestore%03d=%d\r\n", i, i,
                      i, i % 2, i, (i / 2) % 2);
        s << line;
    }
    return s.str();
}

class ProbeDlg : public CMainDlg {
public:
    explicit ProbeDlg(std::function<void(ProbeDlg&)> probe)
        : CMainDlg(""), probe(std::move(probe)) {}

    BOOL OnInitDialog() override {
        BOOL r = CMainDlg::OnInitDialog();
        probe(*this);
        SendMessage(WM_CLOSE);
        return r;
    }

    bool Enabled(int id) {
        return IsWindowEnabled() && ::IsWindowEnabled(::GetDlgItem(m_hWnd, id));
    }
    std::string Text(int id) { return std::string(GetDlgItem(id).GetWindowText()); }
    int Check(int id) {
        return static_cast<int>(::SendDlgItemMessageA(m_hWnd, id, BM_GETCHECK, 0, 0));
    }
    int Rows() { return fileList.GetItemCount(); }
    std::string Cell(int r, int c) { return std::string(fileList.GetItemText(r, c)); }
    void DoubleClick(int row, int col, bool right) {
        NMITEMACTIVATE act = {};
        act.hdr.hwndFrom = fileList.m_hWnd;
        act.hdr.idFrom = IDC_FILE_LIST;
        act.hdr.code = right ? NM_RDBLCLK : NM_DBLCLK;
        act.iItem = row;
        act.iSubItem = col;
        LRESULT result = 1;
        if (right)
            OnListRDblClk(&act.hdr, &result);
        else
            OnListDblClk(&act.hdr, &result);
        EXPECT_EQ(result, 0);
    }

    AppSettings& Settings() { return settings; }
    FileTable& Table() { return table; }
    void Save() { SaveSettings(); }
    void ClickAutoCopy() {
        ::SendDlgItemMessageA(m_hWnd, IDC_AUTO_COPY, BM_SETCHECK, (Check(IDC_AUTO_COPY) + 1) % 3,
                              0);
        OnAutoCopy();
    }
    void ClickOverWrite() {
        ::SendDlgItemMessageA(m_hWnd, IDC_OVERWRITE, BM_SETCHECK, Check(IDC_OVERWRITE) ? 0 : 1, 0);
        OnOverWrite();
    }

private:
    std::function<void(ProbeDlg&)> probe;
};

void RunProbe(std::function<void(ProbeDlg&)> probe) {
    bool ran = false;
    ProbeDlg dlg([&](ProbeDlg& d) {
        ran = true;
        probe(d);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(ran) << "the window never initialised";
}

}  // namespace

// ---- Loading: what the window shows and enables after each kind of file ----

struct LoadCase {
    const char* name;
    std::string ini;  // empty: no file at all
    int rows;
    const char* destText;
    bool set, copy, restore, selectFile;
};

TEST(MainWindowLoad, ShowsFileAndEnablesButtonsByTheRules) {
    const LoadCase cases[] = {
        {"no file", "", 0, "none", false, false, false, true},
        {"files without destination", FilesIni(2, ""), 2, "none", false, false, false, true},
        {"destination and files", FilesIni(3, "C:\\Backup\\"), 3, "C:\\Backup\\", false, true, true,
         true},
        {"32 files", FilesIni(32, "C:\\Backup\\"), 32, "C:\\Backup\\", false, true, true, false},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.ini.empty())
            RemoveIni();
        else
            WriteIni(c.ini);
        RunProbe([&](ProbeDlg& d) {
            EXPECT_EQ(d.Rows(), c.rows);
            EXPECT_EQ(d.Table().count, c.rows);
            EXPECT_EQ(d.Text(IDC_DEST_DIR), c.destText);
            EXPECT_EQ(d.Enabled(IDC_SET), c.set);
            EXPECT_EQ(d.Enabled(IDC_COPY), c.copy);
            EXPECT_EQ(d.Enabled(IDC_RESTORE), c.restore);
            EXPECT_EQ(d.Enabled(IDC_SELECT_FILE), c.selectFile);
            for (int r = 0; r < c.rows; ++r) {
                char path[64];
                std::snprintf(path, sizeof path, "C:\\Data\\file%02d.txt", r + 1);
                EXPECT_EQ(d.Cell(r, 0), path);
                EXPECT_EQ(d.Cell(r, 1), (r + 1) % 2 ? "ON" : "---");
                EXPECT_EQ(d.Cell(r, 2), ((r + 1) / 2) % 2 ? "ON" : "---");
            }
        });
        if (c.ini.empty()) {
            EXPECT_FALSE(FileExists(IniPath())) << "loading must not create the file";
        }
    }
}

TEST(MainWindowLoad, SwitchesAndCheckBoxes) {
    struct Case {
        const char* mode;
        const char* owCopy;
        const char* owRestore;
        int autoBox, overBox;
    } cases[] = {
        {"1", "0", "0", 1, 0}, {"2", "0", "0", 2, 0}, {"0", "1", "0", 0, 1},
        {"0", "0", "1", 0, 1}, {"0", "1", "1", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("mode '") + c.mode + "' overwrite " + c.owCopy + c.owRestore);
        // Copy=0 keeps mode 1 from copying at start.
        WriteIni(std::string("[AutoVellum]\r\nAutoCopyMode=") + c.mode +
                 "\r\nCopy=0\r\nRestore=1\r\n[OverWrite]\r\nCopy=" + c.owCopy +
                 "\r\nRestore=" + c.owRestore + "\r\n");
        RunProbe([&](ProbeDlg& d) {
            EXPECT_EQ(d.Check(IDC_AUTO_COPY), c.autoBox);
            EXPECT_EQ(d.Check(IDC_OVERWRITE), c.overBox);
            EXPECT_EQ(d.Settings().overwriteOnCopy, std::string(c.owCopy) == "1");
            EXPECT_EQ(d.Settings().overwriteOnRestore, std::string(c.owRestore) == "1");
            EXPECT_EQ(d.Settings().autoRestore, 1);
            // A click sets both switches to the box's new state, also from apart.
            d.ClickOverWrite();
            EXPECT_EQ(d.Settings().overwriteOnCopy, !c.overBox);
            EXPECT_EQ(d.Settings().overwriteOnRestore, !c.overBox);
        });
    }
}

// A File value cut to 259 bytes shows whole in its cell, and Set writes it back uncut,
// also after the rows before it moved.
TEST(MainWindowLoad, CutValueShowsWholeAndIsSavedUncut) {
    const std::string value = "C:\\" + std::string(300, 'x');
    WriteIni("[Files]\r\nFile001=C:\\gone.txt\r\nFile002=" + value + "\r\n");
    RunProbe([&](ProbeDlg& d) {
        ASSERT_EQ(d.Rows(), 2);
        EXPECT_EQ(d.Cell(1, 0).size(), 259u);
        MessageBoxAnswer::Arm(IDYES);
        d.DoubleClick(0, 0, true);
        d.Save();
    });
    std::map<std::string, std::string> values = IniValues();
    EXPECT_EQ(values["Files/File001"], value);
}

TEST(MainWindowLayout, ColumnsTitlesAndWidths) {
    // Pixels at 96 dpi, grown with the system's dpi; ctest runs this once more with the
    // prefix at 192 dpi and names that dpi in VB_TEST_DPI.
    const struct {
        int dpi;
        int widths[3];
    } byDpi[] = {{96, {255, 60, 60}}, {192, {510, 120, 120}}};
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    char named[16] = "96";
    ::GetEnvironmentVariableA("VB_TEST_DPI", named, sizeof named);
    ASSERT_EQ(dpi, std::atoi(named)) << "the system's dpi";
    const int* widths = nullptr;
    for (const auto& row : byDpi)
        if (row.dpi == dpi) widths = row.widths;
    ASSERT_NE(widths, nullptr);

    RemoveIni();
    RunProbe([&](ProbeDlg& d) {
        HWND list = ::GetDlgItem(d.m_hWnd, IDC_FILE_LIST);
        const char* titles[] = {"File Path", "Copy", "Restore"};
        for (int i = 0; i < 3; ++i) {
            char buf[64] = "";
            LVCOLUMNA col = {};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            col.pszText = buf;
            col.cchTextMax = sizeof buf;
            ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&col)));
            EXPECT_STREQ(buf, titles[i]);
            EXPECT_EQ(col.cx, widths[i]);
        }
        LVCOLUMNA none = {};
        none.mask = LVCF_WIDTH;
        EXPECT_FALSE(SendMessageA(list, LVM_GETCOLUMNA, 3, reinterpret_cast<LPARAM>(&none)));
        EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
                  LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    });
}

// ---- Saving ----

// What the window holds reaches the file; the keys and their order are the codec's.
TEST(MainWindowSave, SetWritesTheTableAsShown) {
    WriteIni("[AutoVellum]\r\nAutoCopyMode=2\r\n" + FilesIni(5, "E:\\Backup\\"));
    RunProbe([&](ProbeDlg& d) {
        // Delete two files so that stale keys must be overwritten.
        MessageBoxAnswer::Arm(IDYES);
        d.DoubleClick(4, 0, true);
        MessageBoxAnswer::Arm(IDYES);
        d.DoubleClick(3, 0, true);
        EXPECT_TRUE(d.Enabled(IDC_SET));
        d.Save();
        EXPECT_FALSE(d.Enabled(IDC_SET));
    });
    std::map<std::string, std::string> values = IniValues();
    EXPECT_EQ(values["AutoVellum/AutoCopyMode"], "2");
    EXPECT_EQ(values["DestinationDirectory/Directory"], "E:\\Backup\\");
    EXPECT_EQ(values["Files/File003"], "C:\\Data\\file03.txt");
    EXPECT_EQ(values["Files/Copy003"], "1");
    EXPECT_EQ(values["Files/File004"], "");
    EXPECT_EQ(values["Files/Copy005"], "0");
}

TEST(MainWindowSave, FailedSaveSaysSoAndKeepsSetEnabled) {
    RemoveIni();
    std::string ini = IniPath();
    // A folder in the settings file's place cannot be written as a file.
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
    WriteIni("");  // removes the folder again; recreate it after
    RemoveIni();
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
    RunProbe([&](ProbeDlg& d) {
        FileEntry e = {};
        std::snprintf(e.path, sizeof e.path, "C:\\x.txt");
        AppendEntry(d.Table(), e);
        std::snprintf(d.Settings().destDir, kPathSize, "C:\\Backup\\");
        d.ClickOverWrite();
        ASSERT_TRUE(d.Enabled(IDC_SET));
        MessageBoxAnswer::seen = 0;
        MessageBoxAnswer::Arm(IDOK);
        d.Save();
        EXPECT_EQ(MessageBoxAnswer::seen, 1);
        EXPECT_EQ(MessageBoxAnswer::text, Text(IDS_SAVE_FAILED) + "\n" + ini);
        EXPECT_TRUE(d.Enabled(IDC_SET));
    });
    RemoveIni();
}

// ---- Commands on the table ----

TEST(MainWindowCommands, TicksDeletionAndAutoCopy) {
    WriteIni(FilesIni(3, "C:\\Backup\\"));
    RunProbe([&](ProbeDlg& d) {
        // Row 1 (file02) shows Copy "---": a double click turns it on, and back off.
        d.DoubleClick(1, 1, false);
        EXPECT_EQ(d.Cell(1, 1), "ON");
        EXPECT_EQ(d.Table().entries[1].copy, 1);
        EXPECT_TRUE(d.Enabled(IDC_SET));
        d.DoubleClick(1, 1, false);
        EXPECT_EQ(d.Cell(1, 1), "---");
        EXPECT_EQ(d.Table().entries[1].copy, 0);
        // The path cell and the area below the rows do nothing.
        d.DoubleClick(1, 0, false);
        d.DoubleClick(-1, 1, false);
        EXPECT_EQ(d.Cell(1, 0), "C:\\Data\\file02.txt");

        // A right double click on a tick cell asks nothing.
        MessageBoxAnswer::seen = 0;
        d.DoubleClick(1, 2, true);
        EXPECT_EQ(d.Rows(), 3);
        // No keeps the file; the question names it under the program's title.
        MessageBoxAnswer::Arm(IDNO);
        d.DoubleClick(1, 0, true);
        EXPECT_EQ(MessageBoxAnswer::text, Text(IDS_DELETE_QUESTION) + "\nC:\\Data\\file02.txt");
        EXPECT_EQ(MessageBoxAnswer::caption, "vb_main_window_test");
        EXPECT_EQ(d.Rows(), 3);
        // Yes deletes the middle file; the others keep their own ticks.
        MessageBoxAnswer::Arm(IDYES);
        d.DoubleClick(1, 0, true);
        ASSERT_EQ(d.Rows(), 2);
        EXPECT_EQ(d.Table().count, 2);
        EXPECT_EQ(d.Cell(1, 0), "C:\\Data\\file03.txt");
        EXPECT_EQ(d.Cell(1, 1), "ON");
        EXPECT_EQ(d.Cell(1, 2), "ON");
        EXPECT_EQ(d.Table().entries[1].copy, 1);
        EXPECT_EQ(d.Table().entries[1].restore, 1);

        // Auto Copy passes through 1, 2 and 0, setting both switches together.
        const int modes[] = {1, 2, 0};
        for (int mode : modes) {
            d.ClickAutoCopy();
            EXPECT_EQ(d.Settings().autoCopyMode, mode);
            EXPECT_EQ(d.Settings().autoCopy, mode != 0);
            EXPECT_EQ(d.Settings().autoRestore, mode != 0);
        }

        // Deleting every file darkens Set, Copy and Restore.
        for (int i = 0; i < 2; ++i) {
            MessageBoxAnswer::Arm(IDYES);
            d.DoubleClick(0, 0, true);
        }
        EXPECT_EQ(d.Rows(), 0);
        EXPECT_FALSE(d.Enabled(IDC_SET));
        EXPECT_FALSE(d.Enabled(IDC_COPY));
        EXPECT_FALSE(d.Enabled(IDC_RESTORE));
        // With no files Auto Copy lights no Set either.
        d.ClickAutoCopy();
        EXPECT_FALSE(d.Enabled(IDC_SET));
    });
}

TEST(MainWindowCommands, FullTableReenablesSelectAfterDeletion) {
    WriteIni(FilesIni(32, "C:\\Backup\\"));
    RunProbe([&](ProbeDlg& d) {
        EXPECT_FALSE(d.Enabled(IDC_SELECT_FILE));
        MessageBoxAnswer::Arm(IDYES);
        d.DoubleClick(31, 0, true);
        EXPECT_EQ(d.Table().count, 31);
        EXPECT_TRUE(d.Enabled(IDC_SELECT_FILE));
    });
}

// ---- file names, compared as the file system compares them ----

// Both are run in each locale; a case needs its code page (0: any).
void ExpectSameFileNames(UINT codePage) {
    struct Case {
        UINT codePage;
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {0, "C:\\Work\\a.txt", "c:/work/A.TXT", true},
        {0, "C:\\Work\\a.txt", "C:\\Work\\b.txt", false},
        {1252, "été.txt", "ÉTÉ.TXT", true},
        {1252, "é.txt", "e.txt", false},
        {1252, "straße.txt", "STRASSE.TXT", false},
        {932, "Ａ.txt", "ａ.TXT", true},  // full-width letters fold as well
        {932, "ア.txt", "ァ.txt", false},
        {932, "C:\\表\\ソ.txt", "c:/表/ソ.TXT", true},
    };
    // The system's comparison, and the rule used where it is missing (XP).
    for (auto same : {SameFileNameA, SameFileNameByUpcaseA}) {
        for (const Case& c : cases) {
            if (c.codePage != 0 && c.codePage != codePage) continue;
            SCOPED_TRACE(std::string(c.a) + " / " + c.b);
            EXPECT_EQ(same(Ansi(c.a).c_str(), Ansi(c.b).c_str()), c.same);
        }
    }
}

TEST(SameFileName, FoldsLettersAsTheSystemDoes) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs the English locale";
    ExpectSameFileNames(1252);
}

TEST(SameFileNameJapanese, FoldsLettersAsTheSystemDoes) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese locale";
    ExpectSameFileNames(932);
}

// ---- End of the session ----

// What the session-end restore asks of the system, with the original's content each time.
std::vector<std::string> blockCalls;
std::string blockWatched;

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
BOOL WINAPI FakeBlockCreate(HWND, LPCWSTR reason) {
    char text[512];
    WideCharToMultiByte(CP_ACP, 0, reason, -1, text, sizeof text, nullptr, nullptr);
    blockCalls.push_back(std::string("create ") + text + " / " + Content(blockWatched));
    return TRUE;
}
BOOL WINAPI FakeBlockDestroy(HWND) {
    blockCalls.push_back("destroy / " + Content(blockWatched));
    return TRUE;
}

TEST(MainWindowSessionEnd, HoldsTheSessionWhileRestoring) {
    const std::string dir = ExeFolder() + "vb_block\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "dst").c_str(), nullptr);
    std::ofstream(dir + "dst\\a.txt", std::ios::binary) << "saved";
    std::ofstream(dir + "a.txt", std::ios::binary) << "changed";
    blockWatched = dir + "a.txt";
    WriteIni("[AutoVellum]\r\nAutoCopyMode=2\r\nCopy=1\r\nRestore=1\r\n[OverWrite]\r\nCopy=1\r\n"
             "Restore=1\r\n[DestinationDirectory]\r\nDirectory=" +
             dir +
             "dst\\\r\n[Files]\r\n"
             "File001=" +
             dir + "a.txt\r\nCopy001=1\r\nRestore001=1\r\n");
    ShutdownBlock::Api system = ShutdownBlock::SystemApi();
    ShutdownBlock::SystemApi() = {FakeBlockCreate, FakeBlockDestroy};
    blockCalls.clear();
    // Still initialising, the window is hidden: the session end restores. The question
    // already holds the session; a called-off end lets it go with nothing restored.
    RunProbe([&](ProbeDlg& d) {
        d.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
        d.SendMessage(WM_ENDSESSION, FALSE, 0);
        d.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        std::ofstream(dir + "a.txt", std::ios::binary) << "changed";
        d.SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
        d.SendMessage(WM_QUERYENDSESSION, 0, 0);
        d.SendMessage(WM_ENDSESSION, FALSE, 0);
        d.SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        d.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    });
    ShutdownBlock::SystemApi() = system;
    // Started, the program is among the last that the end of the session closes, so that
    // its restore comes after the programs that use the files have let them go.
    DWORD level = 0, shutdownFlags = 1;
    ASSERT_TRUE(GetProcessShutdownParameters(&level, &shutdownFlags));
    EXPECT_EQ(level, kLastShutdownLevel);
    EXPECT_EQ(shutdownFlags, 0u);
    const std::string create = "create " + Text(IDS_RESTORING_REASON) + " / changed";
    const std::vector<std::string> expected = {create, "destroy / saved",   create,
                                               "destroy / changed", create, "destroy / saved"};
    EXPECT_EQ(blockCalls, expected);
    RemoveIni();
}
// ---- strings in a named language (run in each locale) ----

// With no language named, LoadString gives what LoadStringA gives for the system's pick;
// with one, that language's text in the ANSI code page ("?" where it has no character).
void ExpectStringsInEachLanguage() {
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    // 100: no entry, in a block that exists; 4000: no block at all.
    const UINT ids[] = {IDS_TICK_ON, IDS_TICK_OFF, IDS_COL_PATH, IDS_RESTORE_INCOMPLETE, 100, 4000};
    const bool systemPicksJapanese = GetACP() == 932;
    ASSERT_NE(RawString(IDS_TICK_ON, english), RawString(IDS_TICK_ON, japanese));
    for (WORD language : {WORD(0), english, japanese}) {
        AfxSetResourceLanguage(language);
        for (UINT id : ids) {
            SCOPED_TRACE(testing::Message() << "string " << id << " language " << language);
            bool inJapanese = language == japanese || (language == 0 && systemPicksJapanese);
            std::string want = RawString(id, inJapanese ? japanese : english);
            CString got;
            EXPECT_EQ(got.LoadString(id), !want.empty());
            EXPECT_EQ(std::string(got), want);
            if (language == 0) {
                char plain[512] = "";
                LoadStringA(GetModuleHandleA(nullptr), id, plain, sizeof plain);
                EXPECT_EQ(std::string(got), plain);
            }
        }
    }
    AfxSetResourceLanguage(0);
}

TEST(ResourceLanguage, StringsInEachLanguage) { ExpectStringsInEachLanguage(); }
TEST(ResourceLanguageJapanese, StringsInEachLanguage) { ExpectStringsInEachLanguage(); }

// ---- Japanese resources (run with LANG=ja_JP.UTF-8) ----

TEST(MainWindowJapanese, TickTextsAndTitles) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese locale";
    WriteIni(FilesIni(2, "C:\\Backup\\"));
    RunProbe([&](ProbeDlg& d) {
        EXPECT_EQ(d.Cell(0, 1), RawString(IDS_TICK_ON, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)));
        EXPECT_EQ(d.Cell(0, 2), "---");
        HWND list = ::GetDlgItem(d.m_hWnd, IDC_FILE_LIST);
        char buf[64] = "";
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT;
        col.pszText = buf;
        col.cchTextMax = sizeof buf;
        SendMessageA(list, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
        EXPECT_EQ(std::string(buf), Ansi("ファイルパス"));
        EXPECT_EQ(d.Text(IDC_SET), Ansi("確定"));
    });
    // English named: the English template and strings, whatever the system picks.
    AfxSetResourceLanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    RunProbe([&](ProbeDlg& d) {
        EXPECT_EQ(d.Cell(0, 1), "ON");
        EXPECT_EQ(d.Text(IDC_SET), "Set");
        EXPECT_EQ(d.Text(IDC_AUTO_COPY), "Auto Copy");
    });
    AfxSetResourceLanguage(0);
    RemoveIni();
}

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
