#include "Gauge.h"

#include <QPainter>

#include <algorithm>

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    // It paints every pixel it owns, so a step of a run repaints only the
    // gauge and not the page beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setProgress(int value) {
    value = std::clamp(value, 0, 100);
    if (value == progress_)
        return;
    progress_ = value;
    update();
    emit progressChanged(progress_);
}

QString Gauge::text() const {
    return QStringLiteral("%1%").arg(progress_);
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int filled = inside.width() * progress_ / 100;
    const QRect bar(inside.left(), inside.top(), filled, inside.height());

    painter.fillRect(inside, Qt::white);
    painter.fillRect(bar, Qt::blue);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    // The text reads black on white and white on the bar.
    painter.setFont(font());
    painter.setClipRect(inside);
    painter.drawText(inside, Qt::AlignCenter, text());
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inside, Qt::AlignCenter, text());
}
