// In-memory platform for the core's tests. Raw operations only: the core
// decides types, defaults and order. Every operation that changes something
// outside the core is recorded in one log, so tests can check the order.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/platform.h"
#include "app/program.h"

namespace vexmora::fakes {

using Log = std::vector<std::string>;

// Thrown by FakeProcess::orderlyExit, which must not return.
struct ExitRequested {
    int code;
};

// A registry of keys (full paths) holding values; missing parents are
// created by a write, deleting a key removes its values.
class FakeRegistry final : public Registry {
public:
    explicit FakeRegistry(Log& log) : log_(log) {}

    std::optional<RegValue> queryValue(const Text& keyPath, const Text& valueName) override {
        auto key = keys_.find(keyPath);
        if (key == keys_.end()) return std::nullopt;
        auto value = key->second.find(valueName);
        if (value == key->second.end()) return std::nullopt;
        return value->second;
    }
    bool setValue(const Text& keyPath, const Text& valueName, const RegValue& value) override {
        log_.push_back("set " + keyPath + "\\" + valueName);
        if (failWrites) return false;
        keys_[keyPath][valueName] = value;
        return true;
    }
    bool deleteValue(const Text& keyPath, const Text& valueName) override {
        if (failDeletes) return false;
        auto key = keys_.find(keyPath);
        if (key == keys_.end() || key->second.erase(valueName) == 0) return false;
        log_.push_back("delete value " + keyPath + "\\" + valueName);
        return true;
    }
    bool deleteKey(const Text& keyPath) override {
        if (failDeletes) return false;
        if (keys_.erase(keyPath) == 0) return false;
        log_.push_back("delete key " + keyPath);
        return true;
    }
    Text expandEnvironment(const Text& text) override {
        Text result = text;
        for (const auto& [name, value] : environment) {
            const Text reference = "%" + name + "%";
            for (std::size_t at = 0; (at = result.find(reference, at)) != Text::npos; at += value.size())
                result.replace(at, reference.size(), value);
        }
        return result;
    }

    // Test set-up and inspection.
    void putDword(const Text& keyPath, const Text& valueName, std::uint32_t bits) {
        keys_[keyPath][valueName] = RegValue{4, {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                                                 static_cast<std::uint8_t>(bits >> 16),
                                                 static_cast<std::uint8_t>(bits >> 24)}};
    }
    void put(const Text& keyPath, const Text& valueName, RegValue value) { keys_[keyPath][valueName] = std::move(value); }
    std::optional<std::int32_t> dword(const Text& keyPath, const Text& valueName) const {
        auto key = keys_.find(keyPath);
        if (key == keys_.end()) return std::nullopt;
        auto value = key->second.find(valueName);
        if (value == key->second.end() || value->second.type != 4 || value->second.data.size() != 4) return std::nullopt;
        const auto& d = value->second.data;
        return static_cast<std::int32_t>(d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24);
    }
    bool hasKey(const Text& keyPath) const { return keys_.count(keyPath) != 0; }
    std::size_t valueCount(const Text& keyPath) const {
        auto key = keys_.find(keyPath);
        return key == keys_.end() ? 0 : key->second.size();
    }

    bool failWrites = false;
    bool failDeletes = false;
    std::map<Text, Text> environment;

private:
    Log& log_;
    std::map<Text, std::map<Text, RegValue>> keys_;
};

// Builds MIB_IFTABLE buffers from counter rows.
class FakeInterfaceTable final : public InterfaceTable {
public:
    explicit FakeInterfaceTable(Log& log) : log_(log) {}

    std::uint32_t getIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) override {
        log_.push_back(sorted ? "getIfTable sorted" : "getIfTable probe");
        if (failAll || (sorted && failSecondCall)) return 87;
        const std::vector<std::uint8_t> table = bytes();
        if (*size < table.size()) {
            *size = static_cast<std::uint32_t>(table.size());
            return 122;  // ERROR_INSUFFICIENT_BUFFER
        }
        std::copy(table.begin(), table.end(), buffer);
        return 0;
    }

    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> table(4 + rows.size() * 860, 0);
        put(table, 0, static_cast<std::uint32_t>(rows.size()));
        for (std::size_t k = 0; k < rows.size(); ++k) {
            put(table, 4 + k * 860 + 552, static_cast<std::uint32_t>(rows[k].inOctets));
            put(table, 4 + k * 860 + 576, static_cast<std::uint32_t>(rows[k].outOctets));
        }
        return table;
    }

    std::vector<CounterRecord> rows;
    bool failAll = false;
    bool failSecondCall = false;

private:
    static void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    Log& log_;
};

class FakeWindows final : public Windows {
public:
    explicit FakeWindows(Log& log) : log_(log) {}

    bool cutWindowShape(WindowId w) override { return record("cutWindowShape " + name(w)), true; }
    void loadDetailWindow() override { record("loadDetailWindow"); }
    void setWindowAlpha(WindowId w, int alpha) override {
        record("setWindowAlpha " + name(w) + " " + std::to_string(alpha));
        window(w).alpha = alpha;
    }
    void setAlwaysOnTop(WindowId w, bool on) override {
        record("setAlwaysOnTop " + name(w) + (on ? " on" : " off"));
        window(w).topmost = on;
    }
    void setWindowVisible(WindowId w, bool visible) override {
        record("setWindowVisible " + name(w) + (visible ? " true" : " false"));
        window(w).visible = visible;
    }
    void moveWindow(WindowId w, const Rect& r) override {
        record("moveWindow " + name(w) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
               std::to_string(r.width) + "x" + std::to_string(r.height));
        if (window(w).rect == r) return;
        window(w).rect = r;
        if (w == WindowId::bar && onBarMoved) onBarMoved();
    }
    Rect windowRect(WindowId w) override { return window(w).rect; }
    void setLabelText(LabelId label, const Text& text) override { labels[label] = text; }
    Text labelText(LabelId label) override { return labels[label]; }
    Text versionEditText() override { return versionText; }
    void installMouseLeaveHook() override { record("installMouseLeaveHook"); }
    void trackMouseLeave() override { record("trackMouseLeave"); }
    void dragBar() override {
        record("dragBar");
        if (dragTo) moveWindow(WindowId::bar, {dragTo->left, dragTo->top, window(WindowId::bar).rect.width,
                                               window(WindowId::bar).rect.height});
    }
    void setTimerPeriod(int milliseconds) override {
        record("setTimerPeriod " + std::to_string(milliseconds));
        timerPeriod = milliseconds;
    }
    int primaryScreenWidth() override { return screenWidth; }
    bool touchesAnyMonitor(const Rect& r) override {
        for (const Rect& m : monitors)
            if (r.left < m.left + m.width && m.left < r.left + r.width && r.top < m.top + m.height &&
                m.top < r.top + r.height)
                return true;
        return false;
    }

    struct WindowState {
        Rect rect{50, 50, 155, 23};
        int alpha = -1;
        bool topmost = true;
        bool visible = false;
    };
    WindowState& window(WindowId w) { return w == WindowId::bar ? bar : detail; }

    WindowState bar;
    WindowState detail{{50, 50, 155, 134}};
    std::map<LabelId, Text> labels;
    Text versionText = "2";
    int timerPeriod = 0;
    int screenWidth = 1920;
    std::vector<Rect> monitors{{0, 0, 1920, 1080}};
    std::optional<Rect> dragTo;
    std::function<void()> onBarMoved;  // the position-changed event

private:
    static std::string name(WindowId w) { return w == WindowId::bar ? "bar" : "detail"; }
    void record(const std::string& entry) { log_.push_back(entry); }
    Log& log_;
};

class FakeBalloon final : public Balloon {
public:
    explicit FakeBalloon(Log& log) : log_(log) {}
    void setLook(const BalloonLook& look) override { this->look = look; }
    void showAt(int x, int y, const Text& markup) override {
        log_.push_back("showAt " + std::to_string(x) + "," + std::to_string(y));
        shown.push_back({x, y, markup, look});
    }
    struct Shown {
        int x, y;
        Text markup;
        BalloonLook look;
    };
    BalloonLook look;
    std::vector<Shown> shown;

private:
    Log& log_;
};

// Answers prompts from a script; nullopt is a cancel. Running out of answers
// is a test failure (a prompt that never ends).
class FakeInputBox final : public InputBox {
public:
    explicit FakeInputBox(Log& log) : log_(log) {}
    std::optional<Text> inputNumber(const Text& prompt, const Text& title, const Text& initialText) override {
        log_.push_back("inputNumber " + title);
        asked.push_back({prompt, title, initialText});
        if (answers.empty()) throw std::logic_error("prompt shown with no answer left");
        auto answer = answers.front();
        answers.pop_front();
        if (duringPrompt) duringPrompt();
        return answer;
    }
    struct Asked {
        Text prompt, title, initialText;
    };
    std::deque<std::optional<Text>> answers;
    std::vector<Asked> asked;
    std::function<void()> duringPrompt;  // what the nested loop dispatches meanwhile

private:
    Log& log_;
};

class FakeNetwork final : public Network {
public:
    explicit FakeNetwork(Log& log) : log_(log) {}
    HttpResponse httpGet(const Text& host, const Text& path, std::size_t maxBodyBytes) override {
        log_.push_back("httpGet " + host + path);
        lastMaxBodyBytes = maxBodyBytes;
        return response;
    }
    void openUrl(const Text& url) override {
        log_.push_back("openUrl " + url);
        opened.push_back(url);
    }
    HttpResponse response;
    std::vector<Text> opened;
    std::size_t lastMaxBodyBytes = 0;

private:
    Log& log_;
};

class FakeProcess final : public Process {
public:
    explicit FakeProcess(Log& log) : log_(log) {}
    bool acquireInstanceMutex(const Text& name) override {
        log_.push_back("acquireInstanceMutex " + name);
        return !anotherCopyRunning;
    }
    Text runDirectory() override { return directory; }
    Text programFileName() override { return fileName; }
    void orderlyExit(int code) override {
        log_.push_back("orderlyExit " + std::to_string(code));
        if (cleanUp) std::exchange(cleanUp, nullptr)();
        throw ExitRequested{code};
    }
    bool anotherCopyRunning = false;
    Text directory = "C:\\Tools";
    Text fileName = "vexmora.exe";
    std::function<void()> cleanUp;

private:
    Log& log_;
};

// One program over a complete fake platform.
struct FakeSystem {
    Log log;
    FakeRegistry registry{log};
    FakeInterfaceTable interfaceTable{log};
    FakeWindows windows{log};
    FakeBalloon balloon{log};
    FakeInputBox inputBox{log};
    FakeNetwork network{log};
    FakeProcess process{log};
    Program program{Platform{registry, interfaceTable, windows, balloon, inputBox, network, process}};

    static constexpr const char* settingsKey = "Software\\Toskarin";
    static constexpr const char* runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

    FakeSystem() {
        program.initGlobals();
        process.cleanUp = [this] { program.releaseGlobals(); };
        windows.onBarMoved = [this] {
            if (program.globalsLive()) program.onBarMoved();
        };
    }
    // Stored values that need no prompt, on a machine with three interfaces.
    void seedUsableSettings() {
        interfaceTable.rows = {{100, 10}, {200, 20}, {300, 30}};
        registry.putDword(settingsKey, "监控编号", 2);
        registry.putDword(settingsKey, "透明度", 200);
    }
    // Runs start-up to its end as the entry does; false when it ended the process.
    bool start() {
        try {
            program.startUp();
            program.onBarMoved();
            return true;
        } catch (const ExitRequested&) {
            return false;
        }
    }
    std::optional<std::int32_t> stored(const Text& valueName) const { return registry.dword(settingsKey, valueName); }
};

}  // namespace vexmora::fakes
