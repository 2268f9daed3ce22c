// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace vantrel {

// The font of printed pages: every character copies out of the PDF as written.
QFont handoutFont(qreal points, bool bold);
// `text` broken into at most `maxLines` lines of `width` points, the last elided when
// the text goes on (Chinese breaks between any two characters).
QStringList wrapLines(const QString& text, const QFont& font, qreal width, int maxLines);

}  // namespace vantrel
