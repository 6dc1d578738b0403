#pragma once

#include <QLabel>

// A label that acts as a link: blue text, a hand-shaped cursor and a click signal. It sizes
// itself to its text up to its maximum width; a longer text is shown shortened in the middle,
// whole in the tool tip.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_pressed = false;
};
