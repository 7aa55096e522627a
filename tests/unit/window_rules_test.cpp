#include "model/window_rules.h"

#include <cstring>

#include <gtest/gtest.h>

#include "tests/unit/table_builder.h"

namespace {

TEST(WindowRules, AutomaticRunAtStart) {
    const struct {
        const char* args;
        int mode, autoCopy;
        bool copy, close;
    } cases[] = {
        {"/q", 2, 1, true, true},
        {"/Q", 2, 1, true, true},
        {"/q", 2, 0, false, true},
        {"/q", 1, 1, false, true},
        {"/q", 0, 1, false, true},
        {"", 1, 1, true, false},
        {"", 1, 0, false, false},
        {"", 2, 1, false, false},
        {"", 0, 1, false, false},
        // Only the switch itself, whole: anything more or else is an ordinary start.
        {"/q ", 2, 1, false, false},
        {"-q", 2, 1, false, false},
        {"q", 1, 1, true, false},
        {"/quiet", 2, 1, false, false},
        {"/q /q", 1, 1, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "'" << c.args << "' mode " << c.mode << " copy " << c.autoCopy);
        AutoRunDecision d = DecideAutoRun(c.args, c.mode, c.autoCopy);
        EXPECT_EQ(d.copyAtStart, c.copy);
        EXPECT_EQ(d.closeAtOnce, c.close);
    }
}

TEST(WindowRules, ButtonsFollowDestinationFilesAndChanges) {
    AppSettings withDest = {};
    std::strcpy(withDest.destDir, "E:\\B\\");
    AppSettings noDest = {};
    const FileTable empty = MakeTable({});
    const FileTable one = MakeTable({{"C:\\a.txt", 0, 0}});
    std::vector<Row> rows;
    for (int i = 0; i < kMaxFiles; ++i) rows.push_back({"C:\\f" + std::to_string(i), 0, 0});
    const FileTable full = MakeTable(rows);

    EXPECT_TRUE(SetButtonEnabled(1, withDest, one));
    EXPECT_FALSE(SetButtonEnabled(0, withDest, one));  // nothing to save
    EXPECT_FALSE(SetButtonEnabled(1, noDest, one));
    EXPECT_FALSE(SetButtonEnabled(1, withDest, empty));
    EXPECT_TRUE(RunButtonsEnabled(withDest, one));
    EXPECT_FALSE(RunButtonsEnabled(noDest, one));
    EXPECT_FALSE(RunButtonsEnabled(withDest, empty));
    EXPECT_TRUE(SelectFileEnabled(one));
    EXPECT_FALSE(SelectFileEnabled(full));
}

TEST(WindowRules, RestoreAtSessionEndOnlyWhenHiddenAutomaticAndEnding) {
    const struct {
        bool visible;
        int mode, autoRestore;
        bool ending, closingAppOnly, restores;
        const char* why;
    } cases[] = {
        {false, 1, 1, true, false, true, "hidden, mode 1"},
        {false, 2, 1, true, false, true, "hidden, mode 2"},
        {true, 1, 1, true, false, false, "visible"},
        {false, 0, 1, true, false, false, "mode 0"},
        {false, 1, 0, true, false, false, "switch off"},
        {false, 1, 1, false, false, false, "called off"},
        {false, 1, 1, true, true, false, "an installer closes the program"},
        {false, 2, 1, false, true, false, "closing called off"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            RestoresAtSessionEnd(c.visible, c.mode, c.autoRestore, c.ending, c.closingAppOnly),
            c.restores)
            << c.why;
}

// The state left in the destination by an operation that did not end checked, against
// the operation asked for and how it was asked.
TEST(WindowRules, InterruptedOperationsGateTheOtherOne) {
    const Interrupted none = Interrupted::None, copy = Interrupted::Copy,
                      restore = Interrupted::Restore, unknown = Interrupted::Unknown;
    const Gate run = Gate::Run, ask = Gate::Ask, refuse = Gate::Refuse;
    //   state left   asked for       button  gate
    const struct {
        Interrupted left;
        bool copying, button;
        Gate gate;
    } cases[] = {
        {none, true, false, run},
        {none, true, true, run},
        {none, false, false, run},
        {none, false, true, run},
        // An interrupted Restore: the copies are good, the originals suspect.
        {restore, true, false, refuse},  // automatic or quiet copy
        {restore, true, true, ask},      // Copy button
        {restore, false, false, run},    // the session-end restore repairs
        {restore, false, true, run},
        // An interrupted Copy: the copies are suspect.
        {copy, false, false, refuse},  // session-end restore
        {copy, false, true, ask},      // Restore button
        {copy, true, false, run},      // a new copy repairs
        {copy, true, true, run},
        {unknown, true, false, refuse},
        {unknown, false, false, refuse},
        {unknown, true, true, ask},
        {unknown, false, true, ask},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << static_cast<int>(c.left) << " copying "
                                        << c.copying << " button " << c.button);
        EXPECT_EQ(static_cast<int>(GateOperation(c.left, c.copying, c.button)),
                  static_cast<int>(c.gate));
    }
}

// The state file read back: the operation under way and the reports not yet shown, as
// written; a file cut while it was written, or someone else's, is no known state.
TEST(WindowRules, StateFileReadsBackAsWritten) {
    const std::vector<ReportLine> report = {
        {132, ""}, {115, "C:\\Work\\a.txt"}, {115, "C:\\Work\\b c.txt"}, {143, "E:\\B\\"}};
    for (Interrupted left :
         {Interrupted::None, Interrupted::Copy, Interrupted::Restore, Interrupted::Unknown}) {
        for (const auto& lines : {std::vector<ReportLine>{}, report}) {
            const StateRecord back = ParseState(FormatState({left, lines}));
            EXPECT_EQ(static_cast<int>(back.left), static_cast<int>(left));
            ASSERT_EQ(back.report.size(), lines.size());
            for (size_t k = 0; k < lines.size(); ++k) {
                EXPECT_EQ(back.report[k].textId, lines[k].textId);
                EXPECT_EQ(back.report[k].text, lines[k].text);
            }
        }
    }
    const struct {
        const char* text;
        Interrupted left;
        size_t lines;
    } cases[] = {
        {"Copy\r\n", Interrupted::Copy, 0},
        {"Restore\n115\tC:\\a.txt\n", Interrupted::Restore, 1},  // LF alone
        {"\r\n115\tC:\\a.txt", Interrupted::None, 1},            // last line unended
        {"", Interrupted::Unknown, 0},                           // cut before its first line
        {"Resto", Interrupted::Unknown, 0},
        {"copy\r\n", Interrupted::Unknown, 0},
        {"\r\nx5\ta\r\n\tb\r\n123456\tc\r\nno tab\r\n", Interrupted::None, 0},
    };
    for (const auto& c : cases) {
        const StateRecord got = ParseState(c.text);
        EXPECT_EQ(static_cast<int>(got.left), static_cast<int>(c.left)) << c.text;
        EXPECT_EQ(got.report.size(), c.lines) << c.text;
    }
}

TEST(WindowRules, MinimisedIconIsCentredWithTruncatingDivision) {
    const struct {
        int w, h, x, y;
    } cases[] = {{100, 50, 34, 9}, {0, 0, -15, -15}, {32, 32, 0, 0}, {33, 34, 1, 1}};
    for (const auto& c : cases) {
        int x = 0, y = 0;
        MinimisedIconOrigin(c.w, c.h, 32, 32, x, y);
        EXPECT_EQ(x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(y, c.y) << c.w << "x" << c.h;
    }
}

TEST(WindowRules, ColumnWidthsFollowTheDpi) {
    const struct {
        int width, dpi, scaled;
    } cases[] = {
        {255, 96, 255}, {60, 96, 60},    {255, 192, 510}, {60, 192, 120}, {255, 120, 319},
        {60, 120, 75},  {255, 144, 383}, {60, 144, 90},   {255, 72, 191}, {1, 48, 1},
        {255, 0, 255},  {60, -96, 60},   {-3, 48, -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaledColumnWidth(c.width, c.dpi), c.scaled) << c.width << " at " << c.dpi;
}

}  // namespace
