#include "records/CaptionEditor.h"

#include "store/DataModule.h"
#include "SqlText.h"

namespace kv {

int CaptionBytes(const QString &text)
{
    int bytes = 0;
    // By code point, so a character outside the basic plane counts once.
    for (const char32_t c : text.toUcs4())
        bytes += c < 0x80 ? 1 : 2;
    return bytes;
}

bool CaptionTooLong(const QString &text) { return CaptionBytes(text.trimmed()) > MaxCaptionBytes; }

bool CaptionTooLong(const TCaptionLine &line)
{
    return CaptionTooLong(line.Name1) || CaptionTooLong(line.Data1) || CaptionTooLong(line.Name2) ||
           CaptionTooLong(line.Data2);
}

TCaptionLine TrimmedCaptionLine(const TCaptionLine &line)
{
    return {line.Name1.trimmed(), line.Data1.trimmed(), line.Name2.trimmed(), line.Data2.trimmed()};
}

TCaptionEditor::TCaptionEditor(TZovData &data, TBaseTest &test, const QString &testName, const QString &groupNo)
    : m_data(data), m_test(test), m_testName(testName), m_groupNo(groupNo)
{
}

QString TCaptionEditor::TooLongText() { return tr("表头内容超过限制长度，请确认！"); }

QString TCaptionEditor::GroupSql(quint8 kind, int row, const TCaptionLine &line) const
{
    QString sql;
    m_test.BuildRecordSQL(m_groupNo, kind, sql, row, line.Name1, line.Data1, line.Name2, line.Data2);
    return sql;
}

QString TCaptionEditor::DefaultsSelectSql() const
{
    return QStringLiteral("select * from DefaultCaptionInfo where expobj = ") + QuotedStr(m_testName);
}

QString TCaptionEditor::DefaultsDeleteSql() const
{
    return QStringLiteral("delete from DefaultCaptionInfo where expobj = ") + QuotedStr(m_testName);
}

QString TCaptionEditor::DefaultInsertSql(int row, const TCaptionLine &line) const
{
    return QStringLiteral("insert into DefaultCaptionInfo(expobj,sunxu, Name1, Data1, Name2, Data2) values(") +
           QuotedStr(m_testName) + QStringLiteral(", ") + SqlNum(qint64(row)) + QLatin1Char(',') +
           QuotedStr(line.Name1) + QStringLiteral(", ") + QuotedStr(line.Data1) + QStringLiteral(", ") +
           QuotedStr(line.Name2) + QStringLiteral(", ") + QuotedStr(line.Data2) + QLatin1Char(')');
}

TCaptionLines TCaptionEditor::Read(const QString &sql)
{
    TCaptionLines lines;
    if (sql.isEmpty())
        return lines;
    const auto q = m_data.Open(sql);
    if (!q)
        return lines;
    const int cols[4] = {q->fieldIndex(QStringLiteral("Name1")), q->fieldIndex(QStringLiteral("Data1")),
                         q->fieldIndex(QStringLiteral("Name2")), q->fieldIndex(QStringLiteral("Data2"))};
    for (int r = 0; r < q->recordCount(); ++r) {
        // A missing column or a null reads as an empty text.
        auto text = [&](int i) { return q->valueAt(r, cols[i]).toString().trimmed(); };
        lines.append({text(0), text(1), text(2), text(3)});
    }
    return lines;
}

TCaptionLines TCaptionEditor::Load()
{
    TCaptionLines lines = Read(GroupSql(2));
    if (lines.isEmpty())
        lines = Read(DefaultsSelectSql());
    return lines;
}

void TCaptionEditor::Save(const TCaptionLines &lines, bool asDefault)
{
    if (asDefault) {
        m_data.ExecSql(DefaultsDeleteSql());
        for (int r = 0; r < lines.size(); ++r)
            m_data.ExecSql(DefaultInsertSql(r + 1, lines[r]));
    }
    m_data.ExecSql(GroupSql(3));
    for (int r = 0; r < lines.size(); ++r)
        m_data.ExecSql(GroupSql(6, r + 1, lines[r]));
}

} // namespace kv
