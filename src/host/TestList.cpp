#include "host/TestList.h"

#include "store/PasswordCode.h"

#include <QDateTime>

namespace kv {

QString TMyFunction::TestName(int index) const
{
    return index >= 0 && index < TestCount() ? m_tests[index].name : QString();
}

void TMyFunction::AddTest(const QString &name, std::unique_ptr<TBaseTest> test)
{
    if (test)
        m_tests.push_back({name, std::move(test)});
}

TBaseTest *TMyFunction::Test(int index) const
{
    return index >= 0 && index < TestCount() ? m_tests[index].object.get() : nullptr;
}

void TMyFunction::ClearTests()
{
    m_current = -1;
    m_tests.clear();
}

qint32 TMyFunction::PasswordCode(const QString &password) { return kv::PasswordCode(password); }

QString TMyFunction::FormatResult(int kind, float value)
{
    return QString::asprintf(kind == 1 ? "%0.1f" : "%0.2f", static_cast<double>(value));
}

QString TMyFunction::DateText(const QDate &date)
{
    return QStringLiteral("%1-%2-%3").arg(date.year()).arg(date.month()).arg(date.day()).left(255);
}

std::array<quint16, 6> TMyFunction::GetNowRecord()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {static_cast<quint16>(d.year()), static_cast<quint16>(d.month()), static_cast<quint16>(d.day()),
            static_cast<quint16>(t.hour()), static_cast<quint16>(t.minute()), static_cast<quint16>(t.second())};
}

} // namespace kv
