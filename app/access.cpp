#include "app/access.h"

Role roleForCode(const QString& typed) {
    const QString c = typed.trimmed();
    if (c == QLatin1String(AccessCodes::kAdministrator) || c == QLatin1String(AccessCodes::kAdministrator2))
        return Role::Administrator;
    if (c == QLatin1String(AccessCodes::kPlanner))
        return Role::Planner;
    if (c == QLatin1String(AccessCodes::kForeman))
        return Role::Foreman;
    if (c == QLatin1String(AccessCodes::kWarehouse))
        return Role::Warehouse;
    return Role::None;
}
