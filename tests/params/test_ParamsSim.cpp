// The parameter set against the simulated box over a pseudo-terminal, in
// real time: upload (read box), comparison, download of what differs, taking
// the box's values over, and a fresh installation against a fresh box.
#include "SimProcess.h"

#include "link/ParamSet.h"
#include "link/CtrlBox.h"
#include "store/DataModule.h"

#include "Clock.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using linktest::TPortFolder;
using linktest::TSim;
using kv::TBaseParams;
using kv::TCtrlBox;

namespace {

const char *const kModels[] = {"KVD300", "KVD510", "KVD520", "KVD300_DJ", "KVD510_DJ", "KVD520_DJ"};

// A fresh installation (database with the factory sets, the parameter set
// installed in every driver) and a private program folder for the ports.
class ParamsSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<kv::TZovData>(fresh.path);
        kv::SetZovData(zov.get());
        kv::InstallBaseParamsFactory();
    }
    void TearDown() override
    {
        TCtrlBox::SetParamSetFactory(nullptr);
        kv::SetZovData(nullptr);
    }

    // The driver of the model on port 1 of the folder, brought up as the main
    // window does before the comparison: streaming off.
    std::unique_ptr<TCtrlBox> Contact(int type)
    {
        auto box = kv::CreateCtrlBox(type);
        const QString dir = folder.Path();
        box->SetSerialFactory([dir] { return std::make_unique<kv::TMSComm>(dir); });
        EXPECT_TRUE(box->Init());
        EXPECT_TRUE(box->OpenPort());
        box->SetADState(2);
        kv::Sleep(100);
        return box;
    }
    static TBaseParams &Set(TCtrlBox &box)
    {
        auto *set = dynamic_cast<TBaseParams *>(box.ParamSet());
        EXPECT_TRUE(set);
        return *set;
    }
    // The word the simulated box holds at an address.
    static int Word(TSim &sim, int address)
    {
        const QString reply = sim.Send(QStringLiteral("param %1").arg(address));
        const QString head = QStringLiteral("%1 = ").arg(address);
        const int at = reply.indexOf(head);
        return at < 0 ? -1 : reply.mid(at + head.size()).section(QLatin1Char('\n'), 0, 0).toInt();
    }
    QString StoredValue(const QString &key, const char *name)
    {
        const auto row = zov->Open(QStringLiteral("select [Value] from CtrlBoxSaveItems where CtrlBox = '%1' and Name = '%2'")
                                       .arg(key, QLatin1String(name)));
        if (!row || row->recordCount() != 1)
            return QStringLiteral("<none>");
        return row->fieldByName(QStringLiteral("Value")).asString();
    }

    kvtest::TFreshDb fresh;
    std::unique_ptr<kv::TZovData> zov;
    TPortFolder folder;
};

} // namespace

TEST_F(ParamsSim, FreshInstallationAgreesWithAFreshBoxOnEveryModel)
{
    for (int type = 0; type < kv::BoxModelCount; ++type) {
        SCOPED_TRACE(kModels[type]);
        TSim sim(folder, QLatin1String(kModels[type]), 1, {QStringLiteral("--noise"), QStringLiteral("0")});
        ASSERT_TRUE(sim.WaitReady());
        auto box = Contact(type);
        EXPECT_EQ(box->ParamDiffCount, -1);
        box->CompareParams();
        TBaseParams &set = Set(*box);
        EXPECT_EQ(set.ReadFailures(), 0);
        EXPECT_EQ(box->ParamDiffCount, 0);
        for (int i = 0; i < set.Count(); ++i)
            if (set.Differs(i))
                ADD_FAILURE() << set.Item(i).Def->Name << ": box " << set.BoxValue(i) << ", stored " << set.Value(i);
        box->Finish();
    }
}

TEST_F(ParamsSim, UploadDownloadAndTakeOverOnEachFamily)
{
    // One model of each family; the 520 side shares the two-channel box.
    for (int type : {0, 1, 2}) {
        SCOPED_TRACE(kModels[type]);
        TSim sim(folder, QLatin1String(kModels[type]), 1, {QStringLiteral("--noise"), QStringLiteral("0")});
        ASSERT_TRUE(sim.WaitReady());
        auto box = Contact(type);
        TBaseParams &set = Set(*box);
        const int off = box->Model().Family.ParamOffset;
        const QString key = set.Key();

        // The box's words become the box-side copies in driver units.
        ASSERT_TRUE(sim.Ok(QStringLiteral("param %1 %2").arg(36 + off).arg(type == 2 ? 9000 : 250)));
        EXPECT_EQ(set.ReadBox(), 0);
        const int maxLoad = set.IndexOf(type == 0 ? QStringLiteral("FmaxLoad") : QStringLiteral("FMaxLoad"));
        EXPECT_EQ(set.BoxValue(maxLoad), type == 2 ? 9000 : 250000);
        EXPECT_EQ(set.Compare(1), 1);
        EXPECT_EQ(box->ParamDiffCount, 1);

        // Download: the differing maximum force and two changes of ours,
        // one of them a two-word code.
        box->FValveInit += 1000;
        box->FLoadCode[4] = 100000;
        const int valveInit = box->FValveInit;
        box->UseSoftwareParams();
        EXPECT_EQ(box->ParamDiffCount, 0);
        EXPECT_EQ(Word(sim, 36 + off), type == 2 ? 10000 : (type == 0 ? 2000 : 300));
        EXPECT_EQ(Word(sim, 38 + off), valveInit);
        EXPECT_EQ(Word(sim, 13 + off), 1);
        EXPECT_EQ(Word(sim, 14 + off), 34464);
        box->CompareParams();
        EXPECT_EQ(box->ParamDiffCount, 0) << "the box now holds the software's set";

        // Take over a change made at the box, and store it.
        ASSERT_TRUE(sim.Ok(QStringLiteral("param %1 %2").arg(55 + off).arg(4321)));
        box->CompareParams();
        EXPECT_EQ(box->ParamDiffCount, 1);
        box->UseBoxParams();
        box->SaveParams();
        EXPECT_EQ(box->FValveBack, 4321);
        EXPECT_EQ(box->ParamDiffCount, 0);
        EXPECT_EQ(StoredValue(key, type == 0 ? "FValveBreak" : "FValveBack"), "4321");
        EXPECT_EQ(StoredValue(key, "FLoadCode5"), QString::number(box->FLoadCode[4]));
        box->Finish();
    }
}
