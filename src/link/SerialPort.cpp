#include "link/SerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QStringList>
#include <QThread>

namespace kv {

bool ParseSerialSettings(const QString &text, TSerialSettings &settings)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const qint32 baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("noems").contains(parity[0]))
        return false;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 5 || data > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop != QLatin1String("1") && stop != QLatin1String("1.5") && stop != QLatin1String("2"))
        return false;
    settings.BaudRate = baud;
    settings.Parity = parity[0].toLatin1();
    settings.DataBits = data;
    settings.StopBits = stop;
    return true;
}

QString SerialDevicePath(int port, const QString &programFolder)
{
    if (port < 1 || port > 16)
        return QString();
    QString folder = programFolder;
    if (folder.isEmpty() && QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    if (!folder.isEmpty()) {
        const QString entry = QDir(folder).filePath(QStringLiteral("ports/COM%1").arg(port));
        // A dangling link is still "the entry exists": the simulator is
        // expected there, and falling back to a real device would be wrong.
        const QFileInfo info(entry);
        if (info.exists() || info.isSymLink())
            return entry;
    }
    if (port <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(port - 1);
    if (port <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(port - 5);
    return QStringLiteral("/dev/ttyACM%1").arg(port - 13);
}

TMSComm::TMSComm(const QString &programFolder) : FProgramFolder(programFolder) {}

TMSComm::~TMSComm() { DropPort(); }

bool TMSComm::OwnedHere() const { return FPort && FPort->thread() == QThread::currentThread(); }

void TMSComm::DropPort()
{
    if (!FPort)
        return;
    QSerialPort *old = FPort;
    FPort = nullptr;
    FOwner = nullptr;
    QThread *owner = old->thread();
    if (owner == QThread::currentThread() || !owner || owner->isFinished() || !owner->isRunning()) {
        delete old;
    } else {
        // Still alive on a thread that is running: its own thread closes it.
        old->deleteLater();
    }
}

bool TMSComm::Open(int port, const QString &settings)
{
    DropPort();
    TSerialSettings s;
    FDevicePath = SerialDevicePath(port, FProgramFolder);
    if (FDevicePath.isEmpty() || !ParseSerialSettings(settings, s))
        return false;

    auto *p = new QSerialPort;
    p->setPortName(QFileInfo(FDevicePath).absoluteFilePath());
    if (!p->open(QIODevice::ReadWrite)) {
        delete p;
        return false;
    }
    bool ok = p->setBaudRate(s.BaudRate);
    ok = p->setDataBits(static_cast<QSerialPort::DataBits>(s.DataBits)) && ok;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (s.Parity) {
    case 'o': parity = QSerialPort::OddParity; break;
    case 'e': parity = QSerialPort::EvenParity; break;
    case 'm': parity = QSerialPort::MarkParity; break;
    case 's': parity = QSerialPort::SpaceParity; break;
    default: break;
    }
    ok = p->setParity(parity) && ok;
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    if (s.StopBits == QLatin1String("2"))
        stop = QSerialPort::TwoStop;
    else if (s.StopBits == QLatin1String("1.5"))
        stop = QSerialPort::OneAndHalfStop;
    // One and a half stop bits do not exist on most UARTs here; the line
    // then runs with two, which every receiver set to 1.5 accepts.
    if (!p->setStopBits(stop) && !(stop == QSerialPort::OneAndHalfStop && p->setStopBits(QSerialPort::TwoStop)))
        ok = false;
    ok = p->setFlowControl(QSerialPort::NoFlowControl) && ok;
    if (!ok) {
        p->close();
        delete p;
        return false;
    }
    p->clear(QSerialPort::AllDirections);
    FPort = p;
    FOwner = QThread::currentThread();
    return true;
}

void TMSComm::Close() { DropPort(); }

bool TMSComm::HandTo(QThread *thread)
{
    if (!FPort)
        return true; // nothing open: the next Open creates the port where it runs
    if (!thread || !OwnedHere())
        return false;
    if (thread == QThread::currentThread())
        return true;
    FPort->moveToThread(thread);
    if (FPort->thread() != thread)
        return false;
    FOwner = thread;
    return true;
}

bool TMSComm::IsOpen() const { return OwnedHere() && FPort->isOpen(); }

bool TMSComm::Output(const QByteArray &bytes)
{
    if (!IsOpen())
        return false;
    if (FPort->write(bytes) != bytes.size())
        return false;
    // No event loop runs on the driver's threads: push the bytes out now.
    while (FPort->bytesToWrite() > 0)
        if (!FPort->waitForBytesWritten(1000))
            return false;
    return FPort->error() == QSerialPort::NoError || FPort->error() == QSerialPort::TimeoutError;
}

int TMSComm::InBufferCount()
{
    if (!IsOpen())
        return 0;
    // Move whatever the device holds into the port's buffer.
    while (FPort->waitForReadyRead(0)) {
    }
    if (FPort->error() == QSerialPort::ResourceError) {
        // The device went away (cable pulled, simulator gone): the port is
        // unusable until it is opened again.
        const qint64 left = FPort->bytesAvailable();
        if (left == 0) {
            FPort->close();
            return 0;
        }
    }
    FPort->clearError();
    return static_cast<int>(qMin<qint64>(FPort->bytesAvailable(), 1 << 30));
}

QByteArray TMSComm::Input(int count)
{
    if (count <= 0 || !IsOpen())
        return QByteArray();
    if (FPort->bytesAvailable() < count)
        InBufferCount();
    if (!FPort->isOpen())
        return QByteArray();
    return FPort->read(count);
}

void TMSComm::DiscardInput()
{
    if (!IsOpen())
        return;
    while (FPort->waitForReadyRead(0)) {
    }
    FPort->clearError();
    FPort->readAll();
    FPort->clear(QSerialPort::Input);
}

} // namespace kv
