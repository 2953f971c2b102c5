// The group's curve file: appending keeps the earlier curves, and no file,
// however damaged, makes the reader crash or read outside it; the mean
// loading rate of a stored curve.
#include "CurveFile.h"
#include "LoadingRate.h"
#include "BaseTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using kv::ReadCurveFile;
using kv::TCurvePoints;
using kv::WriteCurveFile;

namespace {

TCurvePoints Curve(int n, float base)
{
    TCurvePoints c;
    for (int i = 0; i < n; ++i)
        c.push_back({0.1f * float(i + 1), base + float(i)});
    return c;
}

bool Same(const TCurvePoints &a, const TCurvePoints &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].X != b[i].X || a[i].Force != b[i].Force)
            return false;
    return true;
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Store(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

qint32 At(const QByteArray &b, int offset) { return qFromLittleEndian<qint32>(b.constData() + offset); }
void Put(QByteArray &b, int offset, qint32 v) { qToLittleEndian<qint32>(v, b.data() + offset); }

} // namespace

TEST(CurveFile, AppendingKeepsEarlierCurvesAndTheLayout)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("OutFile/CemDuo200828"));
    const TCurvePoints c1 = Curve(3, 100), c2 = Curve(0, 0), c3 = Curve(2, 5000);
    ASSERT_TRUE(WriteCurveFile(path, 1, c1)); // creates the folder too
    ASSERT_TRUE(WriteCurveFile(path, 2, c2));
    ASSERT_TRUE(WriteCurveFile(path, 3, c3));

    const QByteArray b = Bytes(path);
    EXPECT_EQ(b.left(16), QByteArray("Head_Head_Head\0\0", 16));
    EXPECT_EQ(At(b, 16), 3);                                  // written last
    EXPECT_EQ(At(b, 20), 524);                                // specimen 1 starts after the header
    EXPECT_EQ(At(b, 272), 524 + 4 + 3 * 8);                   // and ends after its points
    EXPECT_EQ(At(b, 24), At(b, 272));                         // specimen 2 follows
    EXPECT_EQ(b.size(), At(b, 272 + 8));                      // specimen 3 ends the file

    // Reading specimen 1 after specimen 3 was written gives specimen 1.
    EXPECT_TRUE(Same(ReadCurveFile(path, 0), c1));
    EXPECT_TRUE(Same(ReadCurveFile(path, 1), c2));
    EXPECT_TRUE(Same(ReadCurveFile(path, 2), c3));
    EXPECT_TRUE(ReadCurveFile(path, 3).empty());

    // A resumed group writing specimen 2 again replaces 2 and drops 3.
    const TCurvePoints c2b = Curve(4, 900);
    ASSERT_TRUE(WriteCurveFile(path, 2, c2b));
    EXPECT_TRUE(Same(ReadCurveFile(path, 0), c1));
    EXPECT_TRUE(Same(ReadCurveFile(path, 1), c2b));
    EXPECT_TRUE(ReadCurveFile(path, 2).empty());
    EXPECT_EQ(At(Bytes(path), 16), 2);

    // Specimen 1 starts the file anew; 63 curves at most.
    ASSERT_TRUE(WriteCurveFile(path, 1, c3));
    EXPECT_TRUE(Same(ReadCurveFile(path, 0), c3));
    EXPECT_TRUE(ReadCurveFile(path, 1).empty());
    EXPECT_TRUE(WriteCurveFile(path, 63, c1));
    EXPECT_TRUE(Same(ReadCurveFile(path, 62), c1));
    const QByteArray before = Bytes(path);
    EXPECT_FALSE(WriteCurveFile(path, 64, c1));
    EXPECT_FALSE(WriteCurveFile(path, 0, c1));
    EXPECT_EQ(Bytes(path), before);

    // A later specimen without a file starts one with its own curve.
    const QString fresh = dir.filePath(QStringLiteral("none"));
    ASSERT_TRUE(WriteCurveFile(fresh, 4, c1));
    EXPECT_TRUE(Same(ReadCurveFile(fresh, 3), c1));
}

TEST(CurveFile, DamagedFilesGiveEmptyCurves)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good"));
    const TCurvePoints c1 = Curve(3, 100), c2 = Curve(5, 200);
    ASSERT_TRUE(WriteCurveFile(good, 1, c1));
    ASSERT_TRUE(WriteCurveFile(good, 2, c2));
    const QByteArray intact = Bytes(good);
    const QString bad = dir.filePath(QStringLiteral("bad"));

    EXPECT_TRUE(ReadCurveFile(dir.filePath(QStringLiteral("missing")), 0).empty());
    EXPECT_TRUE(ReadCurveFile(good, -1).empty());
    EXPECT_TRUE(ReadCurveFile(good, 63).empty());

    struct TCase {
        const char *what;
        std::function<void(QByteArray &)> damage;
        bool firstSurvives;
    };
    const TCase cases[] = {
        {"empty", [](QByteArray &b) { b.clear(); }, false},
        {"header cut", [](QByteArray &b) { b.truncate(300); }, false},
        {"not a curve file", [](QByteArray &b) { b[0] = 'X'; }, false},
        {"second curve cut", [](QByteArray &b) { b.chop(8); }, true},
        {"start inside the header", [](QByteArray &b) { Put(b, 24, 100); }, true},
        {"start negative", [](QByteArray &b) { Put(b, 24, -8); }, true},
        {"end beyond the file", [](QByteArray &b) { Put(b, 276, 1 << 30); }, true},
        {"end before start", [](QByteArray &b) { Put(b, 276, At(b, 24) - 4); }, true},
        {"count negative", [](QByteArray &b) { Put(b, At(b, 24), -1); }, true},
        {"count beyond the curve", [](QByteArray &b) { Put(b, At(b, 24), 6); }, true},
        {"count huge", [](QByteArray &b) { Put(b, At(b, 24), 0x7fffffff); }, true},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray b = intact;
        c.damage(b);
        Store(bad, b);
        EXPECT_TRUE(ReadCurveFile(bad, 1).empty());
        EXPECT_EQ(Same(ReadCurveFile(bad, 0), c1), c.firstSurvives);
        // Appending to a damaged file leaves a readable one behind.
        ASSERT_TRUE(WriteCurveFile(bad, 3, c2));
        EXPECT_TRUE(Same(ReadCurveFile(bad, 2), c2));
        EXPECT_EQ(Same(ReadCurveFile(bad, 0), c1), c.firstSurvives);
    }

    // A module reads through ReadCurve and FCurveFile.
    kv::TBaseTest test;
    TCurvePoints points = Curve(1, 1);
    test.ReadCurve(0, points);
    EXPECT_TRUE(points.empty());
    test.FCurveFile = good;
    test.ReadCurve(1, points);
    EXPECT_TRUE(Same(points, c2));
}

TEST(LoadingRate, MeanRateUpToNinetyPercentOfThePeak)
{
    // 950 N/s from 500 N to 10 kN; the hold after the break does not count.
    TCurvePoints c;
    for (int t = 0; t <= 10; ++t)
        c.push_back({float(t), 500.0f + 950.0f * float(t)});
    c.push_back({15.0f, 10000.0f});
    const kv::TLoadingRate r = kv::MeanLoadingRate(c);
    EXPECT_TRUE(r.Known);
    EXPECT_NEAR(r.Rate, 950.0, 1e-3);
    EXPECT_FALSE(kv::MeanLoadingRate({{1.0f, 500.0f}}).Known);
}
