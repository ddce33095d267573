// Runs a piece of a test as an unprivileged user, so that permission cases can be tested where
// the tests run as root (as they do in CI): permissions do not keep root out.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vmtest {

// Runs body in a child process: as it is when the tests do not run as root, else with the
// user and group "nobody" (65534) after opening dir for that user to walk (its parents
// must let others through).
// Returns body's answer, or nullopt when the child could not drop its privileges or crashed.
std::optional<bool> RunUnprivileged(const std::string& dir, const std::function<bool()>& body);

} // namespace vmtest
