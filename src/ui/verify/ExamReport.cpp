#include "ui/verify/ExamReport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace kv {

namespace {

// Every table row is this tall, as on the window's record of old.
constexpr double RowHeight = 30;
constexpr double CaptionHeight = 26;
constexpr double Padding = 4;
// Shares of the width of the five columns of both tables.
constexpr double ColumnShares[5] = {0.16, 0.21, 0.23, 0.19, 0.21};

TExamReportPresenter &Presenter()
{
    static TExamReportPresenter presenter;
    return presenter;
}

// Pixel sizes, so the fonts follow the page's scale of 96 units an inch.
QFont Font(TExamItem::TFont kind)
{
    QFont f;
    switch (kind) {
    case TExamItem::Title: f.setPixelSize(24); f.setBold(true); break;
    case TExamItem::Heading: f.setPixelSize(16); f.setBold(true); break;
    case TExamItem::Note: f.setPixelSize(12); break;
    case TExamItem::Body: f.setPixelSize(14); break;
    }
    return f;
}

void SetupPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

// Places the items of the record top down and starts a new page where a
// block would not fit on the rest of the current one.
class TPager {
public:
    TPager(double width, double height) : W(width), FHeight(height), FPages(1) {}

    const double W;
    double Y = 0;

    void Need(double height)
    {
        if (Y > 0 && Y + height > FHeight) {
            FPages.emplace_back();
            Y = 0;
        }
    }
    void Text(const QRectF &r, const QString &s, int align, TExamItem::TFont font = TExamItem::Body)
    {
        FPages.back().push_back({TExamItem::Text, r, s, align, font});
    }
    void Line(double x1, double y1, double x2, double y2)
    {
        FPages.back().push_back({TExamItem::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)), {}, 0, TExamItem::Body});
    }
    // A ruled table: the header row, then one row per entry, every text
    // centred in its column.
    void Table(const QStringList &headers, const std::vector<QStringList> &rows)
    {
        const double height = RowHeight * double(rows.size() + 1);
        Need(height);
        double x = 0;
        std::vector<double> lefts;
        for (double share : ColumnShares) {
            lefts.push_back(x);
            x += share * W;
        }
        lefts.push_back(W);
        const auto row = [&](const QStringList &cells) {
            for (int c = 0; c < 5 && c < cells.size(); ++c)
                Text(QRectF(lefts[size_t(c)], Y, lefts[size_t(c) + 1] - lefts[size_t(c)], RowHeight),
                     cells[c].trimmed(), Qt::AlignCenter | Qt::TextWordWrap);
            Y += RowHeight;
        };
        const double top = Y;
        row(headers);
        for (const QStringList &r : rows)
            row(r);
        for (double y = top; y <= Y + 0.5; y += RowHeight)
            Line(0, y, W, y);
        for (double l : lefts)
            Line(l, top, l, Y);
    }
    // Text wrapped to the width, as tall as it needs.
    void Paragraph(const QString &s, TExamItem::TFont font)
    {
        const QFontMetricsF m(Font(font));
        const double h = m.boundingRect(QRectF(0, 0, W, 1e6), Qt::TextWordWrap, s).height() + Padding;
        Need(h);
        Text(QRectF(0, Y, W, h), s, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, font);
        Y += h;
    }

    std::vector<TExamPage> Pages() const { return FPages; }

private:
    double FHeight;
    std::vector<TExamPage> FPages;
};

QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }

} // namespace

TfrmExamreport::TfrmExamreport(TExamReportData data) : FData(std::move(data)), FFigures(ExamFigures(FData.Series)) {}

QString TfrmExamreport::ClassLine() const
{
    switch (FFigures.Verdict) {
    case TClassVerdict::NoData:
        return tr("准确度级别：不评定（无检测数据）");
    case TClassVerdict::TooFewSeries:
        return tr("准确度级别：不评定（重复性需三次测量，现有%1次）").arg(FFigures.Series);
    case TClassVerdict::Reached:
        return tr("准确度级别：%1级").arg(ClassText(FFigures.Class));
    case TClassVerdict::NotReached:
        break;
    }
    return tr("准确度级别：未达到3级");
}

QString TfrmExamreport::NoteText()
{
    return tr("注：示值相对误差 q = (Fm − F) / F × 100%，重复性相对误差 b = (Fmax − Fmin) / F × 100%。"
              "F 为标准测力仪所示的检测点力值，Fm、Fmax、Fmin 为检测点相同的最近三次测量中试验机实测力值的"
              "平均值、最大值和最小值（ISO 7500-1）。级别为 0.5、1、2、3 级中各检测点 |q| 与 b 均不超过其限值"
              "（0.5%、1.0%、2.0%、3.0%）的最高级别。仅评定 q 与 b：回零误差、可逆性误差和相对分辨力本机不测量，"
              "未参与评定。");
}

std::vector<TExamPage> TfrmExamreport::Layout(double width, double height) const
{
    TPager pg(width, height);
    const QString unit = QStringLiteral("(") + FData.Unit + QStringLiteral(")");

    pg.Text(QRectF(0, 0, width, 44), tr("力值检测结果记录表"), Qt::AlignCenter, TExamItem::Title);
    pg.Y = 44;
    const QString mode =
        FData.Mode == TMyGlbParam::TCheckMode::Verification ? tr("力值检测") : tr("力值校准");
    pg.Text(QRectF(0, pg.Y, width, CaptionHeight), tr("检测方式：%1").arg(mode), Qt::AlignLeft | Qt::AlignVCenter);
    pg.Y += CaptionHeight;

    // The lab's header lines: name, content, name, content, ruled.
    if (!FData.Captions.empty()) {
        const double lefts[5] = {0, 0.18 * width, 0.5 * width, 0.68 * width, width};
        const double top = pg.Y;
        for (const TExamCaption &c : FData.Captions) {
            const QString texts[4] = {c.Name1, c.Data1, c.Name2, c.Data2};
            for (int i = 0; i < 4; ++i)
                pg.Text(QRectF(lefts[i] + Padding, pg.Y, lefts[i + 1] - lefts[i] - 2 * Padding, CaptionHeight),
                        texts[i], Qt::AlignLeft | Qt::AlignVCenter);
            pg.Y += CaptionHeight;
        }
        for (double y = top; y <= pg.Y + 0.5; y += CaptionHeight)
            pg.Line(0, y, width, y);
        for (double l : lefts)
            pg.Line(l, top, l, pg.Y);
    }
    pg.Y += 12;

    // The grid as the window shows it.
    std::vector<QStringList> rows;
    for (size_t k = 0; k < FData.Rows.size(); ++k)
        rows.push_back(QStringList{tr("第%1点").arg(k + 1)} + FData.Rows[k]);
    pg.Table({tr("序号"), tr("检测点") + unit, tr("实测力值") + unit, tr("实测力码"), tr("误差(%)")}, rows);
    pg.Y += 20;

    // The figures of the session's series; the heading stays with its table.
    pg.Need(RowHeight * double(FFigures.Points.size() + (FFigures.Points.empty() ? 2 : 1) + 1));
    pg.Text(QRectF(0, pg.Y, width, RowHeight), tr("示值误差与重复性"), Qt::AlignLeft | Qt::AlignVCenter,
            TExamItem::Heading);
    pg.Y += RowHeight;
    if (!FFigures.Points.empty()) {
        const double coe = FData.Coe != 0 ? FData.Coe : 1;
        std::vector<QStringList> figures;
        for (size_t k = 0; k < FFigures.Points.size(); ++k) {
            const TExamPoint &p = FFigures.Points[k];
            figures.push_back({tr("第%1点").arg(k + 1), Number(p.Force / coe, 0), Number(p.Mean / coe, 3),
                               Number(p.Error, 3), p.HasRepeat ? Number(p.Repeat, 3) : QStringLiteral("—")});
        }
        pg.Table({tr("序号"), tr("检测点") + unit, tr("平均实测力值") + unit, tr("示值误差q(%)"),
                  tr("重复性b(%)")},
                 figures);
        pg.Y += 6;
    }
    pg.Need(2 * CaptionHeight);
    pg.Text(QRectF(0, pg.Y, width, CaptionHeight), tr("计入的测量次数：%1").arg(FFigures.Series),
            Qt::AlignLeft | Qt::AlignVCenter);
    pg.Y += CaptionHeight;
    pg.Text(QRectF(0, pg.Y, width, CaptionHeight), ClassLine(), Qt::AlignLeft | Qt::AlignVCenter,
            TExamItem::Heading);
    pg.Y += CaptionHeight + 4;
    pg.Paragraph(NoteText(), TExamItem::Note);

    // Footer: the print date, the checker and the tester sign by hand.
    pg.Y += 24;
    pg.Need(RowHeight);
    const QDate date = FData.Date.isValid() ? FData.Date : QDate::currentDate();
    const QString footer[3] = {tr("日期：") + date.toString(QStringLiteral("yyyy-MM-dd")), tr("校核："), tr("检测：")};
    for (int i = 0; i < 3; ++i)
        pg.Text(QRectF(i * width / 3, pg.Y, width / 3, RowHeight), footer[i], Qt::AlignLeft | Qt::AlignVCenter);
    return pg.Pages();
}

void TfrmExamreport::Print(QPrinter *printer) const
{
    QPainter p(printer);
    if (!p.isActive())
        return;
    // The layout's units are 1/96 inch.
    const double scale = printer->resolution() / 96.0;
    const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
    p.scale(scale, scale);
    const std::vector<TExamPage> pages = Layout(area.width() / scale, area.height() / scale);
    QPen pen(Qt::black);
    pen.setWidthF(0.8);
    p.setPen(pen);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer->newPage();
        for (const TExamItem &item : pages[i]) {
            if (item.Kind == TExamItem::Line) {
                p.drawLine(item.Rect.topLeft(), item.Rect.bottomRight());
            } else {
                p.setFont(Font(item.Font));
                p.drawText(item.Rect, item.Align, item.Content);
            }
        }
    }
}

bool TfrmExamreport::ToPdf(const QString &file) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    SetupPrinter(printer);
    if (!printer.isValid())
        return false;
    Print(&printer);
    return QFileInfo::exists(file);
}

bool TfrmExamreport::Preview(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    SetupPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(tr("力值检测结果记录表"));
    preview.resize(900, 1000);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [this](QPrinter *p) { Print(p); });
    if (auto *bar = preview.findChild<QToolBar *>()) {
        bar->addSeparator();
        bar->addAction(tr("导出PDF"), &preview, [this, &preview] {
            const QString file = QFileDialog::getSaveFileName(&preview, tr("导出PDF"),
                                                              tr("力值检测结果记录表") + QStringLiteral(".pdf"),
                                                              QStringLiteral("PDF (*.pdf)"));
            if (!file.isEmpty())
                ToPdf(file);
        });
    }
    preview.exec();
    return true;
}

bool TfrmExamreport::Present(const TExamReportData &data, QWidget *parent)
{
    if (Presenter())
        return Presenter()(data, parent);
    return TfrmExamreport(data).Preview(parent);
}

void TfrmExamreport::SetPresenter(TExamReportPresenter presenter) { Presenter() = std::move(presenter); }

} // namespace kv
