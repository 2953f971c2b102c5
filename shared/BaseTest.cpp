#include "BaseTest.h"

#include "CurveFile.h"
#include "SqlText.h"
#include "db/DbEngine.h"

namespace kv {

QString TSpecialList::Strings(int index) const
{
    return index >= 0 && index < Count() ? m_items[index].first : QString();
}

TSpecial *TSpecialList::Objects(int index) const
{
    return index >= 0 && index < Count() ? m_items[index].second.get() : nullptr;
}

void TSpecialList::AddObject(const QString &text, std::unique_ptr<TSpecial> special)
{
    m_items.emplace_back(text, std::move(special));
}

TBaseTest::TBaseTest() = default;

TBaseTest::~TBaseTest() = default;

void TBaseTest::GetTestName(QString &Name) { Name = FTestName; }

void TBaseTest::SetConnection(db::TDbConnection *Conn) { FConnection = Conn; }

bool TBaseTest::InitTables() { return true; }

QWidget *TBaseTest::CreateParamForm(QWidget *) { return nullptr; }

int TBaseTest::CheckGroupState()
{
    if (!FConnection)
        return 0;
    try {
        db::TDbQuery query(*FConnection);
        query.setSql(QStringLiteral("select * from resgro where zuhao = ") + QuotedStr(FGroupNo) +
                     QStringLiteral(" and lingqi = ") + QuotedStr(FAge) + QStringLiteral(" and expobj = ") +
                     QuotedStr(FTestName));
        query.open();
        return query.recordCount() > 0 ? 1 : 0;
    } catch (const db::EDatabaseError &) {
        return 0;
    }
}

bool TBaseTest::ResumeGroup() { return true; }

bool TBaseTest::CloseUnfinishedGroup() { return true; }

void TBaseTest::BeginGroup(QString &) {}

void TBaseTest::BeginSpecimen(QString &) {}

void TBaseTest::EndSpecimen(bool) {}

void TBaseTest::EndGroup() {}

void TBaseTest::BuildSearchSQL(int, const QString &, QString &, const QString &) {}

bool TBaseTest::PrintReport(const QString &) { return true; }

QDialog *TBaseTest::CreateResultForm(const QString &, QWidget *) { return nullptr; }

void TBaseTest::BuildRecordSQL(const QString &, quint8, QString &, int, const QString &, const QString &,
                               const QString &, const QString &)
{
}

int TBaseTest::GetDefaultUnit(int Kind) { return Kind == 0 ? 1 : 0; }

void TBaseTest::SelectRecord(db::TDbQuery *, QString &Text) { Text.clear(); }

void TBaseTest::GetCurveFileName(QString &Name) { Name = FTestName + FGroupNo; }

void TBaseTest::SetSpecimenCount(int N) { FGroupSize = N; }

void TBaseTest::CreateSpecimens(int N)
{
    FSpecimenCount = N;
    for (int i = 0; i < N; ++i)
        FSpecials.AddObject(QString::number(i), std::make_unique<TSpecial>());
}

void TBaseTest::SetContinuous(quint8 Value) { FContinuous = Value; }

void TBaseTest::ReadCurve(int Index, TCurvePoints &Points) { Points = ReadCurveFile(FCurveFile, Index); }

TSpecial *TBaseTest::GetSpecial(int Index) const { return FSpecials.Objects(Index); }

QString TBaseTest::TestName()
{
    QString name;
    GetTestName(name);
    return name;
}

QString TBaseTest::CurveFileName()
{
    QString name;
    GetCurveFileName(name);
    return name;
}

} // namespace kv
