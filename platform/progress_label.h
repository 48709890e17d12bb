#pragma once

#include <QHash>
#include <QLabel>
#include <QPixmap>

namespace complexplot {

// A label for the progress bar. It is repainted once per column of a run,
// and a run shows only 41 different texts, so each text is laid out and
// drawn once into a pixmap and then only copied: laying out forty glyphs
// anew at every repaint would cost more than the column's arithmetic.
class ProgressLabel : public QLabel {
    Q_OBJECT

public:
    explicit ProgressLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QPixmap& renderedText();

    static constexpr int kMostTexts = 64;
    QHash<QString, QPixmap> rendered_;
};

}  // namespace complexplot
