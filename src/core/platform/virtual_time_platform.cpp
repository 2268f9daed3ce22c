// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/virtual_time_platform.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace vantrel {

// Every clock and timer lives in the shared state by id; the handle the store owns only
// refers to it, so destroying a handle inside its own callback leaves nothing dangling.
struct VirtualTimePlatform::State {
    struct Clock {
        bool running = false;
        double startedAt = 0;
        int generation = 0;
        std::shared_ptr<std::function<void(double)>> callback;
    };
    struct Timer {
        bool running = false;
        double dueAt = 0;
        int generation = 0;
        std::shared_ptr<std::function<void()>> fire;
    };
    double now = 0;
    long frameIndex = 0;
    int nextID = 1;
    std::map<int, Clock> clocks;
    std::map<int, Timer> timers;
};

namespace {

class VirtualClock : public FrameClock {
public:
    VirtualClock(std::weak_ptr<VirtualTimePlatform::State> state, int id) : state_(std::move(state)), id_(id) {}
    ~VirtualClock() override {
        if (auto s = state_.lock()) s->clocks.erase(id_);
    }
    void start(std::function<void(double)> callback) override {
        auto s = state_.lock();
        if (!s) return;
        auto& c = s->clocks[id_];
        c.running = true;
        c.startedAt = s->now;
        ++c.generation;
        c.callback = std::make_shared<std::function<void(double)>>(std::move(callback));
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
    std::weak_ptr<VirtualTimePlatform::State> state_;
    int id_;
};

class VirtualTimer : public OneShotTimer {
public:
    VirtualTimer(std::weak_ptr<VirtualTimePlatform::State> state, int id) : state_(std::move(state)), id_(id) {}
    ~VirtualTimer() override {
        if (auto s = state_.lock()) s->timers.erase(id_);
    }
    void start(double seconds, std::function<void()> fire) override {
        auto s = state_.lock();
        if (!s) return;
        auto& t = s->timers[id_];
        t.running = true;
        t.dueAt = s->now + std::max(0.0, seconds);
        ++t.generation;
        t.fire = std::make_shared<std::function<void()>>(std::move(fire));
    }
    void cancel() override {
        if (auto s = state_.lock()) {
            auto& t = s->timers[id_];
            t.running = false;
            ++t.generation;
        }
    }
    bool isRunning() const override {
        auto s = state_.lock();
        if (!s) return false;
        auto it = s->timers.find(id_);
        return it != s->timers.end() && it->second.running;
    }

private:
    std::weak_ptr<VirtualTimePlatform::State> state_;
    int id_;
};

}  // namespace

VirtualTimePlatform::VirtualTimePlatform() : state_(std::make_shared<State>()) {}
VirtualTimePlatform::~VirtualTimePlatform() = default;

std::unique_ptr<FrameClock> VirtualTimePlatform::makeFrameClock() {
    int id = state_->nextID++;
    state_->clocks[id];
    return std::make_unique<VirtualClock>(state_, id);
}

std::unique_ptr<OneShotTimer> VirtualTimePlatform::makeOneShotTimer() {
    int id = state_->nextID++;
    state_->timers[id];
    return std::make_unique<VirtualTimer>(state_, id);
}

std::optional<std::filesystem::path> VirtualTimePlatform::chooseJsonFileToOpen() { return std::nullopt; }

std::optional<std::filesystem::path> VirtualTimePlatform::chooseJsonFileToSave(std::string_view) { return std::nullopt; }

namespace {

// Fires every timer due by `s.now`, earliest first; each is re-checked before it fires,
// since an earlier one may have cancelled or restarted it.
void fireDueTimers(VirtualTimePlatform::State& s) {
    while (true) {
        int dueID = -1;
        double dueAt = 0;
        for (auto& [id, t] : s.timers)
            if (t.running && t.dueAt <= s.now + 1e-9 && (dueID < 0 || t.dueAt < dueAt)) dueID = id, dueAt = t.dueAt;
        if (dueID < 0) return;
        auto& t = s.timers[dueID];
        t.running = false;
        auto fire = t.fire;   // keeps the function alive while it runs
        if (fire && *fire) (*fire)();
    }
}

}  // namespace

void VirtualTimePlatform::advance(double seconds) {
    auto s = state_;   // the state outlives this call even if a callback drops things
    const double end = s->now + std::max(0.0, seconds);
    while (true) {
        // Display frames fall on a fixed grid of 1/60 s.
        double nextFrame = static_cast<double>(s->frameIndex + 1) * kFrame;
        if (nextFrame > end + 1e-9) break;
        ++s->frameIndex;
        s->now = nextFrame;
        fireDueTimers(*s);

        std::vector<std::pair<int, int>> ticking;
        for (auto& [id, c] : s->clocks)
            if (c.running) ticking.emplace_back(id, c.generation);
        for (auto [id, generation] : ticking) {
            auto it = s->clocks.find(id);
            if (it == s->clocks.end() || !it->second.running || it->second.generation != generation) continue;
            auto callback = it->second.callback;
            double elapsed = std::max(0.0, s->now - it->second.startedAt);
            if (callback && *callback) (*callback)(elapsed);
        }
    }
    s->now = std::max(s->now, end);
    fireDueTimers(*s);
}

double VirtualTimePlatform::now() const { return state_->now; }

std::int64_t VirtualTimePlatform::wallClockSeconds() const {
    constexpr std::int64_t kStart = 1'767'225'600;   // 2026-01-01 00:00 UTC
    return kStart + calendarOffset + static_cast<std::int64_t>(state_->now);
}

int VirtualTimePlatform::runningClocks() const {
    return static_cast<int>(std::count_if(state_->clocks.begin(), state_->clocks.end(),
                                          [](const auto& c) { return c.second.running; }));
}

int VirtualTimePlatform::runningTimers() const {
    return static_cast<int>(std::count_if(state_->timers.begin(), state_->timers.end(),
                                          [](const auto& t) { return t.second.running; }));
}

}  // namespace vantrel
