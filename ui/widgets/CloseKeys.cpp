#include "CloseKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

void AddCloseKeys(QWidget* window, std::function<bool()> escape) {
    auto* closeWindow = new QAction(window);
    closeWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    QObject::connect(closeWindow, &QAction::triggered, window, &QWidget::close);
    auto* escapeKey = new QAction(window);
    escapeKey->setShortcut(QKeySequence(Qt::Key_Escape));
    QObject::connect(escapeKey, &QAction::triggered, window, [window, escape = std::move(escape)] {
        if (!escape())
            window->close();
    });
    window->addActions({closeWindow, escapeKey});
}
