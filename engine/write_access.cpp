#include "engine/write_access.h"
#include <aclapi.h>
#include <sddl.h>
#include <string>
#include <vector>
#include "framework/fw_string.h"

namespace {
// Rights that let someone change what the object holds or who may: data, deletion (of the
// object or, in a folder, of its files), permissions, ownership.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD |
                                     DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
// On a folder above: renaming it away, deleting or renaming its child on the path, and
// the rights that grant those.
constexpr ACCESS_MASK kAboveRights =
    FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

// A SID made from its string form, freed with the object.
class Sid {
public:
    explicit Sid(const char* text) { ::ConvertStringSidToSidA(text, &sid); }
    ~Sid() {
        if (sid) ::LocalFree(sid);
    }
    Sid(const Sid&) = delete;
    Sid& operator=(const Sid&) = delete;
    bool Is(PSID other) const { return sid && other && ::EqualSid(sid, other); }

private:
    PSID sid = nullptr;
};

template <size_t N>
bool IsAnyOf(const Sid (&sids)[N], PSID sid) {
    for (const Sid& s : sids)
        if (s.Is(sid)) return true;
    return false;
}

// Groups every other local user belongs to: Everyone, Authenticated Users, Users,
// Interactive.
bool IsEveryoneGroup(PSID sid) {
    static const Sid groups[] = {Sid("S-1-1-0"), Sid("S-1-5-11"), Sid("S-1-5-32-545"),
                                 Sid("S-1-5-4")};
    return IsAnyOf(groups, sid);
}

// Administrators, SYSTEM, TrustedInstaller, CREATOR OWNER (which stands for the owner,
// judged by itself), and Power Users: on XP they may change "C:\Program Files" and can make
// themselves administrators anyway.
bool IsTrusted(PSID sid, PSID self) {
    static const Sid trusted[] = {
        Sid("S-1-5-32-544"), Sid("S-1-5-18"), Sid("S-1-5-32-547"),
        Sid("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"), Sid("S-1-3-0")};
    return (self && ::EqualSid(sid, self)) || IsAnyOf(trusted, sid);
}

struct Entry {
    bool allow;
    ACCESS_MASK mask;
    PSID sid;
};

// The ACEs that apply to the object itself, in order.
std::vector<Entry> EntriesOf(PACL dacl) {
    std::vector<Entry> entries;
    ACL_SIZE_INFORMATION info = {};
    if (!::GetAclInformation(dacl, &info, sizeof info, AclSizeInformation)) return entries;
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto* a = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            entries.push_back({true, a->Mask, &a->SidStart});
        } else if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            auto* d = static_cast<ACCESS_DENIED_ACE*>(ace);
            entries.push_back({false, d->Mask, &d->SidStart});
        }
    }
    return entries;
}

// Rights a principal gets that matches `applies`, the ACEs read in order as Windows reads
// them: a right denied before it is allowed stays denied.
template <typename Applies>
ACCESS_MASK Granted(const std::vector<Entry>& entries, Applies applies) {
    ACCESS_MASK denied = 0, granted = 0;
    for (const Entry& e : entries) {
        if (!applies(e.sid)) continue;
        if (e.allow)
            granted |= e.mask & ~denied;
        else
            denied |= e.mask & ~granted;
    }
    return granted;
}

// Where `path`'s separators stand, stepping over double-byte characters whole: a trail
// byte may be '\\'.
std::vector<size_t> SeparatorsOf(const std::string& path) {
    std::vector<size_t> cuts;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByteAcp(static_cast<unsigned char>(path[i])) && i + 1 < path.size())
            ++i;
        else if (path[i] == '\\' || path[i] == '/')
            cuts.push_back(i);
    }
    return cuts;
}

// The nearest existing path at or above `path`; empty when none exists.
std::string ExistingPath(const char* path) {
    std::string p = path;
    if (::GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES) return p;
    const std::vector<size_t> cuts = SeparatorsOf(p);
    for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
        std::string up = p.substr(0, *cut + 1);
        if (up.size() < p.size() && ::GetFileAttributesA(up.c_str()) != INVALID_FILE_ATTRIBUTES)
            return up;
    }
    return std::string();
}

bool HasAccessControl(const std::string& path) {
    char root[MAX_PATH];
    if (!::GetVolumePathNameA(path.c_str(), root, MAX_PATH)) return true;
    DWORD flags = 0;
    if (!::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return true;
    return (flags & FILE_PERSISTENT_ACLS) != 0;
}

// The SID of the user this process runs as, in `buffer`.
PSID CurrentUser(std::vector<BYTE>& buffer) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    buffer.assign(size ? size : 1, 0);
    bool ok = size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    return ok ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid : nullptr;
}
}  // namespace

bool OthersMayWrite(PSECURITY_DESCRIPTOR sd, PSID self, Reach reach) {
    const ACCESS_MASK rights = reach == Reach::Object ? kWriteRights : kAboveRights;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted)) return true;
    if (!present || !dacl) return true;  // no DACL: full access for everyone

    // The owner may always change the permissions.
    PSID owner = nullptr;
    if (::GetSecurityDescriptorOwner(sd, &owner, &defaulted) && owner && !IsTrusted(owner, self))
        return true;

    const std::vector<Entry> entries = EntriesOf(dacl);
    // Any other user: the groups everyone is in.
    if (Granted(entries, IsEveryoneGroup) & rights) return true;
    // A user or group named by itself, who is also in those groups.
    for (const Entry& e : entries) {
        if (!e.allow || !(e.mask & rights) || IsTrusted(e.sid, self)) continue;
        PSID named = e.sid;
        auto applies = [named](PSID sid) { return ::EqualSid(sid, named) || IsEveryoneGroup(sid); };
        if (Granted(entries, applies) & rights) return true;
    }
    return false;
}

namespace {
// One descriptor judged: read by name (which follows links), or, for a link, of the link
// itself. Unreadable counts as open.
bool OpenToOthers(const std::string& path, Reach reach, PSID self, bool linkItself) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD status;
    if (linkItself) {
        HANDLE h = ::CreateFileA(
            path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
            nullptr);
        if (h == INVALID_HANDLE_VALUE) return true;
        status =
            ::GetSecurityInfo(h, SE_FILE_OBJECT, what, nullptr, nullptr, nullptr, nullptr, &sd);
        ::CloseHandle(h);
    } else {
        status = ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, what, nullptr, nullptr,
                                         nullptr, nullptr, &sd);
    }
    if (status != ERROR_SUCCESS) return true;
    bool open = OthersMayWrite(sd, self, reach);
    ::LocalFree(sd);
    return open;
}

bool IsLink(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The folders above `path`, nearest first, up to the drive ("C:\") or the share's root
// ("\\server\share\").
std::vector<std::string> FoldersAbove(const std::string& path) {
    const std::vector<size_t> cuts = SeparatorsOf(path);
    const bool share = cuts.size() >= 2 && cuts[0] == 0 && cuts[1] == 1;
    const size_t first = share ? 3 : 0;  // the separator that ends the drive or the share
    std::vector<std::string> folders;
    for (size_t k = cuts.size(); k-- > first;) {
        // A separator ending the path itself is no folder above.
        if (cuts[k] + 1 >= path.size()) continue;
        folders.push_back(path.substr(0, cuts[k] + 1));
    }
    return folders;
}
}  // namespace

bool OthersMayWritePath(const char* path) {
    std::string existing = ExistingPath(path);
    if (existing.empty()) return false;  // nothing there to judge, nor to be steered by
    std::vector<BYTE> user;
    PSID self = CurrentUser(user);
    bool open = OpenToOthers(existing, Reach::Object, self, false) ||
                (IsLink(existing) && OpenToOthers(existing, Reach::Object, self, true));
    // Whoever may rename a folder above, or its child on the way, can put another in its
    // place; a link on the way counts by itself too.
    for (const std::string& above : FoldersAbove(existing)) {
        if (open) break;
        open = OpenToOthers(above, Reach::Above, self, false) ||
               (IsLink(above) && OpenToOthers(above, Reach::Object, self, true));
    }
    // Permissions mean nothing on a volume that does not keep them (FAT). Asked last: the
    // volume's information is the dearest question here.
    return open || !HasAccessControl(existing);
}
