#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

class DbusMenuAdaptor;

// A flat menu a tray host shows on a right-click: com.canonical.dbusmenu, the interface KDE's
// panel, waybar and GNOME's AppIndicator extension read. The entries are whatever the owner
// last set; a change of the entries' ids or kinds is a new layout (LayoutUpdated), a change of
// their labels only a change of properties (ItemsPropertiesUpdated). A host that asks for ids
// that do not exist, or clicks an entry of an older layout, gets an error and one log line.
// It is the D-Bus context of its adaptor's calls (Qt hands an adaptor's call to its parent).
class DbusMenu final : public QObject, protected QDBusContext {
    Q_OBJECT
  public:
    struct Entry {
        int id = 0; // above 0, unique; 0 is the menu itself
        QString label;
        bool separator = false;
        bool enabled = true;
        bool operator==(const Entry&) const = default;
    };

    static inline const QString path = QStringLiteral("/MenuBar");

    DbusMenu(QDBusConnection bus, QObject* parent = nullptr);
    ~DbusMenu() override;

    bool exported() const { return exported_; }
    void setEntries(QList<Entry> entries);
    const QList<Entry>& entries() const { return entries_; }
    uint revision() const { return revision_; }
    // Whether a host said it shows the menu now ("opened", and no "closed" since): a label
    // that changes every second is worth sending only then.
    bool shownByHost() const;

    // A host that showed the menu closed it.
    std::function<void()> onHidden;
    // A host clicked an entry of the current layout.
    std::function<void(int id)> onClicked;
    // The entries as they are now. A host's reads take them from here, without a signal when
    // only labels changed (the owner sends those while a host shows the menu); unset: the
    // entries last set.
    std::function<QList<Entry>()> entriesNow;

    // What the adaptor answers from; each returns false for an id that is not in the menu.
    QVariantMap properties(int id, const QStringList& names) const;
    bool has(int id) const;
    // The entry's events: "clicked", "opened", "closed", "hovered".
    bool event(int id, const QString& eventId);
    // Takes the entries from entriesNow.
    void refresh();
    // Whether the entries changed since a host last read the layout.
    bool aboutToShow();
    // Counts one call of a host and tells once when a host floods the menu with them.
    void countCall();
    // One log line about a host's bad call, unless it floods us (then that was told once).
    void tell(const QString& line);
    // Answers the call being handled with an error (InvalidArgs).
    void replyError(const QString& why);
    void layoutRead() { lastRead_ = entries_; }

  private:
    QDBusConnection bus_;
    DbusMenuAdaptor* adaptor_;
    QList<Entry> entries_;
    QList<Entry> lastRead_;
    uint revision_ = 1;
    bool exported_ = false;
    QElapsedTimer openedFor_; // running from "opened" until "closed"
    QElapsedTimer callWindow_;
    int callsInWindow_ = 0;
    int toldInWindow_ = 0;
    bool floodTold_ = false;
};
