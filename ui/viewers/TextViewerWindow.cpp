#include "TextViewerWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>
#include <vector>

#include "Counts.h"
#include "ErrorText.h"
#include "FileSource.h"
#include "GoToBar.h"
#include "GoToTarget.h"
#include "LineIndexJob.h"
#include "TableCharset.h"
#include "TextFindJob.h"
#include "TextRowsView.h"

namespace {

// What the encoding is told from: the file's first MiB.
constexpr std::size_t kSample = 1024 * 1024;

Charset DetectEncoding(const FileSource& source, Charset eightBit) {
    std::vector<std::uint8_t> sample(kSample);
    sample.resize(source.Read(0, sample.data(), sample.size()));
    return DetectTextEncoding(sample.data(), sample.size(), sample.size() >= source.Size(), eightBit);
}

}  // namespace

TextViewerWindow* TextViewerWindow::Open(const QString& path, QWidget* parent, std::optional<Charset> eightBit) {
    auto source = std::make_shared<FileSource>(QFile::encodeName(path).toStdString());
    return new TextViewerWindow(std::move(source), path, eightBit.value_or(CharsetOfTablesOrDefault()), parent);
}

TextViewerWindow::TextViewerWindow(std::shared_ptr<FileSource> source, const QString& path, Charset eightBit,
                                   QWidget* parent)
    : ViewerFrame(QStringLiteral("TextViewer"), path, parent), source_(std::move(source)) {
    QWidget* central = centralWidget();
    QVBoxLayout* layout = Column();
    view_ = new TextRowsView(source_, DetectEncoding(*source_, eightBit), central);
    view_->setObjectName(QStringLiteral("TextView"));
    layout->addWidget(view_, 1);

    findBar_ = new QWidget(central);
    findBar_->setObjectName(QStringLiteral("FindBar"));
    auto* findLayout = new QHBoxLayout(findBar_);
    findLayout->setContentsMargins(4, 2, 4, 2);
    findLayout->addWidget(new QLabel(tr("Find:"), findBar_));
    findEdit_ = new QLineEdit(findBar_);
    findEdit_->setObjectName(QStringLiteral("FindEdit"));
    findLayout->addWidget(findEdit_, 1);
    matchCase_ = new QCheckBox(tr("Match case"), findBar_);
    matchCase_->setObjectName(QStringLiteral("MatchCase"));
    findLayout->addWidget(matchCase_);
    auto* next = new QPushButton(tr("Next"), findBar_);
    next->setObjectName(QStringLiteral("FindNext"));
    auto* previous = new QPushButton(tr("Previous"), findBar_);
    previous->setObjectName(QStringLiteral("FindPrevious"));
    cancel_ = new QPushButton(tr("Cancel"), findBar_);
    cancel_->setObjectName(QStringLiteral("FindCancel"));
    cancel_->setEnabled(false);
    findLayout->addWidget(next);
    findLayout->addWidget(previous);
    findLayout->addWidget(cancel_);
    findBar_->hide();
    layout->addWidget(findBar_);
    connect(next, &QPushButton::clicked, this, [this] { Find(false); });
    connect(previous, &QPushButton::clicked, this, [this] { Find(true); });
    connect(cancel_, &QPushButton::clicked, this, &TextViewerWindow::CancelFind);
    connect(findEdit_, &QLineEdit::returnPressed, this, [this] {
        Find(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });

    goTo_ = AddGoToBar(tr("line number"), tr("Not a line number"), view_,
                       [this](const QString& text) { return GoTo(text); });

    QToolBar* tools = Tools();
    QAction* find = tools->addAction(tr("Find"));
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        findBar_->show();
        findEdit_->selectAll();
        findEdit_->setFocus();
    });
    AddGoToAction(tr("Go to line"), goTo_);
    QAction* copy = tools->addAction(tr("Copy"));
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &TextViewerWindow::Copy);
    AddReloadAction([this] { Reload(); });

    connect(view_, &TextRowsView::CursorMoved, this, &TextViewerWindow::UpdateStatus);
    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, &TextViewerWindow::Poll);
    resize(900, 640);
    StartIndex();
    view_->setFocus();
}

TextViewerWindow::~TextViewerWindow() {
    // The jobs read the file through source_: they stop and go first.
    find_.reset();
    index_.reset();
}

void TextViewerWindow::StartIndex() {
    index_ = std::make_unique<LineIndexJob>(*source_);
    poll_->start();
    UpdateStatus();
}

bool TextViewerWindow::Indexing() const { return index_ && !view_->Index()->Complete; }

void TextViewerWindow::Poll() {
    if (index_) {
        const auto snapshot = index_->Snapshot();
        if (snapshot != view_->Index()) {
            view_->SetIndex(snapshot);
            if (pendingTop_ && view_->KnownLines() > *pendingTop_) {
                view_->SetTopRow(*pendingTop_);
                pendingTop_.reset();
            }
        }
        if (index_->Finished() && view_->Index() == index_->Snapshot())
            index_.reset();
    }
    if (find_ && find_->Finished()) {
        const auto match = find_->Result();
        const bool cancelled = find_->Cancelled();
        find_.reset();
        cancel_->setEnabled(false);
        if (match) {
            view_->ShowMatch(match->Line, match->Offset, findLength_);
            message_ = tr("Found at line %1").arg(match->Line + 1);
        } else {
            message_ = cancelled       ? tr("Find cancelled")
                       : findBackward_ ? tr("Not found above: \"%1\"").arg(findEdit_->text())
                                       : tr("Not found below: \"%1\"").arg(findEdit_->text());
        }
    }
    if (!index_ && !find_)
        poll_->stop();
    UpdateStatus();
}

QString TextViewerWindow::StatusText() const {
    QStringList parts;
    const auto& index = view_->Index();
    if (index->Complete)
        parts << WithCount(tr("%n lines", nullptr, PluralStandIn(index->LineCount())), index->LineCount());
    else
        parts << WithCount(tr("Indexing %1%: %n lines so far", nullptr, PluralStandIn(index->LineCount())),
                           index->LineCount())
                     .arg(index_ ? index_->Percent() : 0);
    parts << tr("line %1").arg(view_->CursorLine() + 1);
    parts << QString::fromLatin1(CharsetName(view_->Encoding()));
    if (find_)
        parts << tr("Finding %1% (Esc cancels)").arg(find_->Percent());
    else if (!message_.isEmpty())
        parts << message_;
    return parts.join(QStringLiteral(" · "));
}

void TextViewerWindow::UpdateStatus() { status_->setText(StatusText()); }

bool TextViewerWindow::Find(bool backward) {
    if (find_)
        return false;
    std::string bytes;
    if (findEdit_->text().isEmpty() ||
        !EncodeText(findEdit_->text().toStdU16String(), view_->Encoding(), bytes)) {
        message_ = findEdit_->text().isEmpty() ? tr("Nothing to find")
                                               : tr("Not in this file's encoding");
        UpdateStatus();
        return false;
    }
    findLength_ = bytes.size();
    findBackward_ = backward;
    message_.clear();
    find_ = std::make_unique<TextFindJob>(*source_,
                                          SearchPattern{bytes, matchCase_->isChecked(), view_->Encoding()},
                                          view_->FindStart(backward), backward, view_->Index());
    cancel_->setEnabled(true);
    poll_->start();
    UpdateStatus();
    return true;
}

bool TextViewerWindow::Escape() {
    if (find_) {
        CancelFind();
        return true;
    }
    if (findBar_->isVisible()) {
        findBar_->hide();
        view_->setFocus();
        return true;
    }
    return ViewerFrame::Escape();
}

void TextViewerWindow::CancelFind() {
    if (find_)
        find_->Cancel();
}

bool TextViewerWindow::GoTo(const QString& target) {
    const auto parsed = ParseGoTo(target.toStdString(), true);
    if (!parsed || parsed->What != GoToTarget::Kind::Line || parsed->Value == 0)
        return false;
    view_->GoToLine(parsed->Value - 1);
    return true;
}

void TextViewerWindow::Copy() {
    const auto text = view_->SelectedText(kCopyLines, kCopyBytes);
    if (!text) {
        message_ = tr("Selection too large to copy");
        UpdateStatus();
        return;
    }
    QGuiApplication::clipboard()->setText(*text);
}

void TextViewerWindow::Reload() {
    find_.reset();
    index_.reset();
    cancel_->setEnabled(false);
    try {
        source_->Reload();
    } catch (const std::exception& error) {
        message_ = tr("Cannot reload: %1").arg(ErrorText(error));
    }
    pendingTop_ = view_->TopRow();
    view_->SetIndex(std::make_shared<const LineIndex>());
    StartIndex();
}
