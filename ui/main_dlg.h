// The main window: one modal dialog that owns the file table, the settings and the list.
#pragma once
#include "framework/fw_app.h"
#include "framework/fw_controls.h"
#include <objidl.h>
#include <shlobj.h>
#include "framework/fw_dialog.h"
#include "engine/operation.h"
#include "engine/request.h"
#include "model/file_table.h"
#include "model/settings.h"
#include "model/window_rules.h"
#include "ui/shutdown_block.h"

// Commands the window adds to its system menu (multiples of 16 below 0xF000).
constexpr UINT SYSCMD_ABOUT = 0x0010;
constexpr UINT SYSCMD_HIDE = 0x1010;
constexpr UINT SYSCMD_STARTUP = 0x1020;

// Name of the single-instance mutex and of the property that marks the main window.
constexpr const char* kMarkerName = "VellumBox";

class CMainDlg : public CDialog {
public:
    // argumentPart: the command line's argument part, which decides quiet mode.
    explicit CMainDlg(const char* argumentPart = "", CWnd* parent = nullptr);
    ~CMainDlg() override;

    // Read by the secondary dialogs through their parent window.
    HICON iconForChildren = nullptr;
    // The executable's path for the "A" functions: exact, or with short names for folders
    // the code page cannot hold; empty when neither serves (no settings file is used then).
    char exePath[kPathSize] = "";
    // The executable's path as the system gives it, and whether exePath is that path exactly.
    WideText exePathW;
    bool exePathExact = false;

    // The executable's folder or the settings file when users other than this one (and the
    // administrators) can change it, else empty.
    CString PlaceOpenToOthers() const;
    // The process's exit status once the window has ended: how a quiet run went, 0 for
    // an ordinary start.
    int ExitCode() const { return exitCode; }

protected:
    char exeDrive[3] = "";
    char exeFolder[256] = "";
    char exeBaseName[256] = "";
    char exeExt[256] = "";
    CListCtrl fileList;
    CString destText;
    int overWriteCheck = 0;
    HICON mainIcon = nullptr;
    // autoCopyMode, the four switches and destDir, as stored in the settings file.
    AppSettings settings = {};
    char iniPath[kPathSize] = "";
    FileTable table = {};
    // File values too long for the table, as they stood in the settings file.
    LongValues longFileValues;
    IMalloc* shellMalloc = nullptr;
    LPITEMIDLIST browseIdList = nullptr;
    int closeRequested = 0;
    CString commandArgs;
    // Set while Copy or Restore runs: the shell's windows run message loops, which would
    // otherwise deliver a session end (and its restore) into an unfinished copy.
    bool operationRunning = false;
    bool comStarted = false;  // COM taken on this thread by StartCom, released on destroy
    // Held from the question that ends the session until its restore is over.
    ShutdownBlock sessionBlock;

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Layout and button rules.
    void SetupColumns();
    void AddRow(FileEntry entry);
    void FillList();
    // Set by `dirty`, Select File, Copy and Restore: after the table or the destination changed.
    void UpdateButtons(int dirty);
    void UpdateSetButton(int dirty);
    void UpdateCopyButton();
    void UpdateRestoreButton();

    // Settings file.
    void FormPaths();
    void SayNoSettingsFile();
    void LoadSettings();
    void SaveSettings();

    // Copy and Restore, from a button (heading 0) or as the automatic run the heading
    // names, whose report waits for the window to be shown.
    void DoCopy();
    void DoRestore();
    void RunFromButton(Op op);
    OperationResult Run(Op op, UINT heading, bool sessionEnd, bool unseen = false);
    // Disables the enabled commands and returns them, one bit each, for EnableCommands.
    unsigned DisableCommands();
    void EnableCommands(unsigned waiting);
    bool AskToGoOn(Op op, unsigned reason);
    bool AskAboutFiles(unsigned question, const std::vector<std::string>& files);
    void ShowMessages(const std::vector<ReportLine>& report);
    void StartCom();
    // The record in the destination: an unfinished operation, and reports not yet shown.
    std::string StateName() const;
    void LoadState();
    void ShowUnshownReport();
    std::vector<ReportLine> unshownReport;
    UINT interruptedNotice = 0;  // what was unfinished at start, told once
    bool reportPosted = false;
    // The destination whose record says this session's end owes a restore.
    std::string cycleDest;
    int exitCode = 0;

    // Life cycle.
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    void OnAboutButton();
    void OnClose();
    void OnWindowPosChanging(WINDOWPOS* pos);
    void OnEndSession(BOOL ending, UINT flags);
    BOOL OnQueryEndSession(UINT flags);
    bool RestoresAtSessionEnd(bool ending, UINT flags);
    void DecideAutomaticRun();

    // Commands.
    void OnSelectDest();
    void OnSelectFile();
    void OnAutoCopy();
    void OnOverWrite();
    void OnListDblClk(NMHDR* hdr, LRESULT* result);
    void OnListRDblClk(NMHDR* hdr, LRESULT* result);
    void ToggleTick(int row, int column);
    void AskAndDeleteRow(int row);

    // Dropped files and the list's keyboard gestures.
    void AcceptDroppedFiles();
    void OnDropFiles(HDROP drop);
    void OnListKeyDown(NMHDR* hdr, LRESULT* result);
    void OnContextMenu(HWND from, int x, int y);

    DECLARE_MESSAGE_MAP()
};
