#include "win32/MessageBoxes.h"

#include "win32/WideText.h"

namespace varnholt::win32 {

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::Error:
        break;
    }
    return MB_ICONERROR;
}

bool showMessageBox(HWND owner, const MessageBoxRequest& request) {
    return MessageBoxW(owner, wide(request.text).c_str(), wide(request.caption).c_str(),
                       MB_OK | iconStyle(request.icon)) != 0;
}

} // namespace varnholt::win32
