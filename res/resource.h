// Resource identifiers shared by the C++ code and the resource script.
// Plain #defines only, so windres and the compilers read the same file.
#ifndef VELLUMBOX_RES_RESOURCE_H
#define VELLUMBOX_RES_RESOURCE_H

// Icon (one group, used by every window)
#define IDR_MAINFRAME 128

// About box
#define IDD_ABOUTBOX 100
#define IDC_INTERNAL_NAME 1009
#define IDC_VERSION 1010
#define IDC_COPYRIGHT 1011
#define IDC_COMPANY 1012

// Main window
#define IDD_VELLUMBOX_DIALOG 102
#define IDC_ABOUT 1000
#define IDC_SELECT_DEST 1001
#define IDC_DEST_DIR 1002
#define IDC_FILE_LIST 1003
#define IDC_COPY 1004
#define IDC_RESTORE 1005
#define IDC_SELECT_FILE 1006
#define IDC_SET 1007
#define IDC_AUTO_COPY 1008
// Shares its number with IDC_INTERNAL_NAME; ids only need to be unique per dialog.
#define IDC_OVERWRITE 1009

// Start-up registration dialog
#define IDD_STARTUP 129
#define IDC_STARTUP_SET 1013
#define IDC_STARTUP_CLEAR 1014

// String table
#define IDS_ABOUTBOX 101
#define IDS_TICK_ON 102
#define IDS_TICK_OFF 103
#define IDS_DELETE_QUESTION 104
#define IDS_COL_PATH 105
#define IDS_COL_COPY 106
#define IDS_COL_RESTORE 107
#define IDS_BROWSE_TITLE 108
#define IDS_COPY_PROGRESS 109
#define IDS_RESTORE_PROGRESS 110
#define IDS_HIDE_WINDOW 111
#define IDS_REGISTER_STARTUP 112
#define IDS_SAVE_FAILED 113
#define IDS_NAME_CLASH 114
#define IDS_NOT_FOUND 115
#define IDS_COPY_NOT_FOUND 165
#define IDS_COPY_INCOMPLETE 116
#define IDS_RESTORE_INCOMPLETE 117
#define IDS_RESTORING_REASON 118
#define IDS_BAD_NAME 120
#define IDS_RELATIVE_PATH 121
#define IDS_RELATIVE_DEST 122
#define IDS_NAME_NOT_KEPT 123
#define IDS_CHANGED_WHILE_COPIED 124
#define IDS_OWN_FOLDER 125
#define IDS_PATH_TOO_LONG 126
#define IDS_STATE_NAME 127
#define IDS_INTERRUPTED_COPY 128
#define IDS_INTERRUPTED_RESTORE 129
#define IDS_INTERRUPTED_UNKNOWN 130
#define IDS_ASK_COPY_ANYWAY 131
#define IDS_ASK_RESTORE_ANYWAY 132
#define IDS_RUN_START_COPY 133
#define IDS_RUN_QUIET_COPY 134
#define IDS_RUN_SESSION_RESTORE 135
#define IDS_RECORD_BUSY 136
#define IDS_RESTORE_DUE 137
#define IDS_NOT_COPIED 138
#define IDS_NOT_RESTORED 139
#define IDS_COPY_OF_OTHER 144
#define IDS_COPY_CHANGED 145
#define IDS_SESSION_NO_DEST 146
#define IDS_RUN_SEVERAL 147
#define IDS_NOT_COPIED_UNSEEN 148
// The automatic cycle per file, and copies changed since they were made
#define IDS_ASK_RESTORE_EDITED 184
#define IDS_OWED_NOT_COPIED 185
#define IDS_SAVED_AFTER_RESTORE 186
// Start-up registration dialog
#define IDS_STARTUP_NEEDS_ADMIN 119
#define IDS_STARTUP_FOLDER_OPEN 140
#define IDS_STARTUP_FOLDER_ADVICE 141
#define IDS_STARTUP_CLEAR_NEEDS_ADMIN 164
// Reports of automatic runs about places others can change
#define IDS_AUTO_OPEN_SETTINGS 142
#define IDS_AUTO_OPEN_DEST 143
// Dropped files and the list's context menu
#define IDS_DROP_FOLDERS 150
#define IDS_DROP_LIST_FULL 152
#define IDS_MENU_COPY 153
#define IDS_MENU_RESTORE 154
#define IDS_MENU_DELETE 155
// Names the code page cannot hold, and joined paths too long
#define IDS_DEST_NOT_KEPT 160
#define IDS_PROGRAM_PATH_UNNAMED 161
#define IDS_JOINED_TOO_LONG 162
#define IDS_SYSTEM_VIEW 163
// Files and the record that cannot be put on the disk for certain
#define IDS_NOT_SETTLED 180
#define IDS_CUT_COPY_KEPT 181
#define IDS_RECORD_NOT_UPDATED 182
#define IDS_RECORD_REASON 183

#endif
