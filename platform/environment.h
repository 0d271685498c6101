#pragma once
// The few environment facts the services need: variables, the home folder
// and the per-user base folders (configuration, data, cache).
#include <string>

namespace lunaro::platform {

// The variable's value, or "" when it is unset.
std::string EnvironmentValue(const char* name);

// $HOME when set, else the account's home from the user database, else "/".
std::string HomeFolder();

// The home folder joined with a relative path.
std::string InHomeFolder(const char* relative);

// A per-user base folder: the variable's value when it holds an absolute
// path (relative values are ignored, as the base-folder convention demands),
// otherwise the home folder joined with defaultUnderHome (".config", ...).
std::string UserBaseFolder(const char* variable, const char* defaultUnderHome);

// The folder of the running program, with a trailing '/'; "" when the
// system cannot tell.
std::string ProgramFolder();

}  // namespace lunaro::platform
