#pragma once
// A CSV file for spreadsheet programs: UTF-8 with a byte-order mark (so they
// read Chinese text), fields quoted when they hold a comma, a quote or a line
// break (quotes doubled), lines ended by CR LF, numbers with '.' as decimal
// point. Written through a QSaveFile: the file appears only on Commit, so a
// failed or cancelled export leaves nothing half-written behind.
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace kv {

// Progress of a long export: done of total rows; false cancels it.
using TCsvProgress = std::function<bool(int done, int total)>;

// One field as written: quoted and its quotes doubled when needed.
QString CsvField(const QString &text);
// Fields joined by commas, with the line end.
QString CsvLine(const QStringList &fields);
// A stored value as text: null is empty, numbers with '.' (shortest text
// that reads back the same), date-times "yyyy-MM-dd hh:mm:ss".
QString ValueText(const QVariant &value);

class TCsvFile {
public:
    explicit TCsvFile(const QString &path);
    // Starts the file with the byte-order mark; false when it cannot be made.
    bool Open();
    void AddLine(const QStringList &fields);
    // Puts the file in place; false (and nothing written) on any failure.
    bool Commit();
    // Drops what was written; the target file stays as it was.
    void Cancel();
    QString ErrorText() const { return m_file.errorString(); }

private:
    QSaveFile m_file;
    bool m_failed = false;
};

} // namespace kv
