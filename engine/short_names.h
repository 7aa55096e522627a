// The file system's short (8.3) names: for building requests (ShortNames in request.h),
// and for the program's own path where a folder's long name does not fit the code page.
#pragma once
#include <string>
#include <vector>
#include "model/system_rules.h"

// The other name of an existing file: its short name, or its long name when `path` spells
// the short one. False when the file is missing or has one name only.
bool OtherFileNameA(const char* path, std::string& name);
// Whether `path` opens an existing file whose own (long) name is another than the one
// `path` ends in: "LONGFI~1.TXT" opening "longfilename.txt".
bool OpensAnotherNameA(const char* path);
// Each component of `path` with its exact ANSI name, or, for a folder whose name does not
// convert exactly, its short name where it has one that does.
std::vector<NameForms> ComponentFormsW(const wchar_t* path);
