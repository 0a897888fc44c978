#include "actions/shell_delete.h"

#include <shellapi.h>

int shellDelete(HWND owner, const char* pathList, unsigned flags) {
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = pathList;
    operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
    const int error = SHFileOperationA(&operation);
    return error == 0 && !operation.fAnyOperationsAborted ? 1 : 0;
}
