// Sends each argument as one request line to the automation socket and prints each reply line.
// Usage: cat-ask SOCKET '{"cmd":"state"}' ...
#include <QCoreApplication>
#include <QLocalSocket>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOCKET REQUEST...\n", argv[0]);
        return 2;
    }
    QLocalSocket socket;
    socket.connectToServer(QString::fromLocal8Bit(argv[1]));
    if (!socket.waitForConnected(2000)) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(socket.errorString()));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        socket.write(QByteArray(argv[i]) + '\n');
        socket.flush();
        while (!socket.canReadLine())
            if (!socket.waitForReadyRead(5000)) {
                std::fprintf(stderr, "no answer\n");
                return 1;
            }
        std::fputs(socket.readLine().constData(), stdout);
    }
    return 0;
}
