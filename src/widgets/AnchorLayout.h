#pragma once

#include <QFlags>
#include <QLayout>
#include <QList>
#include <QRect>

// Places child widgets at fixed positions laid out for a design size of their container and
// keeps them anchored to its edges when it is resized: a control anchored to both left and right
// stretches with the width, one anchored to the right only moves with the right edge, one
// anchored to neither keeps its place; the same holds vertically. A control may also take the
// width its content asks for (a label sizing itself to its text).
class AnchorLayout : public QLayout {
    Q_OBJECT
public:
    enum Anchor { Left = 0x1, Top = 0x2, Right = 0x4, Bottom = 0x8 };
    Q_DECLARE_FLAGS(Anchors, Anchor)

    AnchorLayout(QWidget* container, const QSize& designSize);
    ~AnchorLayout() override;

    void addWidget(QWidget* widget, const QRect& designRect, Anchors anchors = {Left, Top},
                   bool autoWidth = false);

    // Where a control laid out at `designRect` in a container of `designSize` stands when the
    // container has the size `actual`.
    static QRect place(const QRect& designRect, Anchors anchors, const QSize& designSize,
                       const QSize& actual);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        QRect designRect;
        Anchors anchors;
        bool autoWidth;
    };

    QSize m_designSize;
    QList<Entry> m_entries;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AnchorLayout::Anchors)
