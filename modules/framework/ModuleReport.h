#pragma once
// The built-in report of a module: its content as data (so tests read what
// is printed), rendered as a document for the print preview, the printer
// and the PDF file.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class QTextDocument;
class QWidget;

namespace kv::fw {

// One table of results: a heading, column titles, rows, and the valid
// result under its caption ("有效强度(MPa)").
struct TReportBlock {
    QString Heading;            // "水泥抗压结果数据："
    QStringList Columns;        // a "\n" starts a new line; a title or value breaks only there,
                                // a title without one wraps where it must
    QList<QStringList> Rows;
    QList<QPair<int, int>> Flagged;  // (row, column) of cells printed in red
    QString ValidCaption;
    QString ValidValue;
};

// The colours of a flagged cell, in the report and in the results window.
inline constexpr const char *FlaggedBackground = "#f8d7d7";
inline constexpr const char *FlaggedText = "#b00000";

struct TReport {
    QString Title;                              // test name + " " + "报表"
    QList<QPair<QString, QString>> Header;      // "试验编号：" → group number, ...
    struct TCaptionRow { QString Name1, Data1, Name2, Data2; };
    QList<TCaptionRow> Captions;                // from the caption table or DefaultCaptionInfo
    QList<TReportBlock> Blocks;
};

// The report as HTML (every value escaped).
QString ReportHtml(const TReport &report);
// A document of the report, laid out for A4 portrait.
QTextDocument *ReportDocument(const TReport &report, QObject *parent = nullptr);
// Writes the report as a PDF file; false when it cannot be written.
bool ReportToPdf(const TReport &report, const QString &file);

// How a report is shown. The default opens the print preview (printing and
// export to PDF from its tool bar); tests install their own.
using TReportPresenter = std::function<bool(const TReport &report, QWidget *parent)>;
void SetReportPresenter(TReportPresenter presenter); // empty: the print preview
bool PresentReport(const TReport &report, QWidget *parent = nullptr);

} // namespace kv::fw
