#include "app/trayicon.h"

#include "res/artwork.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

const QString kTitle = QStringLiteral("Zepora ZPX");
const QString kBalloon = QStringLiteral("Zepora 免费、绿色转换软件");
constexpr int kBalloonMs = 2000;

} // namespace

CTrayIcon::CTrayIcon(QWidget *window)
    : QObject(window), m_window(window), m_icon(new QSystemTrayIcon(ApplicationIcon(), this)),
      m_menu(new QMenu())
{
    m_icon->setToolTip(kTitle);
    m_menu->addAction(QStringLiteral("显示窗口"), this, &CTrayIcon::OnTrayShow);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("退出 ZPX"), this, &CTrayIcon::exitRequested);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            toggleWindow();
    });
}

CTrayIcon::~CTrayIcon()
{
    m_icon->hide();
    delete m_menu;
}

bool CTrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void CTrayIcon::show()
{
    m_icon->show();
    m_icon->showMessage(kTitle, kBalloon, QSystemTrayIcon::Information, kBalloonMs);
}

void CTrayIcon::OnTrayShow()
{
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void CTrayIcon::toggleWindow()
{
    if (m_window->isVisible() && !m_window->isMinimized())
        m_window->hide();
    else
        OnTrayShow();
}
