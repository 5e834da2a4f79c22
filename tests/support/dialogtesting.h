#pragma once

// Widget tests that meet dialogs: a recorder that answers the prompt seam, a compact text form of
// a dialog's controls so that test tables can say what a dialog shows and what the user does, and
// a watcher that acts on the first modal dialog or popup menu from inside its event loop.

#include "dialogs/prompt.h"
#include "dialogs/spinedit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
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
    Q_DISABLE_COPY_MOVE(PromptRecorder)

    // Each prompt's text, after "!" for the exclamation icon or "i" for the information icon.
    [[nodiscard]] QStringList texts(bool withIcons = false) const
    {
        QStringList list;
        for (const Prompt &p : prompts)
            list.append(withIcons ? u"i!"[p.icon == kr44::PromptIcon::Exclamation] + p.text
                                  : p.text);
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
            if (!qobject_cast<const QComboBox *>(w->parentWidget()))
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

// Semicolon-separated: "name=text" types into a field (replacing it), "name" clicks a radio
// button, "name=0|1" sets a check box, "name=<index>" selects a list item.
inline bool apply(QWidget *dialog, const QString &actions)
{
    const QStringList steps = actions.split(u';', Qt::SkipEmptyParts);
    for (const QString &step : steps) {
        const qsizetype eq = step.indexOf(u'=');
        const QString value = eq < 0 ? QString() : step.mid(eq + 1);
        QWidget *w = dialog->findChild<QWidget *>(eq < 0 ? step : step.left(eq));
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
            return false; // no such control
    }
    return true;
}

inline QString focusName(const QWidget *dialog)
{
    const QWidget *focus = dialog->focusWidget();
    return focus ? controlName(focus) : QString();
}

// Calls `act` once with the first widget `find` gives, looking from the event loop (a modal
// loop included) until then, or until the returned flag, which tells whether it ran, is gone.
template<typename W>
std::shared_ptr<bool> whenShown(std::function<W *()> find, std::function<void(W *)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, flag = std::weak_ptr(ran), find, act] {
        const std::shared_ptr<bool> ran = flag.lock(); // gone: nobody waits any more
        W *w = ran ? find() : nullptr;
        if (ran && !w)
            return;
        timer->stop();
        timer->deleteLater();
        if (ran) {
            *ran = true;
            act(w);
        }
    });
    timer->start();
    return ran;
}

// The first active modal dialog that opens.
[[nodiscard]] inline std::shared_ptr<bool> whenModal(std::function<void(QWidget *)> act)
{
    return whenShown<QWidget>(
            [] {
                QWidget *w = QApplication::activeModalWidget();
                return w && w->isVisible() && w->isActiveWindow() ? w : nullptr;
            },
            std::move(act));
}

// The first popup menu that opens.
[[nodiscard]] inline std::shared_ptr<bool> whenMenu(std::function<void(QMenu *)> act)
{
    return whenShown<QMenu>(
            [] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                return menu && menu->isVisible() ? menu : nullptr;
            },
            std::move(act));
}

} // namespace kr44test
