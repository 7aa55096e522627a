// Main window: start-up sequence, automatic runs, hiding, closing and session end.
#include "ui/main_dlg.h"
#include "model/window_rules.h"
#include "res/resource.h"
#include "ui/about_dlg.h"
#include "ui/shutdown_block.h"
#include "ui/startup_dlg.h"

namespace {
// One show request per process is swallowed in automatic mode, so the window starts
// hidden; later requests (a second start) pass.
int hiddenOnce = 0;

// Posted when the window is about to appear: the reports of automatic runs are shown once
// it is on the screen.
constexpr UINT kShowReportMessage = WM_APP + 1;
}  // namespace

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_DESTROY()
ON_BN_CLICKED(IDC_ABOUT, OnAboutButton)
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_SELECT_DEST, OnSelectDest)
ON_BN_CLICKED(IDC_SELECT_FILE, OnSelectFile)
ON_BN_CLICKED(IDC_COPY, DoCopy)
ON_BN_CLICKED(IDC_RESTORE, DoRestore)
ON_BN_CLICKED(IDC_SET, SaveSettings)
ON_NOTIFY(NM_DBLCLK, IDC_FILE_LIST, OnListDblClk)
ON_NOTIFY(NM_RDBLCLK, IDC_FILE_LIST, OnListRDblClk)
ON_BN_CLICKED(IDC_AUTO_COPY, OnAutoCopy)
ON_BN_CLICKED(IDC_OVERWRITE, OnOverWrite)
ON_WM_WINDOWPOSCHANGING()
ON_WM_ENDSESSION()
ON_WM_QUERYENDSESSION()
ON_WM_DROPFILES()
ON_NOTIFY(LVN_KEYDOWN, IDC_FILE_LIST, OnListKeyDown)
ON_WM_CONTEXTMENU()
VB_ON_VOID(kShowReportMessage, ShowUnshownReport)
END_MESSAGE_MAP()

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU menu = GetSystemMenu(FALSE)) {
        CString text;
        text.LoadString(IDS_HIDE_WINDOW);
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, SYSCMD_HIDE, text);
        text.LoadString(IDS_REGISTER_STARTUP);
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, SYSCMD_STARTUP, text);
        text.LoadString(IDS_ABOUTBOX);
        if (!text.IsEmpty()) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(menu, MF_STRING, SYSCMD_ABOUT, text);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon));
    ::SetPropA(m_hWnd, kMarkerName, reinterpret_cast<HANDLE>(1));
    GetDlgItem(IDC_ABOUT).SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(mainIcon));
    AcceptDroppedFiles();

    closeRequested = 0;
    ResetTable(table);
    iconForChildren = mainIcon;

    // The restore at the end of the session comes after the programs that use the files
    // have closed them and written their own settings.
    ShutDownLast();
    FormPaths();
    SetupColumns();
    LoadSettings();
    FillList();
    LoadState();

    DecideAutomaticRun();
    return TRUE;
}

void CMainDlg::DecideAutomaticRun() {
    AutoRunDecision decision = DecideAutoRun(commandArgs, settings.autoCopyMode, settings.autoCopy);
    const bool quiet = IsQuietSwitch(commandArgs);
    if (quiet) exitCode = ExitCodeOf(QuietEnd::NotCopying);
    if (decision.copyAtStart && quiet) {
        // Where no window can be seen, no question of the shell's may wait for an answer.
        const OperationResult r = Run(Op::Copy, IDS_RUN_QUIET_COPY, false, !StationVisible());
        exitCode = ExitCodeOf(EndOfQuietCopy({r.blocked, r.failed, r.leftOut}));
    } else if (decision.copyAtStart) {
        Run(Op::Copy, IDS_RUN_START_COPY, false);
    }
    // A hidden session whose end will restore: until that restore has put every file back,
    // no automatic copy (the next log-on's, another session's) takes the files over the
    // copies of the state it must bring back.
    if (!decision.closeAtOnce && settings.autoCopyMode != 0 && settings.autoRestore == 1) {
        cycleDest = settings.destDir;
        MarkRestoreDue(cycleDest, StateName(), table);
    }
    // Synchronous, inside the initialisation: the dialog ends before it is first shown.
    if (decision.closeAtOnce) SendMessage(WM_CLOSE);
}

void CMainDlg::OnSysCommand(UINT id, LPARAM) {
    switch (id & 0xFFF0) {
    case SYSCMD_ABOUT:
        OnAboutButton();
        break;
    case SYSCMD_HIDE:
        ShowWindow(SW_HIDE);
        break;
    case SYSCMD_STARTUP: {
        CStartupDlg startup;
        startup.DoModal();
        break;
    }
    default:
        Default();
        break;
    }
}

void CMainDlg::OnAboutButton() {
    CAboutDlg about;
    about.DoModal();
}

void CMainDlg::OnClose() {
    closeRequested = 1;
    Default();  // a dialog turns WM_CLOSE into the Cancel command
}

void CMainDlg::OnCancel() {
    // Esc alone never closes; only the Close command does.
    if (closeRequested == 1) CDialog::OnCancel();
}

void CMainDlg::OnOK() {}

void CMainDlg::OnWindowPosChanging(WINDOWPOS* pos) {
    if (settings.autoCopyMode != 0 && hiddenOnce == 0 && (pos->flags & SWP_SHOWWINDOW)) {
        // A window nobody sees must not take the keyboard from the one the user works in.
        pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE;
        hiddenOnce = 1;
        ShowWindow(SW_HIDE);
    } else if ((pos->flags & SWP_SHOWWINDOW) && !reportPosted &&
               (interruptedNotice != 0 || !unshownReport.empty())) {
        reportPosted = true;
        ::PostMessageA(m_hWnd, kShowReportMessage, 0, 0);
    }
    Default();
}

bool CMainDlg::RestoresAtSessionEnd(bool ending, UINT flags) {
    // A called-off end of session, or an installer closing the program while the user
    // works on, must not put the files back.
    return ::RestoresAtSessionEnd(IsWindowVisible() != FALSE, settings.autoCopyMode,
                                  settings.autoRestore, ending, (flags & ENDSESSION_CLOSEAPP) != 0);
}

BOOL CMainDlg::OnQueryEndSession(UINT flags) {
    BOOL answer = Default() != 0 ? TRUE : FALSE;
    // The reason is in place before the session ends: Windows decides then whether to wait
    // for a program that has no visible window.
    if (answer && RestoresAtSessionEnd(true, flags))
        sessionBlock.Hold(m_hWnd, IDS_RESTORING_REASON);
    return answer;
}

void CMainDlg::OnEndSession(BOOL ending, UINT flags) {
    Default();
    const std::string owed = cycleDest.empty() ? std::string(settings.destDir) : cycleDest;
    if (RestoresAtSessionEnd(ending != FALSE, flags)) {
        sessionBlock.Hold(m_hWnd, IDS_RESTORING_REASON);  // kept when the question held it
        if (settings.destDir[0] == '\0') {
            // Nothing to restore from (a cancelled browse, not saved): said at the next
            // showing, and the cycle stays open in the saved destination's record.
            const std::vector<ReportLine> why = {{IDS_SESSION_NO_DEST, owed, IDS_RUN_SESSION_RESTORE}};
            MergeReport(unshownReport, why);
            KeepReport(owed, StateName(), why);
        } else if (Run(Op::Restore, IDS_RUN_SESSION_RESTORE, true).completed && owed != settings.destDir) {
            EndCycle(owed, StateName());  // the user moved the cycle to another folder
        }
    } else if (ending && !(flags & ENDSESSION_CLOSEAPP) && !operationRunning) {
        // The user's own choice (the window shown, the automatic mode off) ends the cycle:
        // nothing is owed, and the next log-on copies as before. It may wait for another's
        // hold on the record.
        sessionBlock.Hold(m_hWnd, IDS_RECORD_REASON);
        EndCycle(owed, StateName());
    }
    sessionBlock.Release();
}

void CMainDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    int x = 0;
    int y = 0;
    MinimisedIconOrigin(rc.right - rc.left, rc.bottom - rc.top, ::GetSystemMetrics(SM_CXICON),
                        ::GetSystemMetrics(SM_CYICON), x, y);
    ::DrawIcon(dc, x, y, mainIcon);
    ::EndPaint(m_hWnd, &ps);
}

HCURSOR CMainDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(mainIcon); }

void CMainDlg::OnDestroy() {
    Default();
    ::RemovePropA(m_hWnd, kMarkerName);
    if (comStarted) ::CoUninitialize();
    comStarted = false;
}

// The folder browser and the file dialog need COM on this thread, apartment-threaded, and
// the shell's copy is given it too. Taken when first needed: a start that copies nothing
// needs none of it. S_FALSE (already initialised) also takes a matching release; a thread
// set to another model does not.
void CMainDlg::StartCom() {
    if (!comStarted) comStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}
