// ArgumentPart on arbitrary bytes, with and without double-byte characters.
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/command_line.h"
#include "model/path_split.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool Blank(unsigned char c) { return c >= 1 && c <= 32; }

// Where the arguments must begin, worked out by walking whole characters.
size_t ExpectedStart(const unsigned char* s, size_t len, LeadByteTest isLead) {
    size_t p = 0;
    if (len > 0 && s[0] == '"') {
        p = 1;
        while (p < len && s[p] != '"') {
            bool pair = isLead && isLead(s[p]) && p + 1 < len;
            p += pair ? 2 : 1;
        }
        if (p >= len) return len;  // unclosed quote: nothing left
        ++p;
    } else {
        while (p < len && s[p] > 32) ++p;
    }
    while (p < len && Blank(s[p])) ++p;
    return p;
}

void CheckOne(const std::string& line, LeadByteTest isLead) {
    const char* start = line.c_str();
    const size_t len = std::strlen(start);  // the line ends at its first zero byte
    const char* r = ArgumentPart(start, isLead);
    FUZZ_CHECK(r != nullptr);
    FUZZ_CHECK(r >= start && r <= start + len);
    const size_t at = static_cast<size_t>(r - start);
    const auto* s = reinterpret_cast<const unsigned char*>(start);
    // Blanks after the name are always skipped.
    FUZZ_CHECK(at == len || !Blank(s[at]));
    // An unquoted name runs to the first blank or control byte and is never part of the result.
    if (len > 0 && s[0] != '"') {
        size_t nameEnd = 0;
        while (nameEnd < len && s[nameEnd] > 32) ++nameEnd;
        FUZZ_CHECK(at >= nameEnd);
        for (size_t i = nameEnd; i < at; ++i) FUZZ_CHECK(Blank(s[i]));
    }
    // A quoted name ends at a quote, so the byte before the skipped blanks is that quote.
    if (len > 0 && s[0] == '"' && at < len) {
        size_t q = at;
        while (q > 0 && Blank(s[q - 1])) --q;
        FUZZ_CHECK(q >= 2 && s[q - 1] == '"');
    }
    FUZZ_CHECK(at == ExpectedStart(s, len, isLead));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    CheckOne(line, IsLeadByte932);
    CheckOne(line, IsLeadByteNone);
    CheckOne(line, nullptr);
    // Without lead bytes of code page 932 in the line, both tests must agree.
    bool anyLead = false;
    for (unsigned char c : line) anyLead = anyLead || IsLeadByte932(c);
    if (!anyLead)
        FUZZ_CHECK(ArgumentPart(line.c_str(), IsLeadByte932) ==
                   ArgumentPart(line.c_str(), IsLeadByteNone));
    FUZZ_CHECK(ArgumentPart(nullptr, IsLeadByte932) != nullptr);
    return 0;
}
