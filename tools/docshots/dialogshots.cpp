// Renders every instruction dialog and the Comment dialog, each filled from an example line, to
// PNG files and one contact sheet, for looking at the layouts.
// Usage: dialogshots <output directory>

#include "dialogs/commentdialog.h"
#include "dialogs/dialogrunner.h"
#include "dialogs/instructiondialog.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <cstdio>

using namespace kr44;

namespace {

struct Shot
{
    QString name;
    QPixmap image;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path()))
        return 1;

    // The example program with a j line added as line 10.
    const kr44::CodeList program({"", "X", "L", "+", "W", "-", "L", "J", "K", "j"});
    const struct
    {
        char code;
        const char *params;
        int row;
    } examples[] = {
            {'+', "200", 3},         {'-', "50", 5},   {'A', "2", 0},     {'B', "2", 0},
            {'C', "3", 0},           {'D', "500", 0},  {'f', "-1000", 0}, {'G', "25000", 0},
            {'g', "-2H", 0},         {'h', "50,3", 0}, {'H', "-", 0},     {'I', "3", 0},
            {'j', "4", 9},           {'J', "2L,4", 7}, {'L', "10", 6},    {'M', "30,60,120", 0},
            {'T', "1000", 0},        {'U', "2H", 0},   {'V', "3", 0},     {'W', "1H", 4},
            {'X', "500,1000,20", 1},
    };

    QList<Shot> shots;
    for (const auto &e : examples) {
        QByteArray params(e.params);
        auto dialog = kr44::createInstructionDialog(e.code, params, program, e.row, nullptr);
        if (!dialog || !dialog->initDialog())
            return 1;
        dialog->show();
        QApplication::processEvents();
        shots.append({dialog->windowTitle() + QStringLiteral("  (") + QChar::fromLatin1(e.code)
                              + QString::fromLatin1(e.params) + u')',
                      dialog->grab()});
    }
    {
        CommentDialog comment;
        comment.setComment("set up");
        comment.show();
        QApplication::processEvents();
        shots.append({QStringLiteral("Comment"), comment.grab()});
    }

    int cellWidth = 0;
    int cellHeight = 0;
    for (int i = 0; i < shots.size(); ++i) {
        const QString file
                = out.filePath(QStringLiteral("dialog-%1.png").arg(i + 1, 2, 10, QChar(u'0')));
        if (!shots[i].image.save(file))
            return 1;
        cellWidth = qMax(cellWidth, shots[i].image.width());
        cellHeight = qMax(cellHeight, shots[i].image.height());
    }
    const int columns = 4;
    const int caption = QFontMetrics(app.font()).height() + 6;
    const int pad = 12;
    const int rows = int((shots.size() + columns - 1) / columns);
    QPixmap sheet((cellWidth + pad) * columns + pad, (cellHeight + caption + pad) * rows + pad);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < shots.size(); ++i) {
        const int x = pad + (i % columns) * (cellWidth + pad);
        const int y = pad + (i / columns) * (cellHeight + caption + pad);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x, y, cellWidth, caption), Qt::AlignLeft | Qt::AlignVCenter,
                         shots[i].name);
        painter.drawPixmap(x, y + caption, shots[i].image);
        painter.setPen(Qt::lightGray);
        painter.drawRect(
                QRect(x, y + caption, shots[i].image.width() - 1, shots[i].image.height() - 1));
    }
    painter.end();
    return sheet.save(out.filePath(QStringLiteral("contact-sheet.png"))) ? 0 : 1;
}
