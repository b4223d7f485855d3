// The balloon control 气球提示框1: a topmost popup that never takes the
// focus, draws the link markup on #1C1C1C, fades in, casts a soft shadow and
// closes on any press, wheel turn or key press of the program's thread, on
// the program's deactivation and on a new show.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "app/platform.h"
#include "app/win32_handles.h"
#include "menu/balloon_layout.h"
#include "menu/balloon_state.h"

namespace vexmora {
class Program;
}

namespace vexmora::win32 {

// The balloon's type: 宋体 (Verdana when 宋体 is missing and Verdana is not),
// one font per point size, kept for the run.
class BalloonFonts final : public TextMeasurer {
public:
    BalloonFonts();
    HFONT font(int pointSize);
    TextSize measure(const Text& run, int pointSize) override;

private:
    const wchar_t* face_;
    UniqueMemoryDc dc_;
    int pixelsPerInch_ = 96;
    std::map<int, UniqueFont> fonts_;
};

class Win32Balloon final : public Balloon, private BalloonView {
public:
    explicit Win32Balloon(HINSTANCE instance);
    ~Win32Balloon() override;
    Win32Balloon(const Win32Balloon&) = delete;
    Win32Balloon& operator=(const Win32Balloon&) = delete;

    // The events go to Program::linkClicked and Program::balloonClosed.
    void connect(Program& program);
    void connect(std::function<void(const Text&)> linkClicked, std::function<void()> closed);

    void setLook(const BalloonLook& look) override { look_ = look; }
    void showAt(int x, int y, const Text& markup) override;

    bool visible() const { return state_.visible(); }
    HWND window() const { return window_.get(); }
    // Where a link's first piece lies on the screen (for tests of the clicks).
    std::optional<POINT> linkPoint(const Text& name) const;

private:
    // BalloonView
    void showWindow() override;
    void hideWindow() override;
    void queueClosed() override;
    void raiseLinkClicked(const Text& name) override;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK callWindowHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool ownWindow(HWND window) const;

    void createWindows();
    void setShape();
    void prepareShadow();
    void updateShadow();
    void paint(HDC dc);
    void setHover(int link);
    int linkAtClient(LPARAM lParam) const;

    HINSTANCE instance_;
    BalloonState state_;
    std::function<void(const Text&)> onLinkClicked_;
    std::function<void()> onClosed_;
    BalloonLook look_;
    BalloonFonts fonts_;

    UniqueWindow window_;
    UniqueWindow shadow_;
    BalloonLayout layout_;
    BalloonPlacement placement_;
    int hoverLink_ = -1;
    bool tracking_ = false;
    int alpha_ = 0;

    UniqueBitmap shadowBitmap_;  // premultiplied black with the soft alpha
    SIZE shadowSize_{};

    HHOOK messageHook_ = nullptr;
    HHOOK callHook_ = nullptr;
};

}  // namespace vexmora::win32
