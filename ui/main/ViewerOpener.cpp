#include "ViewerOpener.h"

#include <QMainWindow>
#include <QScreen>

#include "ByteViewerWindow.h"
#include "Placement.h"
#include "RecordBrowser.h"
#include "TextViewerWindow.h"

ViewerOpener::~ViewerOpener() { CloseAll(); }

void ViewerOpener::ViewBytes(const std::string& path, ByteDecoding decoding) {
    Show(ByteViewerWindow::Open(QString::fromStdString(path), decoding));
}

void ViewerOpener::ViewText(const std::string& path) { Show(TextViewerWindow::Open(QString::fromStdString(path))); }

void ViewerOpener::Select(const std::string& path, std::optional<RecordLayout> layout, const CodeTable* table) {
    Show(RecordBrowser::Open(QString::fromStdString(path), std::move(layout), std::nullopt, table));
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
