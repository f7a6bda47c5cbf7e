#include "app/clicommands.h"

#include "deploy/tooldeploy.h"
#include "engine/encodercommand.h"
#include "profiles/outputprofile.h"
#include "sources/mediaprobe.h"
#include "sources/sourcelist.h"

#include "app/clioptions.h"

#include <QCommandLineParser>

namespace {

QString joined(std::span<const char *const> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list.join(QLatin1Char(','));
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
            << "\tbitrates\t" << joined(profile.bitrates) << "\tdefault " << profile.defaultBitrate << '\n'
            << "\tfps\t" << joined(profile.frameRates) << "\tdefault " << profile.defaultFrameRate << '\n';
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
            for (const QString &column :
                 {result.duration, result.codec, result.frameSize, result.frameRate})
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
    addOutputOptions(parser);
    const QString usage = QStringLiteral("usage: zepora-cli command TYPE [--size WxH] [--bitrate N] "
                                         "[--fps R] SOURCE OUTPUT\nTYPE: ") +
                          CliTypeNames(TypeNames::All) + QLatin1Char('\n');
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
    if (!panelFromOptions(parser, *type, panel, err))
        return kCliUsageError;

    const ToolCommand command =
        BuildEncoderCommand(g_szToolDir, SelectionFromPanel(panel), positional[1], positional[2]);
    out << command.text << '\n';
    return 0;
}
