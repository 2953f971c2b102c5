// The four user windows at widget level: their controls and captions, the
// login's clock, Enter and cancel, and the user management buttons driving
// the add and change dialogs without a modal loop.
#include "UsersTestSupport.h"

#include "store/PasswordCode.h"
#include "ui/dialogs/LoginDialog.h"
#include "ui/dialogs/UserManagementDialog.h"
#include "ui/dialogs/AddUserDialog.h"
#include "ui/dialogs/ChangePasswordDialog.h"
#include "Clock.h"

#include <QComboBox>
#include <QLabel>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>

using namespace kv;
using userstest::TUsersDb;
using kvtest::Child;

namespace {

void Type(QLineEdit *edit, const QString &text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

} // namespace

// ---------------------------------------------------------------------------
// TfrmLogin

using LoginDialogTest = TUsersDb;

TEST_F(LoginDialogTest, ControlsAndCaptions)
{
    TfrmLogin dlg(*Data);
    QComboBox *name = Child<QComboBox>(dlg, "edtName");
    QLineEdit *password = Child<QLineEdit>(dlg, "edtSrc");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("用户登录"));
    EXPECT_TRUE(name->isEditable());
    EXPECT_EQ(name->lineEdit()->maxLength(), 10);
    EXPECT_EQ(name->toolTip(), QStringLiteral("请选择用户名"));
    EXPECT_EQ(password->maxLength(), 15);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->toolTip(), QStringLiteral("在此输入该用户名对应的密码"));
    EXPECT_TRUE(Child<QLineEdit>(dlg, "edtTime")->isReadOnly());
    EXPECT_EQ(Child<QPushButton>(dlg, "btnOk")->text(), QStringLiteral("登录"));
    EXPECT_EQ(Child<QPushButton>(dlg, "btnOut")->text(), QStringLiteral("取消"));
    EXPECT_FALSE(dlg.LoginOk());
    // On creation the name box holds the last user.
    EXPECT_EQ(dlg.UserName(), QStringLiteral("Admin"));
}

TEST_F(LoginDialogTest, ShowFillsTheListAndRunsTheClock)
{
    ASSERT_TRUE(Data->WriteStr(100, QStringLiteral("Tester")));
    TfrmLogin dlg(*Data);
    QComboBox *name = Child<QComboBox>(dlg, "edtName");
    QLineEdit *clock = Child<QLineEdit>(dlg, "edtTime");
    QTimer *clockTimer = Child<QTimer>(dlg, "timerNow");
    EXPECT_FALSE(clockTimer->isActive());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QStringList items;
    for (int i = 0; i < name->count(); ++i)
        items.append(name->itemText(i));
    EXPECT_EQ(items, (QStringList{"Admin", "Tester"}));
    EXPECT_EQ(dlg.UserName(), QStringLiteral("Tester")) << "the last user stays in the box";
    EXPECT_TRUE(Child<QLineEdit>(dlg, "edtSrc")->hasFocus());
    EXPECT_TRUE(clockTimer->isActive());
    EXPECT_EQ(clockTimer->interval(), 1000);
    // The system's short date and the time with seconds.
    EXPECT_TRUE(QRegularExpression(QStringLiteral(".+ \\d\\d:\\d\\d:\\d\\d$")).match(clock->text()).hasMatch())
        << clock->text().toStdString();
    EXPECT_EQ(TfrmLogin::DateTimeText(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))),
              QLocale::system().toString(QDate(2024, 3, 5), QLocale::ShortFormat) + QStringLiteral(" 07:08:09"));
    clock->clear();
    dlg.timerNowTimer();
    EXPECT_FALSE(clock->text().isEmpty());
    Child<QPushButton>(dlg, "btnOut")->click();
    EXPECT_FALSE(clockTimer->isActive()) << "the clock runs only while the dialog is open";
    EXPECT_FALSE(dlg.LoginOk());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(LoginDialogTest, EnterAnywherePressesLogin)
{
    for (int target = 0; target < 3; ++target) {
        SCOPED_TRACE(target);
        TfrmLogin dlg(*Data);
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        QComboBox *name = Child<QComboBox>(dlg, "edtName");
        QLineEdit *password = Child<QLineEdit>(dlg, "edtSrc");
        name->setEditText(QStringLiteral("Tester"));
        Type(password, QStringLiteral("486"));
        QWidget *w = target == 0 ? static_cast<QWidget *>(password)
            : target == 1        ? static_cast<QWidget *>(name->lineEdit())
                                 : static_cast<QWidget *>(Child<QPushButton>(dlg, "btnOut"));
        w->setFocus();
        QTest::keyClick(w, target == 2 ? Qt::Key_Enter : Qt::Key_Return);
        EXPECT_TRUE(dlg.LoginOk());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.UserName(), QStringLiteral("Tester"));
        EXPECT_TRUE(Messages.messages().isEmpty());
    }
}

TEST_F(LoginDialogTest, RejectionsShowTheirMessageAndClearTheBoxes)
{
    TfrmLogin dlg(*Data);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QComboBox *name = Child<QComboBox>(dlg, "edtName");
    QLineEdit *password = Child<QLineEdit>(dlg, "edtSrc");
    QPushButton *login = Child<QPushButton>(dlg, "btnOk");

    name->setEditText(QStringLiteral("Admin"));
    Type(password, QStringLiteral("999"));
    QTest::mouseClick(login, Qt::LeftButton);
    ASSERT_EQ(Messages.messages().size(), 1);
    const TMsgRequest &m = Messages.messages().last();
    EXPECT_EQ(m.text, QStringLiteral("输入的密码不正确"));
    EXPECT_EQ(m.icon, TMsgIcon::Warning);
    EXPECT_EQ(m.buttons, TMsgButtons::Ok);
    EXPECT_TRUE(m.caption.isEmpty() || m.caption == QStringLiteral("提示"));
    EXPECT_EQ(dlg.UserName(), QStringLiteral("Admin"));
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(dlg.isVisible());

    name->setEditText(QStringLiteral("Nobody"));
    Type(password, QStringLiteral("486"));
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("输入的用户不正确"));
    EXPECT_TRUE(dlg.UserName().isEmpty());
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.LoginOk());

    name->setEditText(QStringLiteral("quilmo"));
    Type(password, QStringLiteral("tavrel+tavrel"));
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_TRUE(dlg.LoginOk());
    EXPECT_EQ(dlg.UserName(), QStringLiteral("quilmo"));
    EXPECT_EQ(LastUser(), QStringLiteral("Admin"));
}

TEST_F(LoginDialogTest, WrongPasswordsMakeTheDialogWaitAndSaySo)
{
    TVirtualClock clock;
    TClockGuard guard(&clock);
    TfrmLogin dlg(*Data);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    Child<QComboBox>(dlg, "edtName")->setEditText(QStringLiteral("Admin"));
    QLineEdit *password = Child<QLineEdit>(dlg, "edtSrc");
    QPushButton *login = Child<QPushButton>(dlg, "btnOk");
    QLabel *wait = Child<QLabel>(dlg, "lblWait");
    EXPECT_FALSE(wait->isVisible());
    for (int i = 0; i < 3; ++i) {
        Type(password, QStringLiteral("999"));
        login->click();
    }
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(wait->text(), QStringLiteral("密码错误次数过多,请等待1秒后再试"));
    dlg.grab().save(QStringLiteral("/tmp/login_wait.png"));
    // A try during the wait is told so and not taken; the typed password stays.
    Type(password, QStringLiteral("486"));
    login->click();
    EXPECT_EQ(Messages.lastText(), QStringLiteral("密码错误次数过多,请等待1秒后再试"));
    EXPECT_FALSE(dlg.LoginOk());
    EXPECT_EQ(password->text(), QStringLiteral("486"));
    clock.advance(1000);
    dlg.timerNowTimer();
    EXPECT_FALSE(wait->isVisible());
    login->click();
    EXPECT_TRUE(dlg.LoginOk());
}

TEST_F(LoginDialogTest, EmptyTableShowsAnEmptyList)
{
    Raw(QStringLiteral("delete from Tester"));
    TfrmLogin dlg(*Data);
    dlg.show();
    EXPECT_EQ(Child<QComboBox>(dlg, "edtName")->count(), 0);
    EXPECT_TRUE(Names().isEmpty());
}

// ---------------------------------------------------------------------------
// TfrmAddUser and TfrmRevision

using UserDialogTest = TUsersDb;

TEST_F(UserDialogTest, AddDialogShowsEachMessageAndClosesOnlyAfterTheInsert)
{
    TfrmAddUser dlg(Data->conZovDb);
    QLineEdit *name = Child<QLineEdit>(dlg, "edtName");
    QLineEdit *password = Child<QLineEdit>(dlg, "edtpassone");
    QLineEdit *passwordAgain = Child<QLineEdit>(dlg, "edtpasstwo");
    QPushButton *ok = Child<QPushButton>(dlg, "btnok");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("新增用户"));
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_EQ(Child<QPushButton>(dlg, "btnno")->text(), QStringLiteral("取消"));
    EXPECT_EQ(name->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(passwordAgain->echoMode(), QLineEdit::Password);
    EXPECT_EQ(name->maxLength(), 10);
    dlg.show();

    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("用户名不能为空！"));
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Information);
    EXPECT_TRUE(dlg.isVisible());

    Type(name, QStringLiteral("Li"));
    Type(password, QStringLiteral("1234"));
    Type(passwordAgain, QStringLiteral("4321"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("二次密码不一致"));
    EXPECT_TRUE(dlg.isVisible());

    Type(passwordAgain, QStringLiteral("1234"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("添加用户Li成功！"));
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Information);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(SecretOf(QStringLiteral("Li")), PasswordCode(QStringLiteral("1234")));
}

TEST_F(UserDialogTest, AddDialogStaysOpenOnADatabaseError)
{
    TfrmAddUser dlg(Data->conZovDb);
    QLineEdit *name = Child<QLineEdit>(dlg, "edtName");
    QLineEdit *password = Child<QLineEdit>(dlg, "edtpassone");
    QLineEdit *passwordAgain = Child<QLineEdit>(dlg, "edtpasstwo");
    QPushButton *ok = Child<QPushButton>(dlg, "btnok");
    dlg.show();
    Raw(QStringLiteral("drop table Tester"));
    Type(name, QStringLiteral("Li"));
    Type(password, QStringLiteral("1234"));
    Type(passwordAgain, QStringLiteral("1234"));
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(Messages.messages().size(), 1);
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Error);
    EXPECT_FALSE(Messages.lastText().isEmpty());
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(UserDialogTest, RevisionDialogChangesThePasswordOfTheGivenUser)
{
    TfrmRevision dlg(Data->conZovDb, QStringLiteral("Tester"));
    QLineEdit *oldPassword = Child<QLineEdit>(dlg, "edtOldPass");
    QLineEdit *newPassword = Child<QLineEdit>(dlg, "edtPassOne");
    QLineEdit *newPasswordAgain = Child<QLineEdit>(dlg, "edtPassTwo");
    QLineEdit *name = Child<QLineEdit>(dlg, "edtName");
    QPushButton *ok = Child<QPushButton>(dlg, "BitBtn1");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("密码修改"));
    EXPECT_EQ(name->text(), QStringLiteral("Tester"));
    EXPECT_TRUE(name->isReadOnly());
    for (QLineEdit *e : {oldPassword, newPassword, newPasswordAgain})
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_EQ(Child<QPushButton>(dlg, "BitBtn2")->text(), QStringLiteral("取消"));
    dlg.show();

    Type(oldPassword, QStringLiteral("000"));
    Type(newPassword, QStringLiteral("5678"));
    Type(newPasswordAgain, QStringLiteral("5678"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("原密码不正确"));
    EXPECT_TRUE(dlg.isVisible());

    Type(oldPassword, QStringLiteral("486"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("密码修改成功"));
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Information);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(SecretOf(QStringLiteral("Tester")), PasswordCode(QStringLiteral("5678")));
    EXPECT_EQ(SecretOf(QStringLiteral("Admin")), 269923974);
}

TEST_F(UserDialogTest, RevisionCancelChangesNothing)
{
    TfrmRevision dlg(Data->conZovDb, QStringLiteral("Tester"));
    QLineEdit *oldPassword = Child<QLineEdit>(dlg, "edtOldPass");
    QLineEdit *newPassword = Child<QLineEdit>(dlg, "edtPassOne");
    QLineEdit *newPasswordAgain = Child<QLineEdit>(dlg, "edtPassTwo");
    dlg.show();
    Type(oldPassword, QStringLiteral("486"));
    Type(newPassword, QStringLiteral("5678"));
    Type(newPasswordAgain, QStringLiteral("5678"));
    QTest::mouseClick(Child<QPushButton>(dlg, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(SecretOf(QStringLiteral("Tester")), 269923974);
    EXPECT_TRUE(Messages.messages().isEmpty());
}

// ---------------------------------------------------------------------------
// TfrmUserMng

namespace {

QStringList Row(const QTableWidget *grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells.append(grid->item(row, c) ? grid->item(row, c)->text() : QString());
    return cells;
}

} // namespace

TEST_F(UserDialogTest, UserListGridAndButtons)
{
    TfrmUserMng dlg(Data->conZovDb);
    QPushButton *close = Child<QPushButton>(dlg, "btnOk");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("用户管理"));
    EXPECT_EQ(Child<QPushButton>(dlg, "btnNew")->text(), QStringLiteral("新增用户"));
    EXPECT_EQ(Child<QPushButton>(dlg, "btnDel")->text(), QStringLiteral("删除用户"));
    EXPECT_EQ(Child<QPushButton>(dlg, "btnRedir")->text(), QStringLiteral("修改密码"));
    EXPECT_EQ(close->text(), QStringLiteral("退出"));
    dlg.show();
    QTableWidget *g = Child<QTableWidget>(dlg, "strngrd1");
    ASSERT_EQ(g->columnCount(), 3);
    EXPECT_EQ(g->horizontalHeaderItem(0)->text(), QStringLiteral("序号"));
    EXPECT_EQ(g->horizontalHeaderItem(1)->text(), QStringLiteral("用户名"));
    EXPECT_EQ(g->horizontalHeaderItem(2)->text(), QStringLiteral("权限"));
    ASSERT_EQ(g->rowCount(), 2);
    EXPECT_EQ(Row(g, 0), (QStringList{"   1", "Admin", "Admin"}));
    EXPECT_EQ(Row(g, 1), (QStringList{"   2", "Tester", "Tester"}));
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(UserDialogTest, NewUserThroughTheAddDialogRefreshesTheList)
{
    TfrmUserMng dlg(Data->conZovDb);
    QTableWidget *grid = Child<QTableWidget>(dlg, "strngrd1");
    int opened = 0;
    dlg.ExecDialog = [&](QDialog &d) {
        ++opened;
        auto &add = dynamic_cast<TfrmAddUser &>(d);
        add.show();
        Type(Child<QLineEdit>(add, "edtName"), QStringLiteral("O'Hara"));
        Type(Child<QLineEdit>(add, "edtpassone"), QStringLiteral("abc"));
        Type(Child<QLineEdit>(add, "edtpasstwo"), QStringLiteral("abc"));
        QTest::mouseClick(Child<QPushButton>(add, "btnok"), Qt::LeftButton);
        return add.result();
    };
    dlg.show();
    QTest::mouseClick(Child<QPushButton>(dlg, "btnNew"), Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("添加用户O'Hara成功！"));
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(Row(grid, 2), (QStringList{"   3", "O'Hara", "Tester"}));
}

TEST_F(UserDialogTest, DeleteAsksAndRemovesTheCurrentRow)
{
    TUserAdmin admin(Data->conZovDb);
    ASSERT_TRUE(admin.AddUser(QStringLiteral("O'Hara"), QStringLiteral("abc"), QStringLiteral("abc")).Ok);
    TfrmUserMng dlg(Data->conZovDb);
    QTableWidget *grid = Child<QTableWidget>(dlg, "strngrd1");
    QPushButton *remove = Child<QPushButton>(dlg, "btnDel");
    dlg.show();
    grid->setCurrentCell(2, 0);
    EXPECT_EQ(dlg.CurrentName(), QStringLiteral("O'Hara"));

    Messages.queueAnswer(TMsgResult::No);
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_EQ(Messages.messages().size(), 1);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("是否删除用户：O'Hara?"));
    EXPECT_EQ(Messages.messages().last().buttons, TMsgButtons::YesNo);
    EXPECT_EQ(grid->rowCount(), 3);

    Messages.queueAnswer(TMsgResult::Yes);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester"}));

    // The administrator stays, with a message and no question.
    Messages.clear();
    grid->setCurrentCell(0, 1);
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_EQ(Messages.messages().size(), 1);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("不能删除系统管理员！"));
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Information);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester"}));
}

TEST_F(UserDialogTest, DeleteWithoutAnyRowAsksForASelection)
{
    Raw(QStringLiteral("delete from Tester"));
    TfrmUserMng dlg(Data->conZovDb);
    dlg.show();
    EXPECT_EQ(Child<QTableWidget>(dlg, "strngrd1")->rowCount(), 0);
    QTest::mouseClick(Child<QPushButton>(dlg, "btnDel"), Qt::LeftButton);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("请选择需要删除的用户！"));
    int opened = 0;
    dlg.ExecDialog = [&](QDialog &) { return ++opened, int(QDialog::Rejected); };
    QTest::mouseClick(Child<QPushButton>(dlg, "btnRedir"), Qt::LeftButton);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(Messages.lastText(), QStringLiteral("请选择需要修改密码的用户！"));
}

TEST_F(UserDialogTest, ChangePasswordOpensTheRevisionForTheCurrentRow)
{
    TfrmUserMng dlg(Data->conZovDb);
    QString shownName;
    dlg.ExecDialog = [&](QDialog &d) {
        auto &rev = dynamic_cast<TfrmRevision &>(d);
        shownName = Child<QLineEdit>(rev, "edtName")->text();
        rev.show();
        Type(Child<QLineEdit>(rev, "edtOldPass"), QStringLiteral("486"));
        Type(Child<QLineEdit>(rev, "edtPassOne"), QStringLiteral("abcd"));
        Type(Child<QLineEdit>(rev, "edtPassTwo"), QStringLiteral("abcd"));
        QTest::mouseClick(Child<QPushButton>(rev, "BitBtn1"), Qt::LeftButton);
        return rev.result();
    };
    dlg.show();
    Child<QTableWidget>(dlg, "strngrd1")->setCurrentCell(1, 0);
    QTest::mouseClick(Child<QPushButton>(dlg, "btnRedir"), Qt::LeftButton);
    EXPECT_EQ(shownName, QStringLiteral("Tester"));
    EXPECT_EQ(Messages.lastText(), QStringLiteral("密码修改成功"));
    EXPECT_EQ(SecretOf(QStringLiteral("Tester")), PasswordCode(QStringLiteral("abcd")));
}

TEST_F(UserDialogTest, UnreadableTableShowsTheDatabaseMessage)
{
    Raw(QStringLiteral("drop table Tester"));
    TfrmUserMng dlg(Data->conZovDb);
    dlg.show();
    ASSERT_EQ(Messages.messages().size(), 1);
    EXPECT_EQ(Messages.messages().last().icon, TMsgIcon::Error);
    EXPECT_TRUE(dlg.isVisible());
}

// ---------------------------------------------------------------------------
// English

TEST_F(UserDialogTest, EnglishTextsComeFromTheTranslation)
{
    QTranslator english;
    ASSERT_TRUE(english.load(kvtest::StageDir() + QStringLiteral("/Kalvio6.ENU.qm")));
    QCoreApplication::installTranslator(&english);
    {
        TfrmLogin login(*Data);
        EXPECT_EQ(login.windowTitle(), QStringLiteral("User Login"));
        EXPECT_EQ(Child<QPushButton>(login, "btnOk")->text(), QStringLiteral("Log In"));
        TfrmUserMng users(Data->conZovDb);
        EXPECT_EQ(Child<QPushButton>(users, "btnRedir")->text(), QStringLiteral("Change Password"));
        TfrmAddUser add(Data->conZovDb);
        EXPECT_EQ(add.windowTitle(), QStringLiteral("Add User"));
        TfrmRevision rev(Data->conZovDb, QStringLiteral("Tester"));
        EXPECT_EQ(rev.windowTitle(), QStringLiteral("Change Password"));

        TLoginLogic logic(*Data);
        EXPECT_EQ(logic.Check(QStringLiteral("Nobody"), QStringLiteral("486")).Message,
                  QStringLiteral("The user entered is not correct."));
        EXPECT_EQ(TLoginLogic::WaitText(4), QStringLiteral("Too many wrong passwords. Please wait 4 s and try again."));
        // The administrator's word of the interface language is refused, and
        // the Chinese one still is.
        TUserAdmin admin(Data->conZovDb);
        const QString refused = QStringLiteral("Cannot add \"Administrator\".");
        EXPECT_EQ(admin.AddUser(QStringLiteral("Administrator"), QStringLiteral("123"), QStringLiteral("123")).Message,
                  refused);
        EXPECT_EQ(admin.AddUser(QString::fromUtf8("管理员"), QStringLiteral("123"), QStringLiteral("123")).Message,
                  refused);
        EXPECT_EQ(admin.AddUser(QStringLiteral("Li"), QStringLiteral("123"), QStringLiteral("123")).Message,
                  QStringLiteral("User Li added."));
        EXPECT_EQ(admin.AddUser(QStringLiteral("Elevenchars"), QStringLiteral("123"), QStringLiteral("123")).Message,
                  QStringLiteral("The user name must not be longer than 10 characters."));
    }
    QCoreApplication::removeTranslator(&english);
}
