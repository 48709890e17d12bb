#include "progress_label.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace complexplot {

ProgressLabel::ProgressLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void ProgressLabel::paintEvent(QPaintEvent* /*event*/) {
    if (text().isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, renderedText());
}

const QPixmap& ProgressLabel::renderedText() {
    const QString current = text();
    auto found = rendered_.constFind(current);
    if (found != rendered_.constEnd()) {
        return *found;
    }
    if (rendered_.size() >= kMostTexts) {
        rendered_.clear();
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setFont(font());
        style()->drawItemText(&painter, contentsRect(),
                              QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                              isEnabled(), current, foregroundRole());
    }
    return *rendered_.insert(current, pixmap);
}

void ProgressLabel::changeEvent(QEvent* event) {
    // A new font, palette or state draws differently: start afresh.
    rendered_.clear();
    QLabel::changeEvent(event);
}

void ProgressLabel::resizeEvent(QResizeEvent* event) {
    rendered_.clear();
    QLabel::resizeEvent(event);
}

}  // namespace complexplot
