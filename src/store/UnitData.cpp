#include "UnitData.h"

#include "PasswordCode.h"
#include "SqlText.h"

#include <QCoreApplication>

namespace kv {

namespace {

TZovData *g_zovData = nullptr;

// Narrowing to a signed width without implementation-defined conversions:
// keep the low bits, then read them as two's complement.
qint16 LowWord(qint64 value)
{
    const quint16 u = static_cast<quint16>(static_cast<quint64>(value));
    return u <= 0x7FFFu ? qint16(u) : qint16(int(u) - 0x10000);
}

qint32 LowDWord(qint64 value)
{
    const quint32 u = static_cast<quint32>(static_cast<quint64>(value));
    return u <= 0x7FFFFFFFu ? qint32(u) : -qint32(~u) - 1;
}

// Settings block numbers.
constexpr int NumModeFirst = 100;   // 100..105: six mode bytes
constexpr int NumValue1000 = 1000;
constexpr int NumAutoFastSlow = 1001;
constexpr int NumByte1002 = 1002;
constexpr int NumFastSpeed = 1100, NumSlowSpeed = 1101;
constexpr int NumFastSpeed520 = 20001, NumSlowSpeed520 = 20002;
constexpr int NumStopValue = 1102, NumStopForce = 1103, NumStopTime = 1104,
              NumStopFlag = 1105, NumStopValue2 = 1106;

} // namespace

QString TZovData::DefaultDatabaseFile()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/')
        + QLatin1String(DatabaseFileName);
}

TZovData::TZovData(const QString &databaseFile) : qryZov(conZovDb)
{
    // The database file is not encrypted (SQLite has no database password);
    // it is protected by the file permissions of the program folder.
    conZovDb.open(databaseFile);
    sd_Zov.setQuery(&qryZov);
    // A file that opens but holds no settings table is not our database:
    // refuse it here, so start-up ends instead of running on empty tables.
    if (!FunTestBdeRealGood()) {
        conZovDb.close();
        throw db::EDatabaseError(QStringLiteral("not a measurement database: ") + databaseFile);
    }
    qryZov.close();
}

TZovData::~TZovData()
{
    if (g_zovData == this)
        g_zovData = nullptr;
    sd_Zov.setQuery(nullptr);
    qryZov.close();
    conZovDb.close();
}

// ---------------------------------------------------------------------------
// Statements

bool TZovData::ExecSql(const QString &sql)
{
    try {
        qryZov.close();
        qryZov.clearSql();
        qryZov.addSql(sql);
        // Only a text that starts with "select" (or one blank and "select")
        // is opened as a result set; anything else runs as a command.
        const bool returnsRows = sql.left(6).toUpper() == QLatin1String("SELECT")
            || sql.left(7).toUpper() == QLatin1String(" SELECT");
        if (returnsRows)
            qryZov.open();
        else
            qryZov.execSql();
        return true;
    } catch (...) {
        // Callers decide whether a failure is worth a message.
        return false;
    }
}

bool TZovData::FunTestBdeRealGood()
{
    return ExecSql(QStringLiteral("select count(*) from savnum"));
}

// ---------------------------------------------------------------------------
// Settings store

bool TZovData::NumExists(int numNo)
{
    if (!ExecSql(QStringLiteral("select * from SavNum where NumNo = ") + SqlNum(qint64(numNo))))
        return false;
    return qryZov.recordCount() == 1;
}

bool TZovData::StrExists(int strNo)
{
    if (!ExecSql(QStringLiteral("select * from SavString where StrNo = ") + SqlNum(qint64(strNo))))
        return false;
    return qryZov.recordCount() == 1;
}

bool TZovData::ReadNumInteger(int numNo, qint64 &value)
{
    if (!NumExists(numNo))
        return false;
    try {
        value = qryZov.fieldByName(QStringLiteral("NumCont")).asInteger();
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::ReadNumByte(int numNo, quint8 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = static_cast<quint8>(static_cast<quint64>(v));
    return true;
}

bool TZovData::ReadNumSmallInt(int numNo, qint16 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = LowWord(v);
    return true;
}

bool TZovData::ReadNumCardinal(int numNo, quint32 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = static_cast<quint32>(static_cast<quint64>(v));
    return true;
}

bool TZovData::ReadNumInt(int numNo, qint32 &value)
{
    qint64 v = 0;
    if (!ReadNumInteger(numNo, v))
        return false;
    value = LowDWord(v);
    return true;
}

bool TZovData::ReadNumSingle(int numNo, float &value)
{
    if (!NumExists(numNo))
        return false;
    try {
        value = static_cast<float>(qryZov.fieldByName(QStringLiteral("NumCont")).asFloat());
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::ReadStr(int strNo, QString &value)
{
    if (!StrExists(strNo))
        return false;
    try {
        value = qryZov.fieldByName(QStringLiteral("StrCont")).asString();
        return true;
    } catch (...) {
        return false;
    }
}

bool TZovData::WriteNumText(int numNo, const QString &valueText)
{
    const QString no = SqlNum(qint64(numNo));
    if (NumExists(numNo))
        return ExecSql(QStringLiteral("Update SavNum set NumCont = ") + valueText
                       + QStringLiteral(" where NumNo = ") + no);
    // Missing, or stored more than once: a new row (the duplicates stay and
    // the number keeps reading as missing until someone cleans them up).
    return ExecSql(QStringLiteral("Insert into SavNum values(") + no + QLatin1Char(',')
                   + valueText + QLatin1Char(')'));
}

bool TZovData::WriteNumByte(int numNo, quint8 value)
{
    return WriteNumText(numNo, SqlNum(qint64(value)));
}

bool TZovData::WriteNumInt(int numNo, qint32 value)
{
    return WriteNumText(numNo, SqlNum(qint64(value)));
}

bool TZovData::WriteNumSingle(int numNo, float value)
{
    // Shortest text that reads back as the same single, always with '.'.
    return WriteNumText(numNo, SqlSingle(value));
}

bool TZovData::WriteStr(int strNo, const QString &value)
{
    const QString no = SqlNum(qint64(strNo));
    if (StrExists(strNo))
        return ExecSql(QStringLiteral("Update SavString set StrCont = ") + QuotedStr(value)
                       + QStringLiteral(" where StrNo = ") + no);
    return ExecSql(QStringLiteral("Insert into SavString values(") + no + QLatin1Char(',')
                   + QuotedStr(value) + QLatin1Char(')'));
}

// ---------------------------------------------------------------------------
// Global settings block

quint8 TZovData::LoadGlobalParams(TGlobalSettings &s, bool kvd520Family)
{
    int missing = 0;
    auto byteRow = [&](int no, quint8 &dst, quint8 def) {
        if (!ReadNumByte(no, dst)) {
            dst = def;
            ++missing;
        }
    };
    auto wordRow = [&](int no, qint16 &dst, qint16 def) {
        if (!ReadNumSmallInt(no, dst)) {
            dst = def;
            ++missing;
        }
    };
    auto singleRow = [&](int no, float &dst, float def) {
        if (!ReadNumSingle(no, dst)) {
            dst = def;
            ++missing;
        }
    };

    // 1. Mode bytes 100..105.
    static constexpr quint8 modeDefaults[6] = {1, 0, 0, 1, 1, 2};
    for (int i = 0; i < 6; ++i)
        byteRow(NumModeFirst + i, s.ModeBytes[i], modeDefaults[i]);
    s.ModeBytes[0] = 1; // always automatic control after start
    if (s.ModeBytes[3] == 0)
        s.ModeBytes[3] = 5;
    if (s.ModeBytes[4] == 0)
        s.ModeBytes[4] = 2;
    if (s.ModeBytes[5] == 0)
        s.ModeBytes[5] = 2;

    // 2. 1000 (32 bits), 1001, 1002.
    if (!ReadNumCardinal(NumValue1000, s.Value1000)) {
        s.Value1000 = 1;
        ++missing;
    }
    byteRow(NumAutoFastSlow, s.AutoFastSlow, 0);
    byteRow(NumByte1002, s.Byte1002, 1);

    // 3. Verification speeds of the current side.
    singleRow(kvd520Family ? NumFastSpeed520 : NumFastSpeed, s.FastSpeed, 2.4f);
    singleRow(kvd520Family ? NumSlowSpeed520 : NumSlowSpeed, s.SlowSpeed, 0.3f);

    // 4. Constant-load programme.
    singleRow(NumStopValue, s.StopValue, 3.0f);
    singleRow(NumStopForce, s.StopForce, 100.0f);
    wordRow(NumStopTime, s.StopTime, 60);
    byteRow(NumStopFlag, s.StopFlag, 0);
    wordRow(NumStopValue2, s.StopValue2, 60);

    return quint8(100 + missing);
}

bool TZovData::SaveModeBytes(const TGlobalSettings &s)
{
    for (int i = 0; i < 6; ++i)
        if (!WriteNumByte(NumModeFirst + i, s.ModeBytes[i]))
            return false;
    return true;
}

bool TZovData::SaveLoadSettings(const TGlobalSettings &s)
{
    return WriteNumByte(NumAutoFastSlow, s.AutoFastSlow) && WriteNumByte(NumByte1002, s.Byte1002);
}

bool TZovData::SaveGlobalParams(const TGlobalSettings &s)
{
    bool ok = SaveModeBytes(s);
    ok = SaveLoadSettings(s) && ok;
    // SavNum 1000 goes back under its own number, so the block read at start
    // is the block written at exit (a missing row is created like the others).
    ok = WriteNumText(NumValue1000, SqlNum(qint64(s.Value1000))) && ok;
    return ok;
}

// ---------------------------------------------------------------------------
// Users

qint32 TZovData::GetUserSecret(const QString &name)
{
    if (!ExecSql(QStringLiteral("select * from tester where name = ") + QuotedStr(name)))
        return 0;
    if (qryZov.recordCount() != 1)
        return 0;
    try {
        return LowDWord(qryZov.fieldByName(QStringLiteral("secret")).asInteger());
    } catch (...) {
        return 0;
    }
}

bool TZovData::AddUserIfMissing(const QString &name, const QString &password)
{
    if (name.isEmpty() || name.size() > MaxUserNameLength)
        return false;
    if (!ExecSql(QStringLiteral("select * from tester where name = ") + QuotedStr(name)))
        return false; // cannot tell whether the user exists: create nothing
    if (qryZov.recordCount() != 0)
        return false;
    if (!ExecSql(QStringLiteral("select * from tester order by userno")))
        return false;
    qint64 lastNo = 0;
    try {
        if (qryZov.recordCount() > 0) {
            qryZov.last();
            lastNo = qryZov.fieldByName(QStringLiteral("Userno")).asInteger();
        }
    } catch (...) {
        return false;
    }
    return ExecSql(QStringLiteral("Insert into tester (userno,name,secret) Values(")
                   + SqlNum(lastNo + 1) + QLatin1Char(',') + QuotedStr(name) + QLatin1Char(',')
                   + SqlNum(qint64(PasswordCode(password))) + QLatin1Char(')'));
}

// ---------------------------------------------------------------------------

TZovData *ZovData() { return g_zovData; }

void SetZovData(TZovData *data) { g_zovData = data; }

} // namespace kv
