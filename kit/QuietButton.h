#pragma once

#include <QAbstractButton>

class QPainter;

// The quiet text button: small, soft ink, underlined; half transparent while pressed.
class QuietButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit QuietButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static QFont font();
    static QSizeF naturalSize(const QString& text);
    static void paint(QPainter& p, const QRectF& bounds, const QString& text, bool pressed);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
