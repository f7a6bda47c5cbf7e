#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The icon in the notification area: a left click hides or shows the window, its menu shows the
// window or ends the program, and a balloon greets the user once at start.
class CTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit CTrayIcon(QWidget *window);
    ~CTrayIcon() override;

    // False when the desktop has no notification area: then nothing could bring a hidden window back.
    static bool isAvailable();
    void show();

    void OnTrayShow();
    void toggleWindow();

signals:
    void exitRequested();

private:
    QWidget *m_window;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
};
