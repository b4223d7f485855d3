// The platform boundary: every operating-system service the portable core
// uses. The Win32 side implements it in the *_win32.cpp files; the unit tests
// implement it in memory (tests/fakes). Texts crossing it are GBK bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexmora {

using Text = std::string;  // bytes in the ANSI code page GBK

// Registry value types, with their Windows numbers.
enum class RegType : std::uint32_t { none = 0, sz = 1, expandSz = 2, binary = 3, dword = 4, qword = 11 };

struct RegValue {
    std::uint32_t type = 0;  // a RegType number, or any other the registry holds
    std::vector<std::uint8_t> data;
};

// Raw registry operations below HKEY_CURRENT_USER. Each call opens the key it
// needs and closes it before returning; the semantics (types, defaults) are
// the settings store's.
class Registry {
public:
    virtual ~Registry() = default;
    // The value when the key opens for reading and holds it, whatever its type.
    virtual std::optional<RegValue> queryValue(const Text& keyPath, const Text& valueName) = 0;
    // Opens the key for writing, creating it and its parents when missing.
    virtual bool setValue(const Text& keyPath, const Text& valueName, const RegValue& value) = 0;
    virtual bool deleteValue(const Text& keyPath, const Text& valueName) = 0;
    // Deletes the key with all its values (it has no subkeys).
    virtual bool deleteKey(const Text& keyPath) = 0;
    virtual Text expandEnvironment(const Text& text) = 0;
};

// GetIfTable: fills buffer (size bytes) and returns 0, or writes the size it
// needs into size and returns an error.
class InterfaceTable {
public:
    virtual ~InterfaceTable() = default;
    virtual std::uint32_t getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) = 0;
};

enum class WindowId { bar, detail };

// The labels that carry data, addressed by window and name.
enum class LabelId {
    barSend,            // BarWindow 发送透明标签
    barReceive,         // BarWindow 接收透明标签
    panelDownSpeed,     // DetailWindow 下载速度
    panelUpSpeed,       // DetailWindow 上传速度
    panelUpAmount,      // DetailWindow 上传流量透明标签
    panelDownAmount,    // DetailWindow 下载流量透明标签
    panelTotal,         // DetailWindow 流量标签
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The two windows, their labels, the bar's timer and the screen.
class Windows {
public:
    virtual ~Windows() = default;
    virtual bool cutWindowShape(WindowId window) = 0;  // from the window's own outline picture
    virtual void loadDetailWindow() = 0;
    virtual void setWindowAlpha(WindowId window, int alpha) = 0;
    virtual void setAlwaysOnTop(WindowId window, bool on) = 0;
    virtual void setWindowVisible(WindowId window, bool visible) = 0;
    virtual void moveWindow(WindowId window, const Rect& rect) = 0;
    virtual Rect windowRect(WindowId window) = 0;
    virtual void setLabelText(LabelId label, const Text& text) = 0;
    virtual Text labelText(LabelId label) = 0;
    virtual Text versionEditText() = 0;                 // BarWindow 编辑框1
    virtual void installMouseLeaveHook() = 0;           // on BarWindow 透明标签1
    virtual void trackMouseLeave() = 0;                 // TrackMouseEvent(TME_LEAVE) on the hover label
    virtual void dragBar() = 0;                         // WM_NCLBUTTONDOWN/HTCAPTION; returns after the drop
    virtual void setTimerPeriod(int milliseconds) = 0;  // BarWindow 时钟1; 0 stops it
    virtual int primaryScreenWidth() = 0;
    virtual bool touchesAnyMonitor(const Rect& rect) = 0;  // any pixel of rect on a monitor
};

enum class TailPlacement { topMiddle, bottomMiddle };

struct BalloonLook {
    int cornerWidth = 0, cornerHeight = 0;
    int tailWidth = 0, tailHeight = 0;
    TailPlacement tailPlacement = TailPlacement::topMiddle;
};

// The balloon control 气球提示框1. Its events come back as
// Program::linkClicked and Program::balloonClosed.
class Balloon {
public:
    virtual ~Balloon() = default;
    virtual void setLook(const BalloonLook& look) = 0;
    virtual void showAt(int x, int y, const Text& markup) = 0;
};

class InputBox {
public:
    virtual ~InputBox() = default;
    // The modal integer input box; the edit text when confirmed.
    virtual std::optional<Text> inputNumber(const Text& prompt, const Text& title, const Text& initialText) = 0;
};

struct HttpResponse {
    bool fetched = false;  // a response arrived
    int status = 0;
    std::string body;      // at most the bound asked for
};

class Network {
public:
    virtual ~Network() = default;
    virtual HttpResponse httpGet(const Text& host, const Text& path, std::size_t maxBodyBytes) = 0;
    virtual void openUrl(const Text& url) = 0;  // ShellExecute "open"
};

class Process {
public:
    virtual ~Process() = default;
    virtual bool acquireInstanceMutex(const Text& name) = 0;
    virtual Text runDirectory() = 0;       // folder of the program file, no trailing backslash
    virtual Text programFileName() = 0;    // with its extension
    // Runs the registered clean-up once and ends the process; never returns
    // in the real program (the test fake throws).
    virtual void orderlyExit(int code) = 0;
};

struct Platform {
    Registry& registry;
    InterfaceTable& interfaceTable;
    Windows& windows;
    Balloon& balloon;
    InputBox& inputBox;
    Network& network;
    Process& process;
};

}  // namespace vexmora
