#include "app/clicommands.h"

#include "deploy/tooldeploy.h"
#include "engine/encodercommand.h"
#include "profiles/outputprofile.h"
#include "sources/mediaprobe.h"
#include "sources/sourcelist.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

QString joined(std::span<const char *const> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list.join(QLatin1Char(','));
}

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
    return QCommandLineOption(QString::fromLatin1(choice.option),
                              QString::fromLatin1(choice.description),
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

QString typeNames()
{
    QStringList names;
    for (const OutputProfile &profile : OutputProfiles())
        names << QString::fromLatin1(profile.cliName);
    return names.join(QLatin1Char(' '));
}

} // namespace

int RunCliTypes(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!arguments.isEmpty()) {
        err << "usage: zepora-cli types\n";
        return kCliUsageError;
    }
    for (const OutputProfile &profile : OutputProfiles()) {
        out << profile.cliName << '\t' << QString::fromUtf8(profile.radioText)
            << (profile.selectable ? "" : " (not selectable)") << '\n'
            << "\tformat\t" << profile.formatText << '\n'
            << "\tsizes\t" << joined(profile.frameSizes) << "\tdefault " << profile.defaultFrameSize
            << '\n'
            << "\tbitrates\t" << joined(profile.bitrates) << "\tdefault " << profile.defaultBitrate
            << '\n'
            << "\tfps\t" << joined(profile.frameRates) << "\tdefault " << profile.defaultFrameRate
            << '\n';
    }
    return 0;
}

int RunCliProbe(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty()) {
        err << "usage: zepora-cli probe FILE...\n";
        return kCliUsageError;
    }
    bool allAccepted = true;
    for (const QString &file : arguments) {
        ProbeResult result;
        const ProbeVerdict verdict = ProbeSourceFile(g_szToolDir, file, result);
        out << file;
        if (verdict == ProbeVerdict::ToolNotStarted) {
            // The window would keep such a file with its details empty.
            out << "\t\t\t\t";
            err << "zepora-cli: the prober " << ProbeCommand(g_szToolDir, file).program
                << " could not be started\n";
            allAccepted = false;
        } else if (verdict == ProbeVerdict::Accepted) {
            for (const QString &column : {result.duration, result.codec, result.frameSize, result.frameRate})
                out << '\t' << column;
        } else {
            out << '\t' << kInvalidText;
            allAccepted = false;
        }
        out << '\n';
        out.flush();
    }
    return allAccepted ? 0 : 1;
}

int RunCliCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(optionOf(kSizeChoice));
    parser.addOption(optionOf(kBitrateChoice));
    parser.addOption(optionOf(kFpsChoice));
    const QString usage = QStringLiteral("usage: zepora-cli command TYPE [--size WxH] [--bitrate N] "
                                         "[--fps R] SOURCE OUTPUT\nTYPE: ") +
                          typeNames() + QLatin1Char('\n');
    if (!parser.parse(QStringList{QStringLiteral("command")} + arguments)) {
        err << "zepora-cli: " << parser.errorText() << '\n' << usage;
        return kCliUsageError;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 3) {
        err << usage;
        return kCliUsageError;
    }
    const std::optional<OutputType> type = OutputTypeFromCliName(positional[0]);
    if (!type) {
        err << "zepora-cli: unknown type \"" << positional[0] << "\"\n" << usage;
        return kCliUsageError;
    }

    OutputPanel panel;
    ApplyOutputProfile(panel, *type);
    QString size = panel.frameSizeLabel;
    if (!takeChoice(parser, kSizeChoice, size, err) ||
        !takeChoice(parser, kBitrateChoice, panel.bitrateLabel, err) ||
        !takeChoice(parser, kFpsChoice, panel.frameRateLabel, err))
        return kCliUsageError;
    panel.frameSizeLabel = size;

    const ToolCommand command =
        BuildEncoderCommand(g_szToolDir, SelectionFromPanel(panel), positional[1], positional[2]);
    out << command.text << '\n';
    return 0;
}
