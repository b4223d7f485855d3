#include "ui/label_win32.h"

#include "app/gbk_win32.h"

namespace vexmora::win32 {

namespace {

constexpr wchar_t labelClass[] = L"VexmoraLabel";

}  // namespace

void TransparentLabel::registerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the parent's picture shows through
    windowClass.lpszClassName = labelClass;
    RegisterClassExW(&windowClass);
}

TransparentLabel::TransparentLabel(HINSTANCE instance, HWND parent, const LabelDesign& design,
                                   const TiledPicture& background)
    : parent_(parent), background_(background), place_{design.left, design.top}, colour_(design.colour),
      alignment_(design.alignment), text_(design.text), wide_(wideFromGbk(design.text)) {
    if (design.face != nullptr) {
        ownFont_.reset(CreateFontW(design.fontHeight, 0, 0, 0, design.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH,
                                   wideFromGbk(design.face).c_str()));
    }
    font_ = ownFont_ ? ownFont_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const DWORD style = WS_CHILD | WS_VISIBLE | (design.enabled ? 0 : WS_DISABLED);
    window_ = CreateWindowExW(WS_EX_TRANSPARENT, labelClass, wide_.c_str(), style, design.left, design.top,
                              design.width, design.height, parent, nullptr, instance, nullptr);
    if (window_ == nullptr) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Each label goes below the ones made before it: earlier controls lie above.
    SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

TransparentLabel::~TransparentLabel() {
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void TransparentLabel::setText(const Text& text) {
    // Most ticks leave most texts as they were; repainting those would only
    // redraw the same pixels.
    if (text == text_) return;
    text_ = text;
    wide_ = wideFromGbk(text);
    if (window_ == nullptr) return;
    SetWindowTextW(window_, wide_.c_str());
    // Repaint the parent's picture under the label, and every child over it,
    // so nothing of the previous text remains.
    RECT area{};
    GetWindowRect(window_, &area);
    MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    InvalidateRect(window_, nullptr, FALSE);
}

void TransparentLabel::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right, height = client.bottom;
    if (!wide_.empty() && width > 0 && height > 0) {
        // Picture and text are drawn off screen and put on in one step.
        UniqueMemoryDc memory(CreateCompatibleDC(dc));
        UniqueBitmap surface(CreateCompatibleBitmap(dc, width, height));
        if (memory && surface) {
            SelectedObject selectedSurface(memory.get(), surface.get());
            background_.paint(memory.get(), client, place_);
            SelectedObject selectedFont(memory.get(), font_);
            SetBkMode(memory.get(), TRANSPARENT);
            SetTextColor(memory.get(), colour_);
            RECT textArea = client;
            DrawTextW(memory.get(), wide_.c_str(), static_cast<int>(wide_.size()), &textArea,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | alignment_);
            BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(window_, &ps);
}

LRESULT CALLBACK TransparentLabel::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* label = reinterpret_cast<TransparentLabel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (label == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_NCHITTEST:
            // A disabled label lets the pointer through to what lies beneath.
            if (!IsWindowEnabled(window)) return HTTRANSPARENT;
            return HTCLIENT;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            label->paint();
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (label->pointer_) {
                // The handler may run a nested loop (a drag); keep a copy.
                const PointerHandler handler = label->pointer_;
                handler(message);
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vexmora::win32
