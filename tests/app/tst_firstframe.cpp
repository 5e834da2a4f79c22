#include "commandicons.h"
#include "fileiconengine.h"
#include "firstframe.h"
#include "testmain.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QTest>

#include <memory>

namespace {

QMap<int, QString> applicationIconFiles()
{
    QMap<int, QString> files;
    for (const int side : {16, 32, 48, 64, 128, 256})
        files.insert(side, QStringLiteral(":/kr44/icons/kr44-%1.png").arg(side));
    return files;
}

} // namespace

// Work put off until a window's first frame, and the icon that reads its files on demand.
class TestFirstFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workWaitsForTheFirstFrameInOrder()
    {
        QLabel window(QStringLiteral("first frame"));
        auto *frame = new FirstFrame(&window);
        QStringList done;
        frame->whenShown([&] { done.append(QStringLiteral("a")); });
        frame->whenShown([&] {
            done.append(QStringLiteral("b"));
            // Queued from queued work: runs at once, after it.
            frame->whenShown([&] { done.append(QStringLiteral("c")); });
        });
        QCoreApplication::processEvents();
        QVERIFY(done.isEmpty());
        QVERIFY(!frame->isShown());

        bool paintedBeforeShown = false;
        connect(frame, &FirstFrame::shown, this, [&] { paintedBeforeShown = done.isEmpty(); });
        window.show();
        QTRY_VERIFY(frame->isShown());
        QVERIFY(paintedBeforeShown);
        QCOMPARE(done, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));

        frame->whenShown([&] { done.append(QStringLiteral("d")); });
        QCOMPARE(done.size(), 4);
        // A later show or paint runs nothing again.
        window.hide();
        window.show();
        window.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(done.size(), 4);
    }

    void releaseRunsTheWorkWithoutAWindowOnScreen()
    {
        QLabel window;
        FirstFrame frame(&window);
        int runs = 0;
        frame.whenShown([&] { ++runs; });
        frame.release();
        QCOMPARE(runs, 1);
        frame.release();
        QCOMPARE(runs, 1);
        frame.whenShown([&] { ++runs; });
        QCOMPARE(runs, 2);
    }

    // A window that is shown but never painted still gets its work done, after the fallback.
    void fallbackWhenNoPaintComes()
    {
        QLabel window;
        window.setAttribute(Qt::WA_DontShowOnScreen);
        FirstFrame frame(&window, 50);
        int runs = 0;
        frame.whenShown([&] { ++runs; });
        window.show();
        QCOMPARE(runs, 0);
        QTRY_COMPARE(runs, 1);
    }

    void iconSideForAnExtent_data()
    {
        QTest::addColumn<int>("extent");
        QTest::addColumn<int>("side");
        QTest::newRow("smaller than the smallest") << 8 << 16;
        QTest::newRow("exact") << 16 << 16;
        QTest::newRow("between") << 17 << 32;
        QTest::newRow("between again") << 40 << 48;
        QTest::newRow("largest") << 256 << 256;
        QTest::newRow("beyond the largest") << 1000 << 256;
    }
    void iconSideForAnExtent()
    {
        QFETCH(int, extent);
        QFETCH(int, side);
        QCOMPARE(FileIconEngine(applicationIconFiles()).sideFor(extent), side);
        QCOMPARE(FileIconEngine({}).sideFor(extent), 0);
    }

    void iconReadsOnlyTheFilesItDraws()
    {
        FileIconEngine engine(applicationIconFiles());
        QCOMPARE(engine.availableSizes(QIcon::Normal, QIcon::Off).size(), 6);
        QCOMPARE(engine.filesRead(), 0);

        const QPixmap small = engine.pixmap(QSize(16, 16), QIcon::Normal, QIcon::Off);
        QCOMPARE(engine.filesRead(), 1);
        QCOMPARE(small.toImage(), QPixmap(QStringLiteral(":/kr44/icons/kr44-16.png")).toImage());
        (void)engine.pixmap(QSize(16, 16), QIcon::Normal, QIcon::Off);
        QCOMPARE(engine.filesRead(), 1);

        // Between two files: the larger one, scaled down, never larger than asked.
        const QPixmap between = engine.pixmap(QSize(40, 40), QIcon::Normal, QIcon::Off);
        QCOMPARE(between.size(), QSize(40, 40));
        QCOMPARE(engine.filesRead(), 2);
        QCOMPARE(engine.actualSize(QSize(40, 40), QIcon::Normal, QIcon::Off), QSize(40, 40));
        QCOMPARE(engine.actualSize(QSize(1000, 1000), QIcon::Normal, QIcon::Off), QSize(256, 256));

        // Twice the pixels on a high-density screen come from the file of that size.
        const QPixmap dense = engine.scaledPixmap(QSize(32, 32), QIcon::Normal, QIcon::Off, 2.0);
        QCOMPARE(dense.size(), QSize(32, 32));
        QCOMPARE(dense.devicePixelRatio(), 2.0);
        QCOMPARE(engine.filesRead(), 3);
    }

    void iconInAQIcon()
    {
        const QIcon icon(new FileIconEngine(applicationIconFiles()));
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().size(), 6);
        QCOMPARE(icon.pixmap(48, 48).size(), QSize(48, 48));
        const QImage normal = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage disabled = icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(disabled.size(), normal.size());
        QVERIFY(disabled != normal);
        const QIcon copy = icon;
        QCOMPARE(copy.pixmap(16, 16).size(), QSize(16, 16));
        const QPixmap dense = icon.pixmap(QSize(16, 16), 2.0);
        QCOMPARE(dense.size(), QSize(32, 32));
        QCOMPARE(dense.deviceIndependentSize(), QSizeF(16, 16));
    }

    // The toolbar's own pictures: each one drawn, at the size and density asked for, and no
    // two alike (a picture that draws nothing or draws another's is a wrong button).
    void commandPicturesAreDrawnAndDistinct()
    {
        using kr44::CommandPicture;
        const CommandPicture pictures[] = {CommandPicture::NewProgram, CommandPicture::OpenProgram,
                                           CommandPicture::SaveProgram, CommandPicture::PrintProgram,
                                           CommandPicture::CommandWindow, CommandPicture::SendProgram,
                                           CommandPicture::About};
        QList<QImage> seen;
        for (const CommandPicture picture : pictures) {
            const QImage image = kr44::drawCommandPicture(picture, 16, 1.0).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            int opaque = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            }
            // Between a few strokes and a filled square.
            QVERIFY2(opaque > 20 && opaque < 256, qPrintable(QString::number(opaque)));
            QVERIFY(!seen.contains(image));
            seen.append(image);

            const QIcon icon = kr44::commandPictureIcon(picture);
            QCOMPARE(icon.pixmap(24, 24).size(), QSize(24, 24));
            const QPixmap dense = icon.pixmap(QSize(16, 16), 2.0);
            QCOMPARE(dense.size(), QSize(32, 32));
            QCOMPARE(dense.deviceIndependentSize(), QSizeF(16, 16));
            // Drawn at that density, not an enlarged small picture.
            QCOMPARE(dense.toImage(), kr44::drawCommandPicture(picture, 16, 2.0).toImage());
            QVERIFY(icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage() != icon.pixmap(16, 16).toImage());
        }
    }

    void iconOfMissingFilesDrawsNothing()
    {
        FileIconEngine engine({{16, QStringLiteral(":/kr44/icons/none-16.png")}});
        QVERIFY(!engine.isNull());
        QVERIFY(engine.pixmap(QSize(16, 16), QIcon::Normal, QIcon::Off).isNull());
        QVERIFY(FileIconEngine({}).isNull());
        QVERIFY(FileIconEngine({}).pixmap(QSize(16, 16), QIcon::Normal, QIcon::Off).isNull());
    }
};

KR44_TEST(TestFirstFrame)
#include "tst_firstframe.moc"
