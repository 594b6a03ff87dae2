#include "ViewerOpener.h"

#include <QMainWindow>
#include <QScreen>

#include "ByteViewerWindow.h"
#include "Placement.h"
#include "Platform.h"
#include "RecordBrowser.h"
#include "TextViewerWindow.h"

ViewerOpener::~ViewerOpener() { CloseAll(); }

void ViewerOpener::ViewBytes(const QString& path, ByteDecoding decoding) {
    if (platform_.ProgramFound(kByteViewerProgram))
        platform_.RunProgram(kByteViewerProgram, path);
    else
        Show(ByteViewerWindow::Open(path, decoding));
}

void ViewerOpener::ViewText(const QString& path) {
    if (platform_.ProgramFound(kTextViewerProgram))
        platform_.RunProgram(kTextViewerProgram, path);
    else
        Show(TextViewerWindow::Open(path));
}

void ViewerOpener::Select(const QString& path, std::optional<RecordLayout> layout, const CodeTable* table) {
    if (platform_.ProgramFound(kSelectionProgram))
        platform_.RunProgram(kSelectionProgram, path);
    else
        Show(RecordBrowser::Open(path, std::move(layout), std::nullopt, table));
}

QList<QMainWindow*> ViewerOpener::Windows() const {
    QList<QMainWindow*> open;
    for (const auto& window : windows_)
        if (window)
            open.append(window.data());
    return open;
}

void ViewerOpener::CloseAll() {
    for (QMainWindow* window : Windows())
        delete window;
    windows_.clear();
}

void ViewerOpener::Show(QMainWindow* window) {
    windows_.removeAll(nullptr);
    windows_.append(window);
    if (beside_ && beside_->screen()) {
        // The window manager's frame, as the main window has it, counts.
        const QSize frame = beside_->frameGeometry().size() - beside_->geometry().size();
        const Placement place = PlaceBeside(beside_->screen()->availableGeometry(), beside_->frameGeometry(),
                                            window->size() + frame);
        // Where no band beside it holds the window, the main window makes room.
        if (place.Existing.topLeft() != beside_->frameGeometry().topLeft())
            beside_->move(place.Existing.topLeft());
        window->resize(place.Window.size() - frame);
        window->move(place.Window.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
