#pragma once

#include "dialogs/instructiondialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kr44 {

class HoldDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit HoldDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_holdTime;
    int m_multiplier;
    QLineEdit *m_timeEdit = nullptr;
    QComboBox *m_multiplierList = nullptr;
};

class InitialiseDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit InitialiseDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    void checkFields(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_clearPosition;
    int m_clearOutputs;
    QCheckBox *m_positionBox = nullptr;
    QCheckBox *m_outputsBox = nullptr;
};

// Shows eighth, quarter, half from top to bottom but checks half first.
class MinistepDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit MinistepDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_half;
    int m_quarter;
    int m_eighth;
    QLineEdit *m_eighthEdit = nullptr;
    QLineEdit *m_quarterEdit = nullptr;
    QLineEdit *m_halfEdit = nullptr;
};

class AccelerationDialog final : public InstructionDialog
{
    Q_OBJECT

public:
    explicit AccelerationDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_startRate;
    int m_slewRate;
    int m_ramp;
    QLineEdit *m_startEdit = nullptr;
    QLineEdit *m_slewEdit = nullptr;
    QLineEdit *m_rampEdit = nullptr;
};

} // namespace kr44
