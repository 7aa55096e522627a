// Main window: its part of Copy and Restore. The run itself (the record, the gate, the
// shell, the check) is the engine's; the window fixes what it runs on, keeps its commands
// away meanwhile, asks the user's questions and shows or keeps the reports.
#include "ui/main_dlg.h"
#include "engine/write_access.h"
#include "res/resource.h"

namespace {
CString LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}

// A message names its places right after saying what they are; advice, after a blank
// line in the text, comes below them.
CString Naming(UINT id, const std::vector<std::string>& names) {
    const std::string text = LoadText(id).c_str();
    const size_t advice = text.find("\n\n");
    CString message = text.substr(0, advice);
    for (const std::string& name : names) {
        message += "\n";
        message += name.c_str();
    }
    if (advice != std::string::npos) message += text.substr(advice);
    return message;
}

const GateTexts kNoticeTexts = {0, IDS_INTERRUPTED_UNKNOWN, IDS_INTERRUPTED_COPY,
                                IDS_INTERRUPTED_RESTORE, 0};

// The controls that start or change anything; all of them wait while an operation runs.
const int kCommandControls[] = {IDC_ABOUT,     IDC_SELECT_DEST, IDC_SELECT_FILE,
                                IDC_FILE_LIST, IDC_AUTO_COPY,   IDC_OVERWRITE,
                                IDC_COPY,      IDC_RESTORE,     IDC_SET};
}  // namespace

void CMainDlg::DoCopy() { RunFromButton(Op::Copy); }

void CMainDlg::DoRestore() { RunFromButton(Op::Restore); }

std::string CMainDlg::StateName() const { return std::string(exeBaseName) + ".state"; }

void CMainDlg::RunFromButton(Op op) {
    const OperationResult result = Run(op, 0, false);
    ShowMessages(result.causes);
}

OperationResult CMainDlg::Run(Op op, UINT heading, bool sessionEnd, bool unseen) {
    OperationResult result;
    if (operationRunning) return result;  // never inside another operation, and never queued
    const bool copying = op == Op::Copy;
    OperationSpec spec;
    spec.op = op;
    spec.automatic = heading != 0;
    spec.heading = heading;
    spec.sessionEnd = sessionEnd;
    spec.unseen = unseen;
    spec.destDir = settings.destDir;  // a folder chosen meanwhile does not change this run
    spec.stateName = StateName();
    spec.table = &table;
    spec.overwrite = copying ? settings.overwriteOnCopy : settings.overwriteOnRestore;
    spec.owner = m_hWnd;
    // The title is loaded now, in the language the program shows.
    spec.progressTitle = LoadText(copying ? IDS_COPY_PROGRESS : IDS_RESTORE_PROGRESS).c_str();
    if (spec.automatic) {
        // Others who can change these places can steer what a run nobody watches does.
        const CString place = PlaceOpenToOthers();
        if (!place.IsEmpty()) spec.alsoReport.push_back({IDS_AUTO_OPEN_SETTINGS, place.c_str()});
        if (IsAbsolutePath(settings.destDir) && OthersMayWritePath(settings.destDir))
            spec.alsoReport.push_back({IDS_AUTO_OPEN_DEST, settings.destDir});
    }
    spec.host = this;
    spec.ask = [](void* host, Op asked, unsigned reason) {
        return static_cast<CMainDlg*>(host)->AskToGoOn(asked, reason);
    };
    spec.beforeShell = [](void* host) { static_cast<CMainDlg*>(host)->StartCom(); };

    operationRunning = true;
    EnableCommands(false);
    result = RunOperation(spec);
    EnableCommands(true);
    operationRunning = false;
    if (spec.automatic) AddReport(unshownReport, heading, result.causes);
    return result;
}

bool CMainDlg::AskToGoOn(Op op, unsigned reason) {
    CString question = Naming(reason, {settings.destDir});
    question += "\n\n";
    question += LoadText(op == Op::Copy ? IDS_ASK_COPY_ANYWAY : IDS_ASK_RESTORE_ANYWAY);
    return AfxMessageBox(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CMainDlg::EnableCommands(bool enable) {
    static_assert(sizeof(kCommandControls) / sizeof(kCommandControls[0]) <= 16, "one bit each");
    if (!enable) {
        commandsWaiting = 0;
        for (size_t k = 0; k < sizeof(kCommandControls) / sizeof(kCommandControls[0]); ++k) {
            HWND control = ::GetDlgItem(m_hWnd, kCommandControls[k]);
            if (control && ::IsWindowEnabled(control)) {
                commandsWaiting |= 1u << k;
                ::EnableWindow(control, FALSE);
            }
        }
        return;
    }
    for (size_t k = 0; k < sizeof(kCommandControls) / sizeof(kCommandControls[0]); ++k)
        if (commandsWaiting & (1u << k)) ::EnableWindow(::GetDlgItem(m_hWnd, kCommandControls[k]), TRUE);
    commandsWaiting = 0;
}

void CMainDlg::ShowMessages(const std::vector<ReportLine>& report) {
    for (const ReportMessage& m : GroupReport(report, IDS_RUN_SEVERAL)) {
        CString text;
        if (m.heading != 0) {
            text = LoadText(m.heading);
            text += "\n\n";
        }
        text += Naming(m.cause, m.texts);
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
}

void CMainDlg::LoadState() {
    unshownReport = ReadReport(settings.destDir, StateName(), kNoticeTexts, interruptedNotice);
}

void CMainDlg::ShowUnshownReport() {
    reportPosted = false;
    unsigned notice = 0;
    const std::vector<ReportLine> recorded =
        ReadReport(settings.destDir, StateName(), kNoticeTexts, notice);
    // What a start found unfinished, unless an operation since has completed it; a refused
    // run already names it.
    if (interruptedNotice == 0) notice = 0;
    for (const ReportLine& line : unshownReport) notice = line.textId == notice ? 0 : notice;
    for (const ReportLine& line : recorded) notice = line.textId == notice ? 0 : notice;
    std::vector<ReportLine> report;
    if (notice != 0) report.push_back({notice, settings.destDir});
    MergeReport(report, unshownReport);
    MergeReport(report, recorded);
    interruptedNotice = 0;
    unshownReport.clear();
    if (report.empty()) return;
    DropShownReport(settings.destDir, StateName(), report);
    ShowMessages(report);
}
