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

// What a quiet run's exit status tells a scheduler: the first that applies.
TEST(WindowRules, QuietRunsEndWithTheirCode) {
    const struct {
        bool blocked, failed, reported;
        int code;
    } cases[] = {
        {false, false, false, 0}, {false, false, true, 1}, {true, false, false, 2},
        {true, true, true, 2},    {false, true, false, 3}, {false, true, true, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExitCodeOf(EndOfQuietCopy({c.blocked, c.failed, c.reported})), c.code)
            << c.blocked << c.failed << c.reported;
    EXPECT_EQ(ExitCodeOf(QuietEnd::NotCopying), 4);
    EXPECT_EQ(ExitCodeOf(QuietEnd::AlreadyRunning), 5);
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
