// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/style/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources live in the static UI library; nothing else references them, so the
// linker would drop their registration unless someone asks for it by name. Outside the
// namespace: the macro declares the registration function where it is used.
static void initVantrelResources() { Q_INIT_RESOURCE(resources); }

namespace vantrel {

QIcon vantrelIcon() {
    initVantrelResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/vantrel.svg"));
    if (!renderer.isValid()) return {};
    // Rendered ahead rather than through the SVG icon engine plugin, which a minimal
    // installation may lack; these are the sizes panels, docks and switchers use.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace vantrel
