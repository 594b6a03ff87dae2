// Qt's standard buttons and dialogs read in Russian once the program has
// installed Qt's translations.

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtTranslations.h"

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void MessageBox_ButtonsReadInRussian();
    void FileDialog_ReadsInRussian();

private:
    bool installed = false;
};

void TranslationsTest::initTestCase() {
    // Skipped only where the package is missing, not where loading it fails.
    installed = QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              QStringLiteral("/qtbase_ru.qm"));
    if (installed)
        QVERIFY(InstallQtRussian(*QCoreApplication::instance()));
}

void TranslationsTest::MessageBox_ButtonsReadInRussian() {
    if (!installed)
        QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
    QMessageBox box(QMessageBox::Question, QStringLiteral("Вопрос"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
}

void TranslationsTest::FileDialog_ReadsInRussian() {
    if (!installed)
        QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* accept = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QVERIFY(accept);
    QCOMPARE(accept->text().remove(QLatin1Char('&')), QStringLiteral("Открыть"));
}

QTEST_MAIN(TranslationsTest)
#include "TranslationsTest.moc"
