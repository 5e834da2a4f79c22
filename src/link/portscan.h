#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// Which serial ports the port settings dialog offers, and which entries it selects.
//
// Linux has no COM1 to COM8. The candidates are the serial ports the system reports
// (QSerialPortInfo) together with /dev/ttyS0 to /dev/ttyS7, the devices that stand for COM1 to
// COM8, in ascending order of their device path (digit runs compared as numbers, so ttyS2
// comes before ttyS10). Each is tried at that moment and kept only if it opens; at most eight
// are listed. A current port given as a device path that is not among them but opens is
// listed too, first, so that it can stay selected. Devices that exist but cannot be opened for
// lack of permission are not listed but named in a note.

namespace kr44 {

struct PortInfo
{
    QString path;
    QString description;
    QString manufacturer;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    QString serialNumber;
};

enum class PortProbeResult {
    Opened,
    // The device exists but this user may not open it.
    NoAccess,
    // Missing, held by another program, or failing to open.
    Unavailable,
};

using PortProbe = std::function<PortProbeResult(const QString &path)>;

struct PortScan
{
    QList<PortInfo> ports;
    QStringList noAccess;
};

inline constexpr int kMaxListedPorts = 8;
inline constexpr std::array<qint32, 5> kBaudRates = {1200, 2400, 4800, 9600, 19200};

// "COM1" to "COM8" (any case) as their Linux devices /dev/ttyS0 to /dev/ttyS7; empty for any
// other name.
[[nodiscard]] QString devicePathForComName(const QString &name);

// Device paths in ascending order, digit runs compared by value.
[[nodiscard]] bool devicePathLess(const QString &a, const QString &b);

// The serial ports the system reports, plus those of /dev/ttyS0 to /dev/ttyS7 that exist.
[[nodiscard]] QList<PortInfo> systemSerialPorts();

// Tries to open `path` for reading and writing as the link would, and closes it at once.
[[nodiscard]] PortProbeResult probeSerialPort(const QString &path);

[[nodiscard]] PortScan scanPorts(const QList<PortInfo> &reported, const QString &currentPort,
                                 const PortProbe &probe);

// The index to select for `current`: the first entry that begins with it, ignoring case; else,
// for a name COM1 to COM8, the entry of its device; else 0.
[[nodiscard]] int portIndexFor(const QStringList &entries, const QString &current);

// 1200, 2400, 4800 and 9600 give 0 to 3; every other rate gives 4 (19200).
[[nodiscard]] int baudIndexFor(qint32 baud);

// The adapter as far as the system knows it: description, manufacturer, USB ids, serial number.
[[nodiscard]] QString portToolTip(const PortInfo &port);

// One line naming the devices the user needs access to; empty when there are none.
[[nodiscard]] QString noAccessNote(const QStringList &paths);

} // namespace kr44
