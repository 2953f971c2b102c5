#pragma once
// Runs a simulated box on a pty in real time: box time follows the wall
// clock, received bytes go to the box at once, the box's bytes go out as soon
// as they exist. Also serves the control channel and writes the byte log.
#include "PtyLink.h"
#include "SimBox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QLocalServer;
class QLocalSocket;
class QSocketNotifier;

namespace kvdsim {

struct TRunnerOptions {
    TBoxOptions box;
    QString linkPath;
    QString logPath;
    QString control;   // "", "stdin" or a local socket path
    bool verbose = false;
};

class TSimRunner : public QObject {
    Q_OBJECT
public:
    explicit TSimRunner(const TRunnerOptions &options, QObject *parent = nullptr);
    ~TSimRunner() override;

    bool Start(QString *error);
    void Shutdown();

private slots:
    void OnTick();
    void OnMasterReadable();
    void OnStdinReadable();
    void OnNewControlClient();

private:
    bool OpenLink(QString *error);
    void CloseLink();
    void Announce();
    void Flush();
    void Log(const char *direction, const QString &text);
    // Runs one command; answer gets the reply, at once or, for a waiting
    // command, once box time brings it (then false is returned: the channel
    // reads no further command until then).
    bool RunControl(const QString &line, const std::function<void(const QString &)> &answer);
    void ServeStdin();
    void ServeClient(QLocalSocket *client);
    void AnswerWaits();

    struct TWait {
        std::function<bool(TSimBox &, QString *)> until;
        std::function<void(const QString &)> answer;
    };

    TRunnerOptions FOptions;
    TSimBox FBox;
    TPtyLink FLink;
    QTimer FTimer;
    QElapsedTimer FClock;
    qint64 FLastMs = 0;
    qint64 FLastDiscard = 0;
    std::unique_ptr<QSocketNotifier> FMasterNotifier;
    std::unique_ptr<QSocketNotifier> FStdinNotifier;
    QByteArray FStdinBuffer;
    bool FStdinWaiting = false;
    std::vector<TWait> FWaits;
    QLocalServer *FServer = nullptr;
    QFile FLog;
    bool FStarted = false;
};

// Ends the event loop cleanly on SIGINT, SIGTERM and SIGHUP.
void InstallQuitSignals();

} // namespace kvdsim
