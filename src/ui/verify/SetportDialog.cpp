#include "ui/verify/SetportDialog.h"

#include "ui/verify/PointGrid.h"
#include "verify/CodeDownload.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"
#include "MessageService.h"
#include "SqlText.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

TPointRows RowsOf(const std::vector<TCodePoint> &points, double factor)
{
    TPointRows rows(2);
    std::vector<QStringList> cells;
    for (const TCodePoint &p : points)
        cells.push_back({FixedText(p.Force / factor, 0), QString::number(p.Code)});
    rows.SetRows(cells);
    return rows;
}

} // namespace

TfrmSetport::TfrmSetport(TCtrlBox &box, TMyGlbParam &glb, const QString &unit, double factor, QWidget *parent,
                         db::TDbConnection *connection)
    : QDialog(parent), FBox(box), FGlb(glb), FUnit(unit), FFactor(factor > 0 ? factor : 1.0),
      FDirect(glb.SetPortFromMain)
{
    setObjectName(QStringLiteral("frmSetport"));
    setWindowTitle(tr("力码设定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    if (!connection && ZovData())
        connection = &ZovData()->conZovDb;
    FDownload = new TCodeDownload(box, connection, this);
    connect(FDownload, &TCodeDownload::progress, this, [this](int done, int total) {
        FProgressBar->setValue(int(std::lround(100.0 * done / std::max(total, 1))));
    });
    connect(FDownload, &TCodeDownload::finished, this, &TfrmSetport::DownloadFinished);

    const QStringList headers{tr("序号"), tr("检测点") + QStringLiteral("(") + FUnit + QStringLiteral(")"),
                              tr("力码")};
    const auto label = [](int k) { return tr("第%1点").arg(k); };
    auto *layout = new QVBoxLayout(this);
    auto *grids = new QHBoxLayout;
    FCalibratedBox = new QGroupBox(tr("校准的力值力码"), this);
    FCalibratedBox->setObjectName(QStringLiteral("gbCalibrated"));
    auto *calLayout = new QVBoxLayout(FCalibratedBox);
    FCalibrated = new TPointGrid(label, headers, FCalibratedBox);
    FCalibrated->setObjectName(QStringLiteral("sgCalibrated"));
    FCalibrated->SetEditable(false);
    calLayout->addWidget(FCalibrated);
    grids->addWidget(FCalibratedBox);
    auto *existingBox = new QGroupBox(tr("现有的力值力码"), this);
    existingBox->setObjectName(QStringLiteral("gbExisting"));
    auto *exLayout = new QVBoxLayout(existingBox);
    FExisting = new TPointGrid(label, headers, existingBox);
    FExisting->setObjectName(QStringLiteral("sgExisting"));
    FExisting->SetPopup(TPointGrid::TPopupCells::ValueCells, tr("插入"), tr("删除"), tr("增加"), tr("减少"));
    exLayout->addWidget(FExisting);
    grids->addWidget(existingBox);
    layout->addLayout(grids, 1);
    // The commands on the existing table under it, OK and Cancel below.
    auto *rowCommands = new QGridLayout;
    exLayout->addLayout(rowCommands);

    FHint = new QLabel(tr("提示： 允许设置的最大力为") + QString::number(qint64(std::nearbyint(box.FMaxLoad / FFactor))) +
                           FUnit,
                       this);
    FHint->setObjectName(QStringLiteral("lblHint"));
    layout->addWidget(FHint);

    auto *buttons = new QHBoxLayout;
    int placed = 0;
    auto button = [this, rowCommands, buttons, &placed](const QString &text, const char *name, bool row) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        if (row) {
            rowCommands->addWidget(b, placed / 3, placed % 3);
            ++placed;
        } else {
            buttons->addWidget(b);
        }
        FButtons << b;
        return b;
    };
    connect(button(tr("增加"), "btnAdd", true), &QPushButton::clicked, FExisting, &TPointGrid::AddPoint);
    connect(button(tr("减少"), "btnRemove", true), &QPushButton::clicked, FExisting, &TPointGrid::RemoveLastPoint);
    connect(button(tr("还原"), "btnRevert", true), &QPushButton::clicked, this, &TfrmSetport::btnRevertClick);
    connect(button(tr("插入"), "btnInsert", true), &QPushButton::clicked, FExisting, &TPointGrid::InsertPoint);
    connect(button(tr("删除"), "btnDelete", true), &QPushButton::clicked, FExisting, &TPointGrid::DeletePoint);
    QPushButton *correct = button(tr("修正"), "btnCorrect", true);
    connect(correct, &QPushButton::clicked, this, &TfrmSetport::btnCorrectClick);
    buttons->addStretch(1);
    connect(button(tr("确定"), "btnOK", false), &QPushButton::clicked, this, &TfrmSetport::btnOKClick);
    connect(button(tr("取消"), "btnCancel", false), &QPushButton::clicked, this, &TfrmSetport::reject);
    layout->addLayout(buttons);

    // The progress of a download: modal over the editor, no cancel.
    FProgress = new QDialog(this);
    FProgress->setObjectName(QStringLiteral("dlgProgress"));
    FProgress->setWindowTitle(tr("力码设定"));
    FProgress->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    FProgress->setModal(true);
    auto *progressLayout = new QVBoxLayout(FProgress);
    progressLayout->addWidget(new QLabel(tr("正在下发数据,请稍后..."), FProgress));
    FProgressBar = new QProgressBar(FProgress);
    FProgressBar->setObjectName(QStringLiteral("pbProgress"));
    FProgressBar->setRange(0, 100);
    FProgressBar->setMinimumWidth(320);
    progressLayout->addWidget(FProgressBar);

    // The existing table: the calibration store while the driver still holds
    // it (it keeps a twelfth point the box has no room for), else the driver's.
    const TCodeTable store = TCodeTable::FromStore(FGlb);
    FSaved = store.Count() > 0 && store.SameInBox(FBox) ? store : TCodeTable::FromBox(FBox);
    ShowExisting(FSaved);
    if (FDirect) {
        FCalibratedBox->hide();
        correct->hide();
        resize(360, 480);
    } else {
        for (int k = 0; k < FGlb.RecordedCount && k < TMyGlbParam::MaxCheckPoints; ++k)
            FCalibratedPoints.push_back({int(std::lround(FGlb.CheckForce[size_t(k)])), FGlb.CheckCode[size_t(k)]});
        FCalibrated->SetRows(RowsOf(FCalibratedPoints, FFactor));
        resize(700, 480);
    }
}

TfrmSetport::~TfrmSetport() = default;

void TfrmSetport::ShowExisting(const TCodeTable &table) { FExisting->SetRows(RowsOf(table.Points(), FFactor)); }

void TfrmSetport::btnRevertClick() { ShowExisting(FSaved); }

void TfrmSetport::btnCorrectClick()
{
    if (FCalibratedPoints.empty())
        return;
    const TCodeTable table = TCodeTable::FromPoints(FCalibratedPoints);
    table.ToStore(FGlb);
    ShowExisting(table);
}

void TfrmSetport::btnOKClick()
{
    if (!FBox.IsOnline()) {
        MsgWarning(tr("无法联系控制器,系统无法正常运行,请检查控制器是否打开!"), this);
        return;
    }
    FExisting->CommitEdit();
    std::vector<TCodeRowText> rows;
    const TPointRows grid = FExisting->Rows();
    for (int r = 0; r < grid.Count(); ++r)
        rows.push_back({grid.Cell(r, 0), grid.Cell(r, 1)});
    std::vector<TCodePoint> points;
    const QString message = TCodeGridCheck(FFactor, FBox.FMaxLoad, FBox.Model()).Validate(rows, points);
    if (!message.isEmpty()) {
        MsgWarning(message, this);
        return;
    }
    FSending = TCodeTable::FromPoints(points);
    if (!FDirect && FStoreResults && !FStoreResults()) {
        MsgWarning(tr("保存到数据库出错"), this);
        return;
    }
    FGlb.SetPortFromMain = false;
    FProgressBar->setValue(0);
    SetBusy(true);
    FProgress->open();
    if (!FDownload->Start(FSending)) {
        FProgress->hide();
        SetBusy(false);
        MsgWarning(tr("力值输入出错"), this);
    }
}

void TfrmSetport::DownloadFinished()
{
    FProgress->hide();
    SetBusy(false);
    if (FDownload->Outcome() == TCodeDownload::TOutcome::Done) {
        FSending.ToStore(FGlb);
        accept();
        return;
    }
    MsgWarning(FDownload->Message(), this);
}

void TfrmSetport::SetBusy(bool busy)
{
    for (QPushButton *b : FButtons)
        b->setEnabled(!busy);
    FExisting->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

// A download in progress ends first: the box is being written.
void TfrmSetport::reject()
{
    if (FDownload->Running())
        return;
    QDialog::reject();
}

void TfrmSetport::done(int result)
{
    FGlb.SetPortFromMain = false;
    QDialog::done(result);
}

} // namespace kv
