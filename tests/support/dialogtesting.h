#pragma once

// Widget tests that meet dialogs: a recorder that answers the prompt seam, a compact text form of
// a dialog's controls so that test tables can say what a dialog shows and what the user does, and
// a watcher that acts on the first modal dialog or popup menu from inside its event loop.

#include "prompt.h"
#include "spinedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace kr44test {

struct Prompt
{
    kr44::PromptIcon icon;
    QString text;
};

// Answers every prompt at once and keeps it, for as long as it lives.
class PromptRecorder
{
public:
    PromptRecorder()
    {
        m_previous = kr44::setPromptHandler(
                [this](QWidget *, kr44::PromptIcon icon, const QString &text) {
                    prompts.append({icon, text});
                });
    }
    ~PromptRecorder() { kr44::setPromptHandler(std::move(m_previous)); }
    PromptRecorder(const PromptRecorder &) = delete;
    PromptRecorder &operator=(const PromptRecorder &) = delete;

    [[nodiscard]] QStringList texts() const
    {
        QStringList list;
        for (const Prompt &p : prompts)
            list.append(p.text);
        return list;
    }

    QList<Prompt> prompts;

private:
    kr44::PromptHandler m_previous;
};

// The name a test uses for a control: a spin box's field goes by the spin box's name.
inline QString controlName(const QWidget *w)
{
    if (const auto *spin = qobject_cast<const kr44::SpinEdit *>(w->parentWidget()))
        return spin->objectName();
    return w->objectName();
}

// In creation order: "name=text" for each visible field, the name of each checked radio button,
// "name=0|1" for each check box, "name=<item text>" for a drop-down list; space-separated.
inline QString snapshot(const QWidget *dialog)
{
    QStringList parts;
    const QList<QWidget *> widgets = dialog->findChildren<QWidget *>();
    for (const QWidget *w : widgets) {
        if (!w->isVisibleTo(dialog))
            continue;
        if (const auto *edit = qobject_cast<const QLineEdit *>(w)) {
            if (qobject_cast<const QComboBox *>(w->parentWidget()))
                continue;
            parts.append(controlName(w) + u'=' + edit->text());
        } else if (const auto *radio = qobject_cast<const QRadioButton *>(w)) {
            if (radio->isChecked())
                parts.append(w->objectName());
        } else if (const auto *box = qobject_cast<const QCheckBox *>(w)) {
            parts.append(w->objectName() + QStringLiteral("=%1").arg(box->isChecked() ? 1 : 0));
        } else if (const auto *combo = qobject_cast<const QComboBox *>(w)) {
            parts.append(w->objectName() + u'=' + combo->currentText());
        }
    }
    return parts.join(u' ');
}

inline QWidget *control(QWidget *dialog, const QString &name)
{
    return dialog->findChild<QWidget *>(name);
}

// Semicolon-separated: "name=text" types into a field (replacing it), "name" clicks a radio
// button, "name=0|1" sets a check box, "name=<index>" selects a list item.
inline bool apply(QWidget *dialog, const QString &actions)
{
    const QStringList steps = actions.split(u';', Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        const qsizetype eq = step.indexOf(u'=');
        const QString name = eq < 0 ? step : step.left(eq);
        const QString value = eq < 0 ? QString() : step.mid(eq + 1);
        QWidget *w = control(dialog, name);
        if (!w) {
            qWarning("no control named %s", qPrintable(name));
            return false;
        }
        if (auto *spin = qobject_cast<kr44::SpinEdit *>(w))
            spin->edit()->setText(value);
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->setText(value);
        else if (auto *box = qobject_cast<QCheckBox *>(w))
            box->setChecked(value == u"1");
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(value.toInt());
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            button->click();
        else
            return false;
    }
    return true;
}

inline QString focusName(const QWidget *dialog)
{
    const QWidget *focus = dialog->focusWidget();
    return focus ? controlName(focus) : QString();
}

// Calls `act` once with the first active modal dialog that opens, from inside its modal loop.
// The flag tells whether it ran.
inline std::shared_ptr<bool> whenModal(std::function<void(QWidget *)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ran, act = std::move(act)] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow())
            return;
        timer->stop();
        timer->deleteLater();
        *ran = true;
        act(dialog);
    });
    timer->start();
    return ran;
}

// Calls `act` once with the first popup menu that opens.
inline std::shared_ptr<bool> whenMenu(std::function<void(QMenu *)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ran, act = std::move(act)] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        *ran = true;
        act(menu);
    });
    timer->start();
    return ran;
}

} // namespace kr44test
