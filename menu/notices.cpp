// The notice shown after the balloon closes, chosen by NoticeCode.
#include "menu/notices.h"

#include "app/program.h"

namespace vexmora {

namespace {

struct OneLinkNotice {
    std::int32_t code;
    const char* linkName;
    const char* text;
};

constexpr OneLinkNotice oneLinkNotices[] = {
    {2, "msg1", "操作成功,程序将开机自启动"},
    {3, "msg2", "操作失败,可能被安全软件阻止"},
    {4, "msg3", "操作成功,程序不会开机自启动"},
    {5, "msg4", "下次运行时总流量会累加计算"},
    {6, "msg5", "功能已关闭"},
    {7, "msg6", "窗口不会置顶"},
    {8, "msg7", "窗口将总在最前端显示"},
    {12, "msg10", "下次运行将不再弹出提示信息"},
};

const Text spacerRow(33, ' ');

Text aboutRow(const Text& rowText) {
    return "<a msg=about><font size=10pt>   " + rowText + "   </font><br><font size=3pt>" + spacerRow +
           "</font></a></br>";
}

}  // namespace

Text noticeMarkup(const Text& name, const Text& text) {
    return "<a msg=" + name + "><font size=10pt>   " + text + "   </font></a>";
}

Text aboutMarkup() {
    return aboutRow("Vexmora 网络流量监视器") + "\r\n" + aboutRow("版本 2");
}

Text resetConfirmationText() {
    return "<a msg=no><font size=15pt>   真的要恢复默认设置？   </font><br><font size=3pt>" + spacerRow +
           "</font></a></br><a msg=yes><font size=10pt>     确定   </font></a>"
           "<a msg=no><font size=10pt>   取消     </font></a>";
}

void Program::onBalloonClosed() {
    ProgramState& s = state();
    const std::int32_t code = s.noticeCode;
    if (code == 0) return;
    if (code == 1) {
        showBalloon(2, aboutMarkup());
    } else if (code == 9) {
        showBalloon(2, noticeMarkup("msg8", resetConfirmationText()));
    } else if (code == 10) {
        showBalloon(2, noticeMarkup("msg9", "恢复默认设置成功,程序将退出"));
        s.noticeCode = 11;
        return;
    } else if (code == 11) {
        orderlyExit(0);
        return;
    } else {
        for (const OneLinkNotice& notice : oneLinkNotices) {
            if (notice.code == code) showBalloon(2, noticeMarkup(notice.linkName, notice.text));
        }
    }
    s.noticeCode = 0;
}

}  // namespace vexmora
