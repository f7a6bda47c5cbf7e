#include "shutdown/shutdowndlg.h"

#include "app/dialogunits.h"
#include "controls/xpstylebutton.h"
#include "res/artwork.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kWidth = 264;
constexpr int kHeight = 114;
constexpr int kTickMs = 1000;

const char kNotice[] = "Zepora已经处理好了列表中的所有文件，您设置了自动关机功能，如果您不执行取消关机"
                       "操作，ZPX将会在30秒后自动关闭计算机。";

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

    auto *notice = new QLabel(QString::fromUtf8(kNotice), this);
    notice->setWordWrap(true);
    PlaceControl(notice, units.rect(19, 15, 215, 26), width() - units.x(4));
    const auto button = [&](const char *text, int x, int icon, void (CShutdownDlg::*handler)()) {
        auto *push = new CXPStyleButton(QString::fromUtf8(text), this);
        push->SetIcon(ResourceIcon(icon));
        push->setGeometry(units.rect(x, 76, 54, 26));
        connect(push, &QAbstractButton::clicked, this, handler);
    };
    button("设置", 175, 145, &CShutdownDlg::OnShutdownSettings);
    button("立即关机", 99, 137, &CShutdownDlg::OnShutdownNow);
    button("取消关机", 21, 132, &CShutdownDlg::OnCancelShutdown);
    m_ctlProgress = new QProgressBar(this);
    m_ctlProgress->setGeometry(units.rect(65, 54, 161, 8));
    m_ctlProgress->setTextVisible(false);
    m_ctlProgress->setRange(0, kSteps);
    m_ctlProgress->setValue(0);
    (new QLabel(QStringLiteral("自动关机"), this))->setGeometry(units.rect(29, 54, 33, 8));

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
