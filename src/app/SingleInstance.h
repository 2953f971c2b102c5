#pragma once
// Guard against a second running copy of the same installation. The first
// copy listens on a local socket named after its executable's absolute path
// (and the user), so copies from two program folders do not collide. A later
// copy finds it, asks it to restore itself and ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace kv {

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // key: the socket name; see KeyForProgram.
    explicit TSingleInstance(const QString &key, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // The socket name of a program file: derived from its absolute path.
    static QString KeyForProgram(const QString &programFile);

    // True when this is the first copy (it now listens). False when another
    // copy is running: it has been asked to restore itself.
    bool Acquire();
    // True while this copy listens for later copies.
    bool IsListening() const { return m_server != nullptr; }

signals:
    // A later copy asked this one to show itself.
    void restoreRequested();

private:
    bool NotifyRunningCopy();
    void OnNewConnection();

    QString m_key;
    QLocalServer *m_server = nullptr;
};

} // namespace kv
