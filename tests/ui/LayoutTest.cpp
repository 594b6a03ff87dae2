// The window as it first opens: every control by name with its kind, place,
// text and state, the tab order, the glyphs, and the keys.

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "Gauge.h"
#include "RadioGroup.h"
#include "StaticText.h"
#include "TestWindow.h"

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void Window_CaptionSizeAndFont();
    void Controls_KindTextAndState_data();
    void Controls_KindTextAndState();
    void RadioGroups_ItemsAndChoice();
    void Page_OneTabShowingTabSheet1();
    void TabBox1_LiesInFrontOfTheSeparatorEdit();
    void StartUp_LabelsAndNamesEmpty();
    void TabOrder_FollowsTheLayout();
    void Glyphs_PresentAndGreyedWhenDisabled();
    void Enter_PressesConvBitBtn1WhileEnabled();
    void Enter_PressesFocusedPushButtonInstead();
    void Escape_DoesNothing();
};

namespace {

QString TextOf(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* gauge = qobject_cast<Gauge*>(widget))
        return gauge->text();
    return {};
}

// The control a focused widget belongs to: a radio button stands for its
// group, the tab bar for the page control.
QString ControlName(QWidget* widget) {
    while (widget && (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

}  // namespace

void LayoutTest::Window_CaptionSizeAndFont() {
    TestWindow window;
    QCOMPARE(window.form->objectName(), QStringLiteral("MAVIKForm"));
    QCOMPARE(window.form->windowTitle(), QStringLiteral("MAVIK"));
    // 506 x 400 outside a classic frame of 4-pixel borders and a 19-pixel caption.
    QCOMPARE(window.form->size(), QSize(498, 373));
    QCOMPARE(window.form->font().pointSize(), 8);
    QVERIFY(!window.form->font().bold());
    QVERIFY(window.control<QLabel>("FileSizeLabel1")->font().bold());
    QVERIFY(!window.control<QLineEdit>("OutFileNameEdit1")->font().bold());
}

void LayoutTest::Controls_KindTextAndState_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("bold");

    // Places and sizes are the form file's alone (Main.ui); what is checked
    // here is what the code makes of it: each control found by its name,
    // of its kind, with its text, state and weight as the window opens.
    const auto row = [](const char* name, const char* parent, const char* kind,
                        const QString& text, bool enabled, bool bold) {
        QTest::newRow(name) << QString(parent) << QString(kind) << text << enabled << bold;
    };
    row("ExitBtn", "MAVIKForm", "QPushButton", "Выход", true, false);
    row("PageControl1", "MAVIKForm", "QTabWidget", "", true, false);
    row("InpFileNameStaticText", "TabSheet1", "StaticText", "Входной файл ", true, false);
    row("InpFileNameEdit1", "TabSheet1", "QLineEdit", "", true, false);
    row("SelFile1", "TabSheet1", "QPushButton", "...", true, false);
    row("ViewInpBitBtn1", "TabSheet1", "QPushButton", "Просмотр файла", false, false);
    row("FileSizeLabel1", "TabSheet1", "QLabel", "", true, true);
    row("InfoInpFileLabel1", "TabSheet1", "QLabel", "", true, true);
    row("OutFileNameStaticText", "TabSheet1", "StaticText", "Выходной файл ", true, false);
    row("OutFileNameEdit1", "TabSheet1", "QLineEdit", "", true, false);
    row("FormatBox1", "TabSheet1", "QCheckBox", "Форматировать", true, true);
    row("ViewOutBitBtn1", "TabSheet1", "QPushButton", "Просмотр файла", false, false);
    row("OutInfoLabel1", "TabSheet1", "QLabel", "Разделитель:", true, true);
    row("OutInfoEdit1", "TabSheet1", "QLineEdit", "*", true, true);
    row("TabBox1", "TabSheet1", "QCheckBox", "TAB", true, true);
    row("QueryBitBtn1", "TabSheet1", "QPushButton", "Выборка", false, false);
    row("TypeInpRadioGroup1", "TabSheet1", "RadioGroup", " Тип входного файла ", true, false);
    row("TypeOutRadioGroup1", "TabSheet1", "RadioGroup", "Тип выходного файла", true, false);
    row("ConvBitBtn1", "TabSheet1", "QPushButton", "Преобразовать", false, false);
    row("Gauge1", "TabSheet1", "Gauge", "0%", true, true);
    row("VersionStaticText", "MAVIKForm", "StaticText", "ver. 1.1.2", true, false);
}

void LayoutTest::Controls_KindTextAndState() {
    QFETCH(QString, parent);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, bold);
    TestWindow window;

    QWidget* control = window.control(QTest::currentDataTag());
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->metaObject()->className(), kind);
    QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
    QCOMPARE(TextOf(control), text);
    QCOMPARE(control->isEnabled(), enabled);
    QVERIFY(control->isVisible());
    QCOMPARE(control->font().bold(), bold);
}

void LayoutTest::RadioGroups_ItemsAndChoice() {
    TestWindow window;
    auto* input = window.control<RadioGroup>("TypeInpRadioGroup1");
    auto* output = window.control<RadioGroup>("TypeOutRadioGroup1");
    QCOMPARE(input->items(), (QStringList{"Alcatel S12 EBCDIC", "Alcatel S12 ASCII",
                                          "Italtel UT-20", "Italtel GSM"}));
    QCOMPARE(input->itemIndex(), 0);
    QVERIFY(input->button(0)->isChecked());
    // One blank until an input type is first chosen.
    QCOMPARE(output->items(), (QStringList{"Текстовый ASCII", "Бинарный ASCII"}));
    QCOMPARE(output->itemIndex(), 0);
    QVERIFY(output->button(0)->isChecked());
    // The items run down the frame, in one column, inside it.
    for (RadioGroup* group : {input, output})
        for (int i = 0; group->button(i); ++i) {
            QVERIFY(group->rect().contains(group->button(i)->geometry()));
            if (i > 0)
                QVERIFY(group->button(i)->y() > group->button(i - 1)->y());
        }
}

void LayoutTest::Page_OneTabShowingTabSheet1() {
    TestWindow window;
    auto* page = window.control<QTabWidget>("PageControl1");
    QCOMPARE(page->count(), 1);
    QCOMPARE(page->tabText(0), QStringLiteral("Преобразование"));
    QCOMPARE(page->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
}

void LayoutTest::TabBox1_LiesInFrontOfTheSeparatorEdit() {
    TestWindow window;
    QWidget* sheet = window.control("TabSheet1");
    // Only the left 32 pixels of the edit show; the rest is under TabBox1.
    QCOMPARE(ControlName(sheet->childAt(216 + 20, 226)), QStringLiteral("OutInfoEdit1"));
    QCOMPARE(ControlName(sheet->childAt(216 + 40, 226)), QStringLiteral("TabBox1"));
}

void LayoutTest::StartUp_LabelsAndNamesEmpty() {
    TestWindow window;
    QVERIFY(window.platform.boxes.isEmpty());
    QCOMPARE(window.control<QLabel>("FileSizeLabel1")->text(), QString());
    QCOMPARE(window.control<QLabel>("InfoInpFileLabel1")->text(), QString());
    QCOMPARE(window.control<QLineEdit>("InpFileNameEdit1")->text(), QString());
    QCOMPARE(window.control<QLineEdit>("OutFileNameEdit1")->text(), QString());
    QVERIFY(window.control<QLineEdit>("InpFileNameEdit1")->isReadOnly());
    QVERIFY(window.control<QCheckBox>("FormatBox1")->isChecked());
    QVERIFY(!window.control<QCheckBox>("TabBox1")->isChecked());
    QCOMPARE(window.control("VersionStaticText")->cursor().shape(), Qt::WhatsThisCursor);
    QCOMPARE(window.control<QLabel>("VersionStaticText")->alignment(), Qt::AlignCenter);
}

void LayoutTest::TabOrder_FollowsTheLayout() {
    TestWindow window;
    // With a file chosen every push button takes part.
    window.chooseFile(window.writeFile("input/calls.cdr", 4096));
    window.control<QPushButton>("ViewOutBitBtn1")->setEnabled(true);  // as after a run
    window.control<QPushButton>("QueryBitBtn1")->setEnabled(true);
    window.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    window.control("ExitBtn")->setFocus();

    QStringList order{ControlName(window.form->focusWidget())};
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(window.form->focusWidget(), Qt::Key_Tab);
        order << ControlName(window.form->focusWidget());
    }
    QCOMPARE(order, (QStringList{"ExitBtn", "PageControl1", "InpFileNameEdit1", "SelFile1",
                                 "OutFileNameEdit1", "TypeInpRadioGroup1", "ConvBitBtn1",
                                 "TypeOutRadioGroup1", "ViewOutBitBtn1", "ViewInpBitBtn1",
                                 "OutInfoEdit1", "TabBox1", "FormatBox1", "QueryBitBtn1",
                                 "ExitBtn"}));
}

void LayoutTest::Glyphs_PresentAndGreyedWhenDisabled() {
    TestWindow window;
    const auto pixels = [](const QIcon& icon, QSize size, QIcon::Mode mode) {
        return icon.pixmap(size, 1.0, mode).toImage();
    };
    const QList<std::pair<const char*, int>> glyphed{{"ExitBtn", 18},        {"ConvBitBtn1", 16},
                                                     {"ViewInpBitBtn1", 16}, {"ViewOutBitBtn1", 16},
                                                     {"QueryBitBtn1", 16}};
    for (const auto& [name, side] : glyphed) {
        auto* button = window.control<QPushButton>(name);
        const QIcon icon = button->icon();
        QVERIFY2(!icon.isNull(), name);
        QCOMPARE(button->iconSize(), QSize(side, side));
        const QImage normal = pixels(icon, QSize(side, side), QIcon::Normal);
        QCOMPARE(normal.size(), QSize(side, side));
        // The background is see-through, the picture itself is not.
        int clear = 0;
        int solid = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                ++(normal.pixelColor(x, y).alpha() == 0 ? clear : solid);
        QVERIFY2(clear > side && solid > side, name);
        QVERIFY2(normal != pixels(icon, QSize(side, side), QIcon::Disabled), name);
    }
    QVERIFY(window.control<QPushButton>("SelFile1")->icon().isNull());
    // The two viewing buttons share the magnifying glass.
    QCOMPARE(pixels(window.control<QPushButton>("ViewInpBitBtn1")->icon(), {16, 16}, QIcon::Normal),
             pixels(window.control<QPushButton>("ViewOutBitBtn1")->icon(), {16, 16}, QIcon::Normal));
}

void LayoutTest::Enter_PressesConvBitBtn1WhileEnabled() {
    TestWindow window;
    auto* convert = window.control<QPushButton>("ConvBitBtn1");
    QSignalSpy presses(convert, &QPushButton::clicked);
    auto* outputName = window.control<QLineEdit>("OutFileNameEdit1");
    window.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    outputName->setFocus();

    QTest::keyClick(outputName, Qt::Key_Return);
    QCOMPARE(presses.count(), 0);  // disabled until a file is chosen

    window.chooseFile(window.writeFile("input/calls.cdr", 4096));
    outputName->setFocus();
    QTest::keyClick(outputName, Qt::Key_Return);
    QCOMPARE(presses.count(), 1);
    QTest::keyClick(outputName, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(presses.count(), 2);
    QTest::keyClick(outputName, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(outputName, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(outputName, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(presses.count(), 2);
}

void LayoutTest::Enter_PressesFocusedPushButtonInstead() {
    TestWindow window;
    window.chooseFile(window.writeFile("input/calls.cdr", 4096));
    QSignalSpy conversions(window.control<QPushButton>("ConvBitBtn1"), &QPushButton::clicked);
    window.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    auto* viewInput = window.control<QPushButton>("ViewInpBitBtn1");
    viewInput->setFocus();

    QTest::keyClick(viewInput, Qt::Key_Return);

    QCOMPARE(conversions.count(), 0);
    QCOMPARE(window.platform.commands.size(), 1);
    QVERIFY(window.platform.commands[0].line.startsWith("Bytora.exe "));
}

void LayoutTest::Escape_DoesNothing() {
    TestWindow window;
    window.chooseFile(window.writeFile("input/calls.cdr", 4096));
    QSignalSpy conversions(window.control<QPushButton>("ConvBitBtn1"), &QPushButton::clicked);
    window.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
    for (const char* name : {"OutFileNameEdit1", "ExitBtn", "ConvBitBtn1"}) {
        window.control(name)->setFocus();
        QTest::keyClick(window.control(name), Qt::Key_Escape);
    }
    QVERIFY(window.form->isVisible());
    QCOMPARE(conversions.count(), 0);
    QVERIFY(window.platform.commands.isEmpty());
    QCOMPARE(window.platform.boxes.size(), 0);
}

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
