#include "ui/version_reader.h"
#include <cstdio>
#include <cstring>

VersionReader::VersionReader(const char* path) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return;
    versionData.resize(size);
    if (!::GetFileVersionInfoA(path, 0, size, versionData.data())) {
        versionData.clear();
        return;
    }
    void* list = nullptr;
    UINT listLength = 0;
    // A list shorter than one pair would send the reads below past its end.
    if (::VerQueryValueA(versionData.data(), "\\VarFileInfo\\Translation", &list, &listLength) &&
        list && listLength >= 2 * sizeof(WORD)) {
        translation = static_cast<const WORD*>(list);
    }
}

CString VersionReader::Query(const char* key) const {
    if (!translation) return CString();
    char subBlock[128];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04X%04X\\%s", translation[0],
                  translation[1], key);
    void* value = nullptr;
    UINT length = 0;
    // VerQueryValue takes a non-const block; it does not write to it.
    auto* block = const_cast<unsigned char*>(versionData.data());
    if (!::VerQueryValueA(block, subBlock, &value, &length) || !value || length == 0)
        return CString();
    const char* text = static_cast<const char*>(value);
    return CString(std::string(text, strnlen(text, length)));
}
