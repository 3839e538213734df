#include "ProgramFileChooser.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace Platform::FileChooser {
namespace {

constexpr const char* kOverrideVariable = "TARSEL_FILE_CHOOSER";

std::string BaseName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Dialect DialectOf(const std::string& program)
{
    return BaseName(program) == "kdialog" ? Dialect::Kdialog : Dialect::Zenity;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// An open starts inside the folder; a save proposes the name in it.
std::string StartPath(const Request& request)
{
    if (request.mode == Mode::Save) return JoinPath(request.startFolder, request.proposedName);
    return request.startFolder.empty() ? std::string() : JoinPath(request.startFolder, "");
}

std::string JoinPatterns(const Filter& filter)
{
    std::string patterns;
    for (const std::string& pattern : filter.patterns) {
        if (!patterns.empty()) patterns += ' ';
        patterns += pattern;
    }
    return patterns;
}

std::vector<std::string> ZenityArguments(const Request& request)
{
    std::vector<std::string> args{"--file-selection", "--modal"};
    if (!request.title.empty()) args.push_back("--title=" + request.title);
    if (request.mode == Mode::Save) {
        args.push_back("--save");
        if (request.overwritePrompt) args.push_back("--confirm-overwrite");
    } else if (request.multiple) {
        args.push_back("--multiple");
        args.push_back("--separator=\n");
    }
    const std::string start = StartPath(request);
    if (!start.empty()) args.push_back("--filename=" + start);
    for (const Filter& filter : request.filters) {
        args.push_back("--file-filter=" + filter.description + " | " + JoinPatterns(filter));
    }
    if (request.ownerWindow != 0) args.push_back("--attach=" + std::to_string(request.ownerWindow));
    return args;
}

std::vector<std::string> KdialogArguments(const Request& request)
{
    std::vector<std::string> args;
    if (!request.title.empty()) args.insert(args.end(), {"--title", request.title});
    if (request.ownerWindow != 0) args.insert(args.end(), {"--attach", std::to_string(request.ownerWindow)});
    if (request.mode == Mode::Open && request.multiple) args.insert(args.end(), {"--multiple", "--separate-output"});
    args.push_back(request.mode == Mode::Save ? "--getsavefilename" : "--getopenfilename");
    const std::string start = StartPath(request);
    args.push_back(start.empty() ? "." : start);
    std::string filters;
    for (const Filter& filter : request.filters) {
        if (!filters.empty()) filters += '\n';
        filters += filter.description + " (" + JoinPatterns(filter) + ")";
    }
    if (!filters.empty()) args.push_back(filters);
    return args;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string FirstLine(const std::string& text)
{
    const std::vector<std::string> lines = SplitLines(text);
    return lines.empty() ? std::string() : lines.front();
}

Result Failure(std::string why)
{
    Result result;
    result.outcome = Outcome::Error;
    result.error = std::move(why);
    return result;
}

Result ChosenPaths(const std::string& program, const ChildOutcome& outcome, const Request& request)
{
    if (outcome.outputCut) return Failure("The file chooser " + program + " answered more text than a path can hold");
    std::string text = outcome.out;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    Result result;
    result.outcome = Outcome::Ok;
    // One path may hold any character but NUL; only a multiple choice is
    // split, at the separator we asked for.
    if (request.mode == Mode::Open && request.multiple) {
        result.paths = SplitLines(text);
    } else if (!text.empty()) {
        result.paths.push_back(text);
    }
    if (result.paths.empty()) return Failure("The file chooser " + program + " answered no file");
    return result;
}

std::vector<std::string> Candidates()
{
    const char* named = std::getenv(kOverrideVariable);
    if (named && *named) return {named};
    return {"zenity", "kdialog"};
}

}  // namespace

std::vector<std::string> BuildArguments(Dialect dialect, const Request& request)
{
    return dialect == Dialect::Kdialog ? KdialogArguments(request) : ZenityArguments(request);
}

Result InterpretOutcome(const std::string& program, const ChildOutcome& outcome, const Request& request)
{
    if (outcome.exited && outcome.exitCode == 0) return ChosenPaths(program, outcome, request);
    if (outcome.exited && outcome.exitCode == 1) return Result{Outcome::Cancel, {}, {}};
    std::string why = "The file chooser " + program;
    why += outcome.exited ? " ended with code " + std::to_string(outcome.exitCode)
                          : " was ended by signal " + std::to_string(outcome.signal);
    const std::string detail = FirstLine(outcome.err);
    if (!detail.empty()) why += ": " + detail;
    return Failure(why);
}

Result ProgramFileChooser::Run(const Request& request)
{
    const std::vector<std::string> candidates = Candidates();
    for (const std::string& program : candidates) {
        std::vector<std::string> argv{program};
        const std::vector<std::string> args = BuildArguments(DialectOf(program), request);
        argv.insert(argv.end(), args.begin(), args.end());
        const ChildOutcome outcome = RunChild(argv, [&request] {
            if (request.whileOpen) request.whileOpen();
            return true;
        });
        if (outcome.spawnError == ENOENT && candidates.size() > 1) continue;
        if (outcome.spawnError != 0) {
            return Failure("The file chooser " + program +
                           " could not be started: " + std::strerror(outcome.spawnError));
        }
        return InterpretOutcome(program, outcome, request);
    }
    return Failure("No file chooser was found: install zenity or kdialog, or name one in TARSEL_FILE_CHOOSER");
}

}  // namespace Platform::FileChooser
