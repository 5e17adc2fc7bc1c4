// A drag source for the e2e tests: a small window that, when pressed, drags the files named on
// its command line (as file URLs, offering copy and move, as a file manager does) and prints
// how the drop ended: "result: move", "result: copy" or "result: ignore".
// Usage: drag-files X Y FILE...   (the window's top-left corner in root pixels)

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

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
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        const char* name = result == Qt::MoveAction   ? "move"
                           : result == Qt::CopyAction ? "copy"
                                                      : "ignore";
        std::printf("result: %s\n", name);
        std::fflush(stdout);
        QApplication::quit();
    }

  private:
    QList<QUrl> files_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
