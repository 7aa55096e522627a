// The argument part of a process command line, as the start-up code hands it on:
// the program's name removed and the blanks after it skipped. Pure code.
#pragma once

using LeadByteTest = bool (*)(unsigned char);

// Returns a pointer into commandLine (never null for a non-null input).
const char* ArgumentPart(const char* commandLine, LeadByteTest isLeadByte);
