#include "framework/command_line.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "model/path_split.h"

namespace {

struct ArgCase {
    const char* what;
    const char* line;
    LeadByteTest lead;
    const char* expected;
};

TEST(ArgumentPart, SkipsNameAndLeadingBlanksOnly) {
    const ArgCase cases[] = {
        {"quoted, one blank", "\"C:\\Program Files\\VellumBox.exe\" /q", IsLeadByteNone, "/q"},
        {"quoted, two blanks", "\"C:\\Program Files\\VellumBox.exe\"  /q", IsLeadByteNone, "/q"},
        {"trailing blank stays", "\"C:\\VellumBox.exe\" /q ", IsLeadByteNone, "/q "},
        {"tab", "\"C:\\VellumBox.exe\"\t/Q", IsLeadByteNone, "/Q"},
        {"tabs and blanks", "\"C:\\VellumBox.exe\" \t \t/q", IsLeadByteNone, "/q"},
        {"control codes", "\"C:\\VellumBox.exe\"\x01\x1f\x20/q", IsLeadByteNone, "/q"},
        {"no arguments, quoted", "\"C:\\Program Files\\VellumBox.exe\"", IsLeadByteNone, ""},
        {"only blanks after name", "\"C:\\VellumBox.exe\"   ", IsLeadByteNone, ""},
        {"argument glued to quote", "\"C:\\VellumBox.exe\"/q", IsLeadByteNone, "/q"},
        {"inner spacing kept", "\"C:\\VellumBox.exe\" /q  x\t y", IsLeadByteNone, "/q  x\t y"},
        {"unquoted, blank", "C:\\Tools\\VellumBox.exe /q", IsLeadByteNone, "/q"},
        {"unquoted, tab", "VellumBox.exe\t/q", IsLeadByteNone, "/q"},
        {"unquoted, no arguments", "VellumBox.exe", IsLeadByteNone, ""},
        {"unquoted name ends at first blank", "C:\\My Tools\\vb.exe /q", IsLeadByteNone,
         "Tools\\vb.exe /q"},
        {"unquoted, high bytes belong to the name", "C:\\\x95\x5C\xE8.exe /q", IsLeadByte932, "/q"},
        {"empty line", "", IsLeadByteNone, ""},
        {"lone quote", "\"", IsLeadByteNone, ""},
        {"unclosed quote takes everything", "\"C:\\VellumBox.exe /q", IsLeadByteNone, ""},
        // 0x95 0x5C and 0x83 0x5C are real Shift-JIS characters ending in a backslash byte.
        {"double-byte name", "\"C:\\\x95\x5C\\\x83\x5C\\VellumBox.exe\" /q", IsLeadByte932, "/q"},
        {"double-byte right before quote", "\"C:\\\x83\x5C\" /q", IsLeadByte932, "/q"},
        {"null lead test", "\"C:\\\x95\x5C\\vb.exe\" /q", nullptr, "/q"},
        // No valid Shift-JIS character has a quote as second byte, but the lead byte test
        // decides: a lead byte carries the next byte with it.
        {"quote after lead byte, code page 932", "\"C:\\\x81\"x\" /q", IsLeadByte932, "/q"},
        {"quote after lead byte, single-byte", "\"C:\\\x81\"x\" /q", IsLeadByteNone, "x\" /q"},
        {"lead byte swallows closing quote", "\"C:\\a\x95\" /q", IsLeadByte932, ""},
        {"lead byte at end", "\"C:\\a\x95", IsLeadByte932, ""},
    };
    for (const ArgCase& c : cases) {
        SCOPED_TRACE(c.what);
        const char* result = ArgumentPart(c.line, c.lead);
        ASSERT_NE(result, nullptr);
        // The result points into the line, at its tail.
        ASSERT_GE(result, c.line);
        ASSERT_LE(result, c.line + std::strlen(c.line));
        EXPECT_EQ(std::string(result), c.expected);
        EXPECT_EQ(result, c.line + std::strlen(c.line) - std::strlen(c.expected));
    }
}

TEST(ArgumentPart, NullLineGivesEmpty) {
    const char* result = ArgumentPart(nullptr, IsLeadByteNone);
    ASSERT_NE(result, nullptr);
    EXPECT_STREQ(result, "");
}

}  // namespace
