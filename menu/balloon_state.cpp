#include "menu/balloon_state.h"

namespace vexmora {

void BalloonState::show() {
    close();
    ++shows_;
    visible_ = true;
    view_.showWindow();
}

void BalloonState::close() {
    if (!visible_) return;
    visible_ = false;
    view_.hideWindow();
    view_.queueClosed();
}

void BalloonState::leftPress(const std::optional<Text>& link) {
    if (!visible_) return;
    const std::uint64_t pressed = shows_;
    if (link) view_.raiseLinkClicked(*link);
    if (visible_ && shows_ == pressed) close();
}

}  // namespace vexmora
