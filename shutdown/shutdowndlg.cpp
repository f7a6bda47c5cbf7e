#include "shutdown/shutdowndlg.h"

#include "app/dialogtemplate.h"
#include "app/dialogunits.h"

#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kWidth = 264;
constexpr int kHeight = 114;
constexpr int kTickMs = 1000;

const char kNotice[] = "Zepora已经处理好了列表中的所有文件，您设置了自动关机功能，如果您不执行取消关机"
                       "操作，ZPX将会在30秒后自动关闭计算机。";

enum : int {
    IDC_SETTINGS = 1027,
    IDC_SHUTDOWN_NOW = 1028,
    IDC_CANCEL_SHUTDOWN = 1029,
    IDC_PROGRESS = 1050
};

// Template 184, in tab order.
const TemplateControl kControls[] = {
    {0, ControlKind::WrappedLabel, kNotice, 19, 15, 215, 26},
    {IDC_SETTINGS, ControlKind::Button, "设置", 175, 76, 54, 26},
    {IDC_SHUTDOWN_NOW, ControlKind::Button, "立即关机", 99, 76, 54, 26},
    {IDC_CANCEL_SHUTDOWN, ControlKind::Button, "取消关机", 21, 76, 54, 26},
    {IDC_PROGRESS, ControlKind::Progress, "", 65, 54, 161, 8},
    {0, ControlKind::Label, "自动关机", 29, 54, 33, 8},
};

const ButtonAction<CShutdownDlg> kButtons[] = {
    {IDC_SETTINGS, 145, &CShutdownDlg::OnShutdownSettings},
    {IDC_SHUTDOWN_NOW, 137, &CShutdownDlg::OnShutdownNow},
    {IDC_CANCEL_SHUTDOWN, 132, &CShutdownDlg::OnCancelShutdown},
};

} // namespace

CShutdownDlg::CShutdownDlg(std::function<void()> shutdownComputer, std::function<void()> openSettings,
                           QWidget *parent)
    : QDialog(parent), m_shutdownComputer(std::move(shutdownComputer)),
      m_openSettings(std::move(openSettings))
{
    setWindowTitle(QStringLiteral("Zepora 自动关机提醒"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.x(kWidth), units.y(kHeight));

    const QHash<int, QWidget *> controls = BuildFromTemplate(*this, kControls);
    WireButtons(*this, controls, kButtons);
    m_ctlProgress = qobject_cast<QProgressBar *>(controls.value(IDC_PROGRESS));
    m_ctlProgress->setTextVisible(false);
    m_ctlProgress->setRange(0, kSteps);
    m_ctlProgress->setValue(0);

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CShutdownDlg::OnTimer);
    m_timer->start(kTickMs);
}

void CShutdownDlg::OnTimer()
{
    m_ctlProgress->setValue(std::min(m_ticks, kSteps));
    if (m_ticks == kSteps) {
        m_timer->stop();
        m_shutdownComputer();
    }
    ++m_ticks;
}

void CShutdownDlg::OnCancelShutdown()
{
    m_timer->stop();
    accept();
}

void CShutdownDlg::OnShutdownNow() { m_shutdownComputer(); }

void CShutdownDlg::OnShutdownSettings()
{
    // The countdown goes on meanwhile, as the reminder promised.
    if (m_openSettings)
        m_openSettings();
    accept();
}

int CShutdownDlg::position() const { return m_ctlProgress->value(); }

bool CShutdownDlg::isCounting() const { return m_timer->isActive(); }

int CShutdownDlg::tickPeriodMs() const { return m_timer->interval(); }
