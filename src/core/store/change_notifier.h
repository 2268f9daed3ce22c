// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace vantrel {

// Which group of the store's fields a command changed; a view repaints what it shows.
enum class StoreChange : std::uint32_t {
    none = 0,
    tactic = 1u << 0,           // what is saved: the open tactic and the step shown
    frame = 1u << 7,            // what is drawn: display positions, ball, spin
    board = tactic | frame,     // both; what a view that shows the board listens to
    selection = 1u << 1,        // selected and inspected player
    library = 1u << 2,          // own tactics, selection key
    status = 1u << 3,           // the status line
    animation = 1u << 4,        // playback, previews, flying ball, layout frame, vision fade
    displayOptions = 1u << 5,   // vision, offside, routes, reduce motion
    confirmation = 1u << 6,     // the save question, stage-change flag, discard revision
};

constexpr StoreChange operator|(StoreChange a, StoreChange b) {
    return static_cast<StoreChange>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr StoreChange operator&(StoreChange a, StoreChange b) {
    return static_cast<StoreChange>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
constexpr bool any(StoreChange c) { return c != StoreChange::none; }

// Ends its subscription when destroyed, also from inside a notification.
class Subscription {
public:
    Subscription() = default;
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            alive_ = std::move(other.alive_);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    void reset() {
        if (alive_) *alive_ = false;
        alive_.reset();
    }
    bool active() const { return alive_ && *alive_; }

private:
    template <typename>
    friend class ChangeNotifier;
    explicit Subscription(std::shared_ptr<bool> alive) : alive_(std::move(alive)) {}
    std::shared_ptr<bool> alive_;
};

// Collects the groups a command changes and tells every subscriber once, when the
// outermost command ends. `Flags` is a bit-set enumeration with `none`, `|` and `any`.
template <typename Flags>
class ChangeNotifier {
public:
    using Listener = std::function<void(Flags)>;

    Subscription subscribe(Listener listener) {
        auto alive = std::make_shared<bool>(true);
        slots_.push_back(std::make_shared<Slot>(Slot{alive, std::move(listener)}));
        return Subscription(alive);
    }
    void mark(Flags change) { pending_ = pending_ | change; }

    // A command scope; nested scopes fold into the outermost one.
    class Batch {
    public:
        explicit Batch(ChangeNotifier& notifier) : notifier_(notifier) { ++notifier_.depth_; }
        ~Batch() {
            if (--notifier_.depth_ == 0) notifier_.flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ChangeNotifier& notifier_;
    };

private:
    struct Slot {
        std::shared_ptr<bool> alive;
        Listener listener;
    };

    void flush() {
        // A listener may send a command of its own; its changes are told in a further round.
        for (int round = 0; round < 8 && any(pending_); ++round) {
            const Flags change = pending_;
            pending_ = Flags::none;
            std::erase_if(slots_, [](const auto& slot) { return !*slot->alive; });
            auto snapshot = slots_;   // subscribing or unsubscribing inside a listener is safe
            ++depth_;
            for (const auto& slot : snapshot)
                if (*slot->alive) slot->listener(change);
            --depth_;
        }
        pending_ = Flags::none;
    }

    std::vector<std::shared_ptr<Slot>> slots_;
    Flags pending_ = Flags::none;
    int depth_ = 0;
};

}  // namespace vantrel
