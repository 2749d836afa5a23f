#include "cli/Help.h"

#include "cli/Text.h"

namespace varnholt::cli {

std::string versionLine() {
    return std::string(programName) + " " + VARNHOLT_VERSION;
}

std::string helpText(Command topic) {
    const bool all = topic != Command::Info && topic != Command::Apply;
    std::string text = versionLine() +
                       ": look at and change campaign options in Iron Dominion saved games.\n\n"
                       "Usage:\n";
    if (all || topic == Command::Info)
        text += "  varnholt-cli info SAVE [--json]\n";
    if (all || topic == Command::Apply)
        text += "  varnholt-cli apply SAVE [-o FILE] [SETTINGS]\n";
    if (all)
        text += "  varnholt-cli --help | --version | COMMAND --help\n";
    if (all || topic == Command::Info)
        text +=
            "\n"
            "info SAVE\n"
            "  Shows the release, the campaign, the player's faction and every setting\n"
            "  that apply can change, in the words apply takes.\n"
            "  --json                    one JSON object with the layout figures, for scripts\n";
    if (all || topic == Command::Apply)
        text += "\n"
                "apply SAVE\n"
                "  Writes an edited copy of SAVE and prints its path. SAVE itself is never\n"
                "  changed. Only the settings given change; with none, the copy is SAVE byte\n"
                "  for byte.\n"
                "  -o, --output FILE         the new file, replaced if it exists (never SAVE);\n"
                "                            default: the first free VarnholtNNN beside SAVE,\n"
                "                            with SAVE's extension\n"
                "  --campaign-difficulty D   0-3, or a name: " +
                joined(difficultyNames(DifficultyNames::Standard)) +
                "\n"
                "                            (in the modification: " +
                joined(difficultyNames(DifficultyNames::Modification)) +
                ")\n"
                "  --battle-difficulty D     the same\n"
                "  --time-limit on|off       on: battles have a time limit; off: they have none\n"
                "  --campaign-length long|short\n"
                "                            not in expansion saves (1.4 and 1.6)\n"
                "  --unit-scale N            20 to 160 in steps of 5; size classes:\n"
                "                            " +
                unitScaleClasses() +
                "\n"
                "  --year Y                  the year's number, 1 or more; the era is --era\n"
                "  --era BC|AD\n"
                "  --season summer|winter\n"
                "  --year, --era and --season set the date together; those not given keep the\n"
                "  save's. Names and words may be written in any letter case.\n";
    text += "\nExamples:\n";
    if (all || topic == Command::Info)
        text += "  varnholt-cli info ~/IronDominion/saves/quick.sav\n";
    if (all || topic == Command::Apply)
        text += "  varnholt-cli apply ~/IronDominion/saves/quick.sav --campaign-difficulty \"Very "
                "Hard\" \\\n"
                "      --unit-scale 80 --year 120 --era BC --season winter\n";
    text += "\n"
            "Exit codes:\n"
            "  0  success\n"
            "  1  the save could not be read, the new file could not be written, or\n"
            "     standard output could not be written (the message is on standard error)\n"
            "  2  the command line was refused; nothing was written\n";
    return text;
}

} // namespace varnholt::cli
