// Parameter backup files: round trip, another model, another family,
// unreadable values, the box-side backup and the automatic file name.
#include "ParamTestSupport.h"
#include "link/ParamBackup.h"
#include "link/ParamSet.h"

#include "Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kv::TParamBackup;

namespace {

class ParamBackup : public ::testing::Test {
protected:
    void Make(int type, int value) // 0 KVD300, 1 KVD510; every item set to value
    {
        params.reset();
        box = paramtest::MemoryBox(type, memory);
        params = std::make_unique<kv::TBaseParams>(*box);
        for (int i = 0; i < params->Count(); ++i)
            params->SetValue(i, value);
    }
    int Val(const char *caption) const { return params->Value(params->IndexOfCaption(QString::fromUtf8(caption))); }
    QByteArray Text() const { QFile f(file); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }
    void Write(const QByteArray &text) const { QFile f(file); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); f.write(text); }

    kv::TVirtualClock clock;
    kv::TClockGuard guard{&clock};
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("b.ini"));
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<kv::TCtrlBox> box;
    std::unique_ptr<kv::TBaseParams> params;
};

} // namespace

TEST_F(ParamBackup, RoundTripWithSnapshotAndWrongModel)
{
    Make(1, 100);
    ASSERT_TRUE(TParamBackup::Backup(*params, file));
    EXPECT_TRUE(Text().startsWith("[KVD-510]\n") && Text().contains(QString::fromUtf8("\n系统最大力=100\n").toUtf8()));
    const std::vector<int> saved = params->Snapshot();
    for (int i = 0; i < params->Count(); ++i)
        params->SetValue(i, 7);
    const auto r = TParamBackup::Restore(*params, file);
    EXPECT_EQ(r.Message, QString::fromUtf8("还原成功!"));
    EXPECT_EQ(r.Snapshot, std::vector<int>(saved.size(), 7));
    EXPECT_EQ(params->Snapshot(), saved);

    Write(QString::fromUtf8("[KVD-300]\n系统最大力=5\n").toUtf8());
    const auto wrong = TParamBackup::Restore(*params, file);
    EXPECT_FALSE(wrong.Ok);
    EXPECT_EQ(wrong.Message, QString::fromUtf8("该文件没有包含KVD-510的信息,可能不是正确的文件。"));
    EXPECT_EQ(params->Snapshot(), saved);
    EXPECT_FALSE(TParamBackup::Backup(*params, file + QStringLiteral("/x.ini")));
}

TEST_F(ParamBackup, OtherFamilyFileTakesSharedCaptionsAndUnreadableIsZero)
{
    Make(0, 1);
    ASSERT_TRUE(TParamBackup::Backup(*params, file));
    Write(Text().replace("[KVD-300]", "[KVD-510]") + QString::fromUtf8("起始力值=abc\n").toUtf8());
    Make(1, 9);
    ASSERT_TRUE(TParamBackup::Restore(*params, file).Ok);
    EXPECT_EQ(Val("系统最大力"), 1);
    EXPECT_EQ(Val("起始力值"), 0);
    EXPECT_EQ(Val("抗折保护力码阈值"), 9) << "not in the 300 family";
}

TEST_F(ParamBackup, BoxBackupHoldsKnownBoxValuesOnly)
{
    Make(1, 5);
    memory->Words[36] = 250;
    params->ReadBox();
    ASSERT_TRUE(TParamBackup::BackupBox(*params, file));
    EXPECT_TRUE(Text().contains(QString::fromUtf8("系统最大力=250000").toUtf8()));
    EXPECT_FALSE(Text().contains(QString::fromUtf8("起始力值").toUtf8())) << "not a box item";
}

TEST_F(ParamBackup, AutomaticFileName)
{
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7, 31));
    EXPECT_EQ(TParamBackup::AutoBackupFileName(at, dir.path()), dir.path() + QStringLiteral("/BackUp/24-03-05 14.07.31.ini"));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("BackUp"))).isDir());
}
