// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annotation/graphite_stroke.h"

#include <algorithm>
#include <cmath>

#include "core/annotation/seeded_random.h"

namespace vantrel {

namespace {

// Above this a column count is no longer exact in a double; no real stroke comes near it.
constexpr double kMaxColumns = 4503599627370496.0;   // 2^52
// Real curve pieces are a few points long (pencil samples, ellipse arcs of a 96-gon); this
// only bounds the work for absurd coordinates.
constexpr double kMaxCurvePieces = 1024;

// R0 < 0.22 drops a grain. On the 16-bit value that is the integer test below, which
// skips six of the seven mixes for every dropped slot.
constexpr std::uint32_t kDropThreshold = [] {
    std::uint32_t v = 0;
    while (static_cast<double>(v) / 65535.0 < GraphiteStroke::kDropBelow) ++v;
    return v;
}();
static_assert(static_cast<double>(kDropThreshold - 1) / 65535.0 < GraphiteStroke::kDropBelow);
static_assert(static_cast<double>(kDropThreshold) / 65535.0 >= GraphiteStroke::kDropBelow);

using Deposits = std::array<std::vector<GraphiteGrain>, 4>;

// The tone layer of a grain, min(⌊R · 4⌋, 3) for R = bits / 65535, in integers: 4 · bits /
// 65535 is a whole number only at 0 and 65535, and everywhere else lies at least 1/65535
// from one, far beyond the double's rounding, so both forms agree for every 16-bit value.
constexpr std::size_t toneLayer(std::uint32_t bits) { return std::min<std::uint32_t>(bits * 4 / 65535, 3); }
constexpr bool toneLayerMatchesTheRule() {
    for (std::uint32_t bits = 0; bits <= 0xFFFF; ++bits) {
        const double v = static_cast<double>(bits) / 65535.0 * 4;
        const std::size_t floored = v >= 3 ? 3 : v >= 2 ? 2 : v >= 1 ? 1 : 0;
        if (floored != toneLayer(bits)) return false;
    }
    return true;
}
static_assert(toneLayerMatchesTheRule());

// ⌈v⌉ for v ≥ 0, at most 2^52, without a library call on the hot path (one per segment).
constexpr double ceilPositive(double v) {
    if (!(v < kMaxColumns)) return kMaxColumns;
    const double truncated = static_cast<double>(static_cast<std::uint64_t>(v));
    return truncated < v ? truncated + 1 : truncated;
}

// Scratch layers larger than this are given back after the stroke instead of kept.
constexpr std::size_t kKeptScratchGrains = std::size_t{1} << 18;

// Lays grains into four scratch layers. The layers are grown ahead of each segment and
// written through raw cursors, so the inner loop has no capacity checks.
class GrainLayout {
public:
    GrainLayout(Deposits& deposits, double width, std::uint64_t seed, std::optional<Rect> visible,
                const GraphiteStroke::Walk& from)
        : deposits_(deposits), width_(width), seed_(seed),
          perColumn_(static_cast<std::uint64_t>(std::max(std::ceil(width * GraphiteStroke::kGrainsPerWidth), 2.0))),
          maxSlots_(GraphiteStroke::slotBudget(visible)), counter_(from.counter), slots_(from.usedSlots), emptyPieces_(from.emptyPieces), current_(from.current),
          start_(from.start) {
        if (visible && visible->isFinite()) {
            // A grain reaches at most half the width, the jitter and half a grain from its
            // column centre; one point covers the last two.
            const Rect r = visible->standardized();
            const double margin = width / 2 + 1;
            area_ = Rect{r.minX() - margin, r.minY() - margin, r.width + 2 * margin, r.height + 2 * margin};
        }
    }

    void moveTo(Point p) { current_ = start_ = p; }
    void closeSubpath() { segment(start_); }

    // No further piece can lay a grain, or the walk has done all it may.
    bool exhausted() const {
        return slots_ > maxSlots_ || maxSlots_ - slots_ < perColumn_ || emptyPieces_ >= GraphiteStroke::kMaxEmptyPieces;
    }

    void segment(Point p) {
        const double dx = p.x - current_.x;
        const double dy = p.y - current_.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        // Grains are stored in single precision; a segment that reaches beyond ±1e30 points
        // (nothing a surface shows) lays none.
        if (!(length > 0.001) || !std::isfinite(length) || !withinLimit(current_) || !withinLimit(p)) {
            ++emptyPieces_;
            current_ = p;
            return;
        }
        const double columnsD = std::min(std::max(ceilPositive(length / GraphiteStroke::kColumnSpacing), 1.0), kMaxColumns);
        const auto columns = static_cast<std::uint64_t>(columnsD);
        std::uint64_t first = 0;
        std::uint64_t end = columns;
        if (area_ && !(inArea(current_) && inArea(p))) visibleColumns(dx, dy, columnsD, first, end);
        if (first >= end) {   // nothing of it can be seen: only the counter moves on
            ++emptyPieces_;
            counter_ += columns * perColumn_;
            current_ = p;
            return;
        }
        // The slot budget is kept per column; past it the counter still runs.
        const std::uint64_t budgetColumns = slots_ > maxSlots_ ? 0 : (maxSlots_ - slots_) / perColumn_;
        const std::uint64_t stop = first + std::min(end - first, budgetColumns);
        slots_ += (stop - first) * perColumn_;

        std::array<GraphiteGrain*, 4> out{};
        for (std::size_t layer = 0; layer < 4; ++layer) {
            auto& buffer = deposits_[layer];
            const std::size_t needed = counts_[layer] + static_cast<std::size_t>((stop - first) * perColumn_);
            if (buffer.size() < needed) buffer.resize(std::max(needed, 2 * buffer.size()));
            out[layer] = buffer.data() + counts_[layer];
        }

        const double nx = -dy / length;
        const double ny = dx / length;
        const double g = static_cast<double>(perColumn_);
        std::uint64_t counter = counter_ + first * perColumn_;   // wraps, like the counter itself
        for (std::uint64_t i = first; i < stop; ++i) {
            const double along = (static_cast<double>(i) + 0.5) / columnsD;
            const double cx = current_.x + dx * along;
            const double cy = current_.y + dy * along;
            for (std::uint64_t j = 0; j < perColumn_; ++j) {
                ++counter;
                const std::uint64_t s = seed_ + counter * SeededRandom::kStep;
                if (SeededRandom::bits16(s) < kDropThreshold) continue;   // a gap in the graphite
                const auto r = [s](std::uint64_t q) { return SeededRandom::unit(s + q * SeededRandom::kStream); };
                const double across = width_ * ((r(1) + static_cast<double>(j)) / g - 0.5);
                const double jitterX = (r(2) - 0.5) * 0.48;
                const double jitterY = (r(3) - 0.5) * 0.48;
                const double grainWidth = r(4) * 0.62 + 0.34;
                const double grainHeight = grainWidth * (r(6) * 0.65 + 0.55);
                const std::size_t layer = toneLayer(SeededRandom::bits16(s + 5 * SeededRandom::kStream));
                *out[layer]++ = {static_cast<float>(cx + nx * across + jitterX),
                                 static_cast<float>(cy + ny * across + jitterY), static_cast<float>(grainWidth),
                                 static_cast<float>(grainHeight)};
            }
        }
        for (std::size_t layer = 0; layer < 4; ++layer)
            counts_[layer] = static_cast<std::size_t>(out[layer] - deposits_[layer].data());
        counter_ += columns * perColumn_;
        current_ = p;
    }

    std::size_t count(std::size_t layer) const { return counts_[layer]; }
    Point current() const { return current_; }
    GraphiteStroke::Walk walk(std::size_t elements) const {
        return {elements, counter_, slots_, emptyPieces_, current_, start_};
    }

private:
    static bool withinLimit(Point q) { return std::abs(q.x) < 1e30 && std::abs(q.y) < 1e30; }

    bool inArea(Point q) const {
        return q.x >= area_->x && q.x <= area_->x + area_->width && q.y >= area_->y && q.y <= area_->y + area_->height;
    }

    // The columns [first, end) whose centre lies inside the widened surface (Liang–Barsky
    // on the segment current → current + d).
    void visibleColumns(double dx, double dy, double columns, std::uint64_t& first, std::uint64_t& end) const {
        double t0 = 0, t1 = 1;
        const auto clip = [&](double p, double q) {
            if (p == 0) return q >= 0;
            const double t = q / p;
            if (p < 0) t0 = std::max(t0, t);
            else t1 = std::min(t1, t);
            return t0 <= t1;
        };
        const Rect& a = *area_;
        const bool inside = clip(-dx, current_.x - a.minX()) && clip(dx, a.maxX() - current_.x) &&
                            clip(-dy, current_.y - a.minY()) && clip(dy, a.maxY() - current_.y);
        if (!inside) {
            first = end = static_cast<std::uint64_t>(columns);
            return;
        }
        const double from = std::min(std::max(std::ceil(t0 * columns - 0.5), 0.0), columns);
        const double to = std::min(std::max(std::floor(t1 * columns - 0.5) + 1, from), columns);
        if (!(from <= to)) {   // NaN from a degenerate area
            first = end = static_cast<std::uint64_t>(columns);
            return;
        }
        first = static_cast<std::uint64_t>(from);
        end = static_cast<std::uint64_t>(to);
    }

    Deposits& deposits_;
    double width_;
    std::uint64_t seed_;
    std::uint64_t perColumn_;
    std::optional<Rect> area_;
    std::uint64_t maxSlots_;
    std::uint64_t counter_;   // shared by every segment of the stroke
    std::uint64_t slots_;
    std::size_t emptyPieces_;
    std::array<std::size_t, 4> counts_{};
    Point current_;
    Point start_;
};

double distance(Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

std::uint64_t curvePieces(double chord, double controlPolygon) {
    const double pieces = std::ceil((chord + controlPolygon) / 2);
    if (!(pieces >= 1)) return 1;
    return static_cast<std::uint64_t>(std::min(pieces, kMaxCurvePieces));
}

// Lays the grains of path.elements[begin, end) through `grains`.
void walkElements(const RenderPath& path, std::size_t begin, std::size_t end, GrainLayout& grains) {
    for (std::size_t index = begin; index < end; ++index) {
        const RenderPath::Element& e = path.elements[index];
        // Past this point no grain would be laid; walking on would only cost time.
        if (grains.exhausted()) break;
        switch (e.verb) {
            case RenderPath::Verb::move: grains.moveTo(e.to); break;
            case RenderPath::Verb::line: grains.segment(e.to); break;
            case RenderPath::Verb::quad: {
                const Point p0 = grains.current();
                const auto n = curvePieces(distance(p0, e.to), distance(p0, e.control1) + distance(e.control1, e.to));
                for (std::uint64_t i = 1; i <= n && !grains.exhausted(); ++i) {
                    if (i == n) {
                        grains.segment(e.to);
                        break;
                    }
                    const double t = static_cast<double>(i) / static_cast<double>(n);
                    const double u = 1 - t;
                    grains.segment({u * u * p0.x + 2 * u * t * e.control1.x + t * t * e.to.x,
                                    u * u * p0.y + 2 * u * t * e.control1.y + t * t * e.to.y});
                }
                break;
            }
            case RenderPath::Verb::cubic: {
                const Point p0 = grains.current();
                const auto n = curvePieces(distance(p0, e.to), distance(p0, e.control1) +
                                                                   distance(e.control1, e.control2) +
                                                                   distance(e.control2, e.to));
                for (std::uint64_t i = 1; i <= n && !grains.exhausted(); ++i) {
                    if (i == n) {
                        grains.segment(e.to);
                        break;
                    }
                    const double t = static_cast<double>(i) / static_cast<double>(n);
                    const double u = 1 - t;
                    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                    grains.segment({a * p0.x + b * e.control1.x + c * e.control2.x + d * e.to.x,
                                    a * p0.y + b * e.control1.y + c * e.control2.y + d * e.to.y});
                }
                break;
            }
            case RenderPath::Verb::close: grains.closeSubpath(); break;
        }
    }
}

double usableWidth(double width) { return std::isfinite(width) ? std::clamp(width, 0.0, GraphiteStroke::kMaxWidth) : 0.0; }

// Walks path.elements[walk.elements, end) into `stroke`'s layers, copied out at their exact
// size. Grains are laid into buffers kept from the previous stroke: growing four fresh
// vectors for every stroke cost more than the grains.
void layGrains(GraphiteStroke& stroke, const RenderPath& path, std::size_t end, std::uint64_t seed,
               std::optional<Rect> visible, GraphiteStroke::Walk& walk) {
    thread_local Deposits scratch;
    end = std::min(end, path.elements.size());
    GrainLayout grains(scratch, stroke.width, seed, visible, walk);
    if (walk.elements < end) walkElements(path, walk.elements, end, grains);
    walk = grains.walk(std::max(walk.elements, end));
    for (std::size_t layer = 0; layer < scratch.size(); ++layer) {
        const auto count = static_cast<std::ptrdiff_t>(grains.count(layer));
        if (scratch[layer].size() > kKeptScratchGrains) {
            // Too large to keep: handed over whole rather than copied.
            scratch[layer].resize(grains.count(layer));
            stroke.deposits[layer] = std::move(scratch[layer]);
            scratch[layer] = {};
        } else {
            stroke.deposits[layer].assign(scratch[layer].begin(), scratch[layer].begin() + count);
        }
    }
}

}  // namespace

std::size_t GraphiteStroke::slotBudget(std::optional<Rect> visible) {
    if (!visible || !visible->isFinite()) return kMaxSlots;
    const double slots = std::abs(visible->height) * kSlotsPerPointOfHeight;
    if (!(slots < static_cast<double>(kMaxSlots))) return kMaxSlots;
    return std::max(kMinSlots, static_cast<std::size_t>(slots));
}

std::size_t GraphiteStroke::grainCount() const {
    std::size_t count = 0;
    for (const auto& layer : deposits) count += layer.size();
    return count;
}

GraphiteStroke GraphiteStroke::build(RenderPath path, double width, std::uint64_t seed, std::optional<Rect> visible) {
    GraphiteStroke stroke;
    stroke.width = usableWidth(width);
    Walk walk;
    layGrains(stroke, path, path.elements.size(), seed, visible, walk);
    stroke.centerline = std::move(path);
    return stroke;
}

GraphiteStroke GraphiteStroke::continueWalk(const RenderPath& path, std::size_t end, double width, std::uint64_t seed,
                                            std::optional<Rect> visible, Walk& walk) {
    GraphiteStroke stroke;
    stroke.width = usableWidth(width);
    layGrains(stroke, path, end, seed, visible, walk);
    return stroke;
}

}  // namespace vantrel
