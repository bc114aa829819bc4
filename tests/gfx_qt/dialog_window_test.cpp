#include "gfx/qt/dialog_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

namespace {

using gfx::ControlKind;

constexpr int k_distance = 1000;
constexpr int k_volume = 1004;

gfx::DialogTemplate small_template() {
    gfx::DialogTemplate layout;
    layout.resource_id = 101;
    layout.title = "Input parameters.   If necessary, change!";
    layout.x = 50;
    layout.y = 20;
    layout.width = 200;
    layout.height = 120;
    layout.font_face = "MS Sans Serif";
    layout.font_points = 8;
    layout.controls = {
        {1, ControlKind::push_button, "Begin the training", 10, 90, 80, 20, false, false},
        {2, ControlKind::push_button, "Exit from the program", 110, 90, 80, 20, false, false},
        {-1, ControlKind::label, "Distance from eyes up to display", 10, 10, 60, 12, false, false},
        {k_distance, ControlKind::edit, "", 80, 8, 50, 17, false, false},
        {-1, ControlKind::label, "Volume of training", 10, 40, 60, 12, false, false},
        {k_volume, ControlKind::edit, "", 80, 38, 50, 17, true, true},
    };
    return layout;
}

// A dialog window on screen over a record whose two buttons record what activated them.
class ShownDialog {
  public:
    using Routine = std::function<void(gfx::Dialog& dialog, int control_id)>;

    explicit ShownDialog(Routine routine = {}) : dialog(small_template()), routine_(routine) {
        dialog.set_text(1, "Begin the training");
        dialog.set_text(2, "Exit from the program");
        dialog.set_text(k_distance, " 200.0");
        dialog.set_text(k_volume, " 100");
        for (const int id : {1, 2}) {
            dialog.set_routine(id, [this](gfx::Dialog& record, int control_id, int) {
                activated.push_back(control_id);
                distance_seen.push_back(record.text(k_distance));
                if (routine_) {
                    routine_(record, control_id);
                } else {
                    record.exit();
                }
            });
        }
        window = new gfx::DialogWindow(dialog, nullptr);
        QObject::connect(window, &gfx::DialogWindow::ended, [this] { ended = true; });
        window->show();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }
    ~ShownDialog() { delete window.data(); }
    ShownDialog(const ShownDialog&) = delete;
    ShownDialog& operator=(const ShownDialog&) = delete;

    QLineEdit* edit(int id) const { return window->edit(id); }
    QPushButton* button(int id) const { return window->button(id); }

    gfx::Dialog dialog;
    QPointer<gfx::DialogWindow> window;
    std::vector<int> activated;
    std::vector<std::string> distance_seen;
    bool ended = false;

  private:
    Routine routine_;
};

GTEST_TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
    struct Case {
        const char* what;
        gfx::DialogBaseUnits units;
        int x, y, width, height;
        QRect pixels;
    };
    const Case cases[] = {
        {"whole pixels", {8, 16}, 10, 20, 40, 12, QRect(20, 40, 80, 24)},
        {"halves round up", {6, 13}, 15, 195, 168, 36, QRect(23, 317, 252, 59)},
        {"below a half rounds down", {7, 15}, 1, 1, 5, 3, QRect(2, 2, 9, 6)},
        {"nothing stays nothing", {6, 13}, 0, 0, 0, 0, QRect(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(gfx::dialog_units_to_pixels(c.units, c.x, c.y, c.width, c.height), c.pixels);
    }
}

GTEST_TEST(DialogFont, MissingFaceFallsBackToAnInstalledSansFace) {
    const QFont font = gfx::dialog_font(small_template());
    const QFontInfo resolved(font);
    EXPECT_TRUE(resolved.family() == "Liberation Sans" || resolved.family() == "DejaVu Sans")
        << resolved.family().toStdString();
    EXPECT_EQ(resolved.pointSize(), 8);
    // A dialog unit must be a few pixels, or the 340 x 238 unit dialog will not fit a screen.
    const gfx::DialogBaseUnits units = gfx::dialog_base_units(font);
    EXPECT_GE(units.horizontal, 4);
    EXPECT_LE(units.horizontal, 8);
    EXPECT_GE(units.vertical, 10);
    EXPECT_LE(units.vertical, 16);
}

GTEST_TEST(DialogWindow, IsBuiltFromTheTemplateAndTheRecordsTexts) {
    ShownDialog shown;
    gfx::DialogWindow& window = *shown.window;
    const gfx::DialogBaseUnits units = window.base_units();

    EXPECT_EQ(window.windowTitle(), "Input parameters.   If necessary, change!");
    EXPECT_EQ(window.size(), gfx::dialog_units_to_pixels(units, 0, 0, 200, 120).size());
    EXPECT_EQ(window.windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowTitleHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowSystemMenuHint);

    ASSERT_NE(shown.button(1), nullptr);
    ASSERT_NE(shown.button(2), nullptr);
    EXPECT_EQ(shown.button(1)->text(), "Begin the training");
    EXPECT_EQ(shown.button(2)->text(), "Exit from the program");
    EXPECT_EQ(shown.button(1)->geometry(), gfx::dialog_units_to_pixels(units, 10, 90, 80, 20));
    for (const int id : {1, 2}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(shown.button(id)->isDefault());
        EXPECT_FALSE(shown.button(id)->autoDefault());
    }
    ASSERT_NE(shown.edit(k_distance), nullptr);
    EXPECT_EQ(shown.edit(k_distance)->text(), " 200.0");
    EXPECT_EQ(shown.edit(k_volume)->text(), " 100");
    EXPECT_EQ(shown.edit(k_volume)->geometry(), gfx::dialog_units_to_pixels(units, 80, 38, 50, 17));

    QStringList labels;
    for (const QLabel* label : window.findChildren<QLabel*>()) labels << label->text();
    labels.sort();
    EXPECT_EQ(labels, QStringList({"Distance from eyes up to display", "Volume of training"}));
    // A label too long for its one-line box is shown whole on one line, not cut.
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing());
    }

    // The first control that takes the keyboard has it, as the template orders them.
    EXPECT_EQ(window.focusWidget(), shown.button(1));
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow()) continue;
        SCOPED_TRACE(widget->metaObject()->className());
        EXPECT_TRUE(window.rect().contains(widget->geometry()));
    }
}

GTEST_TEST(DialogWindow, KeysAndButtonsActivateTheirControls) {
    enum class Act { enter_in_field, enter_on_button, space_on_button, click, escape, close };
    struct Case {
        const char* what;
        Act act;
        int target;  // control that has the focus or is clicked
        int activated;
    };
    constexpr Case cases[] = {
        {"Enter in a field begins", Act::enter_in_field, k_distance, 1},
        {"Enter in a digits field begins", Act::enter_in_field, k_volume, 1},
        {"Enter on the begin button", Act::enter_on_button, 1, 1},
        {"Enter on the exit button exits", Act::enter_on_button, 2, 2},
        {"Space on the exit button", Act::space_on_button, 2, 2},
        {"clicking begin", Act::click, 1, 1},
        {"clicking exit", Act::click, 2, 2},
        {"Escape exits", Act::escape, k_distance, 2},
        {"closing the window exits", Act::close, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShownDialog shown;
        QLineEdit* field = shown.edit(k_distance);
        field->selectAll();
        QTest::keyClicks(field, "57.5");
        QWidget* target = c.target >= 1000 ? static_cast<QWidget*>(shown.edit(c.target))
                                           : static_cast<QWidget*>(shown.button(c.target));
        target->setFocus();
        switch (c.act) {
            case Act::enter_in_field:
            case Act::enter_on_button:
                QTest::keyClick(target, Qt::Key_Return);
                break;
            case Act::space_on_button:
                QTest::keyClick(target, Qt::Key_Space);
                break;
            case Act::click:
                QTest::mouseClick(target, Qt::LeftButton);
                break;
            case Act::escape:
                QTest::keyClick(target, Qt::Key_Escape);
                break;
            case Act::close:
                shown.window->close();
                break;
        }
        EXPECT_EQ(shown.activated, std::vector<int>{c.activated});
        // The routine saw what the user had typed.
        EXPECT_EQ(shown.distance_seen, std::vector<std::string>{"57.5"});
        EXPECT_TRUE(shown.ended);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown.window.isNull(); }));
    }
}

GTEST_TEST(DialogWindow, KeypadEnterActsAsReturn) {
    ShownDialog shown;
    QTest::keyClick(shown.edit(k_volume), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(shown.activated, std::vector<int>{1});
}

GTEST_TEST(DialogWindow, DigitsOnlyFieldRefusesTypedNonDigits) {
    struct Case {
        const char* what;
        const char* before;
        std::function<void(QLineEdit*)> edit;
        const char* after;
    };
    const Case cases[] = {
        {"digits are typed", "", [](QLineEdit* e) { QTest::keyClicks(e, "1250"); }, "1250"},
        {"letters, blank, point and signs are refused", "",
         [](QLineEdit* e) { QTest::keyClicks(e, "1a .,-+2e"); }, "12"},
        {"text already there keeps its blanks and point", "  50.0",
         [](QLineEdit* e) {
             e->end(false);
             QTest::keyClicks(e, "7x");
         },
         "  50.07"},
        {"existing point can be deleted", "  50.0",
         [](QLineEdit* e) {
             e->end(false);
             QTest::keyClick(e, Qt::Key_Backspace);
             QTest::keyClick(e, Qt::Key_Backspace);
         },
         "  50"},
        {"existing text can be replaced by digits", "  50.0",
         [](QLineEdit* e) {
             e->selectAll();
             QTest::keyClicks(e, "45");
         },
         "45"},
        {"typing a non-digit over a selection keeps the selection's text", "  50.0",
         [](QLineEdit* e) {
             e->selectAll();
             QTest::keyClicks(e, "x");
         },
         "  50.0"},
        {"pasting digits", "1",
         [](QLineEdit* e) {
             QApplication::clipboard()->setText("234");
             e->end(false);
             QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
         },
         "1234"},
        {"pasting a number with a point is refused whole", "1",
         [](QLineEdit* e) {
             QApplication::clipboard()->setText("2.5");
             e->end(false);
             QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
         },
         "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShownDialog shown;
        QLineEdit* field = shown.edit(k_volume);
        field->setText(c.before);
        field->setFocus();
        c.edit(field);
        EXPECT_EQ(field->text().toStdString(), c.after);
    }
}

GTEST_TEST(DialogWindow, PlainFieldTakesAnyCharacter) {
    ShownDialog shown;
    QLineEdit* field = shown.edit(k_distance);
    field->clear();
    QTest::keyClicks(field, "1.5e2 a");
    EXPECT_EQ(field->text(), "1.5e2 a");
}

GTEST_TEST(DialogWindow, FieldWithoutAutoScrollStopsTakingTextAtItsRightEdge) {
    // Both fields are 50 dialog units wide; only the volume field scrolls.
    ShownDialog shown;
    QLineEdit* plain = shown.edit(k_distance);
    QLineEdit* scrolling = shown.edit(k_volume);
    const QString many_digits(40, QLatin1Char('8'));
    for (QLineEdit* field : {plain, scrolling}) {
        field->clear();
        QTest::keyClicks(field, many_digits);
    }
    EXPECT_GT(plain->text().size(), 3);
    EXPECT_LT(plain->text().size(), scrolling->text().size());
    EXPECT_EQ(scrolling->text(), many_digits);
    EXPECT_LE(plain->fontMetrics().horizontalAdvance(plain->text()), plain->width());
    EXPECT_TRUE(many_digits.startsWith(plain->text()));

    // Pasting is held at the edge too, and what was typed can still be deleted and replaced.
    const int full = static_cast<int>(plain->text().size());
    QTest::keyClick(plain, Qt::Key_Backspace);
    EXPECT_EQ(plain->text().size(), full - 1);
    QApplication::clipboard()->setText(QStringLiteral("123456"));
    plain->paste();
    EXPECT_EQ(plain->text().size(), full - 1);
    QTest::keyClicks(plain, "5");
    EXPECT_EQ(plain->text().size(), full);
}

// The pixels of a field's box in which a text and the cursor after it are shown whole: the
// box less its frame, the field's text margins and the blank a line edit keeps on either side
// of its text. The cursor stands one pixel after the last character.
int room_for_text(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field);
    option.state |= QStyle::State_Sunken;
    const QRect contents = field.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &field)
                               .marginsRemoved(field.textMargins());
    constexpr int k_line_edit_side_blank = 2;
    const int cursor = field.style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, &field);
    return contents.width() - 2 * k_line_edit_side_blank - 1 - cursor;
}

// Types each character of `keys` into the field for as long as the field takes it.
void type_while_taken(QLineEdit* field, const QString& keys) {
    for (const QChar key : keys) {
        for (;;) {
            const qsizetype before = field->text().size();
            QTest::keyClicks(field, QString(key));
            if (field->text().size() == before) break;
        }
    }
}

GTEST_TEST(DialogWindow, FieldWithoutAutoScrollTakesTheLastCharacterThatFits) {
    // The user fills the distance field with digits, then with narrower ones, until it takes
    // no more. Boxes a pixel apart, over the width of one digit, put the right edge at every
    // place within a character, so an edge a pixel or two off changes what is taken.
    ShownDialog shown;
    QLineEdit* field = shown.edit(k_distance);
    field->setFocus();
    const QFontMetrics metrics = field->fontMetrics();
    const QString keys = QStringLiteral("81.");
    const QSize template_size = field->size();
    ASSERT_EQ(template_size,
              gfx::dialog_units_to_pixels(shown.window->base_units(), 0, 0, 50, 17).size());
    for (int widen = 0; widen <= metrics.horizontalAdvance(QLatin1Char('8')); ++widen) {
        SCOPED_TRACE(testing::Message() << "box " << template_size.width() + widen << " px wide");
        field->resize(template_size.width() + widen, template_size.height());
        field->clear();
        type_while_taken(field, keys);
        const QString taken = field->text();
        const int room = room_for_text(*field);
        SCOPED_TRACE(taken.toStdString());
        ASSERT_TRUE(taken.startsWith(QStringLiteral("8888")));
        EXPECT_LE(metrics.horizontalAdvance(taken), room);
        for (const QChar key : keys) {
            SCOPED_TRACE(testing::Message() << "then " << key.toLatin1());
            EXPECT_GT(metrics.horizontalAdvance(taken + key), room);
        }
    }
}

GTEST_TEST(DialogWindow, RefusalKeepsTheDialogOpenAndSelectsTheField) {
    ShownDialog shown([](gfx::Dialog& dialog, int control_id) {
        if (control_id == 1 && dialog.text(k_volume).empty()) {
            dialog.refuse(k_volume, "Volume of training is missing");
            return;
        }
        dialog.exit();
    });
    QLineEdit* volume = shown.edit(k_volume);
    volume->clear();
    shown.edit(k_distance)->setFocus();
    QTest::keyClick(shown.edit(k_distance), Qt::Key_Return);

    EXPECT_EQ(shown.activated, std::vector<int>{1});
    EXPECT_FALSE(shown.ended);
    EXPECT_TRUE(shown.window->isVisible());
    QMessageBox* box = shown.window->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), "Volume of training is missing");

    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return shown.window->findChild<QMessageBox*>() == nullptr; }));
    EXPECT_EQ(shown.window->focusWidget(), volume);

    QTest::keyClicks(volume, "80");
    QTest::keyClick(volume, Qt::Key_Return);
    ASSERT_TRUE(shown.ended);
    EXPECT_EQ(shown.activated, (std::vector<int>{1, 1}));
    EXPECT_EQ(shown.dialog.text(k_volume), "80");
}

GTEST_TEST(DialogWindow, RefusedFieldIsSelected) {
    int attempts = 0;
    ShownDialog shown([&attempts](gfx::Dialog& dialog, int) {
        if (++attempts == 1) {
            dialog.refuse(k_distance, "Input conversion error");
            return;
        }
        dialog.exit();
    });
    QTest::mouseClick(shown.button(1), Qt::LeftButton);
    QLineEdit* distance = shown.edit(k_distance);
    EXPECT_EQ(shown.window->focusWidget(), distance);
    EXPECT_EQ(distance->selectedText(), " 200.0");
    QMessageBox* box = shown.window->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    box->accept();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return shown.window->findChild<QMessageBox*>() == nullptr; }));
    // Typing replaces the selected text.
    QTest::keyClicks(distance, "150");
    QTest::keyClick(distance, Qt::Key_Return);
    EXPECT_TRUE(shown.ended);
    EXPECT_EQ(shown.dialog.text(k_distance), "150");
}

GTEST_TEST(DialogWindow, RoutineThatNeitherExitsNorRefusesKeepsItOpen) {
    ShownDialog shown([](gfx::Dialog& dialog, int control_id) {
        if (control_id == 2) dialog.exit();
        dialog.set_text(k_distance, "  10.0");
    });
    QTest::mouseClick(shown.button(1), Qt::LeftButton);
    EXPECT_FALSE(shown.ended);
    EXPECT_TRUE(shown.window->isVisible());
    EXPECT_EQ(shown.edit(k_distance)->text(), "  10.0");
    QTest::keyClick(shown.edit(k_distance), Qt::Key_Escape);
    EXPECT_TRUE(shown.ended);
    EXPECT_EQ(shown.activated, (std::vector<int>{1, 2}));
}

}  // namespace
