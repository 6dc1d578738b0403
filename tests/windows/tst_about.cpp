#include "TestSupport.h"
#include "platform/UrlOpener.h"
#include "widgets/LinkLabel.h"
#include "windows/UAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { UrlOpener::setOpener({}); }

    void windowIsFixedWithoutCaptionButtons()
    {
        TfmAbout window;
        QCOMPARE(window.windowTitle(), QStringLiteral("About"));
        QCOMPARE(window.size(), QSize(294, 188));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        for (const Qt::WindowType hint :
             {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
              Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
            QVERIFY(!(flags & hint));
        QVERIFY(window.palette().color(QPalette::Window) !=
                QApplication::palette().color(QPalette::Window));
    }

    void labelsShowTheirTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("version") << "Label1"
                                 << "Tembrel version 1.0.0.9" << QPoint(144, 16);
        QTest::newRow("home page") << "Label6"
                                   << "Home Page:" << QPoint(24, 64);
        QTest::newRow("address") << "Label5" << TfmAbout::homePageAddress() << QPoint(96, 64);
        QTest::newRow("credit") << "Label2"
                                << "The Tembrel developers" << QPoint(16, 96);
        QTest::newRow("e-mail") << "Label3"
                                << "" << QPoint(144, 96);
        QTest::newRow("note") << "Label4"
                              << "" << QPoint(37, 120);
    }

    void labelsShowTheirTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, place);
        TfmAbout window;
        auto* label = window.findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), place);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void controlsHaveTheirLook()
    {
        TfmAbout window;
        QVERIFY(window.Label1->font().bold());
        QVERIFY(!window.Image1->pixmap().isNull());
        QCOMPARE(window.Image1->pixmap().size(), QSize(120, 33));
        QCOMPARE(window.Image1->geometry(), QRect(8, 5, 129, 41));
        QCOMPARE(window.Label4->geometry(), QRect(37, 120, 206, 26));
        QVERIFY(window.Label4->wordWrap());
        QCOMPARE(window.Label5->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(window.Label5->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QVERIFY(window.Label5->geometry().right() < window.width());
        QCOMPARE(window.cxButton1->text(), QStringLiteral("OK"));
        QCOMPARE(window.cxButton1->geometry(), QRect(112, 152, 75, 25));
        QCOMPARE(window.focusWidget(), window.cxButton1);
    }

    void homePageIsTheReadmeBesideTheProgram()
    {
        const QUrl address(TfmAbout::homePageAddress());
        QVERIFY(address.isLocalFile());
        QVERIFY(address.toLocalFile().endsWith(QStringLiteral("/share/doc/tembrel/README.md")));
    }

    void eachClickHandsTheAddressToTheDesktop()
    {
        RecordingMessageService messages;
        QList<QUrl> opened;
        UrlOpener::setOpener([&](const QUrl& url) {
            opened << url;
            return false; // the desktop could not open it: nothing is reported
        });
        TfmAbout window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.Label5, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl(TfmAbout::homePageAddress())});
        QTest::mouseClick(window.Label5, Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.last(), QUrl(window.Label5->text()));
        QVERIFY(window.isVisible());
        QVERIFY(messages.calls.isEmpty());
        QTest::mouseClick(window.Label6, Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
    }

    void okClosesTheWindow()
    {
        TfmAbout window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.cxButton1, Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
