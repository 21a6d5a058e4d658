#include "commandline.h"

#include "version.h"

namespace app {

namespace {

const char Usage[] = "Usage: veltrane [options]\n"
                     "Turns the computer off when the time set has run out.\n\n"
                     "Options:\n"
                     "  --dry-run      Do everything but the power-off request itself, and print\n"
                     "                 a line instead.\n"
                     "  -h, --help     Show this help and exit.\n"
                     "  -v, --version  Show the version and exit.";

} // namespace

CommandLine CommandLine::parse(const std::vector<std::string> &arguments)
{
    CommandLine result;
    bool help = false;
    bool version = false;
    std::string refusal;
    for (const std::string &argument : arguments) {
        std::vector<std::string> options;
        if (argument.rfind("--", 0) == 0 && argument.size() > 2)
            options.push_back(argument.substr(2));
        else if (argument.size() > 1 && argument[0] == '-' && argument != "--")
            for (char letter : argument.substr(1)) // short options may be run together: -hv
                options.emplace_back(1, letter);
        else if (refusal.empty())
            refusal = "Unexpected argument '" + argument + "'.";
        for (const std::string &option : options) {
            if (option == "dry-run")
                result.dryRun = true;
            else if (option == "h" || option == "help")
                help = true;
            else if (option == "v" || option == "version")
                version = true;
            else if (refusal.empty())
                refusal = "Unknown option '" + option + "'.";
        }
    }
    if (!refusal.empty()) {
        result.action = Action::Refuse;
        result.text = refusal + "\nTry 'veltrane --help'.";
    } else if (help) {
        result.action = Action::ShowHelp;
        result.text = Usage;
    } else if (version) {
        result.action = Action::ShowVersion;
        result.text = "Veltrane " VELTRANE_VERSION;
    }
    return result;
}

} // namespace app
