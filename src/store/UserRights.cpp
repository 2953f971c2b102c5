#include "store/UserRights.h"

namespace kv {

TUserRights RightsOf(const QString &userName)
{
    TUserRights r;
    const bool maintenance = userName == MaintenanceUserName();
    const bool admin = userName == AdminUserName();
    r.Maintenance = maintenance;
    r.Settings = maintenance || admin;
    r.EditRecords = admin;
    r.RunTests = true;
    return r;
}

} // namespace kv
