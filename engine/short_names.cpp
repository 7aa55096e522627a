#include "engine/short_names.h"
#include <windows.h>
#include <cwchar>
#include "engine/shell_op.h"
#include "framework/fw_string.h"
#include "model/path_split.h"

namespace {
// The names the system keeps for the file at `path`; false when there is none. Wildcards
// never reach here: such names are left out before.
bool FoundNames(const char* path, WIN32_FIND_DATAW& found) {
    WideText wide = AnsiToWide(path);
    HANDLE h = ::FindFirstFileW(wide.data(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::FindClose(h);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The last component of `path`, without the trailing dots and spaces the system drops
// (neither byte is ever the second byte of a double-byte character).
std::string LastName(const char* path) {
    char buffer[kPathSize];
    FileNameOf(path, IsLeadByteAcp, buffer, kPathSize);
    std::string name = buffer;
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}
}  // namespace

bool OtherFileNameA(const char* path, std::string& name) {
    WIN32_FIND_DATAW found;
    if (!FoundNames(path, found)) return false;
    std::string longName, shortName;
    // A name the code page cannot hold cannot be listed, so it meets no listed name.
    if (!WideToAnsiExactly(found.cFileName, longName)) return false;
    if (found.cAlternateFileName[0] && !WideToAnsiExactly(found.cAlternateFileName, shortName))
        shortName.clear();
    const std::string listed = LastName(path);
    if (!SameFileNameA(listed.c_str(), longName.c_str())) {
        name = longName;
        return true;
    }
    if (shortName.empty() || SameFileNameA(shortName.c_str(), longName.c_str())) return false;
    name = shortName;
    return true;
}

bool OpensAnotherNameA(const char* path) {
    WIN32_FIND_DATAW found;
    if (!FoundNames(path, found)) return false;
    std::string longName;
    if (!WideToAnsiExactly(found.cFileName, longName)) return true;
    return !SameFileNameA(LastName(path).c_str(), longName.c_str());
}

std::vector<NameForms> ComponentFormsW(const wchar_t* path) {
    std::vector<NameForms> parts;
    const size_t length = wcslen(path);
    size_t start = 0;
    for (size_t end = 0; end <= length; ++end) {
        if (end < length && path[end] != L'\\') continue;
        WideText name(path + start, path + end);
        name.push_back(L'\0');
        NameForms forms;
        forms.exact = WideToAnsiExactly(name.data(), forms.name);
        if (!forms.exact && end < length) {
            // A folder's short name is the last component of its own path's short form.
            WideText folder(path, path + end);
            folder.push_back(L'\0');
            WideText brief(32768, L'\0');
            DWORD n =
                ::GetShortPathNameW(folder.data(), brief.data(), static_cast<DWORD>(brief.size()));
            if (n > 0 && n < brief.size()) {
                const wchar_t* last = brief.data();
                for (const wchar_t* p = brief.data(); *p; ++p)
                    if (*p == L'\\') last = p + 1;
                if (!WideToAnsiExactly(last, forms.shortForm)) forms.shortForm.clear();
            }
        }
        parts.push_back(forms);
        start = end + 1;
    }
    return parts;
}
