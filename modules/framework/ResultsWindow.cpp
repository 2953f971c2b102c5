#include "ResultsWindow.h"

#include "FrameworkTest.h"
#include "ModuleDb.h"
#include "ModuleSql.h"
#include "SqlText.h"
#include "MessageService.h"

#include <QColor>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv::fw {

namespace {
QString T(const char *text) { return QCoreApplication::translate("TModuleText", text); }
enum { ColNo, ColGroup, ColAge, ColSize, ColForce, ColRate, ColSetRate, ColCount };
} // namespace

TfrmRes::TfrmRes(TFrameworkTest &test, const QString &groupNo, const QString &age, QWidget *parent)
    : QDialog(parent), FTest(test), FGroupNo(groupNo), FAge(age)
{
    setWindowTitle(T("数据明细"));
    resize(820, 320);
    auto *col = new QVBoxLayout(this);
    FDataGrid = new QTableWidget(this);
    FDataGrid->setObjectName(QStringLiteral("sgData"));
    FDataGrid->setColumnCount(ColCount);
    FDataGrid->setHorizontalHeaderLabels({T("序号"), T("组号"), T("龄期"),
                                          ModuleText(test.Data().SizeCaption) + test.Data().SizeUnit,
                                          T("力值") + test.Data().ForceUnit(), MeasuredRateTitle(test.Data()),
                                          SetRateTitle(test.Data())});
    FDataGrid->verticalHeader()->hide();
    FDataGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    col->addWidget(FDataGrid, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    FOkButton = new QPushButton(T("确定"), this);
    FCancelButton = new QPushButton(T("取消"), this);
    FOkButton->setObjectName(QStringLiteral("btnOK"));
    FCancelButton->setObjectName(QStringLiteral("btnCancel"));
    row->addWidget(FOkButton);
    row->addWidget(FCancelButton);
    col->addLayout(row);
    connect(FOkButton, &QPushButton::clicked, this, &TfrmRes::btnOKClick);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Fill();
}

void TfrmRes::Fill()
{
    const QList<TStoredRow> rows = FTest.StoredSpecimens(FGroupNo, FAge);
    const QList<TRateCells> rates = FTest.StoredRates(FGroupNo, FAge, rows);
    FDataGrid->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const TStoredRow &row = rows[r];
        auto value = [&](const char *name) {
            for (auto it = row.begin(); it != row.end(); ++it)
                if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    return it.value();
            return QString();
        };
        const QStringList cells = {value("ShunXu"), value("ZuHao"), value("LingQi"),
                                   FTest.RecordSizeTextOf(row), FTest.ForceText(ParseNumber(value("OnekN"))),
                                   rates[r].Shown(), rates[r].Set};
        for (int c = 0; c < ColCount; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c != ColForce)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c == ColRate && rates[r].Flagged) {
                item->setBackground(QColor(QLatin1String(FlaggedBackground)));
                item->setForeground(QColor(QLatin1String(FlaggedText)));
            }
            FDataGrid->setItem(r, c, item);
        }
    }
}

void TfrmRes::btnOKClick()
{
    // Every force must be a number before anything is written.
    QStringList statements;
    for (int r = 0; r < FDataGrid->rowCount(); ++r) {
        bool ok = false;
        const double shown = ParseNumber(FDataGrid->item(r, ColForce)->text().trimmed(), &ok);
        bool okNo = false;
        const int no = FDataGrid->item(r, ColNo)->text().toInt(&okNo);
        if (!ok || !okNo || shown < 0.0) {
            MsgError(ModuleText(FTest.Data().SaveErrorMessage), this);
            return;
        }
        statements << SpecimenForceSql(FTest.Data(), FGroupNo, FAge, no, shown * FTest.Data().ForceDivisor());
    }
    try {
        for (const QString &sql : statements)
            KV_MODULE_EXEC_ROWS(FTest.FConnection, sql, 1);
    } catch (const EModuleWrite &) {
        MsgError(ModuleText(FTest.Data().SaveErrorMessage), this);
        return;
    }
    MsgInfo(ModuleText(FTest.Data().SavedMessage), this);
    accept();
}

} // namespace kv::fw
