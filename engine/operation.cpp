#include "engine/operation.h"
#include <ntsecapi.h>
#include <cstddef>
#include <utility>
#include "engine/shell_op.h"
#include "engine/short_names.h"
#include "model/system_rules.h"
#include "framework/fw_string.h"
#include "framework/fw_system.h"
#include "res/resource.h"

namespace {

const GateTexts kGateTexts = {IDS_RECORD_BUSY, IDS_INTERRUPTED_UNKNOWN, IDS_INTERRUPTED_COPY,
                              IDS_INTERRUPTED_RESTORE, IDS_RESTORE_DUE};

// The record of one destination, held against every other operation on it (in this or
// another session) from the first read to the last write. The hold is a file of its own,
// opened unshared and removed when closed (also when the process is killed): the record
// itself must stay free to be replaced whole.
class RecordFile {
public:
    // `hold`: false only to read, which needs no hold. `waitMs`: how long another's hold
    // is waited for.
    RecordFile(const std::string& destDir, const std::string& stateName, bool hold = true,
               DWORD waitMs = 0)
        : path(StateFilePath(destDir.c_str(), stateName.c_str(), IsLeadByteAcp)) {
        if (path.empty() || !hold) return;
        // One left by a power cut is taken over, whatever attributes someone gave it.
        const std::string lockPath = path + ".lock";
        for (DWORD waited = 0;; waited += 200) {
            ::SetFileAttributesA(lockPath.c_str(), FILE_ATTRIBUTE_HIDDEN);
            lock = ::CreateFileA(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                                 nullptr);
            // Held by another: unshared. Any other failure (a read-only folder) holds
            // nothing, and the record cannot be written there either.
            held = lock == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
            if (!held || waited >= waitMs) break;
            ::Sleep(200);
        }
    }
    ~RecordFile() {
        if (lock != INVALID_HANDLE_VALUE) ::CloseHandle(lock);
    }
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool Usable() const { return !path.empty(); }
    bool Held() const { return held; }
    bool Exists() const { return found != ReadResult::Absent; }

    Record Read() {
        if (path.empty() || held) return Record();
        std::string text, newText;
        found = ReadSmallFileA(path.c_str(), text);
        // On FAT a crash in the middle of a replace can leave the new file alone.
        if (found == ReadResult::Absent) {
            const ReadResult foundNew = ReadSmallFileA(NewPath().c_str(), newText);
            found = foundNew;
            return RecordFound(ReadResult::Absent, text, foundNew, newText);
        }
        return RecordFound(found, text, ReadResult::Absent, newText);
    }

    // False when the record could not be put on the disk as it now stands.
    bool Write(const Record& record) {
        if (path.empty() || held || lock == INVALID_HANDLE_VALUE) return false;
        // A new file left alone would be read as the record: it goes first.
        if (Empty(record))
            return (RemoveFileA(NewPath().c_str()) && RemoveFileA(path.c_str())) ||
                   ReplaceFileWholeA(path.c_str(), "\r\n");
        return ReplaceFileWholeA(path.c_str(), FormatRecord(record));
    }

private:
    std::string NewPath() const { return path + ".new"; }

    std::string path;
    HANDLE lock = INVALID_HANDLE_VALUE;
    bool held = false;
    ReadResult found = ReadResult::Absent;
};

void AddLines(std::vector<ReportLine>& report, unsigned textId,
              const std::vector<std::string>& paths) {
    for (const std::string& path : paths) report.push_back({textId, path});
}

// What the request left out before any file moved, one line each.
std::vector<ReportLine> LeftOut(const FileRequest& request, const std::string& destDir,
                                bool copying) {
    std::vector<ReportLine> causes;
    if (request.relativeDest) causes.push_back({IDS_RELATIVE_DEST, destDir});
    AddLines(causes, IDS_NAME_CLASH, request.leftOut);
    AddLines(causes, IDS_STATE_NAME, request.reserved);
    AddLines(causes, IDS_BAD_NAME, request.badName);
    AddLines(causes, IDS_RELATIVE_PATH, request.relative);
    AddLines(causes, IDS_OWN_FOLDER, request.ownFolder);
    AddLines(causes, IDS_PATH_TOO_LONG, request.tooLong);
    AddLines(causes, IDS_JOINED_TOO_LONG, request.joinedTooLong);
    AddLines(causes, IDS_SYSTEM_VIEW, request.unreachable);
    // A Restore misses the copy in the destination, not the file the list names.
    AddLines(causes, copying ? IDS_NOT_FOUND : IDS_COPY_NOT_FOUND, request.missing);
    AddLines(causes, IDS_COPY_OF_OTHER, request.otherCopy);
    AddLines(causes, IDS_COPY_CHANGED, request.changedCopy);
    AddLines(causes, IDS_NOT_COPIED_UNSEEN, request.wouldAsk);
    AddLines(causes, IDS_OWED_NOT_COPIED, request.owedFile);
    AddLines(causes, IDS_SAVED_AFTER_RESTORE, request.savedLate);
    return causes;
}

// A 32-bit VellumBox on 64-bit Windows is shown SysWOW64 where everyone else sees
// System32: each file there is reached through Sysnative, or left out. Returns the request
// as the shell must be given it; `request` keeps the user's own paths.
FileRequest PastRedirection(FileRequest& request, bool copying) {
    // The system's own Windows folder: on a terminal server GetWindowsDirectory gives the
    // user's private one.
    char windir[MAX_PATH];
    const UINT n = UnderWow64() ? ::GetSystemWindowsDirectoryA(windir, MAX_PATH) : 0;
    if (n == 0 || n >= MAX_PATH) return request;
    const std::string system(windir, n);
    const DWORD alias = ::GetFileAttributesA((system + "\\Sysnative").c_str());
    const bool hasSysnative = alias != INVALID_FILE_ATTRIBUTES && (alias & FILE_ATTRIBUTE_DIRECTORY);
    FileRequest shell = request;
    std::vector<CopyPair> kept, given;
    for (size_t k = 0; k < request.pairs.size(); ++k) {
        CopyPair pair = request.pairs[k];
        std::string& own = copying ? pair.source : pair.target;
        std::string reached;
        switch (ReachPastRedirection(own, system, hasSysnative, reached)) {
        case SystemReach::Unreachable:
            request.unreachable.push_back(own);
            continue;
        case SystemReach::Through:
            kept.push_back(pair);
            own = reached;
            break;
        case SystemReach::Same:
            kept.push_back(pair);
            break;
        }
        given.push_back(pair);
    }
    request.pairs.swap(kept);
    RebuildLists(request, copying);
    shell.pairs.swap(given);
    RebuildLists(shell, copying);
    return shell;
}

// How long a step of the cycle waits for another's hold (an update's lasts a moment) before
// it gives up; at the session end it waits inside the shutdown block.
constexpr DWORD kUpdateWaitMs = 10000;

// Reads, changes and writes back the record of one destination, holding it meanwhile.
template <class Change>
void UpdateRecord(const std::string& destDir, const std::string& stateName, Change change,
                  DWORD waitMs = kUpdateWaitMs) {
    RecordFile file(destDir, stateName, true, waitMs);
    if (!file.Usable() || file.Held()) return;
    Record record = file.Read();
    if (record.unreadable) return;  // never replaced by what little we know
    const std::string before = FormatRecord(record);
    change(record);
    if (FormatRecord(record) != before) file.Write(record);
}
}  // namespace

namespace {
// When the log-on session began (0 where the system cannot tell). secur32 has it since XP;
// it is loaded from the system folder only, and only here.
LONGLONG LogonStart(LUID id) {
    char path[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + sizeof "\\secur32.dll" > MAX_PATH) return 0;
    lstrcpynA(path + n, "\\secur32.dll", MAX_PATH - n);
    HMODULE secur32 = ::LoadLibraryA(path);
    if (!secur32) return 0;
    using GetDataFn = NTSTATUS(NTAPI*)(PLUID, PSECURITY_LOGON_SESSION_DATA*);
    using FreeFn = NTSTATUS(NTAPI*)(PVOID);
    auto getData = reinterpret_cast<GetDataFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(secur32, "LsaGetLogonSessionData")));
    auto freeData = reinterpret_cast<FreeFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(secur32, "LsaFreeReturnBuffer")));
    LONGLONG start = 0;
    PSECURITY_LOGON_SESSION_DATA data = nullptr;
    if (getData && freeData && getData(&id, &data) == 0 && data) {
        if (data->Size >= offsetof(SECURITY_LOGON_SESSION_DATA, LogonTime) + sizeof data->LogonTime)
            start = data->LogonTime.QuadPart;
        freeData(data);
    }
    ::FreeLibrary(secur32);
    return start;
}

std::string Hex(unsigned long long n, int digits) {
    std::string s(static_cast<size_t>(digits), '0');
    for (int k = digits; k-- > 0; n >>= 4) s[static_cast<size_t>(k)] = "0123456789abcdef"[n & 15];
    return s;
}

// How the file system that holds `path` keeps times, by its name.
TimeKeeping TimeKeepingAtA(const char* path) {
    char root[MAX_PATH], name[MAX_PATH];
    if (!::GetVolumePathNameA(path, root, MAX_PATH) ||
        !::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH))
        return TimeKeeping::Exact;
    return TimeKeepingOf(name);
}
}  // namespace

std::string CurrentLogon() {
    // Session ids are reused at once (the console's is always the same); a log-on session's
    // id only after a restart, so the time it began tells log-ons of different boots apart.
    static std::string key;
    if (!key.empty()) return key;
    HANDLE token = nullptr;
    TOKEN_STATISTICS stats = {};
    DWORD size = 0;
    bool ok = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) != FALSE;
    if (ok) {
        ok = ::GetTokenInformation(token, TokenStatistics, &stats, sizeof stats, &size) != FALSE;
        ::CloseHandle(token);
    }
    if (!ok) return "unknown";  // not kept: the next call tries again
    const LUID id = stats.AuthenticationId;
    key = Hex(static_cast<unsigned long>(id.HighPart), 8) + Hex(id.LowPart, 8);
    const LONGLONG start = LogonStart(id);
    if (start > 0) key += "-" + Hex(static_cast<unsigned long long>(start), 16);
    return key;
}

void ShutDownLast() { ::SetProcessShutdownParameters(kLastShutdownLevel, 0); }

bool StationVisible() {
    USEROBJECTFLAGS flags = {};
    HWINSTA station = ::GetProcessWindowStation();
    if (!station || !::GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, nullptr))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

OperationResult RunOperation(const OperationSpec& spec) {
    OperationResult result;
    if (!spec.table) return result;
    const bool copying = spec.op == Op::Copy;
    // Without a folder the sources or targets would be relative to the working directory:
    // nothing is done, and a ticked file means it failed.
    if (spec.destDir.empty()) {
        for (int k = 0; k < kMaxFiles; ++k) {
            const FileEntry& e = spec.table->entries[k];
            result.failed = result.failed || (e.path[0] && (copying ? e.copy : e.restore) == 1);
        }
        return result;
    }
    const char* dest = spec.destDir.c_str();
    const RequestOptions options{FileExistsA, SameFileNameA, SameFolderA, spec.stateName.c_str(),
                                 {OtherFileNameA, OpensAnotherNameA}};
    FileRequest request =
        copying ? BuildCopyRequest(*spec.table, dest, spec.overwrite, IsLeadByteAcp, options)
                : BuildRestoreRequest(*spec.table, dest, spec.overwrite, IsLeadByteAcp, options);
    if (request.relativeDest) {
        result.causes = LeftOut(request, spec.destDir, copying);
        result.failed = true;
        return result;
    }
    // With Over Write on nothing asks, but the shell's windows must stay away all the same.
    if (copying && spec.unseen) LeaveOutQuestions(request, spec.overwrite == 1 ? nullptr : FileExistsA);

    // A Copy makes its folder first: the record, and its hold, live there.
    if (copying && request.count > 0) MakeFolderPathA(request.to.c_str());
    RecordFile file(spec.destDir, spec.stateName);
    Record record = file.Read();
    // One folder, one file system: a copy that showed local time shows it for the folder
    // (a copy of a file already in 2-second steps shows nothing of its own).
    TimeKeeping destKeeping = TimeKeepingAtA(dest);
    for (const CopyEntry& c : record.copies)
        if (c.localTime) destKeeping = TimeKeeping::LocalTime;
    std::vector<std::string> retaken;  // changed copies the user chose to restore
    if (!copying) {
        FileRequest all = request;
        FilterRestore(request, record, StampOfA, destKeeping, false, SameFileNameA, IsLeadByteAcp);
        // A button names the copies changed since they were made and asks (No is the
        // default); an automatic run leaves them out and reports them.
        if (!spec.automatic && !request.changedCopy.empty() && !file.Held() && !record.unreadable &&
            spec.askFiles) {
            if (spec.askFiles(spec.host, IDS_ASK_RESTORE_EDITED, request.changedCopy)) {
                retaken = request.changedCopy;
                FilterRestore(all, record, StampOfA, destKeeping, true, SameFileNameA,
                              IsLeadByteAcp);
                request = std::move(all);
            }
            request.changedCopy.clear();  // answered: nothing more to tell
        }
    }
    // The gate sees every file the run would take: a cut Restore stops an automatic Copy
    // whole, also when the files it names are owed and left out below.
    std::vector<std::string> considered;
    for (const CopyPair& pair : request.pairs) considered.push_back(copying ? pair.source : pair.target);
    if (copying && spec.automatic) FilterCopy(request, record, StampOfA, TimeKeepingAtA, SameFileNameA);
    const FileRequest shellRequest = PastRedirection(request, copying);
    std::vector<std::string> taken;
    for (const CopyPair& pair : request.pairs) taken.push_back(copying ? pair.source : pair.target);

    const Gate gate = DecideGate(record, file.Held(), spec.op, spec.automatic, considered,
                                 kGateTexts, SameFileNameA);
    const ReportLine why = {gate.reason, spec.destDir};
    switch (gate.verdict) {
    case Verdict::Busy:
        result.blocked = true;
        result.causes.push_back(why);
        return result;
    case Verdict::Refuse:
        result.blocked = true;
        result.causes.push_back(why);
        for (const ReportLine& line : spec.alsoReport) result.causes.push_back(line);
        if (!record.unreadable) {
            AddReport(record.report, spec.heading, result.causes);
            file.Write(record);
        }
        return result;
    case Verdict::Ask:
        if (!spec.ask || !spec.ask(spec.host, spec.op, gate.reason)) return result;
        record.unreadable = false;  // the user goes on: the record is replaced
        break;
    case Verdict::Run:
        break;
    }

    const Record before = record;
    bool recorded = false;
    if (request.count > 0) {
        if (spec.beforeShell) spec.beforeShell(spec.host);
        // Said before the first byte moves. A record there that cannot be replaced would
        // keep saying something untrue afterwards: that is an unreadable record.
        BeginOperation(record, spec.op, taken, SameFileNameA);
        recorded = file.Write(record);
        if (!recorded && file.Exists() && !record.unreadable) {
            if (spec.automatic) {
                result.blocked = true;
                result.causes.push_back({IDS_INTERRUPTED_UNKNOWN, spec.destDir});
                return result;
            }
            if (!spec.ask || !spec.ask(spec.host, spec.op, IDS_INTERRUPTED_UNKNOWN)) return result;
        }
    }
    const CopyOutcome outcome =
        IssueShellCopy(spec.owner, shellRequest, spec.progressTitle.c_str(), copying);
    result.ran = request.count > 0;

    result.causes = LeftOut(request, spec.destDir, copying);
    std::vector<FileOutcome> outcomes;
    for (size_t i = 0; i < outcome.checks.size(); ++i) {
        static const FileResult kResult[] = {FileResult::NotDone, FileResult::Done, FileResult::Cut,
                                             FileResult::Changed};
        static const unsigned kCause[2][4] = {{IDS_NOT_RESTORED, 0, IDS_RESTORE_INCOMPLETE,
                                               IDS_CHANGED_WHILE_COPIED},
                                              {IDS_NOT_COPIED, 0, IDS_COPY_INCOMPLETE,
                                               IDS_CHANGED_WHILE_COPIED}};
        const int check = static_cast<int>(outcome.checks[i]);
        FileResult fileResult = kResult[check];
        unsigned cause = kCause[copying][check];
        if (outcome.unsettled[i]) {
            fileResult = FileResult::Unsettled;
            cause = outcome.checks[i] == CopyCheck::Cut ? IDS_CUT_COPY_KEPT : IDS_NOT_SETTLED;
        }
        outcomes.push_back({taken[i], fileResult, outcome.targets[i]});
        // A copy kept in local time is known by its file system's name, or by its time cut
        // to FAT's steps (a share names its server's file system, whatever it is).
        if (copying)
            outcomes.back().localTime =
                destKeeping == TimeKeeping::LocalTime ||
                CutToFatSteps(StampOfA(shellRequest.pairs[i].source.c_str()), outcome.targets[i]);
        if (cause != 0) result.causes.push_back({cause, taken[i]});
    }
    const bool shellFailed = outcome.shellResult != 0 || outcome.aborted;
    result.completed = Completed(outcomes, shellFailed);
    bool anyDone = false;
    for (const FileOutcome& o : outcomes) {
        anyDone = anyDone || o.result == FileResult::Done || o.result == FileResult::Changed;
        result.failed = result.failed || o.result == FileResult::Cut || o.result == FileResult::Unsettled;
    }
    result.failed = result.failed || (result.ran && (shellFailed || !anyDone));
    result.leftOut = !result.causes.empty();
    for (const ReportLine& line : spec.alsoReport) result.causes.push_back(line);

    // From the record as it was: what this operation redid is no longer cut.
    record = before;
    if (result.ran) EndOperation(record, spec.op, outcomes, SameFileNameA, IsLeadByteAcp);
    for (size_t i = 0; i < outcomes.size(); ++i)
        for (const std::string& path : retaken)
            if (outcomes[i].result == FileResult::Done && SameFileNameA(path.c_str(), taken[i].c_str()))
                TakeCopyStamp(record, path, StampOfA(shellRequest.pairs[i].source.c_str()), SameFileNameA);
    // Files put back are owed no more; an earlier version's "every file" only when all were.
    if (spec.sessionEnd)
        SettleSessionRestore(record, outcomes, result.completed && !result.leftOut, SameFileNameA);
    // A quiet run ends at once and a session end ends the process: their reports wait in
    // the record for the next showing of the window.
    if (spec.automatic) AddReport(record.report, spec.heading, result.causes);
    // An automatic run also keeps its report, and a session end what it cleared. A record
    // left saying that the files are cut is said (the report itself waits in memory).
    if (!record.unreadable && (result.ran || spec.automatic) && !file.Write(record) &&
        result.ran && (recorded || file.Exists())) {
        result.failed = true;
        result.causes.push_back({IDS_RECORD_NOT_UPDATED, spec.destDir});
    }
    return result;
}

void MarkRestoreDue(const std::string& destDir, const std::string& stateName,
                    const FileTable& table) {
    const RequestOptions options{FileExistsA, SameFileNameA, SameFolderA, stateName.c_str(),
                                 {OtherFileNameA, OpensAnotherNameA}};
    FileRequest owing = BuildRestoreRequest(table, destDir.c_str(), 0, IsLeadByteAcp, options);
    const std::string logon = CurrentLogon();
    UpdateRecord(destDir, stateName, [&](Record& r) {
        // A copy made from another file is never restored, so nothing is owed for it.
        FilterRestore(owing, r, nullptr, TimeKeeping::Exact, true, SameFileNameA, IsLeadByteAcp);
        std::vector<std::string> paths;
        for (const CopyPair& pair : owing.pairs) paths.push_back(pair.target);
        MarkOwed(r, logon, paths, SameFileNameA);
    });
}

void EndCycle(const std::string& destDir, const std::string& stateName) {
    const std::string logon = CurrentLogon();
    UpdateRecord(destDir, stateName, [&logon](Record& r) { EndOwnCycle(r, logon); });
}

void KeepReport(const std::string& destDir, const std::string& stateName,
                const std::vector<ReportLine>& lines) {
    UpdateRecord(destDir, stateName, [&lines](Record& r) { MergeReport(r.report, lines); });
}

std::vector<ReportLine> ReadReport(const std::string& destDir, const std::string& stateName,
                                   const GateTexts& texts, unsigned& notice) {
    RecordFile file(destDir, stateName, false);
    Record record = file.Read();
    notice = Notice(record, texts);
    return std::move(record.report);
}

void DropShownReport(const std::string& destDir, const std::string& stateName,
                     const std::vector<ReportLine>& shown) {
    // Not waited for while the user looks on: what stays is only shown again.
    UpdateRecord(destDir, stateName, [&shown](Record& r) { SubtractReport(r.report, shown); }, 0);
}
