// Decisions of the main window that need no window: the automatic run at start and
// the enable rules of the buttons. Pure code.
#pragma once
#include <string>
#include <vector>
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

// What the state file in the destination says: the operation that began there and did
// not end checked (the program was killed, the power failed, a restore was left cut).
enum class Interrupted { None, Copy, Restore, Unknown };

enum class Gate { Run, Ask, Refuse };
// After an interrupted Restore the copies are good and the originals suspect: no Copy
// runs by itself, and a button press asks first; a Restore repairs. After an interrupted
// Copy the copies are suspect: the same the other way round. Unknown suspects both.
Gate GateOperation(Interrupted left, bool copying, bool fromButton);

// One line of a report that nobody has seen yet: a string number and a text (a path). A
// line without text heads the report of one automatic run.
struct ReportLine {
    unsigned textId;
    std::string text;
};
struct StateRecord {
    Interrupted left = Interrupted::None;
    std::vector<ReportLine> report;
};
// The state file's text: the operation under way ("Copy", "Restore", or an empty line),
// then one report line each, number and text split by a tab. File names hold neither tabs
// nor line ends. Any other first line reads back as Unknown.
std::string FormatState(const StateRecord& record);
StateRecord ParseState(const std::string& text);
