// Where the external programs are missing, the main window opens its own
// viewers: the right one, on the right file, decoding as the input type
// says, without changing the window's state.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "ByteRowsView.h"
#include "ByteViewerWindow.h"
#include "RadioGroup.h"
#include "TestWindow.h"
#include "TextRowsView.h"
#include "TextViewerWindow.h"

namespace {

const QStringList kAllMissing{"Bytora.exe", "Lindor.exe", "Selmar.exe"};

// A formatted line as the converter writes it with the separator "*".
const char* const kFormattedLine =
    "2*017*4951    *0123456789     *07/12*23:59:59*00:01:30*000090*01*02*3*4*2B41H7A30H*5\r\n";

// Every top-level viewer window now open, oldest first by creation.
QList<QMainWindow*> Viewers(const char* objectName) {
    QList<QMainWindow*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(objectName) && w->isVisible())
            found.append(qobject_cast<QMainWindow*>(w));
    return found;
}

// What the user sees of the main window: texts, enabled and visible states.
QStringList WindowState(const TestWindow& window) {
    QStringList state;
    for (QWidget* w : window.form->findChildren<QWidget*>()) {
        QString s = w->objectName() + (w->isEnabled() ? " on" : " off") + (w->isVisible() ? " shown" : " hidden");
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            s += " " + edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            s += " " + button->text() + (button->isChecked() ? " ticked" : "");
        state << s;
    }
    state << QString::number(window.form->ConversionMode) << QString::number(window.form->SizeBytes);
    return state;
}

// A file of two whole blocks and 10 bytes more; byte i is i mod 251.
QString WriteBlocks(const TestWindow& window, const QString& name) {
    QByteArray bytes(2 * 2048 + 10, 0);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    QFile file(window.path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(name));
    return window.path(name);
}

// The viewer that the click opened: the one not open before it.
QMainWindow* OpenedBy(const char* objectName, const std::function<void()>& click) {
    const QList<QMainWindow*> before = Viewers(objectName);
    click();
    for (QMainWindow* w : Viewers(objectName))
        if (!before.contains(w))
            return w;
    return nullptr;
}

ByteRowsView* ByteViewOf(QMainWindow* viewer) { return viewer->findChild<ByteRowsView*>(); }

}  // namespace

class FallbackTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMainWindow*>(w))
                delete w;
    }

    void ByteViewer_OnTheInputWithTheInputTypesDecoding() {
        TestWindow window;
        window.platform.missingPrograms = kAllMissing;
        // A code table that is no identity: every byte decodes to 'x'.
        const QString input = WriteBlocks(window, "day calls.cdr");
        window.chooseFile(input);
        const QStringList before = WindowState(window);

        QMainWindow* ebcdic = OpenedBy("ByteViewer", [&] { window.click("ViewInpBitBtn1"); });
        QVERIFY(ebcdic);
        QCOMPARE(Viewers("ByteViewer").size(), 1);
        QCOMPARE(ebcdic->windowTitle(), QStringLiteral("day calls.cdr — MAVIK"));
        QVERIFY(QTest::qWaitForWindowExposed(ebcdic));
        ByteRowsView* view = ByteViewOf(ebcdic);
        view->viewport()->repaint();
        QVERIFY(view->ShownRows().size() > 3);
        // Row 1 is record 1 of block 1: its glyphs came through the table.
        QCOMPARE(view->ShownRows()[1].Text.substr(0, 5), std::u16string(u"x│xxx"));
        QCOMPARE(WindowState(window), before);

        // ASCII input: a second viewer, bytes shown as they are.
        window.clickItem("TypeInpRadioGroup1", 1);
        const QStringList beforeAscii = WindowState(window);
        QMainWindow* asciiViewer = OpenedBy("ByteViewer", [&] { window.click("ViewInpBitBtn1"); });
        QVERIFY(asciiViewer);
        QCOMPARE(Viewers("ByteViewer").size(), 2);
        QVERIFY(QTest::qWaitForWindowExposed(asciiViewer));
        ByteRowsView* ascii = ByteViewOf(asciiViewer);
        ascii->viewport()->repaint();
        // Record 1 starts at offset 8: bytes 8, 9, 10, 11 are control bytes; 60 'x' further on.
        QCOMPARE(ascii->ShownRows()[1].Text.substr(0, 5), std::u16string(u".│..."));

        QVERIFY(window.platform.commands.isEmpty());
        QVERIFY(window.platform.boxes.isEmpty());
        QCOMPARE(WindowState(window), beforeAscii);
    }

    void TextViewer_OnTheOutputTheSelectionAndInfoTxt() {
        TestWindow window;
        window.platform.missingPrograms = kAllMissing;
        window.chooseFile(WriteBlocks(window, "calls.cdr"));
        QFile out(window.path("result.txt"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(kFormattedLine);
        out.write(kFormattedLine);
        out.close();
        window.control<QLineEdit>("OutFileNameEdit1")->setText(window.path("result.txt"));
        window.control("ViewOutBitBtn1")->setEnabled(true);  // as after a run
        window.control("QueryBitBtn1")->setEnabled(true);
        QFile info(window.path("info.txt"));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write("Версия 1.0.1\n");
        info.close();
        window.form->ExeDir = (window.folder.path() + "/").toStdString();
        const QStringList before = WindowState(window);

        const QList<QMainWindow*> viewers{
            OpenedBy("TextViewer", [&] { window.click("ViewOutBitBtn1"); }),
            OpenedBy("RecordBrowser", [&] { window.click("QueryBitBtn1"); }),
            OpenedBy("TextViewer", [&] { QTest::mouseClick(window.control("VersionStaticText"), Qt::LeftButton); }),
        };
        QVERIFY(!viewers.contains(nullptr));
        QCOMPARE(Viewers("TextViewer").size(), 2);
        QCOMPARE(Viewers("RecordBrowser").size(), 1);
        QCOMPARE(viewers[0]->windowTitle(), QStringLiteral("result.txt — MAVIK"));
        QCOMPARE(viewers[1]->windowTitle(), QStringLiteral("result.txt — MAVIK"));
        QCOMPARE(viewers[2]->windowTitle(), QStringLiteral("info.txt — MAVIK"));
        QVERIFY(QTest::qWaitForWindowExposed(viewers[2]));
        auto* infoView = viewers[2]->findChild<TextRowsView*>();
        QCOMPARE(infoView->Encoding(), Charset::Utf8);
        infoView->viewport()->repaint();
        QCOMPARE(infoView->ShownText(0), QStringLiteral("Версия 1.0.1"));
        QVERIFY(Viewers("ByteViewer").isEmpty());
        QVERIFY(window.platform.commands.isEmpty());
        QCOMPARE(WindowState(window), before);
        // None of them is modal: the main window still takes clicks.
        for (QMainWindow* viewer : viewers)
            QVERIFY(!viewer->isModal());
        window.click("ViewInpBitBtn1");
        QCOMPARE(Viewers("ByteViewer").size(), 1);
    }

    void FoundPrograms_AreStartedAndNoViewerOpens() {
        TestWindow window;
        window.platform.missingPrograms = {"Selmar.exe"};
        window.chooseFile(WriteBlocks(window, "calls.cdr"));
        window.click("ViewInpBitBtn1");
        QCOMPARE(window.platform.commands.size(), 1);
        QCOMPARE(window.platform.commands[0].program, QStringLiteral("Bytora.exe"));
        QVERIFY(Viewers("ByteViewer").isEmpty());
        QFile out(window.path("calls.txt"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(kFormattedLine);
        out.close();
        window.control<QLineEdit>("OutFileNameEdit1")->setText(window.path("calls.txt"));
        window.control("QueryBitBtn1")->setEnabled(true);
        window.click("QueryBitBtn1");
        QCOMPARE(window.platform.commands.size(), 1);
        QCOMPARE(Viewers("RecordBrowser").size(), 1);
    }

    void UnopenableFile_ShowsTheUsualErrorAndNoViewer() {
        TestWindow window;
        window.platform.missingPrograms = kAllMissing;
        window.chooseFile(WriteBlocks(window, "calls.cdr"));
        QFile::remove(window.path("calls.cdr"));
        window.click("ViewInpBitBtn1");
        QTest::mouseClick(window.control("VersionStaticText"), Qt::LeftButton);  // no info.txt there
        QCOMPARE(window.platform.boxes.size(), 2);
        for (const FakePlatform::Box& box : window.platform.boxes) {
            QCOMPARE(box.text, QStringLiteral("File not found."));
            QCOMPARE(box.caption, kApplicationTitle);
            QCOMPARE(box.icon, Platform::Icon::Error);
        }
        QVERIFY(Viewers("ByteViewer").isEmpty());
        QVERIFY(Viewers("TextViewer").isEmpty());
    }

    void ClosingTheMainWindow_ClosesItsViewers() {
        TestWindow window;
        window.platform.missingPrograms = kAllMissing;
        window.chooseFile(WriteBlocks(window, "calls.cdr"));
        window.click("ViewInpBitBtn1");
        window.click("ViewInpBitBtn1");
        QPointer<QMainWindow> first = Viewers("ByteViewer").value(0);
        QPointer<QMainWindow> second = Viewers("ByteViewer").value(1);
        QVERIFY(first && second);
        second->close();  // one closed by the user first
        window.click("ExitBtn");
        QVERIFY(!first);
        QVERIFY(!second);
        QVERIFY(Viewers("ByteViewer").isEmpty());
    }
};

QTEST_MAIN(FallbackTest)
#include "FallbackTest.moc"
