// The record that VellumBox keeps in the destination folder: which copies it made there,
// which files an operation had not finished when it was cut off, which files a log-on's
// end still owes their restore, and the reports nobody has seen yet. Its text format and
// the rules that decide from it whether an operation runs. Pure code.
//
//     Record r = ParseRecord(text);
//     Gate g = DecideGate(r, Op::Copy, /*automatic=*/true, takenPaths, names);
//     BeginOperation(r, Op::Copy, takenPaths);  ... the shell's copy ...
//     EndOperation(r, Op::Copy, results, names);  text = FormatRecord(r);
#pragma once
#include <string>
#include <vector>
#include "engine/request.h"

enum class Op { Copy, Restore };

// One line of a report that nobody has seen yet: what was found (a string number and a
// path), and the automatic run that found it (the string that names it; 0: a button).
struct ReportLine {
    unsigned textId;
    std::string text;
    unsigned heading = 0;
};

// A copy that the program left in the destination: the file it came from, and its size
// and last write time as it was left (or, among `restored`, a file as a restore left it).
// `localTime`: the copy's file system showed that it keeps local time, as FAT does.
struct CopyEntry {
    std::string path;
    FileStamp stamp;
    bool localTime = false;
};

// A file whose restore a log-on's end still owes; `logon` names the log-on (never empty,
// no tabs).
struct OwedEntry {
    std::string logon;
    std::string path;
};

struct Record {
    // There, but not readable as ours (held open, a folder, cut before its first line, or
    // someone else's first line): nothing in the folder can be trusted.
    bool unreadable = false;
    // Written by an earlier version: a cut operation without its files named, which
    // therefore may concern any file.
    bool anyCopyCut = false;
    bool anyRestoreCut = false;
    std::vector<std::string> cutCopies;     // files whose copies a cut Copy may have left short
    std::vector<std::string> cutOriginals;  // files that a cut Restore may have left short
    // Written by an earlier version: sessions whose end still owes the restore of every file.
    std::vector<unsigned long> due;
    std::vector<OwedEntry> owed;
    std::vector<CopyEntry> copies;
    std::vector<CopyEntry> restored;  // each file as the last session-end restore left it
    std::vector<ReportLine> report;
};

// The first line names what is cut ("Copy", "Restore", "Both" or nothing), as earlier
// versions read it; the lines after it are tagged by their first field, and a report line
// with a number and no text heads the lines of the run it names. File names hold
// neither tabs nor line ends. Unknown lines are ignored, so that a hand edit is never fatal.
std::string FormatRecord(const Record& record);
Record ParseRecord(const std::string& text);
// The record as its files were found: the record itself, or, where only the new file of an
// unfinished replace is there (on FAT a crash can leave it alone), that one; never no
// record while either is there.
Record RecordFound(ReadResult found, const std::string& text, ReadResult foundNew,
                   const std::string& newText);

enum class Verdict {
    Run,
    Ask,     // a button's operation, after a question (No is the default)
    Refuse,  // an automatic run: reported at the next showing
    Busy,    // another operation holds the folder: not run, and said
};
struct Gate {
    Verdict verdict;
    unsigned reason;  // the string that says why; 0 with Run
};

// String numbers of the reasons, so that this code needs no resources.
struct GateTexts {
    unsigned busy, unreadable, copyCut, restoreCut, restoreDue;
};

// Whether an operation on `taken` (the paths it would copy or restore) may run. A cut
// Copy makes its files' copies suspect, so restoring them waits; a cut Restore makes its
// files suspect, so copying them waits; a button's Copy of a file whose restore is still
// owed asks first (an automatic Copy leaves such files out, see FilterCopy). Where an
// automatic run waits, a button asks instead.
Gate DecideGate(const Record& record, bool held, Op op, bool automatic,
                const std::vector<std::string>& taken, const GateTexts& texts,
                SameNameFn sameName);

// Before the shell's call: every file it is given counts as cut until it is checked.
void BeginOperation(Record& record, Op op, const std::vector<std::string>& taken,
                    SameNameFn sameName);

// What the check after the shell's call found for one file of the request.
// Unsettled: written but not known to be on the disk, or a cut copy that could not be
// removed; it stays counted as cut.
enum class FileResult { Done, Changed, Cut, NotDone, Unsettled };
struct FileOutcome {
    std::string path;     // the user's own file
    FileResult result;
    FileStamp copy;       // the target (a Copy's copy, a Restore's file) as the operation left it
    bool localTime = false;  // a Copy's copy: its file system keeps local time
};

// After the shell's call, from the record as it was before BeginOperation: the files now
// done are no longer cut, a Restore's cut files are, and a Copy lists its copies.
void EndOperation(Record& record, Op op, const std::vector<FileOutcome>& outcomes,
                  SameNameFn sameName, LeadByteFn isLeadByte);

// Every file the request took was put in place, and the shell itself reported no failure.
bool Completed(const std::vector<FileOutcome>& outcomes, bool shellFailed);

// What a start tells of the record at the first showing: unreadable, or an operation cut
// off (0: nothing).
unsigned Notice(const Record& record, const GateTexts& texts);

bool Empty(const Record& record);

// How a file system keeps times. FAT (12, 16, 32) and exFAT keep local time: the same
// file reads an hour off once the clocks change, or on a computer in another time zone,
// and FAT keeps 2-second steps.
enum class TimeKeeping { Exact, LocalTime };
TimeKeeping TimeKeepingOf(const char* fileSystemName);
// A copy whose time the file system cut to FAT's 2-second steps while its source's time
// was finer: a FAT file system wherever it is (a share reports its server's name).
bool CutToFatSteps(const FileStamp& source, const FileStamp& copy);
// Whether a file is as it was left: same size and time; where local time is kept, a time
// within the 2-second step or off by whole hours only (up to the widest time-zone gap).
bool SameAsLeft(const FileStamp& now, const FileStamp& left, TimeKeeping keeping);
using KeepingFn = TimeKeeping (*)(const char* path);

// The automatic cycle, per file and per log-on. A log-on whose end will restore owes each
// file it will restore; the files a restore at a session end put back are owed no more, by
// any log-on (one that never ended, after a power cut, included), and are kept as it left
// them; the user's own choice to end the cycle frees only their own log-on's files, and
// takes the files as they are now.
bool Owed(const Record& record, const std::string& path, SameNameFn sameName);
void MarkOwed(Record& record, const std::string& logon, const std::vector<std::string>& paths,
              SameNameFn sameName);
void EndOwnCycle(Record& record, const std::string& logon);
void SettleSessionRestore(Record& record, const std::vector<FileOutcome>& outcomes,
                          bool completed, SameNameFn sameName);
// The copy of `path` now holds `stamp` (the user chose to restore it as it is).
void TakeCopyStamp(Record& record, const std::string& path, const FileStamp& stamp,
                   SameNameFn sameName);

// Restore puts back a copy only onto the file it was made from, and only while it is as
// it was left; a copy the record does not list is restored as before. Removes the others
// from the request, into otherCopy and changedCopy (changed copies stay when
// `takeChanged`: the user said so). `stampOf` reads the copy as it is now; `keeping` is
// how the destination keeps times.
using StampFn = FileStamp (*)(const char* path);
void FilterRestore(FileRequest& request, const Record& record, StampFn stampOf,
                   TimeKeeping keeping, bool takeChanged, SameNameFn sameName,
                   LeadByteFn isLeadByte);

// An automatic Copy leaves out the files whose restore is still owed (into owedFile), and
// those changed since a session-end restore left them (a program that saved after it,
// into savedLate): their copies hold the state that must come back.
void FilterCopy(FileRequest& request, const Record& record, StampFn stampOf,
                KeepingFn keepingOf, SameNameFn sameName);

// The name lists built anew from the request's pairs (a Copy's one destination folder
// stays).
void RebuildLists(FileRequest& request, bool copying);

// Where nobody can answer the shell's questions: a Copy leaves out every file whose copy
// exists (with Over Write off the shell would ask before replacing it), into wouldAsk,
// and keeps the shell's windows away. `exists` null (Over Write on): nothing is left out.
void LeaveOutQuestions(FileRequest& request, ExistsFn exists);

// Reports merged: each run's cause with each file once, in the order first found.
// `heading` names the run that found `causes` (0: none).
void MergeReport(std::vector<ReportLine>& into, const std::vector<ReportLine>& from);
void AddReport(std::vector<ReportLine>& into, unsigned heading, std::vector<ReportLine> causes);
// Drops from `report` what `shown` holds (the user has seen it).
void SubtractReport(std::vector<ReportLine>& report, const std::vector<ReportLine>& shown);

// One message per cause: the heading of the run that found it (or `severalRuns` when more
// than one did), the cause, then its files.
struct ReportMessage {
    unsigned heading;  // 0: none
    unsigned cause;
    std::vector<std::string> texts;
};
std::vector<ReportMessage> GroupReport(const std::vector<ReportLine>& report,
                                       unsigned severalRuns);
