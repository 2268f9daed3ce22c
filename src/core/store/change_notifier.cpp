#include "core/store/change_notifier.h"

#include <algorithm>

namespace vantrel {

Subscription ChangeNotifier::subscribe(Listener listener) {
    auto alive = std::make_shared<bool>(true);
    slots_.push_back(std::make_shared<Slot>(Slot{alive, std::move(listener)}));
    return Subscription(alive);
}

void ChangeNotifier::flush() {
    // A listener may send a command of its own; its changes are told in a further round.
    for (int round = 0; round < 8 && any(pending_); ++round) {
        StoreChange change = pending_;
        pending_ = StoreChange::none;
        std::erase_if(slots_, [](const auto& slot) { return !*slot->alive; });
        auto snapshot = slots_;   // subscribing or unsubscribing inside a listener is safe
        ++depth_;
        for (const auto& slot : snapshot)
            if (*slot->alive) slot->listener(change);
        --depth_;
    }
    pending_ = StoreChange::none;
}

}  // namespace vantrel
