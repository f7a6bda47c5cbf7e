#include "settings/settingsdlg.h"

#include "app/dialogtemplate.h"
#include "app/dialogunits.h"
#include "controls/xpgroupbox.h"
#include "platform/diskspace.h"
#include "settings/outputlocations.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QStorageInfo>

namespace {

enum : int {
    IDC_BROWSE = 1037,
    IDC_SAVE = 1038,
    IDC_CANCEL = 1039,
    IDC_PATH = 1036,
    IDC_FREE_SPACE = 1043,
    IDC_NAME_BY_TIME = 1044,
    IDC_AUTO_SHUTDOWN = 1047,
    IDC_MULTI_CORE = 1048,
};

constexpr int kWidth = 390;
constexpr int kHeight = 202;

// Template 173, in tab order.
const TemplateControl kControls[] = {
    {1042, ControlKind::Group, "转换后文件保存路径", 5, 7, 305, 54},
    {IDC_BROWSE, ControlKind::Button, "重新选择", 317, 7, 63, 54},
    {IDC_SAVE, ControlKind::Button, "保存", 101, 169, 72, 26},
    {IDC_CANCEL, ControlKind::Button, "取消", 199, 169, 70, 26},
    {IDC_PATH, ControlKind::Edit, "", 15, 24, 286, 12},
    {0, ControlKind::Label, "该分区剩余空间", 15, 45, 57, 8},
    {IDC_FREE_SPACE, ControlKind::RightLabel, "0", 76, 45, 27, 8},
    {0, ControlKind::Label, "MB", 111, 45, 9, 8},
    {1045, ControlKind::Group, "转换后文件命名方式", 5, 70, 376, 33},
    {IDC_NAME_BY_TIME, ControlKind::Radio, "当前时间日期", 16, 87, 64, 10},
    {1046, ControlKind::DisabledRadio, "原始文件名", 89, 87, 56, 10},
    {1049, ControlKind::Group, "高级设置", 5, 110, 376, 50},
    {IDC_AUTO_SHUTDOWN, ControlKind::Check,
     "当所有视频转换完成后自动关闭当前计算机 (自动关机时有30秒倒计时提醒功能，防止错误关机) ", 12, 127,
     357, 10},
    {IDC_MULTI_CORE, ControlKind::Check,
     "针对多核处理器或多个物理处理器进行优化 (ZPX针对各种使用类似HT超线程技术CPU做专门优化)", 12, 143, 356,
     10},
};

const ButtonAction<CSettingsDlg> kButtons[] = {
    {IDC_BROWSE, 174, &CSettingsDlg::OnBrowse},
    {IDC_SAVE, 133, &CSettingsDlg::OnSave},
    {IDC_CANCEL, 132, &CSettingsDlg::OnCancelButton},
};

const QString kInvalidFolderText = QStringLiteral("您选择的目录无效，请重试");
const QString kMessageCaption = QStringLiteral("Zepora ZPX");

} // namespace

CSettingsDlg::CSettingsDlg(QWidget *parent, Messenger messenger)
    : QDialog(parent), m_messenger(std::move(messenger))
{
    if (!m_messenger) {
        m_messenger = [this](const QString &caption, const QString &text) {
            QMessageBox::information(this, caption, text);
        };
    }
    setWindowTitle(QStringLiteral("Zepora设置"));
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.x(kWidth), units.y(kHeight));
    const QHash<int, QWidget *> controls = BuildFromTemplate(*this, kControls);
    for (QWidget *widget : controls)
        if (auto *group = qobject_cast<CXPGroupBox *>(widget))
            group->SetGroupStyle(CXPGroupBox::GBS_WINDOW);
    WireButtons(*this, controls, kButtons);
    m_edtPath = qobject_cast<QLineEdit *>(controls.value(IDC_PATH));
    m_stcFreeSpace = qobject_cast<QLabel *>(controls.value(IDC_FREE_SPACE));
    m_radCurrentTime = qobject_cast<QRadioButton *>(controls.value(IDC_NAME_BY_TIME));
    m_chkAutoShutdown = qobject_cast<QCheckBox *>(controls.value(IDC_AUTO_SHUTDOWN));
    m_chkMultiCore = qobject_cast<QCheckBox *>(controls.value(IDC_MULTI_CORE));
    connect(m_edtPath, &QLineEdit::textChanged, this, &CSettingsDlg::OnChangePath);
    OnInitDialog();
}

void CSettingsDlg::OnInitDialog()
{
    const QString root = ReadUsableRoot();
    setPathText(root.isEmpty() ? SelectLargestFixedDrive() : root);
    m_radCurrentTime->setChecked(true);
    m_chkMultiCore->setChecked(ReadSwitch(kMultiCoreValue));
    m_chkAutoShutdown->setChecked(ReadSwitch(kAutoShutdownValue));
}

QString CSettingsDlg::pathText() const { return m_edtPath->text(); }

void CSettingsDlg::setPathText(const QString &path)
{
    m_edtPath->setText(path);
    OnChangePath(); // the label follows every text the box gets, the same one included
}

QString CSettingsDlg::freeSpaceText() const { return m_stcFreeSpace->text(); }

int CSettingsDlg::GetFreeSpaceMB(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return 0;
    const QStorageInfo volume(path);
    return volume.isValid() ? int(std::min<qint64>(volume.bytesAvailable() >> 20, INT_MAX)) : 0;
}

QString CSettingsDlg::SelectLargestFixedDrive()
{
    const QStringList candidates = FixedDiskRoots() << QDir::homePath();

    QString proposal;
    int best = 0;
    for (const QString &candidate : std::as_const(candidates)) {
        const int free = GetFreeSpaceMB(candidate);
        // A volume may be a single file mounted in place; only a folder the user can write to will do.
        const QFileInfo folder(candidate);
        if (folder.isDir() && folder.isWritable() && free >= best) {
            best = free;
            proposal = candidate;
        }
    }
    return proposal;
}

void CSettingsDlg::OnChangePath()
{
    m_stcFreeSpace->setText(QString::number(GetFreeSpaceMB(m_edtPath->text())));
}

void CSettingsDlg::OnBrowse()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Zepora输出目录"), pathText());
    if (!folder.isEmpty())
        setPathText(folder);
}

void CSettingsDlg::OnSave()
{
    const QString root = pathText();
    // Only a folder can hold the output folders.
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        m_messenger(kMessageCaption, kInvalidFolderText);
        return;
    }
    WriteSettings(root, m_chkMultiCore->isChecked(), m_chkAutoShutdown->isChecked());
    QDir().mkpath(OutputDirFor(root, QDate::currentDate()));
    accept();
}

void CSettingsDlg::OnCancelButton()
{
    const QString stored = ReadUsableRoot();
    if (stored.isEmpty()) {
        // The program cannot work without a root: the proposal is kept, if there is one.
        setPathText(SelectLargestFixedDrive());
        OnSave();
    } else {
        setPathText(stored);
    }
    accept();
}
