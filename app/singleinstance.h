#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One copy of the program runs its window. The running copy listens on a local socket that only its
// own user can reach; a second start finds it there, asks it to show its window and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = DefaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the running copy from now on; false when another copy answered,
    // which has then been asked to show itself.
    bool claim();

    // "ZPX" and the user's id: each user has a copy of their own.
    static QString DefaultName();

signals:
    // A second start asked the running copy to come to the front.
    void showRequested();

private:
    bool askRunningCopy();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
