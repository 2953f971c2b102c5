#include "SimControl.h"

#include <QStringList>
#include <cmath>

namespace kvdsim {

namespace {

struct TArgs {
    QStringList words;
    int side = -1;   // side named by a trailing a/b/comp/flex word, -1 = none
};

TArgs Split(const QString &line)
{
    TArgs a;
    a.words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (a.words.size() > 1) {
        const QString last = a.words.last().toLower();
        if (last == QLatin1String("a") || last == QLatin1String("comp") || last == QLatin1String("compression"))
            a.side = 0;
        else if (last == QLatin1String("b") || last == QLatin1String("flex") || last == QLatin1String("flexure"))
            a.side = 1;
        if (a.side >= 0)
            a.words.removeLast();
    }
    return a;
}

TControlReply Ok(const QString &text = QString())
{
    TControlReply r;
    r.text = text.isEmpty() ? QStringLiteral("ok") : text + QStringLiteral("\nok");
    return r;
}

TControlReply Error(const QString &why)
{
    TControlReply r;
    r.text = QStringLiteral("error: ") + why;
    return r;
}

// "on" / "off" / nothing (= on).
bool Switch(const QStringList &w, bool *value)
{
    if (w.size() < 2) {
        *value = true;
        return true;
    }
    const QString s = w[1].toLower();
    if (s == QLatin1String("on") || s == QLatin1String("1")) {
        *value = true;
        return true;
    }
    if (s == QLatin1String("off") || s == QLatin1String("0")) {
        *value = false;
        return true;
    }
    return false;
}

bool Number(const QString &s, double *v)
{
    bool ok = false;
    *v = s.toDouble(&ok);
    return ok && std::isfinite(*v);
}

bool Integer(const QString &s, int *v, int base = 10)
{
    bool ok = false;
    *v = s.toInt(&ok, base);
    return ok;
}

// One line about run n (1-based) of a frame.
QString RunLine(const TPressSide &side, int n)
{
    const TPressSide::TRunRecord &r = side.Runs()[n - 1];
    QString line = QStringLiteral("run %1: ").arg(n);
    line += r.broken ? QStringLiteral("broke at %1 N").arg(r.breakForce, 0, 'f', 1) : QStringLiteral("no break");
    if (r.stopped)
        line += r.framed ? QStringLiteral(", largest frame %1 N").arg(r.largestForce, 0, 'f', 1)
                         : QStringLiteral(", largest frame none");
    else if (n == side.Runs().size() && side.InRun())
        line += QStringLiteral(", running at %1 N").arg(side.MeasuredForce(), 0, 'f', 1);
    return line;
}

enum class TWaitFor { Load, Break, Stop };

// waitload / waitbreak / waitstop: the reply comes once run n of the side
// has reached the force (still loading, unbroken), broken, or been stopped;
// an error when that can no longer happen or box time passes the deadline.
TControlReply WaitForRun(TSimBox &box, int sideIndex, TWaitFor what, int n, double force, double seconds)
{
    const qint64 deadline = box.NowMs() + qint64(std::llround(seconds * 1000));
    TControlReply reply;
    reply.until = [=](TSimBox &b, QString *text) {
        const TPressSide &s = b.Side(sideIndex);
        const auto &runs = s.Runs();
        if (runs.size() >= n) {
            const TPressSide::TRunRecord &run = runs[n - 1];
            const bool over = run.broken || run.stopped || runs.size() > n;
            bool done = false;
            QString failure;
            switch (what) {
            case TWaitFor::Load:
                done = !over && s.MeasuredForce() >= force;
                if (over)
                    failure = QStringLiteral("run %1 ended before %2 N").arg(n).arg(force, 0, 'f', 0);
                break;
            case TWaitFor::Break:
                done = run.broken;
                if (!done && (run.stopped || runs.size() > n))
                    failure = QStringLiteral("run %1 ended without a break").arg(n);
                break;
            case TWaitFor::Stop:
                done = run.stopped;
                break;
            }
            if (done) {
                *text = RunLine(s, n) + QStringLiteral("\nok");
                return true;
            }
            if (!failure.isEmpty()) {
                *text = QStringLiteral("error: ") + failure;
                return true;
            }
        }
        if (b.NowMs() >= deadline) {
            *text = QStringLiteral("error: run %1 not there within %2 s").arg(n).arg(seconds);
            return true;
        }
        return false;
    };
    QString text;
    if (reply.until(box, &text)) {
        reply.until = nullptr;
        reply.text = text;
    }
    return reply;
}

} // namespace

QString ControlHelp()
{
    return QStringLiteral(
        "status                 print the box state\n"
        "strength N [N...]      strengths (newtons) of the next specimens; 'strength off' clears them\n"
        "preload [N]            a specimen already loaded with N newtons (default a tenth of the maximum)\n"
        "leak [on|off]          the return valve leaks: no force builds up\n"
        "overload [on|off]      the sensor reads 105 % of the maximum force until the next stop\n"
        "swap [on|off]          sensor cables swapped: the force appears on the other channel\n"
        "offset N               zero offset of the sensor, in codes (the zero command removes it)\n"
        "gain G                 the sensor reads G x the force, through the calibration table held now,\n"
        "                       frozen: later table downloads no longer change its codes; 'gain off' ends it\n"
        "noise SIGMA            code noise (standard deviation, codes)\n"
        "garbage [N]            send N random bytes now (default 8)\n"
        "stray [N]              put N stray bytes in front of the next status frame (default 3)\n"
        "raw HEX...             send these bytes now, e.g. 'raw AA 00 01'\n"
        "drop [N]               lose the next N bytes the box sends (default 1)\n"
        "silence S              send nothing for S seconds (reads are not answered either)\n"
        "unplug | plug          remove the serial link / bring it back\n"
        "reset                  the box restarts: streaming off, runs lost, parameters kept\n"
        "pattern A B AUX ST     send fixed codes in every frame; 'pattern off' ends it\n"
        "param ADDR [VALUE]     read or write a word of the parameter memory\n"
        "factory                reload the factory parameter set\n"
        "panel HEX              press a front-panel key: run the command byte HEX\n"
        "runs                   every run of the frame: its break force and the largest force framed\n"
        "waitload N F [S]       answer once run N loads at F newtons or more (S s of box time at most, default 60)\n"
        "waitbreak N [S]        answer once the specimen of run N broke\n"
        "waitstop N [S]         answer once run N was ended by a stop command\n"
        "quit                   end the simulator\n"
        "A trailing a|b (or comp|flex) picks the frame for strength, preload, leak, overload, offset, gain,\n"
        "runs and the waits;\n"
        "without it the active frame (the one last run) is meant.");
}

TControlReply ExecuteControl(TSimBox &box, const QString &line)
{
    TArgs a = Split(line);
    if (a.words.isEmpty())
        return Ok();
    const QString verb = a.words[0].toLower();
    const QStringList &w = a.words;
    if (a.side >= box.SideCount())
        return Error(QStringLiteral("this box has no flexure frame"));
    TPressSide &side = a.side >= 0 ? box.Side(a.side) : box.Active();

    if (verb == QLatin1String("help"))
        return Ok(ControlHelp());
    if (verb == QLatin1String("status"))
        return Ok(box.StatusText());
    if (verb == QLatin1String("quit") || verb == QLatin1String("exit")) {
        TControlReply r = Ok();
        r.quit = true;
        return r;
    }
    if (verb == QLatin1String("strength")) {
        if (w.size() < 2)
            return Error(QStringLiteral("strength needs a value in newtons"));
        if (w.size() == 2 && w[1].toLower() == QLatin1String("off")) {
            side.ClearStrengthQueue();
            return Ok();
        }
        QList<double> values;
        for (int i = 1; i < w.size(); ++i) {
            double v = 0;
            if (!Number(w[i], &v) || v <= 0)
                return Error(QStringLiteral("bad strength '%1'").arg(w[i]));
            values.append(v);
        }
        for (double v : values)
            side.QueueStrength(v);
        return Ok();
    }
    if (verb == QLatin1String("preload")) {
        double n = 0;
        if (w.size() > 1 && (!Number(w[1], &n) || n < 0))
            return Error(QStringLiteral("bad force '%1'").arg(w[1]));
        side.Preload(n);
        return Ok();
    }
    if (verb == QLatin1String("leak") || verb == QLatin1String("overload") || verb == QLatin1String("swap")) {
        bool on = true;
        if (!Switch(w, &on))
            return Error(QStringLiteral("use '%1 on' or '%1 off'").arg(verb));
        if (verb == QLatin1String("leak"))
            side.SetLeak(on);
        else if (verb == QLatin1String("overload"))
            side.SetOverload(on);
        else
            box.SetSwapped(on);
        return Ok();
    }
    if (verb == QLatin1String("offset")) {
        int n = 0;
        if (w.size() < 2 || !Integer(w[1], &n))
            return Error(QStringLiteral("offset needs a code"));
        side.SetDrift(n);
        return Ok();
    }
    if (verb == QLatin1String("gain")) {
        if (w.size() == 2 && w[1].toLower() == QLatin1String("off")) {
            side.ClearGain();
            return Ok();
        }
        double g = 0;
        if (w.size() != 2 || !Number(w[1], &g) || g < 0.1 || g > 10)
            return Error(QStringLiteral("gain needs a factor from 0.1 to 10, or 'off'"));
        side.SetGain(g);
        return Ok();
    }
    if (verb == QLatin1String("noise")) {
        double s = 0;
        if (w.size() < 2 || !Number(w[1], &s) || s < 0)
            return Error(QStringLiteral("noise needs a standard deviation"));
        box.SetNoise(s);
        return Ok();
    }
    if (verb == QLatin1String("garbage") || verb == QLatin1String("stray") || verb == QLatin1String("drop")) {
        int n = verb == QLatin1String("garbage") ? 8 : verb == QLatin1String("stray") ? 3 : 1;
        if (w.size() > 1 && (!Integer(w[1], &n) || n < 0 || n > 100000))
            return Error(QStringLiteral("bad count '%1'").arg(w[1]));
        if (verb == QLatin1String("garbage"))
            box.InjectGarbage(n);
        else if (verb == QLatin1String("stray"))
            box.StrayBeforeNextFrame(n);
        else
            box.DropOutput(n);
        return Ok();
    }
    if (verb == QLatin1String("raw")) {
        QByteArray bytes;
        for (int i = 1; i < w.size(); ++i) {
            int b = 0;
            if (!Integer(w[i], &b, 16) || b < 0 || b > 255)
                return Error(QStringLiteral("bad byte '%1'").arg(w[i]));
            bytes.append(char(b));
        }
        box.InjectBytes(bytes);
        return Ok();
    }
    if (verb == QLatin1String("silence")) {
        double s = 0;
        if (w.size() < 2 || !Number(w[1], &s) || s < 0)
            return Error(QStringLiteral("silence needs seconds"));
        box.Silence(int(std::lround(s * 1000)));
        return Ok();
    }
    if (verb == QLatin1String("reset")) {
        box.Reset();
        return Ok();
    }
    if (verb == QLatin1String("unplug") || verb == QLatin1String("plug")) {
        box.SetPlugged(verb == QLatin1String("plug"));
        return Ok();
    }
    if (verb == QLatin1String("pattern")) {
        if (w.size() == 2 && w[1].toLower() == QLatin1String("off")) {
            box.SetPattern(false);
            return Ok();
        }
        int v[4] = {};
        if (w.size() != 5)
            return Error(QStringLiteral("pattern needs A B AUX STATUS or 'off'"));
        for (int i = 0; i < 4; ++i)
            if (!Integer(w[i + 1], &v[i]))
                return Error(QStringLiteral("bad number '%1'").arg(w[i + 1]));
        box.SetPattern(true, v[0], v[1], v[2], v[3]);
        return Ok();
    }
    if (verb == QLatin1String("param")) {
        int addr = 0;
        if (w.size() < 2 || !Integer(w[1], &addr) || addr < 0 || addr > 999)
            return Error(QStringLiteral("param needs an address 0..999"));
        if (w.size() > 2) {
            int value = 0;
            if (!Integer(w[2], &value) || value < 0 || value > 99999)
                return Error(QStringLiteral("value must be 0..99999"));
            box.SetWord(addr, value);
        }
        return Ok(QStringLiteral("%1 = %2").arg(addr).arg(box.Word(addr)));
    }
    if (verb == QLatin1String("factory")) {
        box.LoadFactory();
        return Ok();
    }
    if (verb == QLatin1String("runs")) {
        QStringList lines;
        for (int n = 1; n <= side.Runs().size(); ++n)
            lines << RunLine(side, n);
        return Ok(lines.isEmpty() ? QStringLiteral("no runs") : lines.join(QLatin1Char('\n')));
    }
    if (verb == QLatin1String("waitload") || verb == QLatin1String("waitbreak") || verb == QLatin1String("waitstop")) {
        const TWaitFor what = verb == QLatin1String("waitload")    ? TWaitFor::Load
                              : verb == QLatin1String("waitbreak") ? TWaitFor::Break
                                                                   : TWaitFor::Stop;
        int n = 0;
        if (w.size() < 2 || !Integer(w[1], &n) || n < 1)
            return Error(QStringLiteral("%1 needs a run number from 1").arg(verb));
        int next = 2;
        double force = 0;
        if (what == TWaitFor::Load) {
            if (w.size() < 3 || !Number(w[2], &force) || force < 0)
                return Error(QStringLiteral("waitload needs a force in newtons"));
            next = 3;
        }
        double seconds = 60;
        if (w.size() > next && (!Number(w[next], &seconds) || seconds <= 0))
            return Error(QStringLiteral("bad timeout '%1'").arg(w[next]));
        return WaitForRun(box, a.side >= 0 ? a.side : box.ActiveSide(), what, n, force, seconds);
    }
    if (verb == QLatin1String("panel")) {
        int b = 0;
        if (w.size() < 2 || !Integer(w[1], &b, 16) || b < 0 || b > 255)
            return Error(QStringLiteral("panel needs a command byte in hex"));
        box.PanelCommand(b);
        return Ok();
    }
    return Error(QStringLiteral("unknown command '%1' (try help)").arg(verb));
}

} // namespace kvdsim
