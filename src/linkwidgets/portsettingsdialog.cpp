#include "linkwidgets/portsettingsdialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace kr44 {

PortSettingsDialog::PortSettingsDialog(QWidget *parent)
    : QDialog(parent), m_lister(&kr44::systemSerialPorts), m_probe(&kr44::probeSerialPort)
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

    m_relist.setInterval(kRelistMs);
    connect(&m_relist, &QTimer::timeout, this, &PortSettingsDialog::relist);
}

void PortSettingsDialog::setPortSource(Lister lister, kr44::PortProbe probe)
{
    m_lister = std::move(lister);
    m_probe = std::move(probe);
}

void PortSettingsDialog::fillPortList(const kr44::PortScan &scan)
{
    m_portList->clear();
    for (const kr44::PortInfo &port : scan.ports) {
        m_portList->addItem(kr44::portEntryText(port), port.settingName());
        m_portList->setItemData(m_portList->count() - 1, kr44::portToolTip(port), Qt::ToolTipRole);
    }
    const QString note = kr44::noAccessNote(scan.noAccess);
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

void PortSettingsDialog::refresh()
{
    m_listed = m_lister();
    const kr44::PortScan scan = kr44::scanPorts(m_listed, m_portName, m_probe);
    fillPortList(scan);

    m_portIndex = kr44::portIndexFor(scan.ports, m_portName);
    m_baudIndex = kr44::baudIndexFor(m_baudRate);
    m_portList->setCurrentIndex(m_portIndex < m_portList->count() ? m_portIndex : -1);
    m_baudList->setCurrentIndex(m_baudIndex);
    m_portList->setFocus();
}

void PortSettingsDialog::relist()
{
    QList<kr44::PortInfo> listed = m_lister();
    const auto sameDevices = [](const QList<kr44::PortInfo> &a, const QList<kr44::PortInfo> &b) {
        return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                          [](const kr44::PortInfo &x, const kr44::PortInfo &y) {
                              return x.path == y.path && x.stableName == y.stableName;
                          });
    };
    if (sameDevices(listed, m_listed))
        return;
    m_listed = std::move(listed);
    const QString chosen = m_portList->currentData().toString();
    const kr44::PortScan scan
            = kr44::scanPorts(m_listed, chosen.isEmpty() ? m_portName : chosen, m_probe);
    fillPortList(scan);
    // The chosen entry stays chosen; if its device went, the rules of the port name apply.
    const int index = m_portList->findData(chosen);
    m_portList->setCurrentIndex(index >= 0 ? index : kr44::portIndexFor(scan.ports, m_portName));
}

void PortSettingsDialog::accept()
{
    m_portIndex = m_portList->currentIndex();
    m_baudIndex = m_baudList->currentIndex();
    if (m_portIndex >= 0)
        m_portName = m_portList->itemData(m_portIndex).toString();
    if (m_baudIndex >= 0)
        m_baudRate = kr44::kBaudRates[size_t(m_baudIndex)];
    QDialog::accept();
}

QString PortSettingsDialog::accessNote() const { return m_note->text(); }

void PortSettingsDialog::showEvent(QShowEvent *event)
{
    // Each run of the dialog lists the ports as they are at that moment.
    if (!event->spontaneous()) {
        refresh();
        m_relist.start();
    }
    QDialog::showEvent(event);
}

void PortSettingsDialog::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        m_relist.stop();
    QDialog::hideEvent(event);
}

} // namespace kr44
