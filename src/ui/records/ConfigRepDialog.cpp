#include "ui/records/ConfigRepDialog.h"

#include "MessageService.h"
#include "host/TestList.h"
#include "records/RecordsBrowser.h"
#include "store/DataModule.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MeasureSteps.h"
#include "xlsx/OfficeConvert.h"
#include "xlsx/TemplateFiles.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace kv {

namespace {

// The old template gives way only once the new one is fully copied beside it:
// a copy that fails (a full disk) leaves the old one as it was.
bool ReplaceFile(const QString &from, const QString &target)
{
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part))
        return false;
    std::error_code error;
    std::filesystem::rename(part.toStdString(), target.toStdString(), error);
    if (error)
        QFile::remove(part);
    return !error;
}

// Rows and columns the sheet grid shows at least, so there is room to mark.
constexpr int kMinGridRows = 30;
constexpr int kMinGridColumns = 10;
constexpr int kMaxGridRows = 500;
constexpr int kMaxGridColumns = 60;
constexpr int kRoleTemplatePath = Qt::UserRole + 1;
const QColor kMarkedCell(255, 244, 190);

} // namespace

// One editor row: a TFrameG (group parameter) or a TFrameOne (specimen).
struct TfrmConfigRep::TRowWidgets {
    QWidget *Frame = nullptr;
    QLineEdit *Position = nullptr;
    QComboBox *Layout = nullptr;  // TFrameOne only
    QSpinBox *Spacing = nullptr;  // TFrameOne only
    bool Specimen = false;
    QString Name;
};

TfrmConfigRep::TfrmConfigRep(TConfigRepEnv env, QWidget *parent) : QDialog(parent), FEnv(std::move(env))
{
    setObjectName(QStringLiteral("frmConfigRep"));
    setWindowTitle(tr("报表设置"));

    FTree = new QTreeWidget(this);
    FTree->setObjectName(QStringLiteral("tvTestList"));
    FTree->setHeaderHidden(true);
    FTree->setContextMenuPolicy(Qt::CustomContextMenu);

    FEditor = new QWidget(this);
    auto *countLine = new QHBoxLayout;
    FCount = new QSpinBox(FEditor);
    FCount->setObjectName(QStringLiteral("Edit1"));
    FCount->setRange(0, 63);
    countLine->addWidget(new QLabel(tr("本组个数"), FEditor));
    countLine->addWidget(FCount);
    countLine->addStretch();
    FRowArea = new QScrollArea(FEditor);
    FRowArea->setWidgetResizable(true);
    auto *rows = new QWidget(FRowArea);
    FRowLayout = new QVBoxLayout(rows);
    FRowArea->setWidget(rows);
    auto *editorLayout = new QVBoxLayout(FEditor);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addLayout(countLine);
    editorLayout->addWidget(FRowArea, 1);
    editorLayout->addWidget(new QLabel(tr("在右边的表格中选中单元格，双击参数位置框或按“...”取地址；退格键清空位置。"), FEditor));

    FGrid = new QTableWidget(FEditor);
    FGrid->setObjectName(QStringLiteral("sgSheet"));
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->verticalHeader()->setDefaultSectionSize(22);

    auto *split = new QSplitter(this);
    split->addWidget(FTree);
    split->addWidget(FEditor);
    split->addWidget(FGrid);
    split->setStretchFactor(2, 1);

    FAddButton = new QPushButton(tr("添加"), this);
    FAddButton->setObjectName(QStringLiteral("btnAddExcel"));
    FDeleteButton = new QPushButton(tr("删除"), this);
    FDeleteButton->setObjectName(QStringLiteral("btnDelExcel"));
    FSaveButton = new QPushButton(tr("保存"), this);
    FSaveButton->setObjectName(QStringLiteral("BitBtn2"));
    FCloseButton = new QPushButton(tr("关闭"), this);
    FCloseButton->setObjectName(QStringLiteral("BitBtn1"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {FAddButton, FDeleteButton, FSaveButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(FCloseButton);
    auto *root = new QVBoxLayout(this);
    root->addWidget(split, 1);
    root->addLayout(buttons);

    connect(FAddButton, &QPushButton::clicked, this, &TfrmConfigRep::AddClick);
    connect(FDeleteButton, &QPushButton::clicked, this, &TfrmConfigRep::DeleteClick);
    connect(FSaveButton, &QPushButton::clicked, this, &TfrmConfigRep::SaveClick);
    connect(FCloseButton, &QPushButton::clicked, this, &TfrmConfigRep::CloseClick);
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    connect(FTree, &QTreeWidget::itemDoubleClicked, this, [this] { EditSelected(); });
    connect(FTree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QTreeWidgetItem *item = FTree->itemAt(at);
        if (!item)
            return;
        FTree->setCurrentItem(item);
        QMenu menu(this);
        if (item->parent())
            menu.addAction(tr("删除"), this, &TfrmConfigRep::DeleteClick);
        else
            menu.addAction(tr("添加"), this, &TfrmConfigRep::AddClick);
        menu.exec(FTree->viewport()->mapToGlobal(at));
    });

    // Every test kind has its folder; old .xls templates become .xlsx once
    // when LibreOffice can make them.
    if (FEnv.Tests)
        for (int i = 0; i < FEnv.Tests->TestCount(); ++i) {
            const QString folder = TemplateFolder(FEnv.ProgramDir, FEnv.Tests->TestName(i));
            QDir().mkpath(folder);
            xlsx::ConvertLegacyTemplates(folder);
        }
    BuildTree();
    ShowMode();
}

TfrmConfigRep::~TfrmConfigRep() = default;

void TfrmConfigRep::BuildTree()
{
    // The node chosen before stays chosen (its test, when its template is gone).
    const QTreeWidgetItem *was = FTree->currentItem();
    const QString wasTest = NodeTest(was);
    const QString wasTemplate = was && was->parent() ? was->text(0) : QString();
    FTree->clear();
    if (!FEnv.Tests)
        return;
    const bool office = !xlsx::OfficeProgram().isEmpty();
    for (int i = 0; i < FEnv.Tests->TestCount(); ++i) {
        auto *node = new QTreeWidgetItem(FTree, {FEnv.Tests->TestName(i)});
        for (const xlsx::TTemplateFile &t : xlsx::TemplateFiles(TemplateFolder(FEnv.ProgramDir, FEnv.Tests->TestName(i)))) {
            auto *child = new QTreeWidgetItem(node, {t.Name});
            child->setData(0, kRoleTemplatePath, t.Path);
            if (!t.Usable) {
                child->setForeground(0, Qt::gray);
                child->setToolTip(0, office ? tr("旧的.xls格式，LibreOffice无法转换") : tr("旧的.xls格式，需要安装LibreOffice转换后才能使用"));
            }
            if (node->text(0) == wasTest && t.Name == wasTemplate)
                FTree->setCurrentItem(child);
        }
        if (node->text(0) == wasTest && !FTree->currentItem())
            FTree->setCurrentItem(node);
    }
    FTree->expandAll();
    UpdateButtons();
}

QStringList TfrmConfigRep::TreeTexts() const
{
    QStringList lines;
    for (int i = 0; i < FTree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *n = FTree->topLevelItem(i);
        lines << n->text(0);
        for (int c = 0; c < n->childCount(); ++c)
            lines << QStringLiteral("  ") + n->child(c)->text(0);
    }
    return lines;
}

void TfrmConfigRep::SelectNode(int test, int templ)
{
    QTreeWidgetItem *n = FTree->topLevelItem(test);
    if (n && templ >= 0)
        n = n->child(templ);
    FTree->setCurrentItem(n);
}

QString TfrmConfigRep::NodeTest(const QTreeWidgetItem *item) const
{
    if (!item)
        return {};
    return item->parent() ? item->parent()->text(0) : item->text(0);
}

void TfrmConfigRep::UpdateButtons()
{
    const QTreeWidgetItem *item = FTree->currentItem();
    FAddButton->setEnabled(!FEditing && item && !item->parent());
    FDeleteButton->setEnabled(!FEditing && item && item->parent());
}

void TfrmConfigRep::ShowMode()
{
    FTree->setVisible(!FEditing);
    FEditor->setVisible(FEditing);
    FGrid->setVisible(FEditing);
    FSaveButton->setVisible(FEditing);
    FAddButton->setVisible(!FEditing);
    FDeleteButton->setVisible(!FEditing);
    resize(FEditing ? QSize(1150, 680) : QSize(420, 500));
    UpdateButtons();
}

void TfrmConfigRep::AddClick()
{
    const QTreeWidgetItem *item = FTree->currentItem();
    if (FEditing || !item || item->parent())
        return;
    const QString file = FEnv.ChooseFile ? FEnv.ChooseFile(this)
                                         : QFileDialog::getOpenFileName(this, tr("添加"), QString(),
                                                                        tr("Excel文件(*.xlsx *.xls)"));
    const QString folder = TemplateFolder(FEnv.ProgramDir, NodeTest(item));
    if (!file.isEmpty()) {
        const bool legacy = file.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive);
        QString error;
        xlsx::TXlsxBook check;
        if (!QDir(folder).exists()) {
            MsgInfo(tr("报表文件夹不存在,请检查!"), this);
        } else if (!legacy && !check.Open(file, &error)) {
            MsgWarning(error, this); // a broken workbook is not taken in
        } else if (const QString target = QDir(folder).filePath(QFileInfo(file).fileName());
                   QFileInfo(file).canonicalFilePath() != QFileInfo(target).canonicalFilePath()) {
            // (A file picked from the folder itself is already there: overwriting
            // it with itself would delete it.)
            bool copied = QFile::copy(file, target);
            const bool exists = !copied && QFile::exists(target);
            if (exists && MsgYesNo(tr("该名称报表已存在,是否覆盖?"), TMsgIcon::Question, this))
                copied = ReplaceFile(file, target);
            else if (!copied && !exists)
                MsgWarning(tr("报表模板复制失败：") + QDir::toNativeSeparators(target), this);
            if (copied && legacy) {
                // Kept as it came; the .xlsx beside it is the one that is used.
                if (xlsx::OfficeProgram().isEmpty())
                    MsgInfo(tr("没有安装LibreOffice，旧的.xls格式报表模板无法使用。请用Excel或WPS另存为.xlsx格式后再添加。"), this);
                else if (!xlsx::ConvertWithOffice(target, QStringLiteral("xlsx"), folder, nullptr, &error))
                    MsgWarning(error, this);
            }
        }
    }
    BuildTree();
}

void TfrmConfigRep::DeleteClick()
{
    const QTreeWidgetItem *item = FTree->currentItem();
    if (FEditing || !item || !item->parent())
        return;
    if (!MsgYesNo(tr("是否删除该报表"), TMsgIcon::Question, this))
        return;
    // The template and the old .xls it was made from go together.
    const QString folder = TemplateFolder(FEnv.ProgramDir, NodeTest(item));
    // Its extension in any case: names from old computers come in capitals.
    bool ok = true;
    const QDir dir(folder);
    for (const QString &f : dir.entryList({QStringLiteral("*.xlsx"), QStringLiteral("*.xls")}, QDir::Files))
        if (f.left(f.lastIndexOf(QLatin1Char('.'))) == item->text(0))
            ok = QFile::remove(dir.filePath(f)) && ok;
    if (!ok)
        MsgInfo(tr("文件无法删除,可能正在使用"), this);
    BuildTree();
}

bool TfrmConfigRep::EditSelected()
{
    const QTreeWidgetItem *item = FTree->currentItem();
    if (FEditing || !item || !item->parent() || !FEnv.Tests)
        return false;
    const QString name = NodeTest(item);
    TBaseTest *test = nullptr;
    for (int i = 0; i < FEnv.Tests->TestCount(); ++i)
        if (FEnv.Tests->TestName(i) == name)
            test = FEnv.Tests->Test(i);
    const xlsx::TTemplateFile t = xlsx::FindTemplate(TemplateFolder(FEnv.ProgramDir, name), item->text(0));
    if (!t.Usable) {
        MsgInfo(tr("旧的.xls格式报表模板，需要安装LibreOffice转换后才能使用"), this);
        return false;
    }
    auto book = std::make_unique<xlsx::TXlsxBook>();
    QString error;
    if (!test || !book->Open(t.Path, &error)) {
        MsgWarning(error, this);
        return false;
    }
    FBook = std::move(book);
    FTestName = name;
    FTemplatePath = t.Path;
    QStringList specimenNames, groupNames;
    if (FEnv.Connection) {
        specimenNames = TemplateParameterNames(*test, *FEnv.Connection, 8);
        groupNames = TemplateParameterNames(*test, *FEnv.Connection, 7);
    }
    SetMarks(ReadTemplateMarks(FBook->Marks(), groupNames, specimenNames));
    FillGrid();
    FEditing = true;
    ShowMode();
    return true;
}

void TfrmConfigRep::SetMarks(const TTemplateMarks &m)
{
    FMarks = m;
    BuildRows();
}

void TfrmConfigRep::BuildRows()
{
    FRows.clear();
    while (QLayoutItem *i = FRowLayout->takeAt(0)) {
        delete i->widget();
        delete i;
    }
    FCount->setValue(FMarks.Count.toInt());
    int longest = 0;
    for (const TMarkRow &r : FMarks.Specimens + FMarks.Group)
        longest = std::max<int>(longest, r.Name.size());
    auto header = [this](const QStringList &titles) {
        auto *w = new QWidget;
        auto *l = new QHBoxLayout(w);
        l->setContentsMargins(2, 0, 2, 0);
        for (const QString &t : titles) {
            auto *label = new QLabel(t, w);
            label->setStyleSheet(QStringLiteral("font-weight: bold"));
            l->addWidget(label, t == tr("参数位置") ? 2 : 1);
        }
        FRowLayout->addWidget(w);
    };
    auto addRows = [&](const QList<TMarkRow> &rows, bool specimen) {
        for (const TMarkRow &r : rows) {
            auto w = std::make_unique<TRowWidgets>();
            w->Specimen = specimen;
            w->Name = r.Name;
            w->Frame = new QWidget;
            w->Frame->setObjectName((specimen ? QStringLiteral("FrameOne") : QStringLiteral("FrameG")) +
                                    QString::number(FRows.size() + 1));
            auto *l = new QHBoxLayout(w->Frame);
            l->setContentsMargins(2, 0, 2, 0);
            l->addWidget(new QLabel(QString::number(FRows.size() + 1), w->Frame), 1);
            auto *name = new QLabel(r.Name, w->Frame);
            name->setMinimumWidth(9 * longest + 12); // 9 pixels per character of the longest name
            l->addWidget(name, 1);
            w->Position = new QLineEdit(r.Position, w->Frame);
            w->Position->setReadOnly(true);
            w->Position->setToolTip(tr("双击取地址"));
            w->Position->installEventFilter(this);
            l->addWidget(w->Position, 2);
            auto *take = new QToolButton(w->Frame);
            take->setText(QStringLiteral("..."));
            const int index = int(FRows.size());
            connect(take, &QToolButton::clicked, this, [this, index] { TakePosition(index); });
            l->addWidget(take);
            if (specimen) {
                w->Layout = new QComboBox(w->Frame);
                w->Layout->addItems({tr("横向"), tr("纵向")});
                w->Layout->setCurrentIndex(static_cast<int>(r.Layout));
                w->Spacing = new QSpinBox(w->Frame);
                w->Spacing->setRange(1, 100);
                w->Spacing->setValue(std::max(1, r.Spacing.toInt()));
                l->addWidget(w->Layout, 1);
                l->addWidget(w->Spacing, 1);
            }
            FRowLayout->addWidget(w->Frame);
            FRows.push_back(std::move(w));
        }
    };
    if (!FMarks.Specimens.isEmpty()) {
        header({tr("序号"), tr("参数名称"), tr("参数位置"), tr("排列方式"), tr("间隔")});
        addRows(FMarks.Specimens, true);
    }
    header({tr("序号"), tr("参数名称"), tr("参数位置")});
    addRows(FMarks.Group, false);
    FRowLayout->addStretch();
}

TTemplateMarks TfrmConfigRep::Marks() const
{
    TTemplateMarks m;
    m.Count = QString::number(FCount->value());
    for (const auto &w : FRows) {
        TMarkRow r;
        r.Name = w->Name;
        r.Specimen = w->Specimen;
        r.Position = w->Position->text();
        if (w->Specimen) {
            r.Layout = static_cast<TMarkLayout>(w->Layout->currentIndex());
            r.Spacing = QString::number(w->Spacing->value());
            m.Specimens << r;
        } else {
            m.Group << r;
        }
    }
    return m;
}

void TfrmConfigRep::FillGrid()
{
    FGrid->clear();
    FGrid->clearSpans();
    const xlsx::TCellPos extent = FBook->Extent(0);
    const int rows = std::min(std::max(extent.Row + 5, kMinGridRows), kMaxGridRows);
    const int cols = std::min(std::max(extent.Column + 2, kMinGridColumns), kMaxGridColumns);
    FGrid->setRowCount(rows);
    FGrid->setColumnCount(cols);
    QStringList letters;
    for (int c = 1; c <= cols; ++c) {
        letters << xlsx::ColumnName(c);
        const double width = FBook->ColumnWidth(0, c);
        FGrid->setColumnWidth(c - 1, width > 0 ? int(width * 7 + 5) : 72);
    }
    FGrid->setHorizontalHeaderLabels(letters);
    for (int r = 1; r <= std::min(extent.Row, rows); ++r)
        for (int c = 1; c <= std::min(extent.Column, cols); ++c) {
            const xlsx::TCell cell = FBook->Cell(0, r, c);
            if (cell.Text.isEmpty() && !FBook->Style(cell.Style).Bold)
                continue;
            auto *item = new QTableWidgetItem(cell.Text);
            if (cell.IsNumber)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (FBook->Style(cell.Style).Bold) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            FGrid->setItem(r - 1, c - 1, item);
        }
    for (const xlsx::TCellRange &m : FBook->MergedCells(0))
        if (m.Last.Row <= rows && m.Last.Column <= cols)
            FGrid->setSpan(m.First.Row - 1, m.First.Column - 1, m.Last.Row - m.First.Row + 1,
                           m.Last.Column - m.First.Column + 1);
    // The cells already marked, with their names.
    const QString sheet = FBook->SheetNames().value(0);
    for (const xlsx::TDefinedName &d : FBook->Marks()) {
        const xlsx::TSheetRef ref = xlsx::ParseSheetRef(d.RefersTo);
        if (!ref.Valid() || ref.Sheet.compare(sheet, Qt::CaseInsensitive) != 0 || ref.Range.First.Row > rows ||
            ref.Range.First.Column > cols)
            continue;
        QTableWidgetItem *item = FGrid->item(ref.Range.First.Row - 1, ref.Range.First.Column - 1);
        if (!item) {
            item = new QTableWidgetItem;
            FGrid->setItem(ref.Range.First.Row - 1, ref.Range.First.Column - 1, item);
        }
        item->setBackground(kMarkedCell);
        item->setToolTip(item->toolTip().isEmpty() ? d.Name : item->toolTip() + QLatin1Char('\n') + d.Name);
    }
}

void TfrmConfigRep::TakePosition(int row)
{
    if (!FEditing || row < 0 || row >= int(FRows.size()))
        return;
    const QList<QTableWidgetSelectionRange> ranges = FGrid->selectedRanges();
    if (ranges.isEmpty())
        return;
    const QTableWidgetSelectionRange s = ranges.first();
    xlsx::TCellRange r{{s.topRow() + 1, s.leftColumn() + 1}, {s.bottomRow() + 1, s.rightColumn() + 1}};
    if (FRows[size_t(row)]->Specimen)
        r.Last = r.First; // specimen 1's cell; the others follow the layout
    FRows[size_t(row)]->Position->setText(xlsx::SheetRefText(FBook->SheetNames().value(0), r));
}

bool TfrmConfigRep::eventFilter(QObject *watched, QEvent *event)
{
    for (size_t i = 0; i < FRows.size(); ++i) {
        if (watched != FRows[i]->Position)
            continue;
        if (event->type() == QEvent::MouseButtonDblClick) {
            TakePosition(int(i));
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Backspace) {
            FRows[i]->Position->clear();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmConfigRep::SaveClick()
{
    if (!FEditing || !FBook)
        return;
    QList<xlsx::TDefinedName> names;
    QString error;
    if (!BuildTemplateMarks(Marks(), names, &error)) {
        MsgInfo(error, this);
        return;
    }
    FBook->SetMarks(names);
    if (!FBook->SaveAs(FTemplatePath, &error)) {
        MsgError(error, this);
        return;
    }
    FEditing = false;
    FBook.reset();
    ShowMode();
}

void TfrmConfigRep::CloseClick()
{
    if (!FEditing) {
        accept();
        return;
    }
    // Leaves the editor; the template keeps the marks it had.
    FEditing = false;
    FBook.reset();
    ShowMode();
}

void ShowReportSettings(TfrmMeasure &window)
{
    TConfigRepEnv env;
    env.Tests = window.MyFunction();
    env.Connection = window.DataModule() ? &window.DataModule()->conZovDb : nullptr;
    env.ProgramDir = window.ProgramDir();
    TfrmConfigRep dialog(std::move(env), &window);
    dialog.exec();
}

void InstallReportSettings(TMeasureSteps &steps) { steps.ReportSettings = ShowReportSettings; }

} // namespace kv
