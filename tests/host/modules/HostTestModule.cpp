// A small test module for the host tests: one test class whose name, machine
// mask and menu section come from its build, a parameter form, and a table
// of its own that says which groups are stored and whether they finished.
#include "TestModule.h"
#include "SqlText.h"
#include "db/DbEngine.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>

namespace {

struct TVariant {
    const char *Name;
    quint32 Mask;
    quint8 Group;
};
// Chinese names, as real modules have.
const TVariant kVariants[] = {
    {QT_TRANSLATE_NOOP("THostTest", "试验甲"), 2, 2}, {QT_TRANSLATE_NOOP("THostTest", "试验乙"), 4, 1},
    {QT_TRANSLATE_NOOP("THostTest", "试验丙"), 6, 1}, {QT_TRANSLATE_NOOP("THostTest", "试验丁"), 1, 1},
    {QT_TRANSLATE_NOOP("THostTest", "试验戊"), 3, 3}, {QT_TRANSLATE_NOOP("THostTest", "试验己"), 7, 0},
};

class THostTest : public kv::TBaseTest {
public:
    explicit THostTest(int variant) : FVariant(kVariants[variant]) {}
    ~THostTest() override { delete FForm; }

    void GetTestName(QString &Name) override
    {
        FTestName = QCoreApplication::translate("THostTest", FVariant.Name);
        FGroupData.FStandard = QStringLiteral("GB/T 0000-2000");
        FMachineMask = FVariant.Mask;
        FMenuGroup = FVariant.Group;
        Name = FTestName;
    }

    bool InitTables() override
    {
        if (!FConnection)
            return false;
        if (!FConnection->tableExists(QStringLiteral("HostGroups")))
            FConnection->execute(QStringLiteral("Create Table HostGroups (zuhao text, expobj text, state integer)"));
        return true;
    }

    QWidget *CreateParamForm(QWidget *Owner) override
    {
        delete FForm;
        FForm = new QWidget(Owner);
        FForm->setObjectName(QStringLiteral("HostTestForm"));
        auto *col = new QVBoxLayout(FForm);
        auto *title = new QLabel(FTestName, FForm);
        title->setStyleSheet(QStringLiteral("QLabel { font: bold 14pt; background: #dfe8f6; padding: 6px; }"));
        col->addWidget(title);
        col->addWidget(new QLabel(QStringLiteral("试件编号"), FForm));
        auto *group = new QLineEdit(FGroupNo, FForm);
        group->setObjectName(QStringLiteral("edtGroupNo"));
        col->addWidget(group);
        col->addStretch(1);
        return FForm;
    }

    // 0 none, else the stored state (1 complete, 2 unfinished).
    int CheckGroupState() override { return State(); }

    bool ResumeGroup() override
    {
        FCurrent = 3;
        return SetState(QStringLiteral("3"));
    }
    bool CloseUnfinishedGroup() override { return SetState(QStringLiteral("1")); }

private:
    QString Where() const
    {
        return QStringLiteral(" where zuhao = ") + kv::QuotedStr(FGroupNo) + QStringLiteral(" and expobj = ") +
               kv::QuotedStr(FTestName);
    }
    int State() const
    {
        kv::db::TDbQuery q(*FConnection);
        q.setSql(QStringLiteral("select state from HostGroups") + Where());
        q.open();
        return q.recordCount() ? static_cast<int>(q.fieldByName(QStringLiteral("state")).asInteger()) : 0;
    }
    bool SetState(const QString &state)
    {
        FConnection->execute(QStringLiteral("update HostGroups set state = ") + state + Where());
        return true;
    }

    TVariant FVariant;
    QPointer<QWidget> FForm;
};

class TVariantTest : public THostTest {
public:
    TVariantTest() : THostTest(HM_VARIANT) {}
};

} // namespace

#if HM_EXPORTS == 0
KV_TEST_MODULE(TVariantTest)
#elif HM_EXPORTS == 1
// No "Init"; two tests in one call.
extern "C" Q_DECL_EXPORT void GetBaseTests(kv::TBaseTests &Tests)
{
    Tests = {new THostTest(HM_VARIANT), new THostTest(HM_VARIANT2)};
}
#else
// "Init" only: not a test module.
extern "C" Q_DECL_EXPORT bool Init(QApplication *, QScreen *) { return true; }
#endif
