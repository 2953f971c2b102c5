// The parameter-difference dialog on a box memory and the test database:
// its buttons, each choice confirmed or not, the backups and the details.
#include "ParamTestSupport.h"
#include "link/ParamSet.h"
#include "store/DataModule.h"
#include "ui/params/DifferenceDialog.h"

#include "MessageService.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace kv;

namespace {

class DifferenceDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        zov = std::make_unique<TZovData>(fresh.path);
        box = paramtest::MemoryBox(1, memory);
        params = std::make_unique<TBaseParams>(*box, &zov->conZovDb);
        params->LoadParams();
        for (int i = 0; i < params->Count() && b < 0; ++i)
            if (params->Item(i).Def->InBox() && !params->Item(i).Def->TwoWords() && params->Item(i).Def->BoxScale == 1)
                (a < 0 ? a : b) = i;
        for (int i = 0; i < params->Count(); ++i)
            params->SetValue(i, 0);
        params->SetValue(a, 7);
        params->SetValue(b, 9);
        ASSERT_EQ(params->CompareParams(), 2);
        dialog = std::make_unique<TfrmMessage>(*params, 2, TfrmMessage::TMode::Choice, dir.path());
        dialog->show();
        memory->Writes.clear();
    }
    QPushButton *Button(const char *name) { return dialog->findChild<QPushButton *>(QLatin1String(name)); }
    QByteArray Backup() const
    {
        const QStringList files = QDir(dir.filePath("BackUp")).entryList({"*.ini"});
        QFile f(dir.filePath("BackUp/" + files.value(0)));
        return files.size() == 1 && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray Line(int i, int v) const { return ("\n" + params->Item(i).StoredCaption + "=" + QString::number(v) + "\n").toUtf8(); }

    kvtest::TFreshDb fresh = kvtest::FreshDatabase();
    std::unique_ptr<TZovData> zov;
    std::shared_ptr<paramtest::TBoxMemory> memory;
    std::unique_ptr<TCtrlBox> box;
    std::unique_ptr<TBaseParams> params;
    int a = -1, b = -1;
    QTemporaryDir dir;
    TRecordingMessageService messages;
    TMessageGuard guard{&messages};
    std::unique_ptr<TfrmMessage> dialog;
};

} // namespace

TEST_F(DifferenceDialog, ChoiceModeShowsItsButtonsAndTheCount)
{
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("提示"));
    EXPECT_EQ(dialog->findChild<QLabel *>("Label1")->text(), QString::fromUtf8("软件与控制箱之间有2个参数不一致,请判断"));
    for (const char *name : {"Button1", "Button2", "Button3", "BitBtn1"})
        EXPECT_TRUE(Button(name)->isVisible()) << name;
    EXPECT_FALSE(Button("Button4")->isVisible());
    EXPECT_EQ(Button("Button1")->toolTip(), QString::fromUtf8("以电脑为准，修改控制箱参数"));
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    TfrmMessage notice(*params, 3, TfrmMessage::TMode::Notice);
    QCoreApplication::removeTranslator(&english);
    notice.show();
    EXPECT_TRUE(notice.findChild<QPushButton *>("Button4")->isVisible());
    EXPECT_FALSE(notice.findChild<QPushButton *>("Button1")->isVisible());
    EXPECT_EQ(notice.findChild<QLabel *>("Label1")->text(),
              "3 parameters differ between the software and the controller box; please decide");
}

TEST_F(DifferenceDialog, SoftwareChoiceNoWritesNothingYesWritesAndReadsBack)
{
    messages.queueAnswer(TMsgResult::No);
    Button("Button1")->click();
    EXPECT_EQ(messages.lastText(), QString::fromUtf8("系统将以软件参数为准,请再次确认"));
    EXPECT_TRUE(messages.messages().last().defaultNo) << "Enter must not overwrite the box";
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(memory->Writes.isEmpty());
    EXPECT_EQ(box->ParamDiffCount, 2);

    messages.queueAnswer(TMsgResult::Yes);
    Button("Button1")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(memory->Word(params->Item(a).Def->Address), 7);
    EXPECT_EQ(box->ParamDiffCount, 0);
    EXPECT_EQ(messages.messages().size(), 2) << messages.lastText().toStdString();
    EXPECT_TRUE(Backup().contains(Line(a, 0)));
}

TEST_F(DifferenceDialog, BoxChoiceStoresTheBoxValuesAfterBackingUpTheSoftware)
{
    messages.queueAnswer(TMsgResult::Yes);
    Button("Button2")->click();
    EXPECT_EQ(messages.lastText(), QString::fromUtf8("系统将以控制箱参数为准,请再次确认"));
    EXPECT_EQ(box->ParamDiffCount, 0);
    EXPECT_EQ(params->Value(a), 0);
    EXPECT_TRUE(Backup().contains(Line(a, 7)));
    params->SetValue(a, 99);
    params->LoadParams();
    EXPECT_EQ(params->Value(a), 0) << "stored in the database";
}

TEST_F(DifferenceDialog, DetailsShowTheParameterPagesWithTheDifferingRowsAndToggleBack)
{
    QApplication::processEvents();
    const QSize size = dialog->size();
    Button("BitBtn1")->click();
    QApplication::processEvents();
    EXPECT_TRUE(dialog->DetailsShown());
    EXPECT_GT(dialog->height(), size.height());
    QTabWidget *pages = dialog->DetailPages();
    ASSERT_NE(pages, nullptr);
    EXPECT_TRUE(dialog->isAncestorOf(pages));
    EXPECT_FALSE(pages->isTabVisible(4)) << "maintenance pages only for the maintenance user";
    int highlighted = 0;
    for (QLineEdit *e : pages->findChildren<QLineEdit *>()) {
        EXPECT_TRUE(e->isReadOnly());
        highlighted += !e->styleSheet().isEmpty();
    }
    // b is a plain number (a, a code, shows as the same zero force here).
    EXPECT_EQ(highlighted, 1);
    const auto *boxB = pages->findChild<QLineEdit *>(QStringLiteral("edBox") + QLatin1String(params->Item(b).Def->Name));
    ASSERT_NE(boxB, nullptr);
    EXPECT_FALSE(boxB->styleSheet().isEmpty());
    EXPECT_TRUE(pages->currentWidget()->isAncestorOf(boxB)) << "its page in front";
    dialog->grab().save(QStringLiteral("/tmp/TfrmMessage.png"));
    Button("BitBtn1")->click();
    QApplication::processEvents();
    EXPECT_EQ(dialog->size(), size);
    Button("BitBtn1")->click();
    EXPECT_EQ(dialog->DetailPages(), pages) << "the same pages again";
}
