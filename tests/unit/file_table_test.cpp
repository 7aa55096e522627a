#include "model/file_table.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/unit/table_builder.h"

namespace {

std::vector<Row> FullRows() {
    std::vector<Row> rows;
    for (int i = 0; i < kMaxFiles; ++i)
        rows.push_back({"C:\\f\\" + std::to_string(i) + ".txt", i % 2, (i / 2) % 2});
    return rows;
}

// Slots 0..count-1 hold exactly the rows; every other slot (32 included) is empty with
// both ticks 0.
void ExpectTable(const FileTable& table, const std::vector<Row>& rows) {
    ASSERT_EQ(table.count, static_cast<int>(rows.size()));
    for (int k = 0; k <= kMaxFiles; ++k) {
        SCOPED_TRACE("slot " + std::to_string(k));
        const FileEntry& e = table.entries[k];
        if (k < table.count) {
            EXPECT_EQ(std::string(e.path), rows[k].path);
            EXPECT_EQ(e.copy, rows[k].copy);
            EXPECT_EQ(e.restore, rows[k].restore);
        } else {
            EXPECT_STREQ(e.path, "");
            EXPECT_EQ(e.copy, 0);
            EXPECT_EQ(e.restore, 0);
        }
    }
}

TEST(FileTable, ResetClearsEverySlot) {
    FileTable table;
    std::memset(&table, 0x5A, sizeof table);
    ResetTable(table);
    ExpectTable(table, {});
}

TEST(FileTable, DeleteShiftsLaterEntriesWithTheirOwnTicks) {
    const Row x{"C:\\X.txt", 1, 0}, y{"C:\\Y.txt", 0, 1}, z{"C:\\Z.txt", 1, 1};
    std::vector<Row> full = FullRows();
    auto without = [](std::vector<Row> rows, int i) {
        rows.erase(rows.begin() + i);
        return rows;
    };
    struct Case {
        const char* what;
        std::vector<Row> before;
        int index;
        std::vector<Row> after;
    };
    const Case cases[] = {
        {"X copy, Y restore, Z both: delete X", {x, y, z}, 0, {y, z}},
        {"delete middle", {x, y, z}, 1, {x, z}},
        {"delete last", {x, y, z}, 2, {x, y}},
        {"delete only", {z}, 0, {}},
        {"full table, delete first", full, 0, without(full, 0)},
        {"full table, delete middle", full, 17, without(full, 17)},
        {"full table, delete last", full, 31, without(full, 31)},
        {"same path twice keeps the other", {x, {"C:\\X.txt", 0, 1}}, 0, {{"C:\\X.txt", 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileTable table = MakeTable(c.before);
        ASSERT_TRUE(DeleteEntry(table, c.index));
        ExpectTable(table, c.after);
    }
}

TEST(FileTable, DeleteRefusesIndexOutsideUsedSlots) {
    const std::vector<Row> rows = {{"C:\\a", 1, 1}, {"C:\\b", 0, 1}};
    for (int index : {-1, 2, 31, 32, 33, 1000}) {
        SCOPED_TRACE(index);
        FileTable table = MakeTable(rows);
        EXPECT_FALSE(DeleteEntry(table, index));
        ExpectTable(table, rows);
    }
    FileTable empty = MakeTable({});
    EXPECT_FALSE(DeleteEntry(empty, 0));
    ExpectTable(empty, {});
}

TEST(FileTable, AppendStopsAtThirtyTwo) {
    FileTable table = MakeTable(FullRows());
    ExpectTable(table, FullRows());
    FileEntry extra{};
    CopyPath(extra.path, kPathSize, "C:\\one-too-many.txt");
    EXPECT_FALSE(AppendEntry(table, extra));
    ExpectTable(table, FullRows());

    // A deletion frees the last slot for one more append.
    ASSERT_TRUE(DeleteEntry(table, 3));
    EXPECT_STREQ(table.entries[31].path, "");
    EXPECT_TRUE(AppendEntry(table, extra));
    EXPECT_STREQ(table.entries[31].path, "C:\\one-too-many.txt");
    EXPECT_EQ(table.count, 32);
}

TEST(FileTable, AppendRefusesEmptyPath) {
    FileTable table = MakeTable({{"C:\\a", 0, 0}});
    FileEntry blank{};
    blank.copy = 1;
    EXPECT_FALSE(AppendEntry(table, blank));
    ExpectTable(table, {{"C:\\a", 0, 0}});
}

TEST(FileTable, TicksOfDuplicatePathsAreIndependent) {
    FileTable table = MakeTable({{"C:\\same.txt", 0, 0}, {"C:\\same.txt", 0, 0}});
    SetCopyTick(table, 1, true);
    SetRestoreTick(table, 0, true);
    ExpectTable(table, {{"C:\\same.txt", 0, 1}, {"C:\\same.txt", 1, 0}});
    SetRestoreTick(table, 0, false);
    ExpectTable(table, {{"C:\\same.txt", 0, 0}, {"C:\\same.txt", 1, 0}});
    // Ticks on unused slots would break the empty-slot rule.
    SetCopyTick(table, 2, true);
    SetRestoreTick(table, -1, true);
    SetCopyTick(table, 32, true);
    ExpectTable(table, {{"C:\\same.txt", 0, 0}, {"C:\\same.txt", 1, 0}});
}

TEST(FileTable, CloseHolesKeepsOrderAndTicks) {
    FileTable table;
    ResetTable(table);
    auto put = [&](int slot, const char* path, int copy, int restore) {
        CopyPath(table.entries[slot].path, kPathSize, path);
        table.entries[slot].copy = copy;
        table.entries[slot].restore = restore;
    };
    put(2, "C:\\two", 1, 0);
    put(3, "C:\\three", 0, 1);
    put(17, "C:\\seventeen", 1, 1);
    put(31, "C:\\last", 0, 0);
    // A stale tick in an empty slot must not survive.
    table.entries[5].copy = 1;
    table.count = 4;
    CloseHoles(table);
    ExpectTable(
        table,
        {{"C:\\two", 1, 0}, {"C:\\three", 0, 1}, {"C:\\seventeen", 1, 1}, {"C:\\last", 0, 0}});
    ASSERT_TRUE(DeleteEntry(table, 0));
    ExpectTable(table, {{"C:\\three", 0, 1}, {"C:\\seventeen", 1, 1}, {"C:\\last", 0, 0}});
}

TEST(FileTable, CopyPathCutsAndTerminates) {
    struct Case {
        const char* src;
        int size;
        const char* expected;
    } cases[] = {
        {"C:\\abc", 15, "C:\\abc"}, {"C:\\abc", 7, "C:\\abc"}, {"C:\\abc", 6, "C:\\ab"},
        {"C:\\abc", 1, ""},         {nullptr, 8, ""},
    };
    for (const Case& c : cases) {
        char buf[16];
        std::memset(buf, 'z', sizeof buf);
        CopyPath(buf, c.size, c.src);
        EXPECT_STREQ(buf, c.expected) << c.size;
        EXPECT_EQ(buf[c.size], 'z') << "wrote past the buffer";
    }
}

}  // namespace
