#pragma once

#include "dialogs/instructiondialog.h"

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace kr44 {

// The "user input" and "is" rows that g, J, U and W share.
struct InputLevelGroups
{
    QButtonGroup *input = nullptr; // ids 0 to 2: user input 1 to 3
    QButtonGroup *level = nullptr; // id 0 low, 1 high
};
InputLevelGroups addInputLevelRows(QWidget *dialog, QGridLayout *grid, int row,
                                   const QString &inputCaption);

class GoUntilDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit GoUntilDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_direction;
    int m_input; // 0-based
    int m_level;
    QButtonGroup *m_directionGroup = nullptr;
    kr44::InputLevelGroups m_groups;
};

// U and W: an input and its level.
class InputLevelDialog : public InstructionDialog
{
    Q_OBJECT

protected:
    InputLevelDialog(char code, QByteArray &params, const QString &title, const QString &objectName,
                     QWidget *parent);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

    int m_input; // 0-based
    int m_level;
    kr44::InputLevelGroups m_groups;

private:
    const char m_code;
};

class UntilDialog final : public InputLevelDialog
{
    Q_OBJECT

public:
    explicit UntilDialog(QByteArray &params, QWidget *parent = nullptr);
};

class WaitDialog final : public InputLevelDialog
{
    Q_OBJECT

public:
    explicit WaitDialog(QByteArray &params, QWidget *parent = nullptr);
};

class LoopDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit LoopDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;
    bool opened() override;

private:
    // Pulls the fields (with their messages) and shows the count only for a loop end.
    void showCount();

    int m_kind = 0; // 0 loop start, 1 loop end
    int m_count = 1;
    QButtonGroup *m_kindGroup = nullptr;
    QLabel *m_repeatLabel = nullptr;
    QLineEdit *m_countEdit = nullptr;
    QLabel *m_timesLabel = nullptr;
};

} // namespace kr44
