#include "store/UserAdmin.h"

#include "store/PasswordCode.h"
#include "store/DataModule.h"
#include "store/UserRights.h"
#include "db/DbEngine.h"
#include "SqlText.h"
#include "Clock.h"

#include <QDebug>
#include <algorithm>

namespace kv {

// ---------------------------------------------------------------------------
// Login

QString TLoginLogic::WrongPasswordText() { return tr("输入的密码不正确"); }
QString TLoginLogic::WrongUserText() { return tr("输入的用户不正确"); }
QString TLoginLogic::WaitText(int seconds) { return tr("密码错误次数过多,请等待%1秒后再试").arg(seconds); }

int TLoginBackoff::WaitSeconds() const
{
    const qint64 left = m_readyAtMs - TClock::current().nowMs();
    return left > 0 ? int((left + 999) / 1000) : 0;
}

void TLoginBackoff::WrongPassword()
{
    ++m_wrong;
    if (m_wrong < FreeTries)
        return;
    const int doublings = std::min(m_wrong - FreeTries, 5);
    const int seconds = std::min(1 << doublings, LongestWaitSeconds);
    m_readyAtMs = TClock::current().nowMs() + seconds * 1000LL;
}

void TLoginBackoff::RightPassword()
{
    m_wrong = 0;
    m_readyAtMs = 0;
}

QString TLoginLogic::LastUser() { return TSettingsStore(m_data).LastUser(); }

QStringList TLoginLogic::UserList()
{
    QStringList names;
    const auto users = m_data.Open(QStringLiteral("select * from tester"));
    if (!users)
        return names;
    try {
        for (users->first(); !users->eof(); users->next())
            names.append(users->fieldByName(QStringLiteral("name")).asString());
    } catch (const db::EDatabaseError &) {
        return names;
    }
    // An empty table stays empty: only the maintenance account can log in.
    if (names.isEmpty())
        return names;
    for (const QString &builtIn : {TesterUserName(), AdminUserName()})
        if (!names.contains(builtIn) && m_data.AddUserIfMissing(builtIn, DefaultUserPassword()))
            names.append(builtIn);
    return names;
}

TLoginCheck TLoginLogic::Refused(TLoginCheck r, bool wrongPassword)
{
    if (wrongPassword)
        m_backoff.WrongPassword();
    return r;
}

TLoginCheck TLoginLogic::Check(const QString &typedName, const QString &password)
{
    // Surrounding blanks of a name are dropped here as when it was added.
    const QString name = typedName.trimmed();
    TLoginCheck r;
    if (const int wait = m_backoff.WaitSeconds(); wait > 0) {
        r.Message = WaitText(wait);
        r.WaitSeconds = wait;
        return r;
    }
    if (name == MaintenanceUserName() && password == MaintenancePassword()) {
        m_backoff.RightPassword();
        r.Accepted = true;
        return r;
    }
    // The maintenance account is not stored: it is refused as an unknown
    // user, but a wrong password of it counts like any other.
    const bool maintenance = name == MaintenanceUserName();
    // Counted as the code counts it, so every password the user dialogs
    // accept gets past this check.
    if (PasswordByteLength(password) < MinPasswordBytes) {
        r.Message = WrongPasswordText();
        r.ClearPassword = true;
        return Refused(r, true);
    }
    const qint32 stored = m_data.GetUserSecret(name);
    if (stored == 0) {
        r.Message = WrongUserText();
        r.ClearName = true;
        r.ClearPassword = true;
        return Refused(r, maintenance);
    }
    if (PasswordCode(password) != stored) {
        r.Message = WrongPasswordText();
        r.ClearPassword = true;
        return Refused(r, true);
    }
    m_backoff.RightPassword();
    // The user is who they say: remembering the name is a convenience and
    // its failure does not keep the operator out.
    if (!TSettingsStore(m_data).SetLastUser(name))
        qDebug() << "login: the last user could not be stored";
    r.Accepted = true;
    return r;
}

// ---------------------------------------------------------------------------
// User management

namespace {

TUserResult Refused(const QString &message)
{
    TUserResult r;
    r.Message = message;
    return r;
}

TUserResult DatabaseFailure(const db::EDatabaseError &e)
{
    TUserResult r;
    r.Message = e.message();
    r.DatabaseError = true;
    return r;
}

bool PasswordLengthValid(const QString &trimmed)
{
    const int n = PasswordByteLength(trimmed);
    return n >= MinPasswordBytes && n <= MaxPasswordBytes;
}

} // namespace

QString TUserAdmin::RightOf(const QString &name)
{
    return name == AdminUserName() ? AdminUserName() : TesterUserName();
}

QString TUserAdmin::SelectUserToChangeText() { return tr("请选择需要修改密码的用户！"); }

bool TUserAdmin::List(QList<TUserRow> &rows, QString &error)
{
    rows.clear();
    try {
        db::TDbQuery q(m_conn);
        q.setSql(QStringLiteral("Select * from Tester"));
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            const QString name = q.fieldByName(QStringLiteral("name")).asString();
            rows.append({name, RightOf(name)});
        }
        return true;
    } catch (const db::EDatabaseError &e) {
        rows.clear();
        error = e.message();
        return false;
    }
}

TUserResult TUserAdmin::AddUser(const QString &nameText, const QString &password, const QString &confirmation)
{
    // Surrounding blanks are a typing slip: the name is checked and stored
    // without them, so it can be found and deleted like any other.
    const QString name = nameText.trimmed();
    const QString pass = password.trimmed();
    if (name.isEmpty())
        return Refused(tr("用户名不能为空！"));
    if (name == tr("管理员") || name == QStringLiteral("管理员"))
        return Refused(tr("不能添加“管理员”"));
    // Counted as the name boxes count (UTF-16 units), so every stored name
    // can be typed at the login.
    if (name.size() > TZovData::MaxUserNameLength)
        return Refused(tr("用户名不能超过%1个字符").arg(TZovData::MaxUserNameLength));
    if (pass.isEmpty())
        return Refused(tr("密码不能为空"));
    if (!PasswordLengthValid(pass))
        return Refused(tr("密码长度不正确"));
    if (pass != confirmation.trimmed())
        return Refused(tr("二次密码不一致"));
    // The maintenance account's name is taken: a stored user of that name
    // would carry its rights.
    if (name.compare(MaintenanceUserName(), Qt::CaseInsensitive) == 0)
        return Refused(tr("用户名已存在"));
    try {
        db::TDbQuery q(m_conn);
        q.setSql(QStringLiteral("Select * from Tester where name = ") + QuotedStr(name));
        q.open();
        if (q.recordCount() > 0)
            return Refused(tr("用户名已存在"));
        q.close();
        q.setSql(QStringLiteral("Insert into Tester(name,secret) values(") + QuotedStr(name) + QLatin1Char(',')
                 + SqlNum(qint64(PasswordCode(pass))) + QLatin1Char(')'));
        q.execSql();
    } catch (const db::EDatabaseError &e) {
        return DatabaseFailure(e);
    }
    TUserResult r;
    r.Ok = true;
    r.Message = tr("添加用户%1成功！").arg(name);
    return r;
}

QString TUserAdmin::DeleteRefusal(const QString &name) const
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return tr("请选择需要删除的用户！");
    // The database compares names without regard to case: so does this.
    if (trimmed.compare(AdminUserName(), Qt::CaseInsensitive) == 0)
        return tr("不能删除系统管理员！");
    return QString();
}

QString TUserAdmin::DeleteQuestion(const QString &name) { return tr("是否删除用户：") + name + QLatin1Char('?'); }

TUserResult TUserAdmin::DeleteUser(const QString &name)
{
    const QString refusal = DeleteRefusal(name);
    if (!refusal.isEmpty())
        return Refused(refusal);
    try {
        db::TDbQuery q(m_conn);
        q.setSql(QStringLiteral("Delete * from tester where name = ") + QuotedStr(name));
        q.execSql();
    } catch (const db::EDatabaseError &e) {
        return DatabaseFailure(e);
    }
    TUserResult r;
    r.Ok = true;
    return r;
}

TUserResult TUserAdmin::ChangePassword(const QString &name, const QString &oldPassword, const QString &password,
                                       const QString &confirmation)
{
    const QString pass = password.trimmed();
    if (!PasswordLengthValid(pass))
        return Refused(tr("密码长度不正确"));
    if (pass != confirmation.trimmed())
        return Refused(tr("二次密码不一致"));
    try {
        db::TDbQuery q(m_conn);
        q.setSql(QStringLiteral("Select * from Tester Where name = ") + QuotedStr(name));
        q.open();
        // A user deleted meanwhile has no password to change.
        if (q.recordCount() < 1)
            return Refused(tr("输入的用户不正确"));
        q.first();
        // Codes compare in their 32 bits, however the column holds them.
        const auto stored = static_cast<quint32>(
            static_cast<quint64>(q.fieldByName(QStringLiteral("Secret")).asInteger()));
        if (stored != static_cast<quint32>(PasswordCode(oldPassword.trimmed())))
            return Refused(tr("原密码不正确"));
        q.close();
        q.setSql(QStringLiteral("Update Tester set secret = ") + SqlNum(qint64(PasswordCode(pass)))
                 + QStringLiteral(" Where name = ") + QuotedStr(name));
        if (q.execSql() < 1)
            return Refused(tr("输入的用户不正确"));
    } catch (const db::EDatabaseError &e) {
        return DatabaseFailure(e);
    }
    TUserResult r;
    r.Ok = true;
    r.Message = tr("密码修改成功");
    return r;
}

} // namespace kv
