#pragma once

#include "focus/Letter.h"
#include "frames/CatSprite.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The picture of the cat that the cat view draws. Every setter writes only when the value
// changes and then emits changed(), so an idle cat causes no repaints.
class CatState : public QObject {
    Q_OBJECT
  public:
    // The bubble after the cat ate dropped files.
    struct Eaten {
        QStringList names;
        std::function<void()> undo; // puts the files back
    };

    explicit CatState(QObject* parent = nullptr);
    ~CatState() override;

    CatSprite sprite() const { return sprite_; }
    bool facingRight() const { return facingRight_; }
    double hop() const { return hop_; }       // vertical lift of the drawing, points
    double squash() const { return squash_; } // vertical scale around anchor()
    double tilt() const { return tilt_; }     // degrees around anchor()
    // The squash and tilt go back and forth (a swing, a breath, a wobble), so the same
    // deformed pictures come again; a one-way deformation (a landing, a pounce) does not.
    bool swaying() const { return swaying_; }
    // Unit point of the sprite box in the view's top-left space; (0.5, 1) is bottom-centre.
    QPointF anchor() const { return anchor_; }
    double catOffset() const { return catOffset_; } // cat's x offset from the panel's middle
    int unread() const { return unread_; }
    const Letter* reading() const {
        return reading_ ? &*reading_ : nullptr;
    } // the open letter, or null
    const std::optional<QString>& caption() const { return caption_; }
    // Where the caption pill sits: x offset from the cat, and height.
    QPointF captionAt() const { return captionAt_; }
    bool hearts() const { return hearts_; }
    bool sleeping() const { return sleeping_; }
    const Eaten* eaten() const { return eaten_ ? &*eaten_ : nullptr; }

    void setSprite(CatSprite v);
    void setFacingRight(bool v);
    void setHop(double v);
    void setSquash(double v);
    void setTilt(double v);
    void setSwaying(bool v);
    void setAnchor(QPointF v);
    void setCatOffset(double v);
    void setUnread(int v);
    void setReading(std::optional<Letter> v);
    void setCaption(std::optional<QString> v);
    void setCaptionAt(QPointF v);
    void setHearts(bool v);
    void setSleeping(bool v);
    // Any new bubble counts as a change; clearing an absent one does not.
    void setEaten(std::optional<Eaten> v);

    // The engine's frame: it writes the picture field by field between these two, and a view
    // may wait for frameEnded() (sent when the frame changed anything) rather than put its
    // redraw off to the event loop.
    void beginFrame() {
        framing_ = true;
        touched_ = false;
    }
    void endFrame();
    bool framing() const { return framing_; }

  signals:
    void changed();
    void frameEnded();

  private:
    CatSprite sprite_ = CatSprite::sit;
    bool facingRight_ = true;
    double hop_ = 0;
    double squash_ = 1;
    double tilt_ = 0;
    bool swaying_ = false;
    QPointF anchor_{0.5, 1.0};
    double catOffset_ = 0;
    int unread_ = 0;
    std::optional<Letter> reading_;
    std::optional<QString> caption_;
    QPointF captionAt_{0, 0};
    bool hearts_ = false;
    bool sleeping_ = false;
    std::optional<Eaten> eaten_;
    bool framing_ = false;
    bool touched_ = false; // changed since the frame began
    void touched();
};
