#include "engine/record.h"

#include <gtest/gtest.h>

#include "tests/unit/table_builder.h"

namespace {

const GateTexts kTexts = {1, 2, 3, 4, 5};
enum : unsigned { kBusy = 1, kUnreadable = 2, kCopyCut = 3, kRestoreCut = 4, kDue = 5 };

Record With(std::vector<std::string> cutCopies, std::vector<std::string> cutOriginals,
            std::vector<unsigned long> due = {}) {
    Record r;
    r.cutCopies = std::move(cutCopies);
    r.cutOriginals = std::move(cutOriginals);
    r.due = std::move(due);
    return r;
}

// The record read back: what was written, whatever an earlier version or a hand wrote
// around it; what cannot be ours is unreadable.
TEST(Record, ReadsBackAsWrittenAndToleratesHandEdits) {
    Record full = With({"C:\\w\\x.bin"}, {"C:\\w\\y.txt", "D:\\z"}, {1, 4294967295ul});
    full.copies = {{"C:\\w\\a.txt", {true, 12, 132000000000000000ull}},
                   {"C:\\w\\fat.txt", {true, 3, 4}, true}};
    full.owed = {{"00000000000003e7-01d9", "C:\\w\\a.txt"}};
    full.restored = {{"C:\\w\\b.txt", {true, 5, 6}}};
    full.report = {{115, "C:\\Work\\a.txt", 133}, {115, "C:\\Work\\b c.txt", 133},
                   {143, "E:\\B\\", 135}, {143, "E:\\B\\", 0}};
    const Record back = ParseRecord(FormatRecord(full));
    EXPECT_EQ(FormatRecord(back), FormatRecord(full));
    ASSERT_EQ(back.copies.size(), 2u);
    EXPECT_EQ(back.copies[0].stamp.written, 132000000000000000ull);
    ASSERT_EQ(back.report.size(), 4u);
    EXPECT_EQ(back.report[2].heading, 135u);
    EXPECT_EQ(back.report[3].heading, 0u);

    const struct {
        const char* text;
        bool unreadable, anyCopyCut, anyRestoreCut;
        size_t cutCopies, cutOriginals, due, copies, report;
    } cases[] = {
        // Earlier versions: the cut operation named, no files.
        {"Copy\r\n", false, true, false, 0, 0, 0, 0, 0},
        {"Restore\n115\tC:\\a.txt\n", false, false, true, 0, 0, 0, 0, 1},
        {"\r\n115\tC:\\a.txt", false, false, false, 0, 0, 0, 0, 1},  // last line unended
        // Cut before its first line ended, or another program's first line.
        {"", true, false, false, 0, 0, 0, 0, 0},
        {"Resto", true, false, false, 0, 0, 0, 0, 0},
        {"copy\r\n", true, false, false, 0, 0, 0, 0, 0},
        // Named files replace the first line's "any file".
        {"Both\r\ncut-copy\tC:\\x\r\n", false, false, false, 1, 0, 0, 0, 0},
        {"Both\r\n", false, true, true, 0, 0, 0, 0, 0},
        // Lines of no known form are ignored, never fatal; a line cut short is one of them.
        {"\r\nx5\ta\r\n\tb\r\n123456\tc\r\nno tab\r\ndue\t\r\ndue\t-1\r\ncopy\t1\t2\r\n"
         "copy\tx\t2\tC:\\a\r\ncut-copy\t\r\nfuture\tthing\r\n0\tzero\r\nowed\tk\r\n"
         "owed\t\tC:\\a\r\nrestored\t1\tC:\\a\r\n",
         false, false, false, 0, 0, 0, 0, 0},
        {"\r\ncopy\t5\t6\tC:\\a.txt\r\ndue\t2\r\ncopy\t7\t8\tC:\\b.t", false, false, false, 0, 0, 1, 2,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Record r = ParseRecord(c.text);
        EXPECT_EQ(r.unreadable, c.unreadable);
        EXPECT_EQ(r.anyCopyCut, c.anyCopyCut);
        EXPECT_EQ(r.anyRestoreCut, c.anyRestoreCut);
        EXPECT_EQ(r.cutCopies.size(), c.cutCopies);
        EXPECT_EQ(r.cutOriginals.size(), c.cutOriginals);
        EXPECT_EQ(r.due.size(), c.due);
        EXPECT_EQ(r.copies.size(), c.copies);
        EXPECT_EQ(r.report.size(), c.report);
    }
    // On FAT a crash during the replace may leave the record's new file alone: it is read.
    const ReadResult no = ReadResult::Absent, yes = ReadResult::Read, bad = ReadResult::Unreadable;
    const std::string cut = "Copy\r\ncut-copy\tC:\\n\r\n";
    EXPECT_EQ(RecordFound(no, "", yes, cut).cutCopies.size(), 1u);
    EXPECT_TRUE(RecordFound(yes, "\r\n", yes, cut).cutCopies.empty());  // the old one stands
    EXPECT_TRUE(RecordFound(no, "", yes, "Co").unreadable && RecordFound(no, "", bad, "").unreadable);
    // An earlier version reads the first line as before.
    EXPECT_EQ(FormatRecord(With({"C:\\x"}, {})).substr(0, 6), "Copy\r\n");
    EXPECT_EQ(FormatRecord(With({}, {"C:\\x"})).substr(0, 9), "Restore\r\n");
    EXPECT_EQ(FormatRecord(With({"C:\\x"}, {"C:\\y"})).substr(0, 6), "Both\r\n");
    EXPECT_EQ(FormatRecord(With({}, {}, {3})).substr(0, 2), "\r\n");
}

// Whether an operation runs: the record found, what is asked for, by whom, and the files
// it would take.
TEST(Record, GateDecidesFromTheRecordTheOperationAndWhoAsks) {
    const Verdict run = Verdict::Run, ask = Verdict::Ask, refuse = Verdict::Refuse,
                  busy = Verdict::Busy;
    Record unreadable;
    unreadable.unreadable = true;
    Record anyCopy;
    anyCopy.anyCopyCut = true;
    Record anyRestore;
    anyRestore.anyRestoreCut = true;
    const Record none;
    const Record xCopyCut = With({"C:\\w\\X.bin"}, {});
    const Record xRestoreCut = With({}, {"C:\\w\\X.bin"});
    const Record due = With({}, {}, {1});  // an earlier version's: every file
    Record xOwed;
    xOwed.owed = {{"L1", "C:\\w\\X.bin"}};
    const std::vector<std::string> x = {"C:\\w\\y.txt", "c:\\W\\x.BIN"}, y = {"C:\\w\\y.txt"},
                                   nothing = {};
    const struct {
        const char* what;
        const Record& record;
        bool held;
        Op op;
        bool automatic;
        const std::vector<std::string>& taken;
        Verdict verdict;
        unsigned reason;
    } cases[] = {
        {"nothing recorded", none, false, Op::Copy, true, x, run, 0},
        {"nothing recorded", none, false, Op::Restore, true, x, run, 0},
        {"another operation holds it", none, true, Op::Copy, true, x, busy, kBusy},
        {"another operation holds it, a button", none, true, Op::Restore, false, x, busy, kBusy},
        {"unreadable, automatic", unreadable, false, Op::Restore, true, x, refuse, kUnreadable},
        {"unreadable, a button", unreadable, false, Op::Copy, false, x, ask, kUnreadable},
        {"unreadable, nothing to do", unreadable, false, Op::Copy, true, nothing, refuse, kUnreadable},
        // A cut Copy: the copies of its files are suspect; copying them again repairs.
        {"cut copy, its file restored", xCopyCut, false, Op::Restore, true, x, refuse, kCopyCut},
        {"cut copy, its file, a button", xCopyCut, false, Op::Restore, false, x, ask, kCopyCut},
        {"cut copy, other files restored", xCopyCut, false, Op::Restore, true, y, run, 0},
        {"cut copy, copied again", xCopyCut, false, Op::Copy, true, x, run, 0},
        {"cut copy of an earlier version", anyCopy, false, Op::Restore, true, y, refuse, kCopyCut},
        {"cut copy of an earlier version, copied", anyCopy, false, Op::Copy, true, y, run, 0},
        // A cut Restore: its files are suspect, their copies good.
        {"cut restore, its file copied", xRestoreCut, false, Op::Copy, true, x, refuse, kRestoreCut},
        {"cut restore, a button", xRestoreCut, false, Op::Copy, false, x, ask, kRestoreCut},
        {"cut restore, other files copied", xRestoreCut, false, Op::Copy, true, y, run, 0},
        {"cut restore, restored again", xRestoreCut, false, Op::Restore, true, x, run, 0},
        {"cut restore of an earlier version", anyRestore, false, Op::Copy, true, y, refuse,
         kRestoreCut},
        // A restore owed: an automatic copy runs without those files (FilterCopy); a
        // button asks; restores run.
        {"restore due, automatic copy", due, false, Op::Copy, true, y, run, 0},
        {"restore due, Copy button", due, false, Op::Copy, false, y, ask, kDue},
        {"restore due, session-end restore", due, false, Op::Restore, true, y, run, 0},
        {"restore due, Restore button", due, false, Op::Restore, false, y, run, 0},
        {"restore due, nothing to copy", due, false, Op::Copy, true, nothing, run, 0},
        {"its restore owed, Copy button", xOwed, false, Op::Copy, false, x, ask, kDue},
        {"another file's restore owed", xOwed, false, Op::Copy, true, y, run, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Gate g = DecideGate(c.record, c.held, c.op, c.automatic, c.taken, kTexts, nullptr);
        EXPECT_EQ(static_cast<int>(g.verdict), static_cast<int>(c.verdict));
        EXPECT_EQ(g.reason, c.reason);
    }
}

// A block lifts only when the files that were cut have been redone; a Copy lists its
// copies, and a copy cut short (removed) is listed no more.
TEST(Record, CutFilesStayCutUntilRedone) {
    const FileStamp s1{true, 10, 1}, s2{true, 20, 2};
    const FileResult done = FileResult::Done, changed = FileResult::Changed,
                     cut = FileResult::Cut, notDone = FileResult::NotDone,
                     unsettled = FileResult::Unsettled;
    const struct {
        const char* what;
        Record before;
        Op op;
        std::vector<FileOutcome> outcomes;
        std::vector<std::string> cutCopies, cutOriginals, copies;
        bool completed;
    } cases[] = {
        {"a partial copy leaves the cut one cut", With({"C:\\X.bin"}, {}), Op::Copy,
         {{"C:\\y.txt", done, s1}}, {"C:\\X.bin"}, {}, {"C:\\y.txt"}, true},
        {"copying it again lifts it", With({"C:\\X.bin"}, {}), Op::Copy,
         {{"c:\\x.BIN", done, s2}}, {}, {}, {"c:\\x.BIN"}, true},
        {"a copy cut again is removed, nothing suspect left", With({"C:\\X.bin"}, {}), Op::Copy,
         {{"C:\\X.bin", cut, {}}}, {}, {}, {}, false},
        {"a copy not done leaves the suspect copy", With({"C:\\X.bin"}, {}), Op::Copy,
         {{"C:\\X.bin", notDone, {}}}, {"C:\\X.bin"}, {}, {}, false},
        {"a source changed while copied is copied", With({"C:\\X.bin"}, {}), Op::Copy,
         {{"C:\\X.bin", changed, s2}}, {}, {}, {"C:\\X.bin"}, true},
        {"a partial restore leaves the cut one cut", With({}, {"C:\\X.bin"}), Op::Restore,
         {{"C:\\y.txt", done, s1}}, {}, {"C:\\X.bin"}, {}, true},
        {"restoring it again lifts it", With({}, {"C:\\X.bin"}), Op::Restore,
         {{"C:\\X.bin", done, s1}}, {}, {}, {}, true},
        {"a restore cut now is cut", With({}, {}), Op::Restore,
         {{"C:\\y.txt", done, s1}, {"C:\\X.bin", cut, s2}}, {}, {"C:\\X.bin"}, {}, false},
        {"a restore declined changes nothing", With({}, {}), Op::Restore,
         {{"C:\\X.bin", notDone, s2}}, {}, {}, {}, false},
        // Not known to be on the disk, or a cut copy that could not be removed: still cut.
        {"a copy unsettled", With({}, {}), Op::Copy, {{"C:\\X", unsettled, s2}}, {"C:\\X"}, {}, {"C:\\X"}, false},
        {"a restore unsettled", With({}, {"C:\\X"}), Op::Restore, {{"C:\\X", unsettled, s1}}, {}, {"C:\\X"}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> taken;
        for (const FileOutcome& o : c.outcomes) taken.push_back(o.path);
        Record during = c.before;
        BeginOperation(during, c.op, taken, nullptr);
        // Killed now, every file given to the shell counts as cut.
        for (const std::string& path : taken)
            EXPECT_EQ(DecideGate(during, false, c.op == Op::Copy ? Op::Restore : Op::Copy, true,
                                 {path}, kTexts, nullptr)
                          .verdict,
                      Verdict::Refuse);
        Record after = c.before;
        EndOperation(after, c.op, c.outcomes, nullptr, IsLeadByteNone);
        EXPECT_EQ(after.cutCopies, c.cutCopies);
        EXPECT_EQ(after.cutOriginals, c.cutOriginals);
        std::vector<std::string> copies;
        for (const CopyEntry& e : after.copies) copies.push_back(e.path);
        EXPECT_EQ(copies, c.copies);
        EXPECT_EQ(Completed(c.outcomes, false), c.completed);
        EXPECT_FALSE(Completed(c.outcomes, true));  // the shell's failure is never completion
    }
    // Another file's copy of the same name takes its place in the list.
    // A file copied is the state that comes back, whatever a restore left before.
    Record r;
    r.copies = {{"C:\\a\\notes.txt", s1}, {"C:\\k.txt", s1}};
    r.restored = {{"D:\\b\\notes.TXT", s1}};
    EndOperation(r, Op::Copy, {{"D:\\b\\NOTES.txt", done, s2, true}}, nullptr, IsLeadByteNone);
    ASSERT_EQ(r.copies.size(), 2u);
    EXPECT_EQ(r.copies[0].path, "D:\\b\\NOTES.txt");
    EXPECT_EQ(r.copies[0].stamp.size, 20u);
    EXPECT_TRUE(r.copies[0].localTime);
    EXPECT_TRUE(r.restored.empty());
    // Earlier versions' "any file" lifts when an operation of the repairing kind redid all.
    Record old;
    old.anyCopyCut = true;
    EndOperation(old, Op::Copy, {{"C:\\a", notDone, {}}}, nullptr, IsLeadByteNone);
    EXPECT_TRUE(old.anyCopyCut);
    EndOperation(old, Op::Copy, {{"C:\\a", done, s1}}, nullptr, IsLeadByteNone);
    EXPECT_FALSE(old.anyCopyCut);
    // Each file stays owed until a session-end restore puts it back, whoever's log-on owed
    // it; ending one's own cycle frees one's own files only.
    Record cycle;
    MarkOwed(cycle, "L1", {"C:\\a", "C:\\b"}, nullptr);
    MarkOwed(cycle, "L2", {"c:\\A", "C:\\a"}, nullptr);  // once per log-on
    EXPECT_EQ(cycle.owed.size(), 3u);
    SettleSessionRestore(cycle, {{"C:\\b", done, s1}, {"C:\\a", changed, s2}}, false, nullptr);
    EXPECT_TRUE(Owed(cycle, "C:\\A", nullptr) && !Owed(cycle, "C:\\b", nullptr));
    ASSERT_EQ(cycle.restored.size(), 1u);
    EXPECT_EQ(cycle.restored[0].stamp.size, 10u);  // b as the restore left it
    EndOwnCycle(cycle, "L2");
    ASSERT_EQ(cycle.owed.size(), 1u);
    EXPECT_TRUE(cycle.owed[0].logon == "L1" && cycle.restored.empty());
    SettleSessionRestore(cycle, {{"C:\\a", done, s1}}, true, nullptr);
    cycle.restored.clear();
    EXPECT_TRUE(Empty(cycle));
    // An earlier version's owed restore of every file lifts only when all were put back.
    for (bool all : {false, true}) {
        cycle.due = {3};
        SettleSessionRestore(cycle, {}, all, nullptr);
        EXPECT_EQ(Owed(cycle, "C:\\any", nullptr), !all);
    }
}

// FAT keeps local time in 2-second steps: a clock change shifts every time by an hour.
TEST(Record, StampRuleFollowsHowTheFileSystemKeepsTime) {
    const unsigned long long t = 133000000000000000ull, s = 10000000, h = 3600 * s;
    const TimeKeeping fat = TimeKeeping::LocalTime, ntfs = TimeKeeping::Exact;
    const struct { unsigned long long size, written; TimeKeeping keeping; bool same; } cases[] = {
        {10, t, ntfs, true},        {10, t + 1, ntfs, false},        {10, t + h, ntfs, false},
        {10, t + h, fat, true},     {10, t - h, fat, true},          {10, t + 2 * s, fat, true},
        {10, t + h - s, fat, true}, {10, t + h + 3 * s, fat, false}, {10, t + h / 2, fat, false},
        {10, t + 26 * h, fat, true}, {10, t + 27 * h, fat, false},   {11, t + h, fat, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameAsLeft({true, c.size, c.written}, {true, 10, t}, c.keeping), c.same)
            << c.size << " " << static_cast<long long>(c.written - t);
    for (const char* name : {"FAT", "FAT32", "fat12", "exFAT"})
        EXPECT_EQ(TimeKeepingOf(name), fat) << name;
    for (const char* name : {"NTFS", "ReFS", "", "UDF"}) EXPECT_EQ(TimeKeepingOf(name), ntfs) << name;
    // A copy whose time came out in 2-second steps from a finer one shows FAT.
    EXPECT_TRUE(CutToFatSteps({true, 1, t + 12345}, {true, 1, t}));
    EXPECT_FALSE(CutToFatSteps({true, 1, t}, {true, 1, t}) ||
                 CutToFatSteps({true, 1, t + 12345}, {true, 1, t + 12345}));
}

FileStamp StampNow(const char* path) {
    const std::string p = path;
    if (p == "E:\\B\\changed.txt") return {true, 99, 9};
    if (p == "E:\\B\\fat.txt") return {true, 10, 1 + 36000000000ull};  // an hour on
    return {true, 10, 1};
}

// Restore puts a copy back only onto its own file, and only as it was left; an automatic
// Copy takes no file whose state must come back first.
TEST(Record, RestoreTakesOnlyAFilesOwnCopyAsItWasLeft) {
    Record record;
    record.copies = {{"C:\\a\\notes.txt", {true, 10, 1}},
                     {"C:\\own.txt", {true, 10, 1}},
                     {"C:\\changed.txt", {true, 10, 1}},
                     {"C:\\fat.txt", {true, 10, 1}, true}};
    const FileTable table = MakeTable({{"C:\\b\\notes.txt", 1, 1},
                                       {"c:\\OWN.txt", 1, 1},
                                       {"C:\\changed.txt", 1, 1},
                                       {"C:\\unlisted.txt", 1, 1},
                                       {"C:\\fat.txt", 1, 1}});
    FileRequest r = BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone);
    FileRequest edited = r;
    FilterRestore(r, record, StampNow, TimeKeeping::Exact, false, nullptr, IsLeadByteNone);
    EXPECT_EQ(r.otherCopy, std::vector<std::string>{"C:\\b\\notes.txt"});
    EXPECT_EQ(r.changedCopy, std::vector<std::string>{"C:\\changed.txt"});
    // The user said Yes to the changed copy; a copy of another file never goes back.
    FilterRestore(edited, record, StampNow, TimeKeeping::Exact, true, nullptr, IsLeadByteNone);
    EXPECT_EQ(edited.count - static_cast<int>(edited.changedCopy.size()), 4);
    // The copy on FAT, an hour on, is as it was left.
    EXPECT_EQ(r.from, std::string("E:\\B\\OWN.txt\0E:\\B\\unlisted.txt\0E:\\B\\fat.txt\0\0", 45));
    EXPECT_EQ(r.to, std::string("c:\\OWN.txt\0C:\\unlisted.txt\0C:\\fat.txt\0\0", 39));
    ASSERT_EQ(r.pairs.size(), 3u);
    EXPECT_EQ(r.pairs[1].target, "C:\\unlisted.txt");
    // Nothing to leave out: the request stays as built.
    FileRequest all = BuildRestoreRequest(table, "E:\\B\\", 0, IsLeadByteNone);
    const FileRequest built = all;
    FilterRestore(all, Record(), StampNow, TimeKeeping::Exact, false, nullptr, IsLeadByteNone);
    EXPECT_EQ(all.from, built.from);
    ASSERT_EQ(all.pairs.size(), built.pairs.size());
    for (size_t k = 0; k < all.pairs.size(); ++k) EXPECT_EQ(all.pairs[k].target, built.pairs[k].target);
    // An automatic Copy leaves out a file still owed, and one saved after the last restore.
    record.owed = {{"L1", "C:\\changed.txt"}};
    record.restored = {{"C:\\unlisted.txt", {true, 10, 2}}, {"C:\\fat.txt", {true, 10, 1}}};
    FileRequest copy = BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone);
    FilterCopy(copy, record, StampNow, nullptr, nullptr);
    EXPECT_EQ(copy.owedFile, std::vector<std::string>{"C:\\changed.txt"});
    EXPECT_EQ(copy.savedLate, std::vector<std::string>{"C:\\unlisted.txt"});
    EXPECT_EQ(copy.from, std::string("C:\\b\\notes.txt\0c:\\OWN.txt\0C:\\fat.txt\0\0", 38));
}

// Where nobody can answer: a copy in the way is left out, and the shell stays silent.
TEST(Record, UnseenCopiesLeaveOutWhatWouldAsk) {
    const FileTable table = MakeTable({{"C:\\w\\there.txt", 1, 1}, {"C:\\w\\new.txt", 1, 1}});
    FileRequest r = BuildCopyRequest(table, "E:\\B\\", 0, IsLeadByteNone);
    LeaveOutQuestions(r, [](const char* p) { return std::string(p) == "E:\\B\\there.txt"; });
    EXPECT_EQ(r.wouldAsk, std::vector<std::string>{"C:\\w\\there.txt"});
    EXPECT_EQ(r.from, std::string("C:\\w\\new.txt\0\0", 14));
    EXPECT_EQ(r.to, std::string("E:\\B\\\0\0", 7));
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.flags, 0x0300u | 0x0004u | 0x0010u | 0x0400u);
    // Over Write on: nothing would ask, and the shell stays silent all the same.
    FileRequest over = BuildCopyRequest(table, "E:\\B\\", 1, IsLeadByteNone);
    LeaveOutQuestions(over, nullptr);
    EXPECT_EQ(over.count, 2);  // nothing left out
    EXPECT_EQ(over.flags, r.flags);
}

// Reports of many runs: each cause once, each file once, one message per cause.
TEST(Record, ReportsOfManyRunsMerge) {
    std::vector<ReportLine> kept;
    for (int run = 0; run < 5; ++run) {
        AddReport(kept, 133, {{114, "C:\\b\\a.txt"}});
        AddReport(kept, 135, {{114, "C:\\b\\a.txt"}, {115, "C:\\c.txt"}});
    }
    AddReport(kept, 133, {});
    const std::vector<ReportMessage> messages = GroupReport(kept, 99);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].heading, 99u);  // found by two kinds of run
    EXPECT_EQ(messages[0].cause, 114u);
    EXPECT_EQ(messages[0].texts, std::vector<std::string>{"C:\\b\\a.txt"});
    EXPECT_EQ(messages[1].heading, 135u);
    EXPECT_EQ(messages[1].texts, std::vector<std::string>{"C:\\c.txt"});
    // What was shown goes; a button's report has no heading.
    SubtractReport(kept, {{114, "C:\\b\\a.txt"}});
    EXPECT_EQ(GroupReport(kept, 99).size(), 1u);
    const std::vector<ReportMessage> button = GroupReport({{115, "C:\\x"}, {115, "C:\\y"}}, 99);
    ASSERT_EQ(button.size(), 1u);
    EXPECT_EQ(button[0].heading, 0u);
    EXPECT_EQ(button[0].texts.size(), 2u);
}

}  // namespace
