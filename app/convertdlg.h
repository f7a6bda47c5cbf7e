#pragma once

#include "engine/conversionbatch.h"
#include "profiles/outputprofile.h"
#include "sources/sourcelist.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QTableView;
class QTimer;
class CTrayIcon;
class CXPGroupBox;
class CXPStyleButton;

// The main window, laid out from its dialog template in dialog units. It holds no conversion logic:
// the list is a view on the source model, the output panel mirrors OutputPanel, and the buttons
// drive the conversion batch.
class CConvertDlg : public QDialog {
    Q_OBJECT
public:
    // Start-up work the window does not do itself, given so that tests can stand in for it.
    struct StartUp {
        std::function<void()> settings;    // the settings dialog, when no usable root is stored
        std::function<bool()> deployTools; // writes the tools into the tool folder
        std::function<void()> shutdown;    // powers the computer off at the end of a countdown
    };

    explicit CConvertDlg(QWidget *parent = nullptr);
    ~CConvertDlg() override;

    // The initialisation, in the order of the window's start-up.
    void OnInitDialog(const StartUp &startUp);

    // Handlers, each wired to its control.
    void OnAdd();
    void OnRemove();
    void OnDropFiles(const QStringList &paths);
    void OnStart();
    void OnPause();
    void OnStop();
    void OnOutputType(OutputType type);
    void OnSelchangeResolution();
    void OnSelchangeBitrate();
    void OnSelchangeFrameRate();
    void OnOutputDir();
    void OnSettings();
    void OnShowHelp();
    // The countdown to the shutdown, when a batch ends with automatic shutdown on.
    void ShowShutdownReminder();
    // Brings the window back from the tray or the taskbar and to the front (a second start, the tray).
    void OnTrayShow();

    SourceListModel &sources() { return *m_sources; }
    ConversionBatch &batch() { return *m_batch; }
    const OutputPanel &outputPanel() const { return m_panel; }
    bool isPauseToggled() const { return m_bPaused; }

    // Controls by their template ids, for the skinned classes and for tests.
    QWidget *control(int id) const;
    QString controlText(int id) const;

    static constexpr int kBannerPeriodMs = 3500;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void showPanel();
    void setStatus(const QString &text);
    void swapBanner();
    void hideToTray();

    OutputPanel m_panel;
    std::unique_ptr<SourceListModel> m_sources;
    std::unique_ptr<ConversionBatch> m_batch;
    bool m_bPaused = false;
    bool m_bBannerFirst = true;

    QLabel *m_stcBanner = nullptr;
    CXPStyleButton *m_btnPause = nullptr;
    QTableView *m_listFiles = nullptr;
    CXPGroupBox *m_grpFileInfo = nullptr;
    CXPGroupBox *m_grpMode = nullptr;
    CXPGroupBox *m_grpOutputType = nullptr;
    QProgressBar *m_ctlProgress = nullptr;
    QLabel *m_stcStatus = nullptr;
    QLabel *m_stcFormat = nullptr;
    QLabel *m_stcFrameSize = nullptr;
    QLabel *m_stcBitrate = nullptr;
    QLabel *m_stcFrameRate = nullptr;
    QLabel *m_stcOutputDir = nullptr;
    QComboBox *m_cboResolution = nullptr;
    QComboBox *m_cboBitrate = nullptr;
    QComboBox *m_cboFrameRate = nullptr;
    QRadioButton *m_radSmart = nullptr;
    QButtonGroup *m_outputTypes = nullptr;
    QTimer *m_bannerTimer = nullptr;
    CTrayIcon *m_tray = nullptr;
    std::function<void()> m_shutdown;
    QHash<int, QWidget *> m_controls;
};

// The one main window, set when it is made and never cleared.
extern QPointer<CConvertDlg> g_pMainDlg;
