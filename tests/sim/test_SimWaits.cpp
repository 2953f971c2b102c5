// The control channel's waits and run records, stepped in box time: a test
// that kills the program at a chosen moment of a run asks the box for it.
#include "SimBox.h"
#include "SimControl.h"
#include "WireDecode.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using namespace kvdsim;
using namespace simtest;

namespace {

// Advances the box in 10 ms steps until the wait answers or ms passed; the
// answer, or "" when none came.
QString Poll(TSimBox &box, TControlReply &r, int ms)
{
    for (int t = 0; t < ms; t += 10) {
        QString text;
        if (r.until(box, &text))
            return text;
        box.Advance(10);
        box.TakeOutput();
    }
    return {};
}

double Number(const QString &text, const char *pattern)
{
    const QRegularExpressionMatch m = QRegularExpression(QLatin1String(pattern)).match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

} // namespace

TEST(SimWaits, LoadBreakAndStopOfANumberedRunAnswerWhenTheyHappen)
{
    TBoxOptions o;
    o.model = TModel::KVD510;
    TSimBox box(o);
    ExecuteControl(box, QStringLiteral("strength 20000 26000"));
    box.Receive(Byte(0xF6));

    // Asked before the run exists: the answers wait.
    TControlReply load = ExecuteControl(box, QStringLiteral("waitload 2 12000"));
    TControlReply broke = ExecuteControl(box, QStringLiteral("waitbreak 2"));
    TControlReply stop = ExecuteControl(box, QStringLiteral("waitstop 2"));
    ASSERT_TRUE(load.until && broke.until && stop.until);
    EXPECT_TRUE(load.text.isEmpty());

    // Run 1 breaks and is stopped; none of the waits for run 2 answers.
    box.Receive(Byte(0xF0));
    TControlReply first = ExecuteControl(box, QStringLiteral("waitbreak 1"));
    ASSERT_TRUE(first.until);
    EXPECT_TRUE(Poll(box, first, 30000).startsWith(QStringLiteral("run 1: broke at")));
    box.Receive(Byte(0xF1));
    QString text;
    EXPECT_FALSE(load.until(box, &text) || broke.until(box, &text) || stop.until(box, &text));

    // Run 2: the force first, still loading and unbroken; then the break; the
    // stop reports the largest force framed, at most a little above the break.
    box.Advance(5000);
    box.Receive(Byte(0xF0));
    const QString loaded = Poll(box, load, 30000);
    EXPECT_TRUE(loaded.endsWith(QStringLiteral("\nok"))) << loaded.toStdString();
    EXPECT_GE(Number(loaded, "running at (\\d+\\.\\d) N"), 12000);
    EXPECT_TRUE(box.Side(0).Force() < 26000 && !box.Side(0).SpecimenBroken());
    const QString broken = Poll(box, broke, 30000);
    EXPECT_NEAR(Number(broken, "broke at (\\d+\\.\\d) N"), 26000, 300) << broken.toStdString();
    EXPECT_TRUE(Poll(box, stop, 2000).isEmpty()) << "no stop yet";
    box.Receive(Byte(0xF1));
    const QString stopped = Poll(box, stop, 100);
    const double largest = Number(stopped, "largest frame (\\d+\\.\\d) N");
    EXPECT_NEAR(largest, Number(broken, "broke at (\\d+\\.\\d) N"), 300) << stopped.toStdString();

    // The listing holds both runs; a wait for a past event answers at once.
    const TControlReply runs = ExecuteControl(box, QStringLiteral("runs"));
    EXPECT_EQ(runs.text.count(QStringLiteral("largest frame")), 2) << runs.text.toStdString();
    const TControlReply again = ExecuteControl(box, QStringLiteral("waitstop 2"));
    EXPECT_FALSE(again.until);
    EXPECT_EQ(again.text, stopped);
}

TEST(SimWaits, AWaitThatCanNoLongerComeTrueOrTimesOutIsAnError)
{
    TBoxOptions o;
    o.model = TModel::KVD300;
    TSimBox box(o);
    ExecuteControl(box, QStringLiteral("strength 50000"));
    box.Receive(Byte(0xF6));
    box.Receive(Byte(0xF0));
    TControlReply load = ExecuteControl(box, QStringLiteral("waitload 1 60000"));
    TControlReply late = ExecuteControl(box, QStringLiteral("waitbreak 3 2"));
    EXPECT_EQ(Poll(box, late, 5000), QStringLiteral("error: run 3 not there within 2 s"));
    EXPECT_EQ(Poll(box, load, 60000), QStringLiteral("error: run 1 ended before 60000 N")) << "it broke below";
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("waitload 1")).text.startsWith(QStringLiteral("error:")));
    EXPECT_TRUE(ExecuteControl(box, QStringLiteral("waitstop 0")).text.startsWith(QStringLiteral("error:")));
}
