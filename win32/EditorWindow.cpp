#include "win32/EditorWindow.h"

#include "win32/AboutWindow.h"
#include "win32/AccessibleNames.h"
#include "win32/MessageBoxes.h"
#include "win32/WideText.h"
#include "win32/WindowRules.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace varnholt::win32 {

namespace {

// Posted once the window shows, to open the program's argument.
constexpr UINT openStartPathMessage = WM_APP + 1;

// The filter as the file dialog takes it: name, NUL, pattern, NUL, ..., NUL.
std::wstring filterList(const OpenFileDialogSettings& settings) {
    std::wstring list;
    for (const FileFilter& filter : settings.filters)
        list += wide(filter.name) + L'\0' + wide(filter.pattern) + L'\0';
    return list + L'\0';
}

// Pixels per 96 of the window's screen, for pictures drawn at 96 dots per inch.
int scaled(HWND window, int pixels) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc)
        ReleaseDC(window, dc);
    return MulDiv(pixels, dpi, 96);
}

} // namespace

EditorWindow::EditorWindow(HINSTANCE instance, std::string programFolder,
                           std::string applicationName, std::optional<std::string> startPath)
    : instance_(instance), startPath_(std::move(startPath)),
      editor_(*this, std::move(programFolder), std::move(applicationName)) {}

EditorWindow::~EditorWindow() {
    for (const auto& [name, bitmap] : pictures_)
        DeleteObject(bitmap);
    if (bigIcon_)
        DestroyIcon(bigIcon_);
    if (smallIcon_)
        DestroyIcon(smallIcon_);
}

INT_PTR EditorWindow::run() {
    return runDialog(instance_, nullptr, editorDialog(), Standing::MainWindow);
}

INT_PTR EditorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog();
        return FALSE; // the model has placed the focus
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != UDN_DELTAPOS)
            return FALSE;
        // The model moves the spin and writes its box; the control's own move is cancelled.
        const int id = static_cast<int>(header->idFrom);
        editor_.userSpin(id, reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
        mirror(id);
        if (const ControlLayout* spec = editorDialog().find(id))
            mirror(spec->buddyId);
        return answer(TRUE);
    }
    case WM_SYSCOMMAND:
        return editor_.userMenuCommand(windowMenuCommand(wParam)) ? answer(0) : FALSE;
    case WM_DROPFILES: {
        const auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> paths(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
        for (UINT i = 0; i < paths.size(); ++i) {
            std::wstring path(static_cast<std::size_t>(DragQueryFileW(drop, i, nullptr, 0)) + 1,
                              L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths[i] = utf8(path);
        }
        DragFinish(drop);
        editor_.userDropFiles(paths);
        return TRUE;
    }
    case openStartPathMessage:
        if (startPath_)
            editor_.openSaveGame(*startPath_);
        return TRUE;
    case WM_DRAWITEM:
        drawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        if (!busy_)
            return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return answer(TRUE);
    case WM_PAINT:
        return onPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(bigIcon_);
    case WM_DESTROY:
        clearControlNames(window_, editorDialog());
        return FALSE;
    default:
        return FALSE;
    }
}

void EditorWindow::onInitDialog() {
    DragAcceptFiles(window_, TRUE);
    nameControls(window_, editorDialog());
    // Arrow keys in a spin's box step the spin; the spin never writes the box.
    // A held arrow speeds up as the model says.
    std::vector<UDACCEL> accelerations;
    for (const SpinAcceleration& a : spinAccelerations)
        accelerations.push_back({static_cast<UINT>(a.afterMs / 1000), static_cast<UINT>(a.step)});
    for (const ControlLayout& spec : editorDialog().controls)
        if (spec.kind == ControlKind::Spin) {
            SendMessageW(item(spec.id), UDM_SETACCEL, accelerations.size(),
                         reinterpret_cast<LPARAM>(accelerations.data()));
            if (spec.spinArrowKeys)
                SendMessageW(item(spec.id), UDM_SETBUDDY,
                             reinterpret_cast<WPARAM>(item(spec.buddyId)), 0);
        }
    editor_.initialise();
    if (startPath_)
        PostMessageW(window_, openStartPathMessage, 0, 0);
}

void EditorWindow::onCommand(int id, int code, HWND control) {
    if (id == IDCANCEL) {
        editor_.userPressEscape();
        return;
    }
    const ControlLayout* spec = editorDialog().find(id);
    if (!spec)
        return;
    // Only a user's action is forwarded; other notifications (EN_UPDATE, focus...) are not.
    if (spec->kind == ControlKind::TextBox && code == EN_CHANGE)
        editor_.userSetText(id, utf8(windowText(control)));
    else if (spec->kind == ControlKind::DropDownList && code == CBN_SELCHANGE)
        editor_.userSelect(id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
    else if ((spec->kind == ControlKind::PushButton || spec->kind == ControlKind::PictureButton ||
              spec->kind == ControlKind::CheckBox || spec->kind == ControlKind::RadioButton) &&
             code == BN_CLICKED)
        editor_.userClick(id);
    else
        return;
    // The model may have kept the control's state against the action.
    if (IsWindow(window_))
        mirror(id);
}

// Sets each property of the widget that differs from the model's state, and
// only those: a box being typed into keeps its caret and undo.
void EditorWindow::mirror(int id) {
    const ControlLayout* spec = editorDialog().find(id);
    HWND control = item(id);
    if (!spec || !control)
        return;
    const ControlState& state = editor_.control(id);
    switch (spec->kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
        const WPARAM check = state.checked ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(control, BM_GETCHECK, 0, 0)) != check)
            SendMessageW(control, BM_SETCHECK, check, 0);
        break;
    }
    case ControlKind::DropDownList: {
        bool same =
            SendMessageW(control, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(state.items.size());
        for (std::size_t i = 0; same && i < state.items.size(); ++i) {
            std::wstring shown(
                static_cast<std::size_t>(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
            shown.resize(static_cast<std::size_t>(
                SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(shown.data()))));
            same = shown == wide(state.items[i]);
        }
        if (!same) {
            SendMessageW(control, CB_RESETCONTENT, 0, 0);
            for (const std::string& entry : state.items)
                SendMessageW(control, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(wide(entry).c_str()));
        }
        if (SendMessageW(control, CB_GETCURSEL, 0, 0) != state.selection)
            SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(state.selection), 0);
        break;
    }
    case ControlKind::Spin: {
        int minimum = 0;
        int maximum = 0;
        SendMessageW(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum),
                     reinterpret_cast<LPARAM>(&maximum));
        if (minimum != state.spinMinimum || maximum != state.spinMaximum)
            SendMessageW(control, UDM_SETRANGE32, static_cast<WPARAM>(state.spinMinimum),
                         state.spinMaximum);
        if (SendMessageW(control, UDM_GETPOS32, 0, 0) != state.spinPosition)
            SendMessageW(control, UDM_SETPOS32, 0, state.spinPosition);
        break;
    }
    case ControlKind::TextBox:
        if (state.lengthLimit > 0 &&
            SendMessageW(control, EM_GETLIMITTEXT, 0, 0) != state.lengthLimit)
            SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(state.lengthLimit), 0);
        [[fallthrough]];
    case ControlKind::Label:
        if (const std::wstring text = wide(state.text); windowText(control) != text)
            SetWindowTextW(control, text.c_str());
        break;
    default:
        break;
    }
    if ((IsWindowEnabled(control) != FALSE) != state.enabled) {
        // A control losing the focus with its use passes it on, as the dialog manager would.
        if (!state.enabled && GetFocus() == control)
            SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(control, state.enabled);
    }
}

bool EditorWindow::onPaint() {
    if (!IsIconic(window_) || !bigIcon_)
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    const IconOrigin origin =
        minimisedIconOrigin(client.right - client.left, client.bottom - client.top,
                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, origin.x, origin.y, bigIcon_);
    EndPaint(window_, &paint);
    return true;
}

void EditorWindow::drawPicture(const DRAWITEMSTRUCT& draw) {
    const ControlLayout* spec = editorDialog().find(static_cast<int>(draw.CtlID));
    if (!spec || spec->kind != ControlKind::PictureButton)
        return;
    const std::string_view name =
        pictureFor(spec->pictures, (draw.itemState & ODS_SELECTED) != 0,
                   (draw.itemState & ODS_FOCUS) != 0, (draw.itemState & ODS_DISABLED) == 0);
    const auto picture = pictures_.find(name);
    if (picture == pictures_.end() || !picture->second)
        return;
    HDC source = CreateCompatibleDC(draw.hDC);
    HGDIOBJ previous = SelectObject(source, picture->second);
    SetStretchBltMode(draw.hDC, COLORONCOLOR);
    StretchBlt(draw.hDC, draw.rcItem.left, draw.rcItem.top, draw.rcItem.right - draw.rcItem.left,
               draw.rcItem.bottom - draw.rcItem.top, source, 0, 0, spec->pictures.width,
               spec->pictures.height, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

// --- EditorHost -----------------------------------------------------------------

void EditorWindow::showMessage(const MessageBoxRequest& request) {
    showMessageBox(window_, request);
}

std::optional<std::string> EditorWindow::runOpenFileDialog(const OpenFileDialogSettings& settings) {
    const std::wstring filters = filterList(settings);
    const std::wstring title = wide(settings.title);
    const std::wstring extension = wide(settings.defaultExtension);
    const std::wstring folder = wide(settings.initialFolder);
    std::wstring file(32768, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | (settings.keepCurrentFolder ? OFN_NOCHANGEDIR : 0) |
                   (settings.fileMustExist ? OFN_FILEMUSTEXIST : 0) |
                   (settings.pathMustExist ? OFN_PATHMUSTEXIST : 0) |
                   (settings.showReadOnlyOption ? 0 : OFN_HIDEREADONLY);
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    return utf8(file.c_str());
}

void EditorWindow::beginBusy() {
    busy_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void EditorWindow::endBusy() {
    busy_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void EditorWindow::setWindowTitle(const std::string& title) {
    SetWindowTextW(window_, wide(title).c_str());
}

void EditorWindow::setWindowIcon(int iconId) {
    const auto load = [&](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(iconId), IMAGE_ICON, width,
                                             height, LR_DEFAULTCOLOR));
    };
    bigIcon_ = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    smallIcon_ = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void EditorWindow::attachPictures(int controlId) {
    const ControlLayout* spec = editorDialog().find(controlId);
    if (!spec)
        return;
    const PictureNames& names = spec->pictures;
    for (std::string_view name : {names.normal, names.pressed, names.focused, names.disabled})
        if (!pictures_.contains(name))
            pictures_.emplace(std::string(name), static_cast<HBITMAP>(LoadImageW(
                                                     instance_, wide(name).c_str(), IMAGE_BITMAP, 0,
                                                     0, LR_DEFAULTCOLOR)));
    SetWindowPos(item(controlId), nullptr, 0, 0, scaled(window_, names.width),
                 scaled(window_, names.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorWindow::addMenuEntries(const std::vector<MenuEntry>& entries) {
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu)
        return;
    for (const MenuEntry& entry : entries) {
        if (entry.separator)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, entry.commandId, wide(entry.text).c_str());
    }
}

void EditorWindow::runAboutBox(const std::string& messageCaption) {
    AboutWindow about(instance_, window_, messageCaption);
    about.run();
}

void EditorWindow::setFocus(int controlId) {
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(controlId)), TRUE);
}

void EditorWindow::selectAllText(int controlId) {
    SendMessageW(item(controlId), EM_SETSEL, 0, -1);
}

void EditorWindow::controlChanged(int controlId) {
    if (window_)
        mirror(controlId);
}

void EditorWindow::endModal(int result) {
    EndDialog(window_, result);
}

} // namespace varnholt::win32
