#include "cat/CatState.h"

#include <utility>

CatState::CatState(QObject* parent) : QObject(parent) {}
CatState::~CatState() = default;

namespace {
template <class T> bool assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}
} // namespace

void CatState::endFrame() {
    framing_ = false;
    if (std::exchange(touched_, false)) emit frameEnded();
}

void CatState::touched() {
    touched_ = true;
    emit changed();
}

void CatState::setSprite(CatSprite v) {
    if (assign(sprite_, v)) touched();
}
void CatState::setFacingRight(bool v) {
    if (assign(facingRight_, v)) touched();
}
void CatState::setHop(double v) {
    if (assign(hop_, v)) touched();
}
void CatState::setSquash(double v) {
    if (assign(squash_, v)) touched();
}
void CatState::setTilt(double v) {
    if (assign(tilt_, v)) touched();
}
void CatState::setSwaying(bool v) {
    swaying_ = v; // says how the picture behaves, not what it shows: no repaint
}
void CatState::setAnchor(QPointF v) {
    // QPointF's == is fuzzy; the picture needs exact change detection.
    if (anchor_.x() == v.x() && anchor_.y() == v.y()) return;
    anchor_ = v;
    touched();
}
void CatState::setCatOffset(double v) {
    if (assign(catOffset_, v)) touched();
}
void CatState::setUnread(int v) {
    if (assign(unread_, v)) touched();
}
void CatState::setReading(std::optional<Letter> v) {
    if (assign(reading_, v)) touched();
}
void CatState::setCaption(std::optional<QString> v) {
    if (assign(caption_, v)) touched();
}
void CatState::setCaptionAt(QPointF v) {
    if (captionAt_.x() == v.x() && captionAt_.y() == v.y()) return;
    captionAt_ = v;
    touched();
}
void CatState::setHearts(bool v) {
    if (assign(hearts_, v)) touched();
}
void CatState::setSleeping(bool v) {
    if (assign(sleeping_, v)) touched();
}
void CatState::setEaten(std::optional<Eaten> v) {
    if (!eaten_ && !v) return;
    eaten_ = std::move(v);
    touched();
}
