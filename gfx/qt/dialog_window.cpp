#include "gfx/qt/dialog_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>
#include <algorithm>

namespace gfx {

namespace {

constexpr int k_default_points = 8;

// Rounds value * numerator / denominator to the nearest integer, halves away from zero.
int scale_rounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

bool all_digits(const QString& text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// Keeps a field to digits as far as the user's input goes: a typed, pasted, dropped or
// composed text is refused when it holds anything but a digit. Text the field already holds
// (set by the program, blanks and a decimal point included) stays as it is and can be edited
// and deleted freely, which a validator of the whole text would not allow.
class DigitsOnlyFilter : public QObject {
  public:
    explicit DigitsOnlyFilter(QLineEdit* edit) : QObject(edit), edit_(edit) {
        edit->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_) return false;
        switch (event->type()) {
            case QEvent::KeyPress: {
                const auto* key = static_cast<QKeyEvent*>(event);
                if (key->matches(QKeySequence::Paste)) {
                    paste(QApplication::clipboard()->text(QClipboard::Clipboard));
                    return true;
                }
                const QString text = key->text();
                const bool typed =
                    !text.isEmpty() &&
                    std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
                return typed && refuse(text);
            }
            case QEvent::InputMethod:
                return refuse(static_cast<QInputMethodEvent*>(event)->commitString());
            case QEvent::MouseButtonRelease:
                // The middle button pastes the selection on X11.
                if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
                    QApplication::clipboard()->supportsSelection()) {
                    paste(QApplication::clipboard()->text(QClipboard::Selection));
                    return true;
                }
                return false;
            case QEvent::Drop: {
                const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
                return refuse(data ? data->text() : QString());
            }
            case QEvent::ContextMenu:
                show_context_menu(static_cast<QContextMenuEvent*>(event)->globalPos());
                return true;
            default:
                return false;
        }
    }

  private:
    // True (the input is swallowed) when the text holds anything but digits.
    static bool refuse(const QString& text) {
        if (text.isEmpty() || all_digits(text)) return false;
        QApplication::beep();
        return true;
    }

    void paste(const QString& text) {
        if (!refuse(text)) edit_->insert(text);
    }

    void show_context_menu(const QPoint& where) {
        QMenu* menu = edit_->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (auto* paste_action = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
            disconnect(paste_action, &QAction::triggered, nullptr, nullptr);
            connect(paste_action, &QAction::triggered, this,
                    [this] { paste(QApplication::clipboard()->text(QClipboard::Clipboard)); });
        }
        menu->popup(where);
    }

    QLineEdit* edit_;
};

// An edit field without automatic scrolling: like a plain edit control it takes no more text
// than its box shows, so typing, pasting or dropping stops at the right edge. The program's own
// texts are set as they are.
class NonScrollingEdit : public QLineEdit {
  public:
    NonScrollingEdit(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
        setValidator(new ShowsWhole(this));
    }

    // True when the text, with the cursor after it, fits between the field's margins, where
    // a line edit would otherwise start to scroll.
    bool shows_whole(const QString& text) const {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect contents = style()
                                   ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                                   .marginsRemoved(textMargins());
        constexpr int k_side_margin = 2;  // a line edit's own blank on either side of its text
        const int cursor = style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this);
        return fontMetrics().horizontalAdvance(text) + 1 + cursor <=
               contents.width() - 2 * k_side_margin;
    }

  private:
    class ShowsWhole : public QValidator {
      public:
        explicit ShowsWhole(NonScrollingEdit* edit) : QValidator(edit), edit_(edit) {}
        State validate(QString& input, int&) const override {
            return edit_->shows_whole(input) ? Acceptable : Invalid;
        }

      private:
        NonScrollingEdit* edit_;
    };
};

QString object_name(int control_id) {
    return QStringLiteral("control_%1").arg(control_id);
}

}  // namespace

QFont dialog_font(const DialogTemplate& layout) {
    QFont font;
    QStringList families;
    if (!layout.font_face.empty()) families << QString::fromStdString(layout.font_face);
    families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(layout.font_points > 0 ? layout.font_points : k_default_points);
    return font;
}

DialogBaseUnits dialog_base_units(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the 52 letters, rounded to the nearest pixel.
    const int letters_width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(letters_width / 26 + 1) / 2, metrics.height()};
}

QRect dialog_units_to_pixels(const DialogBaseUnits& units, int x, int y, int width, int height) {
    return QRect(scale_rounded(x, units.horizontal, 4), scale_rounded(y, units.vertical, 8),
                 scale_rounded(width, units.horizontal, 4),
                 scale_rounded(height, units.vertical, 8));
}

DialogWindow::DialogWindow(Dialog& dialog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), dialog_(dialog) {
    const DialogTemplate& layout = dialog.layout();
    setWindowTitle(QString::fromStdString(layout.title));
    setWindowModality(Qt::ApplicationModal);
    setFont(dialog_font(layout));
    base_units_ = dialog_base_units(font());

    const QRect frame =
        dialog_units_to_pixels(base_units_, layout.x, layout.y, layout.width, layout.height);
    setFixedSize(frame.size());
    // The template's position counts from the top-left corner of the owner's client area,
    // which in a main window lies below its menu bar.
    QWidget* client = parent;
    if (auto* main_window = qobject_cast<QMainWindow*>(parent);
        main_window && main_window->centralWidget()) {
        client = main_window->centralWidget();
    }
    move((client ? client->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0)) + frame.topLeft());

    // Widgets are made in template order, which gives the keyboard focus the same order.
    for (const ControlTemplate& control : layout.controls) {
        QRect area = dialog_units_to_pixels(base_units_, control.x, control.y, control.width,
                                            control.height);
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::push_button: {
                auto* push_button =
                    new QPushButton(QString::fromStdString(dialog.text(control.id)), this);
                // Neither button is a default button: Enter is routed by keyPressEvent.
                push_button->setAutoDefault(false);
                push_button->setDefault(false);
                const int id = control.id;
                connect(push_button, &QPushButton::clicked, this, [this, id] { activate(id); });
                buttons_[control.id] = push_button;
                widget = push_button;
                break;
            }
            case ControlKind::edit: {
                const QString text = QString::fromStdString(dialog.text(control.id));
                QLineEdit* line_edit = control.auto_scroll ? new QLineEdit(text, this)
                                                           : new NonScrollingEdit(text, this);
                line_edit->setCursorPosition(0);
                if (control.digits_only) new DigitsOnlyFilter(line_edit);
                edits_[control.id] = line_edit;
                widget = line_edit;
                break;
            }
            case ControlKind::label: {
                auto* label = new QLabel(QString::fromStdString(control.text), this);
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = label;
                // A one-line label that the stand-in font makes a little wider than its box
                // runs on to the right instead of being cut after its first words.
                const QFontMetrics metrics(font());
                const int text_width = metrics.horizontalAdvance(label->text());
                if (area.height() < 2 * metrics.lineSpacing() && text_width > area.width()) {
                    label->setWordWrap(false);
                    area.setWidth(
                        std::max(area.width(), std::min(text_width, frame.width() - area.x())));
                }
                break;
            }
        }
        if (control.id != -1) widget->setObjectName(object_name(control.id));
        widget->setGeometry(area);
    }
}

QLineEdit* DialogWindow::edit(int control_id) const {
    const auto found = edits_.find(control_id);
    return found == edits_.end() ? nullptr : found->second;
}

QPushButton* DialogWindow::button(int control_id) const {
    const auto found = buttons_.find(control_id);
    return found == buttons_.end() ? nullptr : found->second;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            // Fields and buttons pass Enter on to here.
            for (const auto& [id, push_button] : buttons_) {
                if (push_button == focusWidget()) {
                    activate(id);
                    return;
                }
            }
            activate(k_dialog_ok);
            return;
        }
        case Qt::Key_Escape:
            activate(k_dialog_cancel);
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

// Closing the window by the window manager counts as Escape.
void DialogWindow::reject() {
    activate(k_dialog_cancel);
}

void DialogWindow::activate(int control_id) {
    if (ended_) return;
    for (const auto& [id, line_edit] : edits_)
        dialog_.set_text(id, line_edit->text().toStdString());
    dialog_.activate(control_id);
    auto refusal = dialog_.take_refusal();
    // A routine that exits has the last word, even over its own refusal.
    if (dialog_.exited()) {
        // The record belongs to the caller, who may go on as soon as `ended` is out.
        ended_ = true;
        hide();
        deleteLater();
        emit ended();
        return;
    }
    // A routine may have changed a text.
    for (const auto& [id, line_edit] : edits_) {
        const QString text = QString::fromStdString(dialog_.text(id));
        if (line_edit->text() != text) line_edit->setText(text);
    }
    for (const auto& [id, push_button] : buttons_) {
        push_button->setText(QString::fromStdString(dialog_.text(id)));
    }
    if (refusal) show_refusal(*refusal);
}

void DialogWindow::show_refusal(const Dialog::Refusal& refusal) {
    QPointer<QLineEdit> field = edit(refusal.control_id);
    const auto select_field = [field] {
        if (!field) return;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    };
    select_field();
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                QString::fromStdString(refusal.message), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText);
    // Closing the box gives the focus back to the dialog; the field takes it again.
    connect(box, &QDialog::finished, this, select_field);
    box->open();
}

}  // namespace gfx
