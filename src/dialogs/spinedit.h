#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

namespace kr44 {

// A digits-only number field with up and down arrows. The arrows step within their own range,
// which may be narrower than what the field accepts when typed: the field holds text, not a
// bounded value, and its check is the dialog's business.
class SpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
    // Screen readers read a spin box through these three. The value is the number in the field,
    // none while it holds no number.
    Q_PROPERTY(QVariant value READ value WRITE setValue)
    Q_PROPERTY(int minimum READ minimum)
    Q_PROPERTY(int maximum READ maximum)

public:
    explicit SpinEdit(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    [[nodiscard]] int minimum() const { return m_minimum; }
    [[nodiscard]] int maximum() const { return m_maximum; }
    [[nodiscard]] QVariant value() const;
    void setValue(const QVariant &value);
    // The field itself, for the data exchange.
    [[nodiscard]] QLineEdit *edit() const { return lineEdit(); }

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    [[nodiscard]] StepEnabled stepEnabled() const override;

private:
    int m_minimum = 0;
    int m_maximum = 99;
};

} // namespace kr44
