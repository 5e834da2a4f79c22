#include "app/help/helpindex.h"

#include "app/cli/commandline.h"
#include "app/commands/commands.h"
#include "app/commands/commandtable.h"
#include "app/desktop/versioninfo.h"
#include "app/help/helptext_p.h"
#include "link/portscan.h"
#include "link/replytext.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace kr44 {

using internal::escaped;
using internal::headerRow;
using internal::helpText;

namespace {

// A shown menu text without its mnemonic marks, and the key after its tab.
QString menuName(const QString &text)
{
    return text.section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}
QString menuKey(const QString &text) { return text.section(QLatin1Char('\t'), 1, 1); }

} // namespace

QUrl helpIndexUrl() { return QUrl(QStringLiteral("qrc:/kr44/help/index.html")); }

QString menusHtml(MenuBar bar)
{
    QString html;
    for (const MenuSpec &menu : menuSpec(bar)) {
        html += QStringLiteral(
                        "<h3>%1</h3>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n")
                        .arg(escaped(commandText(menu.title).remove(QLatin1Char('&'))))
                + headerRow({QT_TRANSLATE_NOOP("kr44::Help", "Command"),
                             QT_TRANSLATE_NOOP("kr44::Help", "Key"),
                             QT_TRANSLATE_NOOP("kr44::Help", "What it does")});
        for (const MenuItem &item : menu.items) {
            if (!item)
                continue;
            const CommandInfo *info = &commandInfo(*item);
            QString what = escaped(commandText(info->statusTip));
            if (*item == Command::RecentFile)
                what = escaped(QCoreApplication::translate(
                        "kr44::Help",
                        "The last four programs you opened or saved, most recent first."));
            else if (*item == Command::PortSettings)
                what = escaped(QCoreApplication::translate(
                        "kr44::Help", "Choose the serial port and the baud rate."));
            else if (*item == Command::SendMail)
                what = escaped(QCoreApplication::translate(
                                       "kr44::Help",
                                       "%1 (present when the desktop's mail tool is installed)"))
                               .arg(what);
            const QString text = commandText(info->text);
            html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                            .arg(escaped(menuName(text)), escaped(menuKey(text)), what);
        }
        html += QStringLiteral("</table>\n");
    }
    return html;
}

QString toolbarHtml()
{
    QStringList buttons;
    for (const MenuItem &item : toolBarSpec()) {
        if (item)
            buttons.append(QStringLiteral("<b>%1</b>")
                                   .arg(escaped(menuName(commandText(commandInfo(*item).text)))));
    }
    const QString sentence = escaped(QCoreApplication::translate(
            "kr44::Help", "The toolbar's buttons, from left to right: %1."));
    return QStringLiteral("<p>%1</p>\n").arg(sentence.arg(buttons.join(QStringLiteral(", "))));
}

QString editKeysHtml()
{
    const struct
    {
        Command command;
        const char *what;
    } keys[] = {
            {Command::Undo,
             QT_TRANSLATE_NOOP("kr44::Help",
                               "Undo: takes back the last change to the program, one editing "
                               "operation or dialog at a time.")},
            {Command::Redo, QT_TRANSLATE_NOOP("kr44::Help", "Redo: makes an undone change again.")},
            {Command::Cut,
             QT_TRANSLATE_NOOP("kr44::Help",
                               "Cut: puts the selected line on the clipboard and deletes it (not "
                               "a line a jump refers to).")},
            {Command::Copy,
             QT_TRANSLATE_NOOP("kr44::Help",
                               "Copy: puts the selected line on the clipboard as text.")},
            {Command::Paste,
             QT_TRANSLATE_NOOP("kr44::Help",
                               "Paste: inserts the clipboard's text lines before the selected "
                               "row.")},
    };
    QString html;
    for (const auto &key : keys) {
        QString names;
        for (const QKeySequence &sequence : commandShortcuts(key.command)) {
            const QString name = sequence.toString(QKeySequence::NativeText);
            names = names.isEmpty()
                    ? name
                    : QCoreApplication::translate("kr44::Help", "%1 or %2").arg(names, name);
        }
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                        .arg(escaped(names), escaped(helpText(key.what)));
    }
    return html;
}

QString repliesHtml()
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n")
            + headerRow({QT_TRANSLATE_NOOP("kr44::Help", "The unit sends"),
                         QT_TRANSLATE_NOOP("kr44::Help", "The window shows")});
    const auto row = [&html](const QByteArray &sent, const QString &shownAs) {
        html += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td></tr>\n")
                        .arg(escaped(QString::fromLatin1(sent)), shownAs);
    };
    const auto shown = [](const QByteArray &received) {
        QByteArray text = translateReply(received);
        while (text.endsWith('\r') || text.endsWith('\n'))
            text.chop(1);
        return escaped(fromWindows1252(text));
    };
    for (const char *reply : {"B", "R", "Y"})
        row(reply, shown(QByteArray(reply) + '\r'));
    for (const char code : QByteArrayView("123456789ABC")) {
        if (errorDescription(code) == "unknown")
            continue;
        QByteArray sent = QByteArray("E") + code;
        if (code == '3')
            sent += " n";
        row(sent, shown(sent + '\r'));
    }
    html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n</table>\n")
                    .arg(escaped(QCoreApplication::translate("kr44::Help", "anything else")),
                         escaped(QCoreApplication::translate("kr44::Help",
                                                             "what the unit sent, as it is")));
    return html;
}

QString baudRatesHtml()
{
    QStringList rates;
    for (const qint32 rate : kBaudRates)
        rates.append(QString::number(rate));
    const QString last = rates.takeLast();
    return QCoreApplication::translate("kr44::Help", "%1 or %2 baud")
            .arg(rates.join(QStringLiteral(", ")), last);
}

QString commandLineOptionsHtml()
{
    return QStringLiteral("<pre>%1</pre>\n").arg(escaped(commandLineHelp(QStringLiteral("kr44"))));
}

QString fillHelpPage(QString page)
{
    const struct
    {
        const char *mark;
        QString (*make)();
    } parts[] = {
            {"instructions", &instructionTableHtml},
            {"menus-noprogram", [] { return menusHtml(MenuBar::NoProgram); }},
            {"menus-program", [] { return menusHtml(MenuBar::Program); }},
            {"toolbar", &toolbarHtml},
            {"editkeys", &editKeysHtml},
            {"replies", &repliesHtml},
            {"baudrates", &baudRatesHtml},
            {"commandline", &commandLineOptionsHtml},
            {"version", [] { return escaped(aboutVersionText()); }},
    };
    for (const auto &part : parts) {
        const QString mark = QStringLiteral("<!--@%1@-->").arg(QLatin1String(part.mark));
        if (page.contains(mark))
            page.replace(mark, part.make());
    }
    return page;
}

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpBrowser"));
    setAccessibleName(tr("Help text"));
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    const QVariant loaded = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::HtmlResource || !loaded.isValid())
        return loaded;
    const QString page = loaded.typeId() == QMetaType::QByteArray
            ? QString::fromUtf8(loaded.toByteArray())
            : loaded.toString();
    return kr44::fillHelpPage(page);
}

HelpWindow::HelpWindow(const QUrl &home, QWidget *parent)
    : QWidget(parent, Qt::Window), m_browser(new HelpBrowser(this)), m_home(home)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("KR44 Help"));
    setAccessibleName(windowTitle());

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("helpToolBar"));
    bar->setAccessibleName(tr("Help navigation"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto addButton = [this, bar](const char *objectName, const QString &text,
                                       QStyle::StandardPixmap icon, const QKeySequence &key) {
        QAction *action = bar->addAction(style()->standardIcon(icon), text);
        action->setObjectName(QLatin1String(objectName));
        action->setShortcut(key);
        action->setToolTip(text);
        return action;
    };
    QAction *back = addButton("helpBack", tr("Back"), QStyle::SP_ArrowBack, QKeySequence::Back);
    QAction *forward = addButton("helpForward", tr("Forward"), QStyle::SP_ArrowForward,
                                 QKeySequence::Forward);
    QAction *contents = addButton("helpContents", tr("Contents"), QStyle::SP_DirHomeIcon,
                                  QKeySequence(Qt::ALT | Qt::Key_Home));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(contents, &QAction::triggered, this, &HelpWindow::showHome);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("KR44 Help") : tr("KR44 Help - %1").arg(title));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(820, 600);
}

void HelpWindow::showHome() { m_browser->setSource(m_home); }

HelpIndex::HelpIndex(QUrl index, QObject *parent) : QObject(parent), m_index(std::move(index)) {}

HelpIndex::~HelpIndex() { delete m_window.data(); }

QString HelpIndex::failedMessage() { return tr("Failed to launch help."); }

bool HelpIndex::showIndex(QWidget *parent)
{
    // The pages are part of the executable; without its index there is no help to show.
    const QString file = m_index.scheme() == QLatin1String("qrc")
            ? QLatin1Char(':') + m_index.path()
            : m_index.toLocalFile();
    if (file.isEmpty() || !QFile::exists(file))
        return false;
    if (!m_window)
        m_window = new HelpWindow(m_index, parent);
    m_window->showHome();
    if (m_window->browser()->toPlainText().isEmpty())
        return false;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return true;
}

} // namespace kr44
