#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gfx {

enum class ControlKind { push_button, label, edit };

// One control of a dialog template; the rectangle is in dialog units.
struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::label;
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool auto_scroll = false;  // the text may scroll past the right edge
    bool digits_only = false;  // typed characters other than digits are refused
};

struct DialogTemplate {
    int resource_id = 0;
    std::string title;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string font_face;
    int font_points = 0;
    std::vector<ControlTemplate> controls;
};

// Control ids the keyboard reaches: Enter acts as id 1, Escape as id 2.
constexpr int k_dialog_ok = 1;
constexpr int k_dialog_cancel = 2;

// A modal dialog's record: the texts of its controls and the routines bound to them.
// The platform shows it; the routines run while it is shown and end it with exit().
class Dialog {
  public:
    using Routine = std::function<void(Dialog& dialog, int control_id, int callback_type)>;

    explicit Dialog(DialogTemplate layout);

    const DialogTemplate& layout() const { return layout_; }

    void set_text(int control_id, std::string text);
    std::string text(int control_id) const;
    void set_routine(int control_id, Routine routine);

    // Called by the platform when a control is activated (a button, or Enter / Escape).
    void activate(int control_id);
    void exit() { exited_ = true; }
    bool exited() const { return exited_; }

    // A routine that refuses the input keeps the dialog open: the platform shows the message
    // and selects the field.
    struct Refusal {
        int control_id;
        std::string message;
    };
    void refuse(int control_id, std::string message);
    std::optional<Refusal> take_refusal();

  private:
    DialogTemplate layout_;
    std::map<int, std::string> texts_;
    std::map<int, Routine> routines_;
    std::optional<Refusal> refusal_;
    bool exited_ = false;
};

}  // namespace gfx
