#include "commandline.h"

#include "version.h"

#include <QCommandLineParser>

namespace app {

CommandLine CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(dryRun);
    parser.addOption(help);
    parser.addOption(version);

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::Refuse;
        result.text = parser.errorText() + QStringLiteral("\nTry 'veltrane --help'.");
    } else if (!parser.positionalArguments().isEmpty()) {
        result.action = Action::Refuse;
        result.text = QStringLiteral("Unexpected argument '%1'.\nTry 'veltrane --help'.")
                          .arg(parser.positionalArguments().front());
    } else if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        // Written out: the parser's own help needs an application object, and none exists yet.
        result.text = QStringLiteral(
            "Usage: veltrane [options]\n"
            "Turns the computer off when the time set has run out.\n\n"
            "Options:\n"
            "  --dry-run      Do everything but the power-off request itself, and print\n"
            "                 a line instead.\n"
            "  -h, --help     Show this help and exit.\n"
            "  -v, --version  Show the version and exit.");
    } else if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.text = QStringLiteral("Veltrane " VELTRANE_VERSION);
    }
    result.dryRun = parser.isSet(dryRun);
    return result;
}

} // namespace app
