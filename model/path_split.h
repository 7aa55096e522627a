// Splits a Windows path into drive, folder, base name and extension, stepping over
// double-byte characters whole (their second byte may equal '\\'). Pure code.
#pragma once

using LeadByteFn = bool (*)(unsigned char);

struct PathParts {
    char drive[3];    // "C:" or empty
    char dir[256];    // up to and including the last '\\' or '/'
    char fname[256];  // base name without extension
    char ext[256];    // from the last '.' of the name, dot included
};

// Never overflows: each part is cut to fit its buffer.
void SplitPath(const char* path, LeadByteFn isLeadByte, PathParts& parts);
// The last component of the path (base name and extension joined).
void FileNameOf(const char* path, LeadByteFn isLeadByte, char* out, int outSize);

// Lead-byte tests for the code pages the tests need; the program uses the system's own.
bool IsLeadByte932(unsigned char c);
bool IsLeadByteNone(unsigned char c);
