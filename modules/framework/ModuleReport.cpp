#include "ModuleReport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <memory>
#include <QFileDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>

namespace kv::fw {

namespace {

QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }

QString E(const QString &s) { return s.toHtmlEscaped(); }

// Escaped, each "\n" a line break.
QString Lines(const QString &s) { return E(s).replace(QLatin1Char('\n'), QStringLiteral("<br/>")); }

TReportPresenter &Presenter()
{
    static TReportPresenter presenter;
    return presenter;
}

void SetupPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

void Print(const TReport &report, QPrinter *printer)
{
    // Without a page size of its own the document is laid out on the
    // printer's page at screen resolution and scaled, so fonts keep their size.
    std::unique_ptr<QTextDocument> doc(ReportDocument(report));
    doc->print(printer);
}

bool PreviewReport(const TReport &report, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    SetupPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(report.Title);
    preview.resize(900, 1000);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&report](QPrinter *p) { Print(report, p); });
    if (auto *bar = preview.findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(T("导出PDF"), &preview, [&report, &preview] {
            const QString file = QFileDialog::getSaveFileName(&preview, T("导出PDF"), report.Title + QStringLiteral(".pdf"),
                                                              QStringLiteral("PDF (*.pdf)"));
            if (!file.isEmpty())
                ReportToPdf(report, file);
        });
    }
    preview.exec();
    return true;
}

} // namespace

QString ReportHtml(const TReport &report)
{
    QString h;
    h += QStringLiteral("<html><body style=\"font-size:10.5pt;\">");
    h += QStringLiteral("<h2 align=\"center\">") + E(report.Title) + QStringLiteral("</h2>");
    // Header: two label/value pairs per line.
    h += QStringLiteral("<table width=\"100%\" cellpadding=\"3\">");
    for (int i = 0; i < report.Header.size(); i += 2) {
        h += QStringLiteral("<tr>");
        for (int j = i; j < i + 2; ++j) {
            if (j < report.Header.size())
                h += QStringLiteral("<td width=\"18%\"><b>") + E(report.Header[j].first) +
                     QStringLiteral("</b></td><td width=\"32%\">") + E(report.Header[j].second) + QStringLiteral("</td>");
            else
                h += QStringLiteral("<td></td><td></td>");
        }
        h += QStringLiteral("</tr>");
    }
    h += QStringLiteral("</table>");
    if (!report.Captions.isEmpty()) {
        h += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                            "style=\"border-collapse:collapse;\">");
        for (const TReport::TCaptionRow &c : report.Captions)
            h += QStringLiteral("<tr><td width=\"18%\">") + E(c.Name1) + QStringLiteral("</td><td width=\"32%\">") +
                 E(c.Data1) + QStringLiteral("&nbsp;</td><td width=\"18%\">") + E(c.Name2) +
                 QStringLiteral("</td><td width=\"32%\">") + E(c.Data2) + QStringLiteral("&nbsp;</td></tr>");
        h += QStringLiteral("</table>");
    }
    for (const TReportBlock &b : report.Blocks) {
        if (!b.Heading.isEmpty())
            h += QStringLiteral("<h3>") + E(b.Heading) + QStringLiteral("</h3>");
        else
            h += QStringLiteral("<p></p>");
        h += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                            "style=\"border-collapse:collapse;\"><tr>");
        for (const QString &c : b.Columns)
            // A title with its own line breaks breaks only there.
            h += (c.contains(QLatin1Char('\n')) ? QStringLiteral("<th align=\"center\" style=\"white-space:nowrap;\">")
                                                 : QStringLiteral("<th align=\"center\">")) +
                 Lines(c) + QStringLiteral("</th>");
        h += QStringLiteral("</tr>");
        for (int r = 0; r < b.Rows.size(); ++r) {
            h += QStringLiteral("<tr>");
            for (int c = 0; c < b.Rows[r].size(); ++c) {
                QString cell = Lines(b.Rows[r][c]);
                QString colour;
                if (b.Flagged.contains(qMakePair(r, c))) {
                    colour = QStringLiteral(" bgcolor=\"%1\"").arg(QLatin1String(FlaggedBackground));
                    cell = QStringLiteral("<b><font color=\"%1\">").arg(QLatin1String(FlaggedText)) + cell +
                           QStringLiteral("</font></b>");
                }
                // A value breaks only at its "\n".
                h += QStringLiteral("<td align=\"center\" style=\"white-space:nowrap;\"") + colour + QLatin1Char('>') + cell +
                     QStringLiteral("</td>");
            }
            h += QStringLiteral("</tr>");
        }
        h += QStringLiteral("<tr><td colspan=\"%1\" align=\"right\"><b>").arg(qMax(1, int(b.Columns.size()) - 1)) +
             E(b.ValidCaption) + QStringLiteral("</b></td><td align=\"center\"><b>") + E(b.ValidValue) +
             QStringLiteral("</b></td></tr></table>");
    }
    h += QStringLiteral("</body></html>");
    return h;
}

QTextDocument *ReportDocument(const TReport &report, QObject *parent)
{
    auto *doc = new QTextDocument(parent);
    doc->setHtml(ReportHtml(report));
    return doc;
}

bool ReportToPdf(const TReport &report, const QString &file)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    SetupPrinter(printer);
    if (!printer.isValid())
        return false;
    Print(report, &printer);
    return QFileInfo::exists(file);
}

void SetReportPresenter(TReportPresenter presenter) { Presenter() = std::move(presenter); }

bool PresentReport(const TReport &report, QWidget *parent)
{
    if (Presenter())
        return Presenter()(report, parent);
    return PreviewReport(report, parent);
}

} // namespace kv::fw
