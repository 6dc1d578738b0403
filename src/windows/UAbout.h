#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class QPushButton;

// The about window: the logo, the version, the home page link and the credit.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);

    // The home page: the README installed with the program, as a file: address.
    static QString homePageAddress();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label6;
    LinkLabel* Label5;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* cxButton1;

    // Opens the home page in the desktop's browser; a failure is not reported.
    void Label5Click();

private:
    QLabel* addLabel(const char* name, const QString& text, const QPoint& place);
};
