// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QTransform>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/annotation/annotation_render.h"
#include "core/annotation/graphite_stroke.h"
#include "core/model/annotation.h"
#include "ui/render/annotation_drawing.h"
#include "ui/render/graphite_painting.h"

class QColor;
class QPainter;

namespace vantrel {

// A pencil stroke being drawn grows at its end, and every earlier piece of it keeps its
// grains: a sample's wobble settles once three more follow it, and the grain walk can be
// resumed. So the settled part's coverage is kept between pointer moves and only the last
// few pieces are laid again, over a copy of the tiles they touch; the picture is the one
// the whole stroke would give.
class AnnotationDrawing::GrowingStroke {
public:
    // Elements at the end of the outline laid afresh on every move: the last four change
    // as samples are added; the rest is margin.
    static constexpr std::size_t kLiveElements = 8;

    // Paints a pencil draft (`item` built with its outline's grains left to the painter)
    // at full opacity; false when the painter's transform is not one this can follow.
    bool paint(QPainter& painter, const AnnotationRenderItem& item, const AnnotationSurface& surface);

private:
    bool paintOutline(QPainter& painter, const AnnotationRenderItem& item, const QColor& ink, ViewSize surface, bool is3D);
    bool settledIsPrefixOf(const RenderPath& outline) const;

    BoardAnnotation kind_;   // the draft without its points: id, tool, style, seed
    QTransform world_;
    qreal dpr_ = 0;
    QRect box_;
    ViewSize surface_;
    bool is3D_ = false;
    std::optional<GraphitePainting::GrainTiles> settled_;
    std::vector<RenderPath::Element> elements_;   // the outline's settled elements
    GraphiteStroke::Walk walk_;                   // where the walk stands after them
    QImage image_;                                // device pixels of `box_`, coloured per cell
    std::vector<std::uint8_t> live_;              // cells whose image shows the growing end
};

}  // namespace vantrel
