#pragma once

#include "dialogs/instructiondialog.h"

#include <optional>
#include <utility>

class QLineEdit;

namespace kr44 {

class SpinEdit;

// One number with its range from the instruction's field: +, -, D, f, G and T.
class NumberDialog : public InstructionDialog
{
    Q_OBJECT

public:
    struct Texts
    {
        QString title;
        QString objectName;
        QString lead;     // the caption before the field
        QString unit;     // the caption after the field, or below it for a signed field
        QString editName; // the field's object name
    };
    using SpinRange = std::optional<std::pair<int, int>>;

protected:
    NumberDialog(char code, QByteArray &params, const Texts &texts, kr44::NumberSign sign,
                 SpinRange spinRange, QWidget *parent);

    // The dialog's own field.
    virtual int &value() = 0;
    [[nodiscard]] static int defaultValue(char code);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    const char m_code;
    const kr44::NumberSign m_sign;
    QLineEdit *m_edit = nullptr;
};

class MoveDialog final : public NumberDialog
{
    Q_OBJECT

public:
    enum class Direction { Clockwise, Counterclockwise };
    MoveDialog(QByteArray &params, Direction direction, QWidget *parent = nullptr);

protected:
    int &value() override { return m_steps; }

private:
    int m_steps;
};

class DelayDialog final : public NumberDialog
{
    Q_OBJECT

public:
    explicit DelayDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_delay; }

private:
    int m_delay;
};

class ForceDialog final : public NumberDialog
{
    Q_OBJECT

public:
    explicit ForceDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_position; }

private:
    int m_position;
};

class GotoDialog final : public NumberDialog
{
    Q_OBJECT

public:
    explicit GotoDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_position; }

private:
    int m_position;
};

class SlewRateDialog final : public NumberDialog
{
    Q_OBJECT

public:
    explicit SlewRateDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_slewRate; }

private:
    int m_slewRate;
};

} // namespace kr44
