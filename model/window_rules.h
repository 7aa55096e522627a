// Decisions of the main window that need no window: the automatic run at start and
// the enable rules of the buttons. Pure code.
#pragma once
#include "model/file_table.h"
#include "model/settings.h"

struct AutoRunDecision {
    bool copyAtStart;
    bool closeAtOnce;
};

// "/q" or "/Q", compared whole; anything else (a trailing blank included) is no switch.
bool IsQuietSwitch(const char* argumentPart);
AutoRunDecision DecideAutoRun(const char* argumentPart, int autoCopyMode, int autoCopy);

// How a quiet run ended, for whoever started it (a scheduled task, a script): the exit
// status, few codes, each documented. Ordinary starts end with 0.
enum class QuietEnd {
    Copied,           // 0: every ticked file copied, or none ticked
    CopiedWithReport, // 1: copied, but files were left out or named in a report
    Blocked,          // 2: nothing copied: the record or another operation stood in the way
    Failed,           // 3: the copy failed or was cut
    NotCopying,       // 4: the settings say a quiet start copies nothing (mode, copy switch)
    AlreadyRunning,   // 5: another VellumBox runs; its window was brought forward
};
struct QuietRun {
    bool blocked;   // the gate refused the run, or another operation held the folder
    bool failed;    // a file cut, the shell's failure, no file done, or no destination
    bool reported;  // files were left out or named for the next showing
};
QuietEnd EndOfQuietCopy(const QuietRun& run);
int ExitCodeOf(QuietEnd end);

// Set: a change to save, a destination and at least one file.
bool SetButtonEnabled(int dirty, const AppSettings& settings, const FileTable& table);
// Copy and Restore: a destination and at least one file (ticks are not looked at).
bool RunButtonsEnabled(const AppSettings& settings, const FileTable& table);
bool SelectFileEnabled(const FileTable& table);
// Whether the end of the session restores: hidden, automatic mode, switch on, and the
// session really ending; an installer closing the program (Restart Manager) while the
// session goes on is no end of it.
bool RestoresAtSessionEnd(bool visible, int autoCopyMode, int autoRestore, bool ending,
                          bool closingAppOnly);
// Where a minimised window draws its icon: centred, rounding as integer division does.
void MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight, int& x,
                         int& y);
// A width given in pixels at 96 dots per inch, at `dpi`, rounded to the nearest pixel as
// MulDiv rounds. A dpi that is not positive (no device to ask) keeps the width.
int ScaledColumnWidth(int width, int dpi);
