// Where and in which look the balloon shows a markup.
#include "app/program.h"

namespace vexmora {

void Program::showBalloon(int mode, const Text& markup) {
    const int a = mode == 1 ? 0 : 1;
    BalloonLook look;
    look.cornerWidth = 3 * a;
    look.cornerHeight = 3 * a;
    look.tailWidth = 9 * a;
    look.tailHeight = 5 * a;
    const Rect bar = platform_.windows.windowRect(WindowId::bar);
    if (bar.top <= 300) {
        // Hangs below the bar, its tip on the bar's bottom edge.
        look.tailPlacement = TailPlacement::topMiddle;
        platform_.balloon.setLook(look);
        platform_.balloon.showAt(bar.left + 72, bar.top + 22, markup);
    } else {
        look.tailPlacement = TailPlacement::bottomMiddle;
        platform_.balloon.setLook(look);
        platform_.balloon.showAt(bar.left + 60, bar.top, markup);
    }
}

void Program::showMenu() {
    showBalloon(1, state().menuDocument);
}

}  // namespace vexmora
