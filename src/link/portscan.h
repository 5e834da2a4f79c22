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
//
// Adapters get a new device path when plugged in another order (/dev/ttyUSB0 today,
// /dev/ttyUSB1 tomorrow). The links udev keeps under /dev/serial/by-id (serial number) and
// /dev/serial/by-path (socket) do not move, so a port that has one is kept under that name.

namespace kr44 {

struct PortInfo
{
    QString path;
    QString description;
    QString manufacturer;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    QString serialNumber;
    // The link that names the device stably (/dev/serial/by-id/...); empty when it has none.
    QString stableName;

    // What the port setting keeps for this port: its stable name where it has one.
    [[nodiscard]] QString settingName() const { return stableName.isEmpty() ? path : stableName; }
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

// The folders whose links name serial devices stably, preferred first: /dev/serial/by-id and
// /dev/serial/by-path, unless set otherwise (tests).
[[nodiscard]] QStringList stableNameFolders();
void setStableNameFolders(const QStringList &folders);

// The file name of `port` when it is a link in a stable-name folder, else empty.
[[nodiscard]] QString stableShortName(const QString &port);

// The serial ports the system reports, plus those of /dev/ttyS0 to /dev/ttyS7 that exist and
// the devices the stable-name links lead to, each with its stable name.
[[nodiscard]] QList<PortInfo> systemSerialPorts();

// Tries to open `path` for reading and writing as the link would, and closes it at once.
[[nodiscard]] PortProbeResult probeSerialPort(const QString &path);

[[nodiscard]] PortScan scanPorts(const QList<PortInfo> &reported, const QString &currentPort,
                                 const PortProbe &probe);

// The index to select for `current`: the first entry that begins with it, ignoring case; else,
// for a name COM1 to COM8, the entry of its device; else 0.
[[nodiscard]] int portIndexFor(const QStringList &entries, const QString &current);

// The same over the ports' entry texts, where a port is also found by its stable name.
[[nodiscard]] int portIndexFor(const QList<PortInfo> &ports, const QString &current);

// 1200, 2400, 4800 and 9600 give 0 to 3; every other rate gives 4 (19200).
[[nodiscard]] int baudIndexFor(qint32 baud);

// "/dev/ttyUSB0 - FT232R USB UART (FTDI, serial A10K3XYZ, USB 0403:6001)": the device and
// what the system knows of it; the stable name's file name stands in for a missing description.
[[nodiscard]] QString portEntryText(const PortInfo &port);

// The adapter as far as the system knows it: description, manufacturer, USB ids, serial
// number, stable name.
[[nodiscard]] QString portToolTip(const PortInfo &port);

// What to do about `path`, a device this user may not open: the group that owns it, the command
// that adds the user to it, and that a new login is needed.
[[nodiscard]] QString accessHint(const QString &path);

// One line per device the user needs access to, each its accessHint(); empty for none.
[[nodiscard]] QString noAccessNote(const QStringList &paths);

// The status pane's text for the link, whose own text is `linkText`: an open stable name is shown
// by its file name with the device and adapter behind it; a port that exists but that this user
// may not open adds its accessHint().
[[nodiscard]] QString linkStatusText(const QString &linkText, const QString &port, qint32 baud,
                                     bool connected);

} // namespace kr44
