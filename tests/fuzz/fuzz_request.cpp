// Copy and Restore requests built from arbitrary tables and destinations.
// Paths are put together from pieces chosen by the input (drives, separators, letters in
// both cases, wildcards, double-byte characters whose second byte is 0x5C, raw bytes), so
// clashes and duplicates come up often.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/request.h"
#include "model/path_split.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char* const kPieces[] = {
    "C:\\",     "D:/",      "\\\\srv\\share\\",
    "\\",       "/",        "a",
    "A",        "b",        "B",
    "dir\\",    "Dir\\",    ".txt",
    ".TXT",     ".",        "*",
    "?",        "\x95\x5c", "\x83\x5c",
    "\x82\xa0", "\x81",     " ",
    "x.doc",    "X.DOC",
};

std::string MakePath(FuzzedDataProvider& in, size_t maxLen) {
    std::string s;
    int pieces = in.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < pieces && in.remaining_bytes() > 0; ++i) {
        if (in.ConsumeBool()) {
            s +=
                kPieces[in.ConsumeIntegralInRange<size_t>(0, sizeof kPieces / sizeof *kPieces - 1)];
        } else {
            std::string raw = in.ConsumeRandomLengthString(16);
            s += raw.c_str();
        }
    }
    if (s.size() > maxLen) s.resize(maxLen);
    return s;
}

int32_t MakeTick(FuzzedDataProvider& in) {
    static const int32_t kTicks[] = {1, 0, 1, 2, -1};
    return kTicks[in.ConsumeIntegralInRange<int>(0, 4)];
}

// Splits a zero-separated list ending in an extra zero; false when it is malformed.
bool ParseList(const std::string& list, std::vector<std::string>& names) {
    names.clear();
    if (list.empty() || list.back() != '\0') return false;
    const std::string body = list.substr(0, list.size() - 1);
    if (body.empty()) return true;
    if (body.back() != '\0') return false;
    size_t pos = 0;
    while (pos < body.size()) {
        size_t z = body.find('\0', pos);
        if (z == pos) return false;  // an empty name would end the list early
        names.push_back(body.substr(pos, z - pos));
        pos = z + 1;
    }
    return true;
}

char Fold(char c) {
    if (c == '/') return '\\';
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Folded(const std::string& s, LeadByteFn isLead) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            out += s[i];
            out += s[++i];
        } else {
            out += Fold(s[i]);
        }
    }
    return out;
}

std::string NameOf(const std::string& path, LeadByteFn isLead) {
    char name[kPathSize];
    FileNameOf(path.c_str(), isLead, name, kPathSize);
    return name;
}

bool EndsWithSeparator(const std::string& dir, LeadByteFn isLead) {
    bool last = false;
    for (size_t i = 0; i < dir.size(); ++i) {
        if (isLead(static_cast<unsigned char>(dir[i])) && i + 1 < dir.size()) {
            ++i;
            last = false;
        } else {
            last = dir[i] == '\\' || dir[i] == '/';
        }
    }
    return last;
}

void Check(const FileTable& table, const std::string& dest, int overwrite, bool copying,
           LeadByteFn isLead) {
    const FileRequest r = copying
                              ? BuildCopyRequest(table, dest.c_str(), overwrite, isLead,
                                                 {nullptr, nullptr, nullptr, "VellumBox.state"})
                              : BuildRestoreRequest(table, dest.c_str(), overwrite, isLead,
                                                    {nullptr, nullptr, nullptr, "VellumBox.state"});
    unsigned flags = kFofSimpleProgress | kFofNoConfirmMkdir;
    if (!copying) flags |= kFofMultiDestFiles;
    if (overwrite == 1) flags |= kFofNoConfirmation;
    FUZZ_CHECK(r.flags == flags);
    FUZZ_CHECK(r.count >= 0 && r.count <= kMaxFiles);
    // No folder, or one that depends on the current folder: no request at all.
    FUZZ_CHECK(r.relativeDest == (!dest.empty() && !IsAbsolutePath(dest.c_str())));
    if (dest.empty() || r.relativeDest) {
        FUZZ_CHECK(r.count == 0);
        return;
    }

    std::vector<std::string> from, to;
    FUZZ_CHECK(ParseList(r.from, from));
    FUZZ_CHECK(ParseList(r.to, to));
    FUZZ_CHECK(static_cast<int>(from.size()) == r.count);
    FUZZ_CHECK(static_cast<int>(r.pairs.size()) == r.count);
    const std::string folder = EndsWithSeparator(dest, isLead) ? dest : dest + "\\";
    if (copying) {
        FUZZ_CHECK(to.size() == 1 && to[0] == folder);
    } else {
        FUZZ_CHECK(static_cast<int>(to.size()) == r.count);
    }
    // The originals: what Copy reads and what Restore writes.
    const std::vector<std::string>& originals = copying ? from : to;
    std::vector<std::string> names;
    for (size_t i = 0; i < originals.size(); ++i) {
        const std::string& path = originals[i];
        // No wildcard byte reaches the shell: '*' and '?' are never the second byte of a
        // double-byte character either.
        FUZZ_CHECK(path.find_first_of("*?") == std::string::npos);
        const std::string name = NameOf(path, isLead);
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(r.pairs[i].source == from[i]);
        FUZZ_CHECK(r.pairs[i].target == (copying ? folder + name : to[i]));
        if (!copying) {
            FUZZ_CHECK(from[i] == folder + name);
            FUZZ_CHECK(from[i].find_first_of("*?", folder.size()) == std::string::npos);
        }
        // Each taken file comes from a ticked slot.
        bool found = false;
        for (int k = 0; k < kMaxFiles && !found; ++k) {
            const FileEntry& e = table.entries[k];
            found = path == e.path && (copying ? e.copy : e.restore) == 1;
        }
        FUZZ_CHECK(found);
        // No two taken files meet at one place in the folder.
        const std::string folded = Folded(name, isLead);
        for (const std::string& seen : names) FUZZ_CHECK(seen != folded);
        names.push_back(folded);
    }
    // Every ticked file is taken, left out for one of the reasons, or the same path as a
    // taken one; nothing left out is taken.
    const std::vector<std::string>* reasons[] = {&r.leftOut,   &r.badName, &r.relative, &r.tooLong,
                                                 &r.ownFolder, &r.missing, &r.reserved};
    for (int k = 0; k < kMaxFiles; ++k) {
        const FileEntry& e = table.entries[k];
        if (e.path[0] == '\0' || (copying ? e.copy : e.restore) != 1) continue;
        const std::string folded = Folded(e.path, isLead);
        bool accounted = false;
        for (const std::string& p : originals) accounted = accounted || Folded(p, isLead) == folded;
        for (const auto* reason : reasons)
            for (const std::string& p : *reason)
                accounted = accounted || Folded(p, isLead) == folded;
        FUZZ_CHECK(accounted);
    }
    for (const auto* reason : reasons)
        for (const std::string& p : *reason)
            for (const std::string& q : originals)
                FUZZ_CHECK(Folded(p, isLead) != Folded(q, isLead));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    FileTable table;
    std::memset(&table, 0, sizeof table);
    table.count = in.ConsumeIntegral<int32_t>();  // not looked at by the builders
    const int used = in.ConsumeIntegralInRange<int>(0, kMaxFiles);
    const bool holes = in.ConsumeBool();
    for (int k = 0; k < used; ++k) {
        FileEntry& e = table.entries[k];
        std::string path =
            (holes && in.ConsumeBool()) ? std::string() : MakePath(in, kPathSize - 1);
        std::memcpy(e.path, path.c_str(), path.size() + 1);
        e.copy = MakeTick(in);
        e.restore = MakeTick(in);
    }
    const int overwrite = MakeTick(in);
    const std::string dest = MakePath(in, kPathSize - 1);
    for (LeadByteFn isLead : {IsLeadByte932, IsLeadByteNone}) {
        Check(table, dest, overwrite, true, isLead);
        Check(table, dest, overwrite, false, isLead);
    }
    // No destination at all.
    FUZZ_CHECK(BuildCopyRequest(table, nullptr, overwrite, IsLeadByte932).count == 0);
    FUZZ_CHECK(BuildRestoreRequest(table, nullptr, overwrite, IsLeadByte932).count == 0);
    return 0;
}
