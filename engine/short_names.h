// The file system's short (8.3) names, for building requests (ShortNames in request.h).
#pragma once
#include <string>

// The other name of an existing file: its short name, or its long name when `path` spells
// the short one. False when the file is missing or has one name only.
bool OtherFileNameA(const char* path, std::string& name);
// Whether `path` opens an existing file whose own (long) name is another than the one
// `path` ends in: "LONGFI~1.TXT" opening "longfilename.txt".
bool OpensAnotherNameA(const char* path);
