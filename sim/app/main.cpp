// kvdsim: a controller box on a pseudo-terminal, for tests and demonstrations
// without a press. See sim/README.md.
#include "SimControl.h"
#include "SimRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <cstdio>

using namespace kvdsim;

namespace {

int Fail(const QString &text)
{
    std::fprintf(stderr, "kvdsim: %s\n", qPrintable(text));
    return 2;
}

// Client mode: hands one command to a running simulator and prints its reply.
int SendCommand(const QString &socket, const QString &command)
{
    QLocalSocket c;
    c.connectToServer(socket);
    if (!c.waitForConnected(3000))
        return Fail(QStringLiteral("no simulator listens on %1").arg(socket));
    c.write((command + QLatin1Char('\n')).toUtf8());
    QByteArray reply;
    QElapsedTimer t;
    t.start();
    // A wait is answered by the box itself, at the latest when its own time-out passes.
    const bool waits = command.trimmed().startsWith(QLatin1String("wait"), Qt::CaseInsensitive);
    while (waits ? c.state() == QLocalSocket::ConnectedState : t.elapsed() < 5000) {
        if (c.waitForReadyRead(100))
            reply += c.readAll();
        const int last = reply.lastIndexOf('\n', reply.size() - 2) + 1;
        const QByteArray tail = reply.mid(last);
        if (reply.endsWith('\n') && (tail == "ok\n" || tail.startsWith("error:")))
            break;
    }
    std::fwrite(reply.constData(), 1, size_t(reply.size()), stdout);
    return reply.contains("\nerror:") || reply.startsWith("error:") || !reply.endsWith("ok\n") ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvdsim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated controller box of the testing press on a pseudo-terminal.\n"
        "The program finds it as serial port N when <program folder>/ports/COM<N> exists."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Box model: %1 (default KVD300).").arg(ModelList()),
                                   QStringLiteral("MODEL"), QStringLiteral("KVD300"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Path of the link to the pty (default <kvdsim folder>/ports/COM1)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Log every byte in and out, time-stamped, in hex."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Status frame period in ms (default 20)."),
                                  QStringLiteral("MS"), QStringLiteral("20"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of noise and strengths (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption strength(QStringLiteral("strength"), QStringLiteral("Strength of every specimen, N."),
                                      QStringLiteral("N"));
    const QCommandLineOption strengthMean(QStringLiteral("strength-mean"), QStringLiteral("Mean strength of drawn specimens, N."),
                                          QStringLiteral("N"));
    const QCommandLineOption strengthSpread(QStringLiteral("strength-spread"),
                                            QStringLiteral("Standard deviation of drawn strengths, N."), QStringLiteral("N"));
    const QCommandLineOption noise(QStringLiteral("noise"), QStringLiteral("Code noise, standard deviation (default 2)."),
                                   QStringLiteral("SIGMA"), QStringLiteral("2"));
    const QCommandLineOption offset(QStringLiteral("offset"), QStringLiteral("Zero offset of the force sensor, codes."),
                                    QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption control(QStringLiteral("control"),
                                     QStringLiteral("Control channel: 'stdin' or the path of a local socket."),
                                     QStringLiteral("stdin|PATH"));
    const QCommandLineOption send(QStringLiteral("send"),
                                  QStringLiteral("Send one control command to the simulator listening on --control PATH, print the reply, end."),
                                  QStringLiteral("COMMAND"));
    const QCommandLineOption verbose({QStringLiteral("v"), QStringLiteral("verbose")},
                                     QStringLiteral("Print box events on stderr."));
    p.addOptions({help, model, link, log, rate, seed, strength, strengthMean, strengthSpread, noise, offset, control, send, verbose});
    if (!p.parse(QCoreApplication::arguments()))
        return Fail(p.errorText());
    if (p.isSet(help)) {
        std::printf("%s\nControl commands (one a line on the control channel):\n%s\n",
                    qPrintable(p.helpText()), qPrintable(ControlHelp()));
        return 0;
    }
    if (!p.positionalArguments().isEmpty())
        return Fail(QStringLiteral("unexpected argument '%1' (try --help)").arg(p.positionalArguments().first()));

    TRunnerOptions o;
    if (!ParseModel(p.value(model), &o.box.model))
        return Fail(QStringLiteral("unknown model '%1'; use %2").arg(p.value(model), ModelList()));
    bool ok = false;
    o.box.rateMs = p.value(rate).toInt(&ok);
    if (!ok || o.box.rateMs < 1 || o.box.rateMs > 10000)
        return Fail(QStringLiteral("--rate must be 1..10000 ms"));
    o.box.seed = p.value(seed).toUInt(&ok);
    if (!ok)
        return Fail(QStringLiteral("--seed must be a whole number"));
    auto positive = [&](const QCommandLineOption &opt, double *out, bool zeroOk) -> bool {
        if (!p.isSet(opt))
            return true;
        const double v = p.value(opt).toDouble(&ok);
        if (!ok || v < 0 || (!zeroOk && v == 0))
            return false;
        *out = v;
        return true;
    };
    if (!positive(strength, &o.box.strength, false))
        return Fail(QStringLiteral("--strength must be a force above 0 N"));
    if (!positive(strengthMean, &o.box.strengthMean, false))
        return Fail(QStringLiteral("--strength-mean must be a force above 0 N"));
    if (!positive(strengthSpread, &o.box.strengthSpread, true))
        return Fail(QStringLiteral("--strength-spread must not be negative"));
    if (!positive(noise, &o.box.noise, true))
        return Fail(QStringLiteral("--noise must not be negative"));
    o.box.offset = p.value(offset).toInt(&ok);
    if (!ok)
        return Fail(QStringLiteral("--offset must be a whole number of codes"));

    o.linkPath = p.isSet(link) ? p.value(link) : QCoreApplication::applicationDirPath() + QStringLiteral("/ports/COM1");
    o.linkPath = QDir::cleanPath(QDir::current().absoluteFilePath(o.linkPath));
    o.logPath = p.value(log);
    o.control = p.value(control);
    if (!o.control.isEmpty() && o.control != QLatin1String("stdin") && o.control != QLatin1String("-"))
        o.control = QDir::cleanPath(QDir::current().absoluteFilePath(o.control));
    o.verbose = p.isSet(verbose);
    if (p.isSet(send)) {
        if (o.control.isEmpty() || o.control == QLatin1String("stdin") || o.control == QLatin1String("-"))
            return Fail(QStringLiteral("--send needs --control PATH of a running simulator"));
        return SendCommand(o.control, p.value(send));
    }

    InstallQuitSignals();
    TSimRunner runner(o);
    QString error;
    if (!runner.Start(&error))
        return Fail(error);
    const int rc = app.exec();
    runner.Shutdown();
    return rc;
}
