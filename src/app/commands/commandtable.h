#pragma once

#include "app/commands/commands.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <optional>

namespace kr44 {

// What the user sees of a command: its menu text, status-bar prompt and tooltip. The texts and
// the menu titles are source texts in the context "kr44::Commands"; commandText() gives what the
// user sees.
struct CommandInfo
{
    Command command;
    const char *name;      // the action's object name is name + "Action"
    const char *text;      // menu text, with "\t" before the key name
    const char *statusTip; // null for none
    const char *toolTip;   // null for none
};

[[nodiscard]] const QList<CommandInfo> &commandInfos();
// A text of the command table or a menu title as shown, translated; null for a null text.
[[nodiscard]] QString commandText(const char *text);
[[nodiscard]] const CommandInfo &commandInfo(Command command);
// The keys bound to a command: the one its menu text names first, then the others.
[[nodiscard]] QList<QKeySequence> commandShortcuts(Command command);

// The two menu bars: without a program window, and with one.
enum class MenuBar { NoProgram, Program };

// An entry of a menu or the toolbar; no command stands for a separator.
using MenuItem = std::optional<Command>;

struct MenuSpec
{
    const char *title;
    QList<MenuItem> items;
};

[[nodiscard]] const QList<MenuSpec> &menuSpec(MenuBar bar);
[[nodiscard]] const QList<MenuItem> &toolBarSpec();

} // namespace kr44
