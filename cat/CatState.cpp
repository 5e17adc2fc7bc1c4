#include "cat/CatState.h"

CatState::CatState(QObject* parent) : QObject(parent) {}
CatState::~CatState() = default;

namespace {
template <class T> bool assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}
} // namespace

void CatState::setSprite(CatSprite v) {
    if (assign(sprite_, v)) emit changed();
}
void CatState::setFacingRight(bool v) {
    if (assign(facingRight_, v)) emit changed();
}
void CatState::setHop(double v) {
    if (assign(hop_, v)) emit changed();
}
void CatState::setSquash(double v) {
    if (assign(squash_, v)) emit changed();
}
void CatState::setTilt(double v) {
    if (assign(tilt_, v)) emit changed();
}
void CatState::setSwaying(bool v) {
    swaying_ = v; // says how the picture behaves, not what it shows: no repaint
}
void CatState::setAnchor(QPointF v) {
    // QPointF's == is fuzzy; the picture needs exact change detection.
    if (anchor_.x() == v.x() && anchor_.y() == v.y()) return;
    anchor_ = v;
    emit changed();
}
void CatState::setCatOffset(double v) {
    if (assign(catOffset_, v)) emit changed();
}
void CatState::setUnread(int v) {
    if (assign(unread_, v)) emit changed();
}
void CatState::setReading(std::optional<Letter> v) {
    if (assign(reading_, v)) emit changed();
}
void CatState::setCaption(std::optional<QString> v) {
    if (assign(caption_, v)) emit changed();
}
void CatState::setCaptionAt(QPointF v) {
    if (captionAt_.x() == v.x() && captionAt_.y() == v.y()) return;
    captionAt_ = v;
    emit changed();
}
void CatState::setHearts(bool v) {
    if (assign(hearts_, v)) emit changed();
}
void CatState::setSleeping(bool v) {
    if (assign(sleeping_, v)) emit changed();
}
void CatState::setEaten(std::optional<Eaten> v) {
    if (!eaten_ && !v) return;
    eaten_ = std::move(v);
    emit changed();
}
