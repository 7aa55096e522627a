// Main window: members, data exchange, list columns and rows, button rules.
#include "ui/main_dlg.h"
#include "model/window_rules.h"
#include "res/resource.h"

namespace {
constexpr int kTitleSize = 30;  // column title buffers: at most 29 bytes of text
}

CMainDlg::CMainDlg(const char* argumentPart, CWnd* parent)
    : CDialog(IDD_VELLUMBOX_DIALOG, parent), commandArgs(argumentPart) {
    destText = "";
    overWriteCheck = 0;
    settings.autoCopyMode = 0;
    mainIcon = static_cast<HICON>(::LoadImageA(
        AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
}

CMainDlg::~CMainDlg() {
    if (mainIcon) ::DestroyIcon(mainIcon);
}

void CMainDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILE_LIST, fileList);
    DDX_Text(dx, IDC_DEST_DIR, destText);
    DDX_Check(dx, IDC_OVERWRITE, overWriteCheck);
    DDX_Check(dx, IDC_AUTO_COPY, settings.autoCopyMode);
}

void CMainDlg::SetupColumns() {
    const UINT titleIds[] = {IDS_COL_PATH, IDS_COL_COPY, IDS_COL_RESTORE};
    char titles[3][kTitleSize];
    for (int i = 0; i < 3; ++i) {
        CopyPath(titles[i], kTitleSize, LoadText(titleIds[i]));
    }
    // The widths are pixels at 96 dpi; the dialog itself grows with the system's dpi,
    // so the columns grow with it to keep filling the list.
    int dpi = 0;
    if (HDC dc = ::GetDC(fileList.m_hWnd)) {
        dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
        ::ReleaseDC(fileList.m_hWnd, dc);
    }
    const int widths[] = {255, 60, 60, 0};
    for (int i = 0; widths[i] != 0; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_CENTER;
        column.cx = ScaledColumnWidth(widths[i], dpi);
        column.pszText = titles[i];
        fileList.InsertColumn(i, column);
    }
    fileList.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

void CMainDlg::AddRow(FileEntry entry) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = fileList.GetItemCount();
    item.iSubItem = 0;
    item.pszText = entry.path;
    int row = fileList.InsertItem(item);

    fileList.SetItemText(row, 1, LoadText(entry.copy == 1 ? IDS_TICK_ON : IDS_TICK_OFF));
    fileList.SetItemText(row, 2, LoadText(entry.restore == 1 ? IDS_TICK_ON : IDS_TICK_OFF));

    fileList.EnsureVisible(fileList.GetItemCount() - 1, TRUE);
}

void CMainDlg::FillList() {
    // Nothing is drawn or scrolled row by row; one paint afterwards shows them all.
    fileList.SetRedraw(FALSE);
    for (int i = 0; i < kMaxFiles; ++i) {
        if (table.entries[i].path[0] == '\0') break;
        AddRow(table.entries[i]);
    }
    fileList.EnsureVisible(0, TRUE);
    fileList.SetRedraw(TRUE);
    fileList.Invalidate();
}

void CMainDlg::UpdateButtons(int dirty) {
    UpdateSetButton(dirty);
    GetDlgItem(IDC_SELECT_FILE).EnableWindow(SelectFileEnabled(table));
    UpdateCopyButton();
    UpdateRestoreButton();
}

void CMainDlg::UpdateSetButton(int dirty) {
    GetDlgItem(IDC_SET).EnableWindow(SetButtonEnabled(dirty, settings, table));
}

void CMainDlg::UpdateCopyButton() {
    GetDlgItem(IDC_COPY).EnableWindow(RunButtonsEnabled(settings, table));
}

void CMainDlg::UpdateRestoreButton() {
    GetDlgItem(IDC_RESTORE).EnableWindow(RunButtonsEnabled(settings, table));
}
