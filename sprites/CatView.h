#pragma once

#include "frames/CatSprite.h"
#include "sprites/BubbleTransition.h"

#include <QCache>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <optional>

class Bubble;
class CatState;
class QPainter;
struct Floating;

// The whole content of the cat panel: the frame of the cat with its facing, squash, tilt and
// hop, the caption pill, the unread badge, the rising hearts and "z", and the open bubble. It draws
// CatState and keeps nothing of its own but the animation clock; user actions go back through
// callbacks.
class CatView final : public QWidget {
    Q_OBJECT
    // What the automation socket reports of the view: the bubble's transition.
    Q_PROPERTY(QVariantMap automation READ automation)
  public:
    using Images = std::function<const QImage&(CatSprite)>;
    using Sizes = std::function<QSizeF(CatSprite)>;

    CatView(const CatState& state, Images images, QWidget* parent = nullptr);

    std::function<void()> onTapCat = [] {};
    std::function<void()> onRead = [] {};
    std::function<void()> onUpdate = [] {};

    // Puts a new picture on screen without Qt's painting (a copy kept by the display server),
    // rendering it with paint when the key is new or empty (a picture not worth keeping); only
    // the changed rectangle (view coordinates) differs from the picture shown before. False
    // when it cannot, and the view paints as usual. Used only for the cat and its hearts or
    // z's: no caption, badge or bubble.
    std::function<bool(const QList<int>& key, const std::function<void(QPainter&)>& paint,
                       const QRect& changed)>
        present;

    // A frame's size in points without its pixels: a picture the display server still holds
    // is shown again without decoding its frame. By default the image's own size.
    Sizes sizes;

    // Wall-clock seconds (of the stored dates' epoch, which the floating streams share their
    // phase with) that drive the streams; tests pin it.
    std::function<double()> clock;
    // How often the streams and the bubble's transitions redraw while they run.
    void setFrameRate(double framesPerSecond);

    // The bubble's coming and going (see BubbleTransition).
    double bubbleScale() const { return transition_.scale(); }
    double bubbleOpacity() const { return transition_.opacity(); }
    bool transitioning() const { return transition_.running(); }
    // Whether a bubble is open, and the transition's frames and current scale and opacity.
    QVariantMap automation() const;

    // Where things are, in view coordinates. The cat's layout box is not moved by hop,
    // facing, squash or tilt; the body is the drawn sprite's opaque bounds after them.
    QRectF catBox() const;
    QRectF bodyRect() const;
    std::optional<QRectF> captionRect() const; // with its shadow
    std::optional<QRectF> badgeRect() const;
    // The open bubble (a letter, or the eaten files) above the cat, seal and tail included.
    std::optional<QRect> bubbleRect() const;
    Bubble* bubble() const { return bubble_; }
    // What takes the pointer: the body (with a small margin), the caption, the badge and the
    // bubble.
    QRegion drawnRegion() const;
    bool streaming() const { return streams_.isActive(); }

  signals:
    // The drawn region moved or changed shape: the panel updates its input region.
    void drawnChanged();
    // A closed bubble is still shrinking away (true) or gone (false): the panel keeps its room.
    void bubbleLeaving(bool leaving);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void stateChanged();
    void settle();
    void stepStreams();
    // Puts the picture on screen through present where it can, else has Qt paint changed.
    void showPicture(const QList<int>& key, const QRegion& changed);
    bool plainPicture() const;
    void paintPicture(QPainter& p);
    QList<int> pictureKey() const;
    QTransform catTransform() const;
    void paintStream(QPainter& p, const Floating& stream, QPointF origin) const;
    void paintCaption(QPainter& p) const;
    void paintBadge(QPainter& p) const;
    QSizeF captionSize() const;
    QRect streamsRect() const;
    QRect paintedRect() const;
    void syncBubble();
    void placeBubble();
    QSizeF badgeSize() const;
    QString badgeText() const;

    const CatState& state_;
    Images images_;
    // The frame being drawn, converted once for the screen: the stored frames are 8-bit, and
    // drawing those converts and rescales the whole canvas on every paint.
    const QImage& screenImage(CatSprite sprite, qreal ratio, bool mirrored);
    QCache<int, QImage> screenImages_{4 << 20}; // cost in bytes
    QTimer streams_;
    int frameInterval_ = 16;
    static constexpr int sleepStreamMs = 66;
    QRect inputBody() const;
    QRegion drawnAround(const QRect& body) const; // the body with the caption, badge, bubble
    QRegion drawn_;
    QRect inputBody_; // the body's part of the area that takes the pointer, as last set
    QList<int> shown_;
    bool settling_ = false;
    std::optional<QPointF> pressedAt_;
    Bubble* bubble_ = nullptr; // a child widget; the view owns it
    QRect painted_;            // where the cat was last painted
    bool presented_ = false;   // the screen shows a presented picture Qt has not painted

    // The bubble widget shows once it has grown; while it grows or shrinks the view paints
    // the transition's picture of it, scaled and faded.
    BubbleTransition transition_;
    bool captionShown_ = false; // whether the last settled picture had a caption
};
