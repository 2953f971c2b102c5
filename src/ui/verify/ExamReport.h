#pragma once
// TfrmExamreport: the printed record of a force verification (力值检测结果
// 记录表). Above the table the lab's header lines and the mode; the table
// holds the verification window's grid as it shows it; below it the
// indication and repeatability errors of each checkpoint over the session's
// series, the accuracy class and a note on how they were found. The record
// is laid out as positioned texts and lines on A4 pages, painted onto a
// printer: the print preview (printing and PDF from its tool bar) or a PDF file.
#include "verify/CheckSeries.h"
#include "verify/ExamCaptions.h"
#include "verify/ExamFigures.h"
#include "store/GlobalParams.h"

#include <QCoreApplication>
#include <QDate>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPrinter;
class QWidget;

namespace kv {

// What the record shows.
struct TExamReportData {
    QString Unit;                       // force unit shown ("kN")
    double Coe = 1;                     // shown = N / Coe
    // The grid's value cells of each point as the window shows them:
    // checkpoint, measured force, force code, error (%).
    std::vector<QStringList> Rows;
    std::vector<TCheckSeries> Series;   // the session's runs, oldest first
    std::vector<TExamCaption> Captions; // LoadExamCaptions
    QDate Date;                         // the print date; invalid: today
    TMyGlbParam::TCheckMode Mode = TMyGlbParam::TCheckMode::Verification;
};

// One drawn text or rule line of a page, in units of 1/96 inch from the
// top left of the printable area.
struct TExamItem {
    enum TKind { Text, Line };
    enum TFont { Body, Title, Heading, Note };
    TKind Kind = Text;
    QRectF Rect;          // a line runs from its top left to its bottom right
    QString Content;
    int Align = 0;        // Qt alignment flags (and word wrap)
    TFont Font = Body;
};
using TExamPage = std::vector<TExamItem>;

// How the record is shown. The default opens the print preview; tests
// install their own.
using TExamReportPresenter = std::function<bool(const TExamReportData &data, QWidget *parent)>;

class TfrmExamreport {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmExamreport)
public:
    explicit TfrmExamreport(TExamReportData data);

    const TExamReportData &Data() const { return FData; }
    const TExamFigures &Figures() const { return FFigures; }

    // The pages for a printable area of width x height units.
    std::vector<TExamPage> Layout(double width, double height) const;
    // Paints every page onto the printer (A4 set up by the caller).
    void Print(QPrinter *printer) const;
    // Writes the record as a PDF file; false when it cannot be written.
    bool ToPdf(const QString &file) const;
    // The print preview, modal.
    bool Preview(QWidget *parent) const;

    // What the verification window's 打印 calls.
    static bool Present(const TExamReportData &data, QWidget *parent = nullptr);
    // Empty: the print preview.
    static void SetPresenter(TExamReportPresenter presenter);

    // The verdict line ("准确度级别：1级") and the note below the figures.
    QString ClassLine() const;
    static QString NoteText();

private:
    TExamReportData FData;
    TExamFigures FFigures;
};

} // namespace kv
