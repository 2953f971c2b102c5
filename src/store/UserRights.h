#pragma once
// Rights follow from the user name alone: the maintenance account, the
// administrator and every other (ordinary) tester.
#include <QString>

namespace kv {

// The maintenance account: fixed in the program, never stored in Tester.
inline const QString &MaintenanceUserName()
{
    static const QString name = QStringLiteral("quilmo");
    return name;
}
inline const QString &MaintenancePassword()
{
    static const QString password = QStringLiteral("tavrel+tavrel");
    return password;
}
// The administrator, a stored user created with the default password.
inline const QString &AdminUserName()
{
    static const QString name = QStringLiteral("Admin");
    return name;
}
// The built-in ordinary user.
inline const QString &TesterUserName()
{
    static const QString name = QStringLiteral("Tester");
    return name;
}
// Password of the built-in users when the login creates them.
inline const QString &DefaultUserPassword()
{
    static const QString password = QStringLiteral("486");
    return password;
}

struct TUserRights {
    // Demonstration run, machine-type menu, language menu, manual valve panel.
    bool Maintenance = false;
    // System-settings menu, advanced parameters, force-code setting, user
    // management, calibration and verification buttons.
    bool Settings = false;
    // Delete, delete-all and result correction in the records window.
    bool EditRecords = false;
    // Running tests, querying and printing records: every user.
    bool RunTests = true;
};

// The rights of a logged-in user, by the exact name.
TUserRights RightsOf(const QString &userName);

} // namespace kv
