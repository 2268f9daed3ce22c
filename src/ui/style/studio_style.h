// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QObject>

namespace vantrel {

// Announces that the desktop switched between light and dark, so views that cache
// anything coloured (a pixmap, a widget palette) can rebuild it. Views that only paint
// with tokens just need `update()`: adaptive tokens resolve at call time.
//
// One instance per application, created on first use as a child of the application
// object; it watches palette and theme changes application-wide.
class StudioAppearance final : public QObject {
    Q_OBJECT
public:
    static StudioAppearance& instance();   // requires a QGuiApplication

    // The appearance the application currently shows (resolved now, never cached).
    bool isDark() const;

signals:
    // Emitted once per switch, after the application palette has changed.
    void appearanceChanged(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit StudioAppearance(QObject* parent);

    bool dark_;   // the appearance last announced
};

// The single palette and motion vocabulary of the interface. Every view takes its
// colours from here, never from literals of its own.
//
// Adaptive colours resolve each time they are called, to the dark value while the
// application shows a dark appearance and to the light one otherwise, so switching the
// desktop between light and dark recolours everything on the next paint. Fixed colours
// (pitch, teams, routes) look the same in both appearances.
namespace StudioStyle {

// A colour read by name; lets controls take an adaptive colour that stays adaptive.
using ColorToken = QColor (*)();

// True when the desktop's appearance is dark: the colour scheme where Qt reports one,
// else the application palette (window text lighter than the window).
bool isDark();
// The watcher of appearance switches. Requires a QGuiApplication.
StudioAppearance& appearance();

// Adaptive interface colours.
QColor appBackground();
QColor workspace();
QColor surface();
QColor surfaceSecondary();
QColor textPrimary();
QColor textSecondary();
QColor textTertiary();
QColor border();
QColor brand();
QColor brandSoft();
QColor brandFill();
QColor brandFillHover();
QColor viewSelectionFill();
QColor selection();
QColor destructive();

// Aliases.
QColor viewSelectionText();   // textPrimary
QColor canvas3D();            // workspace: the 3D view's background

// Fixed colours, the same in light and dark.
QColor onBrand();         // text on brand fills
QColor onPitch();         // light ink on the pitch
QColor pitch();           // turf
QColor pitchStripe();     // mowing stripes; the 2D view draws them at opacity 0.35
QColor pitchLine();       // pitch markings; carries its opacity of 0.78 in its alpha
QColor pitchShade();      // shading over the pitch
QColor blueTeam();        // team 0 tokens
QColor orangeTeam();      // team 1 tokens
QColor blueRoute();       // team 0 runs and passes
QColor orangeRoute();     // team 1 runs and passes
QColor offsideBlue();     // offside line for blue attackers
QColor offsideOrange();   // offside line for orange attackers

// `color` with its alpha replaced by `opacity` (0 … 1).
QColor withOpacity(QColor color, qreal opacity);

// The standard animations.
namespace Motion {

struct Animation {
    int durationMilliseconds;
    QEasingCurve curve;   // the standard ease-out or ease-in-out cubic timing curve
};

Animation hover();      // ease-out, 140 ms
Animation state();      // ease-in-out, 180 ms
Animation panel();      // ease-in-out, 210 ms
Animation renderer();   // ease-in-out, 240 ms

// The standard timing curves as cubic Béziers: ease-out (0, 0, 0.58, 1) and
// ease-in-out (0.42, 0, 0.58, 1).
QEasingCurve easeOut();
QEasingCurve easeInOut();

}  // namespace Motion
}  // namespace StudioStyle
}  // namespace vantrel
