#include "app/clicommands.h"

#include "deploy/tooldeploy.h"
#include "platform/affinity.h"
#include "settings/settingsstore.h"
#include "platform/toolfolder.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

struct CliCommand {
    const char *name;
    int (*run)(const QStringList &, QTextStream &, QTextStream &);
    const char *summary;
};

const CliCommand kCommands[] = {
    {"types", RunCliTypes, "list the output types with their frame sizes, bitrates and frame rates"},
    {"probe", RunCliProbe, "examine files as adding them to the list does"},
    {"command", RunCliCommand, "print the encoder's command line for one source"},
    {"convert", RunCliConvert, "convert files into the day's folder, as Start does"},
};

int usage(QTextStream &err)
{
    err << "usage: zepora-cli COMMAND [ARGUMENTS]\n";
    for (const CliCommand &command : kCommands)
        err << "  " << command.name << "\t" << command.summary << '\n';
    return kCliUsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ZPX"));
    QCoreApplication::setApplicationName(QStringLiteral("Zepora"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty())
        return usage(err);
    const QString name = arguments.takeFirst();
    for (const CliCommand &command : kCommands) {
        if (name == QLatin1String(command.name)) {
            if (ReadSwitch(kMultiCoreValue))
                ApplyMultiCoreAffinity();
            // The window does the same at its start: the tools run from the user's tool folder.
            if (!DeployStoredTools(DefaultToolFolder()))
                err << "zepora-cli: could not write every tool into " << g_szToolDir << '\n';
            err.flush();
            return command.run(arguments, out, err);
        }
    }
    return usage(err);
}
