#include "sources/sourcelist.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

const char *const kHeadings[SourceListModel::ColumnCount] = {"索引",   "文件名", "播放时间", "编码",
                                                             "分辨率", "帧率",   "状态"};

const Qt::Alignment kAlignments[SourceListModel::ColumnCount] = {Qt::AlignLeft,    Qt::AlignLeft,
                                                                 Qt::AlignHCenter, Qt::AlignRight,
                                                                 Qt::AlignHCenter, Qt::AlignLeft,
                                                                 Qt::AlignHCenter};

const char *const kVideoPatterns[] = {"*.MPG", "*.AVI", "*.RM",  "*.RMVB", "*.3GP", "*.MP4", "*.FLV",
                                      "*.MOV", "*.VOB", "*.DAT", "*.DV",   "*.WMV", "*.ASF", "*.3G2",
                                      "*.MKV", "*.AVS", "*.RAM", "*.SWF",  "*.3GPP"};

} // namespace

QStringList AddDialogNameFilters()
{
    QStringList patterns;
    for (const char *pattern : kVideoPatterns)
        patterns << QString::fromLatin1(pattern);
    return {QStringLiteral("支持的视频格式 (%1)").arg(patterns.join(QLatin1Char(' '))),
            QStringLiteral("所有文件 (*)")};
}

SourceListModel::SourceListModel(QString toolDir, QObject *parent, int probeTimeLimitMs)
    : QAbstractTableModel(parent), m_toolDir(std::move(toolDir)), m_probeTimeLimitMs(probeTimeLimitMs)
{
}

SourceListModel::~SourceListModel() = default;

int SourceListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SourceListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SourceListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kAlignments[index.column()] | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return text(index.row(), Column(index.column()));
}

QVariant SourceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(kAlignments[section] | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return QString::fromUtf8(kHeadings[section]);
}

QString SourceListModel::text(int row, Column column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[size_t(row)].texts[column];
}

quint64 SourceListModel::rowId(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)].id : 0;
}

int SourceListModel::rowOfId(quint64 id) const
{
    const auto row = std::ranges::find(m_rows, id, &Row::id);
    return row == m_rows.end() ? -1 : int(row - m_rows.begin());
}

bool SourceListModel::isAwaitingProbe(int row) const
{
    const quint64 id = rowId(row);
    if (id == 0)
        return false;
    return (m_probe && m_probedRowId == id) ||
           std::ranges::any_of(m_pendingProbes, [id](const auto &pending) { return pending.first == id; });
}

void SourceListModel::setStatus(int row, const QString &status)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[size_t(row)].texts[StatusColumn] = status;
    const QModelIndex cell = index(row, StatusColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void SourceListModel::setStatusText(const QString &text)
{
    m_status = text;
    emit statusMessage(text);
}

void SourceListModel::AddSourceFile(const QString &path)
{
    setStatusText(kAddingText);
    // An exact comparison of the texts: letter case counts and nothing is normalised.
    const bool listed =
        std::ranges::any_of(m_rows, [&path](const Row &row) { return row.texts[FileColumn] == path; });
    if (listed) {
        setStatusText(kDuplicateText);
        emit fileRefused(path, kDuplicateText);
        return;
    }

    const int position = rowCount();
    Row row{m_nextId++, {}};
    // The index text is the number of rows the list held when the row came.
    row.texts[IndexColumn] = QString::number(position);
    row.texts[FileColumn] = path;
    row.texts[StatusColumn] = kWaitingText;
    beginInsertRows({}, position, position);
    m_rows.push_back(row);
    endInsertRows();

    m_pendingProbes.emplace_back(row.id, path);
    if (!m_probe)
        startNextProbe();
}

void SourceListModel::OnDropFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const QFileInfo first(paths.constFirst());
    if (first.exists() && !first.isDir())
        AddSourceFile(paths.constFirst());
}

void SourceListModel::OnRemove(int selectionMark)
{
    if (selectionMark < 0 || selectionMark >= rowCount())
        return;
    beginRemoveRows({}, selectionMark, selectionMark);
    m_rows.erase(m_rows.begin() + selectionMark);
    endRemoveRows();
}

void SourceListModel::startNextProbe()
{
    while (!m_pendingProbes.empty()) {
        const auto [id, path] = m_pendingProbes.front();
        m_pendingProbes.pop_front();
        if (rowOfId(id) < 0)
            continue; // removed before its turn
        m_probedRowId = id;
        m_probe = std::make_unique<ProbeRun>(m_toolDir, path, nullptr, m_probeTimeLimitMs);
        connect(m_probe.get(), &ProbeRun::finished, this, &SourceListModel::probeFinished,
                Qt::QueuedConnection);
        m_probe->start();
        return;
    }
    emit probesFinished();
}

void SourceListModel::probeFinished(ProbeVerdict verdict, const ProbeResult &result)
{
    m_probe.reset();
    const int row = rowOfId(m_probedRowId);
    m_probedRowId = 0;
    if (row >= 0 && verdict == ProbeVerdict::Refused) {
        const QString path = m_rows[size_t(row)].texts[FileColumn];
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
        setStatusText(kInvalidText);
        emit fileRefused(path, kInvalidText);
    } else if (row >= 0 && verdict == ProbeVerdict::Accepted) {
        Row &filled = m_rows[size_t(row)];
        filled.texts[DurationColumn] = result.duration;
        filled.texts[CodecColumn] = result.codec;
        filled.texts[FrameSizeColumn] = result.frameSize;
        filled.texts[FrameRateColumn] = result.frameRate;
        emit dataChanged(index(row, DurationColumn), index(row, FrameRateColumn), {Qt::DisplayRole});
    }
    // A prober that could not start leaves the row as it was added, details empty.
    startNextProbe();
}
