// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/model/board.h"

namespace vantrel {

// The ball-flight law shared by playback and manual passes. Distances in metres on the
// 60 m pitch; heights in normalised width units; rotation in degrees.
namespace BallFlight {

struct Sample {
    Point position;
    double height = 0;
    double rotation = 0;
};

double duration(Point from, Point to, PassStyle style);
Sample sample(Point from, Point to, double progress, PassStyle style);

// Apex of a lofted pass in metres: 12 % of the distance, at most 5.5 m.
double loftApexMetres(double distanceMetres);

// Spin in degrees of a ball of radius 0.11 m that rolls `metres` along the turf.
double rollDegrees(double metres);

}  // namespace BallFlight

}  // namespace vantrel
