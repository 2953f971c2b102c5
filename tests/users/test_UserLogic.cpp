// The checks behind the login and the user dialogs, without windows: the
// password code's lengths, every login path, adding, deleting and changing
// passwords with each message, quotes in names, and the rights table.
#include "UsersTestSupport.h"

#include "store/PasswordCode.h"
#include "store/UserAdmin.h"
#include "store/UserRights.h"
#include "Clock.h"

using namespace kv;
using userstest::TUsersDb;

// ---------------------------------------------------------------------------
// Password code

TEST(UserPasswordCode, OnlyThreeToEightBytesCount)
{
    EXPECT_EQ(PasswordCode(QStringLiteral("12")), 0);
    EXPECT_NE(PasswordCode(QStringLiteral("123")), 0);
    EXPECT_NE(PasswordCode(QStringLiteral("12345678")), 0);
    EXPECT_EQ(PasswordCode(QStringLiteral("123456789")), 0);
    EXPECT_EQ(PasswordByteLength(QStringLiteral("12345678")), 8);
    EXPECT_EQ(PasswordByteLength(QString::fromUtf8("密码")), 6);
    EXPECT_EQ(PasswordCode(QStringLiteral("486")), 269923974) << "the code of the installed users";
}

// ---------------------------------------------------------------------------
// Login

using LoginTest = TUsersDb;

TEST_F(LoginTest, MaintenanceAccountNeedsNoDatabase)
{
    Data->conZovDb.close();
    TLoginLogic logic(*Data);
    const TLoginCheck ok = logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+tavrel"));
    EXPECT_TRUE(ok.Accepted);
    EXPECT_TRUE(ok.Message.isEmpty());
    // Anything else needs the table: with the database gone nobody else gets in.
    const TLoginCheck admin = logic.Check(QStringLiteral("Admin"), QStringLiteral("486"));
    EXPECT_FALSE(admin.Accepted);
    EXPECT_EQ(admin.Message, QStringLiteral("输入的用户不正确"));
}

TEST_F(LoginTest, MaintenanceAccountIsExactAndNotRemembered)
{
    TLoginLogic logic(*Data);
    EXPECT_TRUE(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+tavrel")).Accepted);
    EXPECT_EQ(LastUser(), QStringLiteral("Admin")) << "the last-user setting is not written";
    // Not stored: a wrong password or another spelling is an unknown user.
    EXPECT_EQ(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel")).Message,
              QStringLiteral("输入的用户不正确"));
    EXPECT_EQ(logic.Check(QStringLiteral("Quilmo"), QStringLiteral("tavrel+tavrel")).Message,
              QStringLiteral("输入的用户不正确"));
}

TEST_F(LoginTest, StoredUserIsAcceptedAndRemembered)
{
    TLoginLogic logic(*Data);
    const TLoginCheck r = logic.Check(QStringLiteral("Tester"), QStringLiteral("486"));
    EXPECT_TRUE(r.Accepted);
    EXPECT_EQ(LastUser(), QStringLiteral("Tester"));
    EXPECT_EQ(logic.LastUser(), QStringLiteral("Tester"));
}

TEST_F(LoginTest, RejectionsInOrderWithTheirClearedBoxes)
{
    TLoginLogic logic(*Data);
    // At most two characters: refused before any look-up, even for an unknown user.
    TLoginCheck r = logic.Check(QStringLiteral("Nobody"), QStringLiteral("48"));
    EXPECT_FALSE(r.Accepted);
    EXPECT_EQ(r.Message, QStringLiteral("输入的密码不正确"));
    EXPECT_FALSE(r.ClearName);
    EXPECT_TRUE(r.ClearPassword);

    r = logic.Check(QStringLiteral("Nobody"), QStringLiteral("486"));
    EXPECT_EQ(r.Message, QStringLiteral("输入的用户不正确"));
    EXPECT_TRUE(r.ClearName);
    EXPECT_TRUE(r.ClearPassword);

    r = logic.Check(QStringLiteral("Admin"), QStringLiteral("487"));
    EXPECT_EQ(r.Message, QStringLiteral("输入的密码不正确"));
    EXPECT_FALSE(r.ClearName);
    EXPECT_TRUE(r.ClearPassword);

    // Nine or more characters have code 0, which no stored user has.
    r = logic.Check(QStringLiteral("Admin"), QStringLiteral("486486486"));
    EXPECT_EQ(r.Message, QStringLiteral("输入的密码不正确"));
    EXPECT_EQ(LastUser(), QStringLiteral("Admin"));
}

TEST_F(LoginTest, BlanksCountAtTheLoginButNotWhenSet)
{
    TUserAdmin admin(Data->conZovDb);
    ASSERT_TRUE(admin.AddUser(QStringLiteral("Li"), QStringLiteral(" 123 "), QStringLiteral("123")).Ok);
    TLoginLogic logic(*Data);
    EXPECT_EQ(logic.Check(QStringLiteral("Li"), QStringLiteral(" 123 ")).Message,
              QStringLiteral("输入的密码不正确"));
    EXPECT_TRUE(logic.Check(QStringLiteral("Li"), QStringLiteral("123")).Accepted);
}

TEST_F(LoginTest, UserListCreatesTheBuiltInUsersOnlyBesideOthers)
{
    Raw(QStringLiteral("delete from Tester"));
    Raw(QStringLiteral("insert into Tester (UserNo, name, secret) values (7, 'Wang', 1)"));
    TLoginLogic logic(*Data);
    EXPECT_EQ(logic.UserList(), (QStringList{"Wang", "Tester", "Admin"}));
    EXPECT_EQ(Names(), (QStringList{"Wang", "Tester", "Admin"}));
    EXPECT_EQ(SecretOf(QStringLiteral("Admin")), 269923974);
    EXPECT_TRUE(logic.Check(QStringLiteral("Admin"), QStringLiteral("486")).Accepted);
    // Both present: nothing is added, order as returned.
    EXPECT_EQ(logic.UserList(), (QStringList{"Wang", "Tester", "Admin"}));
    EXPECT_EQ(Names().size(), 3);
}

TEST_F(LoginTest, EmptyTableLetsOnlyTheMaintenanceAccountIn)
{
    Raw(QStringLiteral("delete from Tester"));
    TLoginLogic logic(*Data);
    EXPECT_TRUE(logic.UserList().isEmpty());
    EXPECT_TRUE(Names().isEmpty()) << "no built-in user is created";
    EXPECT_EQ(logic.Check(QStringLiteral("Admin"), QStringLiteral("486")).Message,
              QStringLiteral("输入的用户不正确"));
    EXPECT_TRUE(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+tavrel")).Accepted);
}

TEST_F(LoginTest, QuotedNameLogsInAndIsRemembered)
{
    TUserAdmin admin(Data->conZovDb);
    const QString name = QStringLiteral("O'Brien");
    ASSERT_TRUE(admin.AddUser(name, QStringLiteral("pass"), QStringLiteral("pass")).Ok);
    TLoginLogic logic(*Data);
    EXPECT_TRUE(logic.Check(name, QStringLiteral("pass")).Accepted);
    EXPECT_EQ(LastUser(), name);
    EXPECT_EQ(logic.LastUser(), name);
    EXPECT_TRUE(logic.UserList().contains(name));
    // A quote never widens the look-up to other rows.
    EXPECT_EQ(logic.Check(QStringLiteral("x' or '1'='1"), QStringLiteral("486")).Message,
              QStringLiteral("输入的用户不正确"));
}

TEST_F(LoginTest, MissingLastUserRowIsCreatedOnAcceptance)
{
    Raw(QStringLiteral("delete from SavString where StrNo = 100"));
    TLoginLogic logic(*Data);
    EXPECT_EQ(logic.LastUser(), QString());
    EXPECT_TRUE(logic.Check(QStringLiteral("Admin"), QStringLiteral("486")).Accepted);
    EXPECT_EQ(LastUser(), QStringLiteral("Admin"));
}

// Wrong passwords in a row, in virtual time: the fourth try waits 1 s, then
// 2, 4, 8, 16 and at most 30 s; a try during the wait is not taken.
TEST_F(LoginTest, WrongPasswordsInARowWaitGrowingDelays)
{
    TVirtualClock clock;
    TClockGuard guard(&clock);
    TLoginLogic logic(*Data);
    const QString admin = QStringLiteral("Admin");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(logic.Check(admin, QStringLiteral("999")).WaitSeconds, 0);
    for (int expected : {1, 2, 4, 8, 16, 30, 30}) {
        SCOPED_TRACE(expected);
        const TLoginCheck wrong = logic.Check(admin, QStringLiteral("999"));
        EXPECT_EQ(wrong.Message, QStringLiteral("输入的密码不正确")) << "the wrong password itself is told as always";
        EXPECT_EQ(logic.WaitSeconds(), expected);
        clock.advance(expected * 1000 - 1);
        // Even the right password is not taken before the time is up.
        const TLoginCheck early = logic.Check(admin, QStringLiteral("486"));
        EXPECT_FALSE(early.Accepted);
        EXPECT_EQ(early.WaitSeconds, 1);
        EXPECT_EQ(early.Message, QStringLiteral("密码错误次数过多,请等待1秒后再试"));
        EXPECT_FALSE(early.ClearName || early.ClearPassword);
        clock.advance(1);
    }
    EXPECT_TRUE(logic.Check(admin, QStringLiteral("486")).Accepted);
    // The right password starts the count again.
    for (int i = 0; i < 2; ++i)
        logic.Check(admin, QStringLiteral("999"));
    EXPECT_EQ(logic.WaitSeconds(), 0);
    logic.Check(admin, QStringLiteral("999"));
    EXPECT_EQ(logic.WaitSeconds(), 1);
    EXPECT_EQ(logic.Check(admin, QStringLiteral("486")).Message, QStringLiteral("密码错误次数过多,请等待1秒后再试"));
}

TEST_F(LoginTest, BackoffCountsTheMaintenanceAccountButNotUnknownNames)
{
    TVirtualClock clock;
    TClockGuard guard(&clock);
    TLoginLogic logic(*Data);
    // Unknown names are neither wrong passwords nor right ones.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(logic.Check(QStringLiteral("Nobody"), QStringLiteral("486")).Message,
                  QStringLiteral("输入的用户不正确"));
    EXPECT_EQ(logic.WaitSeconds(), 0);
    // The maintenance account's wrong passwords count, though they read as an unknown user.
    logic.Check(QStringLiteral("Tester"), QStringLiteral("12"));
    logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel"));
    EXPECT_EQ(logic.Check(QStringLiteral("Nobody"), QStringLiteral("486")).WaitSeconds, 0);
    EXPECT_EQ(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+")).Message,
              QStringLiteral("输入的用户不正确"));
    EXPECT_EQ(logic.WaitSeconds(), 1);
    EXPECT_FALSE(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+tavrel")).Accepted);
    clock.advance(1000);
    EXPECT_TRUE(logic.Check(QStringLiteral("quilmo"), QStringLiteral("tavrel+tavrel")).Accepted);
}

// ---------------------------------------------------------------------------
// Adding users

using AddUserTest = TUsersDb;

TEST_F(AddUserTest, ChecksInOrderEachWithItsMessage)
{
    TUserAdmin admin(Data->conZovDb);
    struct TCase {
        const char *name, *one, *two, *message;
    };
    const TCase cases[] = {
        {"   ", "", "x", "用户名不能为空！"},            // before any password check
        {" 管理员 ", "", "", "不能添加“管理员”"},
        {"Li", "  ", "", "密码不能为空"},
        {"Li", "12", "12", "密码长度不正确"},
        {"Li", " 12 ", "12", "密码长度不正确"},         // trimmed: two characters
        {"Li", "123456789", "123456789", "密码长度不正确"},
        {"Li", "1234", "1235", "二次密码不一致"},
        {"Admin", "1234", "1234", "用户名已存在"},
        {"admin", "1234", "1234", "用户名已存在"},     // names compare without case
        {"quilmo", "1234", "1234", "用户名已存在"},    // the maintenance account's name is taken
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.name);
        const TUserResult r = admin.AddUser(QString::fromUtf8(c.name), QString::fromUtf8(c.one),
                                            QString::fromUtf8(c.two));
        EXPECT_FALSE(r.Ok);
        EXPECT_FALSE(r.DatabaseError);
        EXPECT_EQ(r.Message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester"}));
}

TEST_F(AddUserTest, StoresTheTrimmedNameWithTheTrimmedPasswordsCode)
{
    TUserAdmin admin(Data->conZovDb);
    TUserResult r = admin.AddUser(QStringLiteral(" Li "), QStringLiteral(" 123 "), QStringLiteral("123"));
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Message, QStringLiteral("添加用户Li成功！"));
    EXPECT_EQ(SecretOf(QStringLiteral("Li")), PasswordCode(QStringLiteral("123")));
    // Three and eight bytes are the limits.
    EXPECT_TRUE(admin.AddUser(QStringLiteral("Zhao"), QStringLiteral("12345678"), QStringLiteral("12345678")).Ok);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester", "Li", "Zhao"}));
    r = admin.AddUser(QStringLiteral("Li"), QStringLiteral("456"), QStringLiteral("456"));
    EXPECT_EQ(r.Message, QStringLiteral("用户名已存在"));
}

TEST_F(AddUserTest, ChineseCharactersCountTheirBytes)
{
    TUserAdmin admin(Data->conZovDb);
    // Three characters are nine bytes: that password would have no code.
    EXPECT_EQ(admin.AddUser(QString::fromUtf8("张三"), QString::fromUtf8("密码码"), QString::fromUtf8("密码码")).Message,
              QStringLiteral("密码长度不正确"));
    ASSERT_TRUE(admin.AddUser(QString::fromUtf8("张三"), QString::fromUtf8("密码"), QString::fromUtf8("密码")).Ok);
    TLoginLogic logic(*Data);
    EXPECT_TRUE(logic.Check(QString::fromUtf8("张三"), QString::fromUtf8("密码")).Accepted);
}

TEST_F(AddUserTest, QuotesAreStoredAndFoundLikeAnyOtherCharacter)
{
    TUserAdmin admin(Data->conZovDb);
    const QString name = QStringLiteral("O'Neil''");
    EXPECT_TRUE(admin.AddUser(name, QStringLiteral("abc"), QStringLiteral("abc")).Ok);
    EXPECT_EQ(Names().last(), name);
    EXPECT_EQ(admin.AddUser(name, QStringLiteral("abc"), QStringLiteral("abc")).Message,
              QStringLiteral("用户名已存在"));
    QList<TUserRow> rows;
    QString error;
    ASSERT_TRUE(admin.List(rows, error));
    EXPECT_EQ(rows.last().Name, name);
}

TEST_F(AddUserTest, DatabaseFailureSurfacesAsItsOwnMessage)
{
    Raw(QStringLiteral("drop table Tester"));
    TUserAdmin admin(Data->conZovDb);
    const TUserResult r = admin.AddUser(QStringLiteral("Li"), QStringLiteral("123"), QStringLiteral("123"));
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.DatabaseError);
    EXPECT_FALSE(r.Message.isEmpty());
    QList<TUserRow> rows;
    QString error;
    EXPECT_FALSE(admin.List(rows, error));
    EXPECT_FALSE(error.isEmpty());
}

// ---------------------------------------------------------------------------
// The list, deleting, changing passwords

using UserAdminTest = TUsersDb;

TEST_F(UserAdminTest, ListShowsTheRightOfEachName)
{
    Raw(QStringLiteral("insert into Tester (UserNo, name, secret) values (9, ' Admin', 1)"));
    TUserAdmin admin(Data->conZovDb);
    QList<TUserRow> rows;
    QString error;
    ASSERT_TRUE(admin.List(rows, error));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].Name, QStringLiteral("Admin"));
    EXPECT_EQ(rows[0].Right, QStringLiteral("Admin"));
    EXPECT_EQ(rows[1].Right, QStringLiteral("Tester"));
    EXPECT_EQ(rows[2].Right, QStringLiteral("Tester")) << "only the exact name is the administrator";
}

TEST_F(UserAdminTest, DeleteRefusesNoNameAndTheAdministrator)
{
    TUserAdmin admin(Data->conZovDb);
    EXPECT_EQ(admin.DeleteRefusal(QStringLiteral("  ")), QStringLiteral("请选择需要删除的用户！"));
    EXPECT_EQ(admin.DeleteRefusal(QStringLiteral(" Admin ")), QStringLiteral("不能删除系统管理员！"));
    EXPECT_EQ(admin.DeleteRefusal(QStringLiteral("admin")), QStringLiteral("不能删除系统管理员！"));
    EXPECT_EQ(admin.DeleteRefusal(QStringLiteral("Tester")), QString());
    EXPECT_FALSE(admin.DeleteUser(QStringLiteral(" Admin")).Ok);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester"}));
    EXPECT_EQ(TUserAdmin::DeleteQuestion(QStringLiteral("Tester")), QStringLiteral("是否删除用户：Tester?"));
}

TEST_F(UserAdminTest, DeleteRemovesOnlyThatName)
{
    TUserAdmin admin(Data->conZovDb);
    ASSERT_TRUE(admin.AddUser(QStringLiteral("O'Brien"), QStringLiteral("abc"), QStringLiteral("abc")).Ok);
    ASSERT_TRUE(admin.AddUser(QStringLiteral("Brien"), QStringLiteral("abc"), QStringLiteral("abc")).Ok);
    EXPECT_TRUE(admin.DeleteUser(QStringLiteral("O'Brien")).Ok);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester", "Brien"}));
    EXPECT_TRUE(admin.DeleteUser(QStringLiteral("Tester")).Ok);
    EXPECT_EQ(Names(), (QStringList{"Admin", "Brien"}));
}

TEST_F(UserAdminTest, ChangePasswordChecksInOrder)
{
    TUserAdmin admin(Data->conZovDb);
    struct TCase {
        const char *old, *one, *two, *message;
    };
    const TCase cases[] = {
        {"bad", "12", "12", "密码长度不正确"},        // lengths before the old password
        {"bad", "123456789", "123456789", "密码长度不正确"},
        {"bad", "1234", " 1235", "二次密码不一致"},
        {"487", "1234", "1234", "原密码不正确"},
        {" 4 8 6", "1234", "1234", "原密码不正确"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.message);
        const TUserResult r = admin.ChangePassword(QStringLiteral("Tester"), QLatin1String(c.old),
                                                   QLatin1String(c.one), QLatin1String(c.two));
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.Message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(SecretOf(QStringLiteral("Tester")), 269923974);

    const TUserResult r = admin.ChangePassword(QStringLiteral("Tester"), QStringLiteral(" 486 "),
                                               QStringLiteral(" 1234"), QStringLiteral("1234 "));
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Message, QStringLiteral("密码修改成功"));
    EXPECT_EQ(SecretOf(QStringLiteral("Tester")), PasswordCode(QStringLiteral("1234")));
    EXPECT_EQ(SecretOf(QStringLiteral("Admin")), 269923974) << "other users keep theirs";
    TLoginLogic logic(*Data);
    EXPECT_TRUE(logic.Check(QStringLiteral("Tester"), QStringLiteral("1234")).Accepted);
    EXPECT_FALSE(logic.Check(QStringLiteral("Tester"), QStringLiteral("486")).Accepted);
}

TEST_F(UserAdminTest, ChangePasswordOfAQuotedName)
{
    TUserAdmin admin(Data->conZovDb);
    const QString name = QStringLiteral("D'Arcy");
    ASSERT_TRUE(admin.AddUser(name, QStringLiteral("abc"), QStringLiteral("abc")).Ok);
    EXPECT_TRUE(admin.ChangePassword(name, QStringLiteral("abc"), QStringLiteral("xyz1"), QStringLiteral("xyz1")).Ok);
    EXPECT_EQ(SecretOf(name), PasswordCode(QStringLiteral("xyz1")));
}

TEST_F(UserAdminTest, ChangePasswordOfAVanishedUserIsNoSuccess)
{
    TUserAdmin admin(Data->conZovDb);
    const TUserResult r =
        admin.ChangePassword(QStringLiteral("Ghost"), QString(), QStringLiteral("1234"), QStringLiteral("1234"));
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Message, QStringLiteral("输入的用户不正确"));
    EXPECT_EQ(Names(), (QStringList{"Admin", "Tester"}));
}

// ---------------------------------------------------------------------------
// Rights

TEST(UserRights, FollowTheNameAlone)
{
    const TUserRights q = RightsOf(QStringLiteral("quilmo"));
    EXPECT_TRUE(q.Maintenance);
    EXPECT_TRUE(q.Settings);
    EXPECT_FALSE(q.EditRecords);
    EXPECT_TRUE(q.RunTests);

    const TUserRights a = RightsOf(QStringLiteral("Admin"));
    EXPECT_FALSE(a.Maintenance);
    EXPECT_TRUE(a.Settings);
    EXPECT_TRUE(a.EditRecords);
    EXPECT_TRUE(a.RunTests);

    for (const char *other : {"Tester", "admin", " Admin", "Quilmo", ""}) {
        SCOPED_TRACE(other);
        const TUserRights t = RightsOf(QLatin1String(other));
        EXPECT_FALSE(t.Maintenance);
        EXPECT_FALSE(t.Settings);
        EXPECT_FALSE(t.EditRecords);
        EXPECT_TRUE(t.RunTests);
    }
}
