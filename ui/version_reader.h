// VersionReader: the string values of a file's version resource.
//
//     VersionReader reader(path);
//     CString version = reader.GetProductVersion();  // "" when the file has none
//
// Values are looked up under the first translation pair of the file only.
#pragma once
#include <windows.h>
#include <vector>
#include "framework/fw_string.h"

class VersionReader {
public:
    explicit VersionReader(const char* path);
    VersionReader(const VersionReader&) = delete;
    VersionReader& operator=(const VersionReader&) = delete;

    CString GetCompanyName() const { return Query("CompanyName"); }
    CString GetInternalName() const { return Query("InternalName"); }
    CString GetLegalCopyright() const { return Query("LegalCopyright"); }
    CString GetProductVersion() const { return Query("ProductVersion"); }

private:
    CString Query(const char* key) const;

    std::vector<unsigned char> versionData;  // the whole version block, owned
    const WORD* translation = nullptr;       // language, code page; points into versionData
};
