// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/studio_style.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QPointer>

// A fixed colour from its 0 … 1 sRGB components, created once on first use. QColor
// keeps 16 bits a channel, so n / 255 components read back as exactly n.
#define VANTREL_FIXED_COLOR(name, r, g, b, a)                             \
    QColor name() {                                                       \
        static const QColor color = QColor::fromRgbF(r, g, b, a);         \
        return color;                                                     \
    }

namespace vantrel {

namespace {

// The two values of an adaptive colour, as 0xRRGGBB.
struct Adaptive {
    QRgb light;
    QRgb dark;
};

QColor resolve(Adaptive token) { return QColor::fromRgb(StudioStyle::isDark() ? token.dark : token.light); }

}  // namespace

StudioAppearance::StudioAppearance(QObject* parent) : QObject(parent), dark_(StudioStyle::isDark()) {
    // Palette changes reach the application object; theme changes reach the windows.
    // An application-wide filter sees both and costs one comparison per event.
    parent->installEventFilter(this);
}

StudioAppearance& StudioAppearance::instance() {
    static QPointer<StudioAppearance> instance;
    // A new application (tests create several in turn) gets a new watcher.
    if (!instance) {
        Q_ASSERT(qGuiApp);
        instance = new StudioAppearance(qGuiApp);
    }
    return *instance;
}

bool StudioAppearance::isDark() const { return StudioStyle::isDark(); }

bool StudioAppearance::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::ApplicationPaletteChange || type == QEvent::ThemeChange) {
        const bool dark = StudioStyle::isDark();
        if (dark != dark_) {
            dark_ = dark;
            emit appearanceChanged(dark);
        }
    }
    return QObject::eventFilter(watched, event);
}

namespace StudioStyle {

bool isDark() {
    // Qt 6.4 has no colour-scheme query (QStyleHints::colorScheme arrives in 6.5); the
    // platform theme expresses the desktop's choice through the application palette,
    // which is also what every stock widget around our painted ones shows.
    if (!qGuiApp) return false;
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::WindowText).lightness() > palette.color(QPalette::Window).lightness();
}

StudioAppearance& appearance() { return StudioAppearance::instance(); }

QColor appBackground() { return resolve({0xF3F4F5, 0x191B1E}); }
QColor workspace() { return resolve({0xFAFAFB, 0x202225}); }
QColor surface() { return resolve({0xFFFFFF, 0x2B2D31}); }
QColor surfaceSecondary() { return resolve({0xECEEF0, 0x25272B}); }
QColor textPrimary() { return resolve({0x25282D, 0xE9EAED}); }
QColor textSecondary() { return resolve({0x787D85, 0xA7ABB3}); }
QColor textTertiary() { return resolve({0xA0A4AB, 0x777D87}); }
QColor border() { return resolve({0xE2E4E8, 0x36393F}); }
QColor brand() { return resolve({0x0B6B52, 0x50B497}); }
QColor brandSoft() { return resolve({0xE8F1EE, 0x233F34}); }
QColor brandFill() { return resolve({0x0B6B52, 0x0C7658}); }
QColor brandFillHover() { return resolve({0x095B46, 0x0E8564}); }
QColor viewSelectionFill() { return resolve({0xFFFFFF, 0x3A3D43}); }
QColor selection() { return resolve({0xE7E9ED, 0x30333A}); }
QColor destructive() { return resolve({0xBA4640, 0xE87F77}); }

QColor viewSelectionText() { return textPrimary(); }
QColor canvas3D() { return workspace(); }

VANTREL_FIXED_COLOR(onBrand, 1.0f, 1.0f, 1.0f, 1.0f)
VANTREL_FIXED_COLOR(onPitch, 0.9607843137254902f, 0.9803921568627451f, 0.9686274509803922f, 1.0f)
VANTREL_FIXED_COLOR(pitch, 0.06274509803921569f, 0.3607843137254902f, 0.2627450980392157f, 1.0f)
VANTREL_FIXED_COLOR(pitchStripe, 0.06666666666666667f, 0.34509803921568627f, 0.24705882352941178f, 1.0f)
VANTREL_FIXED_COLOR(pitchLine, 0.9607843137254902f, 0.9803921568627451f, 0.9686274509803922f, 0.78f)
VANTREL_FIXED_COLOR(pitchShade, 0.06666666666666667f, 0.10980392156862745f, 0.09803921568627451f, 1.0f)
VANTREL_FIXED_COLOR(blueTeam, 0.20392156862745098f, 0.4588235294117647f, 0.7725490196078432f, 1.0f)
VANTREL_FIXED_COLOR(orangeTeam, 0.8666666666666667f, 0.4392156862745098f, 0.1607843137254902f, 1.0f)
VANTREL_FIXED_COLOR(blueRoute, 0.2980392156862745f, 0.5529411764705883f, 0.8470588235294118f, 1.0f)
VANTREL_FIXED_COLOR(orangeRoute, 0.8980392156862745f, 0.5411764705882353f, 0.29411764705882354f, 1.0f)
VANTREL_FIXED_COLOR(offsideBlue, 0.3333333333333333f, 0.7215686274509804f, 0.7764705882352941f, 1.0f)
VANTREL_FIXED_COLOR(offsideOrange, 0.8509803921568627f, 0.7215686274509804f, 0.30196078431372547f, 1.0f)

QColor withOpacity(QColor color, qreal opacity) {
    color.setAlphaF(static_cast<float>(qBound<qreal>(0.0, opacity, 1.0)));
    return color;
}

namespace Motion {

namespace {

QEasingCurve cubicBezier(qreal x1, qreal y1, qreal x2, qreal y2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1.0, 1.0));
    return curve;
}

}  // namespace

QEasingCurve easeOut() {
    static const QEasingCurve curve = cubicBezier(0.0, 0.0, 0.58, 1.0);
    return curve;
}

QEasingCurve easeInOut() {
    static const QEasingCurve curve = cubicBezier(0.42, 0.0, 0.58, 1.0);
    return curve;
}

Animation hover() { return {140, easeOut()}; }
Animation state() { return {180, easeInOut()}; }
Animation panel() { return {210, easeInOut()}; }
Animation renderer() { return {240, easeInOut()}; }

}  // namespace Motion
}  // namespace StudioStyle
}  // namespace vantrel

#undef VANTREL_FIXED_COLOR
