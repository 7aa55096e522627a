// CString: the byte string (system ANSI code page) that dialogs and resources exchange.
// A thin wrapper over std::string; LoadString fetches a string-table entry by number.
#pragma once
#include <windows.h>
#include <initializer_list>
#include <string>
#include <vector>

// Joins the parts into `out` (`size` bytes, the final zero included), cut byte by byte
// where they no longer fit, as a bounded printf cuts.
inline void JoinCut(char* out, size_t size, std::initializer_list<const char*> parts) {
    if (size == 0) return;
    size_t used = 0;
    for (const char* part : parts)
        for (const char* c = part; *c && used + 1 < size; ++c) out[used++] = *c;
    out[used] = '\0';
}

// Whether `c` starts a two-byte character in the ANSI code page: the test that every path
// split and name comparison of the program's "A" strings needs.
inline bool IsLeadByteAcp(unsigned char c) { return ::IsDBCSLeadByte(c) != FALSE; }

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

// String `id`, as CString::LoadString gives it.
CString LoadText(UINT id);
// String `id` with `names` on lines of their own after its first paragraph: a message names
// its places right after saying what they are, and its advice (after a blank line in the
// string) comes below them.
CString TextNaming(UINT id, const std::vector<std::string>& names);

// The ANSI code page's bytes for a UTF-16 text, only when they stand for exactly that
// text: no best-fit letter ("\u03A9mega" is not "Omega") and no '?' for what the code page
// lacks. False otherwise, with `ansi` left empty.
bool WideToAnsiExactly(const wchar_t* wide, std::string& ansi);
// A zero-terminated UTF-16 text. A vector, because std::wstring brings about 24 KB of the
// runtime into the program for the few places that hold such texts.
using WideText = std::vector<wchar_t>;
// UTF-16 for an ANSI text, as the system's "A" functions read it.
WideText AnsiToWide(const char* ansi);
// `text` with `more` appended; both zero-terminated.
void AppendWide(WideText& text, const wchar_t* more);
