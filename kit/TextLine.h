#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// One line of text in the rounded font; with `tabular`, every digit takes the width of the
// widest one, so a countdown keeps its width as it changes. Fixed-width variants are set with
// setFixedWidth; the text is then aligned by `alignment`.
class TextLine : public QWidget {
    Q_OBJECT
  public:
    TextLine(const QString& text, QFont font, QColor colour, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    void setColour(const QColor& colour);
    void setTabular(bool tabular);
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double advance() const;

    QString text_;
    QColor colour_;
    bool tabular_ = false;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};
