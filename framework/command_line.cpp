#include "framework/command_line.h"

const char* ArgumentPart(const char* commandLine, LeadByteTest isLeadByte) {
    if (!commandLine) return "";
    auto code = [](const char* q) { return static_cast<unsigned char>(*q); };
    const char* p = commandLine;
    if (*p == '"') {
        // A quoted name may hold blanks; a double-byte character whose second byte
        // happens to be a quote must not end it.
        ++p;
        while (*p && *p != '"') {
            if (isLeadByte && isLeadByte(code(p)) && p[1])
                p += 2;
            else
                ++p;
        }
        // An unclosed quote swallows the whole line: nothing is left for arguments.
        if (!*p) return p;
        ++p;
    } else {
        while (code(p) > 32) ++p;
    }
    while (*p && code(p) <= 32) ++p;
    return p;
}
