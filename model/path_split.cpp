#include "model/path_split.h"

#include <cstring>

namespace {

bool IsLead(LeadByteFn isLeadByte, const char* p) {
    // A lead byte right before the terminator stands alone.
    return isLeadByte && p[1] && isLeadByte(static_cast<unsigned char>(*p));
}

// Copies [begin, end) into dest, cut to whole characters so that no lone lead byte
// is left at the end of a part.
void CopyPart(char* dest, size_t size, const char* begin, const char* end, LeadByteFn isLeadByte) {
    size_t n = 0;
    const char* p = begin;
    while (p < end) {
        size_t step = (IsLead(isLeadByte, p) && p + 1 < end) ? 2 : 1;
        if (n + step > size - 1) break;
        for (size_t s = 0; s < step; ++s) dest[n++] = *p++;
    }
    dest[n] = '\0';
}

struct Marks {
    const char* afterDrive;
    const char* nameStart;  // just after the last separator
    const char* lastDot;    // in the name, or null
    const char* end;
};

Marks Scan(const char* path, LeadByteFn isLeadByte) {
    Marks m{};
    m.afterDrive = (path[0] && path[1] == ':') ? path + 2 : path;
    m.nameStart = m.afterDrive;
    const char* p = m.afterDrive;
    while (*p) {
        if (IsLead(isLeadByte, p)) {
            p += 2;
            continue;
        }
        if (*p == '\\' || *p == '/') {
            m.nameStart = p + 1;
            m.lastDot = nullptr;
        } else if (*p == '.') {
            m.lastDot = p;
        }
        ++p;
    }
    m.end = p;
    return m;
}

}  // namespace

void SplitPath(const char* path, LeadByteFn isLeadByte, PathParts& parts) {
    if (!path) path = "";
    const Marks m = Scan(path, isLeadByte);
    const char* extStart = m.lastDot ? m.lastDot : m.end;
    CopyPart(parts.drive, sizeof parts.drive, path, m.afterDrive, isLeadByte);
    CopyPart(parts.dir, sizeof parts.dir, m.afterDrive, m.nameStart, isLeadByte);
    CopyPart(parts.fname, sizeof parts.fname, m.nameStart, extStart, isLeadByte);
    CopyPart(parts.ext, sizeof parts.ext, extStart, m.end, isLeadByte);
}

void FileNameOf(const char* path, LeadByteFn isLeadByte, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    if (!path) path = "";
    const Marks m = Scan(path, isLeadByte);
    CopyPart(out, static_cast<size_t>(outSize), m.nameStart, m.end, isLeadByte);
}

bool IsLeadByte932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsLeadByteNone(unsigned char) { return false; }
