#include "widgets/ProgressStepper.h"
#include "widgets/ShadowProgressBar.h"

#include <QImage>
#include <QtTest>

namespace {

// Records the bar's value at each paint.
class PaintLog : public QObject {
public:
    explicit PaintLog(QProgressBar& bar) : m_bar(bar) { bar.installEventFilter(this); }
    QList<int> values;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            values << m_bar.value();
        return false;
    }

private:
    QProgressBar& m_bar;
};

QImage look(QProgressBar& bar, int value)
{
    bar.setValue(value);
    return bar.grab().toImage();
}

} // namespace

class TestProgressStepper : public QObject {
    Q_OBJECT
private slots:
    void repaintsExactlyWhenTheLookChanges_data();
    void repaintsExactlyWhenTheLookChanges();
    void leavesTheBarOnThePositionReached();
    void drawsTheFilledShare_data();
    void drawsTheFilledShare();
};

void TestProgressStepper::repaintsExactlyWhenTheLookChanges_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("width");
    QTest::newRow("fewer steps than pixels") << 7 << 313;
    QTest::newRow("more steps than pixels") << 3000 << 313;
    QTest::newRow("narrow bar") << 500 << 40;
    QTest::newRow("many steps, odd width") << 20011 << 299;
}

// A reference bar set to every position shows what the bar should show; the stepped bar must
// be painted at every step whose look differs from the step before, and at no other.
void TestProgressStepper::repaintsExactlyWhenTheLookChanges()
{
    QFETCH(int, maximum);
    QFETCH(int, width);
    QWidget window;
    window.resize(width + 20, 40);
    ShadowProgressBar bar(&window);
    bar.setGeometry(10, 10, width, 21);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ShadowProgressBar reference;
    reference.resize(bar.size());
    reference.setRange(0, maximum);
    PaintLog paints(bar);

    ProgressStepper stepper(bar, maximum);
    QCOMPARE(paints.values, QList<int>{0});
    QImage shown = look(reference, 0);
    QList<int> changes{0};
    for (int position = 1; position <= maximum; ++position) {
        stepper.step();
        const QImage now = look(reference, position);
        if (now != shown)
            changes << position;
        shown = now;
    }
    QCOMPARE(paints.values, changes);
    QVERIFY(changes.size() > 2);
    QCOMPARE(bar.value(), maximum);
}

void TestProgressStepper::leavesTheBarOnThePositionReached()
{
    QProgressBar bar;
    bar.resize(313, 21);
    {
        ProgressStepper stepper(bar, 100000);
        for (int i = 0; i < 123; ++i)
            stepper.step();
        stepper.sync();
        QCOMPARE(bar.value(), 123);
        stepper.step();
    }
    QCOMPARE(bar.maximum(), 100000);
    QCOMPARE(bar.value(), 124);
}

void TestProgressStepper::drawsTheFilledShare_data()
{
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("quarterFilled");
    QTest::addColumn<bool>("threeQuartersFilled");
    QTest::newRow("half") << 100 << 50 << true << false;
    QTest::newRow("full") << 4 << 4 << true << true;
    QTest::newRow("empty") << 10 << 0 << false << false;
    QTest::newRow("empty range") << 0 << 0 << false << false;
}

void TestProgressStepper::drawsTheFilledShare()
{
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(bool, quarterFilled);
    QFETCH(bool, threeQuartersFilled);
    ShadowProgressBar bar;
    bar.resize(313, 21);
    bar.setTextVisible(false);
    bar.setRange(0, maximum);
    bar.setValue(value);

    const QImage image = bar.grab().toImage();
    const QColor teal(0x00, 0x80, 0x80);
    const QRect inside = bar.contentsRect();
    const int y = inside.center().y();
    QCOMPARE(image.pixelColor(inside.left() + inside.width() / 4, y) == teal, quarterFilled);
    QCOMPARE(image.pixelColor(inside.left() + inside.width() * 3 / 4, y) == teal,
             threeQuartersFilled);
}

QTEST_MAIN(TestProgressStepper)
#include "tst_progressstepper.moc"
