// Main window: paths of the executable and of the settings file; loading and saving.
#include "ui/main_dlg.h"
#include "engine/write_access.h"
#include "model/path_split.h"
#include "model/window_rules.h"
#include "res/resource.h"

namespace {
bool IsLeadByteAcp(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }

// The settings codec over the real profile functions.
class PrivateProfile : public ProfileStore {
public:
    explicit PrivateProfile(const char* path) : iniPath(path) {}
    void Read(const char* section, const char* key, const char* def, char* buf, int size) override {
        ::GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(size), iniPath);
    }
    bool Write(const char* section, const char* key, const char* value) override {
        return ::WritePrivateProfileStringA(section, key, value, iniPath) != FALSE;
    }

private:
    const char* iniPath;
};
}  // namespace

void CMainDlg::FormPaths() {
    DWORD n = ::GetModuleFileNameA(nullptr, exePath, kPathSize);
    exePath[n < kPathSize ? n : kPathSize - 1] = '\0';
    PathParts parts;
    SplitPath(exePath, IsLeadByteAcp, parts);
    CopyPath(exeDrive, sizeof(exeDrive), parts.drive);
    CopyPath(exeFolder, sizeof(exeFolder), parts.dir);
    CopyPath(exeBaseName, sizeof(exeBaseName), parts.fname);
    CopyPath(exeExt, sizeof(exeExt), parts.ext);
    JoinCut(iniPath, sizeof(iniPath), {exeDrive, exeFolder, exeBaseName, ".ini"});
}

void CMainDlg::LoadSettings() {
    PrivateProfile profile(iniPath);
    LoadSettingsFrom(profile, settings, table, &longFileValues);
    overWriteCheck = (settings.overwriteOnCopy == 1 || settings.overwriteOnRestore == 1) ? 1 : 0;
    destText = settings.destDir[0] ? settings.destDir : "none";

    UpdateData(FALSE);
    UpdateSetButton(0);
    if (!SelectFileEnabled(table)) GetDlgItem(IDC_SELECT_FILE).EnableWindow(FALSE);
    UpdateCopyButton();
    UpdateRestoreButton();
}

void CMainDlg::SaveSettings() {
    PrivateProfile profile(iniPath);
    if (!SaveSettingsTo(profile, settings, table, &longFileValues)) {
        // Keep Set enabled so the user can try again once the cause is gone.
        CString text;
        text.LoadString(IDS_SAVE_FAILED);
        text += "\n";
        text += iniPath;
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    UpdateSetButton(0);
}

CString CMainDlg::PlaceOpenToOthers() const {
    PathParts parts;
    SplitPath(exePath, IsLeadByteAcp, parts);
    CString folder = CString(parts.drive) + parts.dir;
    if (!folder.IsEmpty() && OthersMayWritePath(folder)) return folder;
    if (iniPath[0] && OthersMayWritePath(iniPath)) return CString(iniPath);
    return CString();
}
