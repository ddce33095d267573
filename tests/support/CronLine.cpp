#include "support/CronLine.h"

namespace vmtest {

std::string CronCommandOf(const std::string& line)
{
    size_t at = 0;
    for (int field = 0; field < 5; ++field) {
        at = line.find_first_not_of(" \t", at);
        at = line.find_first_of(" \t", at);
    }
    std::string command;
    bool escaped = false;
    for (char c : line.substr(line.find_first_not_of(" \t", at))) {
        if (escaped) {
            if (c != '%' && c != '\\')
                command += '\\';
            command += c;
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == '%') {
            break;
        } else {
            command += c;
        }
    }
    return command;
}

} // namespace vmtest
