#include "win32/DialogTemplate.h"

#include "win32/AccessibleNames.h"
#include "win32/WideText.h"
#include "window/ControlLabels.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace varnholt::win32 {

namespace {

constexpr WORD buttonAtom = 0x0080;
constexpr WORD editAtom = 0x0081;
constexpr WORD staticAtom = 0x0082;
constexpr WORD comboBoxAtom = 0x0085;

} // namespace

ControlStyle controlStyle(const ControlLayout& c) {
    ControlStyle s;
    s.style = WS_CHILD | WS_VISIBLE | (c.tabStop ? WS_TABSTOP : 0) | (c.groupStart ? WS_GROUP : 0);
    switch (c.kind) {
    case ControlKind::Label:
        s.classAtom = staticAtom;
        s.style |= SS_LEFT | (c.noPrefix ? static_cast<DWORD>(SS_NOPREFIX) : 0u);
        break;
    case ControlKind::GroupBox:
        s.classAtom = buttonAtom;
        s.style |= BS_GROUPBOX;
        break;
    case ControlKind::Icon:
        s.classAtom = staticAtom;
        s.style |= SS_ICON;
        break;
    case ControlKind::TextBox:
        s.classAtom = editAtom;
        s.style |= WS_BORDER | (c.rightAligned ? ES_RIGHT : ES_LEFT) |
                   (c.autoScroll ? ES_AUTOHSCROLL : 0) | (c.readOnly ? ES_READONLY : 0) |
                   (c.digitsOnly ? ES_NUMBER : 0);
        break;
    case ControlKind::PictureButton:
        s.classAtom = buttonAtom;
        s.style |= BS_OWNERDRAW;
        break;
    case ControlKind::PushButton:
        s.classAtom = buttonAtom;
        s.style |= c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
    // The model decides every tick: the buttons never tick themselves.
    case ControlKind::CheckBox:
        s.classAtom = buttonAtom;
        s.style |= BS_CHECKBOX;
        break;
    case ControlKind::RadioButton:
        s.classAtom = buttonAtom;
        s.style |= BS_RADIOBUTTON;
        break;
    case ControlKind::DropDownList:
        s.classAtom = comboBoxAtom;
        s.style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        break;
    // No buddy integer and no automatic buddy: the model writes the box.
    case ControlKind::Spin:
        s.className = UPDOWN_CLASSW;
        s.style |= UDS_NOTHOUSANDS | (c.spinArrowKeys ? UDS_ARROWKEYS : 0);
        break;
    }
    return s;
}

void DialogTemplate::dword(DWORD value) {
    word(LOWORD(value));
    word(HIWORD(value));
}

void DialogTemplate::text(std::string_view utf8) {
    for (wchar_t c : wide(utf8))
        word(static_cast<WORD>(c));
    word(0);
}

void DialogTemplate::alignToDword() {
    if (words_.size() % 2 != 0)
        word(0);
}

DialogTemplate::DialogTemplate(const DialogLayout& d, bool mainWindow) {
    word(1);      // dlgVer
    word(0xFFFF); // signature: extended template
    dword(0);     // helpID
    dword(mainWindow ? WS_EX_APPWINDOW : 0);
    dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SHELLFONT | DS_CENTER |
          (d.windowMenu ? WS_SYSMENU : 0) | (mainWindow ? WS_VISIBLE : 0));
    std::vector<std::string> hiddenLabels(d.controls.size());
    std::size_t count = d.controls.size();
    for (std::size_t index = 0; index < d.controls.size(); ++index)
        if (!(hiddenLabels[index] = hiddenLabelBefore(d, index)).empty())
            ++count;
    word(static_cast<WORD>(count));
    for (int value : {d.rect.x, d.rect.y, d.rect.width, d.rect.height})
        word(static_cast<WORD>(value));
    word(0); // no menu
    word(0); // the dialog class
    text(d.caption);
    word(static_cast<WORD>(dialogFontPointSize));
    word(FW_NORMAL);
    word(MAKEWORD(FALSE, DEFAULT_CHARSET)); // italic, charset
    text(dialogFontName);

    for (std::size_t index = 0; index < d.controls.size(); ++index) {
        const ControlLayout& c = d.controls[index];
        if (!hiddenLabels[index].empty()) {
            // Never shown and never a mnemonic: it only names the control after it.
            alignToDword();
            dword(0); // helpID
            dword(0);
            dword(WS_CHILD | SS_LEFT | SS_NOPREFIX);
            for (int value : {c.rect.x, c.rect.y, 0, 0})
                word(static_cast<WORD>(value));
            dword(static_cast<DWORD>(-1));
            word(0xFFFF);
            word(staticAtom);
            text(hiddenLabels[index]);
            word(0); // no creation data
        }
        alignToDword();
        const ControlStyle s = controlStyle(c);
        dword(0); // helpID
        dword(s.exStyle);
        dword(s.style);
        for (int value : {c.rect.x, c.rect.y, c.rect.width, c.rect.height})
            word(static_cast<WORD>(value));
        dword(static_cast<DWORD>(c.id));
        if (s.classAtom != 0) {
            word(0xFFFF);
            word(s.classAtom);
        } else {
            for (const wchar_t* p = s.className; *p; ++p)
                word(static_cast<WORD>(*p));
            word(0);
        }
        if (c.kind == ControlKind::Icon) {
            word(0xFFFF);
            word(static_cast<WORD>(c.iconId));
        } else if (c.kind == ControlKind::Spin || c.kind == ControlKind::PictureButton) {
            // Never shown, but what a screen reader announces: the picture
            // button's caption names its pictures, and a spin has none.
            text(accessibleName(d, index));
        } else {
            text(c.caption);
        }
        word(0); // no creation data
    }
}

} // namespace varnholt::win32
