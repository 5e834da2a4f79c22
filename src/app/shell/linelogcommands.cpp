#include "app/shell/linelogcommands.h"

#include "app/commands/commands.h"
#include "app/shell/appprompt.h"
#include "app/shell/appsettings.h"
#include "app/shell/linkcontroller.h"
#include "app/shell/mainwindow.h"
#include "link/linelog.h"

#include <QAction>
#include <QFileDialog>
#include <QSettings>

namespace kr44 {

namespace {

QString chooseLogFile(QWidget *parent)
{
    QFileDialog dialog(parent, LineLogCommands::tr("Log the Line to a File"), QString(),
                       LineLogCommands::tr("Log Files (*.log);;All Files (*)"));
    dialog.setObjectName(QStringLiteral("lineLogDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The log is appended to: an existing file is not replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

LineLogCommands::LineLogCommands(QAction *action, const SerialLink *link, QSettings &settings,
                                 QWidget *window, Reporter reporter, QObject *parent)
    : QObject(parent), m_action(action), m_settings(settings), m_window(window),
      m_log(new LineLog(this)), m_report(std::move(reporter)), m_chooseFile(chooseLogFile)
{
    m_log->follow(link);
    m_action->setCheckable(true);
    m_action->setChecked(false);
    connect(m_action, &QAction::triggered, this, &LineLogCommands::toggle);
    connect(m_log, &LineLog::failed, this, &LineLogCommands::switchOff);
}

void LineLogCommands::restore()
{
    const QString path = loadLineLogFile(m_settings);
    if (!path.isEmpty())
        start(path);
}

void LineLogCommands::toggle()
{
    if (m_log->isActive()) {
        switchOff(QString());
        return;
    }
    m_action->setChecked(false);
    const QString path = m_chooseFile(m_window);
    if (!path.isEmpty())
        start(path);
}

void LineLogCommands::start(const QString &path)
{
    if (!m_log->setFile(path)) {
        switchOff(tr("The line log %1 cannot be opened (%2). Logging is switched off.")
                          .arg(path, m_log->errorString()));
        return;
    }
    saveLineLogFile(m_settings, path);
    m_action->setChecked(true);
}

void LineLogCommands::switchOff(const QString &report)
{
    m_log->setFile(QString());
    saveLineLogFile(m_settings, QString());
    m_action->setChecked(false);
    if (!report.isEmpty())
        m_report(m_window, report);
}

LineLogCommands *installLineLogCommands(MainWindow &window, LinkController &link,
                                        QSettings &settings, AppPrompt &prompt)
{
    auto *commands = new LineLogCommands(
            window.action(Command::LogLine), link.link(), settings, &window,
            [&prompt](QWidget *parent, const QString &text) {
                prompt.message(parent, QMessageBox::Warning, text);
            },
            &link);
    commands->restore();
    return commands;
}

} // namespace kr44
