#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kr44 {

enum class PromptIcon {
    Information,
    Exclamation,
};

// Every message box of the dialogs goes through here, so that a test can answer it instead of
// a modal box that nobody would close.
using PromptHandler = std::function<void(QWidget *parent, PromptIcon icon, const QString &text)>;

void showPrompt(QWidget *parent, PromptIcon icon, const QString &text);

// Replaces the message box; an empty handler puts the message box back. Returns the handler
// that was installed before.
PromptHandler setPromptHandler(PromptHandler handler);

} // namespace kr44
