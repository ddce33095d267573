#include "platform/CrontabText.h"

#include <cerrno>
#include <optional>
#include <regex>

namespace vm {

namespace {

constexpr uint32_t kMsPerMinute = 60000;
constexpr uint32_t kMsPerDay = 24 * 60 * kMsPerMinute;
constexpr uint8_t kAllWeekdays = 0x7F;

struct TMarker
{
    uint32_t Id = 0;
    TJobKind Kind = TJobKind::Periodic;
    size_t Start = 0; // where the comment begins (the blank before its "#")
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsCommentOrEmpty(const std::string& line)
{
    size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

std::optional<TMarker> FindMarker(const std::string& line)
{
    static const std::regex kMarker(
        R"((^|[ \t])#[ \t]*Volumark job[ \t]+([0-9]{1,9})(?:[ \t]+(once|next))?[ \t\r]*$)");
    std::smatch m;
    if (!std::regex_search(line, m, kMarker))
        return std::nullopt;
    TMarker marker;
    marker.Id = uint32_t(std::stoul(m[2].str()));
    marker.Kind = m[3] == "once"   ? TJobKind::Once
                  : m[3] == "next" ? TJobKind::Next
                                   : TJobKind::Periodic;
    marker.Start = size_t(m.position(0));
    return marker;
}

std::string MarkerText(uint32_t id, TJobKind kind)
{
    std::string text = " # Volumark job " + std::to_string(id);
    if (kind == TJobKind::Once)
        text += " once";
    else if (kind == TJobKind::Next)
        text += " next";
    return text;
}

std::string RunOncePrefix(uint32_t id)
{
    return std::string(kRunOnceVariable) + "=" + std::to_string(id) + " ";
}

// The five time fields of a line and where its command begins.
struct TLineFields
{
    std::string Field[5];
    size_t CommandStart = 0;
    bool Ok = false;
};

TLineFields SplitFields(const std::string& line, size_t end)
{
    TLineFields f;
    size_t at = 0;
    for (std::string& field : f.Field) {
        while (at < end && IsBlank(line[at]))
            ++at;
        size_t start = at;
        while (at < end && !IsBlank(line[at]))
            ++at;
        if (at == start)
            return f;
        field = line.substr(start, at - start);
    }
    while (at < end && IsBlank(line[at]))
        ++at;
    f.CommandStart = at;
    f.Ok = at < end;
    return f;
}

std::optional<int> Number(const std::string& text, int lo, int hi)
{
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int v = std::stoi(text);
    if (v < lo || v > hi)
        return std::nullopt;
    return v;
}

// Bit v for every value v from lo to hi that a cron field names: "*", numbers, ranges "A-B",
// steps "/S" after either, and lists of these. Nothing when the field is not understood (names
// such as "mon" included).
std::optional<uint64_t> FieldMask(const std::string& field, int lo, int hi)
{
    uint64_t mask = 0;
    size_t at = 0;
    while (at <= field.size()) {
        size_t comma = field.find(',', at);
        std::string item =
            field.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        at = comma == std::string::npos ? field.size() + 1 : comma + 1;
        int step = 1;
        if (size_t slash = item.find('/'); slash != std::string::npos) {
            std::optional<int> s = Number(item.substr(slash + 1), 1, hi);
            if (!s)
                return std::nullopt;
            step = *s;
            item.resize(slash);
        }
        int first = lo, last = hi;
        if (item != "*") {
            size_t dash = item.find('-');
            std::optional<int> a = Number(item.substr(0, dash), lo, hi);
            std::optional<int> b =
                dash == std::string::npos ? a : Number(item.substr(dash + 1), lo, hi);
            if (!a || !b || *a > *b || (step > 1 && dash == std::string::npos))
                return std::nullopt;
            first = *a;
            last = *b;
        }
        for (int v = first; v <= last; v += step)
            mask |= uint64_t(1) << v;
    }
    return mask;
}

// Cron weekdays (bit 0 Sunday to bit 6 Saturday, bit 7 Sunday again) as the job's weekday bits
// (bit 0 Monday to bit 6 Sunday).
uint8_t WeekdaysOfCron(uint64_t cron)
{
    uint8_t days = 0;
    for (int d = 0; d <= 7; ++d)
        if (cron & (uint64_t(1) << d))
            days |= uint8_t(1u << ((d + 6) % 7));
    return days;
}

std::string WeekdayField(uint8_t days)
{
    std::string field;
    for (int d = 0; d <= 6; ++d) // cron's order: Sunday first
        if (days & (1u << ((d + 6) % 7)))
            field += (field.empty() ? "" : ",") + std::to_string(d);
    return field.empty() ? "*" : field;
}

std::string MonthDayField(uint32_t days)
{
    std::string field;
    for (int d = 0; d < 31; ++d)
        if (days & (1u << d))
            field += (field.empty() ? "" : ",") + std::to_string(d + 1);
    return field.empty() ? "*" : field;
}

uint8_t WeekdayBitOf(const std::tm& day)
{
    return uint8_t(1u << ((day.tm_wday + 6) % 7));
}

std::tm NextDay(const std::tm& now)
{
    std::tm next = now;
    next.tm_mday += 1;
    next.tm_hour = 12; // away from daylight-saving gaps
    next.tm_isdst = -1;
    std::mktime(&next);
    return next;
}

// The days a periodic or run-once line names, by cron's rule: a field that begins with "*"
// leaves the other to decide; when both name days, either matches. Lines whose days cron would
// read otherwise (a stepped "*" beside named days, a month) cannot be shown as days.
bool ReadDays(const TLineFields& f, TSchedulerJob& job)
{
    std::optional<uint64_t> dom = FieldMask(f.Field[2], 1, 31);
    std::optional<uint64_t> dow = FieldMask(f.Field[4], 0, 7);
    if (!dom || !dow || f.Field[3] != "*")
        return false;
    const bool domStar = f.Field[2][0] == '*', dowStar = f.Field[4][0] == '*';
    uint32_t monthDays = uint32_t(*dom >> 1);
    uint8_t weekdays = WeekdaysOfCron(*dow);
    if (domStar && dowStar) {
        if (f.Field[2] == "*" && f.Field[4] == "*")
            job.DaysOfWeek = kAllWeekdays;
        else if (f.Field[2] == "*")
            job.DaysOfWeek = weekdays;
        else if (f.Field[4] == "*")
            job.DaysOfMonth = monthDays;
        else
            return false;
    } else if (domStar || dowStar) {
        // With one field starred cron runs on the days both name.
        if (domStar && f.Field[2] != "*")
            return false;
        if (dowStar && f.Field[4] != "*")
            return false;
        if (domStar)
            job.DaysOfWeek = weekdays;
        else
            job.DaysOfMonth = monthDays;
    } else {
        job.DaysOfMonth = monthDays;
        job.DaysOfWeek = weekdays;
    }
    return true;
}

// A job without days: it runs on the date its line gives. Today's date before its time shows
// as "Today"; a date that is neither today nor tomorrow, or today's after its time, was missed.
bool ReadDate(const TLineFields& f, const std::tm& now, TSchedulerJob& job)
{
    std::optional<int> day = Number(f.Field[2], 1, 31), month = Number(f.Field[3], 1, 12);
    if (!day || !month || f.Field[4] != "*")
        return false;
    const int minuteOfDay = int(job.JobTime / kMsPerMinute);
    const bool today = *day == now.tm_mday && *month == now.tm_mon + 1;
    const std::tm next = NextDay(now);
    const bool tomorrow = *day == next.tm_mday && *month == next.tm_mon + 1;
    if (today && minuteOfDay > now.tm_hour * 60 + now.tm_min)
        job.Flags |= jobflag::RunsToday;
    else if (!tomorrow)
        job.Flags |= jobflag::ExecError;
    return true;
}

TCrontabJob ReadJob(const std::string& line, const TMarker& marker, const std::tm& now)
{
    TCrontabJob entry;
    entry.Kind = marker.Kind;
    TSchedulerJob& job = entry.Job;
    job.JobId = marker.Id;
    if (marker.Kind == TJobKind::Periodic)
        job.Flags |= jobflag::RunPeriodically;

    TLineFields f = SplitFields(line, marker.Start);
    size_t commandStart = f.Ok ? f.CommandStart : line.find_first_not_of(" \t");
    std::string field = line.substr(commandStart, marker.Start - commandStart);
    field.erase(field.find_last_not_of(" \t") + 1);
    job.Command = CronUnescape(field);
    if (marker.Kind != TJobKind::Periodic && job.Command.rfind(RunOncePrefix(marker.Id), 0) == 0)
        job.Command.erase(0, RunOncePrefix(marker.Id).size());

    std::optional<int> minute = f.Ok ? Number(f.Field[0], 0, 59) : std::nullopt;
    std::optional<int> hour = f.Ok ? Number(f.Field[1], 0, 23) : std::nullopt;
    if (!minute || !hour) {
        job.Flags |= jobflag::ExecError;
        return entry;
    }
    job.JobTime = uint32_t(*hour * 60 + *minute) * kMsPerMinute;
    bool read = marker.Kind == TJobKind::Next ? ReadDate(f, now, job) : ReadDays(f, job);
    if (!read)
        job.Flags |= jobflag::ExecError;
    return entry;
}

[[noreturn]] void Refuse(const std::string& why)
{
    throw ESchedulerError(EINVAL, why);
}

void CheckWritable(uint32_t id, const TSchedulerJob& job)
{
    if (job.Command.find_first_of(std::string("\n\r\0", 3)) != std::string::npos)
        Refuse("A scheduled command cannot hold a line break");
    if (job.Command.empty())
        Refuse("A scheduled job needs a command");
    if (job.JobTime >= kMsPerDay)
        Refuse("The time of a job must lie between 00:00 and 23:59");
    if (job.DaysOfMonth >> 31 || job.DaysOfWeek >> 7)
        Refuse("A job can only name the days 1 to 31 and the seven weekdays");
    if (id == 0 || id > 999999999)
        Refuse("No job number is free");
}

} // namespace

std::string CronEscape(const std::string& command)
{
    std::string escaped;
    for (char c : command) {
        if (c == '%' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string CronUnescape(const std::string& field)
{
    std::string command;
    bool escaped = false;
    for (char c : field) {
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
    if (escaped)
        command += '\\';
    return command;
}

TCrontabText::TCrontabText(const std::string& text)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            lines_.push_back(text.substr(at));
            return;
        }
        lines_.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    finalNewline_ = !text.empty();
}

std::string TCrontabText::Text() const
{
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_)
            text += '\n';
    }
    return text;
}

std::vector<TCrontabJob> TCrontabText::Jobs(const std::tm& now) const
{
    std::vector<TCrontabJob> jobs;
    for (const std::string& line : lines_)
        if (!IsCommentOrEmpty(line))
            if (std::optional<TMarker> marker = FindMarker(line))
                jobs.push_back(ReadJob(line, *marker, now));
    return jobs;
}

uint32_t TCrontabText::NextJobId() const
{
    uint32_t highest = 0;
    for (const std::string& line : lines_)
        if (std::optional<TMarker> marker = FindMarker(line))
            highest = std::max(highest, marker->Id);
    return highest + 1;
}

void TCrontabText::AddJob(uint32_t id, const TSchedulerJob& job, const std::tm& now)
{
    CheckWritable(id, job);
    const uint32_t minute = job.JobTime / kMsPerMinute % 60, hour = job.JobTime / 3600000;
    std::string fields = std::to_string(minute) + " " + std::to_string(hour) + " ";
    TJobKind kind;
    if (job.DaysOfMonth == 0 && job.DaysOfWeek == 0) {
        kind = TJobKind::Next;
        const bool later = int(hour * 60 + minute) > now.tm_hour * 60 + now.tm_min;
        const std::tm day = later ? now : NextDay(now);
        fields += std::to_string(day.tm_mday) + " " + std::to_string(day.tm_mon + 1) + " *";
    } else {
        kind = (job.Flags & jobflag::RunPeriodically) ? TJobKind::Periodic : TJobKind::Once;
        fields += MonthDayField(job.DaysOfMonth) + " * " + WeekdayField(job.DaysOfWeek);
    }
    std::string command = CronEscape(job.Command);
    if (kind != TJobKind::Periodic)
        command = RunOncePrefix(id) + command;
    lines_.push_back(fields + " " + command + MarkerText(id, kind));
    finalNewline_ = true;
}

bool TCrontabText::RemoveJob(uint32_t id)
{
    size_t before = lines_.size();
    std::erase_if(lines_, [id](const std::string& line) {
        if (IsCommentOrEmpty(line))
            return false;
        std::optional<TMarker> marker = FindMarker(line);
        return marker && marker->Id == id;
    });
    if (lines_.empty())
        finalNewline_ = false;
    return lines_.size() != before;
}

bool TCrontabText::JobStarted(uint32_t id, const std::tm& now)
{
    bool found = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        std::optional<TMarker> marker = IsCommentOrEmpty(line) ? std::nullopt : FindMarker(line);
        if (!marker || marker->Id != id)
            continue;
        found = true;
        if (marker->Kind == TJobKind::Periodic)
            continue;
        TCrontabJob entry = ReadJob(line, *marker, now);
        if (entry.Job.Flags & jobflag::ExecError && marker->Kind == TJobKind::Once)
            continue; // a line this program cannot read is left as it is
        TSchedulerJob& job = entry.Job;
        job.DaysOfWeek &= uint8_t(~WeekdayBitOf(now));
        job.DaysOfMonth &= ~(1u << (now.tm_mday - 1));
        if (marker->Kind == TJobKind::Next || (job.DaysOfWeek == 0 && job.DaysOfMonth == 0)) {
            lines_.erase(lines_.begin() + long(i--));
            continue;
        }
        // Only the days change: the command and the marker keep their bytes.
        TLineFields f = SplitFields(line, marker->Start);
        lines_[i] = f.Field[0] + " " + f.Field[1] + " " + MonthDayField(job.DaysOfMonth) + " * " +
                    WeekdayField(job.DaysOfWeek) + " " + line.substr(f.CommandStart);
    }
    if (lines_.empty())
        finalNewline_ = false;
    return found;
}

} // namespace vm
