// Main window: paths of the executable and of the settings file; loading and saving.
#include "ui/main_dlg.h"
#include "engine/short_names.h"
#include "engine/write_access.h"
#include "model/path_split.h"
#include "model/system_rules.h"
#include "model/window_rules.h"
#include "res/resource.h"

namespace {
// The settings codec over the real profile functions.
class PrivateProfile : public ProfileStore {
public:
    explicit PrivateProfile(const char* path) : iniPath(path) {}
    // No path, no file: the defaults, and nothing written.
    void Read(const char* section, const char* key, const char* def, char* buf, int size) override {
        if (iniPath[0])
            ::GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(size), iniPath);
        else
            CopyPath(buf, size, def);
    }
    bool Write(const char* section, const char* key, const char* value) override {
        return iniPath[0] && ::WritePrivateProfileStringA(section, key, value, iniPath) != FALSE;
    }

private:
    const char* iniPath;
};
}  // namespace

void CMainDlg::FormPaths() {
    // In UTF-16: the "A" form best-fits, so a program started from "C:\\\u03A9app\\" would
    // read and write "C:\\Oapp\\VellumBox.ini", another folder's file.
    exePathW = ModulePathW();
    std::string exact;
    exePathExact = WideToAnsiExactly(exePathW.data(), exact) && !exact.empty() &&
                   exact.size() < static_cast<size_t>(kPathSize);
    const std::string ansi = exePathExact ? exact : AnsiProgramPath(ComponentFormsW(exePathW.data()));
    CopyPath(exePath, kPathSize, ansi.c_str());
    PathParts parts;
    SplitPath(exePath, IsLeadByteAcp, parts);
    CopyPath(exeDrive, sizeof(exeDrive), parts.drive);
    CopyPath(exeFolder, sizeof(exeFolder), parts.dir);
    CopyPath(exeBaseName, sizeof(exeBaseName), exePath[0] ? parts.fname : kMarkerName);
    CopyPath(exeExt, sizeof(exeExt), parts.ext);
    // Without a path of its own the program keeps no settings file: a bare name would be
    // looked for in the Windows folder.
    if (exePath[0])
        JoinCut(iniPath, sizeof(iniPath), {exeDrive, exeFolder, exeBaseName, ".ini"});
    else
        iniPath[0] = '\0';
}

// Says that the program has no settings file, naming its path as the system gives it.
void CMainDlg::SayNoSettingsFile() {
    MsgBoxW(MB_OK | MB_ICONWARNING, IDS_PROGRAM_PATH_UNNAMED, exePathW.data());
}

void CMainDlg::LoadSettings() {
    // Where no window can be seen, a message box would wait for an answer nobody can give.
    if (!iniPath[0] && StationVisible()) SayNoSettingsFile();
    PrivateProfile profile(iniPath);
    LoadSettingsFrom(profile, settings, table, &longFileValues);
    overWriteCheck = (settings.overwriteOnCopy == 1 || settings.overwriteOnRestore == 1) ? 1 : 0;
    destText = settings.destDir[0] ? settings.destDir : "none";

    UpdateData(FALSE);
    UpdateButtons(0);
}

void CMainDlg::SaveSettings() {
    if (!iniPath[0]) {
        SayNoSettingsFile();
        return;
    }
    PrivateProfile profile(iniPath);
    if (!SaveSettingsTo(profile, settings, table, &longFileValues)) {
        // Keep Set enabled so the user can try again once the cause is gone.
        MsgBox(MB_OK | MB_ICONEXCLAMATION, IDS_SAVE_FAILED, iniPath);
        return;
    }
    UpdateSetButton(0);
}

CString CMainDlg::PlaceOpenToOthers() const {
    // A folder the "A" functions cannot name cannot be judged: count it as open, shown as
    // near as the code page comes.
    if (!exePath[0] && !exePathW.empty() && exePathW[0]) {
        int n = ::WideCharToMultiByte(CP_ACP, 0, exePathW.data(), -1, nullptr, 0, nullptr, nullptr);
        std::string shown(static_cast<size_t>(n > 0 ? n : 1), '\0');
        if (n > 0)
            ::WideCharToMultiByte(CP_ACP, 0, exePathW.data(), -1, &shown[0], n, nullptr, nullptr);
        return CString(shown.c_str());
    }
    PathParts parts;
    SplitPath(exePath, IsLeadByteAcp, parts);
    CString folder = CString(parts.drive) + parts.dir;
    if (!folder.IsEmpty() && OthersMayWritePath(folder)) return folder;
    // Moved within a volume, the program keeps its old access list, whatever the folder's.
    if (OthersMayWritePath(exePath)) return CString(exePath);
    if (iniPath[0] && OthersMayWritePath(iniPath)) return CString(iniPath);
    return CString();
}
