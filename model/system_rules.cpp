#include "model/system_rules.h"

std::string AnsiProgramPath(const std::vector<NameForms>& parts) {
    std::string path;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        if (i > 0) path += '\\';
        if (parts[i].exact)
            path += parts[i].name;
        else if (!last && !parts[i].shortForm.empty())
            path += parts[i].shortForm;
        else
            return std::string();
    }
    return path.size() < 260 ? path : std::string();
}

RegistryViews RunKeyViews(bool process64, bool underWow64) {
    if (process64) return {0, kKeyWow64View32, true};
    if (underWow64) return {kKeyWow64View64, 0, true};
    return {};
}

namespace {
bool IsZero(const FileIdentity& f) {
    for (unsigned char byte : f.id)
        if (byte != 0) return false;
    return true;
}
}  // namespace

SameIdentity CompareIdentity(const FileIdentity& a, const FileIdentity& b) {
    if (IsZero(a) || IsZero(b)) return SameIdentity::Unknown;
    for (size_t i = 0; i < sizeof a.id; ++i)
        if (a.id[i] != b.id[i]) return SameIdentity::No;
    return a.volume == b.volume ? SameIdentity::Yes : SameIdentity::No;
}
