#include "core/pitch/pitch_perspective.h"

namespace vantrel {

namespace {
constexpr double kFarTouchline = 0.14;   // fraction of the height
constexpr double kDepthSpan = 0.74;      // near touchline at 0.14 + 0.74 = 0.88
constexpr double kMinDepth = 0.04;
constexpr double kMaxDepth = 0.96;
}  // namespace

Point PitchPerspective::project(Point p) const {
    return {size.width * (0.5 + (p.x - 0.5) * depthScale(p.y)),
            size.height * (kFarTouchline + kDepthSpan * p.y)};
}

Point PitchPerspective::unproject(Point v) const {
    double depth = (v.y / size.height - kFarTouchline) / kDepthSpan;
    if (!(depth >= kMinDepth)) depth = kMinDepth;   // also NaN
    // Beyond the last dragged row the scale stays at k(0.96), so x never jumps.
    const double k = depth < kMaxDepth ? depthScale(depth) : depthScale(kMaxDepth);
    const double x = clampUnit((v.x / size.width - 0.5) / k + 0.5, kMinDepth, kMaxDepth);
    return {x, depth < kMaxDepth ? depth : kMaxDepth};
}

}  // namespace vantrel
