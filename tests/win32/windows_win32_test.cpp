// BarWindow and DetailWindow on the real window manager (Wine): design
// state when loaded, outlines, opacity, moves and label drawing.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "app/gbk_win32.h"
#include "ui/windows_win32.h"

namespace vexmora::win32 {
namespace {

class WindowsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        windows.loadBarWindow();
        windows.finishLoading();
        windows.loadDetailWindow();
    }
    HWND bar() const { return windows.barWindow(); }
    HWND detail() const { return FindWindowW(L"VexmoraDetail", nullptr); }

    // Lets pending paint and position messages run.
    static void pump() {
        MSG message;
        for (int round = 0; round < 5; ++round) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(20);
        }
    }

    // Dark pixels of a screen area, read from the screen.
    static int darkPixels(int left, int top, int width, int height) {
        HDC screen = GetDC(nullptr);
        int dark = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) {
                const COLORREF c = GetPixel(screen, x, y);
                if (GetRValue(c) < 110 && GetGValue(c) < 110 && GetBValue(c) < 110) ++dark;
            }
        ReleaseDC(nullptr, screen);
        return dark;
    }

    Win32Windows windows{GetModuleHandleW(nullptr)};
};

RECT rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(WindowsWin32Test, WindowsAreLoadedHiddenOwnedFramelessAndOnTop) {
    ASSERT_NE(detail(), nullptr);
    const std::pair<HWND, RECT> expected[] = {{bar(), {50, 50, 205, 73}}, {detail(), {50, 50, 205, 184}}};
    for (const auto& [window, place] : expected) {
        const RECT r = rectOf(window);
        EXPECT_EQ(r.left, place.left);
        EXPECT_EQ(r.top, place.top);
        EXPECT_EQ(r.right, place.right);
        EXPECT_EQ(r.bottom, place.bottom);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_NE(GetWindow(window, GW_OWNER), nullptr);
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
        EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
        EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    }
    EXPECT_EQ(windows.versionEditText(), "2");
    // The bar carries the program icon, the panel none.
    EXPECT_NE(GetClassLongPtrW(bar(), GCLP_HICON), 0u);
    EXPECT_NE(GetClassLongPtrW(bar(), GCLP_HICONSM), 0u);
    EXPECT_EQ(GetClassLongPtrW(detail(), GCLP_HICON), 0u);
}

// Pixels of a w x h picture outline: all but the key ring and the four
// pixels diagonally inside its corners.
bool insideOutline(int x, int y, int w, int h) {
    if (x < 1 || y < 1 || x > w - 2 || y > h - 2) return false;
    return !((x == 1 || x == w - 2) && (y == 1 || y == h - 2));
}

void expectOutline(HWND window, int w, int h, int scanHeight) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window, region.get()), ERROR);
    int wrong = 0;
    for (int y = -2; y < scanHeight + 2; ++y)
        for (int x = -2; x < w + 2; ++x)
            if ((PtInRegion(region.get(), x, y) != FALSE) != insideOutline(x, y, w, h)) ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST_F(WindowsWin32Test, OutlinesAreThePicturesAndSurviveResizing) {
    ASSERT_TRUE(windows.cutWindowShape(WindowId::bar));
    expectOutline(bar(), 155, 22, 23);
    windows.moveWindow(WindowId::bar, {100, 100, 155, 22});
    expectOutline(bar(), 155, 22, 23);
    // DetailWindow cut its own outline when it was loaded.
    expectOutline(detail(), 155, 134, 134);
    windows.moveWindow(WindowId::detail, {100, 130, 155, 157});
    expectOutline(detail(), 155, 134, 157);
    // Cutting again replaces the region with the same one.
    ASSERT_TRUE(windows.cutWindowShape(WindowId::detail));
    expectOutline(detail(), 155, 134, 157);
}

TEST_F(WindowsWin32Test, AlphaOutsideTheRangeIsOpaque) {
    const std::pair<int, BYTE> cases[] = {{50, 50}, {255, 255}, {0, 0}, {256, 255}, {-1, 255}, {128, 128}};
    for (const auto& [given, applied] : cases) {
        for (WindowId id : {WindowId::bar, WindowId::detail}) {
            windows.setWindowAlpha(id, given);
            HWND window = id == WindowId::bar ? bar() : detail();
            BYTE alpha = 0;
            DWORD flags = 0;
            COLORREF key = 0;
            ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
            EXPECT_EQ(alpha, applied) << given;
            EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
            EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "alpha leaves always-on-top alone";
        }
    }
}

bool onTop(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

TEST_F(WindowsWin32Test, AlwaysOnTopSwitchesOffAndOnAgainForBothWindows) {
    // Bar first, then panel, as the program switches them.
    const auto forBoth = [this](auto operation) {
        operation(WindowId::bar);
        operation(WindowId::detail);
    };
    const auto setOnTop = [&](bool on) { forBoth([&](WindowId w) { windows.setAlwaysOnTop(w, on); }); };
    const auto setVisible = [&](bool on) { forBoth([&](WindowId w) { windows.setWindowVisible(w, on); }); };
    const auto expectOnTop = [this](bool on) {
        EXPECT_EQ(onTop(bar()), on);
        EXPECT_EQ(onTop(detail()), on);
    };
    // As at start-up: opacity first, then always-on-top off while both are hidden.
    forBoth([&](WindowId w) { windows.setWindowAlpha(w, 200); });
    setOnTop(false);
    expectOnTop(false);
    setVisible(true);
    expectOnTop(false);
    setOnTop(true);
    expectOnTop(true);
    setOnTop(false);
    expectOnTop(false);
    setVisible(false);
}

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC barProc = nullptr;
int moves = 0;
LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOVE || message == WM_WINDOWPOSCHANGED) ++moves;
    return CallWindowProcW(barProc, window, message, wParam, lParam);
}

TEST_F(WindowsWin32Test, MovingToTheSameRectangleRaisesNothing) {
    barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingProc)));
    windows.moveWindow(WindowId::bar, {300, 200, 155, 22});
    pump();
    EXPECT_GT(moves, 0);
    EXPECT_EQ(windows.windowRect(WindowId::bar), (Rect{300, 200, 155, 22}));
    moves = 0;
    windows.moveWindow(WindowId::bar, {300, 200, 155, 22});
    windows.moveWindow(WindowId::bar, {300, 200, -1, -1});  // -1 keeps the size
    pump();
    EXPECT_EQ(moves, 0);
    windows.moveWindow(WindowId::bar, {310, 210, -1, 22});
    pump();
    EXPECT_GT(moves, 0);
    EXPECT_EQ(windows.windowRect(WindowId::bar), (Rect{310, 210, 155, 22}));
    SetWindowLongPtrW(bar(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barProc));
}

TEST_F(WindowsWin32Test, LabelTextsReadBackExactly) {
    const Text texts[] = {"0.0KB/S", "下载速度：12.5KB/S", "A&B", "", std::string("\x81\x30", 2)};
    const LabelId labels[] = {LabelId::barSend,       LabelId::barReceive,     LabelId::panelDownSpeed,
                              LabelId::panelUpSpeed,  LabelId::panelUpAmount,  LabelId::panelDownAmount,
                              LabelId::panelTotal};
    EXPECT_EQ(windows.labelText(LabelId::barSend), "KB/S");
    EXPECT_EQ(windows.labelText(LabelId::barReceive), "KB/S");
    EXPECT_EQ(windows.labelText(LabelId::panelTotal), "");
    for (LabelId label : labels)
        for (const Text& text : texts) {
            windows.setLabelText(label, text);
            EXPECT_EQ(windows.labelText(label), text);
        }
}

TEST_F(WindowsWin32Test, LabelsDrawAmpersandsAndLeaveNoTraceOfOlderTexts) {
    windows.cutWindowShape(WindowId::bar);
    windows.moveWindow(WindowId::bar, {400, 300, 155, 22});
    windows.setWindowVisible(WindowId::bar, true);
    pump();
    // The receive label: 17, 5, 55 x 14 inside the bar.
    const int left = 400 + 17, top = 300 + 5;
    windows.setLabelText(LabelId::barReceive, "");
    pump();
    EXPECT_EQ(darkPixels(left, top, 55, 14), 0);
    windows.setLabelText(LabelId::barReceive, "&");  // a prefix character would draw nothing
    pump();
    EXPECT_GT(darkPixels(left, top, 55, 14), 3);
    windows.setLabelText(LabelId::barReceive, "88888888888888");  // longer than the label: cut, not wrapped
    pump();
    const int full = darkPixels(left, top, 55, 14);
    EXPECT_GT(full, 40);
    // Bar rows 2 to 4 and 19 to 20, above and below the label, stay clean.
    EXPECT_EQ(darkPixels(left, 300 + 2, 55, 3) + darkPixels(left, 300 + 19, 55, 2), 0) << "one line only";
    windows.setLabelText(LabelId::barReceive, "8");
    pump();
    EXPECT_EQ(darkPixels(left, top, 45, 14), 0) << "remains of the longer text";
    EXPECT_GT(darkPixels(left + 45, top, 10, 14), 3);
    windows.setLabelText(LabelId::barReceive, "");
    pump();
    EXPECT_EQ(darkPixels(left, top, 55, 14), 0);
    windows.setWindowVisible(WindowId::bar, false);
}

}  // namespace
}  // namespace vexmora::win32

namespace vexmora::win32 {
namespace {

TEST_F(WindowsWin32Test, PanelOpensWithoutTakingTheKeyboardAndJustUnderTheBar) {
    // Another application's window holds the keyboard.
    HWND other = CreateWindowExW(0, L"STATIC", L"editor", WS_POPUP | WS_VISIBLE, 400, 400, 100, 40, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    windows.setWindowVisible(WindowId::bar, true);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    pump();
    const HWND activeBefore = GetActiveWindow();
    windows.setWindowVisible(WindowId::detail, true);
    pump();
    EXPECT_TRUE(IsWindowVisible(detail()));
    EXPECT_EQ(GetActiveWindow(), activeBefore);
    EXPECT_NE(GetActiveWindow(), detail());
    // Next below the bar in the z-order.
    EXPECT_EQ(GetWindow(bar(), GW_HWNDNEXT), detail());
    windows.setWindowVisible(WindowId::detail, false);
    DestroyWindow(other);
}

}  // namespace
}  // namespace vexmora::win32
