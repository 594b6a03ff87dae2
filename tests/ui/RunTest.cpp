// A conversion run from the window: start, gauge, stop, the completion
// notice, and what the user may do with the window while a run goes on.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "CodeTable.h"
#include "Gauge.h"
#include "QtPlatform.h"
#include "RadioGroup.h"
#include "TestWindow.h"

using Icon = Platform::Icon;
using Answer = Platform::Answer;

class RunTest : public QObject {
    Q_OBJECT

private slots:
    void Modes_GiveTheExpectedBytes_data();
    void Modes_GiveTheExpectedBytes();
    void Run_WithoutWholeBlockGivesEmptyOutputAndInformation();
    void Run_MissingInputWarnsOnlyAndLeavesOutput();
    void Run_ProgressForThreeBlocksStaysAfterwards();
    void Run_FormatBox1SwitchedDuringRunAppliesFromThen();

    void Run_WithoutItsTableRefusesUntilTheTableIsCopiedIn();
    void Query_TakesTheLayoutOfTheRunThatWroteTheFile();
    void Notice_TellsWhyARunFailedAndWhatItLeftOut_data();
    void Notice_TellsWhyARunFailedAndWhatItLeftOut();

    void Stop_AnsweredNoLeavesOutputAsUninterrupted();
    void Stop_AnsweredYesWarnsOnceAndKeepsWholeBlocks();
    void Stop_NewRunRightAfterIsNotDisturbedByTheOld();

    void Close_DuringRunStopsAtBlockBoundaryWithoutNotice();
    void Close_WhileCompletionNoticeIsOpenDoesNotHang();
    void Close_WhileStopQuestionIsOpenEndsTheRunWithoutNotice_data();
    void Close_WhileStopQuestionIsOpenEndsTheRunWithoutNotice();
    void Close_TakesTheRealQuestionBoxAlong();
};

namespace {

const QString kData = QStringLiteral(MAVIK_DATA_DIR);
const QString kTestData = QStringLiteral(MAVIK_TEST_DATA_DIR);
const QString kDone = QStringLiteral("Завершение преобразования !\rОшибок при преобразовании не обнаружено !");
const QString kFailed =
    QStringLiteral("Завершение преобразования !\rВозникла ошибка или отказ от преобразования !");
const QString kQuestion = QStringLiteral("Прекратить преобразование ?");

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The sample's three whole blocks, repeated to the given number of blocks.
QByteArray Blocks(const QString& sample, int count) {
    const QByteArray three = Read(kData + "/samples/" + sample).left(3 * 2048);
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += three.mid((i % 3) * 2048, 2048);
    return bytes;
}

QString Text(const TestWindow& window, const char* name) { return window.text(name); }

QStringList BoxTexts(const TestWindow& window) {
    QStringList texts;
    for (const auto& box : window.platform.boxes)
        texts << box.text;
    return texts;
}

// Input path of a file in the window's folder with the given contents, chosen.
QString Choose(TestWindow& window, const QString& name, const QByteArray& bytes) {
    const QString path = window.path(name);
    Write(path, bytes);
    window.chooseFile(path);
    return path;
}

// Starts a run and waits until it has ended and the window shows so.
bool RunToTheEnd(TestWindow& window) {
    window.click("ConvBitBtn1");
    return QTest::qWaitFor(
        [&] { return !window.form->Converting && window.form->Worker() && window.form->Worker()->Finished(); },
        30000);
}

// Calls act once, inside the gauge hand-off, when the gauge shows percent.
void AtGauge(TestWindow& window, int percent, std::function<void()> act) {
    auto* gauge = window.control<Gauge>("Gauge1");
    auto once = std::make_shared<bool>(false);
    QObject::connect(gauge, &Gauge::progressChanged, gauge, [=](int progress) {
        if (progress == percent && !*once) {
            *once = true;
            act();
        }
    });
}

// Clicks ConvBitBtn1 once the gauge shows percent, after the hand-off
// has returned: a run waiting in its hand-off could never reach its gate.
void ClickOutsideHandOffAtGauge(TestWindow& window, int percent) {
    AtGauge(window, percent, [&window] {
        QTimer::singleShot(0, window.form.get(), [&window] { window.click("ConvBitBtn1"); });
    });
}

// A window whose code tables are the bundled ones (the test window's own
// folder holds placeholder tables).
struct RunWindow : TestWindow {
    RunWindow() { LoadCodeTables(form->Tables, QString(kData + "/codetables").toStdString()); }
};

}  // namespace

// The expected outputs are fixed files: the samples themselves for the two
// recodings, and for text the files in tests/data, whose first line is the
// README's example record and which leave out the six records beginning with F.
void RunTest::Modes_GiveTheExpectedBytes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("formatted");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0 formatted") << 0 << true << false << kTestData + "/calls-formatted.txt";
    QTest::newRow("0 raw tab") << 0 << false << true << kTestData + "/calls-raw-tab.txt";
    QTest::newRow("1") << 1 << true << false << kData + "/samples/calls-ascii.cdr";
    QTest::newRow("10 formatted") << 10 << true << false << kTestData + "/calls-formatted.txt";
    QTest::newRow("11") << 11 << true << false << kData + "/samples/calls-ebcdic.cdr";
}

void RunTest::Modes_GiveTheExpectedBytes() {
    QFETCH(int, mode);
    QFETCH(bool, formatted);
    QFETCH(bool, tab);
    QFETCH(QString, expected);
    RunWindow window;
    const QString sample = kData + (mode < 10 ? "/samples/calls-ebcdic.cdr" : "/samples/calls-ascii.cdr");
    window.clickItem("TypeInpRadioGroup1", mode / 10);
    window.clickItem("TypeOutRadioGroup1", mode % 10);
    if (!formatted)
        window.click("FormatBox1");
    if (tab)
        window.click("TabBox1");
    window.chooseFile(sample);
    const QString output = window.path("window.out");
    window.control<QLineEdit>("OutFileNameEdit1")->setText(output);

    QVERIFY(RunToTheEnd(window));

    QCOMPARE(BoxTexts(window), QStringList{kDone});
    QVERIFY(!Read(expected).isEmpty());
    QVERIFY(Read(output) == Read(expected));
}

void RunTest::Run_WithoutWholeBlockGivesEmptyOutputAndInformation() {
    RunWindow window;
    Choose(window, "short.cdr", QByteArray(2047, 'x'));
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(Read(window.path("short.txt")), QByteArray());
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 0);
    QCOMPARE(window.platform.boxes.size(), 1);
    QCOMPARE(window.platform.boxes[0].text, kDone);
    QCOMPARE(window.platform.boxes[0].caption, QStringLiteral("Внимание !"));
    QCOMPARE(window.platform.boxes[0].icon, Icon::Information);
    QVERIFY(window.platform.boxes[0].ownedByWindow);
    // The finished state.
    QCOMPARE(Text(window, "ConvBitBtn1"), QStringLiteral("Преобразовать"));
    QVERIFY(!window.control("ConvBitBtn1")->isEnabled());
    QVERIFY(window.control("ViewOutBitBtn1")->isEnabled());
    QVERIFY(window.control("QueryBitBtn1")->isEnabled());
}

void RunTest::Run_MissingInputWarnsOnlyAndLeavesOutput() {
    RunWindow window;
    const QString input = Choose(window, "gone.cdr", Blocks("calls-ascii.cdr", 1));
    Write(window.path("gone.txt"), "keep");
    QFile::remove(input);
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(BoxTexts(window), QStringList{kFailed});
    QCOMPARE(window.platform.boxes[0].icon, Icon::Warning);
    QCOMPARE(Read(window.path("gone.txt")), QByteArray("keep"));
}

void RunTest::Run_ProgressForThreeBlocksStaysAfterwards() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ebcdic.cdr", 3));
    QSignalSpy gauge(window.control<Gauge>("Gauge1"), &Gauge::progressChanged);
    QVERIFY(RunToTheEnd(window));
    QList<int> shown;
    for (const auto& args : gauge)
        shown << args[0].toInt();
    QCOMPARE(shown, (QList<int>{33, 66, 100}));
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 100);
}

void RunTest::Run_FormatBox1SwitchedDuringRunAppliesFromThen() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ascii.cdr", 3));
    window.clickItem("TypeInpRadioGroup1", 1);
    AtGauge(window, 33, [&] { window.click("FormatBox1"); });
    QVERIFY(RunToTheEnd(window));
    const QList<QByteArray> lines = Read(window.path("in.txt")).split('\n');
    // Formatted lines hold "/" in field 5; raw field lines never do here.
    QVERIFY(lines.first().contains('/'));
    QVERIFY(!lines[lines.size() - 2].contains('/'));
    QCOMPARE(lines[lines.size() - 2].size(), 74);  // a raw line and its CR
}

// The record browser reads the output as the run wrote it, whatever the
// controls were changed to since.
void RunTest::Query_TakesTheLayoutOfTheRunThatWroteTheFile() {
    RunWindow window;
    window.platform.missingPrograms = {"Selmar.exe"};
    const QString input = Choose(window, "in.cdr", Blocks("calls-ascii.cdr", 3));
    window.clickItem("TypeInpRadioGroup1", 1);
    window.clickItem("TypeOutRadioGroup1", 1);
    QVERIFY(RunToTheEnd(window));  // the EBCDIC image in.ebs
    // The controls now say the ASCII image of EBCDIC input, which would fit the file too.
    window.clickItem("TypeInpRadioGroup1", 0);
    window.clickItem("TypeOutRadioGroup1", 1);
    window.control<QLineEdit>("OutFileNameEdit1")->setText(window.path("in.ebs"));
    window.click("QueryBitBtn1");
    QMainWindow* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("RecordBrowser"))
            browser = qobject_cast<QMainWindow*>(w);
    QVERIFY(browser);
    const auto shows = [browser](const QString& words) {
        for (const QLabel* label : browser->findChildren<QLabel*>())
            if (label->text().contains(words))
                return true;
        return false;
    };
    QTRY_VERIFY(shows(QStringLiteral("EBCDIC call records")));
    delete browser;
}

void RunTest::Run_WithoutItsTableRefusesUntilTheTableIsCopiedIn() {
    TestWindow window(TestWindow::CodeTables::None);
    QCOMPARE(BoxTexts(window), QStringList{"Cannot open file ebcdic-ascii."});
    Choose(window, "calls.cdr", Read(kData + "/samples/calls-ebcdic.cdr"));
    window.click("ConvBitBtn1");
    // The start-up error again, and nothing started or created.
    QCOMPARE(BoxTexts(window), (QStringList{"Cannot open file ebcdic-ascii.", "Cannot open file ebcdic-ascii."}));
    QCOMPARE(window.platform.boxes[1].icon, Icon::Error);
    QCOMPARE(window.platform.boxes[1].caption, QStringLiteral("MAVIK v.1.0.1"));
    QVERIFY(!window.form->Converting);
    QVERIFY(!window.form->Worker());
    QVERIFY(!QFile::exists(window.path("calls.txt")));
    QCOMPARE(Text(window, "ConvBitBtn1"), QStringLiteral("Преобразовать"));

    // The user copies the tables in; the same click now converts.
    for (const char* table : {"ebcdic-ascii", "ascii-ebcdic"})
        QVERIFY(QFile::copy(kData + "/codetables/" + table, window.path(table)));
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(window.platform.boxes.last().text, kDone);
    QVERIFY(Read(window.path("calls.txt")) == Read(kTestData + "/calls-formatted.txt"));
}

namespace {

// The input's contents by name: a sample, bytes that are no call records,
// records all of type F in either code, or "/..." a path taken as it is.
QByteArray InputBytes(const QString& name) {
    if (name == "random") {
        QByteArray bytes(40 * 2048, 0);
        std::uint64_t x = 12345;
        for (char& c : bytes) {
            x = x * 6364136223846793005ull + 1442695040888963407ull;
            c = static_cast<char>(x >> 56);
        }
        return bytes;
    }
    if (name == "text")
        return Read(kData + "/README.md").left(2 * 2048);  // whole blocks: nothing else to say
    if (name == "text output")
        return Read(kTestData + "/calls-formatted.txt");
    if (name == "all F ascii" || name == "all F ebcdic") {
        const char f = name.endsWith("ascii") ? 'F' : '\xC6';
        const QByteArray record = QByteArray(55, f) + QByteArray(4, '\xFF') + QByteArray(1, f);
        return (QByteArray(8, '0') + record.repeated(34)).repeated(3);
    }
    return Read(kData + "/samples/" + name);
}

}  // namespace

void RunTest::Notice_TellsWhyARunFailedAndWhatItLeftOut_data() {
    QTest::addColumn<QString>("input");   // InputBytes
    QTest::addColumn<int>("type");        // the input type's index: 0 EBCDIC, 1 ASCII
    QTest::addColumn<QString>("output");  // relative to the window's folder; "" for the derived name
    QTest::addColumn<bool>("warned");     // the warning text of the notice, though nothing failed
    QTest::addColumn<QString>("details");  // %1 the folder
    const QString ascii = "calls-ascii.cdr", ebcdic = "calls-ebcdic.cdr";
    QTest::newRow("output folder missing")
        << ascii << 1 << "no/such/out.txt" << true
        << "File not found: %1/no/such/out.txt (the folder %1/no/such does not exist)";
    QTest::newRow("output is the input")
        << ascii << 1 << "in.cdr" << true << "File access denied: %1/in.cdr (it is the input file)";
    QTest::newRow("full disk") << ascii << 1 << "/dev/full" << true << "I/O error 28: /dev/full (no space left on the disk)";
    // EIO is 5, the code of "File access denied", which it must not read as.
    QTest::newRow("device error") << "/proc/self/mem" << 1 << "out.txt" << true
                                  << "I/O error 5: /proc/self/mem (the device failed to read or write)";
    QTest::newRow("partial last block")
        << "calls-ascii-partial-block.cdr" << 1 << "" << false
        << "The last 1000 bytes (from offset 6144) are not a whole 2048-byte block and were not converted.";
    // Call records of the chosen code: no warning.
    QTest::newRow("ASCII as ASCII") << ascii << 1 << "" << false << "";
    QTest::newRow("EBCDIC as EBCDIC") << ebcdic << 0 << "" << false << "";
    QTest::newRow("all F as ASCII") << "all F ascii" << 1 << "" << false << "";
    QTest::newRow("all F as EBCDIC") << "all F ebcdic" << 0 << "" << false << "";
    // What is not what it is taken for: converted all the same, and said.
    QTest::newRow("ASCII as EBCDIC") << ascii << 0 << "" << true
                                     << "The records of the input look like ASCII, not EBCDIC: "
                                        "choose the input type Alcatel S12 ASCII.";
    QTest::newRow("EBCDIC as ASCII") << ebcdic << 1 << "" << true
                                     << "The records of the input look like EBCDIC, not ASCII: "
                                        "choose the input type Alcatel S12 EBCDIC.";
    const QString none = "The input does not look like call records: neither EBCDIC nor ASCII digits make up "
                         "its first blocks.";
    // 96 lines of 86 bytes: 64 bytes past the last whole block.
    const QString output = "The input looks like a text output of MAVIK, not call records.\nThe last 64 bytes (from "
                           "offset 8192) are not a whole 2048-byte block and were not converted.";
    for (const int type : {0, 1}) {
        const QString as = type ? " as ASCII" : " as EBCDIC";
        QTest::newRow(qPrintable("random" + as)) << "random" << type << "" << true << none;
        QTest::newRow(qPrintable("text" + as)) << "text" << type << "" << true << none;
        QTest::newRow(qPrintable("text output" + as)) << "text output" << type << "" << true << output;
    }
    // Both said: the doubt first.
    QTest::newRow("random, folder missing")
        << "random" << 1 << "no/such/out.txt" << true
        << none + "\nFile not found: %1/no/such/out.txt (the folder %1/no/such does not exist)";
}

void RunTest::Notice_TellsWhyARunFailedAndWhatItLeftOut() {
    QFETCH(QString, input);
    QFETCH(int, type);
    QFETCH(QString, output);
    QFETCH(bool, warned);
    QFETCH(QString, details);
    RunWindow window;
    QByteArray bytes;
    if (input.startsWith('/')) {
        window.chooseFile(input);
    } else {
        bytes = InputBytes(input);
        Choose(window, "in.cdr", bytes);
    }
    if (type == 1)
        window.clickItem("TypeInpRadioGroup1", 1);
    if (!output.isEmpty())
        window.control<QLineEdit>("OutFileNameEdit1")->setText(output.startsWith('/') ? output : window.path(output));
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(window.platform.boxes.size(), 1);
    QCOMPARE(window.platform.boxes[0].text, warned ? kFailed : kDone);
    QCOMPARE(window.platform.boxes[0].icon, warned ? Icon::Warning : Icon::Information);
    QCOMPARE(window.platform.boxes[0].details,
             details.contains("%1") ? details.arg(window.folder.path()) : details);
    if (!bytes.isEmpty())
        QVERIFY(Read(window.path("in.cdr")) == bytes);
}

void RunTest::Stop_AnsweredNoLeavesOutputAsUninterrupted() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ebcdic.cdr", 30));
    QVERIFY(RunToTheEnd(window));
    const QByteArray uninterrupted = Read(window.path("in.txt"));

    window.chooseFile(window.path("in.cdr"));
    window.platform.boxes.clear();
    window.platform.answers = {Answer::No};
    bool parked = false;
    window.platform.whileBoxOpen = [&](const FakePlatform::Box& box) {
        // A user answers after seconds: the run is at its gate by then.
        if (box.text == kQuestion)
            parked = QTest::qWaitFor([&] { return window.form->Worker()->IsParked(); }, 30000);
    };
    ClickOutsideHandOffAtGauge(window, 10);
    if (!RunToTheEnd(window))
        qFatal("the run answered No never went on");
    QVERIFY(parked);
    QCOMPARE(BoxTexts(window), (QStringList{kQuestion, kDone}));
    QCOMPARE(window.platform.boxes[0].caption, QStringLiteral("Вопрос"));
    QCOMPARE(window.platform.boxes[0].icon, Icon::Question);
    QCOMPARE(window.platform.boxes[0].buttons, Platform::Buttons::YesNo);
    QVERIFY(Read(window.path("in.txt")) == uninterrupted);
}

void RunTest::Stop_AnsweredYesWarnsOnceAndKeepsWholeBlocks() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ascii.cdr", 30));
    window.clickItem("TypeInpRadioGroup1", 1);
    window.clickItem("TypeOutRadioGroup1", 1);  // the binary image shows block boundaries
    window.platform.answers = {Answer::Yes};
    QStringList atNotice;
    window.platform.whileBoxOpen = [&](const FakePlatform::Box& box) {
        if (box.text == kFailed)
            atNotice << Text(window, "ConvBitBtn1") << QString::number(window.form->Converting);
    };
    AtGauge(window, 10, [&] { window.click("ConvBitBtn1"); });
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(BoxTexts(window), (QStringList{kQuestion, kFailed}));
    QCOMPARE(window.platform.boxes[1].icon, Icon::Warning);
    QCOMPARE(window.platform.boxes[1].details, QStringLiteral("The conversion was stopped by the user."));
    QCOMPARE(atNotice, (QStringList{"Остановить", "0"}));
    // The stopped run's own end changes nothing: still the finished state.
    QVERIFY(!window.control("ConvBitBtn1")->isEnabled());
    QCOMPARE(Text(window, "ConvBitBtn1"), QStringLiteral("Преобразовать"));
    const QByteArray output = Read(window.path("in.ebs"));
    QVERIFY(!output.isEmpty());
    QCOMPARE(output.size() % 2048, 0);
    QVERIFY(output.size() < 30 * 2048);
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 10);
}

void RunTest::Stop_NewRunRightAfterIsNotDisturbedByTheOld() {
    RunWindow window;
    const QString input = Choose(window, "in.cdr", Blocks("calls-ebcdic.cdr", 60));
    QList<int> gauge;
    QObject::connect(window.control<Gauge>("Gauge1"), &Gauge::progressChanged, window.form.get(),
                     [&](int p) { gauge << p; });
    // While the first run waits in its hand-off at 10%: stop it, choose the
    // file again, and start a second run into another file.
    AtGauge(window, 10, [&] {
        window.click("ConvBitBtn1");  // answered Yes
        window.chooseFile(input);
        window.control<QLineEdit>("OutFileNameEdit1")->setText(window.path("second.txt"));
        gauge.clear();
        window.click("ConvBitBtn1");
        QVERIFY(window.form->Converting);
    });
    QVERIFY(RunToTheEnd(window));
    QCOMPARE(BoxTexts(window), (QStringList{kQuestion, kFailed, kDone}));
    QCOMPARE(gauge.last(), 100);
    QVERIFY(std::is_sorted(gauge.begin(), gauge.end()));
    // The second run converted everything; the first stopped early.
    const QByteArray second = Read(window.path("second.txt"));
    QCOMPARE(second.count('\n'), 20 * 96);  // 96 formatted lines in every 3 sample blocks
    QVERIFY(Read(window.path("in.txt")).size() < second.size());
}

void RunTest::Close_DuringRunStopsAtBlockBoundaryWithoutNotice() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ascii.cdr", 300));
    window.clickItem("TypeInpRadioGroup1", 1);
    window.clickItem("TypeOutRadioGroup1", 1);
    window.click("ConvBitBtn1");
    // The run cannot pass its first hand-off before this thread serves it.
    QVERIFY(window.form->close());
    QVERIFY(window.platform.boxes.isEmpty());
    QVERIFY(!window.form->Worker());
    const QByteArray output = Read(window.path("in.ebs"));
    QCOMPARE(output.size() % 2048, 0);
    QVERIFY(output.size() < 300 * 2048);
}

void RunTest::Close_WhileCompletionNoticeIsOpenDoesNotHang() {
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ebcdic.cdr", 3));
    bool closed = false;
    window.platform.whileBoxOpen = [&](const FakePlatform::Box& box) {
        if (box.text == kDone)
            closed = window.form->close();
    };
    window.click("ConvBitBtn1");
    QTRY_VERIFY_WITH_TIMEOUT(closed, 30000);
    // The destructor waits for the run that was inside its notice.
    window.form.reset();
}

void RunTest::Close_WhileStopQuestionIsOpenEndsTheRunWithoutNotice_data() {
    QTest::addColumn<Answer>("answer");
    QTest::newRow("then Yes") << Answer::Yes;
    QTest::newRow("then No") << Answer::No;
}

void RunTest::Close_WhileStopQuestionIsOpenEndsTheRunWithoutNotice() {
    QFETCH(Answer, answer);
    RunWindow window;
    Choose(window, "in.cdr", Blocks("calls-ascii.cdr", 300));
    window.clickItem("TypeInpRadioGroup1", 1);
    window.clickItem("TypeOutRadioGroup1", 1);
    window.platform.answers = {answer};
    bool closed = false;
    window.platform.whileBoxOpen = [&](const FakePlatform::Box& box) {
        // The logout's SIGTERM reaches close() while the user still ponders.
        if (box.text == kQuestion && QTest::qWaitFor([&] { return window.form->Worker()->IsParked(); }, 30000))
            closed = window.form->close();
    };
    ClickOutsideHandOffAtGauge(window, 1);
    window.click("ConvBitBtn1");
    QTRY_VERIFY_WITH_TIMEOUT(closed, 30000);
    QCOMPARE(BoxTexts(window), QStringList{kQuestion});
    QVERIFY(!window.form->Worker());
    const QByteArray output = Read(window.path("in.ebs"));
    QCOMPARE(output.size() % 2048, 0);
    QVERIFY(output.size() < 300 * 2048);
}

void RunTest::Close_TakesTheRealQuestionBoxAlong() {
    QTemporaryDir folder;
    for (const char* table : {"ebcdic-ascii", "ascii-ebcdic"})
        QVERIFY(QFile::copy(kData + "/codetables/" + table, folder.filePath(table)));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    QtPlatform platform;
    TMAVIKForm form(platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.findChild<QLineEdit*>("InpFileNameEdit1")->setText(folder.filePath("in.cdr"));
    Write(folder.filePath("in.cdr"), Blocks("calls-ascii.cdr", 300));
    form.BlockCount = 300;
    auto* button = form.findChild<QPushButton*>("ConvBitBtn1");
    button->setEnabled(true);  // as after the file dialog, which would be a real one here
    button->click();
    bool boxWasOpen = false;
    bool parked = false;
    QTimer::singleShot(0, &form, [&] {
        boxWasOpen = QTest::qWaitFor(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; }, 30000);
        parked = QTest::qWaitFor([&] { return form.Worker()->IsParked(); }, 30000);
        form.close();
        QTimer::singleShot(20000, [] {
            if (QApplication::activeModalWidget())
                qFatal("the question outlived its window");
        });
    });
    // The question; it returns once the window has closed and taken it along.
    button->click();
    QVERIFY(boxWasOpen);
    QVERIFY(parked);
    QVERIFY(!form.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!form.Worker());
    QDir::setCurrent(previous);
}

QTEST_MAIN(RunTest)
#include "RunTest.moc"
