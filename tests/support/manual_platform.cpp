// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/manual_platform.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace vantrel::testing {

// Every clock and timer lives in the shared state by id; the handle the store owns only
// refers to it, so destroying a handle inside its own callback leaves nothing dangling.
struct ManualPlatform::State {
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

class ManualClock : public FrameClock {
public:
    ManualClock(std::weak_ptr<ManualPlatform::State> state, int id) : state_(std::move(state)), id_(id) {}
    ~ManualClock() override {
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
    std::weak_ptr<ManualPlatform::State> state_;
    int id_;
};

class ManualTimer : public OneShotTimer {
public:
    ManualTimer(std::weak_ptr<ManualPlatform::State> state, int id) : state_(std::move(state)), id_(id) {}
    ~ManualTimer() override {
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
    std::weak_ptr<ManualPlatform::State> state_;
    int id_;
};

}  // namespace

ManualPlatform::ManualPlatform() : state_(std::make_shared<State>()) {}
ManualPlatform::~ManualPlatform() = default;

std::unique_ptr<FrameClock> ManualPlatform::makeFrameClock() {
    int id = state_->nextID++;
    state_->clocks[id];
    return std::make_unique<ManualClock>(state_, id);
}

std::unique_ptr<OneShotTimer> ManualPlatform::makeOneShotTimer() {
    int id = state_->nextID++;
    state_->timers[id];
    return std::make_unique<ManualTimer>(state_, id);
}

std::optional<std::filesystem::path> ManualPlatform::chooseJsonFileToOpen() {
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<std::filesystem::path> ManualPlatform::chooseJsonFileToSave(std::string_view proposedName) {
    proposedSaveNames.emplace_back(proposedName);
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

namespace {

// Fires every timer due by `s.now`, earliest first; each is re-checked before it fires,
// since an earlier one may have cancelled or restarted it.
void fireDueTimers(ManualPlatform::State& s) {
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

void ManualPlatform::advance(double seconds) {
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

double ManualPlatform::now() const { return state_->now; }

int ManualPlatform::runningClocks() const {
    return static_cast<int>(std::count_if(state_->clocks.begin(), state_->clocks.end(),
                                          [](const auto& c) { return c.second.running; }));
}

int ManualPlatform::runningTimers() const {
    return static_cast<int>(std::count_if(state_->timers.begin(), state_->timers.end(),
                                          [](const auto& t) { return t.second.running; }));
}

}  // namespace vantrel::testing
