#include "ByteViewerWindow.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>

#include "ByteRowsView.h"
#include "ErrorText.h"
#include "FileSource.h"
#include "Counts.h"
#include "TableCharset.h"
#include "GoToBar.h"
#include "GoToTarget.h"

namespace {

enum class Count { Bytes, Blocks };

// n grouped, with its noun in the plural form that n takes.
QString Counted(std::uint64_t n, Count what) {
    const int standIn = PluralStandIn(n);
    return WithCount(what == Count::Bytes
                         ? QCoreApplication::translate("ByteViewerWindow", "%n bytes", nullptr, standIn)
                         : QCoreApplication::translate("ByteViewerWindow", "%n blocks", nullptr, standIn),
                     n);
}

}  // namespace

ByteViewerWindow* ByteViewerWindow::Open(const QString& path, ByteDecoding decoding, QWidget* parent) {
    auto source = std::make_shared<FileSource>(QFile::encodeName(path).toStdString());
    if (!decoding.Set)
        decoding.Set = CharsetOfTablesOrDefault();
    return new ByteViewerWindow(std::move(source), path, decoding, parent);
}

ByteViewerWindow::ByteViewerWindow(std::shared_ptr<FileSource> source, const QString& path, ByteDecoding decoding,
                       QWidget* parent)
    : ViewerFrame(QStringLiteral("ByteViewer"), path, parent), source_(std::move(source)), decoding_(decoding) {
    if (decoding.Table) {
        table_ = *decoding.Table;
        decoding_.Table = &table_;
    }
    view_ = new ByteRowsView(source_, decoding_, centralWidget());
    view_->setObjectName(QStringLiteral("ByteView"));
    Column()->addWidget(view_, 1);
    goTo_ = AddGoToBar(tr("offset (123 or 0x7B), block (b 12) or record (r 300)"),
                       tr("Not an offset, block or record"), view_,
                       [this](const QString& text) { return GoTo(text); });

    QToolBar* tools = Tools();
    auto* kinds = new QActionGroup(this);
    records_ = tools->addAction(tr("Records"));
    QAction* plain = tools->addAction(tr("Plain"));
    for (QAction* a : {records_, plain}) {
        a->setCheckable(true);
        kinds->addAction(a);
    }
    (view_->Layout().LayoutKind() == ByteRowLayout::Kind::Records ? records_ : plain)->setChecked(true);
    connect(records_, &QAction::triggered, this, [this] { view_->SetLayoutKind(ByteRowLayout::Kind::Records); });
    connect(plain, &QAction::triggered, this, [this] { view_->SetLayoutKind(ByteRowLayout::Kind::Plain); });
    QAction* both = tools->addAction(tr("EBCDIC + ASCII"));
    both->setObjectName(QStringLiteral("SideBySide"));
    both->setCheckable(true);
    both->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    both->setToolTip(tr("EBCDIC and ASCII decoding side by side (Ctrl+E)"));
    connect(both, &QAction::toggled, view_, &ByteRowsView::SetSideBySide);
    tools->addSeparator();
    AddGoToAction(tr("Go to"), goTo_);
    QAction* copyHex = tools->addAction(tr("Copy hex"));
    copyHex->setShortcut(QKeySequence::Copy);
    connect(copyHex, &QAction::triggered, this, [this] { Copy(true); });
    QAction* copyText = tools->addAction(tr("Copy text"));
    copyText->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(copyText, &QAction::triggered, this, [this] { Copy(false); });
    AddReloadAction([this] { Reload(); });

    connect(view_, &ByteRowsView::CursorMoved, this, &ByteViewerWindow::UpdateStatus);
    // As wide as the rows, in a smaller font where that makes them fit the
    // screen; where nothing does, it opens at the left, its block, record and
    // offset in view, and the rest is a scroll across.
    const QScreen* shown = screen();
    const int room = shown ? shown->availableGeometry().width() - 40 : 1200;
    view_->FitWidth(room - 4);
    resize(std::min(view_->PreferredWidth() + 4, room), 640);
    UpdateStatus();
    view_->setFocus();
}


bool ByteViewerWindow::GoTo(const QString& target) {
    const auto parsed = ParseGoTo(target.toStdString());
    if (!parsed || !parsed->Offset())
        return false;
    view_->GoTo(*parsed->Offset());
    return true;
}

QString ByteViewerWindow::StatusText() const {
    QStringList parts;
    const std::uint64_t size = source_->Size();
    if (size == 0) {
        parts << tr("Empty file");
    } else {
        const std::uint64_t at = view_->Cursor();
        parts << tr("Offset 0x%1 (%2)").arg(at, 0, 16).arg(at);
        const ByteRowLayout& layout = view_->Layout();
        // The file model's block and field, whatever the layout on screen.
        const ByteRowLayout records(ByteRowLayout::Kind::Records, size);
        const ByteRowLayout::Row row = records.RowAt(records.RowOf(at));
        switch (row.Kind) {
        case ByteRowLayout::RowKind::BlockHeader:
            parts << tr("block %1, header").arg(row.Block);
            break;
        case ByteRowLayout::RowKind::Record:
            parts << tr("block %1, record %2, field %3")
                         .arg(row.Block)
                         .arg(row.Record)
                         .arg(FieldOfRecordByte(static_cast<std::size_t>(at - row.Offset)));
            break;
        default:
            parts << tr("after the last whole block");
        }
        const std::uint64_t selected = view_->SelectionEnd() - view_->SelectionStart() + 1;
        if (selected > 1)
            parts << tr("%1 selected").arg(Counted(selected, Count::Bytes));
        const std::uint64_t blocks =
            layout.LayoutKind() == ByteRowLayout::Kind::Records ? layout.WholeBlocks() : size / 2048;
        parts << QStringLiteral("%1, %2").arg(Counted(size, Count::Bytes), Counted(blocks, Count::Blocks));
    }
    if (decoding_.Charset == ByteDecoding::Input::Ebcdic && !decoding_.Table)
        parts << tr("No code table \"ebcdic-ascii\": EBCDIC is shown as hex only");
    return parts.join(QStringLiteral(" · "));
}

void ByteViewerWindow::UpdateStatus() { status_->setText(StatusText()); }

void ByteViewerWindow::Copy(bool asHex) {
    const auto text = asHex ? view_->SelectionAsHex(kCopyLimit) : view_->SelectionAsText(kCopyLimit);
    if (!text) {
        status_->setText(tr("Selection too large to copy (at most 16 MiB)"));
        return;
    }
    QGuiApplication::clipboard()->setText(*text);
}

void ByteViewerWindow::Reload() {
    try {
        view_->Reload();
        UpdateStatus();
    } catch (const std::exception& error) {
        status_->setText(tr("Cannot reload: %1").arg(ErrorText(error)));
    }
}
