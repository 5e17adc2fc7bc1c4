#include "sprites/EatenBubble.h"

#include "kit/ChunkyButton.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"
#include "sprites/BubbleText.h"
#include "strings/Strings.h"

#include <QVBoxLayout>

namespace {

QString wording(const QStringList& names) {
    return names.size() == 1 ? S().inTrash(names.front()) : S().filesInTrash(int(names.size()));
}

} // namespace

EatenBubble::EatenBubble(const QStringList& names, std::function<void()> onPutBack, QWidget* parent)
    : Bubble(false, bubbleWidth, parent), names_(names) {
    QVBoxLayout* column = this->column();
    column->setSpacing(8);
    column->addWidget(
        new BubbleText(S().yum(), Fonts::rounded(18, QFont::ExtraBold), Theme::ink(), 0));
    message_ =
        new BubbleText(wording(names), Fonts::rounded(12, QFont::DemiBold), Theme::inkSoft(), 0, 2);
    column->addWidget(message_);
    auto* putBack = new ChunkyButton(S().putBack(), {Theme::sky(), 12});
    connect(putBack, &QAbstractButton::clicked, this, [onPutBack] { onPutBack(); });
    column->addWidget(putBack, 0, Qt::AlignHCenter);
}

void EatenBubble::setNames(const QStringList& names) {
    if (names == names_) return;
    names_ = names;
    message_->setText(wording(names));
}

QString EatenBubble::message() const {
    return message_->text();
}
