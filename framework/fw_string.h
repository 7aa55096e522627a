// CString: the byte string (system ANSI code page) that dialogs and resources exchange.
// A thin wrapper over std::string; LoadString fetches a string-table entry by number.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* s) : text(s ? s : "") {}
    CString(const std::string& s) : text(s) {}

    // Loads string `id` in the resource language (AfxSetResourceLanguage), converted to
    // the ANSI code page as LoadStringA converts; a missing entry gives "".
    BOOL LoadString(UINT id);

    operator const char*() const { return text.c_str(); }
    const char* c_str() const { return text.c_str(); }
    int GetLength() const { return static_cast<int>(text.size()); }
    bool IsEmpty() const { return text.empty(); }
    void Empty() { text.clear(); }

    CString& operator=(const char* s) {
        text = s ? s : "";
        return *this;
    }
    CString& operator+=(const char* s) {
        text += s ? s : "";
        return *this;
    }
    CString& operator+=(const CString& s) {
        text += s.text;
        return *this;
    }
    friend CString operator+(const CString& a, const char* b) {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const CString& a, const CString& b) {
        CString r(a);
        r += b;
        return r;
    }
    bool operator==(const char* s) const { return text == (s ? s : ""); }
    bool operator!=(const char* s) const { return !(*this == s); }

private:
    std::string text;
};

// Conversions between the ANSI code page and UTF-16.
std::wstring AnsiToWide(const char* text);
// True only when `wide` has an ANSI form that converts back to exactly the same text: no
// character replaced by a default or a look-alike ("\u03A9" never becomes "O").
bool WideToAnsiExact(const std::wstring& wide, std::string* out);
