// SplitPath and FileNameOf on arbitrary bytes, under code page 932 and under a code page
// without lead bytes (1252), against a reference worked out character by character.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/path_split.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Char {
    size_t at;
    size_t len;
};

// Characters of s from `from` on; a lead byte right before the end stands alone.
std::vector<Char> Chars(const std::string& s, size_t from, LeadByteFn isLead) {
    std::vector<Char> out;
    for (size_t p = from; p < s.size();) {
        size_t n = (isLead(static_cast<unsigned char>(s[p])) && p + 1 < s.size()) ? 2 : 1;
        out.push_back({p, n});
        p += n;
    }
    return out;
}

// The longest run of whole characters of s[begin, end) that fits in `room` bytes.
std::string Cut(const std::string& s, const std::vector<Char>& chars, size_t begin, size_t end,
                size_t room) {
    size_t stop = begin;
    for (const Char& c : chars) {
        if (c.at < begin || c.at >= end) continue;
        if (c.at + c.len - begin > room) break;
        stop = c.at + c.len;
    }
    return s.substr(begin, stop - begin);
}

bool Terminated(const char* buf, size_t size) { return std::memchr(buf, '\0', size) != nullptr; }

void CheckOne(const std::string& path, LeadByteFn isLead, int outSize) {
    PathParts parts;
    std::memset(&parts, 0x5A, sizeof parts);  // no terminator anywhere until written
    SplitPath(path.c_str(), isLead, parts);
    FUZZ_CHECK(Terminated(parts.drive, sizeof parts.drive));
    FUZZ_CHECK(Terminated(parts.dir, sizeof parts.dir));
    FUZZ_CHECK(Terminated(parts.fname, sizeof parts.fname));
    FUZZ_CHECK(Terminated(parts.ext, sizeof parts.ext));

    // The reference split.
    const size_t afterDrive = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    const std::vector<Char> chars = Chars(path, afterDrive, isLead);
    size_t nameStart = afterDrive;
    size_t extStart = std::string::npos;
    for (const Char& c : chars) {
        if (c.len != 1) continue;
        if (path[c.at] == '\\' || path[c.at] == '/') {
            nameStart = c.at + 1;
            extStart = std::string::npos;
        } else if (path[c.at] == '.') {
            extStart = c.at;
        }
    }
    if (extStart == std::string::npos) extStart = path.size();
    const std::string drive = path.substr(0, afterDrive);
    const std::string dir = Cut(path, chars, afterDrive, nameStart, 255);
    const std::string fname = Cut(path, chars, nameStart, extStart, 255);
    const std::string ext = Cut(path, chars, extStart, path.size(), 255);
    FUZZ_CHECK(drive == parts.drive);
    FUZZ_CHECK(dir == parts.dir);
    FUZZ_CHECK(fname == parts.fname);
    FUZZ_CHECK(ext == parts.ext);

    // Nothing is lost when every part fits, which a path of 255 bytes or less always does.
    const std::string joined = std::string(parts.drive) + parts.dir + parts.fname + parts.ext;
    const bool fits = nameStart - afterDrive <= 255 && extStart - nameStart <= 255 &&
                      path.size() - extStart <= 255;
    if (fits || path.size() <= 255)
        FUZZ_CHECK(joined == path);
    else
        FUZZ_CHECK(joined.size() < path.size());
    if (!std::string(parts.dir).empty() &&
        parts.dir == path.substr(afterDrive, nameStart - afterDrive))
        FUZZ_CHECK(parts.dir[std::strlen(parts.dir) - 1] == '\\' ||
                   parts.dir[std::strlen(parts.dir) - 1] == '/');
    if (parts.ext[0] != '\0') FUZZ_CHECK(parts.ext[0] == '.');

    // FileNameOf: the base name and extension joined, cut to whole characters.
    std::vector<char> out(static_cast<size_t>(outSize > 0 ? outSize : 1) + 16, 0x5A);
    FileNameOf(path.c_str(), isLead, out.data(), outSize);
    if (outSize <= 0) {
        FUZZ_CHECK(out[0] == 0x5A);  // nothing written
        return;
    }
    FUZZ_CHECK(Terminated(out.data(), static_cast<size_t>(outSize)));
    for (size_t i = static_cast<size_t>(outSize); i < out.size(); ++i) FUZZ_CHECK(out[i] == 0x5A);
    const std::string name =
        Cut(path, chars, nameStart, path.size(), static_cast<size_t>(outSize) - 1);
    FUZZ_CHECK(name == out.data());
    const std::string whole = path.substr(nameStart);
    if (whole.size() < static_cast<size_t>(outSize) && fname.size() + ext.size() == whole.size())
        FUZZ_CHECK(std::string(parts.fname) + parts.ext == out.data());
}

}  // namespace

// Input: one byte choosing FileNameOf's buffer size, then the path (up to its first zero).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const int kSizes[] = {260, 256, 1, 2, 3, 4, 0, -1};
    int outSize = data[0] < 8 ? kSizes[data[0]] : data[0];
    std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
    path = path.c_str();
    CheckOne(path, IsLeadByte932, outSize);
    CheckOne(path, IsLeadByteNone, outSize);
    return 0;
}
