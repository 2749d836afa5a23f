#include "win32/DialogWindow.h"

#include "win32/CaptionFitting.h"
#include "win32/DialogTemplate.h"

namespace varnholt::win32 {

INT_PTR DialogWindow::runDialog(HINSTANCE instance, HWND owner, const DialogLayout& layout,
                                Standing standing) {
    const FittedLayout fitted = fitToCaptions(layout);
    const DialogTemplate dialog(fitted.layout(), standing == Standing::MainWindow);
    return DialogBoxIndirectParamW(instance, dialog.get(), owner, dialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<DialogWindow*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR DialogWindow::answer(LONG_PTR result) {
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace varnholt::win32
