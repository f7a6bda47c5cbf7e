#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The settings dialog: the output root (with its volume's free space), the naming of output files
// and the two switches. Save checks the folder, stores all three settings and makes today's folder.
class CSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // How the invalid-folder message reaches the user; tests stand in for the message box.
    using Messenger = std::function<void(const QString &caption, const QString &text)>;

    explicit CSettingsDlg(QWidget *parent = nullptr, Messenger messenger = {});

    void OnBrowse();
    void OnSave();
    void OnCancelButton();
    void OnChangePath();

    // Among the user's writable local volumes and the home folder, the folder on the volume with
    // the most free space (the later one on a tie); empty when there is none.
    static QString SelectLargestFixedDrive();
    // Free megabytes on the volume of `path`; 0 when the path does not exist.
    static int GetFreeSpaceMB(const QString &path);

    QString pathText() const;
    void setPathText(const QString &path);
    QString freeSpaceText() const;
    QCheckBox *autoShutdownBox() const { return m_chkAutoShutdown; }
    QCheckBox *multiCoreBox() const { return m_chkMultiCore; }

private:
    void OnInitDialog();

    Messenger m_messenger;
    QLineEdit *m_edtPath = nullptr;
    QLabel *m_stcFreeSpace = nullptr;
    QRadioButton *m_radCurrentTime = nullptr;
    QCheckBox *m_chkAutoShutdown = nullptr;
    QCheckBox *m_chkMultiCore = nullptr;
};
