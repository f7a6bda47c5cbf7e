#include "app/helpdlg.h"

#include "app/dialogunits.h"
#include "controls/xpstylebutton.h"
#include "res/artwork.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>

namespace {

constexpr int kWidth = 328;
constexpr int kHeight = 219;

constexpr const char *kStoredPages[] = {"help.html", "index.html", "support.html", "devices.html",
                                        "style.css"};

struct HelpButton {
    int id;
    int icon;
    const char *text;
    int x, y, width, height;
    void (CHelpDlg::*handler)();
};

// Template 159's buttons, in tab order; "确定" ends the dialog.
const HelpButton kButtons[] = {
    {1032, 134, "详细帮助", 112, 24, 79, 26, &CHelpDlg::OnHelpPage},
    {1033, 172, "官方网站", 18, 24, 79, 26, &CHelpDlg::OnHomePage},
    {1034, 142, "技术支持论坛", 204, 24, 104, 26, &CHelpDlg::OnForum},
    {1035, 143, "确定", 159, 188, 68, 23, nullptr},
    {1052, 134, "常见移动设备分辨率列表推荐 (主流手机、MP4播放器品牌对照列表)", 17, 59, 291, 25,
     &CHelpDlg::OnDeviceList},
};

struct HelpLabel {
    const char *text;
    int x, y, width, height;
};

const HelpLabel kLabels[] = {
    {"操作步骤", 19, 97, 33, 8},
    {"1.单击“添加”按钮或直接使用鼠标拖拽需要转换的文件到列表中", 17, 114, 233, 8},
    {"2.在软件右侧的“输出类型”中选择相应的设备，一般选择“手机视频(MP4)”即可，部分手机或MP3仅支持3GP格式视频",
     18, 135, 261, 18},
    {"3.最后直接单击“开始转换”按钮软件就会自动处理列表中的每个视频。", 17, 166, 257, 8},
};

} // namespace

QString HelpPageFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("ZPX/help"));
}

QUrl HelpPageUrl(const QString &page)
{
    const QDir folder(HelpPageFolder());
    if (!folder.mkpath(QStringLiteral(".")))
        return {};
    for (const char *name : kStoredPages) {
        QFile stored(QStringLiteral(":/help/") + QLatin1String(name));
        QFile written(folder.filePath(QLatin1String(name)));
        if (!stored.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = stored.readAll();
        if (written.open(QIODevice::ReadOnly) && written.readAll() == bytes)
            continue;
        written.close();
        if (!written.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            written.write(bytes) != bytes.size())
            return {};
    }
    return QUrl::fromLocalFile(folder.filePath(page));
}

CHelpDlg::CHelpDlg(QWidget *parent, PageOpener opener) : QDialog(parent), m_opener(std::move(opener))
{
    if (!m_opener)
        m_opener = [](const QUrl &page) { QDesktopServices::openUrl(page); };
    setWindowTitle(QStringLiteral("Zepora帮助"));
    setFont(DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.x(kWidth), units.y(kHeight));
    const int right = width() - units.x(4);

    for (const HelpButton &button : kButtons) {
        auto *push = new CXPStyleButton(QString::fromUtf8(button.text), this);
        push->SetIcon(ResourceIcon(button.icon));
        push->setObjectName(QString::number(button.id));
        push->setGeometry(units.rect(button.x, button.y, button.width, button.height));
        if (button.handler)
            connect(push, &QAbstractButton::clicked, this, button.handler);
        else
            connect(push, &QAbstractButton::clicked, this, &QDialog::accept);
    }
    for (const HelpLabel &text : kLabels) {
        auto *label = new QLabel(QString::fromUtf8(text.text), this);
        label->setWordWrap(text.height > 8);
        PlaceControl(label, units.rect(text.x, text.y, text.width, text.height), right);
    }
    // The product, its version and where its pages live.
    m_topLine =
        QStringLiteral("Zepora 1.6     [ %1 ]")
            .arg(QDir::toNativeSeparators(HelpPageFolder()).replace(QDir::homePath(), QStringLiteral("~")));
    PlaceControl(new QLabel(m_topLine, this), units.rect(21, 8, 165, 8), right);
}

QString CHelpDlg::topLine() const { return m_topLine; }

void CHelpDlg::openPage(const char *page)
{
    const QUrl url = HelpPageUrl(QLatin1String(page));
    if (!url.isEmpty())
        m_opener(url);
}

void CHelpDlg::OnHelpPage() { openPage("help.html"); }

void CHelpDlg::OnHomePage() { openPage("index.html"); }

void CHelpDlg::OnForum() { openPage("support.html"); }

void CHelpDlg::OnDeviceList() { openPage("devices.html"); }
