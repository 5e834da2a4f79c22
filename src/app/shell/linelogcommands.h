#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QSettings;
class QWidget;

namespace kr44 {

class AppPrompt;
class LineLog;
class LinkController;
class MainWindow;
class SerialLink;

// Options > "Log the line to a file...": a checkable command, checked while every byte of the
// link goes to a log file. Choosing it while logging switches logging off; otherwise it asks for
// a file to append to. The file is kept in the settings, so logging goes on at the next start
// until it is switched off. A file that cannot be written is reported once and logging is
// switched off.
class LineLogCommands : public QObject
{
    Q_OBJECT

public:
    using FileChooser = std::function<QString(QWidget *parent)>;
    using Reporter = std::function<void(QWidget *parent, const QString &text)>;

    // `action`, `link`, `settings` and `window` must outlive the commands.
    LineLogCommands(QAction *action, const SerialLink *link, QSettings &settings, QWidget *window,
                    Reporter reporter, QObject *parent = nullptr);

    // Goes on logging to the file the settings hold, if any.
    void restore();
    // The command.
    void toggle();

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    [[nodiscard]] LineLog *log() const { return m_log; }

private:
    void start(const QString &path);
    void switchOff(const QString &report);

    QAction *m_action;
    QSettings &m_settings;
    QWidget *m_window;
    LineLog *m_log;
    Reporter m_report;
    FileChooser m_chooseFile;
};

// Makes the main window's command carry out line logging on the controller's link, reporting
// through `prompt`, and goes on logging to the file the settings hold.
LineLogCommands *installLineLogCommands(MainWindow &window, LinkController &link,
                                        QSettings &settings, AppPrompt &prompt);

} // namespace kr44
