// The record browser on generated files: the table, selecting by typing and
// by the builder, the record pane, scrolling through huge files, cancelling,
// and the export matching the engine's.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <unistd.h>

#include <cstring>
#include <fstream>

#include "CallRecordBlock.h"
#include "IOError.h"
#include "RecordBrowser.h"
#include "RecordFile.h"
#include "RecordTableModel.h"
#include "RecordTableView.h"
#include "RecordWriters.h"
#include "SelectionScan.h"
#include "StatusLine.h"

class RecordBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void Table_ShowsFieldsAndRecordPlaces();
    void Selecting_TypedConditionsFilterTheTable();
    void Selecting_MalformedConditionIsShownAndChangesNothing();
    void Selecting_EitherFormOfAValueSelectsTheSame_data();
    void Selecting_EitherFormOfAValueSelectsTheSame();
    void Builder_WritesConditionsIntoTheEdit();
    void Pane_ShowsTheCurrentRecordFieldByField();
    void Huge_ScrollsToEveryRowAndTheScanCanBeCancelled();
    void Keys_CloseTheBrowser_data();
    void Keys_CloseTheBrowser();
    void Export_WritesWhatTheEngineWrites();
    void Export_CsvNamesTheFieldsAsTheConverterDoes();
    void Open_UnreadableFieldNamesSayWhy_data();
    void Open_UnreadableFieldNamesSayWhy();
    void Open_FileThatFitsNothingIsRefusedWithWhere();
    void Status_LongMessageEndsInAWholeWordAndShowsWholeAsTooltip_data();
    void Status_LongMessageEndsInAWholeWordAndShowsWholeAsTooltip();
};

namespace {

// n blocks of ASCII records: field 1 "F" for every 5th record, field 4 the
// record number, field 5 a date "MMDD", field 13 four bytes around the number.
std::string Blocks(int n) {
    std::string bytes;
    for (int b = 0; b < n; ++b) {
        bytes += "HDR" + std::to_string(1000 + b).substr(0, 4) + "#";
        for (int r = 0; r < static_cast<int>(kRecordsPerBlock); ++r) {
            const int k = b * static_cast<int>(kRecordsPerBlock) + r;
            char rec[61];
            std::snprintf(rec, sizeof rec, "%c017%s%015d%02d%02d235959000130000090010234....5", k % 5 ? '1' : 'F',
                          "4951FFFF", k, 1 + k % 12, 1 + k % 28);
            rec[55] = static_cast<char>(k);
            rec[56] = '\r';
            rec[57] = '\n';
            rec[58] = static_cast<char>(0xAF);
            bytes.append(rec, 60);
        }
    }
    return bytes;
}

void Write(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

std::string Read(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Opened {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<RecordBrowser> browser;
    QTableView* table() const { return browser->findChild<QTableView*>("RecordTable"); }
    QLineEdit* edit() const { return browser->findChild<QLineEdit*>("SelectionEdit"); }
    QString status() const { return browser->findChild<QLabel*>("SelectionStatus")->text(); }
    std::uint64_t rows() const { return browser->Model()->TotalRows(); }
    // What the table shows for a row of the whole table, scrolled into view.
    QString cell(std::uint64_t row, int column) const {
        browser->View()->GoToRow(row);
        const int at = static_cast<int>(row - browser->Model()->FirstRow());
        return table()->model()->data(table()->model()->index(at, column)).toString();
    }
    QString header(std::uint64_t row) const {
        browser->View()->GoToRow(row);
        const int at = static_cast<int>(row - browser->Model()->FirstRow());
        return table()->model()->headerData(at, Qt::Vertical).toString();
    }
};

// The file's folder is the folder of tables; fieldNames, when given, is
// its field-names.
std::unique_ptr<Opened> Open(const std::string& bytes, qint64 size = -1, const char* fieldNames = nullptr) {
    auto opened = std::make_unique<Opened>();
    opened->path = opened->dir.filePath("calls.cdr");
    Write(opened->path, bytes);
    if (size >= 0)
        QFile::resize(opened->path, size);
    if (fieldNames)
        Write(opened->dir.filePath("field-names"), fieldNames);
    try {
        opened->browser.reset(RecordBrowser::Open(opened->path, std::nullopt, std::nullopt, nullptr,
                                                  opened->dir.path().toStdString()));
    } catch (const std::exception& e) {
        qWarning() << e.what();
    }
    if (opened->browser) {
        opened->browser->setAttribute(Qt::WA_DeleteOnClose, false);
        opened->browser->resize(900, 600);
        opened->browser->show();
    }
    return opened;
}

void Select(Opened& o, const QString& conditions) {
    QSignalSpy finished(o.browser.get(), &RecordBrowser::WorkFinished);
    o.edit()->setText(conditions);
    QTest::keyClick(o.edit(), Qt::Key_Return);
    if (finished.isEmpty())
        QVERIFY(finished.wait(10000));
}

// The converter's text output of those blocks.
std::string Converted(const std::string& blocks, bool formatted) {
    struct Fixed : FormatChoice {
        bool on = false;
        bool FormatBox1() const override { return on; }
    } choice;
    choice.on = formatted;
    QTemporaryDir dir;
    const std::string path = dir.filePath("out.txt").toStdString();
    {
        OutputFile out(path);
        for (std::size_t at = 0; at + kBlockSize <= blocks.size(); at += kBlockSize)
            WriteBlock(*reinterpret_cast<const CallRecordBlock*>(blocks.data() + at), "*", OutputType::Text, choice,
                       out);
        out.Close();
    }
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

void RecordBrowserTest::Selecting_EitherFormOfAValueSelectsTheSame_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("call records") << 0;
    QTest::newRow("raw output") << 1;
    QTest::newRow("formatted output") << 2;
}

// 5=0707 and 5=07/07 agree on every kind of file; the example in the edit
// is in the file's own form; a condition that cannot hold says why.
void RecordBrowserTest::Selecting_EitherFormOfAValueSelectsTheSame() {
    QFETCH(int, kind);
    const std::string blocks = Blocks(6);
    auto o = Open(kind == 0 ? blocks : Converted(blocks, kind == 2));
    QVERIFY(o->browser);
    QVERIFY2(o->edit()->placeholderText().contains(kind == 2 ? "5=07/12" : "5=0712"),
             qPrintable(o->edit()->placeholderText()));
    Select(*o, "5=0707");
    const QString plain = o->status();
    QVERIFY2(plain.contains(" of ") && !plain.startsWith("0 of"), qPrintable(plain));
    Select(*o, "5=07/07");
    QCOMPARE(o->status(), plain);
    Select(*o, "13=070DH0AAFH");
    const QString hex = o->status();
    Select(*o, "13=070D0AAF");
    QCOMPARE(o->status(), hex);
    QVERIFY2(!hex.startsWith("0 of"), qPrintable(hex));
    Select(*o, "1=FF");
    QVERIFY2(o->status().startsWith("0 of") && o->status().contains("condition '1=FF' can never match") &&
                 o->status().contains("field 1 holds 1") && o->status().contains("\"FF\" has 2"),
             qPrintable(o->status()));
}

void RecordBrowserTest::Table_ShowsFieldsAndRecordPlaces() {
    auto o = Open(Blocks(3));
    QVERIFY(o->browser);
    QCOMPARE(o->browser->objectName(), QStringLiteral("RecordBrowser"));
    QCOMPARE(o->browser->windowTitle(), QStringLiteral("calls.cdr — MAVIK"));
    QAbstractItemModel* model = o->table()->model();
    QCOMPARE(o->rows(), 3u * 34);
    QCOMPARE(model->columnCount(), 14);
    QCOMPARE(o->cell(35, 3), QStringLiteral("000000000000035"));
    QCOMPARE(o->cell(35, 4), QStringLiteral("1208"));
    QCOMPARE(o->cell(35, 12), QStringLiteral("230D0AAF"));
    QCOMPARE(o->header(35), QStringLiteral("36  (2/2)"));
    // Rows have one fixed height, so a view never measures them one by one.
    QCOMPARE(o->table()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

void RecordBrowserTest::Selecting_TypedConditionsFilterTheTable() {
    auto o = Open(Blocks(30));
    Select(*o, "1=F; 4<000000000000500");
    QCOMPARE(o->rows(), 100u);
    for (int row : {0, 1, 57, 99}) {
        QCOMPARE(o->cell(row, 0), QStringLiteral("F"));
        QCOMPARE(o->cell(row, 3).toInt(), row * 5);
    }
    QCOMPARE(o->header(1), QStringLiteral("6  (1/6)"));
    QVERIFY2(o->status().startsWith("100 of 1,020 records selected"), qPrintable(o->status()));
    Select(*o, "");
    QCOMPARE(o->rows(), 30u * 34);
}

void RecordBrowserTest::Selecting_MalformedConditionIsShownAndChangesNothing() {
    auto o = Open(Blocks(2));
    Select(*o, "1=F");
    QCOMPARE(o->rows(), 14u);
    // A condition that cannot be read, and one whose value is not of its field's kind.
    for (const auto& [condition, says] : {std::pair{"15=3", "outside 1-14"},
                                          {"7>=5:00", "field 7 holds a time, hhmmss or hh:mm:ss"}}) {
        o->edit()->setText(QStringLiteral("1=F; ") + condition);
        QTest::keyClick(o->edit(), Qt::Key_Return);
        QVERIFY2(o->status().contains(QStringLiteral("\"%1\"").arg(condition)) && o->status().contains(says),
                 qPrintable(o->status()));
        QVERIFY(!o->browser->Busy());
        QCOMPARE(o->rows(), 14u);
    }
}

void RecordBrowserTest::Builder_WritesConditionsIntoTheEdit() {
    auto o = Open(Blocks(2));
    auto* field = o->browser->findChild<QComboBox*>("BuilderField");
    auto* op = o->browser->findChild<QComboBox*>("BuilderOperator");
    auto* value = o->browser->findChild<QLineEdit*>("BuilderValue");
    auto* add = o->browser->findChild<QPushButton*>("BuilderAdd");
    field->setCurrentIndex(4);
    op->setCurrentText("^=");
    QTest::keyClicks(value, "0");
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(o->edit()->text(), QStringLiteral("5^=0"));
    field->setCurrentIndex(0);
    op->setCurrentText("!=");
    value->setText("F");
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(o->edit()->text(), QStringLiteral("5^=0; 1!=F"));
    Select(*o, o->edit()->text());
    // Months 01-09, without the F records.
    int expected = 0;
    for (int k = 0; k < 68; ++k)
        expected += (1 + k % 12) < 10 && k % 5 != 0;
    QCOMPARE(o->rows(), std::uint64_t(expected));
}

void RecordBrowserTest::Pane_ShowsTheCurrentRecordFieldByField() {
    auto o = Open(Blocks(2));
    auto* pane = o->browser->findChild<QTableWidget*>("RecordPane");
    o->browser->View()->GoToRow(40);
    QCOMPARE(pane->rowCount(), 14);
    QCOMPARE(pane->item(3, 1)->text(), QStringLiteral("000000000000040"));
    QCOMPARE(pane->item(4, 1)->text(), QStringLiteral("0513"));
    QCOMPARE(pane->item(4, 2)->text(), QStringLiteral("date 05/13"));
    QCOMPARE(pane->item(5, 2)->text(), QStringLiteral("time 23:59:59"));
    QCOMPARE(pane->item(12, 1)->text(), QStringLiteral("280D0AAF"));
    QCOMPARE(pane->item(12, 2)->text(), QStringLiteral("4 binary bytes, hex 28 0D 0A AF"));
}

void RecordBrowserTest::Huge_ScrollsToEveryRowAndTheScanCanBeCancelled() {
    // 160 GiB, sparse: 2.8 billion records, more than an int counts.
    auto o = Open(Blocks(1), 160LL << 30);
    QVERIFY(o->browser);
    auto* model = o->browser->Model();
    const std::uint64_t total = (160ULL << 30) / 2048 * 34;
    QCOMPARE(model->TotalRows(), total);
    QVERIFY(QTest::qWaitForWindowExposed(o->browser.get()));
    // The view holds only the rows on screen, whatever the file's size.
    QVERIFY(model->rowCount() > 5 && model->rowCount() < 100);
    // The bar reaches the last record.
    QScrollBar* bar = o->browser->View()->ScrollBar();
    bar->setValue(bar->maximum());
    const auto last = model->RecordAt(model->rowCount() - 1);
    QVERIFY(last);
    QCOMPARE(*last, total - 1);
    QCOMPARE(model->headerData(model->rowCount() - 1, Qt::Vertical, Qt::DisplayRole).toString(),
             QStringLiteral("%1  (%2/34)").arg(total).arg(total / 34));
    bar->setValue(bar->maximum() / 2);
    QVERIFY(model->FirstRow() > total / 2 - total / 1000 && model->FirstRow() < total / 2 + total / 1000);
    // Keys move the current record through the window's edge.
    o->browser->View()->GoToRow(1000);
    QTest::keyClick(o->table(), Qt::Key_PageDown);
    const auto below = o->browser->View()->CurrentRow();
    QVERIFY(below && *below > 1000);
    QVERIFY(model->RecordAt(o->table()->currentIndex().row()) == below);
    QTest::keyClick(o->table(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(o->browser->View()->CurrentRow(), std::optional<std::uint64_t>(total - 1));

    // The scan is under way (its progress shows) before it is cancelled.
    QSignalSpy finished(o->browser.get(), &RecordBrowser::WorkFinished);
    o->edit()->setText("1=F");
    QTest::keyClick(o->edit(), Qt::Key_Return);
    auto* progress = o->browser->findChild<QProgressBar*>("SelectionProgress");
    QVERIFY(o->browser->Busy());
    QTRY_VERIFY(progress->isVisible() && o->status().contains("so far"));
    QTest::mouseClick(o->browser->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QVERIFY2(o->status().contains("cancelled"), qPrintable(o->status()));
    QCOMPARE(model->TotalRows(), total);

    // Esc cancels a running scan first and leaves the browser open; then
    // it closes it.
    o->browser->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(o->browser.get()));
    QTest::keyClick(o->edit(), Qt::Key_Return);
    QTRY_VERIFY(progress->isVisible() && o->status().contains("so far"));
    QTest::keyClick(o->table(), Qt::Key_Escape);
    QVERIFY(finished.wait(10000));
    QVERIFY2(o->status().contains("cancelled"), qPrintable(o->status()));
    QVERIFY(o->browser->isVisible());
    QTest::keyClick(o->table(), Qt::Key_Escape);
    QVERIFY(!o->browser->isVisible());
}

void RecordBrowserTest::Keys_CloseTheBrowser_data() {
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
}

void RecordBrowserTest::Keys_CloseTheBrowser() {
    QFETCH(QKeySequence, key);
    auto o = Open(Blocks(2));
    o->browser->show();
    o->browser->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(o->browser.get()));
    QTest::keySequence(o->table(), key);
    QVERIFY(!o->browser->isVisible());
}

void RecordBrowserTest::Export_WritesWhatTheEngineWrites() {
    auto o = Open(Blocks(20));
    Select(*o, "5>=0600;1!=F");
    for (const ExportFormat& format :
         {ExportFormat{ExportFormat::Lines, true, "*", {}}, ExportFormat{ExportFormat::Lines, false, "", {}},
          ExportFormat{ExportFormat::Csv, true, "*", {}}}) {
        const QString target = o->dir.filePath("selection.out");
        QSignalSpy finished(o->browser.get(), &RecordBrowser::WorkFinished);
        o->browser->ExportTo(format, target);
        QVERIFY(finished.wait(10000));
        QVERIFY2(o->status().contains("exported"), qPrintable(o->status()));

        RecordFile file(o->path.toStdString());
        JobProgress progress;
        const auto index = SelectRecords(file, RecordPredicate(ParseConditions("5>=0600;1!=F"), file.Layout(), nullptr),
                                         progress);
        const QString expected = o->dir.filePath("expected.out");
        QVERIFY(ExportSelection(file, &*index, nullptr, format, expected.toStdString()));
        QCOMPARE(Read(target), Read(expected));
        QVERIFY(!Read(target).empty());
    }
}

// field-names beside the tables names the columns, the record pane and the
// CSV's header as the converter's; a file of the wrong shape is told, leaves
// the numbers, and stops a CSV export, naming the file.
void RecordBrowserTest::Export_CsvNamesTheFieldsAsTheConverterDoes() {
    auto o = Open(Blocks(2), -1, "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\n");
    QCOMPARE(o->table()->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("13 m"));
    QCOMPARE(o->browser->findChild<QTableWidget*>("RecordPane")->item(0, 0)->text(), QStringLiteral("1 a"));
    const QString target = o->dir.filePath("named.csv");
    ExportFormat csv;
    csv.Format = ExportFormat::Csv;
    QSignalSpy finished(o->browser.get(), &RecordBrowser::WorkFinished);
    o->browser->ExportTo(csv, target);
    QVERIFY(finished.wait(10000));
    const std::string named = Read(target);
    QCOMPARE(QString::fromStdString(named.substr(0, named.find('\n') + 1)),
             QStringLiteral("block,record,a,b,c,d,e,f,g,h,i,j,k,l,m,n\r\n"));

    auto bad = Open(Blocks(2), -1, "a\nb\n");
    QVERIFY2(bad->status().contains("field-names: must hold 14 non-empty lines"), qPrintable(bad->status()));
    QCOMPARE(bad->table()->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("13"));
    bad->browser->ExportTo(csv, bad->dir.filePath("bad.csv"));
    QVERIFY2(bad->status().contains("it holds 2"), qPrintable(bad->status()));
    QVERIFY(!QFile::exists(bad->dir.filePath("bad.csv")));
}

// A field-names that cannot be read is told by the system's cause, not as
// a refused access, and leaves the numbers.
void RecordBrowserTest::Open_UnreadableFieldNamesSayWhy_data() {
    QTest::addColumn<bool>("folder");  // else a link to a device that fails its reads
    QTest::addColumn<QString>("status");  // %1 the field-names
    QTest::newRow("a folder") << true << "I/O error 21: %1 (it is a folder, not a file)";
    QTest::newRow("a failing read") << false << "I/O error 5: %1 (the device failed to read or write)";
}

void RecordBrowserTest::Open_UnreadableFieldNamesSayWhy() {
    QFETCH(bool, folder);
    QFETCH(QString, status);
    Opened o;
    o.path = o.dir.filePath("calls.cdr");
    Write(o.path, Blocks(2));
    const QString names = o.dir.filePath("field-names");
    QVERIFY(folder ? QDir().mkdir(names) : QFile::link("/proc/self/mem", names));
    o.browser.reset(RecordBrowser::Open(o.path, std::nullopt, std::nullopt, nullptr, o.dir.path().toStdString()));
    o.browser->setAttribute(Qt::WA_DeleteOnClose, false);
    o.browser->show();
    QCOMPARE(o.status(), status.arg(names));
    QCOMPARE(o.table()->model()->headerData(12, Qt::Horizontal).toString(), QStringLiteral("13"));
}

void RecordBrowserTest::Open_FileThatFitsNothingIsRefusedWithWhere() {
    QTemporaryDir dir;
    const QString path = dir.filePath("junk.bin");
    Write(path, std::string(5000, '\0'));
    try {
        delete RecordBrowser::Open(path, std::nullopt, std::nullopt, nullptr);
        QFAIL("opened a file that fits nothing");
    } catch (const std::runtime_error& e) {
        QVERIFY2(QString(e.what()).startsWith("junk.bin: offset 0"), e.what());
    }
    QVERIFY_THROWS_EXCEPTION(IOError, RecordBrowser::Open(dir.filePath("none"), std::nullopt, std::nullopt, nullptr));
}

// The longest messages the browser gives, in its narrowest window: the
// line ends after a whole word with "…" and shows the whole as tooltip.
void RecordBrowserTest::Status_LongMessageEndsInAWholeWordAndShowsWholeAsTooltip_data() {
    QTest::addColumn<QString>("selection");
    QTest::newRow("none selected, every condition can never match")
        << "5==0712; 2=123456789; 3^=12345678901234567890; 14*=123";
    QTest::newRow("a field outside 1-14") << "1=F; 16=a value of many words, as a person may type one by mistake";
}

void RecordBrowserTest::Status_LongMessageEndsInAWholeWordAndShowsWholeAsTooltip() {
    QFETCH(QString, selection);
    auto o = Open(Blocks(2));
    o->browser->resize(480, 600);
    auto* line = o->browser->findChild<StatusLine*>("SelectionStatus");
    const QString before = line->text();
    o->edit()->setText(selection);
    QTest::keyClick(o->edit(), Qt::Key_Return);
    QTRY_VERIFY(line->text() != before && !o->browser->Busy());
    const QString shown = line->ShownText(), words = shown.chopped(1);
    QVERIFY2(shown.endsWith(QChar(0x2026)) && line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width(),
             qPrintable(shown));
    QVERIFY2(line->text().startsWith(words) && line->text().at(words.size()) == QLatin1Char(' '), qPrintable(shown));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), line->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(line, &help);
    QTRY_COMPARE(QToolTip::text(), line->text());
}

QTEST_MAIN(RecordBrowserTest)
#include "RecordBrowserTest.moc"
