// The byte and text viewer windows on their own: large and changing files,
// go to, copy, find, the status line.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "ByteRowsView.h"
#include "ByteViewerWindow.h"
#include "CodeTable.h"
#include "RecordBrowser.h"
#include "RecordTableModel.h"
#include "TableCharset.h"
#include "TextRowsView.h"
#include "TextViewerWindow.h"

namespace {

void Write(const QString& path, const QByteArray& bytes, bool append = false) {
    QFile file(path);
    if (!file.open(append ? QIODevice::Append : QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
}

// Shown, painted and taking keys, as a window the user just opened.
void ShowActive(QWidget* viewer) {
    viewer->show();
    viewer->activateWindow();
    if (!QTest::qWaitForWindowActive(viewer))
        qWarning("the viewer did not become active");
}

QString Status(QWidget* viewer, const char* name) { return viewer->findChild<QLabel*>(name)->text(); }

QByteArray Lines(int from, int to) {
    QByteArray text;
    for (int i = from; i < to; ++i)
        text += "call " + QByteArray::number(i) + " *0712*235959*\r\n";
    return text;
}

}  // namespace

class ViewersTest : public QObject {
    Q_OBJECT

private slots:
    void ByteViewer_SparseFilePastTheIntRange() {
        QTemporaryDir dir;
        const QString path = dir.filePath("huge.cdr");
        Write(path, {});
        const std::uint64_t size = 100ull << 30;
        std::filesystem::resize_file(path.toStdString(), size);
        std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(path, {}));
        ShowActive(viewer.get());
        ByteRowsView* view = viewer->View();
        view->viewport()->repaint();
        QVERIFY(!view->ShownRows().empty());
        QVERIFY(view->ShownRows()[0].Label.find("hdr") != std::string::npos);

        // 1.8e9 rows: the bar is scaled, and its end is the last row.
        QScrollBar* bar = view->verticalScrollBar();
        QCOMPARE(bar->maximum(), RowScrollMapper::kMaxScroll);
        bar->setValue(bar->maximum());
        QCOMPARE(view->TopRow() + view->VisibleRows(), view->RowCount());
        // An arrow step moves one row, not a scaled step of many.
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(view->TopRow() + view->VisibleRows(), view->RowCount() - 1);

        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->Cursor(), size - 1);
        view->viewport()->repaint();
        QVERIFY(view->ShownRows().back().Label.find("R34") != std::string::npos);
        QVERIFY(Status(viewer.get(), "ByteViewerStatus").contains("block 52428800, record 34, field 14"));

        // A click on a row past 4 GiB: the second row on screen after going
        // to record 4 of the block at 5 GiB is its record 5.
        const std::uint64_t block = 5ull << 30;
        view->GoTo(block + 8 + 3 * 60);
        const int h = view->fontMetrics().height();  // rows and the header line alike
        // The window opened scrolled to its text column: back to the left edge.
        view->horizontalScrollBar()->setValue(0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(2, 2 * h + h / 2));
        const std::uint64_t record = block + 8 + 4 * 60;
        QCOMPARE(view->Cursor(), record);
        QVERIFY(Status(viewer.get(), "ByteViewerStatus").contains("block 2621441, record 5, field 1"));
        // Across the whole row, every pixel: the hex column picks each of its
        // 60 bytes in turn, and then the text column again, all past 4 GiB.
        viewer->resize(4000, viewer->height());
        view->horizontalScrollBar()->setValue(0);
        std::vector<std::uint64_t> picked;
        for (int x = 0; x < view->viewport()->width(); ++x) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(x, 2 * h + h / 2));
            if (picked.empty() || picked.back() != view->Cursor())
                picked.push_back(view->Cursor());
        }
        std::vector<std::uint64_t> twice;
        for (int column = 0; column < 2; ++column)
            for (std::uint64_t b = 0; b < 60; ++b)
                twice.push_back(record + b);
        QCOMPARE(picked, twice);
    }

    void ByteViewer_GoToCopyAndStatus() {
        QTemporaryDir dir;
        const QString path = dir.filePath("calls.cdr");
        QByteArray bytes(2 * 2048 + 5, 'A');
        bytes.replace(2048 + 8, 4, "1234");
        Write(path, bytes);
        std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(path, {ByteDecoding::Input::Ebcdic, nullptr}));
        ShowActive(viewer.get());
        ByteRowsView* view = viewer->View();
        QVERIFY(Status(viewer.get(), "ByteViewerStatus").contains("EBCDIC is shown as hex only"));

        // Ctrl+G, a record number, Enter.
        QTest::keyClick(viewer.get(), Qt::Key_G, Qt::ControlModifier);
        auto* edit = viewer->findChild<QLineEdit*>("GoToEdit");
        QVERIFY(edit->isVisible());
        QTest::keyClicks(edit, "r 35");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(view->Cursor(), 2048u + 8);
        QVERIFY(!edit->isVisible());
        QVERIFY(Status(viewer.get(), "ByteViewerStatus").contains("block 2, record 1, field 1"));
        // Something that is no target leaves the bar open and says so.
        QTest::keyClick(viewer.get(), Qt::Key_G, Qt::ControlModifier);
        QTest::keyClicks(edit, "nowhere");
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(edit->isVisible());
        QVERIFY(!viewer->findChild<QLabel*>("GoToProblem")->text().isEmpty());
        QCOMPARE(view->Cursor(), 2048u + 8);

        // Shift+Right three times selects four bytes; copied as hex, and as
        // hex again since no table decodes them.
        view->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("31 32 33 34"));

        // The ASCII side: glyphs, and field 13 stays hex.
        std::unique_ptr<ByteViewerWindow> ascii(ByteViewerWindow::Open(path, {}));
        ShowActive(ascii.get());
        ascii->View()->Select(2048 + 8, 2048 + 8 + 59);
        ascii->View()->setFocus();
        QTest::keyClick(ascii->View(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("1234") + QString(51, 'A') + QStringLiteral("41414141") + QStringLiteral("A"));
    }

    void ByteViewer_FileThatShrinksAndGrowsReloadsWithF5() {
        QTemporaryDir dir;
        const QString path = dir.filePath("changing.cdr");
        Write(path, QByteArray(3 * 2048, 'B'));
        std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(path, {}));
        ShowActive(viewer.get());
        ByteRowsView* view = viewer->View();
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->Cursor(), 3u * 2048 - 1);
        // Shrunk under the viewer: painting reads short and survives.
        std::filesystem::resize_file(path.toStdString(), 100);
        view->viewport()->repaint();
        QVERIFY(view->ShownRows().size() <= view->RowCount());
        QTest::keyClick(viewer.get(), Qt::Key_F5);
        QCOMPARE(view->Layout().FileSize(), 100u);
        QCOMPARE(view->Layout().LayoutKind(), ByteRowLayout::Kind::Records);
        QCOMPARE(view->Cursor(), 99u);
        view->viewport()->repaint();
        Write(path, QByteArray(5000, 'C'), true);
        QTest::keyClick(viewer.get(), Qt::Key_F5);
        QCOMPARE(view->Layout().FileSize(), 5100u);
        QCOMPARE(view->RowCount(), 2u * 35 + (5100 - 4096 + 15) / 16);
    }

    void TextViewer_FirstScreenAtOnceThenIndexedFindAndGoTo() {
        QTemporaryDir dir;
        const QString path = dir.filePath("calls.txt");
        Write(path, Lines(0, 200000) + QByteArray(2 << 20, 'L') + "\r\nafter the long line");
        std::unique_ptr<TextViewerWindow> viewer(TextViewerWindow::Open(path));
        ShowActive(viewer.get());
        TextRowsView* view = viewer->View();
        view->viewport()->repaint();
        QCOMPARE(view->ShownText(0), QStringLiteral("call 0 *0712*235959*"));
        QCOMPARE(view->Encoding(), Charset::Utf8);  // plain ASCII reads as UTF-8
        QTRY_VERIFY(!viewer->Indexing());
        QVERIFY(Status(viewer.get(), "TextViewerStatus").contains("200,002 lines"));
        QCOMPARE(view->RowCount(), 200002u);

        // Find: the line holding the match becomes the cursor line.
        QTest::keyClick(viewer.get(), Qt::Key_F, Qt::ControlModifier);
        auto* edit = viewer->findChild<QLineEdit*>("FindEdit");
        QVERIFY(edit->isVisible());
        QTest::keyClicks(edit, "CALL 123456 ");
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!viewer->Finding());
        QCOMPARE(view->CursorLine(), 123456u);
        QVERIFY(view->TopRow() <= 123456u && 123456u < view->TopRow() + view->VisibleRows());
        // With case: no such text.
        viewer->findChild<QCheckBox*>("MatchCase")->setChecked(true);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(!viewer->Finding());
        QVERIFY(Status(viewer.get(), "TextViewerStatus").contains("Not found"));
        QCOMPARE(view->CursorLine(), 123456u);
        // Previous, from the match, finds the line before.
        edit->setText("235959*");
        QTest::mouseClick(viewer->findChild<QPushButton*>("FindPrevious"), Qt::LeftButton);
        QTRY_VERIFY(!viewer->Finding());
        QCOMPARE(view->CursorLine(), 123455u);

        // Go to the long line: shown cut, and the line after it in place.
        QVERIFY(viewer->GoTo("200001"));
        view->viewport()->repaint();
        QCOMPARE(view->CursorLine(), 200000u);
        const auto& shown = view->ShownLines();
        QVERIFY(!shown.empty());
        const std::size_t longLine = static_cast<std::size_t>(200000 - view->TopRow());
        QVERIFY(shown[longLine].Cut);
        QCOMPARE(view->ShownText(longLine + 1), QStringLiteral("after the long line"));
        QVERIFY(!viewer->GoTo("0"));
        QVERIFY(!viewer->GoTo("x"));
    }

    void Keys_EscClosesABarFirstThenTheViewer_data() {
        QTest::addColumn<bool>("text");
        QTest::addColumn<QKeySequence>("bar");  // what opens a bar first; empty for none
        QTest::addColumn<QKeySequence>("key");
        const QKeySequence esc(Qt::Key_Escape), ctrlW(Qt::CTRL | Qt::Key_W), ctrlG(Qt::CTRL | Qt::Key_G);
        QTest::newRow("byte viewer, Esc") << false << QKeySequence() << esc;
        QTest::newRow("byte viewer, Ctrl+W") << false << QKeySequence() << ctrlW;
        QTest::newRow("byte viewer, go-to bar, Esc") << false << ctrlG << esc;
        QTest::newRow("byte viewer, go-to bar, Ctrl+W") << false << ctrlG << ctrlW;
        QTest::newRow("text viewer, Esc") << true << QKeySequence() << esc;
        QTest::newRow("text viewer, Ctrl+W") << true << QKeySequence() << ctrlW;
        QTest::newRow("text viewer, find bar, Esc") << true << QKeySequence(QKeySequence::Find) << esc;
        QTest::newRow("text viewer, go-to bar, Esc") << true << ctrlG << esc;
    }

    void Keys_EscClosesABarFirstThenTheViewer() {
        QFETCH(bool, text);
        QFETCH(QKeySequence, bar);
        QFETCH(QKeySequence, key);
        QTemporaryDir dir;
        const QString path = dir.filePath("file.txt");
        Write(path, Lines(0, 100));
        QPointer<QMainWindow> viewer = text ? static_cast<QMainWindow*>(TextViewerWindow::Open(path))
                                            : ByteViewerWindow::Open(path, {ByteDecoding::Input::Ascii, nullptr});
        ShowActive(viewer);
        QWidget* view = viewer->centralWidget()->focusWidget();
        QVERIFY(view);
        if (!bar.isEmpty()) {
            QTest::keySequence(view, bar);
            QWidget* open = QApplication::focusWidget();
            QVERIFY(open && open != view && open->isVisible());
            QTest::keySequence(open, key);
            // Esc closes only the bar; Ctrl+W the window at once.
            if (key == QKeySequence(Qt::Key_Escape)) {
                QVERIFY(viewer && viewer->isVisible());
                QVERIFY(!open->isVisible());
                QTest::keySequence(viewer->focusWidget() ? viewer->focusWidget() : viewer.data(), key);
            }
        } else {
            QTest::keySequence(view, key);
        }
        QTRY_VERIFY(viewer.isNull());
    }

    // On a screen 1600 wide the records layout fits whole, hex and text, in
    // a font not much smaller; on the test's narrower screen the window
    // opens at the left, block, record and offset in view.
    void ByteViewer_OpensWithItsFirstColumnInView() {
        const QString path = QStringLiteral(MAVIK_DATA_DIR "/samples/calls-ascii.cdr");
        std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(path, {ByteDecoding::Input::Ascii, nullptr}));
        viewer->setAttribute(Qt::WA_DeleteOnClose, false);
        auto* view = viewer->findChild<ByteRowsView*>();
        const qreal points = view->font().pointSizeF();
        QVERIFY(view->FitWidth(1600 - 40 - 4));
        QVERIFY(view->PreferredWidth() <= 1556);
        QVERIFY(view->font().pointSizeF() >= ByteRowsView::kSmallestPoints);
        QVERIFY(view->font().pointSizeF() <= points);
        std::unique_ptr<ByteViewerWindow> narrow(ByteViewerWindow::Open(path, {ByteDecoding::Input::Ascii, nullptr}));
        narrow->setAttribute(Qt::WA_DeleteOnClose, false);
        ShowActive(narrow.get());
        QVERIFY(narrow->frameGeometry().width() <= narrow->screen()->availableGeometry().width());
        auto* shown = narrow->findChild<ByteRowsView*>();
        QVERIFY2(shown->PreferredWidth() > shown->width(), "the test's screen is wide enough: nothing to scroll");
        QCOMPARE(shown->horizontalScrollBar()->value(), 0);
    }

    void TextViewer_CancelledFindAndReloadAfterTheFileGrew() {
        QTemporaryDir dir;
        const QString path = dir.filePath("grows.txt");
        Write(path, Lines(0, 1000));
        std::unique_ptr<TextViewerWindow> viewer(TextViewerWindow::Open(path));
        ShowActive(viewer.get());
        QTRY_VERIFY(!viewer->Indexing());
        QCOMPARE(viewer->View()->RowCount(), 1000u);
        Write(path, Lines(1000, 1500), true);
        QTest::keyClick(viewer.get(), Qt::Key_F5);
        QTRY_VERIFY(!viewer->Indexing());
        QCOMPARE(viewer->View()->RowCount(), 1500u);
        // Copy the selected lines.
        viewer->View()->SelectLines(1498, 1499);
        QTest::keyClick(viewer->View(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("call 1498 *0712*235959*\ncall 1499 *0712*235959*"));
    }

    // Each pair's set, the one the tables' bytes are read in, through every
    // viewer: the bytes whose characters differ between the two sets (0x98
    // undefined in windows-1251, a control in ISO-8859-1).
    void Charset_EveryViewerReadsThePairsSet_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("shown");  // E9 C0 A8 B9 98 read in the pair's set
        QTest::addColumn<QString>("typed");  // E9 as a user types it
        QTest::newRow("default pair, ISO-8859-1") << QStringLiteral(MAVIK_DATA_DIR "/codetables")
                                                  << QStringLiteral("éÀ¨¹.") << QStringLiteral("é");
        QTest::newRow("Cyrillic pair, windows-1251") << QStringLiteral(MAVIK_DATA_DIR "/codetables/cyrillic")
                                                     << QStringLiteral("йАЁ№.") << QStringLiteral("й");
    }

    void Charset_EveryViewerReadsThePairsSet() {
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        const std::string tables = folder.toStdString();
        const Charset set = CharsetOfTables(tables).Set;
        CodeTables pair;
        LoadCodeTables(pair, tables);
        const QByteArray bytes("\xE9\xC0\xA8\xB9\x98");
        QTemporaryDir dir;

        // The text viewer on a text output of the pair, its find too.
        const QString text = dir.filePath("out.txt");
        Write(text, "x" + bytes + "*1\r\n\xC9*2\r\n");  // É or Й: E9's capital in both sets
        std::unique_ptr<TextViewerWindow> textViewer(TextViewerWindow::Open(text, nullptr, set));
        ShowActive(textViewer.get());
        QCOMPARE(textViewer->View()->Encoding(), set);
        QCOMPARE(textViewer->View()->ShownText(0), "x" + shown + "*1");
        QTest::keyClick(textViewer.get(), Qt::Key_F, Qt::ControlModifier);
        auto* find = textViewer->findChild<QLineEdit*>("FindEdit");
        find->setText(typed + "*2");  // keyClicks takes Latin-1 only; case folds in the set
        QTest::keyClick(find, Qt::Key_Return);
        QTRY_VERIFY(!textViewer->Finding());
        QCOMPARE(textViewer->View()->CursorLine(), 1u);

        // An EBCDIC file whose record 1 holds, in field 4, what the table
        // turns into those bytes, and E9 in field 1; the others zeros.
        QByteArray block(2048, '\0');
        const auto inverse = [&](std::uint8_t b) {
            for (int e = 0; e < 256; ++e)
                if ((*pair.EbcdicToAscii)[e] == b)
                    return static_cast<char>(e);
            return '\0';
        };
        for (int r = 0; r < 34; ++r)
            for (int i = 0; i < 60; ++i)
                block[8 + 60 * r + i] = inverse(r == 0 && i >= 12 && i < 17 ? bytes[i - 12] : r == 0 && i == 0 ? bytes[0] : '0');
        const QString records = dir.filePath("calls.cdr");
        Write(records, block);
        std::unique_ptr<ByteViewerWindow> byteViewer(
            ByteViewerWindow::Open(records, {ByteDecoding::Input::Ebcdic, &*pair.EbcdicToAscii, set}));
        ShowActive(byteViewer.get());
        byteViewer->View()->viewport()->repaint();
        QVERIFY(byteViewer->View()->ShownRows().size() > 1);
        const QString row = QString::fromStdU16String(byteViewer->View()->ShownRows()[1].Text);
        QVERIFY2(row.contains(shown), qPrintable(row));

        // The browser, its set told by the folder of the tables: the cells,
        // the pane and a condition typed there.
        std::unique_ptr<RecordBrowser> browser(
            RecordBrowser::Open(records, std::nullopt, BlockCode::Ebcdic, &*pair.EbcdicToAscii, tables));
        browser->setAttribute(Qt::WA_DeleteOnClose, false);
        ShowActive(browser.get());
        const QString field4 = shown + QStringLiteral("0000000000");
        QCOMPARE(browser->Model()->data(browser->Model()->index(0, 3), Qt::DisplayRole).toString(),
                 QString(field4).replace(QLatin1Char('.'), QChar(0x00B7)));
        auto* table = browser->findChild<QTableView*>("RecordTable");
        table->setCurrentIndex(table->model()->index(0, 0));
        QCOMPARE(browser->findChild<QTableWidget*>("RecordPane")->item(3, 1)->text(),
                 QString(field4).replace(QLatin1Char('.'), QChar(0x00B7)));
        QSignalSpy finished(browser.get(), &RecordBrowser::WorkFinished);
        browser->findChild<QLineEdit*>("SelectionEdit")->setText("1=" + typed);
        browser->ApplySelection();
        QVERIFY(finished.wait());
        QCOMPARE(browser->Model()->TotalRows(), 1u);
    }
};

QTEST_MAIN(ViewersTest)
#include "ViewersTest.moc"
