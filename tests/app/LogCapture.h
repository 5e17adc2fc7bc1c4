#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the lines written to the app's logger while it lives.
class LogCapture {
  public:
    LogCapture() {
        lines().clear();
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    QStringList messages() const { return lines(); }

  private:
    static QStringList& lines() {
        static QStringList captured;
        return captured;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (context.category && QByteArray(context.category) == "app.purrlox.Purrlox.app")
            lines().append(message);
        else if (previous())
            previous()(type, context, message);
    }
    static QtMessageHandler& previous() {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    QtMessageHandler& previous_ = previous();
};
