#include "linkwidgets/portsettingsdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace kr44 {

PortSettingsDialog::PortSettingsDialog(QWidget *parent)
    : QDialog(parent), m_scanner([](const QString &current) {
          return kr44::scanPorts(kr44::systemSerialPorts(), current, &kr44::probeSerialPort);
      })
{
    setObjectName(QStringLiteral("portSettingsDialog"));
    setAccessibleName(tr("Communications Port Settings"));
    setWindowTitle(tr("Communications Port Settings"));

    m_portList = new QComboBox(this);
    m_portList->setObjectName(QStringLiteral("portList"));
    m_portList->setAccessibleName(tr("COM port"));
    m_portList->setEditable(false);
    m_portList->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    m_baudList = new QComboBox(this);
    m_baudList->setObjectName(QStringLiteral("baudList"));
    m_baudList->setAccessibleName(tr("Baud rate"));
    m_baudList->setEditable(false);
    for (const qint32 rate : kr44::kBaudRates)
        m_baudList->addItem(QString::number(rate));
    m_baudList->setCurrentIndex(-1);

    // The labels have no accessible names of their own: a screen reader reads their texts.
    auto *portLabel = new QLabel(tr("&COM port"), this);
    portLabel->setObjectName(QStringLiteral("portLabel"));
    portLabel->setBuddy(m_portList);
    auto *baudLabel = new QLabel(tr("&Baud rate"), this);
    baudLabel->setObjectName(QStringLiteral("baudLabel"));
    baudLabel->setBuddy(m_baudList);

    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAccessibleName(tr("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PortSettingsDialog::accept);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAccessibleName(tr("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &PortSettingsDialog::reject);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("accessNote"));
    m_note->setVisible(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(portLabel, 0, 0);
    grid->addWidget(m_portList, 0, 1);
    grid->addWidget(baudLabel, 1, 0);
    grid->addWidget(m_baudList, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 2, 1);
    grid->addWidget(m_note, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_portList, m_baudList);
}

void PortSettingsDialog::refresh()
{
    const kr44::PortScan scan = m_scanner(m_portName);
    m_portList->clear();
    QStringList entries;
    for (const kr44::PortInfo &port : scan.ports) {
        m_portList->addItem(port.path);
        m_portList->setItemData(m_portList->count() - 1, kr44::portToolTip(port), Qt::ToolTipRole);
        entries << port.path;
    }
    const QString note = kr44::noAccessNote(scan.noAccess);
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());

    m_portIndex = kr44::portIndexFor(entries, m_portName);
    m_baudIndex = kr44::baudIndexFor(m_baudRate);
    m_portList->setCurrentIndex(m_portIndex < m_portList->count() ? m_portIndex : -1);
    m_baudList->setCurrentIndex(m_baudIndex);
    m_portList->setFocus();
}

void PortSettingsDialog::accept()
{
    m_portIndex = m_portList->currentIndex();
    m_baudIndex = m_baudList->currentIndex();
    if (m_portIndex >= 0)
        m_portName = m_portList->itemText(m_portIndex);
    if (m_baudIndex >= 0)
        m_baudRate = kr44::kBaudRates[size_t(m_baudIndex)];
    QDialog::accept();
}

QString PortSettingsDialog::accessNote() const { return m_note->text(); }

void PortSettingsDialog::showEvent(QShowEvent *event)
{
    // Each run of the dialog lists the ports as they are at that moment.
    if (!event->spontaneous())
        refresh();
    QDialog::showEvent(event);
}

} // namespace kr44
