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

    // A symbol (the ✕ of a list row) reads as a button without the underline of a word.
    void setUnderlined(bool underlined);

    static QFont font(bool underlined = true);
    static QSizeF naturalSize(const QString& text);
    static void paint(QPainter& p, const QRectF& bounds, const QString& text, bool pressed,
                      bool underlined = true);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool underlined_ = true;
};
