#pragma once
// The report header captions of a stored group, without the dialog: loading
// the group's own lines (else the defaults of its test kind), the length
// rule of a caption text, and saving, optionally also as the defaults.
#include "BaseTest.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace kv {

class TZovData;

// One header line of the report: two name/content pairs.
struct TCaptionLine {
    QString Name1, Data1, Name2, Data2;
    bool operator==(const TCaptionLine &o) const
    {
        return Name1 == o.Name1 && Data1 == o.Data1 && Name2 == o.Name2 && Data2 == o.Data2;
    }
};
using TCaptionLines = QList<TCaptionLine>;

inline constexpr int MinCaptionLines = 1;
inline constexpr int MaxCaptionLines = 8;
// Longest caption text, in bytes of the Chinese ANSI code page.
inline constexpr int MaxCaptionBytes = 20;

// Length of the text in the Chinese ANSI code page (GBK): an ASCII character
// is one byte, any other character two.
int CaptionBytes(const QString &text);
// True when the trimmed text is longer than MaxCaptionBytes.
bool CaptionTooLong(const QString &text);
bool CaptionTooLong(const TCaptionLine &line);

// The line with each of its four texts trimmed.
TCaptionLine TrimmedCaptionLine(const TCaptionLine &line);

class TCaptionEditor {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmTextInfo)
public:
    // testName is the test's display name (expobj of DefaultCaptionInfo).
    TCaptionEditor(TZovData &data, TBaseTest &test, const QString &testName, const QString &groupNo);

    // The group's own lines in stored order, else the defaults of the test
    // kind, each text trimmed; empty when neither has a line.
    TCaptionLines Load();
    // Replaces the group's lines (and first the defaults when asDefault) by
    // lines, numbered from 1. A failing statement is skipped silently.
    void Save(const TCaptionLines &lines, bool asDefault);

    static QString TooLongText();

    QString DefaultsSelectSql() const;
    QString DefaultsDeleteSql() const;
    QString DefaultInsertSql(int row, const TCaptionLine &line) const;

private:
    TCaptionLines Read(const QString &sql);
    QString GroupSql(quint8 kind, int row = 0, const TCaptionLine &line = {}) const;

    TZovData &m_data;
    TBaseTest &m_test;
    QString m_testName;
    QString m_groupNo;
};

} // namespace kv
