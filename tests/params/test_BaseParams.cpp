// The parameter set without a database: display and entry conversions,
// validation, box read and write against a box memory, comparison and the
// copies between the two sides.
#include "ParamTestSupport.h"
#include "link/ParamSet.h"

#include "Clock.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

using kv::TBaseParams;
using kv::TCtrlBox;
using paramtest::MemoryBox;
using paramtest::TBoxMemory;

// Readable QString values in failure messages.
void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

enum { KVD300 = 0, KVD510 = 1, KVD520 = 2, KVD300_DJ = 3, KVD510_DJ = 4, KVD520_DJ = 5 };

class BaseParams : public ::testing::Test {
protected:
    // A driver of the model on a box memory, and its parameter set.
    void Make(int type)
    {
        params.reset();
        box = MemoryBox(type, memory);
        params = std::make_unique<TBaseParams>(*box);
    }
    int Ix(const char *name) const
    {
        const int i = params->IndexOf(QString::fromLatin1(name));
        EXPECT_GE(i, 0) << name;
        return i;
    }
    // A calibration table of the 300 kN frame: 30 kN per 21150 codes.
    void Calibrate()
    {
        for (int k = 0; k < 4; ++k) {
            box->FLoadValue[size_t(k)] = 30000 * k;
            box->FLoadCode[size_t(k)] = 21150 * k;
        }
    }

    kv::TVirtualClock clock;
    kv::TClockGuard guard{&clock};
    std::shared_ptr<TBoxMemory> memory;
    std::unique_ptr<TCtrlBox> box;
    std::unique_ptr<TBaseParams> params;
};

} // namespace

// --- display and entry --------------------------------------------------------

TEST_F(BaseParams, MaximumForceIsShownInKiloNewtonsExceptOnTheFlexureSide)
{
    Make(KVD510);
    box->FMaxLoad = 300000;
    EXPECT_EQ(params->ShowValue(Ix("FMaxLoad")), "300");
    int v = 0;
    ASSERT_TRUE(params->EnterValue(Ix("FMaxLoad"), " 300 ", v));
    EXPECT_EQ(v, 300000);
    EXPECT_FALSE(params->EnterValue(Ix("FMaxLoad"), "300.5", v)) << "an integer item takes no decimals";
    EXPECT_FALSE(params->EnterValue(Ix("FMaxLoad"), "", v));

    Make(KVD520);
    box->FMaxLoad = 30000;
    EXPECT_EQ(params->ShowValue(Ix("FMaxLoad")), "30000");
    ASSERT_TRUE(params->EnterValue(Ix("FMaxLoad"), "30000", v));
    EXPECT_EQ(v, 30000);
}

TEST_F(BaseParams, ForceItemsShowTwoDecimalsAndTakeDecimalEntries)
{
    Make(KVD510);
    box->FStartJudge = 8000;
    box->FProtectLoad = 15;
    box->FBreakValue = 2500;
    EXPECT_EQ(params->ShowValue(Ix("FStartJudge")), "8.00");
    EXPECT_EQ(params->ShowValue(Ix("FProtectLoad")), "15.00") << "held in display units";
    EXPECT_EQ(params->ShowValue(Ix("FBreakValue")), "2.50");
    int v = 0;
    ASSERT_TRUE(params->EnterValue(Ix("FStartJudge"), "8.5", v));
    EXPECT_EQ(v, 8500);
    ASSERT_TRUE(params->EnterValue(Ix("FStartJudge"), "1,25", v)) << "a comma is a decimal point too";
    EXPECT_EQ(v, 1250);
    ASSERT_TRUE(params->EnterValue(Ix("FProtectLoad"), "15.4", v));
    EXPECT_EQ(v, 15);
    EXPECT_FALSE(params->EnterValue(Ix("FStartJudge"), "8kN", v));

    Make(KVD520);
    box->FStartJudge = 300;
    EXPECT_EQ(params->ShowValue(Ix("FStartJudge")), "300.00");
}

TEST_F(BaseParams, ControlEntryIsAForceCodeShownAsAForce)
{
    Make(KVD510);
    Calibrate();
    box->FCtrlEntry = 2115;
    EXPECT_EQ(params->ShowValue(Ix("FCtrlEntry")), "3.00");
    int v = 0;
    ASSERT_TRUE(params->EnterValue(Ix("FCtrlEntry"), "3", v));
    EXPECT_EQ(v, 2115);
    ASSERT_TRUE(params->EnterValue(Ix("FCtrlEntry"), "6.00", v));
    EXPECT_EQ(v, 4230);
    // The box column uses the same conversion.
    params->SetBoxValue(Ix("FCtrlEntry"), 4230);
    EXPECT_EQ(params->ShowBoxValue(Ix("FCtrlEntry")), "6.00");
}

TEST_F(BaseParams, SameTextComparesNumbersOfTheItemsKind)
{
    Make(KVD510);
    EXPECT_TRUE(params->SameText(Ix("FStartJudge"), "3.0", "3.00"));
    EXPECT_FALSE(params->SameText(Ix("FStartJudge"), "3.01", "3.00"));
    EXPECT_TRUE(params->SameText(Ix("FValveInit"), "24000", " 24000"));
    EXPECT_FALSE(params->SameText(Ix("FValveInit"), "24000", "24000.0"));
    EXPECT_FALSE(params->SameText(Ix("FValveInit"), "", ""));
}

// --- validation --------------------------------------------------------------------

TEST_F(BaseParams, RelativeLimitsFollowTheEnteredMaximumForce)
{
    Make(KVD510);
    const int ce = Ix("FCtrlEntry");
    EXPECT_EQ(params->Validate(ce, "0.27", 300), "");
    EXPECT_EQ(params->Validate(ce, "16.5", 300), "");
    EXPECT_EQ(params->Validate(ce, "17", 300), "控制入口力值输入不正确0.3-16.5");
    EXPECT_EQ(params->Validate(ce, "0.26", 300), "控制入口力值输入不正确0.3-16.5");
    EXPECT_EQ(params->Validate(ce, "17", 400), "") << "the bounds move with the maximum force";
    EXPECT_EQ(params->Validate(Ix("FPIDSect2"), "80", 300), "区别23段的力值输入不正确81.0-264.0");
}

TEST_F(BaseParams, AbsoluteLimitsDependOnTheModel)
{
    Make(KVD510);
    EXPECT_EQ(params->Validate(Ix("FMaxLoad"), "650", 0), "");
    EXPECT_EQ(params->Validate(Ix("FMaxLoad"), "651", 0), "系统最大力输入不正确5.0-650.0");
    EXPECT_EQ(params->Validate(Ix("FPIDLoadKP1"), "2001", 0), "正常控制的第一段KP输入不正确1.0-2000.0");
    EXPECT_EQ(params->Validate(Ix("FPIDLoadKP1"), "0", 0), "正常控制的第一段KP输入不正确1.0-2000.0");

    Make(KVD510_DJ);
    EXPECT_EQ(params->Validate(Ix("FMaxLoad"), "501", 0), "系统最大力输入不正确5.0-500.0");
    EXPECT_EQ(params->Validate(Ix("FPIDLoadKP1"), "65535", 0), "");
    EXPECT_EQ(params->Validate(Ix("FPIDKeepKI3"), "65536", 0), "定荷控制的第三段KI输入不正确1.0-65535.0");

    Make(KVD520_DJ);
    EXPECT_EQ(params->Validate(Ix("FMaxLoad"), "20001", 0), "系统最大力输入不正确1000.0-20000.0");
    Make(KVD300);
    EXPECT_EQ(params->Validate(Ix("FmaxLoad"), "10000", 0), "");
}

TEST_F(BaseParams, AnEntryMustBeANumberNotBelowZero)
{
    Make(KVD510);
    EXPECT_EQ(params->Validate(Ix("FCtrlEntry"), "abc", 300), "控制入口力值输入不正确");
    EXPECT_EQ(params->Validate(Ix("FValveInit"), "-1", 0), "阀口初始开度输入不正确");
    EXPECT_EQ(params->Validate(Ix("FValveInit"), "24000.5", 0), "阀口初始开度输入不正确");
    // The box column is checked without limits.
    EXPECT_EQ(params->Validate(Ix("FValveInit"), "99999", 0, false), "");
    EXPECT_EQ(params->Validate(Ix("FValveInit"), "-5", 0, false), "阀口初始开度输入不正确");
    // The break criteria come from check boxes: any mask.
    EXPECT_EQ(params->Validate(Ix("FJudgeMethod"), "7", 0), "");
}

TEST_F(BaseParams, ValidateColumnUsesTheColumnsOwnMaximumForce)
{
    Make(KVD510);
    QStringList texts;
    for (int i = 0; i < params->Count(); ++i)
        texts << QString();   // no entry
    texts[Ix("FMaxLoad")] = "300";
    texts[Ix("FCtrlEntry")] = "16.5";
    EXPECT_EQ(params->ValidateColumn(texts), "");
    texts[Ix("FMaxLoad")] = "200";
    EXPECT_EQ(params->ValidateColumn(texts), "控制入口力值输入不正确0.2-11.0");
    texts[Ix("FMaxLoad")] = "x";
    EXPECT_EQ(params->ValidateColumn(texts), "系统最大力输入不正确") << "the first failing item is reported";
}

// --- box exchange ------------------------------------------------------------------

TEST_F(BaseParams, TwoWordCodeIsWrittenHighWordFirst)
{
    Make(KVD510);
    box->FLoadCode[4] = 100000;   // FLoadCode5
    const int c5 = Ix("FLoadCode5");
    params->RevertParams();
    params->SetDiffers(c5, true);
    EXPECT_EQ(params->WriteBox(), 0);
    ASSERT_EQ(memory->Writes.size(), 2);
    EXPECT_EQ(memory->Writes[0], qMakePair(13, 1));
    EXPECT_EQ(memory->Writes[1], qMakePair(14, 34464));
    EXPECT_FALSE(params->Differs(c5));
    EXPECT_EQ(box->ParamDiffCount, 0);

    // Read back: both words combined into the box-side copy.
    params->SetBoxValue(c5, 0);
    memory->Reads.clear();
    EXPECT_EQ(params->ReadBox(), 0);
    EXPECT_EQ(params->BoxValue(c5), 100000);
    EXPECT_EQ(memory->Reads.indexOf(13) + 1, memory->Reads.indexOf(14));
}

TEST_F(BaseParams, ForcesGoToTheBoxInTheFamilysUnit)
{
    Make(KVD510);
    box->FMaxLoad = 300000;
    params->UseSoftwareParams();
    EXPECT_EQ(memory->Word(36), 300);
    memory->Words[36] = 250;
    params->ReadBox();
    EXPECT_EQ(params->BoxValue(Ix("FMaxLoad")), 250000);
    EXPECT_EQ(params->ShowBoxValue(Ix("FMaxLoad")), "250");

    Make(KVD520);
    box->FMaxLoad = 30000;
    box->FValveMiddle = 12000;
    box->FLoadCode[4] = 100000;
    params->UseSoftwareParams();
    EXPECT_EQ(memory->Word(136), 30000);
    EXPECT_EQ(memory->Word(75), 12000) << "the shared valve middle";
    EXPECT_EQ(memory->Word(113), 1);
    EXPECT_EQ(memory->Word(114), 34464);
    EXPECT_EQ(memory->Word(36), 0) << "nothing of the compression side is touched";
}

TEST_F(BaseParams, SoftwareParamsWriteEveryBoxWordOfAnUnreadBoxThenNothingDiffers)
{
    Make(KVD300);
    for (int i = 0; i < params->Count(); ++i) {
        // Forces held in whole kN, as the box keeps them.
        const bool kilo = params->Item(i).Def->BoxScale < 1;
        params->SetValue(i, (100 + i) * (kilo ? 1000 : 1));
    }
    params->UseSoftwareParams();
    // 45 box items, 12 of them in two words.
    EXPECT_EQ(params->BoxItemCount(), 45);
    EXPECT_EQ(memory->Writes.size(), 57);
    EXPECT_EQ(box->ParamDiffCount, 0);
    EXPECT_EQ(params->CompareParams(), 0);
    EXPECT_EQ(box->ParamDiffCount, 0);

    // Only what differs goes out the next time.
    memory->Writes.clear();
    memory->Words[42] = 7;     // FPIDLoadKP1 changed at the box
    EXPECT_EQ(params->CompareParams(), 1);
    EXPECT_TRUE(params->Differs(Ix("FPIDLoadKP1")));
    params->UseSoftwareParams();
    ASSERT_EQ(memory->Writes.size(), 1);
    EXPECT_EQ(memory->Writes[0].first, 42);
    EXPECT_EQ(memory->Word(42), params->Value(Ix("FPIDLoadKP1")));
}

TEST_F(BaseParams, UnreadableWordsCountAsDifferencesAndAreNotTakenOver)
{
    Make(KVD510);
    const int c5 = Ix("FLoadCode5");
    const int kp = Ix("FPIDLoadKP1");
    box->FLoadCode[4] = 65536;
    memory->Words[13] = 1;       // high word of FLoadCode5 readable
    memory->Silent = {14};       // its low word is not
    memory->Words[42] = 333;
    EXPECT_EQ(params->ReadBox(), 1);
    EXPECT_EQ(params->ReadFailures(), 1);
    EXPECT_TRUE(params->Item(c5).BoxUnknown);
    EXPECT_EQ(params->BoxValue(c5), 65536) << "the unread word counts as 0";
    EXPECT_GE(params->Compare(1), 2);
    EXPECT_TRUE(params->Differs(c5)) << "an unknown box value is never taken as equal";

    params->UseBoxParams();
    EXPECT_EQ(box->FPIDLoadKP1, 333);
    EXPECT_EQ(box->FLoadCode[4], 65536) << "the stored code is kept";
    EXPECT_EQ(box->ParamDiffCount, 1);
    EXPECT_EQ(params->Value(kp), 333);
}

TEST_F(BaseParams, AValueThatDoesNotFitTheBoxWordIsNotSent)
{
    Make(KVD520);
    box->FLoadValue[11] = 100000;   // 100 kN on the flexure side: above one word
    params->RevertParams();
    params->SetDiffers(Ix("FLoadValue12"), true);
    EXPECT_EQ(params->WriteBox(), 1);
    EXPECT_TRUE(memory->Writes.isEmpty());
    EXPECT_TRUE(params->Differs(Ix("FLoadValue12")));
    EXPECT_EQ(box->ParamDiffCount, 1) << "the run stays refused while the box differs";
}

TEST_F(BaseParams, WritesToAClosedPortAreCountedAsDifferences)
{
    Make(KVD510);
    box->FMaxLoad = 300000;
    box->Line()->Close();
    params->UseSoftwareParams();
    EXPECT_EQ(box->ParamDiffCount, params->BoxItemCount());
}

TEST_F(BaseParams, ProgressCountsTheItemsOfEachPass)
{
    Make(KVD510);
    int last = -1, total = -1, calls = 0;
    auto progress = [&](int done, int all) { last = done; total = all; ++calls; };
    params->ReadBox(progress);
    EXPECT_EQ(total, params->BoxItemCount());
    EXPECT_EQ(last, total);
    EXPECT_EQ(calls, total);
    params->SetDiffers(Ix("FMaxLoad"), true);
    params->SetDiffers(Ix("FForcedLoad"), true);   // not in the box: ignored
    calls = 0;
    params->WriteBox(progress);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(total, 1);
}

// --- through the driver ------------------------------------------------------------

namespace {

struct FactoryGuard {
    FactoryGuard() { kv::InstallBaseParamsFactory(); }
    ~FactoryGuard() { TCtrlBox::SetParamSetFactory({}); }
};

} // namespace

TEST_F(BaseParams, DriverKeepsTheOutcomeOfTheDifferenceHandler)
{
    FactoryGuard factory;
    box = MemoryBox(KVD510, memory);
    auto *set = dynamic_cast<TBaseParams *>(box->ParamSet());
    ASSERT_TRUE(set);
    EXPECT_EQ(box->ParamDiffCount, -1);
    box->FMaxLoad = 300000;
    box->FValveInit = 24000;

    int seen = -1, seenMode = -1;
    set->SetDifferencesHandler([&](int count, int mode) {
        seen = count;
        seenMode = mode;
        box->UseSoftwareParams();    // "the software's values are right"
    });
    box->CompareParams();
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(seenMode, 1);
    EXPECT_EQ(box->ParamDiffCount, 0) << "the download settled the differences";
    EXPECT_EQ(memory->Word(36), 300);
    EXPECT_EQ(memory->Word(38), 24000);

    set->SetDifferencesHandler({});
    memory->Words[38] = 20000;
    box->CompareParams();
    EXPECT_EQ(box->ParamDiffCount, 1) << "without a dialog the count is kept";
    box->UseBoxParams();
    EXPECT_EQ(box->FValveInit, 20000);
    EXPECT_EQ(box->ParamDiffCount, 0);
}

// --- the rest of the item table --------------------------------------------------

TEST_F(BaseParams, JudgeFlagsFollowTheMaskBits)
{
    Make(KVD510);
    box->FJudgeMethod = 6;
    params->FlagsFromMethod();
    EXPECT_TRUE(box->FJudgeFlags.Force);
    EXPECT_TRUE(box->FJudgeFlags.Speed);
    EXPECT_FALSE(box->FJudgeFlags.Valve);
    box->FJudgeMethod = 8 | 1;
    params->FlagsFromMethod();
    EXPECT_EQ(box->FJudgeFlags, (kv::TJudgeFlags{false, false, true}));
    params->MethodFromFlags();
    EXPECT_EQ(box->FJudgeMethod, 1) << "other bits are dropped";
}

TEST_F(BaseParams, CaptionsChoicesAndSnapshots)
{
    Make(KVD510_DJ);
    const int vi = Ix("FValveInit");
    EXPECT_EQ(params->Item(vi).Caption, "初始开度");
    EXPECT_EQ(params->Item(vi).StoredCaption, "阀口初始开度");
    EXPECT_EQ(params->IndexOfCaption("阀口初始开度"), vi);
    EXPECT_EQ(params->IndexOfCaption("系统最大力"), 0);
    EXPECT_EQ(params->ChoiceTexts(Ix("FUseProtect")), (QStringList{"是", "否"}));
    EXPECT_EQ(params->ChoiceTexts(Ix("FJudgeLoadPointType")), (QStringList{"多点判断", "一点判断"}));
    EXPECT_EQ(params->DisplayName(), "KVD-510_DJ");
    EXPECT_EQ(params->Key(), "KVD510_DJ");

    box->FValveInit = 111;
    box->FJudgeMethod = 4;
    const std::vector<int> before = params->Snapshot();
    box->FValveInit = 222;
    box->FJudgeMethod = 2;
    params->RestoreSnapshot(before);
    EXPECT_EQ(box->FValveInit, 111);
    EXPECT_TRUE(box->FJudgeFlags.Force);
}

// --- English ---------------------------------------------------------------------

TEST(BaseParamsEnglish, CaptionsChoicesAndMessagesComeFromTheTranslation)
{
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    std::shared_ptr<TBoxMemory> memory;
    auto box = MemoryBox(KVD510_DJ, memory);
    TBaseParams params(*box);
    QCoreApplication::removeTranslator(&english);

    EXPECT_EQ(params.Item(0).Caption, "Maximum force of the system");
    EXPECT_EQ(params.Item(0).StoredCaption, "系统最大力") << "backup keys stay the same in every language";
    EXPECT_EQ(params.Item(params.IndexOf("FValveInit")).Caption, "Initial opening");
    QCoreApplication::installTranslator(&english);
    EXPECT_EQ(params.Validate(0, "501", 0), "Maximum force of the system: invalid entry 5.0-500.0");
    EXPECT_EQ(params.ChoiceTexts(params.IndexOf("FUseProtect")), (QStringList{"Yes", "No"}));
    QCoreApplication::removeTranslator(&english);
}
