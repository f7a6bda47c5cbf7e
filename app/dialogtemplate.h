#pragma once

#include <QHash>

#include <span>

class QDialog;
class QWidget;

// What one line of a dialog template makes.
enum class ControlKind {
    Group,         // CXPGroupBox
    Button,        // CXPStyleButton
    Label,         // QLabel, left-aligned
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
