#pragma once

#include "cat/CatOverlay.h"
#include "system/Updater.h"

#include <QObject>
#include <QUrl>
#include <memory>

// The composition root: creates every long-lived model once, wires them, lets the cat in and
// takes over the links that arrived before it existed.
class AppModel final : public QObject {
    Q_OBJECT
  public:
    explicit AppModel(const CatServices& services, QObject* parent = nullptr);
    ~AppModel() override;

    // No purrlox:// link changes anything yet: each one is logged and dropped.
    void open(const QUrl& url);

    // The desktop cat.
    std::unique_ptr<CatOverlay> cats;
    // Keeps the install current; its letters go to the cat.
    std::unique_ptr<Updater> updater;
};
