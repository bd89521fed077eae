#pragma once
#include <QString>

enum class Role { None, Administrator, Planner, Foreman, Warehouse };

// The access codes of the roles; the one place they are kept.
namespace AccessCodes {
inline constexpr const char* kAdministrator = "63527140";
inline constexpr const char* kAdministrator2 = "4096";
inline constexpr const char* kPlanner = "plutar";
inline constexpr const char* kForeman = "vindoku";
inline constexpr const char* kWarehouse = "tromb";
} // namespace AccessCodes

// The role of a code typed at login: trimmed, compared exactly and with letter case.
Role roleForCode(const QString& typed);
inline bool isAdministratorCode(const QString& code) { return roleForCode(code) == Role::Administrator; }
