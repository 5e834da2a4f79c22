#include "app/desktop/mailer.h"

#include "model/programdocument.h"
#include "model/programfile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace kr44 {

QString mailAttachmentName(const QString &pathName, const QString &title)
{
    if (!pathName.isEmpty())
        return QFileInfo(pathName).fileName();
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (name.isEmpty())
        name = QStringLiteral("Program");
    if (!name.contains(QLatin1Char('.')))
        name += QStringLiteral(".krp");
    return name;
}

Mailer::Mailer(QObject *parent)
    : QObject(parent), m_program(QStandardPaths::findExecutable(QStringLiteral("xdg-email")))
{}

Mailer::~Mailer()
{
    for (QProcess *process : m_running) {
        process->disconnect(this);
        // The client already has the message or never will; do not hold up the end of the run.
        process->setParent(nullptr);
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    }
}

QString Mailer::unavailableMessage() { return tr("Unable to load mail system support."); }

QString Mailer::failedMessage() { return tr("Send Mail failed to send message."); }

QStringList Mailer::temporaryFiles() const
{
    QStringList out;
    for (const auto &dir : m_copies) {
        for (const QString &name : QDir(dir->path()).entryList(QDir::Files))
            out.append(dir->filePath(name));
    }
    return out;
}

bool Mailer::sendDocument(const ProgramDocument &doc, QString *error)
{
    if (!isAvailable()) {
        *error = unavailableMessage();
        return false;
    }
    QString attachment = doc.filePath();
    std::unique_ptr<QTemporaryDir> copy;
    if (attachment.isEmpty() || doc.isModified()) {
        copy = std::make_unique<QTemporaryDir>(QDir::tempPath()
                                               + QStringLiteral("/kr44-mail-XXXXXX"));
        if (!copy->isValid()) {
            *error = kr44::fileErrorText(kr44::FileErrorCause::Generic, copy->path());
            return false;
        }
        attachment = copy->filePath(kr44::mailAttachmentName(doc.filePath(), doc.title()));
        const kr44::FileError saved = kr44::saveProgramFile(attachment, doc.lines());
        if (!saved.ok()) {
            *error = saved.message();
            return false;
        }
    }

    auto *process = new QProcess(this);
    process->setProgram(m_program);
    // A list of arguments, never a command line: the file name reaches xdg-email as it is.
    process->setArguments({QStringLiteral("--utf8"), QStringLiteral("--attach"), attachment});
    process->setStandardOutputFile(QProcess::nullDevice());
    const auto done = [this, process](bool ok, const QString &message) {
        if (!m_running.removeOne(process))
            return;
        process->deleteLater();
        Q_EMIT finished(ok, message);
    };
    connect(process, &QProcess::finished, this, [done](int exitCode, QProcess::ExitStatus status) {
        const bool ok = status == QProcess::NormalExit && exitCode == 0;
        done(ok, ok ? QString() : failedMessage());
    });
    connect(process, &QProcess::errorOccurred, this, [done](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            done(false, unavailableMessage());
    });
    m_running.append(process);
    if (copy)
        m_copies.push_back(std::move(copy));
    process->start();
    return true;
}

} // namespace kr44
