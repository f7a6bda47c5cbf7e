#include "settings/outputlocations.h"

#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>

namespace {

constexpr char kProductFolderName[] = "Zepora-ZPX";
constexpr char kNumberedPrefix[] = "M4V";
constexpr char kNumberedExtension[] = ".mp4";

// The file the encoder writes, by type in OutputType order.
constexpr const char *kExtensions[] = {".mpg", ".avi", ".rm",  ".avi", ".avi",
                                       ".flv", ".mp4", ".avi", ".avi", ".avi"};
static_assert(std::size(kExtensions) == kOutputTypeCount, "one extension per output type");

bool baseIsTaken(const QDir &dir, const QString &base)
{
    return !dir.entryList({base + QStringLiteral(".*")},
                          QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .isEmpty();
}

} // namespace

QString ProductFolder(const QString &root)
{
    const QString separator = root.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    return root + separator + QLatin1String(kProductFolderName);
}

QString OutputDirFor(const QString &root, const QDate &date)
{
    return ProductFolder(root) + QLatin1Char('/') +
           QString::asprintf("%d-%02d-%02d", date.year(), date.month(), date.day()) + QLatin1Char('/');
}

QString GetOutputDir() { return OutputDirFor(ReadUsableRoot(), QDate::currentDate()); }

bool PrepareOutputDir() { return QDir().mkpath(GetOutputDir()); }

QString OutputExtension(OutputType type) { return QString::fromLatin1(kExtensions[type]); }

QString GetOutputFileName(const QString &dir, OutputType type, const QTime &now)
{
    const QDir folder(dir);
    if (type == OUT_PSP) {
        for (int number = 0;; ++number) {
            QString path = dir + QLatin1String(kNumberedPrefix) + QString::asprintf("%05d", number) +
                           QLatin1String(kNumberedExtension);
            if (!QFileInfo::exists(path))
                return path;
        }
    }
    const QString timeName = QString::asprintf("%02d-%02d-%02d", now.hour(), now.minute(), now.second());
    QString base = timeName;
    for (int suffix = 2; baseIsTaken(folder, base); ++suffix)
        base = timeName + QStringLiteral("-%1").arg(suffix);
    return dir + base + OutputExtension(type);
}
