#include "win32/CaptionFitting.h"

#include "win32/DialogTemplate.h"
#include "win32/WideText.h"

#include <vector>

namespace varnholt::win32 {

namespace {

int textWidth(HDC dc, const std::wstring& text, UINT format) {
    RECT bounds{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | format);
    return bounds.right - bounds.left;
}

} // namespace

int captionWidth(HDC dc, const ControlLayout& control) {
    const int text = textWidth(dc, wide(control.caption), control.noPrefix ? DT_NOPREFIX : 0);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: {
        // The box, then half a digit's width before the text and a pixel of
        // margin on either side of it.
        int digit = 0;
        if (!GetCharWidth32W(dc, L'0', L'0', &digit))
            digit = 0;
        return GetSystemMetrics(SM_CXMENUCHECK) + digit / 2 + 2 + text;
    }
    case ControlKind::PushButton:
        // On either side: the raised edge, the frame a default button adds
        // and a pixel of margin inside the focus rectangle.
        return text + 2 * (GetSystemMetrics(SM_CXEDGE) + 2 * GetSystemMetrics(SM_CXBORDER));
    case ControlKind::GroupBox:
        // The title stands in from the frame's left end (7 pixels and a pixel
        // of margin at 96 DPI); as much again on its right keeps the frame's
        // top line visible past it.
        return text + 2 * MulDiv(8, dpi, 96);
    default:
        return text;
    }
}

DialogFontContext::DialogFontContext() : dc_(GetDC(nullptr)) {
    // A template with the shell-font style that names "MS Shell Dlg" gets "MS Shell Dlg 2".
    const std::wstring face = wide(dialogFontName) + L" 2";
    if (dc_)
        font_ = CreateFontW(-MulDiv(dialogFontPointSize, GetDeviceCaps(dc_, LOGPIXELSY), 72), 0, 0,
                            0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                            FF_DONTCARE, face.c_str());
    if (font_)
        previous_ = SelectObject(dc_, font_);
}

DialogFontContext::~DialogFontContext() {
    if (previous_)
        SelectObject(dc_, previous_);
    if (font_)
        DeleteObject(font_);
    if (dc_)
        ReleaseDC(nullptr, dc_);
}

FittedLayout fitToCaptions(const DialogLayout& layout) {
    const DialogFontContext font;
    DialogBaseUnits base;
    std::vector<int> widths(layout.controls.size(), 0);
    // A translation's labels keep the gaps of the English captions before their boxes.
    std::vector<int> englishWidths(layout.english ? layout.controls.size() : 0, 0);
    const std::wstring sample = wide(baseUnitSample);
    SIZE sampleSize{};
    TEXTMETRICW metrics{};
    if (HDC dc = font.dc();
        dc &&
        GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &sampleSize) &&
        GetTextMetricsW(dc, &metrics)) {
        base = dialogBaseUnits(sampleSize.cx, metrics.tmHeight);
        for (std::size_t i = 0; i < layout.controls.size(); ++i)
            if (captionMustFit(layout.controls[i]))
                widths[i] = captionWidth(dc, layout.controls[i]);
        for (std::size_t i = 0; i < englishWidths.size(); ++i)
            if (captionMustFit(layout.english->controls[i]))
                englishWidths[i] = captionWidth(dc, layout.english->controls[i]);
    }
    return FittedLayout(layout, base, widths, englishWidths);
}

} // namespace varnholt::win32
