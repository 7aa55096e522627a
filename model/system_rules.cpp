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

namespace {
// `path` begins with the folder `folder` (letters of any case, '/' as '\\'); `rest` is
// what follows, from its separator on.
bool Under(const std::string& path, const std::string& folder, std::string& rest) {
    if (path.size() < folder.size()) return false;
    for (size_t k = 0; k < folder.size(); ++k) {
        char a = path[k] == '/' ? '\\' : path[k], b = folder[k] == '/' ? '\\' : folder[k];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    rest = path.substr(folder.size());
    return rest.empty() || rest[0] == '\\' || rest[0] == '/';
}
}  // namespace

SystemReach ReachPastRedirection(const std::string& path, const std::string& windir,
                                 bool hasSysnative, std::string& reached) {
    std::string rest, inner;
    if (windir.empty()) return SystemReach::Same;
    if (Under(path, windir + "\\lastgood\\system32", rest) || Under(path, windir + "\\regedit.exe", rest))
        return SystemReach::Unreachable;
    if (!Under(path, windir + "\\System32", rest)) return SystemReach::Same;
    // Through Sysnative every folder is the real one, the exempt ones included.
    if (hasSysnative) {
        reached = windir + "\\Sysnative" + rest;
        return SystemReach::Through;
    }
    // Without it only the folders Windows leaves alone are reached as they stand.
    for (const char* exempt : {"\\catroot", "\\catroot2", "\\drivers\\etc", "\\logfiles", "\\spool"})
        if (Under(rest, exempt, inner)) return SystemReach::Same;
    return SystemReach::Unreachable;
}
