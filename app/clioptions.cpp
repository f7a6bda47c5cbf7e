#include "app/clioptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

struct OutputChoice {
    const char *option;
    const char *valueName;
    const char *description;
    const char *pattern;
};

// The three choices of the output panel, as options of the commands that convert.
const OutputChoice kSizeChoice = {"size", "WxH", "frame size, such as 320x240", R"(\d+x\d+)"};
const OutputChoice kBitrateChoice = {"bitrate", "N", "video bitrate in kbit/s", R"(\d+)"};
const OutputChoice kFpsChoice = {"fps", "R", "frame rate, such as 25 or 29.970", R"(\d+(\.\d+)?)"};

QCommandLineOption optionOf(const OutputChoice &choice)
{
    return QCommandLineOption(QString::fromLatin1(choice.option), QString::fromLatin1(choice.description),
                              QString::fromLatin1(choice.valueName));
}

// Takes a choice from the command line when given, checking its form; false on a malformed value.
bool takeChoice(const QCommandLineParser &parser, const OutputChoice &choice, QString &value,
                QTextStream &err)
{
    const QString option = QString::fromLatin1(choice.option);
    if (!parser.isSet(option))
        return true;
    const QString given = parser.value(option);
    const QRegularExpression form(QStringLiteral("^(?:%1)$").arg(QLatin1String(choice.pattern)));
    if (!form.match(given).hasMatch()) {
        err << "zepora-cli: --" << option << " wants " << choice.valueName << ", not \"" << given
            << "\"\n";
        return false;
    }
    value = given;
    return true;
}

} // namespace

bool panelFromOptions(const QCommandLineParser &parser, OutputType type, OutputPanel &panel,
                      QTextStream &err)
{
    ApplyOutputProfile(panel, type);
    return takeChoice(parser, kSizeChoice, panel.frameSizeLabel, err) &&
           takeChoice(parser, kBitrateChoice, panel.bitrateLabel, err) &&
           takeChoice(parser, kFpsChoice, panel.frameRateLabel, err);
}

void addOutputOptions(QCommandLineParser &parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(optionOf(kSizeChoice));
    parser.addOption(optionOf(kBitrateChoice));
    parser.addOption(optionOf(kFpsChoice));
}

QString CliTypeNames(TypeNames which)
{
    QStringList names;
    for (const OutputProfile &profile : OutputProfiles())
        if (which == TypeNames::All || profile.selectable)
            names << QString::fromLatin1(profile.cliName);
    return names.join(QLatin1Char(' '));
}
