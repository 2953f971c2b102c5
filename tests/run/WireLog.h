#pragma once
// The simulated box's byte log read back: what it sent (TX) and received
// (RX) with box time, and its events (--). A test finds where a state first
// showed in the status frames and when a command byte reached the box.
#include "../sim/WireDecode.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <functional>

namespace runtest {

struct TWireLine {
    double Ms = 0;
    QString Dir;
    QByteArray Bytes;
    QString Text;
};

inline QList<TWireLine> ReadWireLog(const QString &path)
{
    QList<TWireLine> lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    static const QRegularExpression re(QStringLiteral("^\\S+ \\S+ +([0-9.]+) (TX|RX|--) (.*)$"));
    while (!f.atEnd()) {
        const QString l = QString::fromUtf8(f.readLine()).trimmed();
        const QRegularExpressionMatch m = re.match(l);
        if (!m.hasMatch())
            continue;
        TWireLine w;
        w.Ms = m.captured(1).toDouble() * 1000.0;
        w.Dir = m.captured(2);
        w.Text = m.captured(3);
        if (w.Dir != QLatin1String("--"))
            w.Bytes = QByteArray::fromHex(w.Text.toLatin1());
        lines.append(w);
    }
    return lines;
}

// A line of the box's log: its place and box time.
struct TWireMark {
    int Line = -1;
    double Ms = -1;
    bool Found() const { return Line >= 0; }
};

// The log of a twelve-byte box at LogPath; every question reads it afresh.
struct TWireLog {
    QString LogPath;

    QList<TWireLine> Log() const { return ReadWireLog(LogPath); }
    // The newest control command starting with prefix.
    TWireMark Control(const QString &prefix) const
    {
        TWireMark at;
        const QList<TWireLine> log = Log();
        for (int i = 0; i < log.size(); ++i)
            if (log[i].Dir == QLatin1String("--") && log[i].Text.startsWith(QStringLiteral("control: ") + prefix))
                at = {i, log[i].Ms};
        return at;
    }
    // The first status frame after the mark that shows the state.
    TWireMark FirstFrame(TWireMark after, const std::function<bool(const simtest::TStatus &)> &shows) const
    {
        const QList<TWireLine> log = Log();
        for (int i = after.Line + 1; after.Found() && i < log.size(); ++i)
            if (log[i].Dir == QLatin1String("TX"))
                for (const QByteArray &f : simtest::SplitFrames(log[i].Bytes, false))
                    if (shows(simtest::Decode12(f)))
                        return {i, log[i].Ms};
        return {};
    }
    // Every command byte b the box received after the mark (command frames
    // starting with 68 are skipped whole).
    QList<TWireMark> Commands(TWireMark after, int b) const
    {
        static const QHash<int, int> frameLength{{0xD0, 11}, {0xD1, 6}, {0xD3, 8}, {0xD4, 8}, {0xD5, 8}, {0x00, 6}, {0x01, 6}};
        QList<TWireMark> found;
        int skip = 0;
        bool header = false;
        const QList<TWireLine> log = Log();
        for (int i = 0; after.Found() && i < log.size(); ++i) {
            if (log[i].Dir != QLatin1String("RX"))
                continue;
            for (char c : log[i].Bytes) {
                const int v = quint8(c);
                if (header) {
                    header = false;
                    skip = frameLength.value(v, 2) - 2;
                } else if (skip > 0) {
                    --skip;
                } else if (v == 0x68) {
                    header = true;
                } else if (v == b && i > after.Line) {
                    found.append({i, log[i].Ms});
                }
            }
        }
        return found;
    }
    TWireMark FirstCommand(TWireMark after, int b) const
    {
        const QList<TWireMark> all = Commands(after, b);
        return all.isEmpty() ? TWireMark{} : all.first();
    }
    // How long after the state showed the stop byte arrived, in ms.
    double StopDelay(TWireMark shown) const
    {
        const TWireMark stop = FirstCommand(shown, 0xF1);
        return shown.Found() && stop.Found() ? stop.Ms - shown.Ms : 1e9;
    }
};

} // namespace runtest
