#include "sprites/CatView.h"

#include "cat/CatState.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"
#include "platform/StoredDate.h"
#include "sprites/EatenBubble.h"
#include "sprites/Floating.h"
#include "sprites/LetterBubble.h"

#include <QDateTime>
#include <QHash>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double spacing = 4;   // between the stack's rows
constexpr double tailRoom = 12; // the bubble's tail reaches this far below the stack's row
constexpr double clickSlop = 4; // a press that travels further is a drag, not a tap
constexpr double bandRows = 48; // rows per band of a transformed frame

QFont rounded(double size, QFont::Weight weight) {
    QFont font(QStringLiteral("Comfortaa"));
    font.setPixelSize(int(std::lround(size)));
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// A stream glyph drawn once, white on a soft dark shadow, at this pixel size; each frame only
// scales it. Colour emoji are bitmaps that the font engine would decode anew at every size.
constexpr int glyphSize = 30;

const QImage& glyphImage(const QString& symbol) {
    static QHash<QString, QImage> cache;
    auto it = cache.find(symbol);
    if (it != cache.end()) return *it;
    const QFont font = rounded(glyphSize, QFont::Bold);
    const QFontMetricsF metrics(font);
    const double pad = 3;
    QImage image(QSize(int(std::ceil(metrics.horizontalAdvance(symbol) + 2 * pad)),
                       int(std::ceil(metrics.height() + 2 * pad))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    const QPointF base(pad, pad + metrics.ascent());
    // The shadow: black at 40 %, about one point around the glyph at the drawn sizes.
    p.setOpacity(0.4 / 2);
    p.setPen(Qt::black);
    for (QPointF d : {QPointF(-2, 0), QPointF(2, 0), QPointF(0, -2), QPointF(0, 2)})
        p.drawText(base + d, symbol);
    p.setOpacity(1);
    p.setPen(Qt::white);
    p.drawText(base, symbol);
    p.end();
    return *cache.insert(symbol, image);
}

void capsule(QPainter& p, const QRectF& r, const QColor& fill, const QColor* border) {
    const double radius = r.height() / 2;
    p.setBrush(fill);
    if (border) {
        QPen pen(*border, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(10);
        p.setPen(pen);
    } else {
        p.setPen(Qt::NoPen);
    }
    p.drawRoundedRect(r, radius, radius);
}

} // namespace

CatView::CatView(const CatState& state, Images images, QWidget* parent)
    : QWidget(parent), state_(state), images_(std::move(images)) {
    clock = [] { return StoredDate::nowSeconds(); };
    sizes = [this](CatSprite sprite) { return images_(sprite).deviceIndependentSize(); };
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    streams_.setTimerType(Qt::PreciseTimer);
    setFrameRate(60);
    connect(&streams_, &QTimer::timeout, this, &CatView::stepStreams);
    connect(&transition_, &BubbleTransition::placing, this, [this] {
        if (bubble_) placeBubble();
    });
    connect(&transition_, &BubbleTransition::left, this, [this] { emit bubbleLeaving(false); });
    connect(&transition_, &BubbleTransition::changed, this, [this] {
        presented_ = false;
        update();
    });
    connect(&state_, &CatState::changed, this, &CatView::stateChanged);
    connect(&state_, &CatState::frameEnded, this, [this] {
        if (settling_) settle();
    });
    settle();
}

void CatView::setFrameRate(double framesPerSecond) {
    if (!(framesPerSecond >= 1)) framesPerSecond = 60;
    const int interval = std::max(1, int(1000 / framesPerSecond));
    frameInterval_ = interval;
    streams_.setInterval(interval);
    transition_.setInterval(interval);
}

// The engine writes the picture field by field within one frame; the view settles once the
// frame's writes are done, so half-written states never reach the window.
void CatView::stateChanged() {
    const bool stream = state_.hearts() || state_.sleeping();
    // Hearts answer a stroke at the display rate; the z's of a sleeping cat drift slowly and
    // rise smoothly at a quarter of it.
    const int interval = state_.hearts() ? frameInterval_ : std::max(frameInterval_, sleepStreamMs);
    if (streams_.interval() != interval) streams_.setInterval(interval);
    if (stream && !streams_.isActive()) streams_.start();
    if (!stream) streams_.stop();
    if (settling_) return;
    settling_ = true;
    // Within the engine's frame the frame's end settles; other writes (a press, a timer) are
    // settled once the event loop comes round.
    if (!state_.framing()) QMetaObject::invokeMethod(this, &CatView::settle, Qt::QueuedConnection);
}

void CatView::settle() {
    settling_ = false;
    syncBubble();
    const bool caption = state_.caption().has_value();
    if (caption != captionShown_) {
        captionShown_ = caption;
        transition_.captionShown(caption);
    }
    inputBody_ = inputBody();
    const QRegion drawn = drawnAround(inputBody_);
    if (drawn != drawn_) {
        drawn_ = drawn;
        emit drawnChanged();
    }
    // A breath moves the cat by a fraction of a pixel per frame: repaint only once the drawing
    // has moved by half a pixel or something else changed.
    QList<int> key = pictureKey();
    if (key == shown_) return;
    shown_ = std::move(key);
    const QRect painted = paintedRect();
    const QRect before = std::exchange(painted_, painted);
    // Upright frames repeat (a gait cycles through a few), and so do the poses of a swing or a
    // breath at half-pixel steps: worth keeping. A one-way squash or tilt is shown once.
    // Rising hearts and z's move on with the clock: such a picture never comes again.
    const bool repeats =
        !streams_.isActive() &&
        (state_.swaying() || (state_.squash() == 1 && state_.tilt() == 0 && state_.hop() == 0));
    // Only where the cat, its caption, badge and streams were and are now: an open bubble is
    // not painted again for a blink.
    showPicture(repeats ? shown_ : QList<int>{}, QRegion(painted) + before);
}

void CatView::stepStreams() {
    showPicture({}, streamsRect());
}

void CatView::showPicture(const QList<int>& key, const QRegion& changed) {
    const auto paint = [this](QPainter& p) { paintPicture(p); };
    if (present && plainPicture() && present(key, paint, changed.boundingRect() & rect())) {
        presented_ = true;
        return;
    }
    // Qt's buffer still holds what it painted before the presented pictures: all of it again.
    if (std::exchange(presented_, false)) {
        update();
        return;
    }
    update(changed);
}

bool CatView::plainPicture() const {
    return !state_.caption() && !badgeRect() && !bubble_ && !transition_.hasPicture();
}

QRect CatView::streamsRect() const {
    // Hearts rise 40 points above the head, the "z" drift 18 to the right and rise 36, each
    // glyph up to 15 points tall and swaying by up to 8.
    const QRectF box = catBox();
    const double x = box.center().x();
    return QRectF(QPointF(x - 30, box.top() - 50), QPointF(x + 60, box.top() + 45)).toAlignedRect();
}

QRect CatView::paintedRect() const {
    QRectF area = catTransform().mapRect(catBox()).adjusted(-2, -2, 2, 2);
    if (auto caption = captionRect()) area |= caption->adjusted(-2, -2, 2, 2);
    if (auto badge = badgeRect()) area |= badge->adjusted(-2, -2, 2, 2);
    QRect rect = area.toAlignedRect();
    if (state_.hearts() || state_.sleeping()) rect |= streamsRect();
    return rect;
}

void CatView::syncBubble() {
    // A letter first; the eaten bubble only when no letter is open.
    bool fresh = false;
    if (const Letter* letter = state_.reading()) {
        auto* open = dynamic_cast<LetterBubble*>(bubble_);
        if (!open || open->letter() != *letter) {
            delete bubble_;
            bubble_ = new LetterBubble(
                *letter, [this] { onRead(); }, [this] { onUpdate(); }, this);
            fresh = true;
        }
    } else if (const CatState::Eaten* eaten = state_.eaten()) {
        if (auto* shown = dynamic_cast<EatenBubble*>(bubble_)) {
            shown->setNames(eaten->names);
        } else {
            delete bubble_;
            bubble_ = new EatenBubble(
                eaten->names,
                [this] {
                    // The action closes the bubble that holds it: call a copy.
                    if (const CatState::Eaten* now = state_.eaten()) {
                        const auto undo = now->undo;
                        if (undo) undo();
                    }
                },
                this);
            fresh = true;
        }
    } else if (bubble_) {
        // It shrinks and fades from where it is now, drawn from a picture of it.
        const bool shown = bubble_->isVisible();
        const QPixmap picture = shown ? bubble_->grab() : QPixmap();
        const QRect at = bubble_->geometry();
        delete bubble_;
        bubble_ = nullptr;
        if (transition_.closing(picture, at)) emit bubbleLeaving(true);
    }
    if (!bubble_) return;
    if (fresh) {
        // It grows from 0.6 at its bottom centre and fades in, drawn from a picture of it until
        // it has grown; a bubble that was still shrinking turns back from where it was.
        bubble_->hide();
        transition_.opening();
    }
    placeBubble();
    if (fresh) {
        if (QLayout* column = bubble_->layout()) column->activate();
        if (transition_.opened(bubble_->grab(), bubble_->geometry())) emit bubbleLeaving(false);
    }
}

void CatView::placeBubble() {
    // The stack from the bottom: the cat, 4 points, the caption and 4 points when there is one,
    // then the bubble, centred in the panel; its tail points at the cat.
    const QRectF box = catBox();
    // Room for the tail, whose tip ends clear of the cat's ears.
    double bottom = box.top() - spacing - tailRoom;
    const bool caption = state_.caption().has_value();
    if (caption) bottom -= captionSize().height() + spacing;
    bubble_->setTail(state_.catOffset());
    auto* letter = qobject_cast<LetterBubble*>(bubble_);
    if (letter) letter->setAvailableHeight(int(bottom) + int(Bubble::below()));
    const int h = bubble_->naturalHeight();
    const double w = bubble_->bubbleWidth();
    // The bubble's own bottom edge sits on the stack; its tail hangs below that.
    const double top = bottom + Bubble::below() - h;
    const double shown = transition_.place(top, caption);
    const QRect geometry(int(std::lround(width() / 2.0 - w / 2)), int(std::lround(shown)), int(w),
                         h);
    if (bubble_->geometry() != geometry) bubble_->setGeometry(geometry);
    if (!bubble_->isVisible()) {
        if (transition_.grown()) {
            bubble_->show();
            transition_.dropPicture();
        } else {
            transition_.pictureAt(geometry);
        }
    }
}

QVariantMap CatView::automation() const {
    QVariantMap map = transition_.automation();
    map.insert(QStringLiteral("bubble"), bubble_ != nullptr);
    return map;
}

std::optional<QRect> CatView::bubbleRect() const {
    if (!bubble_) return std::nullopt;
    return bubble_->geometry();
}

QList<int> CatView::pictureKey() const {
    const QRectF box = catBox();
    const QTransform t = catTransform();
    QList<int> key{
        state_.sprite().index(),     state_.unread(),           state_.hearts(), state_.sleeping(),
        state_.reading() != nullptr, state_.eaten() != nullptr, width(),         height()};
    for (QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const QPointF p = t.map(corner);
        key << int(std::lround(p.x() * 2)) << int(std::lround(p.y() * 2));
    }
    if (const auto caption = captionRect()) {
        const QPoint at = (caption->topLeft() * 2).toPoint();
        key << at.x() << at.y() << int(qHash(*state_.caption()));
    }
    return key;
}

void CatView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    settle();
}

QRectF CatView::catBox() const {
    const QSizeF size = sizes(state_.sprite());
    return QRectF(width() / 2.0 + state_.catOffset() - size.width() / 2, height() - size.height(),
                  size.width(), size.height());
}

// Facing and squash about the anchor, then tilt about it, then the hop.
QTransform CatView::catTransform() const {
    const QRectF box = catBox();
    const QPointF a(box.left() + state_.anchor().x() * box.width(),
                    box.top() + state_.anchor().y() * box.height());
    QTransform scale, rotate, hop;
    scale.translate(a.x(), a.y());
    scale.scale(state_.facingRight() ? 1 : -1, state_.squash());
    scale.translate(-a.x(), -a.y());
    rotate.translate(a.x(), a.y());
    rotate.rotate(state_.tilt());
    rotate.translate(-a.x(), -a.y());
    hop.translate(0, -state_.hop());
    return scale * rotate * hop;
}

QRectF CatView::bodyRect() const {
    const QRectF box = catBox();
    const Rect g = CatSprite::geometry(state_.sprite()).bounds;
    if (g.isEmpty()) return {};
    // Geometry is y-up from the image's bottom-left corner.
    const QRectF local(box.left() + g.minX(), box.bottom() - g.maxY(), g.width, g.height);
    return catTransform().mapRect(local);
}

QSizeF CatView::captionSize() const {
    const QFontMetricsF metrics(rounded(12, QFont::Bold));
    const QString text = state_.caption().value_or(QString());
    return QSizeF(Fonts::tabularAdvance(text, metrics) + 22, metrics.height() + 12);
}

std::optional<QRectF> CatView::captionRect() const {
    if (!state_.caption()) return std::nullopt;
    const QSizeF size = captionSize();
    const QRectF box = catBox();
    // Centred over the stack, one row above the cat, then moved by captionAt (its y lowers the
    // pill into the empty headroom above the cat's head).
    const double x = width() / 2.0 - size.width() / 2 + state_.catOffset() + state_.captionAt().x();
    const double y = box.top() - spacing - size.height() + state_.captionAt().y();
    return QRectF(QPointF(x, y), size).adjusted(0, 0, 0, 2); // and the hard shadow
}

QString CatView::badgeText() const {
    return QStringLiteral("×%1").arg(state_.unread());
}

QSizeF CatView::badgeSize() const {
    const QFontMetricsF metrics(rounded(12, QFont::Black));
    return QSizeF(metrics.horizontalAdvance(badgeText()) + 14, metrics.height() + 4);
}

std::optional<QRectF> CatView::badgeRect() const {
    if (state_.unread() < 2 || state_.reading()) return std::nullopt;
    const QSizeF size = badgeSize();
    const QRectF box = catBox();
    return QRectF(QPointF(box.right() - size.width() - 10, box.top() + 12), size);
}

QRect CatView::inputBody() const {
    // The body grown by the hit test's 4 points and snapped outwards to a 4-pixel grid, so the
    // breathing and wobbling of a resting cat do not reshape the window every frame.
    const QRectF body = bodyRect();
    if (body.isEmpty()) return {};
    const auto down = [](double v) { return int(std::floor(v / 4)) * 4; };
    const auto up = [](double v) { return int(std::ceil(v / 4)) * 4; };
    const QRectF grown = body.adjusted(-4, -4, 4, 4);
    const QRect wanted(QPoint(down(grown.left()), down(grown.top())),
                       QPoint(up(grown.right()) - 1, up(grown.bottom()) - 1));
    // The pictures of a gait, a climb or a swing differ by a few pixels, and a compositor
    // reworks the whole window at each reshape (picom: about ten times what a new picture
    // costs). So the area taken stays while it covers the body with a few pixels to spare,
    // and grows to take in the next picture's where that is enough.
    constexpr int spare = 8;
    const auto fits = [&wanted](const QRect& r) {
        return r.contains(wanted) && wanted.left() - r.left() <= spare &&
               wanted.top() - r.top() <= spare && r.right() - wanted.right() <= spare &&
               r.bottom() - wanted.bottom() <= spare;
    };
    if (inputBody_.isNull()) return wanted;
    if (fits(inputBody_)) return inputBody_;
    if (const QRect both = inputBody_ | wanted; fits(both)) return both;
    return wanted;
}

QRegion CatView::drawnRegion() const {
    return drawnAround(inputBody());
}

QRegion CatView::drawnAround(const QRect& body) const {
    QRegion region = body;
    if (auto caption = captionRect()) region += caption->toAlignedRect();
    if (auto badge = badgeRect()) region += badge->toAlignedRect();
    if (bubble_) {
        // The bubble and its tail take the pointer; the clear corners beside them do not.
        const QRect g = bubble_->geometry();
        const QRectF body = bubble_->body().translated(g.topLeft());
        region += body.adjusted(0, 0, 0, Bubble::shadow).toAlignedRect();
        const QPointF tail = bubble_->tailCentre() + g.topLeft();
        const double reach = Bubble::below() - Bubble::tailDrop - Bubble::shadow;
        region +=
            QRectF(tail - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)).toAlignedRect();
        if (bubble_->above() > 0) {
            const double seal = Bubble::sealSize;
            region += QRectF(body.center().x() - seal / 2, body.top() - seal / 2, seal, seal)
                          .toAlignedRect();
        }
    }
    return region;
}

void CatView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintPicture(p);
}

void CatView::paintPicture(QPainter& p) {
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    const QRectF box = catBox();
    if (state_.squash() == 1 && state_.tilt() == 0) {
        // Upright and unsquashed, as while walking or sitting: the frame, mirrored beforehand
        // if need be, is copied straight in. A transformed draw runs the rasteriser, which
        // spreads the work over Qt's thread pool and wakes its threads on every frame.
        const bool mirrored = !state_.facingRight();
        const double anchorX = box.left() + state_.anchor().x() * box.width();
        const double left = mirrored ? 2 * anchorX - box.right() : box.left();
        const QPointF at(std::round(left), std::round(box.top() - state_.hop()));
        p.setRenderHint(QPainter::SmoothPixmapTransform, false); // lets the copy be a blend
        p.drawImage(at, screenImage(state_.sprite(), devicePixelRatioF(), mirrored));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    } else {
        // Qt hands a run of more than 95 spans to its thread pool. Drawn in bands of at most
        // 48 rows, without edge smoothing (the frame's border pixels are clear anyway), every
        // run stays on this thread; the sampling stays smooth.
        const QImage& image = screenImage(state_.sprite(), devicePixelRatioF(), false);
        const QTransform t = catTransform();
        const QRectF area = t.mapRect(box);
        // The painter may already be moved (a part of the picture rendered on its own).
        const QTransform base = p.transform();
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        const double band = bandRows / devicePixelRatioF(); // the rows are device pixels
        for (double top = std::floor(area.top()); top < area.bottom(); top += band) {
            p.setTransform(base);
            p.setClipRect(QRectF(area.left() - 1, top, area.width() + 2, band));
            p.setTransform(t * base);
            p.drawImage(box, image);
        }
        p.restore();
    }

    transition_.paint(p);
    const QPointF top(box.center().x(), box.top());
    if (state_.hearts()) paintStream(p, Floating::hearts(), top + QPointF(0, 8));
    if (state_.sleeping()) paintStream(p, Floating::sleep(), top + QPointF(14, 22));
    paintBadge(p);
    paintCaption(p);
}

const QImage& CatView::screenImage(CatSprite sprite, qreal ratio, bool mirrored) {
    const int key = sprite.index() * 2 + (mirrored ? 1 : 0);
    if (QImage* cached = screenImages_.object(key); cached && cached->devicePixelRatio() == ratio)
        return *cached;
    const QImage& source = images_(sprite);
    const QSize pixels = (source.deviceIndependentSize() * ratio).toSize();
    QImage scaled = source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                        .scaled(pixels.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
    auto* prepared = new QImage(mirrored ? scaled.mirrored(true, false) : std::move(scaled));
    prepared->setDevicePixelRatio(ratio);
    screenImages_.insert(key, prepared, int(prepared->sizeInBytes()));
    return *screenImages_.object(key);
}

void CatView::paintStream(QPainter& p, const Floating& stream, QPointF origin) const {
    const double t = clock();
    const QImage& image = glyphImage(stream.symbol);
    for (int i = 0; i < Floating::copies; ++i) {
        const Floating::Glyph g = stream.glyph(i, t);
        if (g.opacity <= 0) continue;
        const QSizeF size = QSizeF(image.size()) * (g.fontSize / glyphSize);
        // Top-centred on the origin, then moved along the stream.
        const QPointF topLeft = origin + g.offset - QPointF(size.width() / 2, 0);
        p.setOpacity(g.opacity);
        p.drawImage(QRectF(topLeft, size), image);
    }
    p.setOpacity(1);
}

void CatView::paintCaption(QPainter& p) const {
    const auto area = captionRect();
    if (!area) return;
    const QRectF pill = area->adjusted(0, 0, 0, -2);
    p.save();
    p.setOpacity(transition_.captionOpacity());
    capsule(p, pill.translated(0, 2), Theme::ink(), nullptr);
    capsule(p, pill, Theme::paper(), &Theme::ink());
    const QFont font = rounded(12, QFont::Bold);
    const QFontMetricsF metrics(font);
    p.setFont(font);
    p.setPen(Theme::ink());
    Fonts::drawTabular(p, QPointF(pill.left() + 11, pill.top() + 6 + metrics.ascent()),
                       *state_.caption(), metrics);
    p.restore();
}

void CatView::paintBadge(QPainter& p) const {
    const auto area = badgeRect();
    if (!area) return;
    capsule(p, *area, Theme::pink(), &Theme::ink());
    p.setFont(rounded(12, QFont::Black));
    p.setPen(Theme::ink());
    p.drawText(*area, Qt::AlignCenter, badgeText());
}

void CatView::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    const bool onCat = catBox().contains(at) || bodyRect().contains(at);
    pressedAt_ = onCat ? std::optional(event->globalPosition()) : std::nullopt;
    QWidget::mousePressEvent(event);
}

void CatView::mouseReleaseEvent(QMouseEvent* event) {
    const auto pressed = std::exchange(pressedAt_, std::nullopt);
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressed) return;
    const QPointF travel = event->globalPosition() - *pressed;
    if (std::hypot(travel.x(), travel.y()) <= clickSlop) onTapCat();
}
