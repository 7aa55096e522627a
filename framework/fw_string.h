// CString: the byte string (system ANSI code page) that dialogs and resources exchange.
// A thin wrapper over std::string; LoadString fetches a string-table entry by number.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <string>

// Joins the parts into `out` (`size` bytes, the final zero included), cut byte by byte
// where they no longer fit, as a bounded printf cuts.
inline void JoinCut(char* out, size_t size, std::initializer_list<const char*> parts) {
    if (size == 0) return;
    size_t used = 0;
    for (const char* part : parts)
        for (const char* c = part; *c && used + 1 < size; ++c) out[used++] = *c;
    out[used] = '\0';
}

class CString {
public:
    CString() = default;
    CString(const char* s) : text(s ? s : "") {}
    CString(const std::string& s) : text(s) {}

    // Loads string `id` of the language the system picks; a missing entry gives "".
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
