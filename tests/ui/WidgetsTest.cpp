// The window's own small widgets: the radio group's notification rules and
// the gauge's range and drawing.

#include <QImage>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "Gauge.h"
#include "Placement.h"
#include "RadioGroup.h"

class WidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void RadioGroup_UserClickOnNewItemRaisesOnceAfterTheIndexIsSet();
    void RadioGroup_ClickOnChosenItemRaisesNothing();
    void RadioGroup_SettingIndexRaisesOnlyOnChange();
    void RadioGroup_ReplacingItemsLeavesNoChoiceAndRaisesNothing();
    void RadioGroup_ArrowKeyChoosesNextItem();
    void Gauge_ClampsTo0To100AndPrintsPercent();
    void Gauge_DrawsBlueBarOnWhiteInBorder();
    void PlaceBeside_CoversLeastOfTheWindowOnScreen_data();
    void PlaceBeside_CoversLeastOfTheWindowOnScreen();
    void PlaceBeside_EachWindowWhollyOnScreenBesideTheMainWindow_data();
    void PlaceBeside_EachWindowWhollyOnScreenBesideTheMainWindow();

private:
    static void clickItem(RadioGroup& group, int index) {
        QRadioButton* button = group.button(index);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
};

namespace {

// A shown group of three items with item 0 chosen.
struct ShownGroup {
    ShownGroup() {
        group.setGeometry(0, 0, 193, 120);
        group.setItems({"one", "two", "three"});
        group.setItemIndex(0);
        group.show();
        if (!QTest::qWaitForWindowExposed(&group))
            qWarning("the group was not exposed");
    }
    RadioGroup group;
};

}  // namespace

void WidgetsTest::RadioGroup_UserClickOnNewItemRaisesOnceAfterTheIndexIsSet() {
    ShownGroup shown;
    QList<int> indexesSeen;
    connect(&shown.group, &RadioGroup::itemClicked, this,
            [&] { indexesSeen << shown.group.itemIndex(); });

    clickItem(shown.group, 2);

    QCOMPARE(indexesSeen, QList<int>{2});
    QVERIFY(shown.group.button(2)->isChecked());
    QVERIFY(!shown.group.button(0)->isChecked());
}

void WidgetsTest::RadioGroup_ClickOnChosenItemRaisesNothing() {
    ShownGroup shown;
    QSignalSpy clicks(&shown.group, &RadioGroup::itemClicked);

    clickItem(shown.group, 0);

    QCOMPARE(clicks.count(), 0);
    QCOMPARE(shown.group.itemIndex(), 0);
    QVERIFY(shown.group.button(0)->isChecked());
}

void WidgetsTest::RadioGroup_SettingIndexRaisesOnlyOnChange() {
    ShownGroup shown;
    QSignalSpy clicks(&shown.group, &RadioGroup::itemClicked);

    shown.group.setItemIndex(0);
    QCOMPARE(clicks.count(), 0);

    shown.group.setItemIndex(1);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(shown.group.button(1)->isChecked());
}

void WidgetsTest::RadioGroup_ReplacingItemsLeavesNoChoiceAndRaisesNothing() {
    ShownGroup shown;
    QSignalSpy clicks(&shown.group, &RadioGroup::itemClicked);

    shown.group.setItems({"first", "second"});

    QCOMPARE(clicks.count(), 0);
    QCOMPARE(shown.group.itemIndex(), -1);
    QCOMPARE(shown.group.items(), (QStringList{"first", "second"}));
    QVERIFY(!shown.group.button(0)->isChecked());
    QVERIFY(!shown.group.button(1)->isChecked());
    QVERIFY(!shown.group.button(2));

    // From no choice, choosing item 0 is a change.
    shown.group.setItemIndex(0);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(shown.group.button(0)->isChecked());
}

void WidgetsTest::RadioGroup_ArrowKeyChoosesNextItem() {
    ShownGroup shown;
    QSignalSpy clicks(&shown.group, &RadioGroup::itemClicked);
    shown.group.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&shown.group));
    shown.group.button(0)->setFocus();

    QTest::keyClick(shown.group.button(0), Qt::Key_Down);

    QCOMPARE(shown.group.itemIndex(), 1);
    QCOMPARE(clicks.count(), 1);
}

void WidgetsTest::Gauge_ClampsTo0To100AndPrintsPercent() {
    Gauge gauge;
    gauge.setProgress(33);
    QCOMPARE(gauge.text(), QStringLiteral("33%"));
    gauge.setProgress(250);
    QCOMPARE(gauge.progress(), 100);
    QCOMPARE(gauge.text(), QStringLiteral("100%"));
    gauge.setProgress(-7);
    QCOMPARE(gauge.progress(), 0);
    QCOMPARE(gauge.text(), QStringLiteral("0%"));
}

void WidgetsTest::Gauge_DrawsBlueBarOnWhiteInBorder() {
    Gauge gauge;
    gauge.resize(249, 25);
    gauge.setProgress(50);
    const QImage image = gauge.grab().toImage();

    QCOMPARE(image.pixelColor(0, 12), QColor(Qt::black));    // border
    QCOMPARE(image.pixelColor(5, 3), QColor(Qt::blue));      // bar, left half
    QCOMPARE(image.pixelColor(240, 3), QColor(Qt::white));   // rest, right half
    QCOMPARE(image.pixelColor(248, 12), QColor(Qt::black));  // border
}

void WidgetsTest::PlaceBeside_CoversLeastOfTheWindowOnScreen_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("placed");
    QTest::addColumn<QRect>("moved");  // the main window, when it moves
    const QRect screen(0, 0, 1600, 1000);
    QTest::newRow("room on the right") << screen << QRect(100, 100, 506, 400) << QSize(900, 640)
                                       << QRect(606, 100, 900, 640) << QRect();
    QTest::newRow("room only on the left") << screen << QRect(1000, 100, 506, 400) << QSize(900, 640)
                                           << QRect(100, 100, 900, 640) << QRect();
    // Every whole place covers some: the largest free band, shrunk to.
    QTest::newRow("shrunk into the room above") << screen << QRect(300, 500, 506, 400) << QSize(1100, 640)
                                                << QRect(300, 0, 1100, 500) << QRect();
    // The main window centred as it opens: a wide viewer beside it, narrower.
    QTest::newRow("beside a centred window") << screen << QRect(550, 300, 500, 400) << QSize(1460, 900)
                                             << QRect(1050, 100, 550, 900) << QRect();
    // No band holds 480 x 360: the main window moves to the nearer edge.
    QTest::newRow("no band big enough: main to the left") << QRect(0, 0, 1024, 768) << QRect(230, 200, 500, 400)
                                                          << QSize(900, 600) << QRect(500, 168, 524, 600)
                                                          << QRect(0, 200, 500, 400);
    QTest::newRow("no band big enough: main to the right") << QRect(0, 0, 1024, 768) << QRect(300, 200, 500, 400)
                                                           << QSize(900, 600) << QRect(0, 168, 524, 600)
                                                           << QRect(524, 200, 500, 400);
    QTest::newRow("no room across: main to the top") << QRect(0, 0, 800, 1000) << QRect(100, 250, 500, 400)
                                                     << QSize(700, 640) << QRect(100, 400, 700, 600)
                                                     << QRect(100, 0, 500, 400);
    // Too small for both: over the window, covering least of it.
    QTest::newRow("too small for both: covers least") << QRect(0, 0, 800, 600) << QRect(150, 100, 500, 400)
                                                      << QSize(700, 500) << QRect(100, 100, 700, 500)
                                                      << QRect(150, 100, 500, 400);
    QTest::newRow("below when neither side has room") << screen << QRect(500, 0, 600, 300) << QSize(1200, 640)
                                                      << QRect(400, 300, 1200, 640) << QRect();
    QTest::newRow("too big: into the larger free band") << screen << QRect(0, 0, 506, 400) << QSize(2000, 1200)
                                                        << QRect(506, 0, 1094, 1000) << QRect();
    QTest::newRow("a screen not at the origin") << QRect(1600, 0, 1280, 1024) << QRect(1700, 50, 506, 400)
                                                << QSize(700, 600) << QRect(2206, 50, 674, 600) << QRect();
}

void WidgetsTest::PlaceBeside_CoversLeastOfTheWindowOnScreen() {
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(QSize, size);
    QFETCH(QRect, placed);
    QFETCH(QRect, moved);
    const Placement place = PlaceBeside(screen, main, size);
    QCOMPARE(place.Window, placed);
    QCOMPARE(place.Existing, moved.isNull() ? main : moved);
}

// The screens people have, the main window centred as it opens, and each
// of our windows at the size it asks for, frames included: wholly on the
// screen, its left edge (the first column) in view, nothing of the main
// window covered and the main window wholly on the screen too.
void WidgetsTest::PlaceBeside_EachWindowWhollyOnScreenBesideTheMainWindow_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("size");
    const QSize frame(2, 24);
    // The last two: 1920x1080 less a panel, and a 4K screen at 200% right of another.
    for (const QRect screen : {QRect(0, 0, 1024, 768), QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 900),
                               QRect(0, 0, 1600, 1000), QRect(0, 0, 1920, 1040), QRect(1920, 0, 1920, 1080)}) {
        const QByteArray at = QByteArray::number(screen.width()) + "x" + QByteArray::number(screen.height());
        QTest::newRow(at + ", byte viewer") << screen << QSize(std::min(1460, screen.width() - 40), 640) + frame;
        QTest::newRow(at + ", text viewer") << screen << QSize(900, 640) + frame;
        QTest::newRow(at + ", record browser") << screen << QSize(1540, 680) + frame;
    }
}

void WidgetsTest::PlaceBeside_EachWindowWhollyOnScreenBesideTheMainWindow() {
    QFETCH(QRect, screen);
    QFETCH(QSize, size);
    QRect main(QPoint(), QSize(498, 373) + QSize(2, 24));
    main.moveCenter(screen.center());
    const Placement place = PlaceBeside(screen, main, size);
    QVERIFY(screen.contains(place.Window) && screen.contains(place.Existing));
    QCOMPARE(place.Existing.size(), main.size());
    QVERIFY(!place.Window.intersects(place.Existing));
    QVERIFY(place.Window.width() >= 480 && place.Window.height() >= 360);
}

QTEST_MAIN(WidgetsTest)
#include "WidgetsTest.moc"
