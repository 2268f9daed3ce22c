// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <cstdint>

#include "core/model/board.h"

namespace vantrel {

// Small pictures of a tactic's first stage for the library rows. A picture is looked up
// by what it shows (a fingerprint of the first stage, the squad's kits and the palette),
// so an edit that leaves the first stage alone keeps it and one that changes it makes a
// new one. Pictures are painted on worker threads, never on the interface thread, and
// kept as PNG files in `folder` (none: in memory only) so the next start reads them
// instead of painting. `image` never waits: it answers a null image and `ready` follows.
class ThumbnailCache final : public QObject {
    Q_OBJECT
public:
    static constexpr int kWidth = 64;    // points
    static constexpr int kHeight = 42;
    static constexpr int kKeptDays = 30;   // a stored picture nothing has read for this long goes

    ThumbnailCache(QString folder, qreal devicePixelRatio, QObject* parent = nullptr);
    ~ThumbnailCache() override;   // waits for the pictures being painted

    QImage image(const Tactic& tactic);
    // Where later pictures are read and stored; empty: in memory only. Pictures there that
    // nothing has read for kKeptDays are removed.
    void setFolder(const QString& folder);
    // Makes every picture not yet made; for tests and benchmarks.
    void waitForAll();

    static std::uint64_t fingerprint(const Tactic& tactic, bool dark);

signals:
    void ready();

private:
    void made(std::uint64_t key, QImage image);

    QString folder_;
    qreal dpr_;
    QHash<std::uint64_t, QImage> images_;
    QSet<std::uint64_t> pending_;
    QThreadPool pool_;
};

}  // namespace vantrel
