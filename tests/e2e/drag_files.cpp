// A drag source for the e2e tests: a small window that, when pressed, drags the files named on
// its command line (as file URLs, offering copy and move, as a file manager does) and prints
// what the drop target answered in its XdndFinished message, as a file manager reads it:
// "finished: accepted move", "finished: accepted copy" or "finished: refused".
// Qt's own QDrag::exec returns before that answer comes, with the last hover's action, so the
// answer is read from the X event itself; the window serves the files' data until then.
// Usage: drag-files X Y FILE...   (the window's top-left corner in root pixels)

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

// Prints the target's verdict from XdndFinished and ends the program.
class Finished final : public QAbstractNativeEventFilter {
  public:
    Finished() {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        c_ = x11 ? x11->connection() : nullptr;
        if (!c_) return;
        finished_ = atom(c_, "XdndFinished");
        status_ = atom(c_, "XdndStatus");
        move_ = atom(c_, "XdndActionMove");
        copy_ = atom(c_, "XdndActionCopy");
    }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* e = static_cast<const xcb_generic_event_t*>(message);
        if ((e->response_type & ~0x80) != XCB_CLIENT_MESSAGE) return false;
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(e);
        if (m->type == status_) {
            std::fprintf(stderr, "status: %s\n", (m->data.data32[1] & 1) ? "accept" : "refuse");
            return false;
        }
        if (m->type != finished_) return false;
        const bool accepted = m->data.data32[1] & 1;
        const xcb_atom_t action = m->data.data32[2];
        std::printf("finished: %s\n", !accepted         ? "refused"
                                      : action == move_ ? "accepted move"
                                      : action == copy_ ? "accepted copy"
                                                        : "accepted other");
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QApplication::quit);
        return false;
    }

  private:
    xcb_connection_t* c_ = nullptr;
    xcb_atom_t finished_ = XCB_ATOM_NONE, status_ = XCB_ATOM_NONE, move_ = XCB_ATOM_NONE,
               copy_ = XCB_ATOM_NONE;
};

class Source final : public QWidget {
  public:
    explicit Source(QList<QUrl> files) : files_(std::move(files)) {
        setWindowTitle(QStringLiteral("e2e-drag-source"));
        setFixedSize(160, 100);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(90, 140, 220));
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("%1 file(s)").arg(files_.size()));
    }
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(files_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        std::fprintf(stderr, "drag ended with action %d\n", int(done));
        // The target asks for the data and answers later; give up after ten seconds.
        QTimer::singleShot(10000, qApp, [] {
            std::printf("finished: no answer\n");
            std::fflush(stdout);
            QApplication::quit();
        });
    }

  private:
    QList<QUrl> files_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Finished finished;
    app.installNativeEventFilter(&finished);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: drag-files X Y FILE...\n");
        return 2;
    }
    QList<QUrl> files;
    for (const QString& path : args.mid(3))
        files.append(QUrl::fromLocalFile(path));
    Source source(files);
    source.move(args[1].toInt(), args[2].toInt());
    source.show();
    return app.exec();
}
