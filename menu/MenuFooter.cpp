#include "menu/MenuFooter.h"

#include "kit/CuteToggle.h"
#include "kit/QuietButton.h"
#include "strings/Language.h"
#include "strings/Strings.h"
#include "system/LaunchAtLogin.h"
#include "updates/UpdateChecks.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

MenuFooter::MenuFooter(LaunchAtLogin& launchAtLogin, Settings* updateChecks,
                       std::function<void()> openLanguage, std::function<void()> quit,
                       QWidget* parent)
    : QWidget(parent), launchAtLogin_(launchAtLogin) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(10);
    toggle_ = new CuteToggle(S().openAtLogin());
    toggle_->setObjectName(QStringLiteral("loginToggle"));
    column->addWidget(toggle_);
    allow_ = new QuietButton(S().allowInLoginItems());
    allow_->setObjectName(QStringLiteral("allowButton"));
    column->addWidget(allow_);
    if (updateChecks) {
        updates_ = new CuteToggle(S().checkForUpdates());
        updates_->setObjectName(QStringLiteral("updatesToggle"));
        updates_->setCheckedNow(UpdateChecks::enabled(*updateChecks));
        connect(updates_, &QAbstractButton::toggled, this,
                [updateChecks](bool on) { UpdateChecks::setEnabled(*updateChecks, on); });
        column->addWidget(updates_);
    }
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    if (availableLanguages().size() >= 2) {
        language_ = new QuietButton(QStringLiteral("🌐 ") + S().language());
        language_->setObjectName(QStringLiteral("languageButton"));
        connect(language_, &QAbstractButton::clicked, this, std::move(openLanguage));
        row->addWidget(language_);
    }
    row->addStretch(1);
    quit_ = new QuietButton(S().quit());
    quit_->setObjectName(QStringLiteral("quitButton"));
    connect(quit_, &QAbstractButton::clicked, this, std::move(quit));
    row->addWidget(quit_);
    column->addLayout(row);

    connect(toggle_, &QAbstractButton::toggled, this, [this](bool on) {
        launchAtLogin_.set(on);
        showStatus(); // a failed switch snaps back to what the system says
    });
    connect(allow_, &QAbstractButton::clicked, this, [this] { launchAtLogin_.openSettings(); });
    connect(&launchAtLogin, &LaunchAtLogin::statusChanged, this, &MenuFooter::showStatus);
    showStatus();
}

void MenuFooter::showStatus() {
    const LoginItem::Status status = launchAtLogin_.status();
    const bool on = status == LoginItem::Status::enabled;
    if (toggle_->isChecked() != on) toggle_->setCheckedNow(on);
    allow_->setVisible(status == LoginItem::Status::requiresApproval);
}
