// Rules for reaching the program's own files and registry value the same way on every
// Windows. Pure code: the system's answers come in as arguments.
#pragma once
#include <string>
#include <vector>

// One component of a path the system gave in UTF-16, in the ANSI code page: its own name
// when that converts exactly (`exact`; a prefix such as "\\server" has empty components),
// and its short (8.3) name when it has one that converts exactly, else empty.
struct NameForms {
    bool exact = false;
    std::string name;
    std::string shortForm;
};

// The program's path in the ANSI code page, from its components (the drive or share
// first, the file's name last): each folder by its exact name, else by its short name;
// the file's name only exact, since the settings file is named after it. Empty when a
// component has neither form, or the path would exceed 259 bytes.
std::string AnsiProgramPath(const std::vector<NameForms>& parts);

// Access flags that pick a registry view (KEY_WOW64_64KEY, KEY_WOW64_32KEY).
constexpr unsigned kKeyWow64View64 = 0x0100;
constexpr unsigned kKeyWow64View32 = 0x0200;

// Where the Run value lives: both builds use the 64-bit view on 64-bit Windows, so that
// one build sees what the other registered. `other` is the view a build of the other
// width would use by default; hasOther is false where there is only one view.
struct RegistryViews {
    unsigned main = 0;
    unsigned other = 0;
    bool hasOther = false;
};
RegistryViews RunKeyViews(bool process64, bool underWow64);

// A file's or folder's identity as the file system gives it: the volume's serial number
// and the file's id, 128 bits where the system has them (the 64-bit index fills the low
// half where it has not; ReFS's 64-bit index is not unique).
struct FileIdentity {
    unsigned long long volume = 0;
    unsigned char id[16] = {};
};
// Yes or No by identity; Unknown when either id is 0, as some network servers give it
// (then the names decide).
enum class SameIdentity { Yes, No, Unknown };
SameIdentity CompareIdentity(const FileIdentity& a, const FileIdentity& b);

// How a 32-bit process on 64-bit Windows reaches the file that `path` names for everyone
// else. Windows shows such a process SysWOW64 in place of `<windir>\System32` (but for a
// few folders); `<windir>\Sysnative` shows it the real one, where the system has that
// alias (Vista and later, XP x64 with an update). `windir` has no final separator.
enum class SystemReach {
    Same,         // not redirected: the path as it stands
    Through,      // through Sysnative: `reached`
    Unreachable,  // redirected, and no way round it
};
SystemReach ReachPastRedirection(const std::string& path, const std::string& windir,
                                 bool hasSysnative, std::string& reached);
