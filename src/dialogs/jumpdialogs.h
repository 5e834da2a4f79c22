#pragma once

#include "dialogs/flowdialogs.h"

class QLineEdit;

namespace kr44 {

// The program as a jump dialog checks it: the line being edited counts with the dialog's own code
// even if the caller has not stored it yet.
class EditedProgram final : public ProgramCodes
{
public:
    EditedProgram(const ProgramCodes &program, int row, QByteArray code)
        : m_program(program), m_row(row), m_code(std::move(code))
    {}
    [[nodiscard]] int lineCount() const override { return m_program.lineCount(); }
    [[nodiscard]] QByteArray codeAt(int index) const override
    {
        return index == m_row ? m_code : m_program.codeAt(index);
    }

private:
    const ProgramCodes &m_program;
    int m_row;
    QByteArray m_code;
};

// What j and J share: the target line field, the default target, the target check on OK.
class JumpDialogBase : public InstructionDialog
{
    Q_OBJECT

protected:
    // `program` must outlive the dialog; `row` is the 0-based line being edited.
    JumpDialogBase(char code, QByteArray &params, const QString &title, const QString &objectName,
                   const kr44::ProgramCodes &program, int row, int fallbackLine, QWidget *parent);

    void checkFields(kr44::DataExchange &dx) override;
    bool opened() override;
    void exchangeLine(kr44::DataExchange &dx);

    int m_line;

private:
    kr44::EditedProgram m_program;
    // The target when the default search finds none; 0 means the dialog has nothing to offer.
    const int m_fallbackLine;
    QLineEdit *m_lineEdit = nullptr;
};

class JumpDialog final : public JumpDialogBase
{
    Q_OBJECT

public:
    JumpDialog(QByteArray &params, const kr44::ProgramCodes &program, int row,
               QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;
};

class JumpIfDialog final : public JumpDialogBase
{
    Q_OBJECT

public:
    JumpIfDialog(QByteArray &params, const kr44::ProgramCodes &program, int row,
                 QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_input; // 0-based
    int m_level;
    kr44::InputLevelGroups m_groups;
};

} // namespace kr44
