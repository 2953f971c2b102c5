#pragma once
// A fresh copy of the installed database with a connection, and helpers to
// run a group on a test object as the program does.
#include "CurveFile.h"
#include "FrameworkTest.h"
#include "ParamForm.h"
#include "TestSupport.h"
#include "db/DbEngine.h"
#include "MessageService.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace modtest {

// Every message of the module tests is recorded, none blocks: the service is
// installed on first use and stays for the whole test program.
inline kv::TRecordingMessageService &Messages()
{
    static kv::TRecordingMessageService service;
    kv::TMessageService::install(&service);
    return service;
}

struct TDb {
    kvtest::TFreshDb Fresh = kvtest::FreshDatabase();
    kv::db::TDbConnection Conn;
    TDb() { Conn.open(Fresh.path); }
    // First column of the first row, as text ("" when none).
    QString Value(const QString &sql)
    {
        kv::db::TDbQuery q(Conn);
        q.setSql(sql);
        q.open();
        return q.recordCount() ? q.valueAt(0, 0).toString() : QString();
    }
    int Count(const QString &sql) { return Value(QStringLiteral("select count(*) from ") + sql).toInt(); }
};

// Makes a test ready as the program's loader does, with its form.
inline void Load(kv::fw::TFrameworkTest &t, kv::db::TDbConnection &conn, const QString &programFolder = QString())
{
    t.TestName();
    t.SetConnection(&conn);
    ASSERT_TRUE(t.InitTables());
    t.TestName();
    if (!programFolder.isEmpty())
        t.FProgramFolder = programFolder;
    t.FGroupData.FOperator = QStringLiteral("Admin");
    t.FGroupData.FTestDate = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    t.CreateParamForm(nullptr);
}

// One specimen as the run sequence does it: BeginSpecimen, the peak force
// (rounded to one decimal), the strength, EndSpecimen(true).
inline QString RunSpecimen(kv::fw::TFrameworkTest &t, double forceN)
{
    QString msg;
    t.BeginSpecimen(msg);
    if (!msg.isEmpty())
        return msg;
    kv::TSpecial *s = t.GetSpecial(t.FCurrent - 1);
    s->FForce = std::round(forceN * 10.0) / 10.0;
    s->FStrength = forceN / s->FArea;
    t.EndSpecimen(true);
    return {};
}

// A curve rising at rateNs N/s from 0 to peakN, then the break.
inline kv::TCurvePoints Ramp(double rateNs, double peakN)
{
    kv::TCurvePoints c;
    for (int i = 0; i <= 20; ++i)
        c.push_back({float(peakN / rateNs * i / 20.0), float(peakN * i / 20.0)});
    c.push_back({c.back().X + 0.1f, float(peakN * 0.3)});
    return c;
}

// Stores specimen k's curve of the group under test in programFolder/OutFile.
inline void WriteCurve(kv::fw::TFrameworkTest &t, const QString &programFolder, int k, const kv::TCurvePoints &c)
{
    QDir(programFolder).mkpath(QStringLiteral("OutFile"));
    ASSERT_TRUE(kv::WriteCurveFile(QDir(programFolder).filePath(QStringLiteral("OutFile/") + t.CurveFileName()), k, c));
}

} // namespace modtest
