// vmadmin metrics: the metrics files of every reference written now (references/Metrics.h), into
// --dir, else where the options or $VOLUMARK_METRICS_DIR name.
#include "platform/Registry.h"
#include "references/Metrics.h"
#include "references/RefFiles.h"
#include "vmadmin/Commands.h"
#include "vmadmin/Output.h"

namespace vm::vmadmin {

int Metrics(TAdmin& admin, const TArgs& args)
{
    TArgReader reader(args);
    const std::optional<std::string> given = reader.Value("--dir");
    reader.Operands(0, 0, "vmadmin metrics [--dir DIR]");
    const std::string dir = given.value_or(ConfiguredMetricsDirectory(TRegistry()));
    if (dir.empty())
        throw EUsage("no directory for the metrics: give --dir DIR, set $" +
                     std::string(kMetricsEnvironment) +
                     " or the option \"Write metrics for monitoring into:\"");
    const size_t written = WriteAllMetrics(
        admin.Store, dir, ListReferenceNumbers(admin.Store.Files(), admin.Store.DataDir()));
    if (admin.Json)
        PrintJson({{"directory", JsonText(dir)}, {"files", written}});
    return 0;
}

} // namespace vm::vmadmin
