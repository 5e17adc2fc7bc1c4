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

    static QFont font();
    // The field's background alone, for fields drawn without a widget.
    static void paintBackground(QPainter& p, const QRectF& bounds);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
