// The real main window in-process under Wine: after its ordinary initialisation (which
// loads vbbench_inproc.ini beside this program), times LoadSettings and FillList again
// and again on the live, never shown dialog, and the checks an automatic run makes of who
// else may change its places, then closes it.
//   vbbench_inproc.exe <iterations>
// prints  load_fill_us=  load_us=  fill_us=  checks_us=  record_us=  memory_load_us=  rows=
// (medians). record_us: what an operation adds for its record, two replacements of the
// record written through and a flush of every listed file.
#include <cstdlib>
#include "bench/memory_profile.h"
#include "engine/shell_op.h"
#include "engine/write_access.h"
#include "ui/main_dlg.h"

namespace {

int g_iterations = 200;

double Us(LARGE_INTEGER a, LARGE_INTEGER b) {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1e6 * double(b.QuadPart - a.QuadPart) / double(freq.QuadPart);
}

class TimedDlg : public CMainDlg {
public:
    TimedDlg() : CMainDlg("") {}
    double loadFill = -1, load = -1, fill = -1, checks = -1, recordCost = -1;
    int rows = 0;
    bool anyOpen = false;  // used, so that the checks are not optimised away

protected:
    BOOL OnInitDialog() override {
        BOOL r = CMainDlg::OnInitDialog();
        std::vector<double> both, loads, fills, checked, records;
        LARGE_INTEGER t0, t1, t2;
        // Interleaved: the pair as start-up runs it, then each half alone.
        for (int i = 0; i < g_iterations; ++i) {
            Clear();
            QueryPerformanceCounter(&t0);
            LoadSettings();
            FillList();
            QueryPerformanceCounter(&t1);
            both.push_back(Us(t0, t1));

            Clear();
            QueryPerformanceCounter(&t0);
            LoadSettings();
            QueryPerformanceCounter(&t1);
            loads.push_back(Us(t0, t1));

            ::SendMessageA(fileList.m_hWnd, LVM_DELETEALLITEMS, 0, 0);
            QueryPerformanceCounter(&t0);
            FillList();
            QueryPerformanceCounter(&t2);
            fills.push_back(Us(t0, t2));

            QueryPerformanceCounter(&t0);
            bool open = !PlaceOpenToOthers().IsEmpty();
            open = OthersMayWritePath(settings.destDir) || open;
            QueryPerformanceCounter(&t1);
            checked.push_back(Us(t0, t1));
            anyOpen = anyOpen || open;

            QueryPerformanceCounter(&t0);
            MarkRestoreDue(settings.destDir, StateName(), table);
            for (int k = 0; k < table.count; ++k) FlushFileA(table.entries[k].path);
            EndCycle(settings.destDir, StateName());
            QueryPerformanceCounter(&t1);
            records.push_back(Us(t0, t1));
        }
        loadFill = MedianOf(both);
        load = MedianOf(loads);
        fill = MedianOf(fills);
        checks = MedianOf(checked);
        recordCost = MedianOf(records);
        rows = fileList.GetItemCount();
        SendMessage(WM_CLOSE);
        return r;
    }

private:
    // Back to the state the initialisation leaves before loading: empty table, no rows.
    void Clear() {
        ::SendMessageA(fileList.m_hWnd, LVM_DELETEALLITEMS, 0, 0);
        ResetTable(table);
        settings = AppSettings{};
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_iterations = std::max(5, std::atoi(argv[1]));
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    TimedDlg dlg;
    dlg.DoModal();
    double memory = TimeMemoryLoad(g_iterations);
    std::printf("load_fill_us=%.3f load_us=%.3f fill_us=%.3f checks_us=%.3f record_us=%.3f "
                "memory_load_us=%.3f rows=%d open=%d\n",
                dlg.loadFill, dlg.load, dlg.fill, dlg.checks, dlg.recordCost, memory, dlg.rows,
                dlg.anyOpen);
    return 0;
}
