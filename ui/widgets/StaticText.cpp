#include "StaticText.h"

#include <QMouseEvent>

StaticText::StaticText(QWidget* parent) : QLabel(parent) {}

void StaticText::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
