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

#include <memory>

class QLocalServer;
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
    QString RunControl(const QString &line);

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
    QLocalServer *FServer = nullptr;
    QFile FLog;
    bool FStarted = false;
};

// Ends the event loop cleanly on SIGINT, SIGTERM and SIGHUP.
void InstallQuitSignals();

} // namespace kvdsim
