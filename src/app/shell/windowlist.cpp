#include "app/shell/windowlist.h"

#include "app/shell/programwindow.h"
#include "app/shell/selectwindowdialog.h"

#include <QAction>
#include <QMdiArea>
#include <QWidget>

#include <algorithm>

namespace kr44 {

namespace {

QStringList titlesOf(const QList<ProgramWindow *> &windows)
{
    QStringList titles;
    for (const ProgramWindow *w : windows)
        titles.append(w->windowTitle());
    return titles;
}

int currentIndex(const QList<ProgramWindow *> &windows, const QMdiArea *area)
{
    return windows.indexOf(qobject_cast<ProgramWindow *>(area->currentSubWindow()));
}

} // namespace

QString frameCaption(const QString &appTitle, const std::optional<QString> &activeTitle,
                     bool maximised)
{
    if (!activeTitle)
        return appTitle;
    if (maximised)
        return QStringLiteral("%1 - [%2]").arg(appTitle, *activeTitle);
    return QStringLiteral("%1 - %2").arg(*activeTitle, appTitle);
}

QWidget *neighbourPane(const QList<QWidget *> &panes, const QWidget *focus, int step)
{
    if (panes.isEmpty())
        return nullptr;
    const auto holds = [focus](const QWidget *pane) {
        return focus && (pane == focus || pane->isAncestorOf(focus));
    };
    const qsizetype at = std::find_if(panes.begin(), panes.end(), holds) - panes.begin();
    if (at == panes.size())
        return panes.first();
    return panes.at((at + step + panes.size()) % panes.size());
}

QWidget *paneFocusTarget(QWidget *pane)
{
    if ((pane->focusPolicy() & Qt::TabFocus) || pane->focusProxy())
        return pane;
    for (QWidget *w = pane->nextInFocusChain(); w != pane; w = w->nextInFocusChain()) {
        if (pane->isAncestorOf(w) && w->isVisible() && w->isEnabled()
            && (w->focusPolicy() & Qt::TabFocus))
            return w;
    }
    return pane;
}

WindowMenuList windowMenuList(const QStringList &titles, int active)
{
    WindowMenuList list;
    const int shown = std::min<int>(titles.size(), kListedWindows);
    for (int i = 0; i < shown; ++i) {
        const int window = (i == shown - 1 && active >= shown) ? active : i;
        // A "&" of the title is shown as itself, not taken for a mnemonic.
        const QString title
                = QString(titles.at(window)).replace(QLatin1Char('&'), QLatin1String("&&"));
        list.entries.append(
                {window, QStringLiteral("&%1 %2").arg(i + 1).arg(title), window == active});
    }
    list.moreWindows = titles.size() > kListedWindows;
    return list;
}

WindowListEntries::WindowListEntries(QMdiArea *area, QAction *moreWindows, QWidget *parent)
    : QObject(parent), m_area(area), m_moreWindows(moreWindows), m_dialogParent(parent)
{
    for (int i = 0; i < kListedWindows; ++i) {
        auto *a = new QAction(this);
        a->setObjectName(QStringLiteral("windowEntry%1").arg(i + 1));
        a->setStatusTip(tr("Activate this window"));
        connect(a, &QAction::triggered, this, [this, i] { activate(m_listed.value(i)); });
        m_entries.append(a);
    }
    connect(m_moreWindows, &QAction::triggered, this, &WindowListEntries::chooseWindow);
}

QList<ProgramWindow *> WindowListEntries::openWindows() const
{
    QList<ProgramWindow *> windows;
    for (QMdiSubWindow *window : m_area->subWindowList()) {
        // A window that was closed is hidden until it is deleted.
        auto *program = qobject_cast<ProgramWindow *>(window);
        if (program && !program->isHidden())
            windows.append(program);
    }
    return windows;
}

void WindowListEntries::update()
{
    const QList<ProgramWindow *> windows = openWindows();
    const WindowMenuList list = windowMenuList(titlesOf(windows), currentIndex(windows, m_area));
    m_listed.clear();
    for (int i = 0; i < list.entries.size(); ++i) {
        // Only the active window's entry is checkable, so that the others show no empty box.
        const WindowMenuEntry &entry = list.entries.at(i);
        m_entries.at(i)->setText(entry.text);
        m_entries.at(i)->setCheckable(entry.checked);
        m_entries.at(i)->setChecked(entry.checked);
        m_listed.append(windows.at(entry.window));
    }
    m_moreDue = list.moreWindows;
}

QList<QAction *> WindowListEntries::actions() const
{
    QList<QAction *> shown = m_entries.mid(0, m_listed.size());
    if (m_moreDue)
        shown.append(m_moreWindows);
    return shown;
}

void WindowListEntries::activate(ProgramWindow *window)
{
    if (!window)
        return;
    m_area->setActiveSubWindow(window);
    Q_EMIT windowChosen();
}

void WindowListEntries::chooseWindow()
{
    const QList<ProgramWindow *> windows = openWindows();
    // A shell request may close a window while the dialog is open.
    const QList<QPointer<ProgramWindow>> guarded(windows.begin(), windows.end());
    SelectWindowDialog dialog(titlesOf(windows), currentIndex(windows, m_area), m_dialogParent);
    if (dialog.exec() == QDialog::Accepted && dialog.selectedIndex() >= 0)
        activate(guarded.value(dialog.selectedIndex()));
}

} // namespace kr44
