#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace kr44 {

// The texts, keys and prompts of every command, and the layout of the two menu bars.
struct CommandInfo
{
    int id;
    const char *text;   // menu text, with "\t" before the key name
    const char *prompt; // status-bar prompt, "\n", tooltip; null for none
};

[[nodiscard]] const QList<CommandInfo> &commandInfos();
[[nodiscard]] const CommandInfo *findCommand(int id);
// Keys of the accelerator table bound to a command.
[[nodiscard]] QList<QKeySequence> acceleratorsFor(int id);

// The prompt's two parts.
[[nodiscard]] QString statusPrompt(const CommandInfo &info);
[[nodiscard]] QString toolTip(const CommandInfo &info);

// A menu bar layout: top-level menus with their command ids; 0 is a separator.
struct MenuSpec
{
    const char *title;
    QList<int> items;
};

inline constexpr int kMenuNoProgram = 128;
inline constexpr int kMenuProgram = 129;
[[nodiscard]] const QList<MenuSpec> &menuSpec(int menuId);

// Toolbar 128: command ids, 0 for a separator.
[[nodiscard]] const QList<int> &toolbarSpec();

} // namespace kr44
