#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace kr44 {

// The serial port the main window opens, as kept in section "Communication".
struct CommSettings
{
    QString port = QStringLiteral("COM1");
    int baud = 19200;

    void load(QSettings &settings);
    void save(QSettings &settings) const;
};

// The most recently opened or saved programs, most recent first, as kept in section
// "Recent File List" under File1 to File4.
class RecentFileList
{
public:
    static constexpr int kMaxEntries = 4;
    static constexpr int kDisplayLength = 30;

    void load(QSettings &settings);
    void save(QSettings &settings) const;

    // Moves `path` to the top, dropping the oldest entry beyond the fourth.
    void add(const QString &path);
    void remove(const QString &path);
    [[nodiscard]] const QStringList &entries() const { return m_entries; }

    // The text of entry i in the File menu: "&1 " and the path shortened to 30 characters.
    [[nodiscard]] QString menuText(int index) const;

private:
    QStringList m_entries;
};

// A path shortened for display to at most `length` characters: the file name is kept whole where
// it fits, with as much of the folder as fits, the middle replaced by "...".
[[nodiscard]] QString abbreviatePath(const QString &path, int length);

// "PreviewPages" of section "Settings": pages side by side in print preview, 0 for the default.
[[nodiscard]] int loadPreviewPages(QSettings &settings);
void savePreviewPages(QSettings &settings, int pages);

// "LineLog" of section "Communication": the file the line is logged to, empty while it is not.
[[nodiscard]] QString loadLineLogFile(QSettings &settings);
void saveLineLogFile(QSettings &settings, const QString &path);

} // namespace kr44
