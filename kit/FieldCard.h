#pragma once

#include <QLineEdit>

class QPainter;

// A line edit in the field-card look: no platform frame, the rounded font at 14, on a
// paper rounded rectangle (radius 12) with a 2-point ink outline.
class FieldCard : public QLineEdit {
    Q_OBJECT
  public:
    explicit FieldCard(const QString& placeholder = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The first click after the field takes the focus (by any means) selects its whole text,
    // so typing replaces a default name; later clicks and clicks after typing place the caret.
    void setSelectsOnFirstClick(bool on) { selectsOnFirstClick_ = on; }

    static QFont font();
    // The field's background alone, for fields drawn without a widget.
    static void paintBackground(QPainter& p, const QRectF& bounds);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool selectsOnFirstClick_ = false;
    bool untouched_ = false; // focused, and neither clicked nor typed in since
    bool focusingClick_ = false;
};
