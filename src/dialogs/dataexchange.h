#pragma once

#include "dialogs/dialogrules.h"

#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace kr44 {

// Moves a dialog's int fields to its controls (push) or back with their checks (pull). A pull
// stops at the first failure: the message (if any) is shown with the exclamation icon, the
// failing control takes the focus with its text selected, and every later call does nothing.
class DataExchange
{
public:
    enum class Direction { Push, Pull };

    DataExchange(QWidget *dialog, Direction direction);

    [[nodiscard]] bool pulling() const { return m_direction == Direction::Pull; }
    [[nodiscard]] bool failed() const { return m_failed; }

    // Each returns false once the exchange has failed.
    bool number(QLineEdit *edit, int &value, NumberSign sign);
    // Checks a pulled number; nothing to do on a push.
    bool range(QLineEdit *edit, int value, int minimum, int maximum);
    // The 0-based id of the checked button, -1 for none. A pull requires a checked button:
    // without one the focus goes to the group and the exchange fails silently.
    bool radioGroup(QButtonGroup *group, int &index);
    bool checkBox(QCheckBox *box, int &value);
    // The selected item; like a radio group, a pull requires a selection.
    bool list(QComboBox *combo, int &index);
    bool text(QLineEdit *edit, QString &value, int maxChars);
    // A check of the dialog's own has failed: the focus goes to `control`, no message is shown.
    void fail(QWidget *control);

private:
    void failWith(QLineEdit *edit, const QString &message);

    QWidget *m_dialog;
    Direction m_direction;
    bool m_failed = false;
};

} // namespace kr44
