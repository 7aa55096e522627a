#include "engine/shell_op.h"
#include <shellapi.h>

int IssueShellCopy(HWND owner, const FileRequest& request, const char* progressTitle) {
    if (request.count <= 0) return 0;
    SHFILEOPSTRUCTA op = {};
    op.hwnd = owner;
    op.wFunc = FO_COPY;
    // The lists carry their own zero bytes; std::string adds the final terminator.
    op.pFrom = request.from.c_str();
    op.pTo = request.to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(request.flags);
    op.lpszProgressTitle = progressTitle;
    return ::SHFileOperationA(&op);
}
