#include "app/helpdlg.h"

#include "app/dialogtemplate.h"
#include "app/dialogunits.h"

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

// Template 159, in tab order.
const TemplateControl kControls[] = {
    {1032, ControlKind::Button, "详细帮助", 112, 24, 79, 26},
    {1033, ControlKind::Button, "官方网站", 18, 24, 79, 26},
    {1034, ControlKind::Button, "技术支持论坛", 204, 24, 104, 26},
    {1035, ControlKind::Button, "确定", 159, 188, 68, 23},
    {1052, ControlKind::Button, "常见移动设备分辨率列表推荐 (主流手机、MP4播放器品牌对照列表)", 17, 59,
     291, 25},
    {0, ControlKind::Label, "操作步骤", 19, 97, 33, 8},
    {0, ControlKind::Label, "1.单击“添加”按钮或直接使用鼠标拖拽需要转换的文件到列表中", 17, 114, 233, 8},
    {0, ControlKind::WrappedLabel,
     "2.在软件右侧的“输出类型”中选择相应的设备，一般选择“手机视频(MP4)”即可，部分手机或MP3仅支持3GP格式视频",
     18, 135, 261, 18},
    {0, ControlKind::Label, "3.最后直接单击“开始转换”按钮软件就会自动处理列表中的每个视频。", 17, 166, 257,
     8},
};

// "确定" ends the dialog.
const ButtonAction<CHelpDlg> kButtons[] = {
    {1032, 134, &CHelpDlg::OnHelpPage},   {1033, 172, &CHelpDlg::OnHomePage},
    {1034, 142, &CHelpDlg::OnForum},      {1035, 143, &CHelpDlg::accept},
    {1052, 134, &CHelpDlg::OnDeviceList},
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
    WireButtons(*this, BuildFromTemplate(*this, kControls), kButtons);
    // The product, its version and where its pages live.
    m_topLine =
        QStringLiteral("Zepora 1.6     [ %1 ]")
            .arg(QDir::toNativeSeparators(HelpPageFolder()).replace(QDir::homePath(), QStringLiteral("~")));
    PlaceControl(new QLabel(m_topLine, this), units.rect(21, 8, 165, 8), width() - units.x(4));
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
