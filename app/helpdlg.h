#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

// The help dialog: three steps of use and four pages that ship with the program (detailed help,
// about, support, device frame sizes), opened in the user's browser.
class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    using PageOpener = std::function<void(const QUrl &page)>;

    explicit CHelpDlg(QWidget *parent = nullptr, PageOpener opener = {});

    void OnHelpPage();
    void OnHomePage();
    void OnForum();
    void OnDeviceList();

    QString topLine() const;

private:
    void openPage(const char *page);

    PageOpener m_opener;
    QString m_topLine;
};

// Writes the pages the program stores into the user's data folder (when they differ) and returns
// the address of one of them; empty when it could not be written.
QUrl HelpPageUrl(const QString &page);
QString HelpPageFolder();
