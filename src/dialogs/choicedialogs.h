#pragma once

#include "dialogs/controls.h"
#include "dialogs/instructiondialog.h"

class QButtonGroup;

namespace kr44 {

// One radio group whose checked button is the instruction's field: A, B, C, H and V.
class ChoiceDialog : public InstructionDialog
{
    Q_OBJECT

protected:
    ChoiceDialog(char code, QByteArray &params, const QString &title, const QString &objectName,
                 const QString &lead, const QList<kr44::RadioChoice> &choices,
                 Qt::Orientation orientation, QWidget *parent);

    virtual int &value() = 0;
    [[nodiscard]] static int defaultValue(char code);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    const char m_code;
    QButtonGroup *m_group = nullptr;
};

class ActivateDialog final : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit ActivateDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_output; }

private:
    int m_output;
};

class MotorDialog final : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit MotorDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_motor; }

private:
    int m_motor;
};

class ClearDialog final : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit ClearDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_output; }

private:
    int m_output;
};

class HomeDialog final : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit HomeDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_end; }

private:
    int m_end;
};

class VerifyDialog final : public ChoiceDialog
{
    Q_OBJECT

public:
    explicit VerifyDialog(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_item; }

private:
    int m_item;
};

} // namespace kr44
