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
