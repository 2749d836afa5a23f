#include "win32/AccessibleNames.h"

#include "win32/WideText.h"
#include "window/ControlLabels.h"

#include <oleacc.h>

namespace varnholt::win32 {

namespace {

// The controls without a caption of their own, which Active Accessibility
// names from their neighbours.
bool named(const ControlLayout& control) {
    return control.id != noControlId &&
           (control.kind == ControlKind::TextBox || control.kind == ControlKind::DropDownList);
}

// Calls `use` with the system's annotation service, if it has one.
template <class Use> void withAnnotations(Use use) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services))) ||
        !services)
        return;
    use(*services);
    services->Release();
}

} // namespace

std::string hiddenLabelBefore(const DialogLayout& layout, std::size_t index) {
    return named(layout.controls[index]) ? accessibleName(layout, index) : std::string();
}

void nameControls(HWND dialog, const DialogLayout& layout) {
    withAnnotations([&](IAccPropServices& services) {
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            const ControlLayout& control = layout.controls[i];
            HWND window = named(control) ? GetDlgItem(dialog, control.id) : nullptr;
            const std::string name = window ? accessibleName(layout, i) : std::string();
            if (!name.empty())
                services.SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        PROPID_ACC_NAME, wide(name).c_str());
        }
    });
}

void clearControlNames(HWND dialog, const DialogLayout& layout) {
    withAnnotations([&](IAccPropServices& services) {
        MSAAPROPID name = PROPID_ACC_NAME;
        for (const ControlLayout& control : layout.controls)
            if (HWND window = named(control) ? GetDlgItem(dialog, control.id) : nullptr)
                services.ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        &name, 1);
    });
}

} // namespace varnholt::win32
