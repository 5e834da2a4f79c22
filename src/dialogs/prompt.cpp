#include "dialogs/prompt.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace kr44 {

namespace {

PromptHandler &installedHandler()
{
    static PromptHandler handler;
    return handler;
}

void messageBox(QWidget *parent, PromptIcon icon, const QString &text)
{
    QMessageBox box(icon == PromptIcon::Information ? QMessageBox::Information
                                                    : QMessageBox::Warning,
                    QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("promptBox"));
    box.setAccessibleName(text);
    box.exec();
}

} // namespace

void showPrompt(QWidget *parent, PromptIcon icon, const QString &text)
{
    const PromptHandler &handler = installedHandler();
    if (handler)
        handler(parent, icon, text);
    else
        messageBox(parent, icon, text);
}

PromptHandler setPromptHandler(PromptHandler handler)
{
    PromptHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

} // namespace kr44
