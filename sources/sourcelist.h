#pragma once

#include "sources/mediaprobe.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <array>
#include <deque>
#include <memory>
#include <vector>

// The source list's status texts, shown in the window's status line.
inline const QString kAddingText = QStringLiteral("【提示】正在添加视频文件");
inline const QString kDuplicateText = QStringLiteral("【提示】该文件已经添加，请勿重复添加");
inline const QString kInvalidText = QStringLiteral("【提示】该视频文件无效，无法添加");
inline const QString kWaitingText = QStringLiteral("待转换");

// The add dialog: its title and its two filters, the video formats (selected first) and all files.
inline const QString kAddDialogTitle = QStringLiteral("请选视频影音文件");
QStringList AddDialogNameFilters();

// The files to convert, one row each, in seven columns. Adding a file inserts its row at once and
// has the prober fill in its details without blocking; probes run one after another in the order
// the files came, and a probe always fills or removes the row it was started for.
class SourceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        IndexColumn,
        FileColumn,
        DurationColumn,
        CodecColumn,
        FrameSizeColumn,
        FrameRateColumn,
        StatusColumn,
        ColumnCount
    };

    explicit SourceListModel(QString toolDir, QObject *parent = nullptr,
                             int probeTimeLimitMs = kProbeTimeLimitMs);
    ~SourceListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Adds one file unless the list holds exactly this path already (letter case counts).
    void AddSourceFile(const QString &path);
    // A drop: only the first item counts, and only when it is an existing file.
    void OnDropFiles(const QStringList &paths);
    // Removes the row at the selection mark; -1 (no selection) removes nothing.
    void OnRemove(int selectionMark);

    QString text(int row, Column column) const;
    QString sourcePath(int row) const { return text(row, FileColumn); }
    void setStatus(int row, const QString &status);
    // Each row keeps its number for life, whatever is removed before it.
    quint64 rowId(int row) const;
    int rowOfId(quint64 id) const;

    // The row's file has not had its probe yet; it may still be refused.
    bool isAwaitingProbe(int row) const;
    bool isProbing() const { return m_probe != nullptr || !m_pendingProbes.empty(); }
    QString statusText() const { return m_status; }

signals:
    // A text for the status line.
    void statusMessage(const QString &text);
    // Every file added so far has had its probe.
    void probesFinished();
    // A file was not taken into the list (already listed, or the prober found no length).
    void fileRefused(const QString &path, const QString &statusText);

private:
    struct Row {
        quint64 id;
        std::array<QString, ColumnCount> texts;
    };

    void setStatusText(const QString &text);
    void startNextProbe();
    void probeFinished(ProbeVerdict verdict, const ProbeResult &result);

    QString m_toolDir;
    int m_probeTimeLimitMs;
    std::vector<Row> m_rows;
    quint64 m_nextId = 1;
    std::deque<std::pair<quint64, QString>> m_pendingProbes; // row id, path
    std::unique_ptr<ProbeRun> m_probe;
    quint64 m_probedRowId = 0;
    QString m_status;
};
