#include "model/window_rules.h"
#include <cstring>

bool IsQuietSwitch(const char* argumentPart) {
    return argumentPart &&
           (std::strcmp(argumentPart, "/q") == 0 || std::strcmp(argumentPart, "/Q") == 0);
}

AutoRunDecision DecideAutoRun(const char* argumentPart, int autoCopyMode, int autoCopy) {
    if (IsQuietSwitch(argumentPart)) return {autoCopyMode == 2 && autoCopy == 1, true};
    return {autoCopyMode == 1 && autoCopy == 1, false};
}

QuietEnd EndOfQuietCopy(const QuietRun& run) {
    if (run.blocked) return QuietEnd::Blocked;
    if (run.failed) return QuietEnd::Failed;
    return run.reported ? QuietEnd::CopiedWithReport : QuietEnd::Copied;
}

int ExitCodeOf(QuietEnd end) { return static_cast<int>(end); }

static bool HasDestinationAndFiles(const AppSettings& settings, const FileTable& table) {
    return settings.destDir[0] != '\0' && table.count >= 1;
}

bool SetButtonEnabled(int dirty, const AppSettings& settings, const FileTable& table) {
    return dirty == 1 && HasDestinationAndFiles(settings, table);
}

bool RunButtonsEnabled(const AppSettings& settings, const FileTable& table) {
    return HasDestinationAndFiles(settings, table);
}

bool SelectFileEnabled(const FileTable& table) { return table.count < kMaxFiles; }

bool RestoresAtSessionEnd(bool visible, int autoCopyMode, int autoRestore, bool ending,
                          bool closingAppOnly) {
    return ending && !closingAppOnly && !visible && autoCopyMode != 0 && autoRestore == 1;
}

void MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight, int& x,
                         int& y) {
    x = (clientWidth - iconWidth + 1) / 2;
    y = (clientHeight - iconHeight + 1) / 2;
}

int ScaledColumnWidth(int width, int dpi) {
    if (dpi <= 0) return width;
    long long scaled = static_cast<long long>(width) * dpi;
    // Halves round away from zero.
    scaled += scaled < 0 ? -48 : 48;
    return static_cast<int>(scaled / 96);
}
