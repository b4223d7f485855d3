#include "ui/windows_win32.h"

#include "app/gbk_win32.h"
#include "app/program.h"

namespace vexmora::win32 {

namespace {

constexpr wchar_t ownerClass[] = L"VexmoraOwner";
constexpr wchar_t barClass[] = L"VexmoraBar";
constexpr wchar_t detailClass[] = L"VexmoraDetail";
constexpr UINT_PTR meterTimer = 1;

Win32Windows* self(HWND window) {
    return reinterpret_cast<Win32Windows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

}  // namespace

Win32Windows::Win32Windows(HINSTANCE instance) : instance_(instance) {
    registerClass(instance_, ownerClass, DefWindowProcW);
    registerClass(instance_, barClass, barProc);
    registerClass(instance_, detailClass, detailProc);
    owner_.reset(CreateWindowExW(0, ownerClass, L"Vexmora", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_,
                                 nullptr));
}

void Win32Windows::loadBarWindow() {
    bar_.reset(CreateWindowExW(WS_EX_TOPMOST, barClass, L"Vexmora", WS_POPUP, 50, 50, 155, 23, owner_.get(),
                               nullptr, instance_, nullptr));
    SetWindowLongPtrW(bar_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    versionEdit_ = CreateWindowExW(0, L"EDIT", L"2", WS_CHILD, 24, 8, 24, 16, bar_.get(), nullptr, instance_,
                                   nullptr);
}

bool Win32Windows::cutWindowShape(WindowId) {
    return false;
}

void Win32Windows::loadDetailWindow() {
    detail_.reset(CreateWindowExW(WS_EX_TOPMOST, detailClass, L"", WS_POPUP, 50, 50, 155, 134, owner_.get(),
                                  nullptr, instance_, nullptr));
    SetWindowLongPtrW(detail_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Win32Windows::setWindowAlpha(WindowId window, int alpha) {
    if (alpha < 0 || alpha > 255) alpha = 255;
    HWND target = handle(window);
    SetWindowLongW(target, GWL_EXSTYLE, GetWindowLongW(target, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(target, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void Win32Windows::setAlwaysOnTop(WindowId window, bool on) {
    SetWindowPos(handle(window), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Windows::setWindowVisible(WindowId window, bool visible) {
    ShowWindow(handle(window), visible ? SW_SHOW : SW_HIDE);
}

void Win32Windows::moveWindow(WindowId window, const Rect& rect) {
    if (windowRect(window) == rect) return;
    MoveWindow(handle(window), rect.left, rect.top, rect.width, rect.height, TRUE);
}

Rect Win32Windows::windowRect(WindowId window) {
    RECT r{};
    GetWindowRect(handle(window), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Windows::setLabelText(LabelId label, const Text& text) {
    labelTexts_[label] = text;
}

Text Win32Windows::labelText(LabelId label) {
    return labelTexts_[label];
}

Text Win32Windows::versionEditText() {
    const int length = GetWindowTextLengthW(versionEdit_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(versionEdit_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return gbkFromWide(text);
}

void Win32Windows::installMouseLeaveHook() {}

void Win32Windows::trackMouseLeave() {}

void Win32Windows::dragBar() {}

void Win32Windows::setTimerPeriod(int milliseconds) {
    if (milliseconds <= 0) KillTimer(bar_.get(), meterTimer);
    else SetTimer(bar_.get(), meterTimer, static_cast<UINT>(milliseconds), nullptr);
}

int Win32Windows::primaryScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

bool Win32Windows::touchesAnyMonitor(const Rect& rect) {
    const RECT r{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

LRESULT CALLBACK Win32Windows::barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Windows* windows = self(window);
    if (windows != nullptr && windows->loaded_ && windows->program_ != nullptr) {
        switch (message) {
            case WM_TIMER:
                if (wParam == meterTimer) windows->program_->onMeterTick();
                return 0;
            case WM_MOVE:
                windows->program_->onBarMoved();
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Windows::detailProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vexmora::win32
