// When the balloon closes, and the order of its events around a close.
#pragma once

#include <cstdint>
#include <optional>

#include "app/platform.h"

namespace vexmora {

// What the close rules drive: the balloon's window and its two events.
class BalloonView {
public:
    virtual ~BalloonView() = default;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // Queues closed() on the user-interface thread; it runs later.
    virtual void queueClosed() = 0;
    // Raises linkClicked(name) synchronously.
    virtual void raiseLinkClicked(const Text& name) = 0;
};

class BalloonState {
public:
    explicit BalloonState(BalloonView& view) : view_(view) {}

    bool visible() const { return visible_; }

    // Shows a new balloon; a visible one is closed first.
    void show();
    // Any closing cause: hides a visible balloon and queues one closed().
    // A hidden balloon does not close again.
    void close();
    // A left press on the balloon itself: the link's event first, while the
    // balloon is still visible, then the close. When the link's own work has
    // already closed this balloon (or shown another), nothing more happens.
    void leftPress(const std::optional<Text>& link);

private:
    BalloonView& view_;
    bool visible_ = false;
    std::uint64_t shows_ = 0;  // tells one shown balloon from the next
};

}  // namespace vexmora
