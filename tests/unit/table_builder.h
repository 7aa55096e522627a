// Builds file tables for tests from a short list of rows.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "model/file_table.h"

struct Row {
    std::string path;
    int copy;
    int restore;
};

inline FileTable MakeTable(const std::vector<Row>& rows) {
    FileTable table;
    ResetTable(table);
    for (const Row& r : rows) {
        FileEntry e{};
        CopyPath(e.path, kPathSize, r.path.c_str());
        e.copy = r.copy;
        e.restore = r.restore;
        EXPECT_TRUE(AppendEntry(table, e)) << r.path;
    }
    return table;
}
