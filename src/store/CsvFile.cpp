#include "store/CsvFile.h"

#include "SqlText.h"

#include <QDateTime>

namespace kv {

QString CsvField(const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quote)
        return text;
    QString t = text;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QString CsvLine(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out << CsvField(f);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString ValueText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return SqlNum(value.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return SqlNum(value.toLongLong());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

TCsvFile::TCsvFile(const QString &path) : m_file(path) {}

bool TCsvFile::Open()
{
    m_failed = !m_file.open(QIODevice::WriteOnly) || m_file.write("\xEF\xBB\xBF", 3) != 3;
    return !m_failed;
}

void TCsvFile::AddLine(const QStringList &fields)
{
    const QByteArray bytes = CsvLine(fields).toUtf8();
    if (!m_failed && m_file.write(bytes) != bytes.size())
        m_failed = true;
}

bool TCsvFile::Commit()
{
    if (m_failed) {
        Cancel();
        return false;
    }
    return m_file.commit();
}

void TCsvFile::Cancel()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
    m_failed = true;
}

} // namespace kv
