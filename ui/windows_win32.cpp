#include "ui/windows_win32.h"

#include <optional>

#include "app/gbk_win32.h"
#include "app/program.h"
#include "ui/resource_ids.h"

namespace vexmora::win32 {

namespace {

constexpr wchar_t ownerClass[] = L"VexmoraOwner";
constexpr wchar_t anchorClass[] = L"VexmoraAnchor";
constexpr wchar_t barClass[] = L"VexmoraBar";
constexpr wchar_t detailClass[] = L"VexmoraDetail";
constexpr UINT_PTR meterTimer = 1;
constexpr COLORREF keyColour = 0xFF00FF;

constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF blue = RGB(0, 0, 255);
constexpr COLORREF red = RGB(255, 0, 0);

// BarWindow's labels, in creation order (earlier ones lie above).
const LabelDesign barSendDesign{"发送透明标签", 91, 5, 55, 14, DT_RIGHT, "新宋体", -12, FW_NORMAL, black, "KB/S", false};
const LabelDesign barReceiveDesign{"接收透明标签", 17, 5, 55, 14, DT_RIGHT, "新宋体", -12, FW_NORMAL, black, "KB/S",
                                   false};
const LabelDesign hoverDesign{"透明标签1", 1, -6, 159, 30, DT_LEFT, nullptr, 0, 0, black, "", true};

struct PanelLabel {
    LabelDesign design;
    std::optional<LabelId> id;  // none for the title, which never changes
};

// DetailWindow's labels, top to bottom.
const PanelLabel panelLabels[] = {
    {{"透明标签1", 14, 11, 127, 14, DT_CENTER, "宋体", -12, FW_BOLD, blue, "Vexmora", false}, std::nullopt},
    {{"下载速度", 23, 36, 120, 14, DT_LEFT, nullptr, 0, 0, black, "", false}, LabelId::panelDownSpeed},
    {{"上传速度", 23, 55, 120, 14, DT_LEFT, nullptr, 0, 0, black, "", false}, LabelId::panelUpSpeed},
    {{"上传流量透明标签", 23, 79, 120, 14, DT_LEFT, "宋体", -12, FW_NORMAL, black, "", false},
     LabelId::panelUpAmount},
    {{"下载流量透明标签", 23, 97, 120, 14, DT_LEFT, "宋体", -12, FW_NORMAL, black, "", false},
     LabelId::panelDownAmount},
    {{"流量标签", 23, 114, 120, 14, DT_LEFT, nullptr, 0, 0, red, "", false}, LabelId::panelTotal},
};

// The hook's window procedure has no room for a pointer of its own; there
// is one set of windows per process.
Win32Windows* hookedWindows = nullptr;

Win32Windows* self(HWND window) {
    return reinterpret_cast<Win32Windows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, bool withIcon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (withIcon) {
        // Shared icons of the standard sizes: the system releases them.
        windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(VEXMORA_ICON), IMAGE_ICON,
                                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                          LR_SHARED));
        windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(VEXMORA_ICON), IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXSMICON),
                                                            GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

TiledPicture picture(HINSTANCE instance, int resourceId) {
    const auto bitmap = loadPictureResource(instance, resourceId);
    return bitmap ? TiledPicture(*bitmap) : TiledPicture();
}

}  // namespace

Win32Windows::Win32Windows(HINSTANCE instance)
    : instance_(instance),
      barPicture_(picture(instance, VEXMORA_BAR_PICTURE)),
      panelPicture_(picture(instance, VEXMORA_PANEL_PICTURE)) {
    registerClass(instance_, ownerClass, DefWindowProcW, false);
    registerClass(instance_, anchorClass, DefWindowProcW, false);
    registerClass(instance_, barClass, barProc, true);
    registerClass(instance_, detailClass, detailProc, false);
    TransparentLabel::registerClass(instance_);
    owner_.reset(CreateWindowExW(0, ownerClass, L"Vexmora", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_,
                                 nullptr));
    // A hidden ordinary window above the owner. Window managers that keep
    // owned windows right above their owner (Wine) otherwise find only
    // always-on-top windows there and keep the bar and panel on top when
    // switched off.
    zOrderAnchor_.reset(CreateWindowExW(0, anchorClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_,
                                        nullptr));
    SetWindowPos(owner_.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Win32Windows::~Win32Windows() {
    if (hookedWindows == this) {
        if (hoverLabel_ != nullptr && IsWindow(hoverLabel_->handle()))
            SetWindowLongPtrW(hoverLabel_->handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedLabelProc_));
        hookedWindows = nullptr;
    }
    labels_.clear();
}

Program* Win32Windows::live(bool windowLoaded) const {
    if (!windowLoaded || program_ == nullptr || !program_->globalsLive()) return nullptr;
    return program_;
}

TransparentLabel* Win32Windows::addLabel(HWND parent, const LabelDesign& design, const TiledPicture& background) {
    labels_.push_back(std::make_unique<TransparentLabel>(instance_, parent, design, background));
    return labels_.back().get();
}

void Win32Windows::loadBarWindow() {
    bar_.reset(CreateWindowExW(WS_EX_TOPMOST, barClass, L"Vexmora", WS_POPUP, 50, 50, 155, 23, owner_.get(),
                               nullptr, instance_, nullptr));
    SetWindowLongPtrW(bar_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // 编辑框1: hidden, holds the version text.
    versionEdit_ = CreateWindowExW(0, L"EDIT", L"2", WS_CHILD | ES_AUTOHSCROLL, 24, 8, 24, 16, bar_.get(), nullptr,
                                   instance_, nullptr);
    dataLabels_[LabelId::barSend] = addLabel(bar_.get(), barSendDesign, barPicture_);
    dataLabels_[LabelId::barReceive] = addLabel(bar_.get(), barReceiveDesign, barPicture_);
    hoverLabel_ = addLabel(bar_.get(), hoverDesign, barPicture_);
    hoverLabel_->onPointer([this](UINT message) {
        Program* program = live(loaded_);
        if (program == nullptr) return;
        if (message == WM_MOUSEMOVE) program->onHoverMove();
        else if (message == WM_LBUTTONDOWN) program->onHoverLeftPress();
        else if (message == WM_RBUTTONDOWN) program->showMenu();
    });
}

bool Win32Windows::cutWindowShape(WindowId window) {
    HWND target = handle(window);
    if (target == nullptr) return false;
    // The cut looks at the key pixels only, which the panel's picture shares
    // with its outline picture, so the exe carries the picture alone.
    const auto bitmap =
        loadPictureResource(instance_, window == WindowId::bar ? VEXMORA_BAR_PICTURE : VEXMORA_PANEL_PICTURE);
    if (!bitmap) return false;
    UniqueRegion region = regionFromRects(outlineRects(*bitmap, keyColour));
    if (!region) return false;
    // On success the window owns the region (and frees any earlier one).
    if (SetWindowRgn(target, region.get(), TRUE) != 0) region.release();
    return true;
}

void Win32Windows::loadDetailWindow() {
    if (detail_) return;
    detail_.reset(CreateWindowExW(WS_EX_TOPMOST, detailClass, L"", WS_POPUP, 50, 50, 155, 134, owner_.get(),
                                  nullptr, instance_, nullptr));
    SetWindowLongPtrW(detail_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    for (const PanelLabel& panelLabel : panelLabels) {
        TransparentLabel* label = addLabel(detail_.get(), panelLabel.design, panelPicture_);
        if (panelLabel.id) dataLabels_[*panelLabel.id] = label;
    }
    // The created event: the outline, nothing else.
    cutWindowShape(WindowId::detail);
    detailLoaded_ = true;
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
    if (visible && window == WindowId::detail) {
        // The panel opens under a passing pointer: it must not take the
        // keyboard from the application the user is typing in, and it goes
        // just under the bar, so that a balloon pointing at the bar stays
        // above it.
        ShowWindow(detail_.get(), SW_SHOWNOACTIVATE);
        SetWindowPos(detail_.get(), bar_.get(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    ShowWindow(handle(window), visible ? SW_SHOW : SW_HIDE);
}

void Win32Windows::moveWindow(WindowId window, const Rect& requested) {
    const Rect current = windowRect(window);
    Rect rect = requested;
    if (rect.width == -1) rect.width = current.width;  // -1 keeps the current size
    if (rect.height == -1) rect.height = current.height;
    if (current == rect) return;
    MoveWindow(handle(window), rect.left, rect.top, rect.width, rect.height, TRUE);
}

Rect Win32Windows::windowRect(WindowId window) {
    RECT r{};
    GetWindowRect(handle(window), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Windows::setLabelText(LabelId label, const Text& text) {
    const auto found = dataLabels_.find(label);
    if (found != dataLabels_.end()) found->second->setText(text);
}

Text Win32Windows::labelText(LabelId label) {
    const auto found = dataLabels_.find(label);
    return found != dataLabels_.end() ? found->second->text() : Text();
}

Text Win32Windows::versionEditText() {
    const int length = GetWindowTextLengthW(versionEdit_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(versionEdit_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return gbkFromWide(text);
}

void Win32Windows::installMouseLeaveHook() {
    if (hoverLabel_ == nullptr || hookedWindows != nullptr) return;
    HWND label = hoverLabel_->handle();
    hookedWindows = this;
    savedLabelProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(label, GWLP_WNDPROC));
    SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mouseLeaveHook));
}

LRESULT CALLBACK Win32Windows::mouseLeaveHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Windows* windows = hookedWindows;
    if (windows == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC saved = windows->savedLabelProc_;
    if (message == WM_MOUSELEAVE) {
        if (Program* program = windows->live(windows->loaded_)) program->onMouseLeave();
    }
    return CallWindowProcW(saved, window, message, wParam, lParam);
}

void Win32Windows::trackMouseLeave() {
    if (hoverLabel_ == nullptr) return;
    leaveTrackRecord_.cbSize = sizeof(leaveTrackRecord_);
    leaveTrackRecord_.dwFlags = TME_LEAVE;
    leaveTrackRecord_.hwndTrack = hoverLabel_->handle();
    leaveTrackRecord_.dwHoverTime = 0;
    TrackMouseEvent(&leaveTrackRecord_);
}

void Win32Windows::dragBar() {
    SendMessageW(bar_.get(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

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

bool Win32Windows::paintBackground(HWND window, HDC dc) const {
    const TiledPicture& picture = window == bar_.get() ? barPicture_ : panelPicture_;
    RECT client{};
    GetClientRect(window, &client);
    picture.paint(dc, client, POINT{0, 0});
    return true;
}

LRESULT CALLBACK Win32Windows::barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Windows* windows = self(window);
    if (windows == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return windows->paintBackground(window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
        case WM_TIMER:
            if (wParam == meterTimer) {
                if (Program* program = windows->live(windows->loaded_)) program->onMeterTick();
            }
            return 0;
        case WM_MOVE:
            if (Program* program = windows->live(windows->loaded_)) program->onBarMoved();
            return 0;
        case WM_LBUTTONDOWN:
            // Drag anywhere: a press on the bar's own surface moves it.
            if (windows->live(windows->loaded_) != nullptr) SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        case WM_CLOSE:
            // Alt+F4 on the bar: destroyed, it would leave the program running
            // with nothing to reach it by, so the program ends as by Exit.
            if (Program* program = windows->live(windows->loaded_)) program->orderlyExit(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK Win32Windows::detailProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32Windows* windows = self(window);
    if (windows == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return windows->paintBackground(window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
        case WM_LBUTTONDOWN:
            if (Program* program = windows->live(windows->detailLoaded_)) program->onPanelLeftPress();
            return 0;
        case WM_CLOSE:
            ShowWindow(window, SW_HIDE);  // the panel is never destroyed before the end
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace vexmora::win32
