// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/guidance/first_run_tutorial.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/render/annotation_drawing.h"
#include "ui/style/studio_style.h"
#include "ui/style/studio_widgets.h"

namespace vantrel {

using namespace StudioWidgets;

namespace {

constexpr int kLessonCount = int(kTutorialLessons.size());
constexpr double kFrameMargin = 16;   // the card and the anchors keep this far inside the frame
constexpr double kCardGap = 56;       // between the grown target and the card
// Grain placement of the pencil marks: fixed, so a lesson looks the same every time.
constexpr std::uint64_t kPencilSeed = 0x7475746f72696131ull;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QRectF lerp(const QRectF& a, const QRectF& b, double t) {
    return {a.x() + (b.x() - a.x()) * t, a.y() + (b.y() - a.y()) * t, a.width() + (b.width() - a.width()) * t,
            a.height() + (b.height() - a.height()) * t};
}

}  // namespace

// --- Anchors -------------------------------------------------------------------------

void TutorialAnchorMarks::mark(TutorialTarget target, QWidget* widget) { marks_.emplace_back(target, widget); }

TutorialAnchors TutorialAnchorMarks::collect(const QWidget* frame) const {
    TutorialAnchors anchors;
    const QRectF inside = QRectF(frame->rect()).adjusted(kFrameMargin, kFrameMargin, -kFrameMargin, -kFrameMargin);
    for (const auto& [target, widget] : marks_) {
        if (!widget || !widget->isVisible() || widget->width() <= 0 || widget->height() <= 0) continue;
        const QRectF r = QRectF(QRect(widget->mapTo(frame->window(), QPoint(0, 0)), widget->size()))
                             .translated(-QPointF(frame->mapTo(frame->window(), QPoint(0, 0))))
                             .intersected(inside);
        if (r.isEmpty()) continue;
        auto [it, fresh] = anchors.emplace(target, r);
        if (!fresh) it->second = it->second.united(r);
    }
    return anchors;
}

// --- Pencil geometry -----------------------------------------------------------------

TutorialPencilPoints TutorialPencilPoints::make(const QRectF& target, const QRectF& note) {
    using std::numbers::pi;
    TutorialPencilPoints out;
    const QRectF grown = target.adjusted(-10, -9, 10, 9);
    const QPointF c = grown.center();
    const double w = grown.width(), h = grown.height();
    for (int i = 0; i <= 160; ++i) {
        const double t = 2 * pi * i / 160;
        const double j = 0.25 * std::cos(5 * t) + 0.55 * std::sin(3 * t + 0.8);
        out.loop.push_back({c.x() + std::cos(t) * (w / 2 + j), c.y() + std::sin(t) * (h / 2 + j)});
    }

    const bool above = note.center().y() < target.center().y();
    const Point s{note.center().x(), above ? note.bottom() + 9 : note.top() - 9};
    const Point e{target.center().x(), above ? grown.top() - 4 : grown.bottom() + 4};
    const double dx = e.x - s.x, dy = e.y - s.y;
    const double length = std::max(std::hypot(dx, dy), 1.0);
    const double nx = -dy / length, ny = dx / length;
    const double bow = std::min(0.22 * length, 48.0);
    for (int k = 0; k <= 70; ++k) {
        const double u = k / 70.0;
        const double lift = bow * std::sin(pi * u);
        out.leader.push_back({s.x + dx * u + nx * lift + 0.12 * std::sin(9 * u),
                              s.y + dy * u + ny * lift + 0.12 * std::cos(7 * u)});
    }

    if (out.leader.size() >= 6) {
        const Point ref = out.leader[out.leader.size() - 6];
        const double theta = std::atan2(e.y - ref.y, e.x - ref.x);
        for (double angle : {theta - 0.48, theta + 0.48}) {
            const Point wing{e.x - 19 * std::cos(angle), e.y - 19 * std::sin(angle)};
            const Point mid{(wing.x + e.x) / 2 + 0.9, (wing.y + e.y) / 2 - 0.7};
            out.wings.push_back({wing, mid, e});
        }
    }
    return out;
}

// --- Overlay -------------------------------------------------------------------------

QFont FirstRunTutorial::handwritingFont() {
    static const QString family = [] {
        for (const char* path : {"/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf",
                                 "/usr/share/fonts/truetype/comic-neue/ComicNeue-Regular.ttf"}) {
            if (!QFile::exists(QString::fromLatin1(path))) continue;
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
            const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
            if (!families.isEmpty()) return families.first();
        }
        return QString();
    }();
    QFont font;
    font.setFamilies(family.isEmpty() ? QStringList{QStringLiteral("Chalkboard SE"), QStringLiteral("Comic Neue"),
                                                    QStringLiteral("Comic Sans MS")}
                                      : QStringList{family});
    font.setStyleHint(QFont::Cursive);
    font.setPixelSize(13);
    return font;
}

FirstRunTutorial::FirstRunTutorial(TutorialAnchorMarks marks, WorkspacePreferences& workspace, BoardStore& store,
                                   Platform& platform, std::function<void()> finish, QWidget* parent)
    : QWidget(parent), workspace_(workspace), store_(store), platform_(platform), finish_(std::move(finish)),
      marks_(std::move(marks)) {
    setObjectName(QStringLiteral("FirstRunTutorial"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);

    card_ = new QWidget(this);
    card_->setObjectName(QStringLiteral("tutorialCard"));
    card_->setAttribute(Qt::WA_StyledBackground);
    auto paintCard = [this] {
        card_->setStyleSheet(QStringLiteral("#tutorialCard{background:%1;border:1px solid %2;border-radius:14px;}")
                                 .arg(StudioStyle::surface().name(), StudioStyle::border().name()));
    };
    paintCard();
    connect(&StudioStyle::appearance(), &StudioAppearance::appearanceChanged, card_, paintCard);
    auto* v = new QVBoxLayout(card_);
    v->setContentsMargins(18, 16, 18, 16);
    v->setSpacing(8);
    auto* head = new QHBoxLayout;
    head->addWidget(label(QStringLiteral("画一套好战术"), 12, StudioStyle::brand, true, card_));
    head->addStretch();
    counter_ = label(QString(), 13, StudioStyle::textSecondary, false, card_);
    counter_->setObjectName(QStringLiteral("tutorialCounter"));
    counter_->setFont(handwritingFont());
    head->addWidget(counter_);
    v->addLayout(head);
    title_ = label(QString(), 17, StudioStyle::textPrimary, true, card_);
    title_->setWordWrap(true);
    v->addWidget(title_);
    text_ = label(QString(), 13, StudioStyle::textSecondary, false, card_);
    text_->setWordWrap(true);
    v->addWidget(text_);
    v->addSpacing(4);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    skip_ = actionButton(QStringLiteral("跳过"), false, false, card_);
    back_ = actionButton(QStringLiteral("上一步"), false, false, card_);
    forward_ = actionButton(QStringLiteral("下一步"), true, false, card_);
    for (QAbstractButton* b : {skip_, back_, forward_}) b->setFocusPolicy(Qt::NoFocus);   // keys stay with the tour
    buttons->addWidget(skip_);
    buttons->addStretch();
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    v->addLayout(buttons);
    connect(skip_, &QAbstractButton::clicked, this, [this] { finish_(); });
    connect(back_, &QAbstractButton::clicked, this, [this] { setIndex(index() - 1); });
    connect(forward_, &QAbstractButton::clicked, this, &FirstRunTutorial::forward);

    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
    reanchor();
    showLesson(false);
}

FirstRunTutorial::~FirstRunTutorial() = default;

int FirstRunTutorial::index() const { return std::clamp(workspace_.tutorialLesson(), 0, kLessonCount - 1); }

void FirstRunTutorial::setIndex(int index) {
    index = std::clamp(index, 0, kLessonCount - 1);
    if (index == this->index()) return;
    workspace_.setTutorialLesson(index);
    showLesson(!store_.reduceMotion());
}

void FirstRunTutorial::setArrangement(std::function<void(TutorialTarget)> arrange) {
    arrange_ = std::move(arrange);
    showLesson(false);
}

void FirstRunTutorial::forward() {
    if (index() + 1 >= kLessonCount) finish_();
    else setIndex(index() + 1);
}

FirstRunTutorial::Scene FirstRunTutorial::sceneFor(int index) const {
    Scene scene;
    const auto it = anchors_.find(kTutorialLessons[std::size_t(index)].target);
    std::optional<QRectF> target;
    if (it != anchors_.end()) {
        target = it->second;
        scene.hole = it->second.adjusted(-kHoleGrowX, -kHoleGrowY, kHoleGrowX, kHoleGrowY);
    }
    const int cardHeight = card_->layout()->hasHeightForWidth() ? card_->layout()->totalHeightForWidth(int(kCardWidth))
                                                                 : card_->sizeHint().height();
    scene.note = placeNote(target, QSizeF(kCardWidth, cardHeight), size());
    return scene;
}

QRectF FirstRunTutorial::placeNote(const std::optional<QRectF>& target, QSizeF card, QSizeF frame) {
    const QRectF inside(kFrameMargin, kFrameMargin, frame.width() - 2 * kFrameMargin, frame.height() - 2 * kFrameMargin);
    auto keepInside = [&](QRectF r) {
        r.moveLeft(std::clamp(r.left(), inside.left(), std::max(inside.left(), inside.right() - r.width())));
        r.moveTop(std::clamp(r.top(), inside.top(), std::max(inside.top(), inside.bottom() - r.height())));
        return r;
    };
    if (!target) {
        QRectF r(QPointF(), card);
        r.moveCenter(inside.center());
        return keepInside(r);
    }
    const QRectF grown = target->adjusted(-10, -9, 10, 9);
    const double cx = target->center().x() - card.width() / 2;
    const QRectF below(QPointF(cx, grown.bottom() + kCardGap), card);
    if (below.bottom() <= inside.bottom()) return keepInside(below);
    const QRectF above(QPointF(cx, grown.top() - kCardGap - card.height()), card);
    if (above.top() >= inside.top()) return keepInside(above);
    // A tall target: beside it, centred a little above its middle, so the leader leaves
    // from under the card and bows up to the top of the loop.
    const double top = target->center().y() - card.height() / 2 - 12;
    const QRectF right(QPointF(grown.right() + 40, top), card);
    if (right.right() <= inside.right()) return keepInside(right);
    const QRectF left(QPointF(grown.left() - 40 - card.width(), top), card);
    if (left.left() >= inside.left()) return keepInside(left);
    QRectF centred(QPointF(), card);
    centred.moveCenter(target->center());
    return keepInside(centred);
}

void FirstRunTutorial::reanchor() { anchors_ = marks_.collect(this); }

// Shows the current lesson: texts, buttons, accessibility; the hole and card glide from
// where they are drawn now unless `animate` is false.
void FirstRunTutorial::showLesson(bool animate) {
    const int i = index();
    const TutorialLesson& lesson = kTutorialLessons[std::size_t(i)];
    counter_->setText(QString::asprintf("%02d / %02d", i + 1, kLessonCount));
    counter_->setAccessibleName(counter_->text());
    announceText(title_, qs(lesson.title));
    announceText(text_, qs(lesson.text));
    back_->setVisible(i > 0);
    const bool last = i + 1 == kLessonCount;
    forward_->setText(last ? QStringLiteral("开始使用") : QStringLiteral("下一步"));
    forward_->setAccessibleName(forward_->text());
    setAccessibleName(QStringLiteral("新手教程，第 %1 步，共 %2 步").arg(i + 1).arg(kLessonCount));
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);

    const Scene drawn{holeRect(), noteRect()};
    if (arrange_) {
        arrange_(lesson.target);
        reanchor();
    }
    to_ = sceneFor(i);
    if (animate && isVisible()) {
        from_ = drawn;
        progress_ = 0;
        clock_ = platform_.makeFrameClock();
        clock_->start([this](double elapsed) { tick(elapsed); });
    } else {
        clock_.reset();
        from_ = to_;
        progress_ = 1;
    }
    applyCard(noteRect());
    update();
}

void FirstRunTutorial::tick(double elapsed) {
    progress_ = std::clamp(elapsed / (kGlideSeconds + kPencilFadeSeconds), 0.0, 1.0);
    applyCard(noteRect());
    update();
    if (progress_ >= 1) clock_.reset();   // safe inside its own callback
}

void FirstRunTutorial::applyCard(const QRectF& note) { card_->setGeometry(note.toAlignedRect()); }

static double glideOf(double progress) {
    const double t = std::clamp(progress * (FirstRunTutorial::kGlideSeconds + FirstRunTutorial::kPencilFadeSeconds) /
                                    FirstRunTutorial::kGlideSeconds,
                                0.0, 1.0);
    return StudioStyle::Motion::easeInOut().valueForProgress(t);
}

std::optional<QRectF> FirstRunTutorial::holeRect() const {
    if (progress_ >= 1) return to_.hole;
    const double t = glideOf(progress_);
    // A lesson without a target has no hole: it closes or opens at the glide's midpoint.
    if (!from_.hole || !to_.hole) return t < 0.5 ? from_.hole : to_.hole;
    return lerp(*from_.hole, *to_.hole, t);
}

QRectF FirstRunTutorial::noteRect() const {
    if (progress_ >= 1) return to_.note;
    return lerp(from_.note, to_.note, glideOf(progress_));
}

qreal FirstRunTutorial::pencilOpacity() const {
    const double total = kGlideSeconds + kPencilFadeSeconds;
    return std::clamp((progress_ * total - kGlideSeconds) / kPencilFadeSeconds, 0.0, 1.0);
}

const QImage& FirstRunTutorial::pencilImage() {
    const auto it = anchors_.find(kTutorialLessons[std::size_t(index())].target);
    const PencilKey key{index(), size(), it != anchors_.end() ? it->second : QRectF(), to_.note};
    if (key == pencilKey_ && !pencil_.isNull()) return pencil_;
    pencilKey_ = key;
    const qreal dpr = devicePixelRatioF();
    pencil_ = QImage((QSizeF(size()) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    pencil_.setDevicePixelRatio(dpr);
    pencil_.fill(Qt::transparent);
    if (it == anchors_.end()) return pencil_;
    const TutorialPencilPoints points = TutorialPencilPoints::make(it->second, to_.note);
    QPainter p(&pencil_);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor white = StudioStyle::onBrand();
    std::uint64_t seed = kPencilSeed + std::uint64_t(index()) * 16;
    const auto stroke = [&](std::span<const Point> line) {
        AnnotationDrawing::paintGraphite(p, GraphiteStroke::build(RenderPath::polyline(line), kStrokeWidth, seed++), white);
    };
    stroke(points.loop);
    stroke(points.leader);
    for (const auto& wing : points.wings) stroke(wing);
    return pencil_;
}

void FirstRunTutorial::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath veil;
    veil.setFillRule(Qt::OddEvenFill);
    veil.addRect(QRectF(rect()));
    if (const auto hole = holeRect()) veil.addRoundedRect(*hole, kHoleRadius, kHoleRadius);
    p.fillPath(veil, StudioStyle::withOpacity(StudioStyle::pitchShade(), 0.66));
    if (const qreal opacity = pencilOpacity(); opacity > 0) {
        p.setOpacity(opacity);
        p.drawImage(QPointF(0, 0), pencilImage());
    }
}

void FirstRunTutorial::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: finish_(); break;
    case Qt::Key_Left: setIndex(index() - 1); break;
    case Qt::Key_Right:
        if (index() < kLessonCount - 1) setIndex(index() + 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: forward(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

// The tour's keys are its own: no shortcut of the workspace fires on them.
bool FirstRunTutorial::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Return ||
            key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

// The overlay covers its frame; when the frame changes size the targets move with it.
bool FirstRunTutorial::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        reanchor();
        showLesson(false);
    }
    return QWidget::eventFilter(watched, event);
}

void FirstRunTutorial::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    raise();
    reanchor();
    showLesson(false);
    setFocus(Qt::OtherFocusReason);
}

}  // namespace vantrel
