#include "dialogs/controls.h"

#include "dialogs/spinedit.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace kr44 {

QString withoutMnemonic(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain.append(caption[i]);
    }
    return plain.trimmed();
}

void setNames(QWidget *widget, const QString &objectName, const QString &accessibleName)
{
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
}

QLabel *makeLabel(const QString &text, const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    setNames(label, objectName, withoutMnemonic(text));
    return label;
}

QLineEdit *makeNumberEdit(NumberSign sign, const QString &objectName, const QString &accessibleName,
                          QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    setNames(edit, objectName, accessibleName);
    edit->setAlignment(Qt::AlignRight);
    if (sign == NumberSign::Unsigned) {
        edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    const int digits = sign == NumberSign::Unsigned ? 8 : 9;
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits, u'0')) + 16);
    return edit;
}

SpinEdit *makeSpinEdit(int minimum, int maximum, const QString &objectName,
                       const QString &accessibleName, QWidget *parent)
{
    auto *spin = new SpinEdit(parent);
    spin->setRange(minimum, maximum);
    setNames(spin, objectName, accessibleName);
    spin->edit()->setObjectName(objectName + QStringLiteral("Field"));
    spin->edit()->setAccessibleName(accessibleName);
    return spin;
}

QButtonGroup *makeRadioGroup(const QList<RadioChoice> &choices, const QString &objectName,
                             QWidget *parent, QBoxLayout *row)
{
    auto *group = new QButtonGroup(parent);
    group->setObjectName(objectName);
    int id = 0;
    for (const RadioChoice &choice : choices) {
        auto *button = new QRadioButton(choice.text, parent);
        setNames(button, choice.objectName, choice.accessibleName);
        group->addButton(button, id++);
        row->addWidget(button);
    }
    return group;
}

} // namespace kr44
