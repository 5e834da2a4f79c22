// Print Setup on a real scheduler: print_cups.py runs this with the queue to choose, then looks for
// the job on that queue.
#include "app/shell/appprompt.h"
#include "app/shell/printcommands.h"
#include "app/shell/programwindow.h"
#include "dialogtesting.h"
#include "model/programdocument.h"
#include "testmain.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>

using kr44::PrinterChoice;

class TestPrintSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printAndPreviewFollowTheChoice()
    {
        const QString queue = qEnvironmentVariable("KR44_PRINT_QUEUE");
        if (queue.isEmpty())
            QSKIP("print_cups.py names the queue to choose");
        const auto describe = [](const PrinterChoice &c) {
            return QStringLiteral("%1 %2 %3")
                    .arg(c.printerName)
                    .arg(c.pageSize.id())
                    .arg(c.orientation);
        };
        kr44::AppPrompt prompt;
        QWidget window;
        kr44::PrintCommands printing(prompt, &window);
        const PrinterChoice chosen {queue, QPageSize(QPageSize::Letter), QPageLayout::Landscape};
        const QString before = describe(PrinterChoice::of(*printing.printer()));
        QVERIFY(before != describe(chosen));
        QStringList offered;
        for (const bool confirmed : {false, true}) { // a cancelled setup changes nothing
            printing.setPrintSetupRunner([&](QWidget *, PrinterChoice &choice) {
                offered.append(describe(choice));
                choice = chosen;
                return confirmed;
            });
            printing.printSetup();
        }
        QCOMPARE(offered, QStringList({before, before}));

        auto *doc = new kr44::ProgramDocument;
        doc->setLines(kr44::LineArray::fromList({"+200", "K"}));
        kr44::ProgramWindow child(doc);
        QString previewed;
        const auto previewShown = kr44test::whenModal([&](QWidget *w) {
            if (auto *preview = qobject_cast<QPrintPreviewDialog *>(w))
                previewed = describe(PrinterChoice::of(*preview->printer()));
            w->close();
        });
        printing.printPreview(&child);
        QCOMPARE(previewed, describe(chosen));
        // Confirming the Print dialog unchanged prints on the choice.
        const auto printShown
                = kr44test::whenModal([](QWidget *w) { QMetaObject::invokeMethod(w, "accept"); });
        printing.print(&child);
        QVERIFY(*printShown);
    }
};

KR44_TEST(TestPrintSetup)
#include "tst_printsetup.moc"
