#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QAction;
class QMdiArea;

// What the main window shows of its program windows: its caption and the Window menu's list.

namespace kr44 {

class ProgramWindow;

// The main window's caption: the application's title alone without a program window,
// "prog.krp - <app>" while the active program window is framed, and "<app> - [prog.krp]"
// while it is maximised (as the program's own caption then stands in the menu bar).
[[nodiscard]] QString frameCaption(const QString &appTitle,
                                   const std::optional<QString> &activeTitle, bool maximised);

// The pane after (`step` 1) or before (-1) the one that holds `focus` among `panes`, going
// round; the first pane when none holds it, null when there is none. F6 and Shift+F6 move the
// focus so between the active program window and the docks.
[[nodiscard]] QWidget *neighbourPane(const QList<QWidget *> &panes, const QWidget *focus, int step);

// The control that takes the focus when `pane` is entered: the pane itself when Tab reaches it
// (or it hands the focus on), else its first control in the Tab order.
[[nodiscard]] QWidget *paneFocusTarget(QWidget *pane);

// The Window menu lists this many program windows at most; "More Windows..." reaches the rest.
inline constexpr int kListedWindows = 9;

struct WindowMenuEntry
{
    int window = -1; // index into the titles the list was made from
    QString text;    // "&1 Program1"
    bool checked = false;
};

struct WindowMenuList
{
    QList<WindowMenuEntry> entries;
    bool moreWindows = false; // "More Windows..." follows the entries
};

// The entries for windows with these titles, in this order, of which `active` (or -1) is the
// active one: the first nine, numbered with their mnemonic, the active one checked. An active
// window further down takes the ninth place, so that the list always shows which one it is.
[[nodiscard]] WindowMenuList windowMenuList(const QStringList &titles, int active);

// The Window menu's entries for the program windows of an MDI area, as windowMenuList() gives
// them, followed past nine windows by "More Windows..." (the action given, which opens the
// dialog of all of them). Choosing an entry or a window in the dialog activates that window.
class WindowListEntries : public QObject
{
    Q_OBJECT

public:
    // `parent` is also the dialog's parent.
    WindowListEntries(QMdiArea *area, QAction *moreWindows, QWidget *parent);

    // Brings the entries up to date with the area's windows, their titles and the active one.
    void update();
    // The entries to show now, in menu order.
    [[nodiscard]] QList<QAction *> actions() const;
    // "More Windows...".
    void chooseWindow();

Q_SIGNALS:
    // A window was chosen; it may be the active one again, whose entry then lost its check mark.
    void windowChosen();

private:
    [[nodiscard]] QList<ProgramWindow *> openWindows() const;
    void activate(ProgramWindow *window);

    QMdiArea *m_area;
    QAction *m_moreWindows;
    QWidget *m_dialogParent;
    QList<QAction *> m_entries; // as many in use as m_listed has windows, each for its window
    QList<QPointer<ProgramWindow>> m_listed;
    bool m_moreDue = false;
};

} // namespace kr44
