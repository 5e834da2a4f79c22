#include "app/help/helpindex.h"

#include "app/cli/commandline.h"
#include "app/commands/commands.h"
#include "app/commands/commandtable.h"
#include "app/desktop/versioninfo.h"
#include "link/portscan.h"
#include "link/replytext.h"
#include "model/instructionset.h"

#include <QAction>
#include <QFile>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <climits>

namespace kr44 {

namespace {

// What each instruction does; the names, ranges and defaults come from the instruction table.
constexpr InstructionHelp kInstructionTexts[] = {
        {'+', "<i>steps</i>", "moves clockwise by <i>steps</i> steps", "+200"},
        {'-', "<i>steps</i>", "moves counterclockwise by <i>steps</i> steps", "-50"},
        {'A', "<i>output</i>", "sets user output <i>output</i>", "A2"},
        {'B', "<i>motor</i>", "selects motor <i>motor</i>", "B2"},
        {'C', "<i>output</i>", "clears user output <i>output</i>", "C3"},
        {'D', "<i>time</i>", "waits <i>time</i> milliseconds", "D500"},
        {'f', "<i>position</i>",
         "sets the position counter to <i>position</i>; the motor does not move", "f-1000"},
        {'G', "<i>position</i>", "moves to position <i>position</i>", "G25000"},
        {'g', "<i>dir</i><i>input</i><i>level</i>",
         "moves in direction <i>dir</i> until user input <i>input</i> is at <i>level</i>", "g-2H"},
        {'h', "<i>time</i>,<i>mult</i>",
         "holds the current for <i>time</i> milliseconds with the hold-current multiplier "
         "<i>mult</i>",
         "h50,3"},
        {'H', "<i>end</i>", "travels to an end of travel and stops on its switch", "H-"},
        {'I', "<i>mask</i>",
         "clears the position counter (1), all user outputs (2), or both (3); at least one of them",
         "I3"},
        {'j', "<i>line</i>", "jumps to program line <i>line</i>", "j4"},
        {'J', "<i>input</i><i>level</i>,<i>line</i>",
         "jumps to program line <i>line</i> if user input <i>input</i> is at <i>level</i>", "J1H,6"},
        {'K', "", "kill: ends the program; the same letter is what <b>Stop program</b> sends", "K"},
        {'L', "<i>count</i>",
         "<code>0</code> marks a loop start; 1 to 255 marks a loop end that repeats the loop "
         "<i>count</i> times in all",
         "L10"},
        {'M', "<i>eighth</i>,<i>quarter</i>,<i>half</i>",
         "ministepping thresholds in steps per second: eighth steps below <i>eighth</i>, quarter "
         "steps below "
         "<i>quarter</i>, half steps below <i>half</i>",
         "M30,60,120"},
        {'T', "<i>rate</i>", "sets the slew rate to <i>rate</i> steps per second", "T1000"},
        {'U', "<i>input</i><i>level</i>",
         "repeats the program from its start until user input <i>input</i> is at <i>level</i>",
         "U2H"},
        {'V', "<i>item</i>", "asks the unit to report an item", "V3"},
        {'W', "<i>input</i><i>level</i>", "waits until user input <i>input</i> is at <i>level</i>",
         "W1H"},
        {'X', "<i>start</i>,<i>slew</i>,<i>ramp</i>",
         "acceleration profile: start rate and slew rate in steps per second, ramp in steps",
         "X500,1000,20"},
        {'Z', "", "smooth stop", "Z"},
};

QStringList levels() { return {QStringLiteral("L low"), QStringLiteral("H high")}; }

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// A menu text without its mnemonic marks, and the key after its tab.
QString menuName(const char *text)
{
    return QString::fromLatin1(text).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}
QString menuKey(const char *text)
{
    return QString::fromLatin1(text).section(QLatin1Char('\t'), 1, 1);
}

QString rangeText(const FieldSpec &field, const FieldHelp &help)
{
    switch (field.kind) {
    case FieldKind::Number:
        if (field.maximum == INT_MAX)
            return QStringLiteral("a line number of the program, from %1").arg(field.minimum);
        return QStringLiteral("%1 to %2").arg(field.minimum).arg(field.maximum);
    case FieldKind::Choice:
        return escaped(help.choices.join(QStringLiteral(", ")));
    case FieldKind::Check:
        return QStringLiteral("on or off");
    }
    return {};
}

QString newInstructionText(char code)
{
    if (code == 'j' || code == 'J')
        return QStringLiteral("target: the first line that is not a jump");
    if (!hasParamFields(code))
        return QStringLiteral("&mdash;");
    QString text
            = QStringLiteral("<code>%1</code>")
                      .arg(escaped(QString::fromLatin1(
                              QByteArray(1, code) + composeParams(code, defaultFields(code)))));
    const QList<FieldSpec> specs = fieldSpecs(code);
    for (const FieldSpec &field : specs) {
        if (field.kind == FieldKind::Number
            && (field.defaultValue < field.minimum || field.defaultValue > field.maximum))
            return text + QStringLiteral(", to be changed before OK");
    }
    return text;
}

} // namespace

const InstructionHelp *instructionHelp(char code)
{
    for (const InstructionHelp &t : kInstructionTexts) {
        if (t.code == code)
            return &t;
    }
    return nullptr;
}

QUrl helpIndexUrl() { return QUrl(QStringLiteral("qrc:/kr44/help/index.html")); }

QList<FieldHelp> fieldHelp(char code)
{
    const QString input = QStringLiteral("input");
    const QString level = QStringLiteral("level");
    switch (code) {
    case '+':
    case '-':
        return {{QStringLiteral("steps"), {}}};
    case 'A':
    case 'C':
        return {{QStringLiteral("output"),
                 {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}}};
    case 'B':
        return {{QStringLiteral("motor"), {QStringLiteral("1"), QStringLiteral("2")}}};
    case 'D':
        return {{QStringLiteral("time"), {}}};
    case 'f':
    case 'G':
        return {{QStringLiteral("position"), {}}};
    case 'g':
        return {{QStringLiteral("dir"),
                 {QStringLiteral("+ clockwise"), QStringLiteral("- counterclockwise")}},
                {input, {}},
                {level, levels()}};
    case 'h': {
        QStringList multipliers {QStringLiteral("0 Off")};
        for (int m = 1; m <= 7; ++m)
            multipliers.append(QString::number(m));
        return {{QStringLiteral("time"), {}}, {QStringLiteral("mult"), multipliers}};
    }
    case 'H':
        return {{QStringLiteral("end"), {QStringLiteral("+ EOT+"), QStringLiteral("- EOT-")}}};
    case 'I':
        return {{QStringLiteral("clear the position counter"), {}},
                {QStringLiteral("clear all user outputs"), {}}};
    case 'j':
        return {{QStringLiteral("line"), {}}};
    case 'J':
        return {{input, {}}, {level, levels()}, {QStringLiteral("line"), {}}};
    case 'L':
        return {{QStringLiteral("count"), {}}};
    case 'M':
        return {{QStringLiteral("eighth"), {}},
                {QStringLiteral("quarter"), {}},
                {QStringLiteral("half"), {}}};
    case 'T':
        return {{QStringLiteral("rate"), {}}};
    case 'U':
    case 'W':
        return {{input, {}}, {level, levels()}};
    case 'V':
        return {{QStringLiteral("item"),
                 {QStringLiteral("1 position counter"), QStringLiteral("2 user inputs and outputs"),
                  QStringLiteral("3 temperature"), QStringLiteral("4 program version"),
                  QStringLiteral("5 acceleration profile")}}};
    case 'X':
        return {{QStringLiteral("start"), {}},
                {QStringLiteral("slew"), {}},
                {QStringLiteral("ramp"), {}}};
    default:
        return {};
    }
}

QString instructionTableHtml()
{
    QString html = QStringLiteral(
            "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n"
            "<tr><th>Code</th><th>Name</th><th>Parameter text</th><th>What it does</th>"
            "<th>Fields and ranges</th><th>New instruction</th><th>Example</th></tr>\n");
    for (int i = 0; i < kInstructionCount; ++i) {
        const char code = instructionCode(i);
        const QString name = QString::fromLatin1(kInstructionTable[i] + 2);
        const InstructionHelp *text = instructionHelp(code);
        const QList<FieldSpec> specs = fieldSpecs(code);
        const QList<FieldHelp> helps = fieldHelp(code);
        QStringList fields;
        for (qsizetype f = 0; f < specs.size() && f < helps.size(); ++f)
            fields.append(
                    QStringLiteral("<i>%1</i>: %2")
                            .arg(escaped(helps.at(f).name), rangeText(specs.at(f), helps.at(f))));
        html += QStringLiteral("<tr><td><code>%1</code></td><td>%2</td><td><code>%1</code>%3</"
                               "td><td>%4</td>"
                               "<td>%5</td><td>%6</td><td><code>%7</code></td></tr>\n")
                        .arg(escaped(QString(QLatin1Char(code))), escaped(name),
                             text ? QString::fromLatin1(text->format) : QString(),
                             text ? QString::fromLatin1(text->meaning) : QString(),
                             fields.isEmpty() ? QStringLiteral("none")
                                              : fields.join(QStringLiteral("<br>")),
                             newInstructionText(code),
                             text ? escaped(QString::fromLatin1(text->example)) : QString());
    }
    html += QStringLiteral("</table>\n");
    return html;
}

QString menusHtml(MenuBar bar)
{
    QString html;
    for (const MenuSpec &menu : menuSpec(bar)) {
        html += QStringLiteral(
                        "<h3>%1</h3>\n<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n"
                        "<tr><th>Command</th><th>Key</th><th>What it does</th></tr>\n")
                        .arg(escaped(QString::fromLatin1(menu.title).remove(QLatin1Char('&'))));
        for (const MenuItem &item : menu.items) {
            if (!item)
                continue;
            const CommandInfo *info = &commandInfo(*item);
            QString what = escaped(QString::fromLatin1(info->statusTip));
            if (*item == Command::RecentFile)
                what = QStringLiteral(
                        "The last four programs you opened or saved, most recent first.");
            else if (*item == Command::PortSettings)
                what = QStringLiteral("Choose the serial port and the baud rate.");
            else if (*item == Command::SendMail)
                what += QStringLiteral(" (present when the desktop's mail tool is installed)");
            html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                            .arg(escaped(menuName(info->text)), escaped(menuKey(info->text)), what);
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
            buttons.append(
                    QStringLiteral("<b>%1</b>").arg(escaped(menuName(commandInfo(*item).text))));
    }
    return QStringLiteral("<p>The toolbar's buttons, from left to right: %1.</p>\n")
            .arg(buttons.join(QStringLiteral(", ")));
}

QString editKeysHtml()
{
    const struct
    {
        Command command;
        const char *what;
    } keys[] = {
            {Command::Undo,
             "Undo: takes back the last change to the program, one editing operation or dialog at "
             "a time."},
            {Command::Redo, "Redo: makes an undone change again."},
            {Command::Cut,
             "Cut: puts the selected line on the clipboard and deletes it (not a line a jump "
             "refers to)."},
            {Command::Copy, "Copy: puts the selected line on the clipboard as text."},
            {Command::Paste, "Paste: inserts the clipboard's text lines before the selected row."},
    };
    QString html;
    for (const auto &key : keys) {
        QStringList names;
        for (const QKeySequence &sequence : commandShortcuts(key.command))
            names.append(sequence.toString(QKeySequence::NativeText));
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                        .arg(escaped(names.join(QStringLiteral(" or "))),
                             escaped(QString::fromLatin1(key.what)));
    }
    return html;
}

QString repliesHtml()
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n"
                                  "<tr><th>The unit sends</th><th>The window shows</th></tr>\n");
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
    html += QStringLiteral(
            "<tr><td>anything else</td><td>what the unit sent, as it is</td></tr>\n</table>\n");
    return html;
}

QString baudRatesHtml()
{
    QStringList rates;
    for (const qint32 rate : kBaudRates)
        rates.append(QString::number(rate));
    const QString last = rates.takeLast();
    return rates.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last
            + QStringLiteral(" baud");
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
    setAccessibleName(QStringLiteral("Help text"));
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
    setAccessibleName(QStringLiteral("KR44 Help"));
    setWindowTitle(QStringLiteral("KR44 Help"));

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("helpToolBar"));
    bar->setAccessibleName(QStringLiteral("Help navigation"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto addButton = [this, bar](const char *objectName, const QString &text,
                                       QStyle::StandardPixmap icon, const QKeySequence &key) {
        QAction *action = bar->addAction(style()->standardIcon(icon), text);
        action->setObjectName(QLatin1String(objectName));
        action->setShortcut(key);
        action->setToolTip(text);
        return action;
    };
    QAction *back = addButton("helpBack", QStringLiteral("Back"), QStyle::SP_ArrowBack,
                              QKeySequence::Back);
    QAction *forward = addButton("helpForward", QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                                 QKeySequence::Forward);
    QAction *contents = addButton("helpContents", QStringLiteral("Contents"),
                                  QStyle::SP_DirHomeIcon, QKeySequence(Qt::ALT | Qt::Key_Home));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(contents, &QAction::triggered, this, &HelpWindow::showHome);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("KR44 Help")
                                       : QStringLiteral("KR44 Help - ") + title);
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

QString HelpIndex::failedMessage() { return QStringLiteral("Failed to launch help."); }

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
