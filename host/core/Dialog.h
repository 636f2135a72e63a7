#pragma once

#include <QDialog>
#include <QString>

class QBoxLayout;
class QDialogButtonBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

// The base of the module's dialogs: a vertical stack of rows closed by a button row.
class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);

    // Appends a widget or a layout as the next row of the dialog.
    void addRow(QWidget* widget);
    void addRow(QLayout* layout);
    // Appends a horizontal row with the given spacing between its items and answers it.
    QHBoxLayout* addHLayout(int spacing);
    // Appends the button row. Kind 1 is OK and Cancel, kind 0 a single Close; help adds a Help
    // button. OK calls accept(), Cancel and Close reject().
    QDialogButtonBox* addHButtons(int kind, bool help);

    QVBoxLayout* rows() const { return rows_; }

private:
    QVBoxLayout* rows_;
};

// A titled form inside a dialog row: a picture on the left, the title above a column of labelled
// fields on the right.
class DialogForm {
public:
    // spacing is the vertical spacing between the fields; the form fills `row`.
    DialogForm(const QString& title, const QString& image, int spacing, QHBoxLayout* row);

    // Adds a field with its label; the field is at least `width` pixels wide. An empty label
    // leaves the label column blank (check boxes carry their own text).
    void addRow(const QString& label, QWidget* field, int width);
    QFormLayout* form() const { return form_; }
    QLabel* picture() const { return picture_; }

private:
    QFormLayout* form_;
    QLabel* picture_;
};

// The window keeps the size of its layout and cannot be resized.
void SetFixedWindow(QWidget* window);
// The name a screen reader announces for a widget (also its tool tip, for sighted users of
// icon-only buttons).
void SetAccessibleText(QWidget* widget, const QString& text);
