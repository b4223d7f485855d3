#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "app/platform.h"
#include "app/win32_handles.h"
#include "ui/label_win32.h"
#include "ui/picture_win32.h"

namespace vexmora {
class Program;
}

namespace vexmora::win32 {

// BarWindow and DetailWindow, owned by a hidden window so that neither has a
// taskbar button.
class Win32Windows final : public Windows {
public:
    explicit Win32Windows(HINSTANCE instance);
    ~Win32Windows() override;
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;
    void connect(Program& program) { program_ = &program; }

    // Loads BarWindow hidden; its created event is raised by the entry.
    void loadBarWindow();
    void finishLoading() { loaded_ = true; }
    HWND barWindow() const { return bar_.get(); }

    bool cutWindowShape(WindowId window) override;
    void loadDetailWindow() override;
    void setWindowAlpha(WindowId window, int alpha) override;
    void setAlwaysOnTop(WindowId window, bool on) override;
    void setWindowVisible(WindowId window, bool visible) override;
    void moveWindow(WindowId window, const Rect& rect) override;
    Rect windowRect(WindowId window) override;
    void setLabelText(LabelId label, const Text& text) override;
    Text labelText(LabelId label) override;
    Text versionEditText() override;
    void installMouseLeaveHook() override;
    void trackMouseLeave() override;
    void dragBar() override;
    void setTimerPeriod(int milliseconds) override;
    int primaryScreenWidth() override;
    bool touchesAnyMonitor(const Rect& rect) override;

private:
    static LRESULT CALLBACK barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK detailProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK mouseLeaveHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND handle(WindowId window) const { return window == WindowId::bar ? bar_.get() : detail_.get(); }
    // The program, once its window has finished loading and while it runs.
    Program* live(bool windowLoaded) const;
    bool paintBackground(HWND window, HDC dc) const;
    TransparentLabel* addLabel(HWND parent, const LabelDesign& design, const TiledPicture& background);

    HINSTANCE instance_;
    Program* program_ = nullptr;
    bool loaded_ = false;
    bool detailLoaded_ = false;
    TiledPicture barPicture_;
    TiledPicture panelPicture_;
    UniqueWindow owner_;
    UniqueWindow zOrderAnchor_;
    UniqueWindow bar_;
    UniqueWindow detail_;
    HWND versionEdit_ = nullptr;
    // Declared after the windows: labels go first, while their parents exist.
    std::vector<std::unique_ptr<TransparentLabel>> labels_;
    std::map<LabelId, TransparentLabel*> dataLabels_;
    TransparentLabel* hoverLabel_ = nullptr;
    WNDPROC savedLabelProc_ = nullptr;
    TRACKMOUSEEVENT leaveTrackRecord_{};
};

}  // namespace vexmora::win32
