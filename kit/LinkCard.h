#pragma once

#include <QAbstractButton>
#include <optional>

class TextLine;
class Badge;

// A card that is one big button: a bold title with an optional count badge, a one-line
// subtitle under it, and a "›" at the trailing end.
class LinkCard : public QAbstractButton {
    Q_OBJECT
  public:
    explicit LinkCard(const QString& title, QWidget* parent = nullptr);

    void setBadge(std::optional<int> count);
    void setSubtitle(const QString& subtitle);
    std::optional<int> badge() const { return badge_; }
    QString subtitle() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
    std::optional<int> badge_;
    TextLine* subtitle_;
    Badge* badgeView_;
};
