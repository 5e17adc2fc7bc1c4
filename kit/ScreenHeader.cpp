#include "kit/ScreenHeader.h"

#include "kit/BackButton.h"
#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"

#include <QHBoxLayout>

QHBoxLayout* screenHeader(QWidget* owner, const QString& title, std::function<void()> back) {
    auto* header = new QHBoxLayout;
    auto* backButton = new BackButton(owner);
    QObject::connect(backButton, &QAbstractButton::clicked, owner, [back = std::move(back)] {
        if (back) back();
    });
    header->addWidget(backButton);
    header->addStretch(1);
    header->addWidget(
        new TextLine(title, Fonts::rounded(17, QFont::ExtraBold), Theme::ink(), owner));
    return header;
}
