#include "settings/autostart.h"

#include "app/program.h"
#include "menu/menu_document.h"
#include "menu/text_replace.h"

namespace vexmora {

Text buildExePath(const Text& runDirectory, const Text& fileName) {
    const Text joined = runDirectory + "\\" + fileName;
    if (joined.starts_with("\\\\") && !joined.starts_with("\\\\\\")) {
        Text path = replaceAll(joined.substr(1), "\\\\", "\\");
        path.insert(path.begin(), '\\');
        return path;
    }
    return replaceAll(joined, "\\\\", "\\");
}

void Program::syncAutostart() {
    ProgramState& s = state();
    if (!store_.valueExists(s.runValuePath)) return;
    setMark(s.menuDocument, "行(×", "行(√");
    s.autostartOn = 1;
    if (store_.readText(s.runValuePath) != s.exePath) store_.writeText(s.runValuePath, s.exePath);
}

std::int32_t Program::toggleAutostart() {
    ProgramState& s = state();
    if (s.autostartOn == 0) {
        if (store_.writeText(s.runValuePath, s.exePath)) {
            s.noticeCode = 2;
            s.autostartOn = 1;
            setMark(s.menuDocument, "行(×", "行(√");
        } else {
            s.noticeCode = 3;
        }
    } else {
        if (store_.deleteEntry(s.runValuePath)) {
            s.noticeCode = 4;
            s.autostartOn = 0;
            setMark(s.menuDocument, "行(√", "行(×");
        } else {
            s.noticeCode = 3;
        }
    }
    return s.noticeCode;
}

}  // namespace vexmora
