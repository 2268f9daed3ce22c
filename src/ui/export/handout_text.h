// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPdfWriter;

namespace vantrel {

// Printed pages (handouts, job sheets): A4 landscape, in points (1/72 inch).
inline constexpr qreal kPageWidth = 841.89;
inline constexpr qreal kPageHeight = 595.28;
inline constexpr qreal kPageMargin = 36;

// Sets `pdf` up for such pages, one device unit per point, under `title`.
void setUpPages(QPdfWriter& pdf, const QString& title);

// The font of printed pages: every character copies out of the PDF as written.
QFont handoutFont(qreal points, bool bold);
// `text` broken into at most `maxLines` lines of `width` points, the last elided when
// the text goes on (Chinese breaks between any two characters).
QStringList wrapLines(const QString& text, const QFont& font, qreal width, int maxLines);

}  // namespace vantrel
