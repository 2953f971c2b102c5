// Backup and restore of the parameter set as INI files: round trip, a file
// of another model, a file of another family, unreadable values and the
// automatic file name.
#include "ParamTestSupport.h"
#include "link/ParamBackup.h"
#include "link/ParamSet.h"

#include "Clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kv::TBaseParams;
using kv::TParamBackup;

namespace {

enum { KVD300 = 0, KVD510 = 1 };

class ParamBackup : public ::testing::Test {
protected:
    void Make(int type)
    {
        params.reset();
        box = paramtest::MemoryBox(type, memory);
        params = std::make_unique<TBaseParams>(*box);
    }
    int Cap(const char *caption) const { return params->IndexOfCaption(QString::fromUtf8(caption)); }
    QString File(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray Read(const QString &file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Write(const QString &file, const QByteArray &text) const
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    kv::TVirtualClock clock;
    kv::TClockGuard guard{&clock};
    QTemporaryDir dir;
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<kv::TCtrlBox> box;
    std::unique_ptr<TBaseParams> params;
};

} // namespace

TEST_F(ParamBackup, RestoreGivesBackTheSavedValuesAndASnapshotOfTheOnesBefore)
{
    Make(KVD510);
    for (int i = 0; i < params->Count(); ++i)
        params->SetValue(i, 100 + i);
    const std::vector<int> saved = params->Snapshot();
    ASSERT_TRUE(TParamBackup::Backup(*params, File("a.ini")));
    EXPECT_TRUE(Read(File("a.ini")).contains(QString::fromUtf8("系统最大力=100").toUtf8())) << "plain UTF-8 keys";
    for (int i = 0; i < params->Count(); ++i)
        params->SetValue(i, 7);

    const auto r = TParamBackup::Restore(*params, File("a.ini"));
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Message, QString::fromUtf8("还原成功!"));
    EXPECT_EQ(r.Snapshot, std::vector<int>(size_t(params->Count()), 7));
    EXPECT_EQ(params->Snapshot(), saved);

    Make(KVD300);
    ASSERT_TRUE(TParamBackup::Backup(*params, File("a.ini")));
    EXPECT_FALSE(Read(File("a.ini")).contains("[KVD-510]")) << "a backup replaces the file";
}

TEST_F(ParamBackup, BoxBackupHoldsTheKnownBoxValuesOnly)
{
    Make(KVD510);
    const int known = Cap("系统最大力");
    params->SetBoxValue(known, 250000);
    params->SetValue(known, 300000);
    ASSERT_TRUE(TParamBackup::BackupBox(*params, File("box.ini")));
    EXPECT_TRUE(Read(File("box.ini")).isEmpty()) << "nothing is known before a read";
    memory->Words[36] = 250;
    params->ReadBox();
    ASSERT_TRUE(TParamBackup::BackupBox(*params, File("box.ini")));
    EXPECT_FALSE(Read(File("box.ini")).contains(QString::fromUtf8("起始力值=").toUtf8())) << "not a box item";
    params->SetValue(known, 1);
    ASSERT_TRUE(TParamBackup::Restore(*params, File("box.ini")).Ok);
    EXPECT_EQ(params->Value(known), params->BoxValue(known));
    EXPECT_FALSE(TParamBackup::Backup(*params, File("box.ini/sub.ini"))) << "a file that cannot be written";
}

TEST_F(ParamBackup, AFileOfAnotherModelChangesNothing)
{
    Make(KVD510);
    Write(File("b.ini"), QString::fromUtf8("[KVD-300]\n系统最大力=5\n").toUtf8());
    const std::vector<int> before = params->Snapshot();
    const auto r = TParamBackup::Restore(*params, File("b.ini"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, QString::fromUtf8("该文件没有包含KVD-510的信息,可能不是正确的文件。"));
    EXPECT_EQ(params->Snapshot(), before);
    EXPECT_FALSE(TParamBackup::Restore(*params, File("missing.ini")).Ok);
}

TEST_F(ParamBackup, AFileOfTheOtherFamilyRestoresTheSharedCaptionsOnly)
{
    Make(KVD300);
    for (int i = 0; i < params->Count(); ++i)
        params->SetValue(i, 1);
    ASSERT_TRUE(TParamBackup::Backup(*params, File("c.ini")));
    QByteArray text = Read(File("c.ini")).replace("[KVD-300]", "[KVD-510]");
    Write(File("c.ini"), text + QString::fromUtf8("是否进行抗压保护=1\n").toUtf8());

    Make(KVD510);
    for (int i = 0; i < params->Count(); ++i)
        params->SetValue(i, 9);
    ASSERT_TRUE(TParamBackup::Restore(*params, File("c.ini")).Ok);
    EXPECT_EQ(params->Value(Cap("系统最大力")), 1);
    EXPECT_EQ(params->Value(Cap("第12点力值")), 1);
    EXPECT_EQ(params->Value(Cap("是否进行抗折保护")), 9) << "not in the 300 family";
    EXPECT_EQ(params->Value(Cap("抗折保护力码阈值")), 9);
}

TEST_F(ParamBackup, AnUnreadableValueBecomesZero)
{
    Make(KVD510);
    params->SetValue(Cap("系统最大力"), 5);
    params->SetValue(Cap("起始力值"), 5);
    Write(File("d.ini"), QString::fromUtf8("[KVD-510]\n系统最大力=abc\n起始力值=12\n").toUtf8());
    ASSERT_TRUE(TParamBackup::Restore(*params, File("d.ini")).Ok);
    EXPECT_EQ(params->Value(Cap("系统最大力")), 0);
    EXPECT_EQ(params->Value(Cap("起始力值")), 12);
}

TEST_F(ParamBackup, AutomaticFileNameCarriesDateAndTime)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7, 31));
    const QString name = TParamBackup::AutoBackupFileName(at, dir.path());
    EXPECT_EQ(name, dir.path() + QStringLiteral("/BackUp/24-03-05 14.07.31.ini"));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("BackUp"))).exists());
}
