#include "references/CommandLine.h"
#include "platform/AsciiCase.h"

#include "platform/TextCoding.h"
#include "platform/UserInterface.h"

#include <array>
#include <cctype>
#include <cstdlib>

namespace vm {

namespace {
constexpr std::array<const char*, 5> kKeywords = {"REF", "COMPARE", "KEEP", "?", "FOLDER"};

// True when the upper-cased name equals the keyword's first characters, as many as it has.
bool Selects(const std::string& upperName, const std::string& keyword)
{
    return upperName.size() <= keyword.size() &&
           keyword.compare(0, upperName.size(), upperName) == 0;
}

void Inform(TUserInterface& ui, const std::string& text)
{
    ui.MessageBox(text, kCommandLineCaption, mb::OK | mb::IconInformation);
}

// A whole number as the run reads it: leading blanks and a sign allowed, nothing after it.
bool WholeNumber(const std::string& text, int& out)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < -2147483647L || v > 2147483647L)
        return false;
    out = static_cast<int>(v);
    return true;
}

void Apply(const std::string& keyword, const TArgument& arg, const TCommandLineLookups& lookups,
           TUserInterface& ui, TCommandLineState& state)
{
    if (keyword == "REF") {
        state.ReferenceRequested = true;
        state.ReferenceNumber = lookups.FindRefByName(arg.Value);
        if (state.ReferenceNumber == -1) {
            state.ReferenceRequested = false;
            state.ArgumentRefused = true;
            Inform(ui, ReferenceNotFoundText(arg.Value));
        }
    } else if (keyword == "COMPARE") {
        state.CompareRequested = true;
        if (arg.Value.empty()) {
            state.CompareLogNumber = lookups.LastLogNumber(state.ReferenceNumber);
            if (state.CompareLogNumber == -1) {
                state.CompareRequested = false;
                state.CompareLogNumber = 0;
            }
        } else if (!WholeNumber(arg.Value, state.CompareLogNumber) || state.CompareLogNumber < 1) {
            // A log number that is not a whole number names no log: refuse it here rather than
            // let the comparison fail on a file that cannot exist.
            state.CompareRequested = false;
            state.CompareLogNumber = 0;
            state.ArgumentRefused = true;
            Inform(ui, "Invalid or ambiguous parameter [" + arg.Name + "=" + arg.Value +
                           "] - please fix");
        }
    } else if (keyword == "KEEP") {
        state.DeleteComparisons = true;
    } else if (keyword == "?") {
        state.HelpRequested = true;
    } else if (keyword == "FOLDER") {
        state.FolderMode = true;
        state.Folder = arg.Value;
    }
}

// The keywords an argument selects, in the order they are tried; -help and /h stand for /?.
std::vector<const char*> SelectedKeywords(const TArgument& arg)
{
    std::string upper = AsciiUpperCase(arg.Name);
    if (upper == "HELP" || upper == "H")
        upper.assign(1, '?'); // (not = "?": a false -Wrestrict of g++ 12)
    std::vector<const char*> selected;
    for (const char* keyword : kKeywords)
        if (Selects(upper, keyword))
            selected.push_back(keyword);
    return selected;
}
} // namespace

TArgument SplitArgument(const std::string& argument)
{
    TArgument a;
    size_t eq = argument.find('=');
    std::string head = eq == std::string::npos ? argument : argument.substr(0, eq);
    for (char c : head)
        if (c != '/' && c != '-' && c != ' ' && c != '\t')
            a.Name += c;
    if (eq != std::string::npos)
        a.Value = argument.substr(eq + 1);
    // Without a shell (a .desktop file, a systemd unit) the quotes around a value reach the
    // program: one pair around the whole value is taken off, as a shell would have done.
    if (a.Value.size() >= 2 && a.Value.front() == '"' && a.Value.back() == '"')
        a.Value = a.Value.substr(1, a.Value.size() - 2);
    return a;
}

size_t SelectedKeywordCount(const std::string& argument)
{
    return SelectedKeywords(SplitArgument(argument)).size();
}

bool IsFileArgument(const std::string& argument)
{
    return SelectedKeywordCount(argument) == 0 &&
           (EndsWithIgnoringCase(argument, ".kdf") || EndsWithIgnoringCase(argument, ".kcf"));
}

void ParseCommandLine(const std::vector<std::string>& arguments, const TCommandLineLookups& lookups,
                      TUserInterface& ui, TCommandLineState& state)
{
    for (const std::string& raw : arguments) {
        TArgument arg = SplitArgument(raw);
        std::vector<const char*> selected = SelectedKeywords(arg);
        if (selected.size() > 1) {
            // Only an empty name selects several keywords. Each one after the first is reported;
            // none is applied, so that "/=1" cannot start a folder scan of "1" or a comparison.
            state.ArgumentRefused = true;
            for (size_t i = 1; i < selected.size(); ++i)
                Inform(ui, "Invalid or ambiguous parameter [" + arg.Name + "] - please fix");
            continue;
        }
        if (selected.size() == 1)
            Apply(selected.front(), arg, lookups, ui, state);
        else if (IsFileArgument(raw))
            state.OpenFiles.push_back(raw);
    }
}

std::string CommandLineHelpText()
{
    return "Volumark command line help\r\n"
           "/Ref=\"<Ref Name>\" - specified reference name to log\r\n"
           "/C<=nnn> - after logging, perform a compare with the prior log, or specified log "
           "nnn\r\n"
           "/K - after comparing delete previous compares to conserve disc space\r\n"
           "e.g : /Ref=\"My Big Ref\" /C {logs and compares - \"My Big Ref\"}.";
}

std::string ReferenceNotFoundText(const std::string& name)
{
    std::string text = "Reference [";
    text.append(PrintableName(name)).append("] not found");
    return text;
}

} // namespace vm
