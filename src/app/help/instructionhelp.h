#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kr44 {

// What the help says about the instructions: the table of the instructions page, made from the
// instruction set so that it follows the program.

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

// The instructions' table, an HTML fragment.
[[nodiscard]] QString instructionTableHtml();

} // namespace kr44
