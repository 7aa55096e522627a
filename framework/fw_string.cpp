#include "framework/fw_string.h"
#include "framework/fw_app.h"
#include <algorithm>

namespace {
// Entry `id` of its string block in `language`: blocks hold 16 entries, block n the ids
// 16(n-1) to 16n-1, each a count of UTF-16 units followed by that many units. False when
// the block is absent in that language.
bool StringInLanguage(UINT id, LANGID language, WideText& out) {
    HINSTANCE inst = AfxGetResourceHandle();
    HRSRC res = ::FindResourceExA(inst, MAKEINTRESOURCEA(6) /* RT_STRING */,
                                  MAKEINTRESOURCEA((id >> 4) + 1), language);
    HGLOBAL loaded = res ? ::LoadResource(inst, res) : nullptr;
    const auto* units = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (!units) return false;
    size_t count = ::SizeofResource(inst, res) / sizeof(WCHAR);
    size_t at = 0;
    for (UINT i = 0; i < (id & 15); ++i) {
        if (at >= count) return false;
        at += 1 + units[at];
    }
    if (at >= count) return false;
    size_t length = units[at];
    if (length > count - at - 1) return false;
    out.assign(units + at + 1, units + at + 1 + length);
    return true;
}
}  // namespace

BOOL CString::LoadString(UINT id) {
    if (LANGID language = AfxGetResourceLanguage()) {
        WideText wide;
        if (StringInLanguage(id, language, wide)) {
            // The ANSI code page with its default character, as LoadStringA converts.
            int n = wide.empty() ? 0
                                 : ::WideCharToMultiByte(CP_ACP, 0, wide.data(),
                                                         static_cast<int>(wide.size()), nullptr, 0,
                                                         nullptr, nullptr);
            std::string buf(static_cast<size_t>(n > 0 ? n : 0), '\0');
            if (n > 0)
                ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      &buf[0], n, nullptr, nullptr);
            text = buf;
            return !text.empty();
        }
    }
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

CString LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}

CString TextNaming(UINT id, const std::vector<std::string>& names) {
    const std::string text = LoadText(id).c_str();
    const size_t advice = text.find("\n\n");
    std::string message = text.substr(0, advice);
    for (const std::string& name : names) message.append("\n").append(name);
    if (advice != std::string::npos) message += text.substr(advice);
    return CString(message);
}

bool WideToAnsiExactly(const wchar_t* wide, std::string& ansi) {
    ansi.clear();
    BOOL usedDefault = FALSE;
    int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr,
                                  &usedDefault);
    // Some code pages (UTF-8 as the system's, on recent Windows) take neither the flag nor
    // the default-character report: the round trip below decides for them.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    if (n <= 0) {
        flags = 0;
        usedDefault = FALSE;
        n = ::WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    }
    if (n <= 0 || usedDefault) return false;
    std::string bytes(static_cast<size_t>(n), '\0');
    if (::WideCharToMultiByte(CP_ACP, flags, wide, -1, &bytes[0], n, nullptr, nullptr) != n)
        return false;
    bytes.resize(static_cast<size_t>(n - 1));
    WideText back = AnsiToWide(bytes.c_str());
    if (!std::equal(back.begin(), back.end(), wide)) return false;
    ansi = bytes;
    return true;
}

WideText AnsiToWide(const char* ansi) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    WideText wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), n);
    return wide;
}

void AppendWide(WideText& text, const wchar_t* more) {
    if (!text.empty()) text.pop_back();
    do text.push_back(*more);
    while (*more++);
}
