// Crontab lines as cron reads them, for tests that run a job's command the way cron would.
#pragma once

#include <string>

namespace vmtest {

// What cron hands to the shell for a line: the text after the five time fields, cut at the
// first bare "%", with "\%" read as "%" and "\\" as "\" (as Debian's cron does).
std::string CronCommandOf(const std::string& line);

} // namespace vmtest
