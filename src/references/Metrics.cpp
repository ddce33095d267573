#include "references/Metrics.h"

#include "core/DirStorage.h"
#include "core/LogWalk.h"
#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/TextCoding.h"
#include "references/LogHistory.h"
#include "references/RefNames.h"
#include "references/RefStore.h"

#include <nlohmann/json.hpp>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace vm {

namespace {

// The comment line that keeps what only a run knows, for a later rewrite on request.
const char* const kRunFactsComment = "# volumark-run ";

// Records of the log per root, in the roots' order (records lie depth first, so everything up to
// the next root belongs to the root before it). A damaged log counts what reads before the damage.
std::vector<int64_t> EntriesPerRoot(const std::string& logPath)
{
    std::vector<int64_t> entries;
    try {
        TFileStream file(logPath, TFileMode::OpenRead);
        TDirStorage log(file);
        TLogWalk walk = TLogWalk::AllRecords(log);
        TDirNode node;
        std::string name;
        while (walk.Next(node, name)) {
            if (node.Level == 0)
                entries.push_back(0);
            if (!entries.empty())
                ++entries.back();
        }
    } catch (const EStreamError&) {
        // unreadable now: no entries are known
    }
    return entries;
}

// The unreadable directories of each root, by path prefix.
std::vector<int64_t> UnreadablePerRoot(const std::vector<TRootTotals>& roots,
                                       const std::vector<TUnreadableDirectory>& unreadable)
{
    std::vector<int64_t> counts(roots.size(), 0);
    for (const TUnreadableDirectory& d : unreadable)
        for (size_t i = 0; i < roots.size(); ++i)
            if (d.Path.starts_with(roots[i].Path)) {
                ++counts[i];
                break;
            }
    return counts;
}

// A label value of the text format: valid UTF-8 with "\", '"' and line feeds escaped.
std::string LabelValue(const std::string& bytes)
{
    std::string out;
    for (char c : ValidUtf8(bytes)) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

class TMetricsWriter
{
public:
    explicit TMetricsWriter(std::string commonLabels) : common_(std::move(commonLabels)) {}

    void Family(const char* name, const char* help)
    {
        name_ = name;
        text_ += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
    }
    void Sample(const std::string& extraLabels, const std::string& value)
    {
        text_ += name_ + "{" + common_ + extraLabels + "} " + value + "\n";
    }
    void Comment(const std::string& line) { text_ += line + "\n"; }
    const std::string& Text() const { return text_; }

private:
    std::string common_;
    std::string name_;
    std::string text_;
};

std::string Integer(int64_t value)
{
    return std::to_string(value);
}

std::string Seconds(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

uint32_t Fnv1a(const std::string& text)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::string FilePrefix(const std::string& dataDir)
{
    char text[32];
    std::snprintf(text, sizeof text, "volumark-%08" PRIx32 "-", Fnv1a(dataDir));
    return text;
}

// The run facts a file written earlier keeps, when it describes log m.
std::optional<TRunFacts> KeptRunFacts(const std::string& file, int m,
                                      const std::vector<TRootTotals>& roots)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(kRunFactsComment))
            continue;
        try {
            const nlohmann::json kept =
                nlohmann::json::parse(line.substr(std::string(kRunFactsComment).size()));
            if (kept.at("log").get<int>() != m)
                return std::nullopt;
            TRunFacts facts;
            facts.LogNumber = m;
            facts.Seconds = kept.at("seconds").get<double>();
            const std::vector<int64_t> perRoot = kept.at("unreadable").get<std::vector<int64_t>>();
            // The counts come back as directories of their roots, which is all the file says.
            for (size_t i = 0; i < perRoot.size() && i < roots.size(); ++i)
                for (int64_t k = 0; k < perRoot[i]; ++k)
                    facts.Unreadable.push_back({roots[i].Path, 0});
            return facts;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::string MetricsDirectory(const std::string& optionValue)
{
    if (const char* env = std::getenv(kMetricsEnvironment); env && *env)
        return env;
    return optionValue;
}

std::string ConfiguredMetricsDirectory(const TRegistry& settings)
{
    TRegistry reader(settings.FileName());
    std::string option;
    if (reader.OpenKey(kSettingsKey, false))
        option = reader.ReadString(kMetricsDirectoryValue).value_or("");
    return MetricsDirectory(option);
}

std::string MetricsFileName(const std::string& dataDir, int n)
{
    return FilePrefix(dataDir) + RefSectionName(n) + ".prom";
}

std::optional<TReferenceMetrics> ReadReferenceMetrics(const TRefStore& store, int n,
                                                      const TRunFacts* facts)
{
    const std::vector<TLogSummary> logs = LogHistory(store, n);
    if (logs.empty())
        return std::nullopt;
    const TLogSummary& newest = logs.back();
    const TLogSummary* before = logs.size() > 1 ? &logs[logs.size() - 2] : nullptr;

    TReferenceMetrics m;
    m.Reference = n;
    m.Name = store.RefName(n);
    m.LogNumber = newest.LogNumber;
    m.Date = newest.Date;
    m.Space = newest.Allocated;
    m.Size = newest.Size;
    if (before)
        m.SpaceChange = newest.Allocated - before->Allocated;
    const bool known = facts && facts->LogNumber == newest.LogNumber;
    const std::vector<int64_t> entries = EntriesPerRoot(store.LogFileName(n, newest.LogNumber));
    const std::vector<int64_t> unreadable =
        known ? UnreadablePerRoot(newest.Roots, facts->Unreadable) : std::vector<int64_t>();
    if (known) {
        m.Seconds = facts->Seconds;
        m.Unreadable = int64_t(facts->Unreadable.size());
    }
    for (size_t i = 0; i < newest.Roots.size(); ++i) {
        const TRootTotals& root = newest.Roots[i];
        TPathMetrics p;
        p.Path = root.Path;
        p.Space = root.Allocated;
        p.Size = root.Size;
        p.Entries = i < entries.size() ? entries[i] : 0;
        m.Entries += p.Entries;
        if (known)
            p.Unreadable = unreadable[i];
        if (before)
            for (const TRootTotals& was : before->Roots)
                if (was.Path == root.Path)
                    p.SpaceChange = root.Allocated - was.Allocated;
        m.Paths.push_back(std::move(p));
    }
    return m;
}

std::string MetricsText(const std::string& dataDir, const TReferenceMetrics& m)
{
    TMetricsWriter w("data_dir=\"" + LabelValue(dataDir) + "\",ref=\"" +
                     FourDigitForm(m.Reference) + "\",reference=\"" + LabelValue(m.Name) + "\"");
    auto perPath = [&](const char* name, const char* help, auto value) {
        bool any = false;
        for (const TPathMetrics& p : m.Paths)
            any = any || value(p).has_value();
        if (!any)
            return;
        w.Family(name, help);
        for (const TPathMetrics& p : m.Paths)
            if (std::optional<int64_t> v = value(p))
                w.Sample(",path=\"" + LabelValue(p.Path) + "\"", Integer(*v));
    };
    auto one = [&](const char* name, const char* help, const std::optional<std::string>& value) {
        if (!value)
            return;
        w.Family(name, help);
        w.Sample("", *value);
    };
    auto integer = [](const std::optional<int64_t>& v) {
        return v ? std::optional<std::string>(Integer(*v)) : std::nullopt;
    };

    one("volumark_reference_space_bytes",
        "Disk space the reference's paths take in its newest log.", Integer(m.Space));
    one("volumark_reference_size_bytes", "Bytes of the files of the reference's newest log.",
        Integer(m.Size));
    one("volumark_reference_entries",
        "Directories and files of the reference's newest log, its paths included.",
        Integer(m.Entries));
    one("volumark_reference_space_change_bytes",
        "Change of the disk space taken from the log before the newest one.",
        integer(m.SpaceChange));
    one("volumark_reference_unreadable_directories",
        "Directories the newest log's scan could not read (logged as empty).",
        integer(m.Unreadable));
    one("volumark_last_log_number", "Number of the reference's newest log.", Integer(m.LogNumber));
    one("volumark_last_log_timestamp_seconds",
        "When the scan of the newest log began, in seconds since the Unix epoch.",
        Integer(LocalDateTimeToUnix(m.Date)));
    one("volumark_last_log_duration_seconds", "How long the scan of the newest log took.",
        m.Seconds ? std::optional<std::string>(Seconds(*m.Seconds)) : std::nullopt);

    perPath("volumark_path_space_bytes",
            "Disk space a path of the reference takes in the newest log.",
            [](const TPathMetrics& p) { return std::optional<int64_t>(p.Space); });
    perPath("volumark_path_size_bytes", "Bytes of the files below a path in the newest log.",
            [](const TPathMetrics& p) { return std::optional<int64_t>(p.Size); });
    perPath("volumark_path_entries",
            "Directories and files below a path in the newest log, the path included.",
            [](const TPathMetrics& p) { return std::optional<int64_t>(p.Entries); });
    perPath("volumark_path_space_change_bytes",
            "Change of a path's disk space from the log before the newest one.",
            [](const TPathMetrics& p) { return p.SpaceChange; });
    perPath("volumark_path_unreadable_directories",
            "Directories below a path that the newest log's scan could not read.",
            [](const TPathMetrics& p) { return p.Unreadable; });

    if (m.Seconds) {
        nlohmann::json kept;
        kept["log"] = m.LogNumber;
        kept["seconds"] = *m.Seconds;
        std::vector<int64_t> unreadable;
        for (const TPathMetrics& p : m.Paths)
            unreadable.push_back(p.Unreadable.value_or(0));
        kept["unreadable"] = unreadable;
        w.Comment(kRunFactsComment + kept.dump());
    }
    return w.Text();
}

void WriteReferenceMetrics(const TRefStore& store, int n, const std::string& dir,
                           const TRunFacts* facts)
{
    const std::string file = dir + "/" + MetricsFileName(store.DataDir(), n);
    const std::optional<TReferenceMetrics> metrics = ReadReferenceMetrics(store, n, facts);
    if (!metrics) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        return;
    }
    ReplaceFileContent(file, MetricsText(store.DataDir(), *metrics));
}

size_t WriteAllMetrics(const TRefStore& store, const std::string& dir,
                       const std::vector<int>& references)
{
    size_t written = 0;
    for (int n : references) {
        const std::string file = dir + "/" + MetricsFileName(store.DataDir(), n);
        std::optional<TRunFacts> kept;
        const std::vector<TLogSummary> logs = LogHistory(store, n);
        if (!logs.empty())
            kept = KeptRunFacts(file, logs.back().LogNumber, logs.back().Roots);
        WriteReferenceMetrics(store, n, dir, kept ? &*kept : nullptr);
        std::error_code ec;
        if (std::filesystem::exists(file, ec))
            ++written;
    }
    // Files of references that are gone would keep reporting them.
    const std::set<int> listed(references.begin(), references.end());
    const std::string prefix = FilePrefix(store.DataDir());
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix) || !name.ends_with(".prom"))
            continue;
        const std::string section = name.substr(prefix.size(), name.size() - prefix.size() - 5);
        std::optional<int> n = RefNumberOfName(section);
        if (n && RefSectionName(*n) == section && !listed.count(*n))
            std::filesystem::remove(entry.path(), ec);
    }
    return written;
}

} // namespace vm
