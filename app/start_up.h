#pragma once

namespace vexmora {

inline constexpr const char* instanceMutexName = "516756";
inline constexpr const char* settingsKeyPathText = "Software\\Toskarin\\";
inline constexpr const char* runValuePathText = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Toskarin";

// The start-up tip, shown in notice look at the end of start-up.
inline constexpr const char* startUpTipMarkup =
    "<a msg=help><font size=10pt>   提示:在这点右键能弹出菜单~~   </font><br><font size=3pt>"
    "                                 </font></a></br>\r\n"
    "<a msg=notip><font size=10pt>   点这不再提示此消息   </font></a>";

}  // namespace vexmora
