// Every window of ours reads in Russian once the program's translation is
// installed: each text a person reads there (title, labels, buttons, tool
// tips, placeholders, header captions, the painted column titles, status
// lines, the record pane's words, the notices' informative texts) holds
// no Latin word but file names, paths and a few technical terms.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

#include <cerrno>

#include "ByteRowsView.h"
#include "ByteViewerWindow.h"
#include "CodeTable.h"
#include "ConversionRun.h"
#include "ExportDialog.h"
#include "IOError.h"
#include "Main.h"
#include "QtTranslations.h"
#include "RecordBrowser.h"
#include "RecordFile.h"
#include "TextRowsView.h"
#include "TextViewerWindow.h"

Q_DECLARE_METATYPE(ConversionResult)

namespace {

const QString kSamples = QStringLiteral(MAVIK_DATA_DIR "/samples");
const QString kTables = QStringLiteral(MAVIK_DATA_DIR "/codetables");
const QString kTextOutput = QStringLiteral(MAVIK_TEST_DATA_DIR "/calls-formatted.txt");

// Words that stay as they are in Russian: codes, formats, key names.
const QStringList kTechnicalTerms = {
    QStringLiteral("EBCDIC"), QStringLiteral("ASCII"), QStringLiteral("TAB"),  QStringLiteral("CSV"),
    QStringLiteral("UTF"),    QStringLiteral("hex"),   QStringLiteral("MAVIK"), QStringLiteral("windows"),
    QStringLiteral("Esc"),    QStringLiteral("Ctrl"),  QStringLiteral("Shift"), QStringLiteral("E"),
    // The go-to syntax a person types: "b 12" a block, "r 300" a record;
    // and the selection's "N" for a field's number.
    QStringLiteral("b"),      QStringLiteral("r"),     QStringLiteral("N"),
    // Qt's own Russian keeps "OK" on its button.
    QStringLiteral("OK"),
};

void AddHeader(QStringList& texts, const QHeaderView* header) {
    if (!header->model() || header->isHidden())
        return;
    const int count = std::min(header->count(), 50);
    for (int i = 0; i < count; ++i)
        texts << header->model()->headerData(i, header->orientation(), Qt::DisplayRole).toString();
}

// What a person reads in window and its visible children.
QStringList TextsOf(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        texts << w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        else if (auto* tabs = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            texts << edit->placeholderText();
        else if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        else if (auto* header = qobject_cast<QHeaderView*>(w))
            AddHeader(texts, header);
        else if (auto* bar = qobject_cast<QToolBar*>(w))
            texts << bar->windowTitle();
        else if (auto* bytes = qobject_cast<ByteRowsView*>(w))
            texts << bytes->ColumnTitles();
        else if (auto* lines = qobject_cast<TextRowsView*>(w))
            texts << lines->HeaderText();
        if (w->objectName() == QStringLiteral("RecordPane")) {
            // Column 1 is the file's own text; 0 and 2 are ours.
            auto* pane = qobject_cast<QTableWidget*>(w);
            for (int row = 0; row < pane->rowCount(); ++row)
                for (int column : {0, 2})
                    if (const QTableWidgetItem* item = pane->item(row, column))
                        texts << item->text();
        }
    }
    for (const QAction* action : window->findChildren<QAction*>())
        texts << action->text() << action->toolTip() << action->statusTip();
    return texts;
}

// The Latin words of texts, less the names given (files, paths) and the
// technical terms; each with the text it came from.
QStringList LatinWords(const QStringList& texts, const QStringList& names) {
    // Numbers in hex ("0x7B", "2B 41 7A 30") are no words.
    static const QRegularExpression hexNumber(QStringLiteral("\\b0x[0-9A-Fa-f]+\\b|\\b(?=[0-9A-F]*[0-9])[0-9A-F]+\\b"));
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]+"));
    QStringList found;
    for (QString text : texts) {
        const QString whole = text;
        for (const QString& name : names)
            text.remove(name);
        text.remove(hexNumber);
        for (auto it = latin.globalMatch(text); it.hasNext();) {
            const QString word = it.next().captured();
            if (!kTechnicalTerms.contains(word))
                found << QStringLiteral("\"%1\" in \"%2\"").arg(word, whole);
        }
    }
    return found;
}

void ReadsInRussian(QWidget* window, const QStringList& names) {
    const QStringList texts = TextsOf(window);
    QVERIFY2(texts.size() > 3, "the window shows hardly any text: the collection is broken");
    const QStringList latin = LatinWords(texts, names);
    QVERIFY2(latin.isEmpty(), qPrintable(latin.join(QStringLiteral("; "))));
}

// What the key does in window: its action's, as a person's key press would.
void Press(QWidget* window, const QKeySequence& key) {
    for (QAction* action : window->findChildren<QAction*>())
        if (action->shortcut() == key) {
            action->trigger();
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no action for %1").arg(key.toString())));
}

// The go-to bar of a viewer open, and complaining of what it was given.
void GoToSomethingWrong(QWidget* viewer) {
    Press(viewer, QKeySequence(Qt::CTRL | Qt::Key_G));
    auto* edit = viewer->findChild<QLineEdit*>(QStringLiteral("GoToEdit"));
    QVERIFY(edit->isVisible());
    edit->setText(QStringLiteral("?"));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!viewer->findChild<QLabel*>(QStringLiteral("GoToProblem"))->text().isEmpty());
}

QStringList NamesOf(const QString& path) { return {path, QFileInfo(path).fileName()}; }

}  // namespace

class RussianTest : public QObject {
    Q_OBJECT

private slots:
    // As the programs do; Qt's own buttons (OK, Cancel) are read here too.
    void initTestCase() {
        QVERIFY(InstallMavikRussian(*QCoreApplication::instance()));
        QVERIFY2(InstallQtRussian(*QCoreApplication::instance()), "qt6-translations-l10n is not installed");
    }
    void Checker_FindsAnEnglishWord();
    void ByteViewer_EachLayoutReadsInRussian_data();
    void ByteViewer_EachLayoutReadsInRussian();
    void TextViewer_ReadsInRussianWithItsBars();
    void Browser_ReadsInRussianBeforeAndAfterASelection_data();
    void Browser_ReadsInRussianBeforeAndAfterASelection();
    void ExportDialog_ReadsInRussian_data();
    void ExportDialog_ReadsInRussian();
    void Notices_InformativeTextsReadInRussian_data();
    void Notices_InformativeTextsReadInRussian();
    void ByteViewer_SizesGroupedTheRussianWay_data();
    void ByteViewer_SizesGroupedTheRussianWay();
};

void RussianTest::Checker_FindsAnEnglishWord() {
    QCOMPARE(LatinWords({QStringLiteral("Смещение 0x7B · hex · calls.cdr"), QStringLiteral("Go to")},
                        {QStringLiteral("calls.cdr")}),
             QStringList({QStringLiteral("\"Go\" in \"Go to\""), QStringLiteral("\"to\" in \"Go to\"")}));
}

void RussianTest::ByteViewer_EachLayoutReadsInRussian_data() {
    QTest::addColumn<QString>("sample");
    QTest::addColumn<bool>("table");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<bool>("sideBySide");
    QTest::newRow("records") << "calls-ebcdic.cdr" << true << false << false;
    QTest::newRow("records, side by side") << "calls-ebcdic.cdr" << true << false << true;
    QTest::newRow("plain, no code table") << "calls-ebcdic.cdr" << false << true << false;
    QTest::newRow("partial block, plain, side by side") << "calls-ascii-partial-block.cdr" << true << true << true;
}

void RussianTest::ByteViewer_EachLayoutReadsInRussian() {
    QFETCH(QString, sample);
    QFETCH(bool, table);
    QFETCH(bool, plain);
    QFETCH(bool, sideBySide);
    CodeTables tables;
    LoadCodeTable(tables, CodeTableKind::EbcdicToAscii, kTables.toStdString());
    const QString path = kSamples + QLatin1Char('/') + sample;
    std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(
        path, {ByteDecoding::Input::Ebcdic, table ? &*tables.EbcdicToAscii : nullptr}));
    viewer->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* view = viewer->findChild<ByteRowsView*>();
    if (plain)
        view->SetLayoutKind(ByteRowLayout::Kind::Plain);
    if (sideBySide)
        viewer->findChild<QAction*>(QStringLiteral("SideBySide"))->setChecked(true);
    viewer->show();
    // The go-to bar open and complaining, and a cursor inside a record.
    GoToSomethingWrong(viewer.get());
    view->GoTo(100);
    // "ebcdic-ascii" is the code table's file name.
    ReadsInRussian(viewer.get(), NamesOf(path) << QStringLiteral("\"ebcdic-ascii\""));
}

void RussianTest::TextViewer_ReadsInRussianWithItsBars() {
    std::unique_ptr<TextViewerWindow> viewer(TextViewerWindow::Open(kTextOutput));
    viewer->setAttribute(Qt::WA_DeleteOnClose, false);
    viewer->show();
    Press(viewer.get(), QKeySequence::Find);
    auto* find = viewer->findChild<QLineEdit*>(QStringLiteral("FindEdit"));
    QVERIFY(find->isVisible());
    find->setText(QStringLiteral("нет такого"));
    QTest::mouseClick(viewer->findChild<QPushButton*>(QStringLiteral("FindNext")), Qt::LeftButton);
    auto* status = viewer->findChild<QLabel*>(QStringLiteral("TextViewerStatus"));
    // The find has ended and said so, after the index.
    QTRY_VERIFY(!viewer->findChild<QPushButton*>(QStringLiteral("FindCancel"))->isEnabled() &&
                status->text().contains(QStringLiteral("нет такого")));
    GoToSomethingWrong(viewer.get());
    ReadsInRussian(viewer.get(), NamesOf(kTextOutput) << QStringLiteral("нет такого"));
}

void RussianTest::Browser_ReadsInRussianBeforeAndAfterASelection_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("selection");  // empty: none made
    const QString records = kSamples + "/calls-ebcdic.cdr";
    QTest::newRow("call records") << records << QString();
    QTest::newRow("call records, selected") << records << QStringLiteral("4^=0");
    QTest::newRow("text output") << kTextOutput << QString();
    QTest::newRow("text output, selected") << kTextOutput << QStringLiteral("4^=0");
    // The engine's findings, in the browser's words.
    QTest::newRow("can never match") << records << QStringLiteral("1=FF; 1*=FF");
    QTest::newRow("not of its kind") << records << QStringLiteral("7>=5:00");
    QTest::newRow("no operator") << records << QStringLiteral("4~5");
    QTest::newRow("no field") << records << QStringLiteral("=5");
    QTest::newRow("field out of range") << records << QStringLiteral("15=1");
}

void RussianTest::Browser_ReadsInRussianBeforeAndAfterASelection() {
    QFETCH(QString, path);
    QFETCH(QString, selection);
    CodeTables tables;
    LoadCodeTable(tables, CodeTableKind::EbcdicToAscii, kTables.toStdString());
    std::unique_ptr<RecordBrowser> browser(RecordBrowser::Open(path, std::nullopt, std::nullopt, &*tables.EbcdicToAscii));
    browser->setAttribute(Qt::WA_DeleteOnClose, false);
    browser->show();
    auto* table = browser->findChild<QTableView*>(QStringLiteral("RecordTable"));
    table->setCurrentIndex(table->model()->index(0, 0));
    auto* status = browser->findChild<QLabel*>(QStringLiteral("SelectionStatus"));
    const QString before = status->text();
    if (!selection.isEmpty()) {
        QSignalSpy finished(browser.get(), &RecordBrowser::WorkFinished);
        browser->findChild<QLineEdit*>(QStringLiteral("SelectionEdit"))->setText(selection);
        QTest::mouseClick(browser->findChild<QPushButton*>(QStringLiteral("SelectButton")), Qt::LeftButton);
        if (finished.isEmpty() && status->text() == before)
            QVERIFY(finished.wait());
        QVERIFY(status->text() != before);
        table->setCurrentIndex(table->model()->index(0, 0));
    }
    QVERIFY(!status->text().isEmpty());
    ReadsInRussian(browser.get(), NamesOf(path) << selection.split(QStringLiteral("; ")));

    // The record pane's words are whole in their cells, not cut off.
    auto* pane = browser->findChild<QTableWidget*>(QStringLiteral("RecordPane"));
    for (int row = 0; row < pane->rowCount(); ++row)
        for (int column = 0; column < pane->columnCount(); ++column) {
            const QTableWidgetItem* item = pane->item(row, column);
            if (!item || item->text().isEmpty())
                continue;
            const QRect cell = pane->visualItemRect(item).adjusted(3, 0, -3, 0);  // the text margins
            const QRect needed =
                pane->fontMetrics().boundingRect(cell, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, item->text());
            QVERIFY2(needed.width() <= cell.width() && needed.height() <= cell.height(),
                     qPrintable(QStringLiteral("\"%1\" is cut off in the record pane").arg(item->text())));
        }
}

void RussianTest::ExportDialog_ReadsInRussian_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("call records") << kSamples + "/calls-ebcdic.cdr";
    QTest::newRow("text output") << kTextOutput;
}

void RussianTest::ExportDialog_ReadsInRussian() {
    QFETCH(QString, path);
    const RecordFile file(path.toStdString());
    ExportDialog dialog(file.Layout(), path, [](QWidget*, const QString&) { return QString(); });
    dialog.show();
    const QString suggested = dialog.Path();
    ReadsInRussian(&dialog, NamesOf(path) << suggested << QFileInfo(suggested).fileName());
}

void RussianTest::Notices_InformativeTextsReadInRussian_data() {
    QTest::addColumn<ConversionResult>("result");
    QTest::addColumn<QString>("output");
    ConversionResult tail;
    tail.InputSize = 3 * 2048 + 1000;
    tail.BlocksDone = 3;
    QTest::newRow("partial last block") << tail << QString();
    ConversionResult missing;
    missing.Failed = true;
    missing.ErrorFile = "/nonexistent/folder/out.txt";
    missing.FileError = IOError(IOStep::Open, ENOENT, missing.ErrorFile);
    QTest::newRow("output folder missing") << missing << QString::fromStdString(missing.ErrorFile);
    ConversionResult denied = missing;
    denied.FileError = IOError(IOStep::Open, EACCES, missing.ErrorFile);
    QTest::newRow("access denied") << denied << QString::fromStdString(missing.ErrorFile);
    ConversionResult io = missing;
    io.FileError = IOError(IOStep::Write, ENOSPC, missing.ErrorFile);
    QTest::newRow("I/O error") << io << QString::fromStdString(missing.ErrorFile);
    ConversionResult device = missing;
    device.FileError = IOError(IOStep::Read, EIO, missing.ErrorFile);
    QTest::newRow("device error") << device << QString::fromStdString(missing.ErrorFile);
}

void RussianTest::Notices_InformativeTextsReadInRussian() {
    QFETCH(ConversionResult, result);
    QFETCH(QString, output);
    const QString details = RunDetails(result, "/nonexistent/in.cdr", output.toStdString());
    QVERIFY(!details.isEmpty());
    const QStringList latin = LatinWords({details}, {QStringLiteral("/nonexistent/folder/out.txt"),
                                                     QStringLiteral("/nonexistent/folder")});
    QVERIFY2(latin.isEmpty(), qPrintable(latin.join(QStringLiteral("; "))));
}

// The file's size and blocks grouped by a no-break space, also past an int.
void RussianTest::ByteViewer_SizesGroupedTheRussianWay_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("says");
    QTest::newRow("one block") << qint64(2048) << QStringLiteral("2_048 байт, 1 блок");
    QTest::newRow("1 GiB") << (qint64(1) << 30) << QStringLiteral("1_073_741_824 байта, 524_288 блоков");
    QTest::newRow("past an int") << (qint64(5) << 30) + 2 << QStringLiteral("5_368_709_122 байта, 2_621_440 блоков");
}

void RussianTest::ByteViewer_SizesGroupedTheRussianWay() {
    QFETCH(qint64, size);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("calls.cdr")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));  // sparse
    file.close();
    std::unique_ptr<ByteViewerWindow> viewer(ByteViewerWindow::Open(file.fileName(), {ByteDecoding::Input::Ascii, nullptr}));
    const QString status = viewer->findChild<QLabel*>(QStringLiteral("ByteViewerStatus"))->text();
    QVERIFY2(status.contains(says.replace(QLatin1Char('_'), QChar(0x00A0))), qPrintable(status));
}

QTEST_MAIN(RussianTest)
#include "RussianTest.moc"
