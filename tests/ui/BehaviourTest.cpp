// What the window does: choosing the input file, the output name, the type
// rules, the text-output options, the error box and the external programs.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "Gauge.h"
#include "RadioGroup.h"
#include "TestWindow.h"

using Box = FakePlatform::Box;
using Icon = Platform::Icon;

class BehaviourTest : public QObject {
    Q_OBJECT

private slots:
    void ChoosingFile_ShowsStatisticsAndEnablesConversion();
    void ChoosingFile_CancelChangesNothing();
    void ChoosingFile_SameFileAgainRefreshesButKeepsTypedOutputName();
    void ChoosingFile_MeasurementFailureShowsErrorAndKeepsLabelsAndButtons_data();
    void ChoosingFile_MeasurementFailureShowsErrorAndKeepsLabelsAndButtons();

    void OutputName_FollowsInputAndMode_data();
    void OutputName_FollowsInputAndMode();
    void OutputName_EmptyInputGivesBareExtension();
    void OutputName_TypedByHandIsKeptUntilNextDerivation();

    void Types_InputChoiceRebuildsOutputItemsAndChoosesText();
    void Types_ItaltelShowsNoticeAndFallsBack_data();
    void Types_ItaltelShowsNoticeAndFallsBack();
    void Types_ClickingChosenItemDoesNothing();

    void TextOptions_BinaryHidesThemAndTextShowsThemUnchanged();
    void TextOptions_TabBox1DisablesSeparatorEditKeepingItsText();
    void TextOptions_SeparatorAcceptsOnlyWindows1251();

    void StartUp_MissingCodeTableShowsErrorAndWindowStillOpens_data();
    void StartUp_MissingCodeTableShowsErrorAndWindowStillOpens();

    void ExternalPrograms_CommandLines();
    void ExternalPrograms_InfoTextFromTheInstalledLayout();
    void ExitBtn_ClosesTheWindow();
};

namespace {

QString Text(const TestWindow& window, const char* name) { return window.text(name); }

// Enabled states of the view, start, view and query buttons, in that order.
QList<bool> Buttons(const TestWindow& window) {
    QList<bool> states;
    for (const char* name : {"ViewInpBitBtn1", "ConvBitBtn1", "ViewOutBitBtn1", "QueryBitBtn1"})
        states << window.control(name)->isEnabled();
    return states;
}

const QList<bool> kNoFileChosen{false, false, false, false};
const QList<bool> kFileChosen{true, true, false, false};

QList<bool> TextOptionsVisible(const TestWindow& window) {
    QList<bool> visible;
    for (const char* name : {"FormatBox1", "OutInfoLabel1", "OutInfoEdit1", "TabBox1"})
        visible << window.control(name)->isVisible();
    return visible;
}

const QList<bool> kShown{true, true, true, true};
const QList<bool> kHidden{false, false, false, false};

void TypeInto(TestWindow& window, const char* name, const QString& text) {
    auto* edit = window.control<QLineEdit>(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Types text one character at a time, whatever its script.
void TypeCharacters(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Sets the conversion mode as a user would, by the two groups.
void ChooseMode(TestWindow& window, int mode) {
    window.clickItem("TypeInpRadioGroup1", mode / 10);
    window.clickItem("TypeOutRadioGroup1", mode % 10);
}

}  // namespace

void BehaviourTest::ChoosingFile_ShowsStatisticsAndEnablesConversion() {
    TestWindow window;
    const QString path = window.writeFile("input/calls.cdr", 5000);

    window.chooseFile(path);

    QCOMPARE(window.platform.dialogFolder, QStringLiteral("input"));
    QCOMPARE(Text(window, "InpFileNameEdit1"), path);
    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path("input/calls.txt"));
    QCOMPARE(window.control("InpFileNameEdit1")->toolTip(), path);
    QCOMPARE(window.control("OutFileNameEdit1")->toolTip(), window.path("input/calls.txt"));
    QCOMPARE(Text(window, "FileSizeLabel1"), QStringLiteral("Размер: 5000 байт"));
    QCOMPARE(Text(window, "InfoInpFileLabel1"), QStringLiteral("Записей: 68 Блоков: 2"));
    QCOMPARE(window.form->BlockCount.load(), 2);
    QCOMPARE(Buttons(window), kFileChosen);
    QVERIFY(window.platform.boxes.isEmpty());
    // The label grows with its caption rather than cutting it.
    auto* records = window.control<QLabel>("InfoInpFileLabel1");
    QVERIFY(records->width() >= records->sizeHint().width());
}

void BehaviourTest::ChoosingFile_CancelChangesNothing() {
    TestWindow window;
    const QString path = window.writeFile("input/calls.cdr", 5000);
    window.chooseFile(path);
    window.control<Gauge>("Gauge1")->setProgress(40);  // as a run leaves it

    window.chooseFile(std::nullopt);

    QCOMPARE(window.platform.dialogsShown, 2);
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 40);
    QCOMPARE(Text(window, "InpFileNameEdit1"), path);
    QCOMPARE(Text(window, "FileSizeLabel1"), QStringLiteral("Размер: 5000 байт"));
    QCOMPARE(Buttons(window), kFileChosen);
}

void BehaviourTest::ChoosingFile_SameFileAgainRefreshesButKeepsTypedOutputName() {
    TestWindow window;
    const QString path = window.writeFile("input/calls.cdr", 2048);
    window.chooseFile(path);
    TypeInto(window, "OutFileNameEdit1", "/tmp/mine.txt");
    window.writeFile("input/calls.cdr", 3 * 2048 + 10);  // the file grew since
    window.control<Gauge>("Gauge1")->setProgress(100);
    window.control("ConvBitBtn1")->setEnabled(false);  // as a finished run leaves them
    window.control("ViewOutBitBtn1")->setEnabled(true);
    window.control("QueryBitBtn1")->setEnabled(true);

    window.chooseFile(path);

    QCOMPARE(Text(window, "OutFileNameEdit1"), QStringLiteral("/tmp/mine.txt"));
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 0);
    QCOMPARE(Text(window, "FileSizeLabel1"), QStringLiteral("Размер: 6154 байт"));
    QCOMPARE(Text(window, "InfoInpFileLabel1"), QStringLiteral("Записей: 102 Блоков: 3"));
    QCOMPARE(Buttons(window), kFileChosen);
}

void BehaviourTest::ChoosingFile_MeasurementFailureShowsErrorAndKeepsLabelsAndButtons_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("derived");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << "input/gone.cdr"
                                  << "input/gone.txt"
                                  << "File not found.";
    // A folder is no refused access; the system's words say what it is.
    QTest::newRow("folder") << "input/archive.d"
                            << "input/archive.txt"
                            << "I/O error 21 (it is a folder, not a file)";
}

void BehaviourTest::ChoosingFile_MeasurementFailureShowsErrorAndKeepsLabelsAndButtons() {
    QFETCH(QString, chosen);
    QFETCH(QString, derived);
    QFETCH(QString, message);
    TestWindow window;
    window.chooseFile(window.writeFile("input/calls.cdr", 5000));
    QDir().mkpath(window.path("input/archive.d"));
    window.control<Gauge>("Gauge1")->setProgress(70);

    window.chooseFile(window.path(chosen));

    QCOMPARE(window.platform.boxes.size(), 1);
    const Box box = window.platform.boxes[0];
    QCOMPARE(box.text, message);
    QCOMPARE(box.caption, QStringLiteral("MAVIK v.1.0.1"));
    QCOMPARE(box.icon, Icon::Error);
    QCOMPARE(box.buttons, Platform::Buttons::Ok);
    QVERIFY(!box.ownedByWindow);
    // Done before the failing step stays done; the rest is as before.
    QCOMPARE(window.control<Gauge>("Gauge1")->progress(), 0);
    QCOMPARE(Text(window, "InpFileNameEdit1"), window.path(chosen));
    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path(derived));
    QCOMPARE(Text(window, "FileSizeLabel1"), QStringLiteral("Размер: 5000 байт"));
    QCOMPARE(Text(window, "InfoInpFileLabel1"), QStringLiteral("Записей: 68 Блоков: 2"));
    QCOMPARE(Buttons(window), kFileChosen);
    QVERIFY(window.form->isVisible());
}

void BehaviourTest::OutputName_FollowsInputAndMode_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("output");
    QTest::newRow("mode 0") << "calls/day.cdr" << 0 << "calls/day.txt";
    QTest::newRow("mode 1") << "calls/day.cdr" << 1 << "calls/day.asc";
    QTest::newRow("mode 10") << "calls/day.cdr" << 10 << "calls/day.txt";
    QTest::newRow("mode 11") << "calls/day.cdr" << 11 << "calls/day.ebs";
    QTest::newRow("no dot, mode 1") << "calls/s12" << 1 << "calls/s12.asc";
    QTest::newRow("two dots, mode 11") << "calls/day.1.cdr" << 11 << "calls/day.ebs";
    // A dot in a folder name is not the file's extension.
    QTest::newRow("dot in folder") << "data.old/calls.dat" << 0 << "data.old/calls.txt";
    QTest::newRow("dot in folder, no dot in name") << "data.old/s12" << 11 << "data.old/s12.ebs";
    QTest::newRow("blank in folder") << "my calls/day.cdr" << 1 << "my calls/day.asc";
}

void BehaviourTest::OutputName_FollowsInputAndMode() {
    QFETCH(QString, input);
    QFETCH(int, mode);
    QFETCH(QString, output);
    TestWindow window;
    const QString path = window.writeFile(input, 2048);

    // Chosen with mode 0, then the types change: the name follows each change.
    window.chooseFile(path);
    ChooseMode(window, mode);
    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path(output));
    QCOMPARE(window.form->ConversionMode.load(), mode);

    // Chosen with the mode already set: derived from the new path.
    TestWindow second;
    ChooseMode(second, mode);
    const QString secondPath = second.writeFile(input, 2048);
    second.chooseFile(secondPath);
    QCOMPARE(Text(second, "OutFileNameEdit1"), second.path(output));
}

void BehaviourTest::OutputName_EmptyInputGivesBareExtension() {
    TestWindow window;
    window.clickItem("TypeOutRadioGroup1", 1);
    QCOMPARE(Text(window, "OutFileNameEdit1"), QStringLiteral(".asc"));
    window.clickItem("TypeInpRadioGroup1", 1);
    QCOMPARE(Text(window, "OutFileNameEdit1"), QStringLiteral(".txt"));
    window.clickItem("TypeOutRadioGroup1", 1);
    QCOMPARE(Text(window, "OutFileNameEdit1"), QStringLiteral(".ebs"));
    QCOMPARE(window.control("OutFileNameEdit1")->toolTip(), QStringLiteral(".ebs"));
}

void BehaviourTest::OutputName_TypedByHandIsKeptUntilNextDerivation() {
    TestWindow window;
    window.chooseFile(window.writeFile("calls.cdr", 2048));
    TypeInto(window, "OutFileNameEdit1", "result.out");
    QCOMPARE(window.control("OutFileNameEdit1")->toolTip(), QStringLiteral("result.out"));

    window.clickItem("TypeOutRadioGroup1", 1);

    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path("calls.asc"));
}

void BehaviourTest::Types_InputChoiceRebuildsOutputItemsAndChoosesText() {
    TestWindow window;
    auto* output = window.control<RadioGroup>("TypeOutRadioGroup1");
    window.chooseFile(window.writeFile("calls.cdr", 2048));
    QCOMPARE(Text(window, "TabBox1"), QStringLiteral("TAB"));  // Latin until a type is chosen

    window.clickItem("TypeOutRadioGroup1", 1);
    window.clickItem("TypeInpRadioGroup1", 1);

    QCOMPARE(output->items(), (QStringList{"Текстовый ASCII", "Бинарный EDCDIC"}));
    QCOMPARE(output->itemIndex(), 0);
    QCOMPARE(TextOptionsVisible(window), kShown);
    QCOMPARE(Text(window, "TabBox1"), QStringLiteral("\u0422\u0410\u0412"));  // Cyrillic
    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path("calls.txt"));
    QCOMPARE(window.form->ConversionMode.load(), 10);

    window.clickItem("TypeInpRadioGroup1", 0);
    QCOMPARE(output->items(), (QStringList{"Текстовый ASCII", "Бинарный  ASCII"}));
    QCOMPARE(window.form->ConversionMode.load(), 0);
}

void BehaviourTest::Types_ItaltelShowsNoticeAndFallsBack_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("outputBefore");
    QTest::newRow("Italtel UT-20") << 2 << 0;
    QTest::newRow("Italtel GSM") << 3 << 0;
    QTest::newRow("Italtel GSM from binary output") << 3 << 1;
}

void BehaviourTest::Types_ItaltelShowsNoticeAndFallsBack() {
    QFETCH(int, item);
    QFETCH(int, outputBefore);
    TestWindow window;
    window.chooseFile(window.writeFile("calls.cdr", 2048));
    window.clickItem("TypeInpRadioGroup1", 1);
    window.clickItem("TypeOutRadioGroup1", outputBefore);

    window.clickItem("TypeInpRadioGroup1", item);

    QCOMPARE(window.platform.boxes.size(), 1);
    const Box box = window.platform.boxes[0];
    QCOMPARE(box.text, QStringLiteral("В данной версии не реализовано !"));
    QCOMPARE(box.caption, QStringLiteral("Внимание !"));
    QCOMPARE(box.icon, Icon::Information);
    QCOMPARE(box.buttons, Platform::Buttons::Ok);
    QVERIFY(box.ownedByWindow);
    auto* input = window.control<RadioGroup>("TypeInpRadioGroup1");
    auto* output = window.control<RadioGroup>("TypeOutRadioGroup1");
    QCOMPARE(input->itemIndex(), 0);
    QVERIFY(input->button(0)->isChecked());
    QCOMPARE(output->items(), (QStringList{"Текстовый ASCII", "Бинарный  ASCII"}));
    QCOMPARE(output->itemIndex(), 0);
    QCOMPARE(TextOptionsVisible(window), kShown);
    QCOMPARE(window.form->ConversionMode.load(), 0);
    QCOMPARE(Text(window, "OutFileNameEdit1"), window.path("calls.txt"));
}

void BehaviourTest::Types_ClickingChosenItemDoesNothing() {
    TestWindow window;
    window.chooseFile(window.writeFile("calls.cdr", 2048));
    TypeInto(window, "OutFileNameEdit1", "kept.out");

    window.clickItem("TypeInpRadioGroup1", 0);
    window.clickItem("TypeOutRadioGroup1", 0);

    // No rebuilding: the second item still has its one blank from start-up.
    QCOMPARE(window.control<RadioGroup>("TypeOutRadioGroup1")->items(),
             (QStringList{"Текстовый ASCII", "Бинарный ASCII"}));
    QCOMPARE(Text(window, "OutFileNameEdit1"), QStringLiteral("kept.out"));
    QCOMPARE(Text(window, "TabBox1"), QStringLiteral("TAB"));
    QVERIFY(window.platform.boxes.isEmpty());
}

void BehaviourTest::TextOptions_BinaryHidesThemAndTextShowsThemUnchanged() {
    TestWindow window;
    TypeInto(window, "OutInfoEdit1", ";;");
    window.click("FormatBox1");
    window.click("TabBox1");
    QVERIFY(!window.form->FormatChecked.load());

    window.clickItem("TypeOutRadioGroup1", 1);
    QCOMPARE(TextOptionsVisible(window), kHidden);

    window.clickItem("TypeOutRadioGroup1", 0);
    QCOMPARE(TextOptionsVisible(window), kShown);
    QVERIFY(!window.control<QCheckBox>("FormatBox1")->isChecked());
    QVERIFY(window.control<QCheckBox>("TabBox1")->isChecked());
    QCOMPARE(Text(window, "OutInfoEdit1"), QStringLiteral(";;"));
    QVERIFY(!window.control("OutInfoEdit1")->isEnabled());
    QCOMPARE(Text(window, "FormatBox1"), QStringLiteral("Форматировать"));
    QCOMPARE(Text(window, "OutInfoLabel1"), QStringLiteral("Разделитель:"));

    window.click("FormatBox1");
    QVERIFY(window.form->FormatChecked.load());
}

void BehaviourTest::TextOptions_TabBox1DisablesSeparatorEditKeepingItsText() {
    TestWindow window;
    auto* separator = window.control<QLineEdit>("OutInfoEdit1");
    window.click("TabBox1");
    QVERIFY(!separator->isEnabled());
    QCOMPARE(separator->text(), QStringLiteral("*"));
    window.click("TabBox1");
    QVERIFY(separator->isEnabled());
    QCOMPARE(separator->text(), QStringLiteral("*"));
}

void BehaviourTest::TextOptions_SeparatorAcceptsOnlyWindows1251() {
    TestWindow window;
    auto* separator = window.control<QLineEdit>("OutInfoEdit1");
    separator->setFocus();
    separator->end(false);

    TypeCharacters(separator, QStringLiteral("Жё€№"));  // all in windows-1251
    TypeCharacters(separator, QStringLiteral("中"));
    TypeCharacters(separator, QStringLiteral("\u2192"));  // an arrow
    TypeCharacters(separator, QStringLiteral("|"));

    QCOMPARE(separator->text(), QStringLiteral("*Жё€№|"));
}

void BehaviourTest::StartUp_MissingCodeTableShowsErrorAndWindowStillOpens_data() {
    QTest::addColumn<TestWindow::CodeTables>("tables");
    QTest::addColumn<QString>("message");
    QTest::newRow("neither table") << TestWindow::CodeTables::None
                                   << "Cannot open file ebcdic-ascii.";
    QTest::newRow("no ascii-ebcdic") << TestWindow::CodeTables::OnlyEbcdicAscii
                                     << "Cannot open file ascii-ebcdic.";
    QTest::newRow("ebcdic-ascii a folder") << TestWindow::CodeTables::EbcdicAsciiFolder
                                           << "Cannot open file ebcdic-ascii (it is a folder, not a file)";
    QTest::newRow("ebcdic-ascii unreadable") << TestWindow::CodeTables::EbcdicAsciiUnreadable
                                             << "Cannot open file ebcdic-ascii (the device failed to read or write)";
}

void BehaviourTest::StartUp_MissingCodeTableShowsErrorAndWindowStillOpens() {
    QFETCH(TestWindow::CodeTables, tables);
    QFETCH(QString, message);
    TestWindow window(tables);

    QCOMPARE(window.platform.boxes.size(), 1);  // the second table is not tried after the first
    const Box box = window.platform.boxes[0];
    QCOMPARE(box.text, message);
    QCOMPARE(box.caption, QStringLiteral("MAVIK v.1.0.1"));
    QCOMPARE(box.icon, Icon::Error);
    QVERIFY(!box.ownedByWindow);
    QVERIFY(!window.form->Tables.AsciiToEbcdic);
    QVERIFY(window.form->isVisible());
    QCOMPARE(Text(window, "FileSizeLabel1"), QString());
    // ExeDir is set before the tables are loaded.
    QCOMPARE(QString::fromStdString(window.form->ExeDir), QStringLiteral("/opt/mavik/bin/"));
    window.chooseFile(window.writeFile("calls.cdr", 2048));
    QCOMPARE(Buttons(window), kFileChosen);
}

void BehaviourTest::ExternalPrograms_CommandLines() {
    TestWindow window;
    const QString input = window.writeFile("my calls/day 1.cdr", 2048);
    window.chooseFile(input);
    TypeInto(window, "OutFileNameEdit1", "/tmp/a b/out.txt");
    window.control("ViewOutBitBtn1")->setEnabled(true);  // as after a run
    window.control("QueryBitBtn1")->setEnabled(true);
    QDir::setCurrent(QDir::rootPath());  // info.txt does not depend on it

    window.click("ViewInpBitBtn1");
    window.click("ViewOutBitBtn1");
    window.click("QueryBitBtn1");
    QTest::mouseClick(window.control("VersionStaticText"), Qt::LeftButton);

    const QList<FakePlatform::Command>& commands = window.platform.commands;
    QCOMPARE(commands.size(), 4);
    QCOMPARE(commands[0].line, "Bytora.exe " + input);
    QCOMPARE(commands[1].line, QStringLiteral("Lindor.exe /tmp/a b/out.txt"));
    QCOMPARE(commands[2].line, QStringLiteral("Selmar.exe /tmp/a b/out.txt"));
    QCOMPARE(commands[3].line, QStringLiteral("Lindor.exe /opt/mavik/bin/info.txt"));
    // Blanks and all, each path is one argument.
    QCOMPARE(commands[0].arguments, QStringList{input});
    QCOMPARE(commands[1].arguments, QStringList{"/tmp/a b/out.txt"});
    QCOMPARE(commands[2].program, QStringLiteral("Selmar.exe"));
    // Nothing in the window changes.
    QCOMPARE(Buttons(window), (QList<bool>{true, true, true, true}));
    QVERIFY(window.platform.boxes.isEmpty());
}

void BehaviourTest::ExternalPrograms_InfoTextFromTheInstalledLayout() {
    TestWindow window;
    window.form->ExeDir = window.path(QStringLiteral("usr/bin/")).toStdString();
    const QString installed = window.writeFile(QStringLiteral("usr/share/mavik/info.txt"), 10);
    QTest::mouseClick(window.control("VersionStaticText"), Qt::LeftButton);
    // A copy next to the program wins, as in the build folder.
    const QString beside = window.writeFile(QStringLiteral("usr/bin/info.txt"), 10);
    QTest::mouseClick(window.control("VersionStaticText"), Qt::LeftButton);

    const QList<FakePlatform::Command>& commands = window.platform.commands;
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands[0].arguments, QStringList{installed});
    QCOMPARE(commands[1].arguments, QStringList{beside});
}

void BehaviourTest::ExitBtn_ClosesTheWindow() {
    TestWindow window;
    window.click("ExitBtn");
    QVERIFY(!window.form->isVisible());
    QVERIFY(window.platform.boxes.isEmpty());
}

QTEST_MAIN(BehaviourTest)
#include "BehaviourTest.moc"
