#include "menu/balloon_win32.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "app/gbk_win32.h"
#include "app/program.h"

namespace vexmora::win32 {

namespace {

constexpr wchar_t balloonClass[] = L"VexmoraBalloon";
constexpr wchar_t shadowClass[] = L"VexmoraBalloonShadow";
constexpr wchar_t songTi[] = L"\u5B8B\u4F53";  // 宋体
constexpr wchar_t verdana[] = L"Verdana";

constexpr COLORREF background = RGB(0x1C, 0x1C, 0x1C);
constexpr COLORREF frame = RGB(0x1C, 0x1C, 0x1C);
constexpr COLORREF defaultText = RGB(0, 0, 0);
constexpr COLORREF linkText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF linkHighlight = RGB(0x00, 0x95, 0xBB);

constexpr UINT closedMessage = WM_APP + 0x0B1;
constexpr UINT_PTR fadeTimer = 1;
constexpr UINT fadeStepMs = 100;
constexpr int fadeStep = 51;      // 20 percentage points of 255
constexpr int finalAlpha = 204;   // 20 % transparent

constexpr int shadowOffsetX = 5;
constexpr int shadowOffsetY = 3;
constexpr int shadowBlur = 3;      // radius of the softened edge
constexpr int shadowDarkness = 153; // 60 % of 255

// The balloon whose hooks are installed; one balloon per process.
Win32Balloon* hookedBalloon = nullptr;

int CALLBACK noteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceExists(HDC dc, const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, noteFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The presses and keys that close the balloon: anywhere in the thread (the
// hook) and on the balloon itself, where a left press first picks its link.
bool closesBalloon(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
        case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK:
        case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL:
        case WM_KEYDOWN: case WM_SYSKEYDOWN:
            return true;
        default:
            return false;
    }
}

void registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

struct WindowShape {
    int bodyX = 0, bodyY = 0;  // the body's corner in window coordinates
};

WindowShape shapeOf(const BalloonPlacement& p) {
    return WindowShape{p.body.left - p.window.left, p.body.top - p.window.top};
}

// Body with its cut corners and the tail, in window coordinates.
UniqueRegion balloonRegion(const BalloonPlacement& p, const BalloonLook& look) {
    const WindowShape s = shapeOf(p);
    const int right = s.bodyX + p.body.width;
    const int bottom = s.bodyY + p.body.height;
    UniqueRegion region(look.cornerWidth > 0 && look.cornerHeight > 0
                            ? CreateRoundRectRgn(s.bodyX, s.bodyY, right + 1, bottom + 1, look.cornerWidth,
                                                 look.cornerHeight)
                            : CreateRectRgn(s.bodyX, s.bodyY, right, bottom));
    if (!region || !p.hasTail) return region;
    const int tipX = p.tipX - p.window.left;
    const int left = p.tailLeft - p.window.left;
    const int rightBase = p.tailRight - p.window.left;
    POINT points[3];
    if (p.tailOnTop) {
        points[0] = {tipX, 0};
        points[1] = {rightBase, s.bodyY + 1};  // overlaps the edge so that the two join
        points[2] = {left, s.bodyY + 1};
    } else {
        points[0] = {left, bottom - 1};
        points[1] = {rightBase, bottom - 1};
        points[2] = {tipX, p.window.height};
    }
    UniqueRegion tail(CreatePolygonRgn(points, 3, WINDING));
    if (tail) CombineRgn(region.get(), region.get(), tail.get(), RGN_OR);
    return region;
}

// Box blur of one channel, radius r, in place (rows then columns).
void blur(std::vector<int>& values, int width, int height, int r) {
    std::vector<int> line;
    auto pass = [&](int count, int length, auto at) {
        line.resize(static_cast<std::size_t>(length));
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < length; ++j) line[static_cast<std::size_t>(j)] = at(i, j);
            for (int j = 0; j < length; ++j) {
                int sum = 0;
                for (int k = j - r; k <= j + r; ++k)
                    if (k >= 0 && k < length) sum += line[static_cast<std::size_t>(k)];
                at(i, j) = sum / (2 * r + 1);
            }
        }
    };
    auto cell = [&](int x, int y) -> int& { return values[static_cast<std::size_t>(y) * width + x]; };
    pass(height, width, [&](int y, int x) -> int& { return cell(x, y); });
    pass(width, height, [&](int x, int y) -> int& { return cell(x, y); });
}

}  // namespace

// ---- fonts ------------------------------------------------------------------

BalloonFonts::BalloonFonts() : face_(songTi), dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) {
        pixelsPerInch_ = GetDeviceCaps(dc_.get(), LOGPIXELSY);
        if (!faceExists(dc_.get(), songTi) && faceExists(dc_.get(), verdana)) face_ = verdana;
    }
    if (pixelsPerInch_ <= 0) pixelsPerInch_ = 96;
}

HFONT BalloonFonts::font(int pointSize) {
    UniqueFont& font = fonts_[pointSize];
    if (!font) {
        font.reset(CreateFontW(-MulDiv(pointSize, pixelsPerInch_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face_));
    }
    return font.get();
}

TextSize BalloonFonts::measure(const Text& run, int pointSize) {
    TextSize size;
    if (!dc_) return size;
    SelectedObject selected(dc_.get(), font(pointSize));
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc_.get(), &metrics)) {
        size.height = metrics.tmHeight;
        size.ascent = metrics.tmAscent;
    }
    const std::wstring wide = wideFromGbk(run);
    SIZE extent{};
    if (!wide.empty() && GetTextExtentPoint32W(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &extent))
        size.width = extent.cx;
    return size;
}

// ---- the control ----------------------------------------------------------------

Win32Balloon::Win32Balloon(HINSTANCE instance) : instance_(instance), state_(*this) {}

Win32Balloon::~Win32Balloon() {
    if (messageHook_) UnhookWindowsHookEx(messageHook_);
    if (callHook_) UnhookWindowsHookEx(callHook_);
    if (hookedBalloon == this) hookedBalloon = nullptr;
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void Win32Balloon::connect(Program& program) {
    connect([&program](const Text& name) { program.linkClicked(name); }, [&program] { program.balloonClosed(); });
}

void Win32Balloon::connect(std::function<void(const Text&)> linkClicked, std::function<void()> closed) {
    onLinkClicked_ = std::move(linkClicked);
    onClosed_ = std::move(closed);
}

void Win32Balloon::createWindows() {
    if (window_) return;
    registerClass(instance_, balloonClass, windowProc);
    registerClass(instance_, shadowClass, DefWindowProcW);
    // Owned by no window: no taskbar button (tool window), never activated.
    window_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED, balloonClass,
                                  L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance_, this));
    // Presses fall through the shadow to whatever lies below it.
    shadow_.reset(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED |
                                      WS_EX_TRANSPARENT,
                                  shadowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance_, nullptr));
}

void Win32Balloon::showAt(int x, int y, const Text& markup) {
    createWindows();
    state_.close();
    if (!window_) return;
    layout_ = layOutMarkup(parseMarkup(markup), fonts_);
    const Rect screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    placement_ = placeBalloon(layout_.width, layout_.height, x, y, look_, screen);
    const Rect& w = placement_.window;
    SetWindowPos(window_.get(), HWND_TOPMOST, w.left, w.top, w.width, w.height, SWP_NOACTIVATE);
    setShape();
    prepareShadow();
    hoverLink_ = -1;
    InvalidateRect(window_.get(), nullptr, FALSE);
    state_.show();
}

std::optional<POINT> Win32Balloon::linkPoint(const Text& name) const {
    for (const PlacedRun& run : layout_.runs) {
        if (run.link < 0 || layout_.links[static_cast<std::size_t>(run.link)].name != name) continue;
        return POINT{placement_.body.left + run.box.left + run.box.width / 2,
                     placement_.body.top + run.box.top + run.box.height / 2};
    }
    return std::nullopt;
}

void Win32Balloon::setShape() {
    UniqueRegion region = balloonRegion(placement_, look_);
    if (region && SetWindowRgn(window_.get(), region.get(), TRUE)) region.release();  // the system owns it now
}

void Win32Balloon::prepareShadow() {
    shadowBitmap_.reset();
    if (!shadow_) return;
    const int width = placement_.window.width + 2 * shadowBlur;
    const int height = placement_.window.height + 2 * shadowBlur;
    shadowSize_ = SIZE{width, height};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !bits || !dc) return;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::fill(pixels, pixels + count, 0u);
    {
        // The balloon's own outline, white on black, becomes the mask.
        SelectedObject selected(dc.get(), bitmap.get());
        UniqueRegion region = balloonRegion(placement_, look_);
        UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
        if (region && white) {
            OffsetRgn(region.get(), shadowBlur, shadowBlur);
            FillRgn(dc.get(), region.get(), white.get());
        }
        GdiFlush();
    }
    std::vector<int> alpha(count);
    for (std::size_t i = 0; i < count; ++i) alpha[i] = static_cast<int>(pixels[i] & 0xFF);
    blur(alpha, width, height, shadowBlur);
    // Premultiplied black: only the alpha byte is set.
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = static_cast<std::uint32_t>(alpha[i] * shadowDarkness / 255) << 24;
    shadowBitmap_ = std::move(bitmap);
}

void Win32Balloon::updateShadow() {
    if (!shadow_ || !shadowBitmap_) return;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc) return;
    SelectedObject selected(dc.get(), shadowBitmap_.get());
    POINT position{placement_.window.left + shadowOffsetX - shadowBlur,
                   placement_.window.top + shadowOffsetY - shadowBlur};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha_ * 255 / finalAlpha, 0, 255)),
                        AC_SRC_ALPHA};
    UpdateLayeredWindow(shadow_.get(), nullptr, &position, &shadowSize_, dc.get(), &source, 0, &blend, ULW_ALPHA);
}

// ---- BalloonView ------------------------------------------------------------------

void Win32Balloon::showWindow() {
    alpha_ = 0;
    SetLayeredWindowAttributes(window_.get(), 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
    if (shadow_ && shadowBitmap_) {
        updateShadow();
        SetWindowPos(shadow_.get(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
    // Hooks of this thread see the presses and keys of every message loop,
    // modal ones included, and the program's deactivation.
    hookedBalloon = this;
    if (!messageHook_) messageHook_ = SetWindowsHookExW(WH_GETMESSAGE, getMessageHook, nullptr, GetCurrentThreadId());
    if (!callHook_) callHook_ = SetWindowsHookExW(WH_CALLWNDPROC, callWindowHook, nullptr, GetCurrentThreadId());
    SetTimer(window_.get(), fadeTimer, fadeStepMs, nullptr);
}

void Win32Balloon::hideWindow() {
    KillTimer(window_.get(), fadeTimer);
    ShowWindow(window_.get(), SW_HIDE);
    if (shadow_) ShowWindow(shadow_.get(), SW_HIDE);
    if (messageHook_) UnhookWindowsHookEx(messageHook_);
    if (callHook_) UnhookWindowsHookEx(callHook_);
    messageHook_ = nullptr;
    callHook_ = nullptr;
    if (hookedBalloon == this) hookedBalloon = nullptr;
    hoverLink_ = -1;
    tracking_ = false;
}

void Win32Balloon::queueClosed() {
    PostMessageW(window_.get(), closedMessage, 0, 0);
}

void Win32Balloon::raiseLinkClicked(const Text& name) {
    if (onLinkClicked_) onLinkClicked_(name);
}

// ---- messages -------------------------------------------------------------------

bool Win32Balloon::ownWindow(HWND window) const {
    return window != nullptr && (window == window_.get() || window == shadow_.get());
}

LRESULT CALLBACK Win32Balloon::getMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    // The balloon's own window handles its presses itself, so that a link's
    // event comes before the close.
    if (code == HC_ACTION && wParam == PM_REMOVE && hookedBalloon != nullptr) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (closesBalloon(message->message) && !hookedBalloon->ownWindow(message->hwnd))
            hookedBalloon->state_.close();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Win32Balloon::callWindowHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && hookedBalloon != nullptr) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == WM_ACTIVATEAPP && call->wParam == FALSE) hookedBalloon->state_.close();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Win32Balloon::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Balloon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->window_.get() != window) return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

int Win32Balloon::linkAtClient(LPARAM lParam) const {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    const WindowShape s = shapeOf(placement_);
    return layout_.linkAt(x - s.bodyX, y - s.bodyY);
}

void Win32Balloon::setHover(int link) {
    if (link == hoverLink_) return;
    hoverLink_ = link;
    InvalidateRect(window_.get(), nullptr, FALSE);
}

LRESULT Win32Balloon::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_.get();
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const int link = linkAtClient(lParam);
            std::optional<Text> name;
            if (link >= 0) name = layout_.links[static_cast<std::size_t>(link)].name;
            state_.leftPress(name);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            setHover(state_.visible() ? linkAtClient(lParam) : -1);
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            setHover(-1);
            return 0;
        case WM_TIMER:
            if (wParam == fadeTimer) {
                alpha_ = std::min(alpha_ + fadeStep, finalAlpha);
                SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
                updateShadow();
                if (alpha_ >= finalAlpha) KillTimer(window, fadeTimer);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(window, &ps);
            if (dc) paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        default:
            break;
    }
    // Any other press or key on the balloon closes it, as one elsewhere does.
    if (closesBalloon(message)) {
        state_.close();
        return 0;
    }
    if (message == closedMessage) {
        if (onClosed_) onClosed_();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Balloon::paint(HDC target) {
    RECT client{};
    GetClientRect(window_.get(), &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;
    // Drawn off screen first: the highlight changes without flicker.
    UniqueMemoryDc dc(CreateCompatibleDC(target));
    UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!dc || !bitmap) return;
    {
        SelectedObject selectedBitmap(dc.get(), bitmap.get());
        UniqueBrush fill(CreateSolidBrush(background));
        UniqueBrush highlight(CreateSolidBrush(linkHighlight));
        UniqueBrush border(CreateSolidBrush(frame));
        if (fill) FillRect(dc.get(), &client, fill.get());
        SetBkMode(dc.get(), TRANSPARENT);
        const WindowShape s = shapeOf(placement_);
        for (const PlacedRun& run : layout_.runs) {
            const bool isLink = run.link >= 0;
            if (isLink && run.link == hoverLink_ && highlight) {
                RECT box{s.bodyX + run.box.left, s.bodyY + run.box.top, s.bodyX + run.box.left + run.box.width,
                         s.bodyY + run.box.top + run.box.height};
                FillRect(dc.get(), &box, highlight.get());
            }
            const std::wstring wide = wideFromGbk(run.text);
            if (wide.empty()) continue;
            SelectedObject selectedFont(dc.get(), fonts_.font(run.pointSize));
            SetTextColor(dc.get(), isLink ? linkText : defaultText);
            ExtTextOutW(dc.get(), s.bodyX + run.box.left, s.bodyY + run.textTop, 0, nullptr, wide.c_str(),
                        static_cast<UINT>(wide.size()), nullptr);
        }
        UniqueRegion outline = balloonRegion(placement_, look_);
        if (outline && border) FrameRgn(dc.get(), outline.get(), border.get(), 1, 1);
        BitBlt(target, 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace vexmora::win32
