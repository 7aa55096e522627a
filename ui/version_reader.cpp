#include "ui/version_reader.h"
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
    // Language and code page as eight upper-case hex digits, "040904B0".
    char code[9];
    const char kHex[] = "0123456789ABCDEF";
    for (int i = 0; i < 8; ++i) code[i] = kHex[(translation[i / 4] >> (12 - 4 * (i % 4))) & 15];
    code[8] = '\0';
    char subBlock[128];
    JoinCut(subBlock, sizeof subBlock, {"\\StringFileInfo\\", code, "\\", key});
    void* value = nullptr;
    UINT length = 0;
    // VerQueryValue takes a non-const block; it does not write to it.
    auto* block = const_cast<unsigned char*>(versionData.data());
    if (!::VerQueryValueA(block, subBlock, &value, &length) || !value || length == 0)
        return CString();
    const char* text = static_cast<const char*>(value);
    return CString(std::string(text, strnlen(text, length)));
}
