// The transparent label: a child window that paints no background of its
// own, only its text over the parent's picture.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/platform.h"
#include "app/win32_handles.h"
#include "ui/picture_win32.h"

namespace vexmora::win32 {

struct LabelDesign {
    const char* name;  // design name (GBK), for the record only
    int left, top, width, height;
    UINT alignment;    // DT_LEFT, DT_CENTER or DT_RIGHT
    const char* face;  // GBK face name; nullptr for the default GUI font
    int fontHeight;
    int weight;
    COLORREF colour;
    const char* text;  // GBK
    bool enabled;
};

class TransparentLabel {
public:
    using PointerHandler = std::function<void(UINT message)>;

    static void registerClass(HINSTANCE instance);

    // background is the parent's picture, which must outlive the label.
    TransparentLabel(HINSTANCE instance, HWND parent, const LabelDesign& design, const TiledPicture& background);
    ~TransparentLabel();
    TransparentLabel(const TransparentLabel&) = delete;
    TransparentLabel& operator=(const TransparentLabel&) = delete;

    HWND handle() const { return window_; }
    const Text& text() const { return text_; }
    void setText(const Text& text);
    // Pointer moves and left/right presses of an enabled label.
    void onPointer(PointerHandler handler) { pointer_ = std::move(handler); }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    const TiledPicture& background_;
    POINT place_{};
    UniqueFont ownFont_;
    HFONT font_ = nullptr;
    COLORREF colour_ = 0;
    UINT alignment_ = DT_LEFT;
    Text text_;
    std::wstring wide_;
    PointerHandler pointer_;
};

}  // namespace vexmora::win32
