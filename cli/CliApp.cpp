#include "cli/CliApp.h"

#include "cli/ApplyRequest.h"
#include "cli/CommandLine.h"
#include "cli/Describe.h"
#include "cli/Help.h"
#include "cli/Text.h"
#include "core/FileAccess.h"
#include "core/OutputName.h"
#include "core/SaveGameLoader.h"
#include "words/Messages.h"

#include <ostream>

namespace varnholt::cli {

namespace {

// Help, the version and info go to standard output, which must take them.
int printOrFail(const std::string& text, std::ostream& out, std::ostream& err) {
    out << text;
    if (!out.flush()) {
        err << programName << ": standard output could not be written.\n";
        return exitFailure;
    }
    return exitSuccess;
}

struct Load {
    LoadedSave save;
    std::vector<std::string> messages; // every message of the loader, in order
    bool ok = false;
};

Load load(const std::string& path) {
    Load load;
    const LoadResult result = loadSaveGame(path);
    for (const LoadProblem& problem : result.problems) {
        load.messages.push_back(loadProblemText(problem, path));
        if (problem.isWarning())
            load.save.warnings.push_back(load.messages.back());
    }
    load.ok = result.succeeded();
    if (load.ok) {
        load.save.info = infoAfter(result, {});
        load.save.settings = settingsAfter(result, {});
    }
    return load;
}

void printLines(const std::vector<std::string>& texts, std::ostream& err) {
    for (const std::string& text : texts)
        err << text << '\n';
}

int runInfo(const InfoArgs& args, std::ostream& out, std::ostream& err) {
    const Load loaded = load(args.save);
    if (!loaded.ok) {
        printLines(loaded.messages, err);
        return exitFailure;
    }
    return printOrFail(args.json ? describeAsJson(loaded.save)
                                 : describeForPeople(loaded.save, fullPath(args.save)),
                       out, err);
}

// --output, or else the first free VarnholtNNN beside the save; nothing (with
// the reason on err) when no name can be made.
std::optional<std::string> outputPathFor(const ApplyArgs& args, std::ostream& err) {
    if (args.output)
        return args.output;
    OutputNameResult name = makeOutputName(args.save, pathExists);
    // A bare file name means the current folder, where the editor would have
    // been given a full path.
    const PathParts parts = splitPath(args.save);
    if (!name.name && name.failure == OutputNameFailure::EmptyPathPart && parts.directory.empty() &&
        parts.drive.empty())
        name = makeOutputName("./" + args.save, pathExists);
    if (name.name)
        return name.name;
    if (name.failure == OutputNameFailure::AllNamesTaken)
        err << outputNameText(name, args.save) << '\n';
    else
        err << programName << ": cannot name a new file after " << printable(args.save)
            << ": it needs a folder, a name and an extension. Use --output FILE.\n";
    return std::nullopt;
}

int runApply(const ApplyArgs& args, std::ostream& out, std::ostream& err) {
    const Load loaded = load(args.save);
    printLines(loaded.messages, err); // the errors of a failed load, or warnings
    if (!loaded.ok)
        return exitFailure;
    const EditRequest request = requestFor(args, loaded.save);
    const std::optional<std::string> outputPath = outputPathFor(args, err);
    if (!outputPath)
        return exitFailure;

    const ApplyOutcome outcome =
        applyChanges(args.save, *outputPath, loadedLayout(loaded.save.info), request);
    for (const ApplyProblem& problem : outcome.problems)
        err << applyProblemText(problem, args.save, *outputPath) << '\n';
    if (!outcome.written)
        return exitFailure;
    out << *outputPath << '\n';
    // Scripts read the new file's name from standard output: losing it is a failure.
    if (!out.flush()) {
        err << programName << ": " << *outputPath
            << " was written, but its name could not be written to standard output.\n";
        return exitFailure;
    }
    return exitSuccess;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const CommandLine line = readCommandLine(args);
        if (const auto* help = std::get_if<HelpArgs>(&line))
            return printOrFail(helpText(help->topic), out, err);
        if (std::holds_alternative<VersionArgs>(line))
            return printOrFail(versionLine() + "\n", out, err);
        if (const auto* info = std::get_if<InfoArgs>(&line))
            return runInfo(*info, out, err);
        return runApply(std::get<ApplyArgs>(line), out, err);
    } catch (const UsageError& error) {
        err << programName << ": " << error.text << "\n";
        return exitUsage;
    }
}

} // namespace varnholt::cli
