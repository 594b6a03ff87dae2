#include "StatusLine.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    // Cut before a blank: the longest run of whole words that fits.
    for (qsizetype end = text.lastIndexOf(QLatin1Char(' ')); end > 0; end = text.lastIndexOf(QLatin1Char(' '), end - 1)) {
        const QString words = text.left(end).trimmed();
        if (!words.isEmpty() && metrics.horizontalAdvance(words + ellipsis) <= width)
            return words + ellipsis;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {}

QString StatusLine::ShownText() const { return ElideAtWord(text(), fontMetrics(), contentsRect().width()); }

QSize StatusLine::minimumSizeHint() const {
    // As narrow as a word: the line gives way to the window, not the other way.
    return {fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM")), QLabel::minimumSizeHint().height()};
}

void StatusLine::paintEvent(QPaintEvent* event) {
    const QString shown = ShownText();
    if (shown == text()) {
        QLabel::paintEvent(event);  // selectable as it is
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

bool StatusLine::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (ShownText() != text())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}
