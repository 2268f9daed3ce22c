#include "ui/export/virtual_time_platform.h"

#include <cmath>
#include <functional>
#include <map>
#include <vector>

namespace vantrel {

// Clocks and timers live here by id; a handle only names its entry, so a handle
// destroyed inside its own callback leaves nothing dangling.
struct VirtualTimePlatform::State {
    struct Clock {
        bool running = false;
        long startFrame = 0;
        int generation = 0;
        std::shared_ptr<std::function<void(double)>> callback;
    };
    struct Timer {
        bool running = false;
        long dueFrame = 0;
        std::shared_ptr<std::function<void()>> fire;
    };
    long frame = 0;
    int nextID = 1;
    std::map<int, Clock> clocks;
    std::map<int, Timer> timers;
};

namespace {

using State = VirtualTimePlatform::State;

class VirtualClock : public FrameClock {
public:
    VirtualClock(std::weak_ptr<State> state, int id) : state_(std::move(state)), id_(id) {}
    ~VirtualClock() override {
        if (auto s = state_.lock()) s->clocks.erase(id_);
    }
    void start(std::function<void(double)> callback) override {
        if (auto s = state_.lock()) {
            auto& c = s->clocks[id_];
            c.running = true;
            c.startFrame = s->frame;
            ++c.generation;
            c.callback = std::make_shared<std::function<void(double)>>(std::move(callback));
        }
    }
    void invalidate() override {
        if (auto s = state_.lock()) {
            auto& c = s->clocks[id_];
            c.running = false;
            ++c.generation;
        }
    }
    bool isRunning() const override {
        auto s = state_.lock();
        if (!s) return false;
        auto it = s->clocks.find(id_);
        return it != s->clocks.end() && it->second.running;
    }

private:
    std::weak_ptr<State> state_;
    int id_;
};

class VirtualTimer : public OneShotTimer {
public:
    VirtualTimer(std::weak_ptr<State> state, int id) : state_(std::move(state)), id_(id) {}
    ~VirtualTimer() override {
        if (auto s = state_.lock()) s->timers.erase(id_);
    }
    void start(double seconds, std::function<void()> fire) override {
        if (auto s = state_.lock()) {
            auto& t = s->timers[id_];
            t.running = true;
            // Due on the first frame at or after the delay (a hair of rounding forgiven).
            const double frames = std::max(0.0, seconds) * VirtualTimePlatform::kFramesPerSecond;
            t.dueFrame = s->frame + static_cast<long>(std::ceil(frames - 1e-6));
            t.fire = std::make_shared<std::function<void()>>(std::move(fire));
        }
    }
    void cancel() override {
        if (auto s = state_.lock()) s->timers[id_].running = false;
    }
    bool isRunning() const override {
        auto s = state_.lock();
        if (!s) return false;
        auto it = s->timers.find(id_);
        return it != s->timers.end() && it->second.running;
    }

private:
    std::weak_ptr<State> state_;
    int id_;
};

// Fires the due timers, earliest first, each checked again just before it fires since
// an earlier one may have cancelled or restarted it.
void fireDueTimers(State& s) {
    while (true) {
        int dueID = -1;
        long dueFrame = 0;
        for (auto& [id, t] : s.timers)
            if (t.running && t.dueFrame <= s.frame && (dueID < 0 || t.dueFrame < dueFrame)) dueID = id, dueFrame = t.dueFrame;
        if (dueID < 0) return;
        auto& t = s.timers[dueID];
        t.running = false;
        auto fire = t.fire;   // alive while it runs, even if the timer is destroyed
        if (fire && *fire) (*fire)();
    }
}

}  // namespace

VirtualTimePlatform::VirtualTimePlatform() : state_(std::make_shared<State>()) {}
VirtualTimePlatform::~VirtualTimePlatform() = default;

std::unique_ptr<FrameClock> VirtualTimePlatform::makeFrameClock() {
    const int id = state_->nextID++;
    state_->clocks[id];
    return std::make_unique<VirtualClock>(state_, id);
}

std::unique_ptr<OneShotTimer> VirtualTimePlatform::makeOneShotTimer() {
    const int id = state_->nextID++;
    state_->timers[id];
    return std::make_unique<VirtualTimer>(state_, id);
}

void VirtualTimePlatform::advanceFrame() {
    auto s = state_;   // outlives this call whatever the callbacks drop
    ++s->frame;
    fireDueTimers(*s);
    std::vector<std::pair<int, int>> ticking;
    for (auto& [id, c] : s->clocks)
        if (c.running) ticking.emplace_back(id, c.generation);
    for (auto [id, generation] : ticking) {
        auto it = s->clocks.find(id);
        if (it == s->clocks.end() || !it->second.running || it->second.generation != generation) continue;
        auto callback = it->second.callback;
        const double elapsed = static_cast<double>(s->frame - it->second.startFrame) / kFramesPerSecond;
        if (callback && *callback) (*callback)(elapsed);
    }
}

long VirtualTimePlatform::frame() const { return state_->frame; }

}  // namespace vantrel
