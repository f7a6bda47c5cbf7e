#include "app/convertdlg.h"

#include "app/dialogtemplate.h"
#include "app/dialogunits.h"
#include "app/helpdlg.h"
#include "app/outputfolder.h"
#include "app/trayicon.h"
#include "controls/xpgroupbox.h"
#include "controls/xpstylebutton.h"
#include "platform/affinity.h"
#include "platform/toolfolder.h"
#include "res/artwork.h"
#include "settings/outputlocations.h"
#include "settings/settingsdlg.h"
#include "shutdown/shutdowndlg.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

QPointer<CConvertDlg> g_pMainDlg;

namespace {

// Ids of the template's controls.
enum ControlId {
    IDC_ADD = 1000,
    IDC_REMOVE = 1001,
    IDC_START = 1002,
    IDC_STOP = 1003,
    IDC_LIST = 1004,
    IDC_PROGRESS = 1005,
    IDC_STATUS = 1006,
    IDC_PAUSE = 1007,
    IDC_SMART = 1012,
    IDC_EXPERT = 1013,
    IDC_RESOLUTION = 1014,
    IDC_HELP = 1023,
    IDC_GROUP_MODE = 1024,
    IDC_GROUP_TYPE = 1025,
    IDC_BITRATE = 1026,
    IDC_SETTINGS = 1027,
    IDC_GROUP_INFO = 1028,
    IDC_FORMAT = 1031,
    IDC_FRAMESIZE = 1032,
    IDC_BITRATE_TEXT = 1033,
    IDC_FRAMERATE_TEXT = 1034,
    IDC_FRAMERATE = 1035,
    IDC_OUTPUT_DIR = 1041,
    IDC_OUTPUT_DIR_TEXT = 1048,
    IDC_BANNER = 1051,
};

constexpr int kDialogWidth = 573;
constexpr int kDialogHeight = 351;
constexpr int kComboHeight = 12; // the closed box; the template's height includes its drop list

// Template 102, in tab order; the radio buttons follow from the profile table below.
const TemplateControl kControls[] = {
    {IDC_GROUP_MODE, ControlKind::Group, "模式选择", 411, 71, 156, 47},
    {IDC_ADD, ControlKind::Button, "添加", 4, 72, 41, 23},
    {IDC_REMOVE, ControlKind::Button, "移除", 49, 72, 41, 23},
    {IDC_START, ControlKind::Button, "开始转换", 104, 72, 49, 23},
    {IDC_STOP, ControlKind::Button, "停止", 211, 72, 41, 23},
    {IDC_LIST, ControlKind::List, "", 4, 101, 398, 139},
    {IDC_GROUP_INFO, ControlKind::Group, "当前文件输出描述", 5, 245, 398, 51},
    {0, ControlKind::Label, "文件格式", 14, 266, 33, 8},
    {IDC_PROGRESS, ControlKind::Progress, "", 78, 302, 326, 10},
    {0, ControlKind::Label, "当前文件转换进度", 7, 303, 65, 8},
    {0, ControlKind::Label, "分辨率", 81, 266, 25, 8},
    {0, ControlKind::Label, "采样率", 175, 266, 25, 8},
    {0, ControlKind::Label, "帧率(FPS)", 258, 266, 37, 8},
    {IDC_STATUS, ControlKind::Status, "支持拖拽方式添加文件", 6, 317, 398, 25},
    {IDC_BANNER, ControlKind::Label, "", 0, 0, 573, 67},
    {IDC_GROUP_TYPE, ControlKind::Group, "输出类型", 411, 122, 158, 223},
    {IDC_HELP, ControlKind::Button, "帮助", 369, 72, 36, 23},
    {IDC_RESOLUTION, ControlKind::Combo, "", 457, 292, 86, kComboHeight},
    {0, ControlKind::Label, "分辨率", 427, 296, 25, 8},
    {0, ControlKind::Label, "采样率", 427, 313, 25, 8},
    {IDC_BITRATE, ControlKind::EditCombo, "", 457, 310, 86, kComboHeight},
    {IDC_SETTINGS, ControlKind::Button, "设置", 330, 72, 34, 23},
    {0, ControlKind::Label, "文件输出路径", 14, 281, 49, 8},
    {IDC_FORMAT, ControlKind::Label, "未知", 56, 266, 17, 8},
    {IDC_FRAMESIZE, ControlKind::CentredLabel, "未知", 114, 266, 48, 8},
    {IDC_BITRATE_TEXT, ControlKind::CentredLabel, "未知", 211, 266, 35, 8},
    {IDC_FRAMERATE_TEXT, ControlKind::CentredLabel, "未知", 301, 266, 48, 8},
    {0, ControlKind::Label, "帧率FPS", 427, 329, 29, 8},
    {IDC_FRAMERATE, ControlKind::Combo, "", 457, 327, 86, kComboHeight},
    {IDC_OUTPUT_DIR, ControlKind::Button, "输出路径", 273, 72, 48, 23},
    {IDC_OUTPUT_DIR_TEXT, ControlKind::Label, "", 69, 281, 316, 8},
    {IDC_PAUSE, ControlKind::Button, "暂停", 157, 72, 41, 23},
};

struct RadioSpec {
    int id;
    const char *text;
    int x, y, width;
    bool enabled;
};

// The two mode radios; the ten output radios take their ids and captions from the profile table.
const RadioSpec kModeRadios[] = {
    {IDC_SMART, "智能模式 (推荐使用)", 438, 88, 92, true},
    {IDC_EXPERT, "高级模式 (专家使用)", 438, 103, 93, false},
};

struct OutputRadioPlace {
    OutputType type;
    int y, width;
};
const OutputRadioPlace kOutputRadios[] = {
    {OUT_MPG, 139, 84},        {OUT_AVI, 154, 84},     {OUT_RM, 169, 84},  {OUT_3GP, 184, 84},
    {OUT_MP4, 199, 84},        {OUT_FLV, 215, 84},     {OUT_PSP, 231, 95}, {OUT_PS3, 246, 96},
    {OUT_IPOD_NANO, 261, 110}, {OUT_IPHONE, 275, 123},
};
constexpr int kOutputRadioX = 440;
constexpr int kRadioHeight = 10;
// The template sized the captions for the Song face; other faces run wider, so a caption may use
// the group's width up to its frame.
constexpr int kOutputGroupInnerRight = 411 + 158 - 4;

constexpr int kColumnWidths[SourceListModel::ColumnCount] = {62, 228, 60, 38, 70, 60, 58};

constexpr int kPauseIcon = 138;
constexpr int kContinueIcon = 137;

// The push buttons' pictures and handlers.
const ButtonAction<CConvertDlg> kButtons[] = {
    {IDC_PAUSE, kPauseIcon, &CConvertDlg::OnPause},
    {IDC_STOP, 144, &CConvertDlg::OnStop},
    {IDC_REMOVE, 132, &CConvertDlg::OnRemove},
    {IDC_START, 136, &CConvertDlg::OnStart},
    {IDC_ADD, 143, &CConvertDlg::OnAdd},
    {IDC_HELP, 134, &CConvertDlg::OnShowHelp},
    {IDC_OUTPUT_DIR, 174, &CConvertDlg::OnOutputDir},
    {IDC_SETTINGS, 145, &CConvertDlg::OnSettings},
};

struct PicturePlace {
    int picture;
    int x, y;
};
// The badges left of the radio buttons (20 x 20 units each).
const PicturePlace kRadioPictures[] = {
    {157, 421, 139}, {158, 421, 154}, {154, 421, 169}, {155, 420, 184}, {150, 422, 198}, {149, 422, 213},
    {147, 422, 230}, {146, 421, 244}, {152, 420, 260}, {153, 420, 274}, {142, 424, 87},  {145, 424, 103},
};

// The list's small images, 16 x 16: every row shows the first, at the head of its first column.
const int kListImages[] = {138, 137, 133};
constexpr int kListImageSide = 16;

class FileListImages : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DecorationRole && index.column() == 0)
            return ResourceIcon(kListImages[0]).pixmap(kListImageSide, kListImageSide);
        return QIdentityProxyModel::data(index, role);
    }
};

const QString kPausedCaption = QStringLiteral("继续");
const QString kPauseCaption = QStringLiteral("暂停");

void fillBox(QComboBox *box, const QStringList &entries, int current)
{
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(entries);
    box->setCurrentIndex(current);
}

} // namespace

CConvertDlg::CConvertDlg(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Zepora"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    // The tools are written during the start-up, after the window is made: the window runs them
    // from the folder they are written to.
    m_sources = std::make_unique<SourceListModel>(DefaultToolFolder());
    m_batch = std::make_unique<ConversionBatch>(
        *m_sources, DefaultToolFolder(), [this] { return OutputNowOf(m_panel); },
        [] { return GetOutputDir(); });
    createControls();
    connect(m_sources.get(), &SourceListModel::statusMessage, this, &CConvertDlg::setStatus);
    connect(m_batch.get(), &ConversionBatch::statusMessage, this, &CConvertDlg::setStatus);
    connect(m_batch.get(), &ConversionBatch::progressChanged, m_ctlProgress, &QProgressBar::setValue);
    qApp->installEventFilter(this);
    g_pMainDlg = this;
}

CConvertDlg::~CConvertDlg() { qApp->removeEventFilter(this); }

void CConvertDlg::createControls()
{
    const DialogUnits units(font());
    setFixedSize(units.x(kDialogWidth), units.y(kDialogHeight));

    m_controls = BuildFromTemplate(*this, kControls);

    const auto at = [this](int id) { return m_controls.value(id); };
    m_grpMode = qobject_cast<CXPGroupBox *>(at(IDC_GROUP_MODE));
    m_grpFileInfo = qobject_cast<CXPGroupBox *>(at(IDC_GROUP_INFO));
    m_grpOutputType = qobject_cast<CXPGroupBox *>(at(IDC_GROUP_TYPE));
    m_btnPause = qobject_cast<CXPStyleButton *>(at(IDC_PAUSE));
    m_listFiles = qobject_cast<QTableView *>(at(IDC_LIST));
    m_ctlProgress = qobject_cast<QProgressBar *>(at(IDC_PROGRESS));
    m_stcStatus = qobject_cast<QLabel *>(at(IDC_STATUS));
    m_stcBanner = qobject_cast<QLabel *>(at(IDC_BANNER));
    m_stcFormat = qobject_cast<QLabel *>(at(IDC_FORMAT));
    m_stcFrameSize = qobject_cast<QLabel *>(at(IDC_FRAMESIZE));
    m_stcBitrate = qobject_cast<QLabel *>(at(IDC_BITRATE_TEXT));
    m_stcFrameRate = qobject_cast<QLabel *>(at(IDC_FRAMERATE_TEXT));
    m_stcOutputDir = qobject_cast<QLabel *>(at(IDC_OUTPUT_DIR_TEXT));
    m_cboResolution = qobject_cast<QComboBox *>(at(IDC_RESOLUTION));
    m_cboBitrate = qobject_cast<QComboBox *>(at(IDC_BITRATE));
    m_cboFrameRate = qobject_cast<QComboBox *>(at(IDC_FRAMERATE));

    auto *modes = new QButtonGroup(this);
    for (const RadioSpec &item : kModeRadios) {
        auto *radio = new QRadioButton(QString::fromUtf8(item.text), this);
        radio->setGeometry(units.rect(item.x, item.y, item.width, kRadioHeight));
        radio->setEnabled(item.enabled);
        modes->addButton(radio, item.id);
        m_controls.insert(item.id, radio);
    }
    m_radSmart = qobject_cast<QRadioButton *>(at(IDC_SMART));

    m_outputTypes = new QButtonGroup(this);
    for (const OutputRadioPlace &place : kOutputRadios) {
        const OutputProfile &profile = ProfileOf(place.type);
        auto *radio = new QRadioButton(QString::fromUtf8(profile.radioText), this);
        radio->setGeometry(units.rect(kOutputRadioX, place.y,
                                      std::max(place.width, kOutputGroupInnerRight - kOutputRadioX),
                                      kRadioHeight));
        radio->setEnabled(profile.selectable);
        m_outputTypes->addButton(radio, profile.radioId);
        m_controls.insert(profile.radioId, radio);
        // A click on the type already chosen applies its profile again.
        connect(radio, &QRadioButton::clicked, this, [this, type = place.type] { OnOutputType(type); });
    }

    auto *listed = new FileListImages(this);
    listed->setSourceModel(m_sources.get());
    m_listFiles->setModel(listed);
    m_listFiles->setIconSize(QSize(kListImageSide, kListImageSide));
    m_listFiles->verticalHeader()->hide();
    m_listFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listFiles->setShowGrid(true);
    m_listFiles->setWordWrap(false);
    m_listFiles->horizontalHeader()->setSectionsClickable(false);
    m_listFiles->horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < SourceListModel::ColumnCount; ++column)
        m_listFiles->setColumnWidth(column, kColumnWidths[column]);
    m_listFiles->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    m_ctlProgress->setTextVisible(false);
    m_stcBanner->setPixmap(BannerPixmap(129));
    m_stcBanner->setScaledContents(true);

    WireButtons(*this, m_controls, kButtons);
    connect(m_cboResolution, &QComboBox::activated, this, &CConvertDlg::OnSelchangeResolution);
    connect(m_cboBitrate, &QComboBox::activated, this, &CConvertDlg::OnSelchangeBitrate);
    connect(m_cboFrameRate, &QComboBox::activated, this, &CConvertDlg::OnSelchangeFrameRate);

    for (const PicturePlace &place : kRadioPictures) {
        auto *picture = new QLabel(this);
        // The template's 20 units are the icon's whole cell; the picture sits in its first 16.
        const QRect cell = units.rect(place.x, place.y, 20, 20);
        const int side = std::min(cell.width(), cell.height()) - units.y(4);
        picture->setPixmap(ResourceIcon(place.picture).pixmap(side, side));
        picture->setGeometry(QRect(cell.topLeft(), QSize(side, side)));
    }

    m_bannerTimer = new QTimer(this);
    connect(m_bannerTimer, &QTimer::timeout, this, &CConvertDlg::swapBanner);
}

void CConvertDlg::OnInitDialog(const StartUp &startUp)
{
    m_shutdown = startUp.shutdown;
    connect(m_batch.get(), &ConversionBatch::autoShutdownDue, this, &CConvertDlg::ShowShutdownReminder,
            Qt::UniqueConnection);
    setWindowIcon(ApplicationIcon());
    m_radSmart->setChecked(true);
    m_outputTypes->button(ProfileOf(OUT_MP4).radioId)->setChecked(true);
    m_tray = new CTrayIcon(this);
    connect(m_tray, &CTrayIcon::exitRequested, this, &QDialog::accept);
    if (CTrayIcon::isAvailable())
        m_tray->show();
    setAcceptDrops(true);
    for (CXPGroupBox *group : {m_grpMode, m_grpOutputType, m_grpFileInfo})
        group->SetGroupStyle(CXPGroupBox::GBS_WINDOW);
    m_ctlProgress->setRange(0, 100);
    m_ctlProgress->setValue(0);
    if (ReadUsableRoot().isEmpty() && startUp.settings)
        startUp.settings();
    if (ReadSwitch(kMultiCoreValue))
        ApplyMultiCoreAffinity();
    PrepareOutputDir();
    if (startUp.deployTools)
        startUp.deployTools();
    OnOutputType(OUT_MP4);
    OnSelchangeBitrate();
    OnSelchangeFrameRate();
    OnSelchangeResolution();
    m_bannerTimer->start(kBannerPeriodMs);
}

QWidget *CConvertDlg::control(int id) const { return m_controls.value(id); }

QString CConvertDlg::controlText(int id) const
{
    QWidget *widget = control(id);
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *group = qobject_cast<CXPGroupBox *>(widget))
        return group->title();
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return box->currentText();
    return {};
}

void CConvertDlg::setStatus(const QString &text) { m_stcStatus->setText(text); }

void CConvertDlg::showPanel()
{
    fillBox(m_cboResolution, m_panel.frameSizes, m_panel.frameSizeIndex);
    fillBox(m_cboBitrate, m_panel.bitrates, m_panel.bitrateIndex);
    fillBox(m_cboFrameRate, m_panel.frameRates, m_panel.frameRateIndex);
    m_stcFormat->setText(m_panel.formatLabel);
    m_stcFrameSize->setText(m_panel.frameSizeLabel);
    m_stcBitrate->setText(m_panel.bitrateLabel);
    m_stcFrameRate->setText(m_panel.frameRateLabel);
}

void CConvertDlg::OnOutputType(OutputType type)
{
    ApplyOutputProfile(m_panel, type);
    showPanel();
}

void CConvertDlg::OnSelchangeResolution()
{
    ::OnSelchangeResolution(m_panel, m_cboResolution->currentIndex());
    m_stcFrameSize->setText(m_panel.frameSizeLabel);
}

void CConvertDlg::OnSelchangeBitrate()
{
    ::OnSelchangeBitrate(m_panel, m_cboBitrate->currentIndex());
    m_stcBitrate->setText(m_panel.bitrateLabel);
}

void CConvertDlg::OnSelchangeFrameRate()
{
    ::OnSelchangeFrameRate(m_panel, m_cboFrameRate->currentIndex());
    m_stcFrameRate->setText(m_panel.frameRateLabel);
}

void CConvertDlg::OnAdd()
{
    const QString path = QFileDialog::getOpenFileName(this, kAddDialogTitle, QString(),
                                                      AddDialogNameFilters().join(QStringLiteral(";;")));
    if (!path.isEmpty())
        m_sources->AddSourceFile(path);
}

void CConvertDlg::OnRemove()
{
    const QModelIndex mark = m_listFiles->selectionModel()->currentIndex();
    m_sources->OnRemove(mark.isValid() ? mark.row() : -1);
}

void CConvertDlg::OnDropFiles(const QStringList &paths) { m_sources->OnDropFiles(paths); }

void CConvertDlg::OnStart()
{
    if (m_sources->rowCount() >= 1 && !m_batch->isRunning())
        m_stcOutputDir->setText(GetOutputDir());
    // The batch takes the description's texts as they stand now, and says what it does.
    m_batch->OnStart(SelectionFromPanel(m_panel));
}

void CConvertDlg::OnPause()
{
    // The button is a toggle of its own: it flips on every click, batch or not.
    m_bPaused = !m_bPaused;
    m_btnPause->setText(m_bPaused ? kPausedCaption : kPauseCaption);
    m_btnPause->SetIcon(ResourceIcon(m_bPaused ? kContinueIcon : kPauseIcon));
    if (m_bPaused)
        m_batch->OnPause();
    else
        m_batch->OnContinue();
    setStatus(m_bPaused ? kPausedText : kContinuingText);
}

void CConvertDlg::OnStop()
{
    m_batch->OnStop();
    m_ctlProgress->setValue(0);
    setStatus(kStoppedText);
}

void CConvertDlg::OnOutputDir() { ::OnOutputDir(); }

void CConvertDlg::OnSettings()
{
    CSettingsDlg settings(isVisible() ? this : nullptr);
    settings.exec();
}

void CConvertDlg::OnShowHelp()
{
    CHelpDlg help(this);
    help.exec();
}

void CConvertDlg::ShowShutdownReminder()
{
    CShutdownDlg reminder(
        [this] {
            if (m_shutdown)
                m_shutdown();
        },
        [this] { OnSettings(); });
    reminder.exec();
}

void CConvertDlg::swapBanner()
{
    m_bBannerFirst = !m_bBannerFirst;
    m_stcBanner->setPixmap(BannerPixmap(m_bBannerFirst ? 129 : 185));
}

void CConvertDlg::hideToTray()
{
    m_bannerTimer->stop();
    // With no notification area to bring it back, the window is minimised rather than hidden.
    if (m_tray && CTrayIcon::isAvailable())
        hide();
    else
        showMinimized();
}

void CConvertDlg::OnTrayShow()
{
    showNormal();
    raise();
    activateWindow();
}

void CConvertDlg::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CConvertDlg::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    OnDropFiles(paths);
    event->acceptProposedAction();
}

bool CConvertDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    // No key reaches the window's controls; Escape puts the window away.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        hideToTray();
    return true;
}
