#include "link/portscan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kr44 {

namespace {

QStringList &stableFolders()
{
    static QStringList folders {QStringLiteral("/dev/serial/by-id"),
                                QStringLiteral("/dev/serial/by-path")};
    return folders;
}

QString hexId(std::optional<quint16> id)
{
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')) : QStringLiteral("?");
}

// The port list's texts, all in one translation context.
struct PortText
{
    Q_DECLARE_TR_FUNCTIONS(kr44::PortScan)
};

} // namespace

QStringList stableNameFolders() { return stableFolders(); }

void setStableNameFolders(const QStringList &folders) { stableFolders() = folders; }

QString stableShortName(const QString &port)
{
    const QFileInfo info(port);
    for (const QString &folder : std::as_const(stableFolders())) {
        if (!port.isEmpty() && QDir(folder).absolutePath() == info.absolutePath())
            return info.fileName();
    }
    return {};
}

QString devicePathForComName(const QString &name)
{
    if (name.size() != 4 || !name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return {};
    const QChar digit = name.at(3);
    if (digit < u'1' || digit > u'8')
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(digit.unicode() - u'1');
}

bool devicePathLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            // Compare by value: skip leading zeros, then the longer run is the larger number.
            qsizetype si = i;
            qsizetype sj = j;
            while (si + 1 < ei && a.at(si) == u'0')
                ++si;
            while (sj + 1 < ej && b.at(sj) == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            const int c
                    = QStringView(a).sliced(si, ei - si).compare(QStringView(b).sliced(sj, ej - sj));
            if (c != 0)
                return c < 0;
            if (ei - i != ej - j)
                return ei - i < ej - j;
            i = ei;
            j = ej;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

QList<PortInfo> systemSerialPorts()
{
    QList<PortInfo> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        PortInfo p;
        p.path = info.systemLocation();
        p.description = info.description();
        p.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier())
            p.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            p.productId = info.productIdentifier();
        p.serialNumber = info.serialNumber();
        ports.append(p);
    }
    for (int n = 1; n <= kMaxListedPorts; ++n) {
        const QString path = devicePathForComName(QStringLiteral("COM%1").arg(n));
        const bool known = std::any_of(ports.cbegin(), ports.cend(),
                                       [&](const PortInfo &p) { return p.path == path; });
        if (!known && QFileInfo::exists(path))
            ports.append(PortInfo {path, {}, {}, {}, {}, {}, {}});
    }
    // In folder order, then by name: the first link to a device is its stable name.
    for (const QString &folder : std::as_const(stableFolders())) {
        const QFileInfoList links = QDir(folder).entryInfoList(
                QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &link : links) {
            const QString device = link.canonicalFilePath();
            if (device.isEmpty())
                continue;
            auto it = std::find_if(ports.begin(), ports.end(),
                                   [&](const PortInfo &p) { return p.path == device; });
            if (it == ports.end())
                it = ports.insert(ports.end(), PortInfo {device, {}, {}, {}, {}, {}, {}});
            if (it->stableName.isEmpty())
                it->stableName = link.absoluteFilePath();
        }
    }
    return ports;
}

PortProbeResult probeSerialPort(const QString &path)
{
    QSerialPort port;
    port.setPortName(path);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return PortProbeResult::Opened;
    }
    // QSerialPort also says PermissionError when another program holds the device's lock, so
    // ask the file system whether the user may open it at all.
    const QByteArray local = QFile::encodeName(path);
    if (::access(local.constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return PortProbeResult::NoAccess;
    return PortProbeResult::Unavailable;
}

PortScan scanPorts(const QList<PortInfo> &reported, const QString &currentPort,
                   const PortProbe &probe)
{
    QList<PortInfo> candidates;
    for (const PortInfo &p : reported) {
        const bool seen = std::any_of(candidates.cbegin(), candidates.cend(),
                                      [&](const PortInfo &c) { return c.path == p.path; });
        if (!seen && !p.path.isEmpty())
            candidates.append(p);
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const PortInfo &a, const PortInfo &b) {
        return devicePathLess(a.path, b.path);
    });

    PortScan scan;
    qsizetype tried = 0;
    for (const PortInfo &p : candidates) {
        if (scan.ports.size() == kMaxListedPorts)
            break;
        ++tried;
        switch (probe(p.path)) {
        case PortProbeResult::Opened:
            scan.ports.append(p);
            break;
        case PortProbeResult::NoAccess:
            scan.noAccess.append(p.path);
            break;
        case PortProbeResult::Unavailable:
            break;
        }
    }

    if (currentPort.startsWith(u'/')) {
        const auto sameAsCurrent = [&](const PortInfo &p) {
            return p.path == currentPort || p.stableName == currentPort;
        };
        // A device already tried keeps its verdict: listed in its place, or left out.
        if (std::none_of(candidates.cbegin(), candidates.cbegin() + tried, sameAsCurrent)) {
            const auto known = std::find_if(candidates.cbegin(), candidates.cend(), sameAsCurrent);
            const PortInfo current = known != candidates.cend()
                    ? *known
                    : PortInfo {currentPort, {}, {}, {}, {}, {}, {}};
            switch (probe(currentPort)) {
            case PortProbeResult::Opened:
                scan.ports.prepend(current);
                break;
            case PortProbeResult::NoAccess:
                scan.noAccess.prepend(currentPort);
                break;
            case PortProbeResult::Unavailable:
                break;
            }
        }
    }
    return scan;
}

int portIndexFor(const QStringList &entries, const QString &current)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).startsWith(current, Qt::CaseInsensitive))
            return int(i);
    }
    const QString device = devicePathForComName(current);
    if (!device.isEmpty()) {
        const qsizetype i = entries.indexOf(device);
        if (i >= 0)
            return int(i);
    }
    return 0;
}

int portIndexFor(const QList<PortInfo> &ports, const QString &current)
{
    QStringList entries;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        const QString &stable = ports.at(i).stableName;
        if (!stable.isEmpty() && stable.compare(current, Qt::CaseInsensitive) == 0)
            return int(i);
        entries << portEntryText(ports.at(i));
    }
    return portIndexFor(entries, current);
}

int baudIndexFor(qint32 baud)
{
    for (size_t i = 0; i + 1 < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == baud)
            return int(i);
    }
    return int(kBaudRates.size() - 1);
}

QString portEntryText(const PortInfo &port)
{
    QStringList details;
    if (!port.manufacturer.isEmpty())
        details << port.manufacturer;
    if (!port.serialNumber.isEmpty())
        details << PortText::tr("serial %1").arg(port.serialNumber);
    if (port.vendorId || port.productId)
        details << QStringLiteral("USB %1:%2").arg(hexId(port.vendorId), hexId(port.productId));
    QString about
            = port.description.isEmpty() ? QFileInfo(port.stableName).fileName() : port.description;
    if (!details.isEmpty()) {
        const QString inParens = u'(' + details.join(QStringLiteral(", ")) + u')';
        about = about.isEmpty() ? inParens : about + u' ' + inParens;
    }
    return about.isEmpty() ? port.path : port.path + QStringLiteral(" - ") + about;
}

QString portToolTip(const PortInfo &port)
{
    QStringList lines;
    if (!port.description.isEmpty())
        lines << port.description;
    if (!port.manufacturer.isEmpty())
        lines << port.manufacturer;
    if (port.vendorId || port.productId) {
        lines << PortText::tr("USB vendor %1, product %2")
                         .arg(hexId(port.vendorId), hexId(port.productId));
    }
    if (!port.serialNumber.isEmpty())
        lines << PortText::tr("Serial number %1").arg(port.serialNumber);
    if (!port.stableName.isEmpty())
        lines << port.stableName;
    if (lines.isEmpty())
        return port.path;
    return lines.join(u'\n');
}

QString accessHint(const QString &path)
{
    const QByteArray local = QFile::encodeName(path);
    struct stat st = {};
    const group *owner = ::stat(local.constData(), &st) == 0 ? ::getgrgid(st.st_gid) : nullptr;
    // Joining the group helps only when the group may read and write the device.
    if (!owner || st.st_gid == 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        return PortText::tr("%1 cannot be opened: you need access to it (on Debian, "
                            "membership of the \"dialout\" group).")
                .arg(path);
    }
    const passwd *user = ::getpwuid(::getuid());
    const QString group = QString::fromLocal8Bit(owner->gr_name);
    return PortText::tr("%1 cannot be opened: it belongs to the group \"%2\". Add yourself to it "
                        "with \"sudo usermod -aG %2 %3\", then log out and in again.")
            .arg(path, group,
                 user ? QString::fromLocal8Bit(user->pw_name) : qEnvironmentVariable("USER"));
}

QString noAccessNote(const QStringList &paths)
{
    QStringList lines;
    for (const QString &path : paths)
        lines << accessHint(path);
    return lines.join(u'\n');
}

QString linkStatusText(const QString &linkText, const QString &port, qint32 baud, bool connected)
{
    if (!connected) {
        // What the serial port opens for a bare name is the device of that name in /dev.
        const QString device = port.startsWith(u'/') ? port : QStringLiteral("/dev/") + port;
        const QByteArray local = QFile::encodeName(device);
        if (port.isEmpty() || !QFileInfo::exists(device)
            || ::access(local.constData(), R_OK | W_OK) == 0 || errno != EACCES)
            return linkText;
        return PortText::tr("%1 - %2").arg(linkText, accessHint(device));
    }
    const QString shortName = stableShortName(port);
    if (shortName.isEmpty())
        return linkText;
    QString adapter = QFileInfo(port).canonicalFilePath();
    const QString description = QSerialPortInfo(QFileInfo(adapter).fileName()).description();
    if (!description.isEmpty())
        adapter += QStringLiteral(", ") + description;
    return PortText::tr("Using %1 (%2), %3 baud").arg(shortName, adapter).arg(baud);
}

} // namespace kr44
