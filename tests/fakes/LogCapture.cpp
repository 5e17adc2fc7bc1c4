#include "fakes/LogCapture.h"

#include "base/Log.h"

namespace {

QStringList* capturing = nullptr;
QtMessageHandler previous = nullptr;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (capturing && context.category && QByteArray(context.category) == lcApp().categoryName())
        capturing->append(message);
    else if (previous)
        previous(type, context, message);
}

} // namespace

LogCapture::LogCapture() {
    capturing = &lines_;
    previous = qInstallMessageHandler(capture);
}

LogCapture::~LogCapture() {
    qInstallMessageHandler(previous);
    capturing = nullptr;
}
