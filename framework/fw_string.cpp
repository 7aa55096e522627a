#include "framework/fw_string.h"
#include "framework/fw_app.h"

BOOL CString::LoadString(UINT id) {
    // LoadStringA converts the stored UTF-16 into the ANSI code page; grow the buffer
    // until the text fits, so no entry is ever cut.
    for (int size = 256; size <= 65536; size *= 4) {
        std::string buf(static_cast<size_t>(size), '\0');
        int n = ::LoadStringA(AfxGetResourceHandle(), id, &buf[0], size);
        if (n < size - 2) {
            buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
            text = buf;
            return n > 0;
        }
    }
    text.clear();
    return FALSE;
}

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text) return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

bool WideToAnsiExact(const std::wstring& wide, std::string* out) {
    out->clear();
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), length, nullptr, 0,
                                  nullptr, &usedDefault);
    // Code pages such as UTF-8 refuse both the flag and the used-default report; the
    // round trip below judges those.
    const bool plain = n <= 0;
    if (plain)
        n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    std::string ansi(static_cast<size_t>(n), '\0');
    usedDefault = FALSE;
    if (plain)
        n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), length, &ansi[0], n, nullptr, nullptr);
    else
        n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), length, &ansi[0], n,
                                  nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    ansi.resize(static_cast<size_t>(n));
    if (AnsiToWide(ansi.c_str()) != wide) return false;
    *out = ansi;
    return true;
}
