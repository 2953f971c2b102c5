#include "store/SettingsBackup.h"

#include "store/DataModule.h"
#include "SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <limits>

namespace kv {

namespace {

const char *const kHeaders[] = {"[SavNum]", "[SavString]", "[Standard]", "[Tester]", "[End]"};
// Lines of one entry in each section, in section order.
const int kWidths[] = {2, 2, 2, 3};
// An encoded value line starts with this mark; the rest is the value's
// UTF-8 bytes in percent encoding.
const QLatin1String kEncodedMark("[%]");
const char *const kCrLf = "\r\n";

bool IsHeader(const QString &line, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    for (const char *h : kHeaders)
        if (line.compare(QLatin1String(h), cs) == 0)
            return true;
    return false;
}

// A number of a row as written to the file: whole numbers without a point,
// fractions in their shortest form with '.'. A null number is written as 0,
// which is how the program reads it.
QString NumberText(const db::TDbField &f)
{
    const QVariant v = f.value();
    if (v.isNull())
        return QStringLiteral("0");
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
        return QString::number(v.toLongLong());
    const double d = f.asFloat(); // throws for a text that is no number
    if (!std::isfinite(d))
        throw db::EDatabaseError(QStringLiteral("not a finite number"));
    if (d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return SqlNum(d);
}

bool ParseInteger(const QString &line, qint64 &value)
{
    if (line.isEmpty() || line.size() > 19 || line != line.trimmed())
        return false;
    bool ok = false;
    value = line.toLongLong(&ok);
    return ok;
}

bool ParseNumber(const QString &line, double &value)
{
    if (line.isEmpty() || line != line.trimmed())
        return false;
    bool ok = false;
    value = line.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool FloatForm(const QString &line)
{
    return line.contains(QLatin1Char('.')) || line.contains(QLatin1Char('e'), Qt::CaseInsensitive);
}

QString Shown(const QString &line) { return line.size() > 40 ? line.left(40) + QStringLiteral("…") : line; }

} // namespace

QString TSettingsBackup::DefaultFile(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("BackUp/") + QLatin1String(FileName));
}

QString TSettingsBackup::PreviousCopy(const QString &file) { return file + QLatin1Char('1'); }

QString TSettingsBackup::BackupQuestion() { return tr("真的要对现在的参数进行备份吗？（这样会覆盖原有的数据备份）"); }

QString TSettingsBackup::BackupPlaceQuestion()
{
    return tr("将备份数据保存在计算机中吗？（选“否”可另选保存位置，例如U盘）");
}

QString TSettingsBackup::RestoreQuestion() { return tr("真的要恢复备份数据吗？（这样会覆盖原有的数据备份）"); }

QString TSettingsBackup::RestorePlaceQuestion()
{
    return tr("选用计算机中的还是其他位置（例如U盘）中的备份数据。计算机中的数据吗？");
}

QString TSettingsBackup::NoDefaultFileText()
{
    return tr("计算机中无法找到备份文件，请选择其他位置（例如U盘）中的备份文件进行数据恢复。");
}

QString TSettingsBackup::NoChosenFileText()
{
    return tr("请将带有备份数据的U盘插入计算机然后再进行数据恢复。");
}

// ---------------------------------------------------------------------------
// Value lines

QString TSettingsBackup::EncodeValue(const QString &value)
{
    const bool plain = !value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n'))
        && !IsHeader(value.trimmed(), Qt::CaseInsensitive) && !value.startsWith(kEncodedMark);
    if (plain)
        return value;
    return kEncodedMark + QString::fromLatin1(value.toUtf8().toPercentEncoding());
}

bool TSettingsBackup::DecodeValue(const QString &line, QString &value)
{
    if (!line.startsWith(kEncodedMark)) {
        value = line;
        return true;
    }
    const QString rest = line.mid(kEncodedMark.size());
    for (int i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c.unicode() < 0x21 || c.unicode() > 0x7E)
            return false;
        if (c == QLatin1Char('%')
            && (i + 2 >= rest.size() || !isxdigit(rest[i + 1].toLatin1()) || !isxdigit(rest[i + 2].toLatin1())))
            return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    value = utf8(QByteArray::fromPercentEncoding(rest.toLatin1()));
    return !utf8.hasError();
}

// ---------------------------------------------------------------------------
// Backup

bool TSettingsBackup::Compose(QByteArray &text)
{
    QStringList lines;
    auto section = [&](int s, const char *select, const std::function<void(const db::TDbQuery &)> &row) {
        lines << QLatin1String(kHeaders[s]);
        const auto q = FData.Open(QLatin1String(select));
        if (!q)
            return false;
        try {
            for (q->first(); !q->eof(); q->next())
                row(*q);
        } catch (const db::EDatabaseError &) {
            return false;
        }
        return true;
    };
    auto field = [](const db::TDbQuery &q, const char *name) { return q.fieldByName(QLatin1String(name)); };
    const bool ok =
        section(0, "select * from SavNum", [&](const db::TDbQuery &q) {
            lines << NumberText(field(q, "NumNo")) << NumberText(field(q, "NumCont"));
        })
        && section(1, "select * from SavString", [&](const db::TDbQuery &q) {
            lines << NumberText(field(q, "StrNo")) << EncodeValue(field(q, "StrCont").asString());
        })
        && section(2, "select * from Standard", [&](const db::TDbQuery &q) {
            lines << NumberText(field(q, "num")) << NumberText(field(q, "val"));
        })
        && section(3, "select * from Tester", [&](const db::TDbQuery &q) {
            lines << NumberText(field(q, "UserNo")) << EncodeValue(field(q, "name").asString())
                  << NumberText(field(q, "secret"));
        });
    if (!ok)
        return false;
    lines << QLatin1String(kHeaders[4]);
    text = lines.join(QLatin1String(kCrLf)).toUtf8() + kCrLf;
    return true;
}

TBackupResult TSettingsBackup::BackupToFile(const QString &file)
{
    TBackupResult r;
    r.Icon = TMsgIcon::Error;
    QByteArray text;
    if (!Compose(text)) {
        r.Message = tr("读取数据库出错，数据备份没有完成。");
        return r;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString copy = PreviousCopy(file);
    if (QFile::exists(file)) {
        QFile::remove(copy);
        if (!QFile::rename(file, copy)) {
            r.Message = tr("原有的备份文件无法改名为 %1，数据备份没有完成。").arg(QDir::toNativeSeparators(copy));
            return r;
        }
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        // The previous backup stays under the file's own name.
        if (!QFile::exists(file) && QFile::exists(copy))
            QFile::rename(copy, file);
        r.Message = tr("备份文件无法写入：%1").arg(QDir::toNativeSeparators(file));
        return r;
    }
    r.Ok = true;
    r.Icon = TMsgIcon::Information;
    r.Message = tr("数据备份完成，请确认！");
    return r;
}

// ---------------------------------------------------------------------------
// Restore

bool TSettingsBackup::Parse(const QByteArray &bytes, QList<TBackupEntry> &entries, QString &why)
{
    entries.clear();
    if (bytes.isEmpty()) {
        why = tr("备份文件是空的。");
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    if (utf8.hasError() || text.contains(QChar(0))) {
        why = tr("备份文件不是文本文件。");
        return false;
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    // The end of the last line, and empty lines an editor may have added.
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    if (lines.first() != QLatin1String(kHeaders[0])) {
        why = tr("第1行不是“[SavNum]”，这不是参数备份文件。");
        return false;
    }

    const int n = lines.size();
    int i = 1;
    auto fail = [&](const QString &reason) {
        why = reason;
        entries.clear();
        return false;
    };
    auto integer = [&](int at, qint64 lo, qint64 hi, qint64 &v) {
        if (!ParseInteger(lines[at], v))
            return fail(tr("第%1行：“%2”不是整数。").arg(at + 1).arg(Shown(lines[at])));
        if (v < lo || v > hi)
            return fail(tr("第%1行：“%2”超出范围。").arg(at + 1).arg(Shown(lines[at])));
        return true;
    };
    auto number = [&](int at, double &v) {
        return ParseNumber(lines[at], v) || fail(tr("第%1行：“%2”不是数值。").arg(at + 1).arg(Shown(lines[at])));
    };
    auto value = [&](int at, QString &v) {
        return DecodeValue(lines[at], v) || fail(tr("第%1行：无法解码的值。").arg(at + 1));
    };
    constexpr qint64 intMin = std::numeric_limits<qint32>::min();
    constexpr qint64 intMax = std::numeric_limits<qint32>::max();
    constexpr qint64 cardinalMax = std::numeric_limits<quint32>::max();

    for (int s = 0; s < 4; ++s) {
        const QLatin1String next(kHeaders[s + 1]);
        int position = 0;
        for (;;) {
            if (i >= n)
                return fail(tr("文件在第%1行后中断，缺少“%2”，备份文件不完整。").arg(n).arg(next));
            const QString &l = lines[i];
            if (l == next) {
                ++i;
                break;
            }
            if (l.startsWith(QLatin1Char('[')) && l.endsWith(QLatin1Char(']')))
                return fail(IsHeader(l) ? tr("第%1行：段“%2”的位置不对。").arg(i + 1).arg(l)
                                        : tr("第%1行：未知的段“%2”。").arg(i + 1).arg(Shown(l)));
            if (i + kWidths[s] > n)
                return fail(tr("文件在第%1行后中断，缺少“%2”，备份文件不完整。").arg(n).arg(next));
            TBackupEntry e;
            e.Kind = s + 1;
            e.Line = i + 1;
            qint64 whole = 0;
            double d = 0;
            QString t;
            switch (e.Kind) {
            case 1: // number; value, a float when written with a point
                if (!integer(i, intMin, intMax, e.No))
                    return false;
                if (FloatForm(lines[i + 1])) {
                    if (!number(i + 1, d))
                        return false;
                    if (std::fabs(d) > std::numeric_limits<float>::max())
                        return fail(tr("第%1行：“%2”超出范围。").arg(i + 2).arg(Shown(lines[i + 1])));
                    e.First = d;
                } else {
                    if (!integer(i + 1, intMin, cardinalMax, whole))
                        return false;
                    e.First = whole;
                }
                break;
            case 2: // number; text
                if (!integer(i, intMin, intMax, e.No) || !value(i + 1, t))
                    return false;
                e.First = t;
                break;
            case 3: // num; val of the pair at this position
                e.No = ++position;
                if (!number(i, d))
                    return false;
                e.First = d;
                if (!number(i + 1, d))
                    return false;
                e.Second = d;
                break;
            case 4: // user number; name; password code
                if (!integer(i, intMin, intMax, e.No) || !value(i + 1, t)
                    || !integer(i + 2, intMin, cardinalMax, whole))
                    return false;
                if (t.isEmpty() || t.size() > TZovData::MaxUserNameLength)
                    return fail(tr("第%1行：用户名“%2”无效。").arg(i + 2).arg(Shown(t)));
                e.First = t;
                e.Second = whole;
                break;
            }
            entries.append(e);
            i += kWidths[s];
        }
    }
    if (i < n)
        return fail(tr("第%1行：“[End]”之后还有内容。").arg(i + 1));
    return true;
}

bool TSettingsBackup::RestoreRow(const TBackupEntry &e)
{
    const int no = int(e.No);
    const QString number = SqlNum(e.No);
    switch (e.Kind) {
    case 1: {
        if (e.First.typeId() == QMetaType::Double)
            return FData.WriteNumSingle(no, float(e.First.toDouble()));
        const qint64 v = e.First.toLongLong();
        return v <= std::numeric_limits<qint32>::max() ? FData.WriteNumInt(no, qint32(v))
                                                       : FData.WriteNumCardinal(no, quint32(v));
    }
    case 2:
        return FData.WriteStr(no, e.First.toString());
    case 3: {
        // Pairs are matched by their position: the row with that StdNo.
        const auto rows = FData.Open(QStringLiteral("select * from Standard where StdNo = ") + number);
        if (!rows || rows->recordCount() > 1)
            return false;
        const QString num = SqlNum(e.First.toDouble()), val = SqlNum(e.Second.toDouble());
        if (rows->recordCount() == 0)
            return FData.ExecSql(QStringLiteral("Insert into standard values(") + number + QLatin1Char(',') + num
                                 + QLatin1Char(',') + val + QLatin1Char(')'));
        return FData.ExecSql(QStringLiteral("Update standard set num = ") + num + QStringLiteral(", val = ") + val
                             + QStringLiteral(" where stdno = ") + number);
    }
    case 4: {
        const auto rows = FData.Open(QStringLiteral("select * from Tester where UserNo = ") + number);
        if (!rows || rows->recordCount() > 1)
            return false;
        const QString name = QuotedStr(e.First.toString()), code = SqlNum(e.Second.toLongLong());
        // A user brought back from a file is marked A in the fourth column.
        if (rows->recordCount() == 0)
            return FData.ExecSql(QStringLiteral("Insert into tester values(") + number + QLatin1Char(',') + name
                                 + QLatin1Char(',') + code + QStringLiteral(",A)"));
        return FData.ExecSql(QStringLiteral("Update tester set name = ") + name + QStringLiteral(", secret = ")
                             + code + QStringLiteral(" where userno = ") + number);
    }
    default:
        return false;
    }
}

TBackupResult TSettingsBackup::RestoreFromFile(const QString &file)
{
    TBackupResult r;
    r.Icon = TMsgIcon::Error;
    const QString readError = tr("读取参数出错，请确认备份文件是否正确？");
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        r.Message = readError + QLatin1Char('\n') + tr("文件无法打开：%1").arg(QDir::toNativeSeparators(file));
        return r;
    }
    const QByteArray bytes = in.readAll();
    in.close();
    QList<TBackupEntry> entries;
    QString why;
    if (!Parse(bytes, entries, why)) {
        r.Message = readError + QLatin1Char('\n') + why;
        return r;
    }

    // All or nothing: the first entry that cannot be written undoes the rest.
    QSqlDatabase db = FData.conZovDb.database();
    if (!db.transaction()) {
        r.Message = readError + QLatin1Char('\n') + tr("数据库正忙，无法写入。");
        return r;
    }
    for (const TBackupEntry &e : entries) {
        if (!RestoreRow(e)) {
            db.rollback();
            r.Message = readError + QLatin1Char('\n') + tr("第%1行：无法写入数据库，没有恢复任何数据。").arg(e.Line);
            if (e.Kind == 3)
                r.Caption = tr("出错");
            return r;
        }
    }
    if (!db.commit()) {
        db.rollback();
        r.Message = readError + QLatin1Char('\n') + tr("数据库正忙，无法写入。");
        return r;
    }
    r.Ok = true;
    r.Icon = TMsgIcon::Information;
    r.Message = tr("数据恢复完成，部分参数需要重新启动采能起作用！");
    return r;
}

} // namespace kv
