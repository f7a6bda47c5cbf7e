#pragma once

#include <QAbstractButton>
#include <QHash>

#include <span>
#include <type_traits>

class QDialog;
class QWidget;

// What one line of a dialog template makes.
enum class ControlKind {
    Group,         // CXPGroupBox
    Button,        // CXPStyleButton
    Label,         // QLabel, left-aligned
    WrappedLabel,  // QLabel, left-aligned, wrapping; grows down when its text needs more lines
    RightLabel,    // QLabel, right-aligned
    CentredLabel,  // QLabel, centred
    Status,        // QLabel in a sunken frame, wrapping, from the top left
    List,          // QTableView
    Progress,      // QProgressBar
    Combo,         // CCJFlatComboBox
    EditCombo,     // CCJFlatComboBox that takes typed values
    Edit,          // QLineEdit
    Radio,         // QRadioButton
    DisabledRadio, // QRadioButton that is shown but never chosen
    Check,         // QCheckBox
};

struct TemplateControl {
    int id; // 0: a label nobody addresses
    ControlKind kind;
    const char *text;
    int x, y, width, height; // dialog units
};

// Makes the dialog's controls from its template, in the template's (tab) order, each placed by the
// dialog units of the dialog's font; captions may grow up to the dialog's right margin. Returns the
// controls with an id, by id; each also carries its id as object name.
QHash<int, QWidget *> BuildFromTemplate(QDialog &dialog, std::span<const TemplateControl> controls);

// A template push button's picture and what a click on it calls.
template <class Dialog> struct ButtonAction {
    int id;
    int icon; // a picture of res/artwork
    void (Dialog::*handler)();
};

// Gives a CXPStyleButton its picture from res/artwork.
void SetButtonIcon(QWidget *button, int icon);

// Gives each listed button of the template its picture and its handler.
template <class Dialog>
void WireButtons(Dialog &dialog, const QHash<int, QWidget *> &controls,
                 std::type_identity_t<std::span<const ButtonAction<Dialog>>> actions)
{
    for (const ButtonAction<Dialog> &action : actions) {
        QWidget *button = controls.value(action.id);
        SetButtonIcon(button, action.icon);
        QObject::connect(qobject_cast<QAbstractButton *>(button), &QAbstractButton::clicked, &dialog,
                         action.handler);
    }
}
