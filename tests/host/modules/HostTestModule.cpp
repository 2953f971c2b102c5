// A test module for the host tests. Its build picks the variant: name,
// machine mask and menu section. A table of its own says which groups are
// stored (state 1 complete, 2 unfinished, 3 resumed).
#include "TestModule.h"
#include "SqlText.h"
#include "db/DbEngine.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

const char *const kNames[] = {QT_TRANSLATE_NOOP("THostTest", "试验甲"), QT_TRANSLATE_NOOP("THostTest", "试验乙"),
                              QT_TRANSLATE_NOOP("THostTest", "试验丙"), QT_TRANSLATE_NOOP("THostTest", "试验丁"),
                              QT_TRANSLATE_NOOP("THostTest", "试验戊"), QT_TRANSLATE_NOOP("THostTest", "试验己")};
const quint32 kMasks[] = {2, 4, 6, 1, 3, 7};
const quint8 kSections[] = {2, 1, 1, 1, 3, 0};

class THostTest : public kv::TBaseTest {
public:
    explicit THostTest(int variant = HM_VARIANT) : FVariant(variant) {}
    ~THostTest() override { delete FForm; }

    void GetTestName(QString &Name) override
    {
        FTestName = QCoreApplication::translate("THostTest", kNames[FVariant]);
        FMachineMask = kMasks[FVariant];
        FMenuGroup = kSections[FVariant];
        Name = FTestName;
    }
    bool InitTables() override
    {
        if (!FConnection->tableExists(QStringLiteral("HostGroups")))
            FConnection->execute(QStringLiteral("Create Table HostGroups (zuhao text, expobj text, state integer)"));
        return true;
    }
    QWidget *CreateParamForm(QWidget *Owner) override
    {
        delete FForm;
        FForm = new QWidget(Owner);
        auto *col = new QVBoxLayout(FForm);
        auto *title = new QLabel(FTestName, FForm);
        title->setStyleSheet(QStringLiteral("QLabel { font: bold 14pt; background: #dfe8f6; padding: 6px; }"));
        col->addWidget(title);
        col->addWidget(new QLabel(QStringLiteral("试件编号: ") + FGroupNo, FForm));
        col->addStretch(1);
        return FForm;
    }
    int CheckGroupState() override
    {
        kv::db::TDbQuery q(*FConnection);
        q.setSql(QStringLiteral("select state from HostGroups") + Where());
        q.open();
        return q.recordCount() ? static_cast<int>(q.fieldByName(QStringLiteral("state")).asInteger()) : 0;
    }
    bool ResumeGroup() override
    {
        FCurrent = 3;
        return FConnection->execute(QStringLiteral("update HostGroups set state = 3") + Where()) == 1;
    }
    bool CloseUnfinishedGroup() override
    {
        return FConnection->execute(QStringLiteral("update HostGroups set state = 1") + Where()) == 1;
    }

private:
    QString Where() const
    {
        return QStringLiteral(" where zuhao = ") + kv::QuotedStr(FGroupNo) + QStringLiteral(" and expobj = ") +
               kv::QuotedStr(FTestName);
    }
    int FVariant;
    QPointer<QWidget> FForm;
};

} // namespace

#if HM_EXPORTS == 0
KV_TEST_MODULE(THostTest)
#elif HM_EXPORTS == 1
// No "Init"; two tests in one call.
extern "C" Q_DECL_EXPORT void GetBaseTests(kv::TBaseTests &Tests)
{
    Tests = {new THostTest(HM_VARIANT), new THostTest(HM_VARIANT2)};
}
#elif HM_EXPORTS == 2
// "Init" only: not a test module.
extern "C" Q_DECL_EXPORT bool Init(QApplication *, QScreen *) { return true; }
#else
// None of the three: a shared library that is no test module.
extern "C" Q_DECL_EXPORT int PlainLibraryVersion() { return sizeof(THostTest); }
#endif
