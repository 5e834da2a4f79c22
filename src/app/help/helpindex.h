#pragma once

#include "app/commands/commandtable.h"
#include "app/help/instructionhelp.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QAction;

namespace kr44 {

// The application's own help: HTML pages bundled in the executable, shown in a small browser
// window. The tables that must follow the program (instructions, menus, replies, options) are
// made when a page is shown, from the same tables the program itself uses.

[[nodiscard]] QUrl helpIndexUrl();

// The generated parts of the pages, each an HTML fragment; the instructions' table is in
// instructionhelp.h.
[[nodiscard]] QString menusHtml(MenuBar bar);
[[nodiscard]] QString toolbarHtml();
// Rows of the editing keys' table: the clipboard and undo keys.
[[nodiscard]] QString editKeysHtml();
[[nodiscard]] QString repliesHtml();
[[nodiscard]] QString baudRatesHtml();
[[nodiscard]] QString commandLineOptionsHtml();

// A help page's text with its generated parts filled in ("<!--@name@-->" marks each place).
[[nodiscard]] QString fillHelpPage(QString page);

// A text browser that fills in the generated parts of the help pages as it loads them.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;
};

// The help window: a browser with back, forward and contents buttons.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(const QUrl &home, QWidget *parent = nullptr);

    [[nodiscard]] HelpBrowser *browser() const { return m_browser; }
    void showHome();

private:
    HelpBrowser *m_browser = nullptr;
    QUrl m_home;
};

// "&Help Index": one help window for the run, opened at the index, or raised and taken back to
// the index when it is already open.
class HelpIndex : public QObject
{
    Q_OBJECT

public:
    explicit HelpIndex(QUrl index = kr44::helpIndexUrl(), QObject *parent = nullptr);
    ~HelpIndex() override;

    // False when the help cannot be shown; the caller then shows failedMessage().
    bool showIndex(QWidget *parent);
    [[nodiscard]] HelpWindow *window() const { return m_window; }

    [[nodiscard]] static QString failedMessage();

private:
    QUrl m_index;
    QPointer<HelpWindow> m_window;
};

} // namespace kr44
