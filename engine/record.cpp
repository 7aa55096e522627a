#include "engine/record.h"

#include <algorithm>
#include <cstring>

namespace {

bool Same(SameNameFn sameName, const std::string& a, const std::string& b) {
    if (sameName) return sameName(a.c_str(), b.c_str());
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        char x = a[k], y = b[k];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool Contains(const std::vector<std::string>& list, const std::string& path, SameNameFn sameName) {
    for (const std::string& p : list)
        if (Same(sameName, p, path)) return true;
    return false;
}

void AddPath(std::vector<std::string>& list, const std::string& path, SameNameFn sameName) {
    if (!Contains(list, path, sameName)) list.push_back(path);
}

void RemovePath(std::vector<std::string>& list, const std::string& path, SameNameFn sameName) {
    for (size_t k = list.size(); k-- > 0;)
        if (Same(sameName, list[k], path)) list.erase(list.begin() + k);
}

std::string Number(unsigned long long n) {
    char digits[24];
    int k = 0;
    do digits[k++] = static_cast<char>('0' + n % 10);
    while ((n /= 10) != 0);
    std::string s;
    while (k > 0) s += digits[--k];
    return s;
}

// Digits only, nothing else, and no more than fit.
bool ParseNumber(const std::string& s, unsigned long long& out) {
    if (s.empty() || s.size() > 19) return false;
    out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// Splits a line at its tabs into at most `most` fields; false when it has more.
bool Fields(const std::string& line, std::string* fields, size_t most, size_t& count) {
    count = 0;
    size_t start = 0;
    for (;;) {
        if (count == most) return false;
        size_t tab = line.find('\t', start);
        fields[count++] = line.substr(start, tab == std::string::npos ? tab : tab - start);
        if (tab == std::string::npos) return true;
        start = tab + 1;
    }
}

std::string NameOf(const std::string& path, LeadByteFn isLeadByte) {
    char name[kPathSize];
    FileNameOf(path.c_str(), isLeadByte, name, kPathSize);
    return name;
}

const CopyEntry* CopyNamed(const Record& record, const std::string& name, SameNameFn sameName,
                           LeadByteFn isLeadByte) {
    for (const CopyEntry& entry : record.copies)
        if (Same(sameName, NameOf(entry.path, isLeadByte), name)) return &entry;
    return nullptr;
}

const CopyEntry* EntryOf(const std::vector<CopyEntry>& list, const std::string& path,
                         SameNameFn sameName) {
    for (const CopyEntry& entry : list)
        if (Same(sameName, entry.path, path)) return &entry;
    return nullptr;
}

void RemoveEntry(std::vector<CopyEntry>& list, const std::string& path, SameNameFn sameName) {
    for (size_t k = list.size(); k-- > 0;)
        if (Same(sameName, list[k].path, path)) list.erase(list.begin() + k);
}

constexpr long long kSecond = 10000000;  // in the 100-ns units of a file time
constexpr long long kFatStep = 2 * kSecond;
constexpr long long kHour = 3600 * kSecond;
constexpr long long kWidestZoneGap = 26;  // hours: UTC-12 to UTC+14

}  // namespace

TimeKeeping TimeKeepingOf(const char* name) {
    std::string upper = name ? name : "";
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    // FAT, FAT12, FAT16, FAT32 as Windows names them; exFAT; vfat and msdos as a Unix
    // server may.
    const bool local = upper.compare(0, 3, "FAT") == 0 || upper == "EXFAT" || upper == "VFAT" ||
                       upper == "MSDOS";
    return local ? TimeKeeping::LocalTime : TimeKeeping::Exact;
}

bool CutToFatSteps(const FileStamp& source, const FileStamp& copy) {
    return source.exists && copy.exists && source.written % kFatStep != 0 &&
           copy.written % kFatStep == 0 && copy.written != source.written;
}

bool SameAsLeft(const FileStamp& now, const FileStamp& left, TimeKeeping keeping) {
    if (now.exists != left.exists || now.size != left.size) return false;
    if (now.written == left.written) return true;
    if (keeping != TimeKeeping::LocalTime) return false;
    const long long apart = static_cast<long long>(now.written - left.written);
    const long long hours = (apart + (apart < 0 ? -kHour / 2 : kHour / 2)) / kHour;
    const long long rest = apart - hours * kHour;
    return hours >= -kWidestZoneGap && hours <= kWidestZoneGap && rest >= -kFatStep &&
           rest <= kFatStep;
}

namespace {
void AddLine(std::string& text, const char* tag, const std::string& a, const std::string* b = nullptr,
             const std::string* c = nullptr) {
    text += tag;
    text += '\t';
    text += a;
    for (const std::string* more : {b, c}) {
        if (!more) continue;
        text += '\t';
        text += *more;
    }
    text += "\r\n";
}
}  // namespace

std::string FormatRecord(const Record& record) {
    const bool copyCut = record.anyCopyCut || !record.cutCopies.empty();
    const bool restoreCut = record.anyRestoreCut || !record.cutOriginals.empty();
    std::string text = copyCut && restoreCut ? "Both" : copyCut ? "Copy" : restoreCut ? "Restore" : "";
    text += "\r\n";
    for (const std::string& path : record.cutCopies) AddLine(text, "cut-copy", path);
    for (const std::string& path : record.cutOriginals) AddLine(text, "cut-restore", path);
    for (unsigned long session : record.due) AddLine(text, "due", Number(session));
    for (const OwedEntry& o : record.owed) AddLine(text, "owed", o.logon, &o.path);
    // An earlier version ignores the copies of a local-time file system, and restores them
    // as copies it does not list.
    for (const CopyEntry& c : record.copies) {
        const std::string written = Number(c.stamp.written);
        AddLine(text, c.localTime ? "copy-local" : "copy", Number(c.stamp.size), &written, &c.path);
    }
    for (const CopyEntry& c : record.restored) {
        const std::string written = Number(c.stamp.written);
        AddLine(text, "restored", Number(c.stamp.size), &written, &c.path);
    }
    unsigned heading = 0;
    for (const ReportLine& line : record.report) {
        if (line.heading != heading) {
            heading = line.heading;
            AddLine(text, Number(heading).c_str(), std::string());
        }
        AddLine(text, Number(line.textId).c_str(), line.text);
    }
    return text;
}

Record ParseRecord(const std::string& text) {
    Record record;
    size_t end = text.find('\n');
    std::string first = text.substr(0, end);
    if (!first.empty() && first.back() == '\r') first.pop_back();
    // A file cut before its first line ended, or another first line, is not ours to trust.
    if (end == std::string::npos ||
        (first != "" && first != "Copy" && first != "Restore" && first != "Both")) {
        record.unreadable = true;
        return record;
    }
    unsigned heading = 0;
    while (end != std::string::npos) {
        size_t start = end + 1;
        end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string f[4];
        size_t count = 0;
        if (!Fields(line, f, 4, count)) continue;
        unsigned long long n = 0, m = 0;
        if (count == 2 && f[0] == "cut-copy" && !f[1].empty()) {
            record.cutCopies.push_back(f[1]);
        } else if (count == 2 && f[0] == "cut-restore" && !f[1].empty()) {
            record.cutOriginals.push_back(f[1]);
        } else if (count == 2 && f[0] == "due" && ParseNumber(f[1], n) && n <= 0xFFFFFFFFull) {
            record.due.push_back(static_cast<unsigned long>(n));
        } else if (count == 3 && f[0] == "owed" && !f[1].empty() && !f[2].empty()) {
            record.owed.push_back({f[1], f[2]});
        } else if (count == 4 && (f[0] == "copy" || f[0] == "copy-local" || f[0] == "restored") &&
                   ParseNumber(f[1], n) && ParseNumber(f[2], m) && !f[3].empty()) {
            const CopyEntry entry = {f[3], {true, n, m}, f[0] == "copy-local"};
            (f[0] == "restored" ? record.restored : record.copies).push_back(entry);
        } else if (count == 2 && f[0].size() <= 5 && ParseNumber(f[0], n) &&
                   (n != 0 || f[1].empty())) {
            if (f[1].empty())
                heading = static_cast<unsigned>(n);
            else
                record.report.push_back({static_cast<unsigned>(n), f[1], heading});
        }
    }
    // An earlier version named the cut operation only: any file may be concerned.
    if (record.cutCopies.empty() && record.cutOriginals.empty()) {
        record.anyCopyCut = first == "Copy" || first == "Both";
        record.anyRestoreCut = first == "Restore" || first == "Both";
    }
    return record;
}

Record RecordFound(ReadResult found, const std::string& text, ReadResult foundNew,
                   const std::string& newText) {
    if (found == ReadResult::Absent) {
        found = foundNew;
        if (found == ReadResult::Read) return ParseRecord(newText);
    }
    Record record;
    if (found == ReadResult::Read) record = ParseRecord(text);
    record.unreadable = record.unreadable || found == ReadResult::Unreadable;
    return record;
}

Gate DecideGate(const Record& record, bool held, Op op, bool automatic,
                const std::vector<std::string>& taken, const GateTexts& texts,
                SameNameFn sameName) {
    if (held) return {Verdict::Busy, texts.busy};
    const Verdict wait = automatic ? Verdict::Refuse : Verdict::Ask;
    if (record.unreadable) return {wait, texts.unreadable};
    if (taken.empty()) return {Verdict::Run, 0};
    // A Restore would put suspect copies over the originals; a Copy suspect originals
    // over the good copies.
    const bool restoring = op == Op::Restore;
    const std::vector<std::string>& suspect = restoring ? record.cutCopies : record.cutOriginals;
    bool touchesSuspect = restoring ? record.anyCopyCut : record.anyRestoreCut;
    for (const std::string& path : taken) touchesSuspect = touchesSuspect || Contains(suspect, path, sameName);
    if (touchesSuspect) return {wait, restoring ? texts.copyCut : texts.restoreCut};
    // Copying now would make the files as they are the state that comes back. An automatic
    // Copy leaves those files out instead (FilterCopy) and copies the others.
    bool owed = false;
    for (const std::string& path : taken) owed = owed || Owed(record, path, sameName);
    if (!restoring && !automatic && owed) return {Verdict::Ask, texts.restoreDue};
    return {Verdict::Run, 0};
}

void BeginOperation(Record& record, Op op, const std::vector<std::string>& taken,
                    SameNameFn sameName) {
    std::vector<std::string>& cut = op == Op::Copy ? record.cutCopies : record.cutOriginals;
    for (const std::string& path : taken) AddPath(cut, path, sameName);
}

void EndOperation(Record& record, Op op, const std::vector<FileOutcome>& outcomes,
                  SameNameFn sameName, LeadByteFn isLeadByte) {
    bool allRedone = true;
    std::vector<std::string>& cut = op == Op::Copy ? record.cutCopies : record.cutOriginals;
    for (const FileOutcome& o : outcomes) {
        switch (o.result) {
        case FileResult::Done:
        case FileResult::Changed:
            RemovePath(cut, o.path, sameName);
            break;
        case FileResult::Cut:
            allRedone = false;
            // A cut copy is removed, so nothing suspect is left of it; a cut original is.
            if (op == Op::Copy)
                RemovePath(cut, o.path, sameName);
            else
                AddPath(cut, o.path, sameName);
            break;
        case FileResult::NotDone:
            // Untouched: what was there before is what is there now.
            allRedone = false;
            break;
        case FileResult::Unsettled:
            allRedone = false;
            AddPath(cut, o.path, sameName);
            break;
        }
        if (op != Op::Copy || o.result == FileResult::NotDone) continue;
        // Copied: the file as it is now is the state that comes back.
        RemoveEntry(record.restored, o.path, sameName);
        // The copy's name in the folder now belongs to this file, or to none.
        const std::string name = NameOf(o.path, isLeadByte);
        size_t k = 0;
        while (k < record.copies.size() &&
               !Same(sameName, NameOf(record.copies[k].path, isLeadByte), name))
            ++k;
        if (o.result == FileResult::Cut) {
            if (k < record.copies.size()) record.copies.erase(record.copies.begin() + k);
        } else if (k < record.copies.size()) {
            record.copies[k] = {o.path, o.copy, o.localTime};
        } else {
            record.copies.push_back({o.path, o.copy, o.localTime});
        }
    }
    if (allRedone && !outcomes.empty()) {
        if (op == Op::Copy)
            record.anyCopyCut = false;
        else
            record.anyRestoreCut = false;
    }
}

bool Completed(const std::vector<FileOutcome>& outcomes, bool shellFailed) {
    if (shellFailed) return false;
    for (const FileOutcome& o : outcomes)
        if (o.result != FileResult::Done && o.result != FileResult::Changed) return false;
    return true;
}

unsigned Notice(const Record& record, const GateTexts& texts) {
    if (record.unreadable) return texts.unreadable;
    if (record.anyRestoreCut || !record.cutOriginals.empty()) return texts.restoreCut;
    if (record.anyCopyCut || !record.cutCopies.empty()) return texts.copyCut;
    return 0;
}

bool Owed(const Record& record, const std::string& path, SameNameFn sameName) {
    if (!record.due.empty()) return true;  // an earlier version's: every file
    for (const OwedEntry& o : record.owed)
        if (Same(sameName, o.path, path)) return true;
    return false;
}

void MarkOwed(Record& record, const std::string& logon, const std::vector<std::string>& paths,
              SameNameFn sameName) {
    for (const std::string& path : paths) {
        bool there = false;
        for (const OwedEntry& o : record.owed)
            there = there || (o.logon == logon && Same(sameName, o.path, path));
        if (!there) record.owed.push_back({logon, path});
    }
}

void EndOwnCycle(Record& record, const std::string& logon) {
    for (size_t k = record.owed.size(); k-- > 0;)
        if (record.owed[k].logon == logon) record.owed.erase(record.owed.begin() + k);
    record.restored.clear();
}

void SettleSessionRestore(Record& record, const std::vector<FileOutcome>& outcomes,
                          bool completed, SameNameFn sameName) {
    for (const FileOutcome& o : outcomes) {
        if (o.result != FileResult::Done) continue;
        for (size_t k = record.owed.size(); k-- > 0;)
            if (Same(sameName, record.owed[k].path, o.path))
                record.owed.erase(record.owed.begin() + k);
        RemoveEntry(record.restored, o.path, sameName);
        record.restored.push_back({o.path, o.copy});
    }
    if (completed) record.due.clear();
}

void TakeCopyStamp(Record& record, const std::string& path, const FileStamp& stamp,
                   SameNameFn sameName) {
    for (CopyEntry& entry : record.copies)
        if (Same(sameName, entry.path, path)) entry.stamp = stamp;
}

bool Empty(const Record& record) {
    return !record.unreadable && !record.anyCopyCut && !record.anyRestoreCut &&
           record.cutCopies.empty() && record.cutOriginals.empty() && record.due.empty() &&
           record.owed.empty() && record.copies.empty() && record.restored.empty() &&
           record.report.empty();
}

namespace {
// The request with only `kept` of its pairs.
void Keep(FileRequest& request, std::vector<CopyPair>& kept, bool copying) {
    const bool removed = kept.size() != request.pairs.size();
    request.pairs.swap(kept);
    if (removed) RebuildLists(request, copying);
}
}  // namespace

void RebuildLists(FileRequest& request, bool copying) {
    request.from.clear();
    if (!copying) request.to.clear();
    for (const CopyPair& pair : request.pairs) {
        request.from.append(pair.source).push_back('\0');
        if (!copying) request.to.append(pair.target).push_back('\0');
    }
    request.from.push_back('\0');
    if (!copying) request.to.push_back('\0');
    request.count = static_cast<int>(request.pairs.size());
}

void FilterRestore(FileRequest& request, const Record& record, StampFn stampOf,
                   TimeKeeping keeping, bool takeChanged, SameNameFn sameName,
                   LeadByteFn isLeadByte) {
    std::vector<CopyPair> kept;
    for (CopyPair& pair : request.pairs) {
        const CopyEntry* entry = CopyNamed(record, NameOf(pair.target, isLeadByte), sameName,
                                           isLeadByte);
        const TimeKeeping rule = entry && entry->localTime ? TimeKeeping::LocalTime : keeping;
        if (entry && !Same(sameName, entry->path, pair.target))
            request.otherCopy.push_back(pair.target);
        else if (!takeChanged && entry && stampOf &&
                 !SameAsLeft(stampOf(pair.source.c_str()), entry->stamp, rule))
            request.changedCopy.push_back(pair.target);
        else
            kept.push_back(std::move(pair));
    }
    Keep(request, kept, false);
}

void FilterCopy(FileRequest& request, const Record& record, StampFn stampOf,
                KeepingFn keepingOf, SameNameFn sameName) {
    std::vector<CopyPair> kept;
    for (CopyPair& pair : request.pairs) {
        const CopyEntry* left = EntryOf(record.restored, pair.source, sameName);
        if (Owed(record, pair.source, sameName))
            request.owedFile.push_back(pair.source);
        else if (left && stampOf &&
                 !SameAsLeft(stampOf(pair.source.c_str()), left->stamp,
                             keepingOf ? keepingOf(pair.source.c_str()) : TimeKeeping::Exact))
            request.savedLate.push_back(pair.source);
        else
            kept.push_back(std::move(pair));
    }
    Keep(request, kept, true);
}

void LeaveOutQuestions(FileRequest& request, ExistsFn exists) {
    request.flags |= kFofSilent | kFofNoErrorUi | kFofNoConfirmation;
    std::vector<CopyPair> kept;
    for (CopyPair& pair : request.pairs) {
        if (exists && exists(pair.target.c_str()))
            request.wouldAsk.push_back(pair.source);
        else
            kept.push_back(std::move(pair));
    }
    Keep(request, kept, true);
}

void MergeReport(std::vector<ReportLine>& into, const std::vector<ReportLine>& from) {
    for (const ReportLine& line : from) {
        bool seen = false;
        for (const ReportLine& kept : into)
            seen = seen || (kept.heading == line.heading && kept.textId == line.textId &&
                            kept.text == line.text);
        if (!seen) into.push_back(line);
    }
}

void AddReport(std::vector<ReportLine>& into, unsigned heading, std::vector<ReportLine> causes) {
    for (ReportLine& line : causes) line.heading = heading;
    MergeReport(into, causes);
}

void SubtractReport(std::vector<ReportLine>& report, const std::vector<ReportLine>& shown) {
    for (size_t k = report.size(); k-- > 0;)
        for (const ReportLine& s : shown)
            if (s.textId == report[k].textId && s.text == report[k].text) {
                report.erase(report.begin() + k);
                break;
            }
}

std::vector<ReportMessage> GroupReport(const std::vector<ReportLine>& report,
                                       unsigned severalRuns) {
    std::vector<ReportMessage> messages;
    for (const ReportLine& line : report) {
        ReportMessage* m = nullptr;
        for (ReportMessage& each : messages)
            if (each.cause == line.textId) m = &each;
        if (!m) {
            messages.push_back({line.heading, line.textId, {}});
            m = &messages.back();
        } else if (m->heading != line.heading) {
            m->heading = severalRuns;
        }
        if (std::find(m->texts.begin(), m->texts.end(), line.text) == m->texts.end())
            m->texts.push_back(line.text);
    }
    return messages;
}
