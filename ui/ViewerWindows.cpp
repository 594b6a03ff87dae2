#include "ViewerWindows.h"

#include <QMainWindow>

#include "ByteViewer.h"
#include "Platform.h"
#include "RecordBrowser.h"
#include "TextViewer.h"

ViewerWindows::~ViewerWindows() { CloseAll(); }

void ViewerWindows::ViewBytes(const QString& path, ByteDecoding decoding) {
    if (platform_.ProgramFound(kByteViewerProgram))
        platform_.RunProgram(kByteViewerProgram, path);
    else
        Show(ByteViewer::Open(path, decoding));
}

void ViewerWindows::ViewText(const QString& path) {
    if (platform_.ProgramFound(kTextViewerProgram))
        platform_.RunProgram(kTextViewerProgram, path);
    else
        Show(TextViewer::Open(path));
}

void ViewerWindows::Select(const QString& path, std::optional<RecordLayout> layout, const CodeTable* table) {
    if (platform_.ProgramFound(kSelectionProgram))
        platform_.RunProgram(kSelectionProgram, path);
    else
        Show(RecordBrowser::Open(path, std::move(layout), std::nullopt, table));
}

QList<QMainWindow*> ViewerWindows::Windows() const {
    QList<QMainWindow*> open;
    for (const auto& window : windows_)
        if (window)
            open.append(window.data());
    return open;
}

void ViewerWindows::CloseAll() {
    for (QMainWindow* window : Windows())
        delete window;
    windows_.clear();
}

void ViewerWindows::Show(QMainWindow* window) {
    windows_.removeAll(nullptr);
    windows_.append(window);
    window->show();
    window->raise();
    window->activateWindow();
}
