#include "ui/records/RecordsWindow.h"

#include "host/TestList.h"
#include "ui/DbGridModel.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MeasureSteps.h"
#include "link/BoxModels.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"
#include "ui/records/CaptionsDialog.h"
#include "records/AuditSnapshot.h"
#include "records/RecordsExport.h"
#include "xlsx/OfficeConvert.h"
#include "xlsx/TemplateFiles.h"
#include "store/AuditTrail.h"
#include "db/DbEngine.h"
#include "MessageService.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kv {

namespace {

constexpr char kAdmin[] = "Admin";
// Columns are sized from the rows loaded for the first screen, not from the
// whole result set: a search over 100 000 groups shows at once.
constexpr int kWidthSampleRows = 200;
constexpr int kFirstScreenRows = 200;

// The column the module titles with the group number (its own word).
QString GroupColumnTitle() { return QCoreApplication::translate("TModuleText", "组号"); }

// Bytes of a text in the Chinese code page: a character beyond ASCII is two.
int CodePageBytes(const QString &text)
{
    int n = 0;
    for (const QChar c : text)
        n += c.unicode() < 0x80 ? 1 : 2;
    return n;
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TfrmPrint::TfrmPrint(TRecordsEnv env, QWidget *parent) : QDialog(parent), FEnv(std::move(env))
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(tr("报表打印"));
    BuildLayout();
    if (FEnv.Connection) {
        TAuditTrail trail(*FEnv.Connection);
        trail.Ensure();
        FQuery = std::make_unique<db::TDbQuery>(*FEnv.Connection);
        // A search over 100 000 groups shows its first screen at once; the
        // rest is read as the grid scrolls.
        FQuery->setFetchOnDemand(true, kFirstScreenRows);
        FModel->setQuery(FQuery.get());
    }
    const bool admin = IsAdmin();
    FDeleteButton->setEnabled(admin);
    FDeleteAllButton->setEnabled(admin);
    FTrailExportButton->setEnabled(admin);
    SetSearchMode(TSearchMode::ByNumber);
    FillTestKinds();
    RowChanged();
}

TfrmPrint::~TfrmPrint() = default;

void TfrmPrint::BuildLayout()
{
    resize(900, 620);
    auto *top = new QHBoxLayout;
    FSearchModeBox = new QComboBox(this);
    FSearchModeBox->setObjectName(QStringLiteral("cbSearch"));
    FSearchModeBox->addItems({tr("试验编号"), tr("试验日期")});
    FTestKindBox = new QComboBox(this);
    FTestKindBox->setObjectName(QStringLiteral("cb_Object"));
    FTestKindBox->setMinimumWidth(160);
    FRangeLabel = new QLabel(this);
    FRangeLabel->setObjectName(QStringLiteral("stZuHao"));
    FFromEdit = new QLineEdit(this);
    FFromEdit->setObjectName(QStringLiteral("edtZuHao1"));
    FToEdit = new QLineEdit(this);
    FToEdit->setObjectName(QStringLiteral("edtZuHao2"));
    FFromDate = new QDateEdit(this);
    FFromDate->setObjectName(QStringLiteral("DateTimePicker1"));
    FToDate = new QDateEdit(this);
    FToDate->setObjectName(QStringLiteral("DateTimePicker2"));
    for (QDateEdit *d : {FFromDate, FToDate}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    FSearchButton = MakeButton(this, "btnSearch", tr("查  询"));
    auto *to = new QLabel(tr("到"), this);
    top->addWidget(new QLabel(tr("试验类型:"), this));
    top->addWidget(FTestKindBox);
    top->addWidget(FSearchModeBox);
    top->addWidget(FRangeLabel);
    top->addWidget(FFromEdit);
    top->addWidget(FFromDate);
    top->addWidget(to);
    top->addWidget(FToEdit);
    top->addWidget(FToDate);
    top->addWidget(FSearchButton);
    top->addStretch();

    FResultGrid = new QTableView(this);
    FResultGrid->setObjectName(QStringLiteral("dbgResGro"));
    FResultGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FResultGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FResultGrid->verticalHeader()->setDefaultSectionSize(22);
    FModel = new db::TDbGridModel(this);
    FModel->setObjectName(QStringLiteral("DataSource1"));
    FModel->bindView(FResultGrid);

    FTrailGrid = new QTableWidget(0, 5, this);
    FTrailGrid->setObjectName(QStringLiteral("sgAudit"));
    FTrailGrid->setHorizontalHeaderLabels({tr("时间"), tr("操作员"), tr("操作"), tr("修改前"), tr("修改后")});
    FTrailGrid->horizontalHeader()->setStretchLastSection(true);
    FTrailGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FTrailGrid->setMaximumHeight(130);

    auto *buttons = new QHBoxLayout;
    FPrintButton = MakeButton(this, "btnStart", tr("打  印"));
    FPrintSetupButton = MakeButton(this, "PrintSetup", tr("打印设置"));
    FCaptionsButton = MakeButton(this, "SpeedButton1", tr("表头设置"));
    FDeleteButton = MakeButton(this, "sbDelete", tr("删除当前记录"));
    FDeleteAllButton = MakeButton(this, "sbChgAll", tr("删除查询到的记录"));
    FDeleteAllButton->setToolTip(tr("删除查询到的所有记录"));
    FExportButton = MakeButton(this, "btnExport", tr("导出CSV"));
    FExportButton->setToolTip(tr("把查询到的各组及其试件导出为CSV文件"));
    FTrailExportButton = MakeButton(this, "btnExportTrail", tr("导出修改记录"));
    FCloseButton = MakeButton(this, "btnOut", tr("退  出"));
    for (QPushButton *b : {FPrintButton, FPrintSetupButton, FCaptionsButton, FDeleteButton, FDeleteAllButton,
                           FExportButton, FTrailExportButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(FCloseButton);

    FReportMenu = new QMenu(this);
    FReportMenu->setObjectName(QStringLiteral("pmReportList"));
    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("sbPrint"));
    FStatusBar->setSizeGripEnabled(false);

    auto *root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addWidget(FResultGrid, 1);
    root->addWidget(new QLabel(tr("修改记录:"), this));
    root->addWidget(FTrailGrid);
    root->addLayout(buttons);
    root->addWidget(FStatusBar);

    connect(FSearchModeBox, qOverload<int>(&QComboBox::activated), this,
            [this](int i) { SetSearchMode(i == 1 ? TSearchMode::ByDate : TSearchMode::ByNumber); });
    connect(FTestKindBox, qOverload<int>(&QComboBox::activated), this, &TfrmPrint::ChooseTestKind);
    connect(FFromDate, &QDateEdit::dateChanged, this,
            [this](QDate d) { FFromEdit->setText(d.toString(QStringLiteral("yyyy-MM-dd"))); });
    connect(FToDate, &QDateEdit::dateChanged, this,
            [this](QDate d) { FToEdit->setText(d.toString(QStringLiteral("yyyy-MM-dd"))); });
    connect(FSearchButton, &QPushButton::clicked, this, &TfrmPrint::Search);
    connect(FPrintButton, &QPushButton::clicked, this, &TfrmPrint::PrintClick);
    connect(FPrintSetupButton, &QPushButton::clicked, this, &TfrmPrint::PrintSetupClick);
    connect(FCaptionsButton, &QPushButton::clicked, this, &TfrmPrint::CaptionsClick);
    connect(FDeleteButton, &QPushButton::clicked, this, &TfrmPrint::DeleteClick);
    connect(FDeleteAllButton, &QPushButton::clicked, this, &TfrmPrint::DeleteAllClick);
    connect(FExportButton, &QPushButton::clicked, this, &TfrmPrint::ExportClick);
    connect(FTrailExportButton, &QPushButton::clicked, this, &TfrmPrint::ExportTrailClick);
    connect(FCloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(FModel, &db::TDbGridModel::currentRowChanged, this, [this] { RowChanged(); });
    connect(FResultGrid, &QTableView::doubleClicked, this, [this] { CorrectCurrent(); });
}

bool TfrmPrint::IsAdmin() const { return FEnv.UserName == QLatin1String(kAdmin); }

void TfrmPrint::FillTestKinds()
{
    FKinds = FEnv.Tests ? RecordTestKinds(*FEnv.Tests, FEnv.MachineBit) : std::vector<TTestKind>{};
    int preselect = 0;
    for (size_t i = 0; i < FKinds.size(); ++i) {
        QDir().mkpath(TemplateFolder(FEnv.ProgramDir, FKinds[i].Name));
        FTestKindBox->addItem(FKinds[i].Name);
    }
    // The entry at the position of the current test's module index, else the first.
    const TBaseTest *current = FEnv.Tests ? FEnv.Tests->Test(FEnv.CurrentTestIndex) : nullptr;
    if (current && current->FModuleIndex < FKinds.size())
        preselect = current->FModuleIndex;
    if (!FKinds.empty()) {
        FTestKindBox->setCurrentIndex(preselect);
        ChooseTestKind(preselect);
    }
}

void TfrmPrint::SetSearchMode(TSearchMode mode)
{
    FMode = mode;
    FSearchModeBox->setCurrentIndex(static_cast<int>(mode));
    FFromEdit->clear();
    FToEdit->clear();
    const bool byDate = mode == TSearchMode::ByDate;
    FRangeLabel->setText(byDate ? tr("待查询的日期从:") : tr("待查询的编号从:"));
    FFromEdit->setVisible(!byDate);
    FToEdit->setVisible(!byDate);
    FFromDate->setVisible(byDate);
    FToDate->setVisible(byDate);
    if (byDate) {
        const QDate today = QDate::currentDate();
        FFromDate->setDate(today);
        FToDate->setDate(today);
        FFromEdit->setText(today.toString(QStringLiteral("yyyy-MM-dd")));
        FToEdit->setText(today.toString(QStringLiteral("yyyy-MM-dd")));
    }
}

void TfrmPrint::ChooseTestKind(int index)
{
    if (index < 0 || index >= static_cast<int>(FKinds.size()))
        return;
    FTest = FKinds[size_t(index)].Test;
    FTestName = FKinds[size_t(index)].Name;
    FTemplates = ReportTemplates(TemplateFolder(FEnv.ProgramDir, FTestName));
    FReportMenu->clear();
    FReportMenu->addAction(tr("内置报表"), this, [this] { PrintEntry(0); });
    // A '&' of a file name is shown, not taken as the entry's shortcut mark.
    // An old .xls is usable only through LibreOffice, which makes an .xlsx of it.
    const QString folder = TemplateFolder(FEnv.ProgramDir, FTestName);
    const bool office = !xlsx::OfficeProgram().isEmpty();
    for (int i = 0; i < FTemplates.size(); ++i) {
        QAction *a = FReportMenu->addAction(QString(FTemplates[i]).replace(QLatin1Char('&'), QStringLiteral("&&")), this,
                                            [this, i] { PrintEntry(i + 1); });
        if (!office && !xlsx::FindTemplate(folder, FTemplates[i]).Usable) {
            a->setEnabled(false);
            a->setToolTip(tr("旧的.xls格式报表模板，需要安装LibreOffice转换后才能使用"));
        }
    }
    FReportMenu->setToolTipsVisible(true);
    // The results of another test kind do not belong under this one.
    if (FQuery) {
        FQuery->close();
        FModel->refresh();
        FLastSql.clear();
    }
    RowChanged();
}

QStringList TfrmPrint::ReportMenuEntries() const
{
    QStringList names;
    for (const QAction *a : FReportMenu->actions())
        names << a->iconText(); // as shown: "&&" is one '&'
    return names;
}

void TfrmPrint::Search()
{
    if (!FTest || !FQuery)
        return;
    FLastSql = SearchStatement(*FTest, static_cast<int>(FMode), FFromEdit->text(), FToEdit->text());
    Requery();
}

void TfrmPrint::Requery()
{
    if (FLastSql.isEmpty() || !FQuery)
        return;
    FQuery->close();
    FQuery->setSql(FLastSql);
    try {
        FQuery->open();
    } catch (const std::exception &e) {
        MsgError(QString::fromLocal8Bit(e.what()), this);
    }
    FModel->refresh();
    if (FQuery->recordCount() > 0)
        FModel->setCurrentRow(0);
    SizeColumns();
    RowChanged();
}

void TfrmPrint::SizeColumns()
{
    const QAbstractItemModel *m = FResultGrid->model();
    const int rows = std::min(m->rowCount(), kWidthSampleRows);
    for (int c = 0; c < m->columnCount(); ++c) {
        int bytes = CodePageBytes(m->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < rows; ++r)
            bytes = std::max(bytes, CodePageBytes(m->index(r, c).data().toString()));
        FResultGrid->setColumnWidth(c, 12 * bytes);
    }
}

QString TfrmPrint::CurrentGroupNo() const
{
    if (!FQuery || !FQuery->active() || FQuery->recordCount() == 0 || FQuery->recNo() < 0)
        return {};
    const int column = FQuery->fieldIndex(GroupColumnTitle());
    if (column < 0)
        return {};
    return FQuery->valueAt(FQuery->recNo(), column).toString();
}

int TfrmPrint::RowCount() const { return FQuery && FQuery->active() ? FQuery->recordCount() : 0; }

QString TfrmPrint::CellText(int row, int column) const
{
    return FResultGrid->model()->index(row, column).data().toString();
}

void TfrmPrint::SelectRow(int row) { FModel->setCurrentRow(row); }

void TfrmPrint::RowChanged()
{
    const QString group = CurrentGroupNo();
    FPrintButton->setEnabled(!group.isEmpty());
    FStatusBar->showMessage(RowCount() > 0 ? tr("当前选中的编号是:") + group : tr("当前试验无记录"));
    if (FTest && FQuery && RowCount() > 0) {
        QString text;
        FTest->SelectRecord(FQuery.get(), text);
    }
    ShowTrail();
}

void TfrmPrint::ShowTrail()
{
    FTrailGrid->setRowCount(0);
    const QString group = CurrentGroupNo();
    if (!FEnv.Connection || group.isEmpty())
        return;
    TAuditTrail trail(*FEnv.Connection);
    const std::vector<TAuditEntry> entries = trail.ForGroup(FTestName, group);
    FTrailGrid->setRowCount(static_cast<int>(entries.size()));
    for (int r = 0; r < static_cast<int>(entries.size()); ++r) {
        const TAuditEntry &e = entries[size_t(r)];
        const QStringList cells = {e.At.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), e.UserName, e.Action,
                                   e.Before, e.After};
        for (int c = 0; c < cells.size(); ++c) {
            // A snapshot is long: the whole of it shows over its cell.
            auto *item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            FTrailGrid->setItem(r, c, item);
        }
    }
}

void TfrmPrint::PrintClick()
{
    if (CurrentGroupNo().isEmpty()) {
        MsgInfo(tr("请选择需要操作的组号!"), this);
        return;
    }
    if (FReportMenu->actions().size() < 2) {
        PrintEntry(0);
        return;
    }
    FReportMenu->popup(FPrintButton->mapToGlobal(QPoint(0, FPrintButton->height())));
}

void TfrmPrint::PrintEntry(int entry)
{
    const QString group = CurrentGroupNo();
    if (!FTest || group.isEmpty())
        return;
    const QString templ = entry > 0 && entry <= FTemplates.size() ? FTemplates[entry - 1] : QString();
    FTest->PrintReport(PrintRequest(group, templ));
}

bool TfrmPrint::DeleteGroup(const QString &groupNo, quint8 kind)
{
    FQuery->fetchAll();
    // The group as it was goes into the trail in the same transaction.
    TAuditEntry entry;
    entry.UserName = FEnv.UserName;
    entry.TestKind = FTestName;
    entry.GroupNo = groupNo;
    return DeleteWithAudit(*FEnv.Connection, RecordStatement(*FTest, groupNo, kind), entry);
}

void TfrmPrint::DeleteClick()
{
    const QString group = CurrentGroupNo().trimmed();
    if (group.isEmpty() || !FTest) {
        MsgInfo(tr("请选择需要操作的组号!"), this);
        return;
    }
    if (!IsAdmin() || !MsgYesNo(tr("是否删除组号%1的记录").arg(group), TMsgIcon::Question, this))
        return;
    DeleteGroup(CurrentGroupNo(), 4);
    Requery();
}

void TfrmPrint::DeleteAllClick()
{
    if (CurrentGroupNo().trimmed().isEmpty() || !FTest) {
        MsgInfo(tr("请选择需要操作的组号!"), this);
        return;
    }
    if (!IsAdmin() || !MsgYesNo(tr("是否删除查询到的所有记录?"), TMsgIcon::Question, this))
        return;
    // The group numbers first: each delete changes the tables under the result set.
    FQuery->fetchAll();
    QStringList groups;
    const int column = FQuery->fieldIndex(GroupColumnTitle());
    for (int r = 0; r < FQuery->recordCount(); ++r) {
        FQuery->moveTo(r);
        QString text;
        FTest->SelectRecord(FQuery.get(), text);
        groups << FQuery->valueAt(r, column).toString();
        DeleteGroup(groups.last(), 5);
    }
    Requery();
}

void TfrmPrint::CorrectCurrent()
{
    const QString group = CurrentGroupNo();
    if (RowCount() == 0 || !IsAdmin() || !FTest || group.isEmpty())
        return;
    FQuery->fetchAll();
    // The group before and after, read through the rows its delete would take.
    const QString rows = RecordStatement(*FTest, group, 4);
    const QString before = StatementSnapshot(*FEnv.Connection, rows);
    std::unique_ptr<QDialog> form(FTest->CreateResultForm(group, this));
    if (!form || form->exec() != QDialog::Accepted)
        return;
    RecordStatement(*FTest, group, 1);
    const QString after = StatementSnapshot(*FEnv.Connection, rows);
    if (before != after) {
        TAuditEntry entry;
        entry.UserName = FEnv.UserName;
        entry.TestKind = FTestName;
        entry.GroupNo = group;
        entry.Action = TAuditTrail::Correction();
        entry.Before = before;
        entry.After = after;
        TAuditTrail(*FEnv.Connection).Record(entry);
    }
    const int row = FQuery->recNo();
    Requery();
    SelectRow(row);
}

void TfrmPrint::CaptionsClick()
{
    const QString group = CurrentGroupNo().trimmed();
    if (group.isEmpty() || !FTest) {
        MsgInfo(tr("请选择需要操作的组号!"), this);
        return;
    }
    ShowCaptionsDialog(*FTest, FTestName, group, this);
}

void TfrmPrint::PrintSetupClick()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        MsgInfo(tr("没有安装打印机"), this);
        return;
    }
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.exec();
}

void TfrmPrint::ExportClick()
{
    if (!FQuery || RowCount() == 0) {
        MsgInfo(tr("当前试验无记录"), this);
        return;
    }
    QString file = FExportFile;
    if (file.isEmpty())
        file = QFileDialog::getSaveFileName(this, tr("导出CSV"), FTestName + QStringLiteral(".csv"),
                                            tr("CSV文件 (*.csv)"));
    if (file.isEmpty())
        return;
    FQuery->fetchAll();
    QProgressDialog progress(tr("正在导出,请稍后..."), tr("取消"), 0, RowCount(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString error;
    const bool ok = TRecordsExport::Groups(*FEnv.Connection, *FQuery, GroupTableOf(*FTest), file,
                                           [&progress](int done, int total) {
                                               progress.setMaximum(total);
                                               progress.setValue(done);
                                               return !progress.wasCanceled();
                                           },
                                           &error);
    if (!ok && !progress.wasCanceled())
        MsgWarning(error.isEmpty() ? tr("文件%1无法写入").arg(QDir::toNativeSeparators(file)) : error, this);
}

void TfrmPrint::ExportTrailClick()
{
    if (!IsAdmin() || !FEnv.Connection)
        return;
    QString file = FExportFile;
    if (file.isEmpty())
        file = QFileDialog::getSaveFileName(this, tr("导出修改记录"), tr("修改记录") + QStringLiteral(".csv"),
                                            tr("CSV文件 (*.csv)"));
    if (file.isEmpty())
        return;
    TAuditTrail trail(*FEnv.Connection);
    if (!TAuditTrail::ExportCsv(trail.All(), file))
        MsgWarning(tr("文件%1无法写入").arg(QDir::toNativeSeparators(file)), this);
}

void ShowRecordsWindow(TfrmMeasure &window)
{
    TRecordsEnv env;
    env.Tests = window.MyFunction();
    env.Connection = window.DataModule() ? &window.DataModule()->conZovDb : nullptr;
    const TCtrlBox *box = window.CurrentDriver();
    env.MachineBit = static_cast<quint32>(box ? box->ModelKind() : BoxModel(window.MachineTypeNo()).Kind);
    env.CurrentTestIndex = env.Tests ? env.Tests->CurrentIndex() : -1;
    env.ProgramDir = window.ProgramDir();
    env.UserName = window.FUserName;
    TfrmPrint records(std::move(env), &window);
    records.exec();
}

void InstallRecordsWindow(TMeasureSteps &steps) { steps.RecordsWindow = ShowRecordsWindow; }

} // namespace kv
