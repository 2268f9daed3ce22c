// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/annotation/drawing_controls.h"

namespace vantrel::DrawingControls {

const std::array<ShapeChoice, 8>& shapeChoices() {
    using T = AnnotationTool;
    using F = AnnotationFill;
    static const std::array<ShapeChoice, 8> choices{{
        {T::ellipse, F::none, u"圆形", Glyphs::circle},
        {T::rectangle, F::none, u"矩形", Glyphs::square},
        {T::ellipse, F::solid, u"圆形填充", Glyphs::disc},
        {T::rectangle, F::solid, u"矩形填充", Glyphs::filledSquare},
        {T::ellipse, F::hatch, u"圆形排线", Glyphs::halfCircle},
        {T::rectangle, F::hatch, u"矩形排线", Glyphs::halfSquare},
        {T::ellipse, F::shadow, u"圆形内阴影", Glyphs::insetCircle},
        {T::rectangle, F::shadow, u"矩形内阴影", Glyphs::insetSquare},
    }};
    return choices;
}

const ShapeChoice& shapeChoice(AnnotationTool tool, AnnotationFill fill) {
    for (const auto& c : shapeChoices())
        if (c.tool == tool && c.fill == fill) return c;
    return shapeChoices().front();
}

QString toolName(AnnotationTool tool) {
    const std::string_view name = displayName(tool);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString colorName(AnnotationColor color) {
    switch (color) {
        case AnnotationColor::white: return QStringLiteral("白色");
        case AnnotationColor::black: return QStringLiteral("石墨");
        case AnnotationColor::yellow: return QStringLiteral("黄色");
        case AnnotationColor::blue: return QStringLiteral("蓝色");
        case AnnotationColor::orange: return QStringLiteral("橙色");
        case AnnotationColor::red: return QStringLiteral("红色");
        case AnnotationColor::mint: return QStringLiteral("薄荷绿");
        case AnnotationColor::pink: return QStringLiteral("粉色");
    }
    return {};
}

StudioIcons::Glyph toolGlyph(AnnotationTool tool) {
    switch (tool) {
        case AnnotationTool::select: return Glyphs::select;
        case AnnotationTool::pencil: return Glyphs::pencil;
        case AnnotationTool::line: return Glyphs::line;
        case AnnotationTool::arrow: return Glyphs::arrow;
        case AnnotationTool::ellipse: return Glyphs::circle;
        case AnnotationTool::rectangle: return Glyphs::square;
        case AnnotationTool::text: return Glyphs::text;
        case AnnotationTool::eraser: return Glyphs::eraser;
    }
    return Glyphs::pencil;
}

QuietHoverStyle* controlButton(StudioIcons::Glyph glyph, const QString& name, const QString& help, QWidget* parent) {
    auto* b = new QuietHoverStyle(7, parent);
    b->setIcon(StudioIcons::icon(glyph));
    b->setIconSize(QSize(18, 18));
    b->setText(name);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setFixedSize(32, 30);
    b->setFocusPolicy(Qt::TabFocus);
    b->setAccessibleName(name);
    b->setToolTip(help);
    b->setAccessibleDescription(help);
    return b;
}

}  // namespace vantrel::DrawingControls
