// mavik-browser-bench: the record browser's figures on one file, for
// bench/run: the first screen, a selection over the whole file, the export,
// and the resident anonymous memory while browsing. With --shot it saves a
// picture of the browser after a selection instead. Not a test.
//
//   mavik-browser-bench FILE TABLE [CONDITIONS] [--shot PNG]

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "CodeTable.h"
#include "RecordBrowser.h"
#include "RecordFile.h"
#include "RecordTableModel.h"
#include "RecordTableView.h"
#include "SelectionExport.h"
#include "SelectionScan.h"

namespace {

long RssAnonKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stol(line.substr(8));
    return -1;
}

// Processor seconds of this thread: wall time on a shared machine says
// more about the others than about us.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: mavik-browser-bench FILE TABLE [CONDITIONS] [--shot PNG]\n");
        return 2;
    }
    const QString path = args[1];
    CodeTable table{};
    LoadCodeTable(table, args[2].toStdString(), "ebcdic-ascii");
    QString conditions = QStringLiteral("5=0712;1!=F");
    QString shot;
    for (int i = 3; i < args.size(); ++i) {
        if (args[i] == "--shot" && i + 1 < args.size())
            shot = args[++i];
        else
            conditions = args[i];
    }

    QElapsedTimer clock;
    clock.start();
    RecordBrowser* browser = RecordBrowser::Open(path, std::nullopt, std::nullopt, &table);
    browser->resize(1280, 720);
    browser->show();
    QTableView* tableView = browser->findChild<QTableView*>("RecordTable");
    QApplication::processEvents();
    tableView->viewport()->repaint();
    const double firstScreenMs = clock.nsecsElapsed() / 1e6;

    if (!shot.isEmpty()) {
        if (!QTest::qWaitForWindowExposed(browser))
            return 1;
        QSignalSpy finished(browser, &RecordBrowser::WorkFinished);
        auto* edit = browser->findChild<QLineEdit*>("SelectionEdit");
        edit->setText(conditions);
        QTest::keyClick(edit, Qt::Key_Return);
        finished.wait(60000);
        browser->View()->GoToRow(3);
        QTest::qWait(200);
        browser->grab().save(shot);
        std::printf("shot %s\n", qPrintable(shot));
        delete browser;
        return 0;
    }

    // The selection alone, over every record, as the browser's worker runs it.
    const RecordFile& file = browser->Model()->File();
    const RecordPredicate predicate(ParseConditions(conditions.toStdString()), file.Layout(),
                                    file.Layout().Code == BlockCode::Ebcdic ? &table : nullptr);
    JobProgress progress;
    clock.restart();
    double cpu = CpuSeconds();
    auto index = SelectRecords(file, predicate, progress);
    const double selectS = clock.nsecsElapsed() / 1e9;
    const double selectCpu = CpuSeconds() - cpu;

    // Browsing with the selection shown: jumps across the whole table.
    browser->Model()->SetSelection(std::make_shared<const SelectionIndex>(*index));
    browser->View()->Reset();
    for (int step = 0; step <= 20; ++step) {
        QScrollBar* bar = browser->View()->ScrollBar();
        bar->setValue(bar->maximum() / 20 * step);
        tableView->viewport()->repaint();
    }
    browser->Model()->SetSelection(nullptr);
    browser->View()->Reset();
    for (int step = 0; step <= 20; ++step) {
        QScrollBar* bar = browser->View()->ScrollBar();
        bar->setValue(bar->maximum() / 20 * step);
        tableView->viewport()->repaint();
    }
    const long rss = RssAnonKib();

    // Export of every record as formatted lines, the heaviest layout.
    const std::string target = path.toStdString() + ".export";
    ExportFormat format;
    clock.restart();
    cpu = CpuSeconds();
    ExportSelection(file, nullptr, file.Layout().Code == BlockCode::Ebcdic ? &table : nullptr, format, target);
    const double exportS = clock.nsecsElapsed() / 1e9;
    const double exportCpu = CpuSeconds() - cpu;
    std::remove(target.c_str());

    std::printf("records %llu matches %llu first_screen_ms %.1f select_s %.3f select_cpu_s %.3f export_s %.3f "
                "export_cpu_s %.3f rss_anon_kib %ld\n",
                static_cast<unsigned long long>(file.RecordCount()), static_cast<unsigned long long>(index->Count()),
                firstScreenMs, selectS, selectCpu, exportS, exportCpu, rss);
    delete browser;
    return 0;
}
