#pragma once

#include <QAbstractButton>

// The plain "‹ Back" button at the top of a sub-screen: rounded font, 13, bold, soft ink,
// no frame; half transparent while pressed.
class BackButton final : public QAbstractButton {
    Q_OBJECT
  public:
    explicit BackButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
};
