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
