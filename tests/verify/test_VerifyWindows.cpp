// Both windows offscreen against a box memory and a fresh database: the
// check parameters' grid, lists and messages; the force-code editor's grids,
// row commands, pop-up cells, 修正 and 还原, its download with progress into
// the box's words, the driver and the database, and a database that refuses
// the table or a box that does not keep it.
#include "ParamTestSupport.h"
#include "ui/verify/CheckParamDialog.h"
#include "ui/verify/CheckWindow.h"
#include "ui/verify/ExamCaptionsDialog.h"
#include "ui/verify/ExamReport.h"
#include "ui/verify/PointGrid.h"
#include "ui/verify/SetportDialog.h"
#include "verify/CodeDownload.h"
#include "link/ParamSet.h"
#include "store/BoxSaveItems.h"
#include "store/DataModule.h"
#include "store/GlobalParams.h"

#include "Clock.h"
#include "MessageService.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTimer>
#include <QApplication>
#include <QTranslator>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace kv;
using kvtest::Child;

namespace {

class VerifyWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh = kvtest::FreshDatabase();
        zov = std::make_unique<TZovData>(fresh.path);
        SetZovData(zov.get());
        InstallBaseParamsFactory();
    }
    void TearDown() override
    {
        TCtrlBox::SetParamSetFactory(nullptr);
        SetZovData(nullptr);
    }
    // A KVD510 (or other) driver on a box memory, its set loaded from the database.
    void Make(int type = 1)
    {
        box = paramtest::MemoryBox(type, memory);
        box->Online = 1;
    }
    QString Stored(const char *name)
    {
        return BoxItemValue(*zov, QString::fromLatin1(box->Model().Key), QLatin1String(name)).value_or("<none>");
    }
    void Click(QWidget &w, const char *button) { Child<QPushButton>(w, button)->click(); }
    static void SetCell(TPointGrid *g, int row, int column, const QString &text)
    {
        g->item(row, column)->setText(text);
    }
    // Runs the loop until the download in window w has finished.
    static void WaitDownload(TfrmSetport &w)
    {
        QEventLoop loop;
        QObject::connect(&w.Download(), &TCodeDownload::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (w.Download().Running())
            loop.exec();
    }

    TVirtualClock clock;
    TClockGuard guard{&clock};
    TRecordingMessageService messages;
    TMessageGuard messageGuard{&messages};
    kvtest::TFreshDb fresh;
    std::unique_ptr<TZovData> zov;
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<TCtrlBox> box;
    TMyGlbParam glb;
};

} // namespace

TEST_F(VerifyWindows, CheckParametersShowCheckAndConfirm)
{
    Make();
    ASSERT_TRUE(zov->WriteNumSingle(1100, 2400));
    ASSERT_TRUE(zov->WriteNumSingle(1101, 300));
    glb.Settings.AutoFastSlow = 1;
    glb.CheckCount = 3;
    glb.CheckForce = {30000, 60000, 90000};
    TfrmCheckParam w(*box, zov.get(), glb, QStringLiteral("kN"), 1000);
    TPointGrid *grid = w.Grid();
    auto *fast = Child<QComboBox>(w, "ComboBox1");
    auto *slow = Child<QComboBox>(w, "ComboBox2");
    auto *advance = Child<QLineEdit>(w, "edtAdvance");
    EXPECT_EQ(grid->Column(1), (QStringList{"30", "60", "90"}));
    EXPECT_EQ(grid->item(0, 0)->text(), "  第1点");
    EXPECT_EQ(fast->currentText(), "2.4");
    EXPECT_EQ(slow->count(), 6);
    EXPECT_EQ(advance->text(), "4.8") << "no stored advance: the default";
    EXPECT_EQ(Child<QLabel>(w, "Label3")->text(), "提示 ： 允许检测的最大力为300kN");
    w.show();
    w.grab().save(QStringLiteral("/tmp/verify_checkparam.png"));

    // Pop-up only over the label column of a point.
    EXPECT_TRUE(grid->PopupAllowed(1, 0));
    EXPECT_FALSE(grid->PopupAllowed(1, 1));
    EXPECT_FALSE(grid->PopupAllowed(3, 0));
    fast->setCurrentText("5.0");
    EXPECT_EQ(advance->text(), "10.0");
    Child<QRadioButton>(w, "rbManual")->setChecked(true);
    EXPECT_FALSE(advance->isVisible());
    Child<QRadioButton>(w, "rbAutomatic")->setChecked(true);
    EXPECT_TRUE(advance->isVisible());

    // Row commands: twelve at most, one at least.
    for (int i = 0; i < 12; ++i)
        Click(w, "BitBtn1");
    EXPECT_EQ(grid->rowCount(), 12);
    for (int i = 0; i < 12; ++i)
        Click(w, "BitBtn2");
    EXPECT_EQ(grid->rowCount(), 1);
    Click(w, "BitBtn1");
    SetCell(grid, 1, 1, "30");
    Click(w, "BitBtn5");
    EXPECT_EQ(messages.lastText(), "检测点输入有误") << "30 after 30";
    // A cell still being edited counts with what was typed.
    grid->setCurrentCell(1, 1);
    grid->editItem(grid->item(1, 1));
    QApplication::processEvents();
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    editor->setText("120");
    advance->setText("0.1");
    Click(w, "BitBtn5");
    EXPECT_EQ(messages.lastText(), "慢速提前量范围出错");
    EXPECT_FALSE(w.Confirmed());
    advance->setText("12");
    Click(w, "BitBtn5");
    EXPECT_TRUE(w.Confirmed());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(memory->Word(37), 5000);
    EXPECT_EQ(glb.CheckCount, 2);
    EXPECT_FLOAT_EQ(glb.CheckForce[1], 120000.0f);
    float stored = 0;
    EXPECT_TRUE(zov->ReadNumSingle(20003, stored));
    EXPECT_FLOAT_EQ(stored, 12000.0f);
}

TEST_F(VerifyWindows, ForceCodeEditorTakesTheCalibrationAndDownloadsIt)
{
    Make();
    // The calibration run took three points.
    glb.RecordedCount = 3;
    glb.CheckForce = {10000, 20000, 30000};
    glb.CheckCode = {1000, 2100, 3300};
    TfrmSetport w(*box, glb, QStringLiteral("kN"), 1000);
    int stores = 0;
    w.SetStoreResults([&] {
        ++stores;
        EXPECT_TRUE(memory->Writes.isEmpty()) << "the results are stored before the download";
        return true;
    });
    EXPECT_FALSE(w.DirectMode());
    EXPECT_EQ(w.Calibrated()->Column(2), (QStringList{"1000", "2100", "3300"}));
    EXPECT_EQ(w.Existing()->rowCount(), 10) << "the factory table's ten points";
    EXPECT_EQ(w.Existing()->Column(1).first(), "30");
    EXPECT_EQ(Child<QLabel>(w, "lblHint")->text(), "提示： 允许设置的最大力为300kN");
    EXPECT_TRUE(w.Existing()->PopupAllowed(0, 1));
    EXPECT_FALSE(w.Existing()->PopupAllowed(0, 0)) << "not over the number column";
    EXPECT_FALSE(w.Calibrated()->PopupAllowed(0, 1));
    w.show();
    w.grab().save(QStringLiteral("/tmp/verify_setport.png"));

    Click(w, "btnCorrect");
    EXPECT_EQ(w.Existing()->Column(1), (QStringList{"10", "20", "30"}));
    Click(w, "btnRevert");
    EXPECT_EQ(w.Existing()->rowCount(), 10);
    Click(w, "btnCorrect");
    SetCell(w.Existing(), 0, 2, "-5");
    Click(w, "btnOK");
    EXPECT_EQ(messages.lastText(), "力码输入出错");
    EXPECT_EQ(stores, 0);
    SetCell(w.Existing(), 0, 2, "1000");

    bool shown = false;
    QObject::connect(&w.Download(), &TCodeDownload::progress, &w, [&] {
        if (!shown && w.ProgressWindow()->isVisible())
            shown = w.ProgressWindow()->grab().save(QStringLiteral("/tmp/verify_progress.png"));
    });
    Click(w, "btnOK");
    EXPECT_FALSE(Child<QPushButton>(w, "btnOK")->isEnabled()) << "busy while the box is written";
    WaitDownload(w);
    EXPECT_TRUE(shown);
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(w.Download().Outcome(), TCodeDownload::TOutcome::Done) << messages.lastText().toStdString();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    // Point 5 of the box (entry 4) is the extrapolated one: 40 kN, code 4500.
    EXPECT_EQ(memory->Word(12), 40);
    EXPECT_EQ(memory->Word(13), 0);
    EXPECT_EQ(memory->Word(14), 4500);
    EXPECT_EQ(box->FLoadValue[3], 30000);
    EXPECT_EQ(box->FLoadCode[4], 4500);
    EXPECT_EQ(Stored("FLoadValue5"), "40000");
    EXPECT_EQ(Stored("FLoadCode4"), "3300");
    EXPECT_EQ(Stored("FLoadValue7"), "0");
    EXPECT_EQ(glb.CalCount, 3);
    EXPECT_EQ(box->ParamDiffCount, -1) << "never compared, nothing made to differ";
    EXPECT_EQ(memory->Writes.first(), qMakePair(0, 0));
}

// The database refuses the table: the box gets the old one back, and both
// sides keep it (a box that does not keep the table: the simulator's tests).
TEST_F(VerifyWindows, AFailedSaveLeavesBothSidesOnTheOldTable)
{
    Make();
    const std::array<int, 12> oldCodes = box->FLoadCode;
    // A trigger of the database refuses one of the 24 rows.
    QSqlQuery sql(zov->conZovDb.database());
    ASSERT_TRUE(sql.exec("create trigger refuse before update on CtrlBoxSaveItems when new.Name = 'FLoadCode7' "
                         "begin select raise(abort, 'refused'); end"));
    TfrmSetport w(*box, glb, QStringLiteral("kN"), 1000);
    SetCell(w.Existing(), 0, 2, "20000");
    SetCell(w.Existing(), 1, 2, "40000");
    Click(w, "btnOK");
    WaitDownload(w);
    EXPECT_EQ(w.Download().Outcome(), TCodeDownload::TOutcome::StoreFailed);
    EXPECT_TRUE(w.Download().BoxRestored());
    EXPECT_TRUE(messages.lastText().startsWith("保存到数据库出错\n控制箱已恢复原来的力码表"));
    EXPECT_EQ(w.result(), 0) << "the window stays open";
    EXPECT_EQ(memory->Word(5), oldCodes[1] & 0xFFFF) << "the box has its old code of point 2 again";
    EXPECT_EQ(Stored("FLoadCode2"), QString::number(oldCodes[1])) << "rolled back with the refused row";
    EXPECT_EQ(box->FLoadCode, oldCodes);

}

TEST_F(VerifyWindows, DirectModeShowsTheExistingTableAlone)
{
    Make(2);
    glb.SetPortFromMain = true;
    glb.RecordedCount = 2;
    TfrmSetport w(*box, glb, QStringLiteral("N"), 1);
    EXPECT_TRUE(w.DirectMode());
    w.show();
    EXPECT_FALSE(Child<QWidget>(w, "gbCalibrated")->isVisible());
    EXPECT_FALSE(Child<QPushButton>(w, "btnCorrect")->isVisible());
    w.grab().save(QStringLiteral("/tmp/verify_setport_direct.png"));
    for (int i = 0; i < 3; ++i)
        Click(w, "btnAdd");
    EXPECT_EQ(w.Existing()->rowCount(), 12);
    Click(w, "btnAdd");
    EXPECT_EQ(w.Existing()->rowCount(), 12);
    box->Online = 0;
    Click(w, "btnOK");
    EXPECT_EQ(messages.lastText(), "无法联系控制器,系统无法正常运行,请检查控制器是否打开!");
    EXPECT_TRUE(memory->Writes.isEmpty());
    Click(w, "btnCancel");
    EXPECT_FALSE(glb.SetPortFromMain);
}

// With the English texts installed no caption, heading or message of either
// window, nor a text of the verification record, is left in Chinese.
TEST_F(VerifyWindows, EveryTextHasItsEnglish)
{
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    const auto chinese = &kvtest::HasChinese;
    const auto check = [&](QWidget &w) {
        EXPECT_EQ(kvtest::ChineseCaptions(w), QStringList());
        QStringList texts;
        for (auto *grid : w.findChildren<TPointGrid *>()) {
            for (int c = 0; c < grid->columnCount(); ++c)
                texts << grid->horizontalHeaderItem(c)->text();
            for (QAction *a : grid->Popup() ? grid->Popup()->actions() : QList<QAction *>())
                texts << a->text();
            if (grid->rowCount() > 0)
                texts << grid->item(0, 0)->text();
        }
        for (const QString &t : texts)
            EXPECT_FALSE(chinese(t)) << t.toStdString();
    };
    Make();
    glb.CheckCount = 1;
    glb.CheckForce[0] = 30000;
    TfrmCheckParam params(*box, zov.get(), glb, QStringLiteral("kN"), 1000);
    check(params);
    Child<QComboBox>(params, "ComboBox1")->setCurrentText("x");
    Click(params, "BitBtn5");
    TfrmSetport setport(*box, glb, QStringLiteral("kN"), 1000);
    check(setport);
    check(*setport.ProgressWindow());
    setport.show();
    setport.grab().save(QStringLiteral("/tmp/verify_setport_en.png"));
    for (int a = 0; a < 36; ++a)
        memory->Silent.insert(a);
    SetCell(setport.Existing(), 0, 2, "-5");
    Click(setport, "btnOK");
    SetCell(setport.Existing(), 0, 2, "20000");
    Click(setport, "btnOK");
    WaitDownload(setport);
    for (const QString &t : messages.texts())
        EXPECT_FALSE(chinese(t)) << t.toStdString();
    EXPECT_EQ(messages.texts().size(), 3);
    // The verification record under each verdict (no series, one, three in
    // and out of class): its drawn texts apart from the lab's own lines.
    TCheckSeries series;
    series.Points = {{50000, 50100, 1, 0.2f}};
    for (int n : {0, 1, 3, -3}) {
        TExamReportData d;
        d.Unit = QStringLiteral("kN");
        d.Rows = {{"50", "50.100", "1", "0.200"}};
        d.Series.assign(size_t(std::abs(n)), series);
        if (n < 0)
            d.Series.back().Points[0].Measured = 60000;
        if (n == 3)
            TfrmExamreport(d).ToPdf(QStringLiteral("/tmp/exam_report_en.pdf"));
        for (const TExamPage &page : TfrmExamreport(d).Layout(680, 1000))
            for (const TExamItem &item : page)
                EXPECT_FALSE(chinese(item.Content)) << item.Content.toStdString();
    }
    TfrmExamCaptions captions(*zov);
    check(captions);
    // The verification window in both modes, its grid and every stop text.
    for (auto mode : {TMyGlbParam::TCheckMode::Verification, TMyGlbParam::TCheckMode::Calibration}) {
        glb.CheckMode = mode;
        TfrmCheck window(*box, glb, zov.get(), QStringLiteral("kN"), 1000);
        window.show();
        check(window);
        QTableWidget *grid = window.Grid();
        for (int c = 0; c < grid->columnCount(); ++c)
            EXPECT_FALSE(chinese(grid->horizontalHeaderItem(c)->text()));
        ASSERT_GT(grid->rowCount(), 0);
        EXPECT_FALSE(chinese(grid->item(0, 0)->text()));
        QCoreApplication::processEvents();
        window.grab().save(QStringLiteral("/tmp/verify_check_en.png"));
        window.Run().Close();
    }
    for (int reason = 1; reason <= 6; ++reason)
        EXPECT_FALSE(chinese(TCheckRun::StopText(TCheckStop(reason))));
    QCoreApplication::removeTranslator(&english);
}
