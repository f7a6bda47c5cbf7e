#pragma once

#include <QDialog>

#include <functional>

class QProgressBar;
class QTimer;

// The reminder at the end of a batch when automatic shutdown is on: it stays on top, fills its bar
// over 30 one-second steps and shuts the computer down on the step that shows 30. The user may
// cancel, shut down at once, or open the settings.
class CShutdownDlg : public QDialog {
    Q_OBJECT
public:
    CShutdownDlg(std::function<void()> shutdownComputer, std::function<void()> openSettings,
                 QWidget *parent = nullptr);

    void OnTimer();
    void OnCancelShutdown();
    void OnShutdownNow();
    void OnShutdownSettings();

    int position() const;
    bool isCounting() const;
    int tickPeriodMs() const;

    static constexpr int kSteps = 30;

private:
    std::function<void()> m_shutdownComputer;
    std::function<void()> m_openSettings;
    QProgressBar *m_ctlProgress = nullptr;
    QTimer *m_timer = nullptr;
    int m_ticks = 0;
};
