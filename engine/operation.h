// One Copy or Restore from start to end: the record in the destination is held for the
// whole of it, the gate decides whether it runs, the shell copies, every file is checked
// and flushed, and the record says what is now true. Also the small steps of the automatic
// cycle that touch only the record.
//
//     OperationSpec spec{Op::Copy, ...};
//     OperationResult r = RunOperation(spec);   // r.causes: what to tell the user
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "engine/record.h"
#include "model/file_table.h"

struct OperationSpec {
    Op op = Op::Copy;
    bool automatic = false;  // nobody watches: refused instead of asked, and reported later
    unsigned heading = 0;    // names an automatic run in its report
    bool sessionEnd = false;  // the restore at the end of the session: a full one ends the cycle
    bool unseen = false;      // nobody can see the shell's windows, nor answer them
    std::string destDir;     // fixed for the whole operation
    std::string stateName;   // the record's file name in the destination
    const FileTable* table = nullptr;
    int overwrite = 0;
    HWND owner = nullptr;
    std::string progressTitle;
    // Reports that belong with an automatic run's own (places others can change).
    std::vector<ReportLine> alsoReport;
    // What the operation needs of its window, given `host`: a button's question about
    // `op`, by the string that says why (true goes on); and a call before the shell's
    // (COM for the shell's windows).
    void* host = nullptr;
    bool (*ask)(void* host, Op op, unsigned reason) = nullptr;
    // A button's question that names files, by its string (true goes on with them).
    bool (*askFiles)(void* host, unsigned question, const std::vector<std::string>& files) = nullptr;
    void (*beforeShell)(void* host) = nullptr;
};

struct OperationResult {
    bool ran = false;        // the shell was given files
    bool completed = false;  // and put every one of them in place
    bool blocked = false;    // the record or another operation stood in the way
    bool failed = false;     // a file cut, the shell failed, nothing done, or no destination
    bool leftOut = false;    // files left out or named in a report (places open to others aside)
    std::vector<ReportLine> causes;  // one line per cause and file, without a heading
};

OperationResult RunOperation(const OperationSpec& spec);

// Whether this process's window station has visible display surfaces (true when the
// system cannot tell): a task run "whether the user is logged on or not" has none.
bool StationVisible();

// The log-on this process belongs to, as the record names it: the log-on session's id,
// which the system reuses only after a restart, with the time the log-on began.
std::string CurrentLogon();

// The automatic cycle's steps on the record alone. Each holds the record while it works
// and leaves it alone when another operation holds it or the folder takes no record.
// MarkRestoreDue: this log-on's end owes the restore of the files of `table` ticked for it.
void MarkRestoreDue(const std::string& destDir, const std::string& stateName,
                    const FileTable& table);
void EndCycle(const std::string& destDir, const std::string& stateName);
// Adds report lines (their headings set) to the record.
void KeepReport(const std::string& destDir, const std::string& stateName,
                const std::vector<ReportLine>& lines);
// The reports in the record that nobody has seen yet, and what it tells of an operation
// cut off (`texts`: the notice, 0 for nothing); and, once shown, their removal from it.
std::vector<ReportLine> ReadReport(const std::string& destDir, const std::string& stateName,
                                   const GateTexts& texts, unsigned& notice);
void DropShownReport(const std::string& destDir, const std::string& stateName,
                     const std::vector<ReportLine>& shown);

// The shutdown level for programs that the system ends last, so that the restore at the
// end of the session runs after the programs that use the files have closed them.
constexpr DWORD kLastShutdownLevel = 0x100;
void ShutDownLast();
