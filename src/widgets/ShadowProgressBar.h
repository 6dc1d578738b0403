#pragma once

#include <QFont>
#include <QProgressBar>
#include <QStaticText>

// A flat progress bar with a drop shadow: a teal bar on the base colour with its percentage
// centred on it. The bar fills the contents rectangle, from its left edge, by
// value * width / range in whole pixels. It paints in a few microseconds, so a long loop can
// repaint it at every visible change. An empty range (maximum = minimum) shows an empty bar,
// not a busy indicator.
class ShadowProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit ShadowProgressBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int filledWidth() const;

    QStaticText m_label;
    QFont m_labelFont;
};
