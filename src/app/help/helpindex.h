#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QAction;

namespace kr44 {

// The application's own help: HTML pages bundled in the executable, shown in a small browser
// window. The tables that must follow the program (instructions, menus, replies, options) are
// made when a page is shown, from the same tables the program itself uses.

[[nodiscard]] QUrl helpIndexUrl();

// What the help says about one instruction besides its name and ranges.
struct InstructionHelp
{
    char code;
    const char *format;  // the parameter text, its fields in italics (HTML)
    const char *meaning; // HTML
    const char *example; // a complete line
};

[[nodiscard]] const InstructionHelp *instructionHelp(char code);

// What the help says about one parameter field of an instruction.
struct FieldHelp
{
    QString name;
    // For a choice field, the text of each choice in index order; empty for the other kinds.
    QStringList choices;
};

// The fields of `code`'s parameter text in the order of its fields; empty for a code without.
[[nodiscard]] QList<FieldHelp> fieldHelp(char code);

// The generated parts of the pages, each an HTML fragment.
[[nodiscard]] QString instructionTableHtml();
[[nodiscard]] QString menusHtml(int menuId);
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
