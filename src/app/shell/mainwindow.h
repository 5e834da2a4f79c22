#pragma once

#include "app/commands/commandtable.h"
#include "app/shell/appsettings.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kr44 {

class ProblemsPanel;
class ProgramWindow;
class VirtualUnitPanel;
class WindowListEntries;

// The main window: menus, toolbar, instrument bar, status bar and the area that holds the
// program windows. It only presents and routes; the application connects the commands.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    [[nodiscard]] QMdiArea *mdiArea() const { return m_mdiArea; }
    [[nodiscard]] ProgramWindow *activeProgramWindow() const;
    [[nodiscard]] QList<ProgramWindow *> programWindows() const;
    // Puts `window` in the area; the caption and the Window menu follow its state and title.
    void addProgramWindow(ProgramWindow *window);
    [[nodiscard]] QAction *action(Command command) const { return m_actions.value(command); }
    [[nodiscard]] QToolBar *toolBar() const { return m_toolBar; }
    [[nodiscard]] QToolBar *instrumentBar() const { return m_instrumentBar; }
    [[nodiscard]] QComboBox *instrumentCombo() const { return m_instrumentCombo; }
    // The dock of the program check's findings; Options > Problems shows and hides it.
    [[nodiscard]] ProblemsPanel *problemsPanel() const { return m_problems; }
    // The virtual unit's dock, made hidden when first asked for; Options > Virtual unit panel
    // shows and hides it.
    VirtualUnitPanel *virtualUnitPanel();
    // The menu bar shown now: one without a program window, another with one.
    [[nodiscard]] MenuBar currentMenuBar() const { return m_menuBar.value_or(MenuBar::NoProgram); }

    // The message pane of the status bar.
    void setMessageText(const QString &text);
    [[nodiscard]] QString messageText() const;

    // Rebuilds the recent-file entries of both File menus.
    void setRecentFiles(const RecentFileList &list);
    [[nodiscard]] QList<QAction *> recentFileActions() const { return m_recentActions; }

    // Takes a command out of every menu, with one separator next to it where it stood between two.
    void removeCommand(Command command);

    // "&Toolbar": each bar toggled by its own visibility.
    void toggleBars();

Q_SIGNALS:
    void recentFileTriggered(const QString &path);
    // Files dropped on the main window, to be opened as programs.
    void filesDropped(const QStringList &paths);
    // The main window is closing: the application decides (save prompts) through this hook.
    void closeRequested(bool *accept);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void fillMenu(QMenu *menu, const QList<MenuItem> &items);
    void fillMenus(MenuBar bar);
    void createBars();
    void createStatusBar();
    void createProblemsPanel();
    void updateMenuBar();
    void updateIndicators();
    // The caption and the Window menu's list of the program windows.
    void updateWindows();
    // F6 and Shift+F6: the focus to the next or previous pane.
    void focusPane(int step);
    void updateCaption();

    QMdiArea *m_mdiArea = nullptr;
    QHash<Command, QAction *> m_actions;
    QHash<MenuBar, QList<QMenu *>> m_menus; // per menu bar, its top-level menus
    QList<QAction *> m_recentActions;
    QList<Command> m_removedCommands;
    WindowListEntries *m_windowList = nullptr;
    QStringList m_recentFiles;
    QToolBar *m_toolBar = nullptr;
    QToolBar *m_instrumentBar = nullptr;
    QComboBox *m_instrumentCombo = nullptr;
    QLabel *m_messagePane = nullptr;
    ProblemsPanel *m_problems = nullptr;
    VirtualUnitPanel *m_unitPanel = nullptr;
    QLabel *m_indicators[3] = {nullptr, nullptr, nullptr};
    std::optional<MenuBar> m_menuBar;
};

} // namespace kr44
