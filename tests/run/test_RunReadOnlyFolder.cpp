// A run whose curve folder cannot be written: the broken specimen is still
// handed to its test (which stores it), the lost curve is reported.
#include "RunTestSupport.h"
#include "TestSupport.h"

#include <QFile>

using namespace runtest;

TEST(RunWithReadOnlyCurveFolder, TheSpecimenIsStoredAndTheLostCurveReported)
{
    TRunRig rig;
    rig.Open();
    rig.Box->Loading = Specimen(64000.0f);
    const QString out = rig.OutDir.path();
    ASSERT_TRUE(QFile::setPermissions(out, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    kvtest::AsOrdinaryUser([&] {
        ASSERT_TRUE(rig.Run->StartRun());
        rig.RunToEnd();
    });
    QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(rig.Probe->Valid, QList<bool>{true});
    EXPECT_NEAR(rig.Probe->Forces[0], 64000.0, 500.0);
    EXPECT_EQ(rig.Messages.lastText(), QStringLiteral("试样1的曲线没有写入曲线文件"));
    EXPECT_FALSE(QFile::exists(kv::CurveFilePath(*rig.Probe, out)));
    EXPECT_FALSE(rig.Run->Active());
}
