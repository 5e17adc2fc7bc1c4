#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class Pomodoro;
class QLocalSocket;

// What another start asks of the running Purrlox over the instance socket, one line each:
// "!status [json] [follow]", "!focus start|stop", "!open". The answer is the lines that start
// prints, ready to print: a status line (the time left and the activity, or waybar's JSON),
// or "ok". A follower keeps its connection and gets a line at every change of the timer and
// at each minute it counts down: nothing while the timer is off, nothing between minutes.
class InstanceCommands final : public QObject {
    Q_OBJECT
  public:
    InstanceCommands(Pomodoro& pomodoro, std::function<void()> open, QObject* parent = nullptr);
    ~InstanceCommands() override;

    // Answers the command read from the socket, and closes or keeps the socket.
    void take(QLocalSocket* socket, const QByteArray& command);
    // Followers at once; one more is told no and closed.
    static constexpr int mostFollowers = 32;
    qsizetype followers() const { return followers_.size(); }

    // The status as the command line prints it: one line of text, or of waybar's JSON
    // ({"text", "tooltip", "class", "alt"}); in whole minutes for followers.
    QString status(bool json, bool minutes) const;

  private:
    struct Follower {
        QLocalSocket* socket;
        bool json;
        QString last; // the line it was last sent
    };
    void tellFollowers();
    void answer(QLocalSocket* socket, const QString& lines);

    Pomodoro& pomodoro_;
    std::function<void()> open_;
    QList<Follower> followers_;
};
