#include "app/clicommands.h"
#include "app/clioptions.h"

#include "deploy/tooldeploy.h"
#include "engine/conversionbatch.h"
#include "platform/interrupts.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"
#include "sources/sourcelist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int kCliFailed = 1;
constexpr int kCliInterrupted = 130;

const char kConvertUsage[] =
    "usage: zepora-cli convert TYPE [--size WxH] [--bitrate N] [--fps R] [--out-root DIR] "
    "[--verbose] FILE...\n";

// Prints one line per source as its outcome becomes known, the progress on the error stream.
class ConvertReport {
public:
    ConvertReport(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    void converted(const QString &source, const QString &finalFile)
    {
        endProgressLine();
        line(source, {finalFile});
    }
    void failed(const QString &source, const QString &reason)
    {
        endProgressLine();
        line(source, {QStringLiteral("FAILED"), reason});
        m_allConverted = false;
    }
    void progress(const QString &source, int percent)
    {
        m_err << QFileInfo(source).fileName() << ": " << percent << "%\r";
        m_err.flush();
        m_progressShown = true;
    }
    void command(const QString &commandText)
    {
        endProgressLine();
        m_err << "$ " << commandText << '\n';
        m_err.flush();
    }
    bool reported(const QString &source) const { return m_reported.contains(source); }
    bool allConverted() const { return m_allConverted; }

private:
    void line(const QString &source, const QStringList &columns)
    {
        m_reported.insert(source);
        m_out << source << '\t' << columns.join(QLatin1Char('\t')) << '\n';
        m_out.flush();
    }
    void endProgressLine()
    {
        if (std::exchange(m_progressShown, false)) {
            m_err << '\n';
            m_err.flush();
        }
    }

    QTextStream &m_out;
    QTextStream &m_err;
    QSet<QString> m_reported;
    bool m_allConverted = true;
    bool m_progressShown = false;
};

} // namespace

int RunCliConvert(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    addOutputOptions(parser);
    parser.addOption(QCommandLineOption(QStringLiteral("out-root"),
                                        QStringLiteral("folder under which Zepora-ZPX/<date> is made"),
                                        QStringLiteral("DIR")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("verbose"), QStringLiteral("print every tool's command line")));
    if (!parser.parse(QStringList{QStringLiteral("convert")} + arguments)) {
        err << "zepora-cli: " << parser.errorText() << '\n' << kConvertUsage;
        return kCliUsageError;
    }
    QStringList files = parser.positionalArguments();
    if (files.size() < 2) {
        err << kConvertUsage;
        return kCliUsageError;
    }
    const std::optional<OutputType> type = OutputTypeFromCliName(files.takeFirst());
    if (!type || !ProfileOf(*type).selectable) {
        err << "zepora-cli: no such output type; choose one of " << CliTypeNames(TypeNames::Selectable)
            << '\n';
        return kCliUsageError;
    }
    OutputPanel panel;
    if (!panelFromOptions(parser, *type, panel, err))
        return kCliUsageError;

    const QString root = parser.isSet(QStringLiteral("out-root"))
                             ? parser.value(QStringLiteral("out-root"))
                             : ReadUsableRoot();
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        err << "zepora-cli: no output folder: give --out-root DIR, or choose one in the program's "
               "settings\n";
        return kCliUsageError;
    }

    SourceListModel rows(g_szToolDir);
    const OutputSelection captured = SelectionFromPanel(panel);
    ConversionBatch batch(
        rows, g_szToolDir, [&panel] { return OutputNowOf(panel); },
        [root] { return OutputDirFor(root, QDate::currentDate()); });

    ConvertReport report(out, err);
    QString current;
    QObject::connect(&rows, &SourceListModel::fileRefused, [&](const QString &path, const QString &text) {
        if (!report.reported(path))
            report.failed(path, text);
    });
    QObject::connect(&batch, &ConversionBatch::fileStarted,
                     [&](const QString &source, const QString &) { current = source; });
    QObject::connect(&batch, &ConversionBatch::progressChanged, [&](int percent) {
        if (!current.isEmpty() && percent > 0)
            report.progress(current, percent);
    });
    QObject::connect(&batch, &ConversionBatch::fileFinished,
                     [&](const QString &source, bool succeeded, const QString &finalFile,
                         const QString &reason) {
                         current.clear();
                         if (succeeded)
                             report.converted(source, finalFile);
                         else
                             report.failed(source, reason);
                     });

    bool interrupted = false;
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, [&] {
        interrupted = true;
        batch.OnStop();
    });
    QObject::connect(&batch, &ConversionBatch::batchFinished, [] { QCoreApplication::exit(0); });

    if (parser.isSet(QStringLiteral("verbose"))) {
        QObject::connect(&batch, &ConversionBatch::toolStarted,
                         [&report](const QString &text) { report.command(text); });
        for (const QString &file : std::as_const(files))
            report.command(ProbeCommand(g_szToolDir, file).text);
    }
    for (const QString &file : std::as_const(files))
        rows.AddSourceFile(file);
    if (!batch.OnStart(captured))
        return kCliFailed;
    QCoreApplication::exec();

    for (const QString &file : std::as_const(files))
        if (!report.reported(file))
            report.failed(file, interrupted ? QStringLiteral("stopped") : QStringLiteral("not converted"));
    if (interrupted)
        return kCliInterrupted;
    return report.allConverted() ? 0 : kCliFailed;
}
