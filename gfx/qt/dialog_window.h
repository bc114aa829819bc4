#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <map>

#include "gfx/dialog.h"

class QLineEdit;
class QPushButton;

namespace gfx {

// Pixels per four horizontal and per eight vertical dialog units: the average character width
// and the character height of the dialog's font.
struct DialogBaseUnits {
    int horizontal = 0;
    int vertical = 0;
};

// The template's font; a face that is not installed falls back to a sans-serif face of about
// the same metrics, at the template's point size.
QFont dialog_font(const DialogTemplate& layout);
DialogBaseUnits dialog_base_units(const QFont& font);
// A rectangle in dialog units converted to pixels, each value rounded to the nearest pixel.
QRect dialog_units_to_pixels(const DialogBaseUnits& units, int x, int y, int width, int height);

// A modal dialog built from a dialog record's template, showing the record's texts.
//
// Activating a control (clicking a push button; Enter activates the focused button, or id 1
// from anywhere else; Escape and closing the window activate id 2) copies every edit field's
// text into the record and runs the control's routine on this thread. A routine that refuses
// the input keeps the dialog open: its message appears in a warning box and the refused field
// is selected. A routine that exits the dialog closes it and emits `ended`, after which the
// window never touches the record again and deletes itself.
class DialogWindow : public QDialog {
    Q_OBJECT

  public:
    DialogWindow(Dialog& dialog, QWidget* parent);

    // The edit field or push button with that id, or null.
    QLineEdit* edit(int control_id) const;
    QPushButton* button(int control_id) const;
    DialogBaseUnits base_units() const { return base_units_; }

  signals:
    void ended();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

  private:
    void activate(int control_id);
    void show_refusal(const Dialog::Refusal& refusal);

    Dialog& dialog_;
    DialogBaseUnits base_units_;
    std::map<int, QLineEdit*> edits_;
    std::map<int, QPushButton*> buttons_;
    bool ended_ = false;
};

}  // namespace gfx
