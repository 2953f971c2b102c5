#pragma once
// The checks of the login and of the user dialogs, without any window: each
// operation returns what the dialog shows and does next.
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

namespace kv {

class TZovData;
namespace db {
class TDbConnection;
}

// What the login button leads to.
struct TLoginCheck {
    bool Accepted = false;
    QString Message;          // shown when not empty (exclamation icon)
    bool ClearName = false;
    bool ClearPassword = false;
    int WaitSeconds = 0;      // > 0: the try was not taken, the login still waits
};

// Wrong passwords in a row make the login wait before it takes the next try:
// after the third 1 s, then 2 s, 4 s ... at most 30 s. A correct password
// starts the count again. Time is the program's clock (platform/Clock.h).
class TLoginBackoff {
public:
    static constexpr int FreeTries = 3;
    static constexpr int LongestWaitSeconds = 30;

    // Whole seconds still to wait, rounded up; 0 when a try is taken now.
    int WaitSeconds() const;
    int WrongInARow() const { return m_wrong; }
    void WrongPassword();
    void RightPassword();

private:
    int m_wrong = 0;
    qint64 m_readyAtMs = 0;
};

class TLoginLogic {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmLogin)
public:
    explicit TLoginLogic(TZovData &data) : m_data(data) {}

    // The last accepted stored user (SavString 100); empty when unknown.
    QString LastUser();
    // The stored users in the order the database returns them. When the
    // table holds at least one user, missing "Tester" and "Admin" are
    // created with the default password and added to the list.
    QStringList UserList();
    // The login button: the maintenance account without any database
    // access, else the stored code of the name against the typed password
    // (blanks included; the name's surrounding blanks are not). An accepted
    // stored user becomes the last user.
    // While the back-off waits, the try is not taken.
    TLoginCheck Check(const QString &name, const QString &password);
    // Seconds the next try still has to wait (0: none).
    int WaitSeconds() const { return m_backoff.WaitSeconds(); }

    static QString WrongPasswordText();
    static QString WrongUserText();
    static QString WaitText(int seconds);

private:
    TLoginCheck Refused(TLoginCheck r, bool wrongPassword);

    TZovData &m_data;
    TLoginBackoff m_backoff;
};

// One row of the user list.
struct TUserRow {
    QString Name;
    QString Right; // "Admin" or "Tester"
};

// Outcome of a user-management action: the message to show (information
// icon; empty = none) and whether the action took place.
struct TUserResult {
    bool Ok = false;
    QString Message;
    bool DatabaseError = false; // the message is the database's own
};

// Adding, deleting and re-keying users, each on a query of its own on the
// data module's connection.
class TUserAdmin {
    Q_DECLARE_TR_FUNCTIONS(kv::TfrmUserMng)
public:
    explicit TUserAdmin(db::TDbConnection &connection) : m_conn(connection) {}

    // "Select * from Tester" in the order returned. False with the
    // database's message in error when the table cannot be read.
    bool List(QList<TUserRow> &rows, QString &error);

    // The add dialog: checks in order, then the insert.
    TUserResult AddUser(const QString &name, const QString &password, const QString &confirmation);
    // First step of a delete: empty when the user may be deleted, else the
    // message that refuses it.
    QString DeleteRefusal(const QString &name) const;
    // The question asked before a delete.
    static QString DeleteQuestion(const QString &name);
    // Deletes the rows of that name.
    TUserResult DeleteUser(const QString &name);
    // The change-password dialog: checks in order, then the update.
    TUserResult ChangePassword(const QString &name, const QString &oldPassword, const QString &password,
                               const QString &confirmation);
    // The name of the current grid row is needed before the change dialog opens.
    static QString SelectUserToChangeText();

    // The right shown for a stored name.
    static QString RightOf(const QString &name);

private:
    db::TDbConnection &m_conn;
};

} // namespace kv
