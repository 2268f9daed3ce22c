// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/workspace/thumbnail_cache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRunnable>
#include <QSaveFile>

#include <cstring>

#include "core/scene/board_scene.h"
#include "ui/render/board_painter.h"
#include "ui/style/studio_style.h"

namespace vantrel {

namespace {

// FNV-1a over the values that change the picture.
struct Hash {
    std::uint64_t value = 1469598103934665603ull;
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) value = (value ^ p[i]) * 1099511628211ull;
    }
    void number(double v) { bytes(&v, sizeof v); }
    void number(std::int64_t v) { bytes(&v, sizeof v); }
    void text(const std::string& s) {
        number(static_cast<std::int64_t>(s.size()));
        bytes(s.data(), s.size());
    }
};

QString fileName(std::uint64_t key) { return QStringLiteral("%1.png").arg(key, 16, 16, QLatin1Char('0')); }

// The first stage alone, as an export shows it standing still. Tokens and lines have
// sizes in points, so the board is painted five times larger and scaled down: at the
// row's size the tokens would cover the pitch.
QImage paintFirstStage(const Tactic& tactic, qreal dpr) {
    constexpr int kScale = 5;
    const QSizeF board(ThumbnailCache::kWidth * kScale, ThumbnailCache::kHeight * kScale);
    QImage large(board.toSize(), QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    SceneDisplay display;
    display.showMoves = false;
    display.showInterceptionRisk = false;
    const BoardScene scene = stepScene(tactic, 0, display);
    {
        QPainter painter(&large);
        painter.setRenderHint(QPainter::Antialiasing);
        BoardPainter::make(BoardPainter::Projection::flat)->paint(painter, scene, board, 1.0);
    }
    QImage image = large.scaled(QSize(ThumbnailCache::kWidth, ThumbnailCache::kHeight) * dpr, Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
    image.setDevicePixelRatio(dpr);
    return image;
}

}  // namespace

std::uint64_t ThumbnailCache::fingerprint(const Tactic& tactic, bool dark) {
    Hash h;
    h.number(std::int64_t{dark});
    h.number(std::int64_t{tactic.format});
    for (const auto& team : tactic.teams) {
        h.text(team.color.value_or(""));
        for (const auto& p : team.players) h.text(p.id), h.number(std::int64_t{p.shirt.value_or(0)});
    }
    if (tactic.steps.empty()) return h.value;
    const BoardStep& step = tactic.steps.front();
    for (const auto& p : step.players) {
        h.text(p.id);
        h.number(std::int64_t{p.team});
        h.number(std::int64_t{p.number});
        h.number(p.position.x);
        h.number(p.position.y);
    }
    h.number(step.ball.x);
    h.number(step.ball.y);
    h.text(step.ballOwner.value_or(""));
    if (step.equipment)
        for (const auto& piece : *step.equipment) {
            h.number(static_cast<std::int64_t>(piece.kind));
            h.number(piece.position.x), h.number(piece.position.y), h.number(piece.degrees());
            h.text(piece.color.value_or(""));
        }
    if (tactic.pitch)
        h.number(static_cast<std::int64_t>(tactic.pitch->effectiveArea()) * 16 +
                 static_cast<std::int64_t>(tactic.pitch->effectiveGrid()));
    if (step.annotations)
        for (const auto& a : *step.annotations) {
            h.text(a.id.string());
            h.text(a.text);
            h.number(static_cast<std::int64_t>(a.seed));
            h.number(static_cast<std::int64_t>(a.points.size()));
            for (const auto& point : a.points) h.number(point.x), h.number(point.y);
        }
    return h.value;
}

ThumbnailCache::ThumbnailCache(QString folder, qreal devicePixelRatio, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), dpr_(devicePixelRatio) {
    // One worker: pictures are small, and the other core belongs to the interface.
    pool_.setMaxThreadCount(1);
    if (!folder_.isEmpty()) QDir().mkpath(folder_);
}

void ThumbnailCache::setFolder(const QString& folder) {
    folder_ = folder;
    if (folder_.isEmpty()) return;
    QDir().mkpath(folder_);
    // Pictures of first stages that no longer are: each picture read is touched, so one
    // left untouched for 30 days shows nothing any tactic still shows. Off the interface
    // thread, like the painting.
    pool_.start([folder] {
        const QDateTime before = QDateTime::currentDateTimeUtc().addDays(-kKeptDays);
        const QFileInfoList pictures = QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files);
        for (const QFileInfo& picture : pictures)
            if (picture.lastModified() < before) QFile::remove(picture.absoluteFilePath());
    });
}

ThumbnailCache::~ThumbnailCache() {
    pool_.clear();
    pool_.waitForDone();
}

QImage ThumbnailCache::image(const Tactic& tactic) {
    const std::uint64_t key = fingerprint(tactic, StudioStyle::isDark());
    if (auto it = images_.constFind(key); it != images_.constEnd()) return *it;
    if (pending_.contains(key) || tactic.steps.empty()) return {};
    pending_.insert(key);
    // The worker gets what the first stage needs, not the whole tactic.
    Tactic first{tactic.name, tactic.format, {tactic.steps.front()}, tactic.teams, {}, tactic.pitch};
    const QString path = folder_.isEmpty() ? QString() : folder_ + QLatin1Char('/') + fileName(key);
    const qreal dpr = dpr_;
    pool_.start([this, key, first = std::move(first), path, dpr] {
        QImage image;
        if (!path.isEmpty() && image.load(path) && image.size() != QSize(kWidth, kHeight) * dpr) image = QImage();
        if (!image.isNull()) {
            QFile used(path);
            if (used.open(QIODevice::ReadWrite)) used.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
        }
        if (image.isNull()) {
            image = paintFirstStage(first, dpr);
            if (!path.isEmpty()) {
                // A picture that cannot be stored is painted again next time; nothing is lost.
                QSaveFile file(path);
                if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG")) file.commit();
            }
        }
        image.setDevicePixelRatio(dpr);
        QMetaObject::invokeMethod(this, [this, key, image] { made(key, image); }, Qt::QueuedConnection);
    });
    return {};
}

void ThumbnailCache::made(std::uint64_t key, QImage image) {
    pending_.remove(key);
    images_.insert(key, std::move(image));
    emit ready();
}

void ThumbnailCache::waitForAll() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

}  // namespace vantrel
