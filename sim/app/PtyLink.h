#pragma once
// A pseudo-terminal whose slave device is reachable under a fixed path by a
// symbolic link, so the program finds the simulator like a serial port.
#include <QByteArray>
#include <QString>

namespace kvdsim {

class TPtyLink {
public:
    TPtyLink() = default;
    ~TPtyLink() { Close(); }
    TPtyLink(const TPtyLink &) = delete;
    TPtyLink &operator=(const TPtyLink &) = delete;

    // Opens a new pty (slave in raw mode) and points linkPath at its slave;
    // creates the parent folders and replaces an old link. A path that exists
    // and is not a link is left alone (error).
    bool Open(const QString &linkPath, QString *error);
    // Closes the pty and removes the link if it still points at our slave.
    void Close();
    bool IsOpen() const { return FMaster >= 0; }

    int MasterFd() const { return FMaster; }
    QString SlavePath() const { return FSlavePath; }
    QString LinkPath() const { return FLinkPath; }
    QString Warning() const { return FWarning; }

    // Non-blocking; bytes the pty cannot take are dropped (nobody reads).
    // Returns the number of bytes written.
    qint64 Write(const QByteArray &bytes);
    QByteArray Read();
    // Discards what waits unread on the slave side when it has piled up
    // (no program has the port open), so a program that opens the port
    // later starts on fresh frames.
    void DiscardBacklog(int limit);

private:
    int FMaster = -1;
    int FSlave = -1;   // kept open so the pty survives clients closing it
    QString FSlavePath;
    QString FLinkPath;
    QString FWarning;
};

} // namespace kvdsim
