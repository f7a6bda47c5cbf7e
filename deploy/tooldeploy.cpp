#include "deploy/tooldeploy.h"

#include "deploy/toolnames.h"
#include "platform/toolfolder.h"

#include <QDir>
#include <QResource>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

QString g_szToolDir;

namespace {

const StoredTool kTools[] = {
    {2, kSecondEncoderTool, ":/tools/ffmpeg"},
    {3, kEncoderTool, ":/tools/mencoder"},
    {4, kMuxerTool, ":/tools/mp4creator"},
    {5, kProberTool, ":/tools/mplayer"},
};

// Codec libraries the tools of other builds loaded from "Codecs/"; none is stored in this program.
struct StoredCodec {
    int nCodec;
    const char *fileName;
};
const StoredCodec kCodecs[] = {
    {1, "atrc.dll"}, {2, "drvc.dll"},      {3, "pncrt.dll"},
    {4, "sipr.dll"}, {5, "wms10dmod.dll"}, {6, "wmv10dmod.dll"},
};

constexpr char kCodecFolder[] = "Codecs/";

constexpr QFileDevice::Permissions kToolPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
    QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

// A tool file that already holds exactly the stored bytes and may be run needs no new copy:
// reading it back costs a fraction of writing it, and every start still repairs a changed tool.
bool alreadyDeployed(const QString &path, QByteArrayView bytes)
{
    QFile file(path);
    if (file.size() != bytes.size() || (file.permissions() & kToolPermissions) != kToolPermissions ||
        !file.open(QIODevice::ReadOnly))
        return false;
    const uchar *mapped = file.map(0, file.size());
    return mapped && std::memcmp(mapped, bytes.data(), size_t(bytes.size())) == 0;
}

const StoredTool *findTool(int nTool)
{
    const auto tool = std::ranges::find(kTools, nTool, &StoredTool::nTool);
    return tool == std::end(kTools) ? nullptr : tool;
}

} // namespace

std::span<const StoredTool> StoredTools() { return kTools; }

QByteArrayView StoredToolBytes(int nTool)
{
    const StoredTool *tool = findTool(nTool);
    if (!tool)
        return {};
    const QResource resource(QString::fromLatin1(tool->resource));
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return QByteArrayView(reinterpret_cast<const char *>(resource.data()), resource.size());
}

bool DeployTool(const QString &toolDir, int nTool)
{
    QDir().mkpath(toolDir);
    const StoredTool *tool = findTool(nTool);
    if (!tool)
        return false;
    const QByteArrayView bytes = StoredToolBytes(nTool);
    if (bytes.isEmpty())
        return false;

    const QString path = toolDir + QLatin1String(tool->fileName);
    if (alreadyDeployed(path, bytes))
        return true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    file.setPermissions(kToolPermissions);
    return file.commit();
}

bool DeployCodec(const QString &toolDir, int nCodec)
{
    QDir().mkpath(toolDir + QLatin1String(kCodecFolder));
    Q_UNUSED(nCodec);
    return false;
}

bool DeployStoredTools(const QString &toolDir)
{
    CreatePrivateFolder(toolDir);
    g_szToolDir = toolDir;
    bool allWritten = true;
    for (const StoredTool &tool : kTools)
        allWritten = DeployTool(toolDir, tool.nTool) && allWritten;
    for (const StoredCodec &codec : kCodecs)
        DeployCodec(toolDir, codec.nCodec);
    return allWritten;
}
