#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QProcess;
class QTemporaryDir;

namespace kr44 {

class ProgramDocument;

// The name a program is attached under: its file's name, or for a never-saved program its title,
// with ".krp" appended when the title has no '.'.
[[nodiscard]] QString mailAttachmentName(const QString &pathName, const QString &title);

// "&Mail" through the desktop's mail client: xdg-email opens a new message with the program
// attached. The program file itself is attached when it is saved and unmodified; otherwise a copy
// is written to a private temporary folder first, without touching the program's own file, path
// or modified flag.
//
// Copies are kept until the Mailer is destroyed (the end of the run), not only until xdg-email
// returns: xdg-email hands the message to the mail client and returns, and common clients read an
// attachment only when the message is sent.
class Mailer : public QObject
{
    Q_OBJECT

public:
    // Looks for xdg-email on PATH; the answer holds for the Mailer's life.
    explicit Mailer(QObject *parent = nullptr);
    ~Mailer() override;

    [[nodiscard]] bool isAvailable() const { return !m_program.isEmpty(); }
    [[nodiscard]] QString program() const { return m_program; }
    [[nodiscard]] bool isBusy() const { return !m_running.isEmpty(); }
    [[nodiscard]] QStringList temporaryFiles() const;

    // Starts the mail client for `doc`. False when it could not be started; `error` then holds
    // the message to show (a file error of the temporary copy, or the mail system's).
    bool sendDocument(const ProgramDocument &doc, QString *error);

    [[nodiscard]] static QString unavailableMessage();
    [[nodiscard]] static QString failedMessage();

Q_SIGNALS:
    // The mail client took the message, or failed (`error` is the message to show).
    void finished(bool ok, const QString &error);

private:
    QString m_program;
    QList<QProcess *> m_running;
    std::vector<std::unique_ptr<QTemporaryDir>> m_copies;
};

} // namespace kr44
