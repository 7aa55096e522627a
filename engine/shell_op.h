// Hands a built request to the shell's file operation (copy with progress window).
#pragma once
#include <windows.h>
#include "engine/request.h"

// Returns the shell's result; makes no call (and returns 0) when the request is empty.
int IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle);
