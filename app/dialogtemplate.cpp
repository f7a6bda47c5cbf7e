#include "app/dialogtemplate.h"

#include "app/dialogunits.h"
#include "controls/flatcombobox.h"
#include "controls/xpgroupbox.h"
#include "controls/xpstylebutton.h"
#include "res/artwork.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>

namespace {

QLabel *alignedLabel(const QString &text, Qt::Alignment alignment, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(alignment);
    return label;
}

QWidget *makeControl(ControlKind kind, const QString &text, QWidget *parent)
{
    switch (kind) {
    case ControlKind::Group: return new CXPGroupBox(text, parent);
    case ControlKind::Button: return new CXPStyleButton(text, parent);
    case ControlKind::Label: return new QLabel(text, parent);
    case ControlKind::WrappedLabel: {
        auto *label = new QLabel(text, parent);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::RightLabel: return alignedLabel(text, Qt::AlignRight | Qt::AlignVCenter, parent);
    case ControlKind::CentredLabel: return alignedLabel(text, Qt::AlignCenter, parent);
    case ControlKind::Status: {
        QLabel *label = alignedLabel(text, Qt::AlignLeft | Qt::AlignTop, parent);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setWordWrap(true);
        return label;
    }
    case ControlKind::List: return new QTableView(parent);
    case ControlKind::Progress: return new QProgressBar(parent);
    case ControlKind::Combo: return new CCJFlatComboBox(parent);
    case ControlKind::EditCombo: {
        auto *box = new CCJFlatComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        return box;
    }
    case ControlKind::Edit: return new QLineEdit(parent);
    case ControlKind::Radio: return new QRadioButton(text, parent);
    case ControlKind::DisabledRadio: {
        auto *radio = new QRadioButton(text, parent);
        radio->setEnabled(false);
        return radio;
    }
    case ControlKind::Check: return new QCheckBox(text, parent);
    }
    return nullptr;
}

} // namespace

QHash<int, QWidget *> BuildFromTemplate(QDialog &dialog, std::span<const TemplateControl> controls)
{
    const DialogUnits units(dialog.font());
    const int rightLimit = dialog.width() - units.x(4);
    QHash<int, QWidget *> byId;
    for (const TemplateControl &item : controls) {
        QWidget *widget = makeControl(item.kind, QString::fromUtf8(item.text), &dialog);
        PlaceControl(widget, units.rect(item.x, item.y, item.width, item.height), rightLimit);
        if (item.id) {
            widget->setObjectName(QString::number(item.id));
            byId.insert(item.id, widget);
        }
    }
    return byId;
}

void SetButtonIcon(QWidget *button, int icon)
{
    qobject_cast<CXPStyleButton *>(button)->SetIcon(ResourceIcon(icon));
}
