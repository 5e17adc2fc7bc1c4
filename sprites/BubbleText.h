#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextLayout>
#include <QWidget>
#include <memory>

// Wrapped text in a bubble: lines centred in the widget's width, extra spacing between lines,
// either direction of writing, and at most maxLines lines (0: no limit) with the last one
// elided. Grows vertically to fit its width.
class BubbleText final : public QWidget {
    Q_OBJECT
  public:
    BubbleText(const QString& text, const QFont& font, const QColor& colour, double lineSpacing,
               int maxLines = 0, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    int lineCount() const; // at the current width

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Lays the text out for a width; cached, as heightForWidth is asked often.
    const QTextLayout& laidOut(int width) const;

    QString text_;
    QFont font_;
    QColor colour_;
    double lineSpacing_;
    int maxLines_;
    mutable std::unique_ptr<QTextLayout> layout_;
    mutable int layoutWidth_ = -1;
    mutable double layoutHeight_ = 0;
};
