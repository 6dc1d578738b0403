#include "UAbout.h"

#include "platform/Guarded.h"
#include "platform/UrlOpener.h"
#include "widgets/LinkLabel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace {

// Where the README lies relative to the program, in the build tree and when installed.
const char* const kReadmeFromProgram = "../share/doc/tembrel/README.md";
// The colour of the text of inactive caption bars on the desktop the window was drawn for.
const QColor kBackground(216, 228, 248);
const char* const kFlatButtonStyle =
    "QPushButton { border: 1px solid #7f9db9; background: #f4f7fc; }"
    "QPushButton:hover { border-color: #316ac5; background: #c1d2ee; }"
    "QPushButton:pressed { background: #98b5e2; }"
    "QPushButton:focus { border-color: #316ac5; }";

} // namespace

QString TfmAbout::homePageAddress()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    return QUrl::fromLocalFile(
               QDir::cleanPath(programDir.absoluteFilePath(QLatin1String(kReadmeFromProgram))))
        .toString();
}

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent)
{
    // The pictures live in the core library, a static one: register them before their use.
    Q_INIT_RESOURCE(tembrel);
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("About"));
    // A caption bar with the title only: no system menu and no buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(294, 188);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = addLabel("Image1", QString(), {8, 5});
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo.gif")));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setFixedSize(129, 41);

    Label1 = addLabel("Label1", QStringLiteral("Tembrel version 1.0.0.9"), {144, 16});
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->adjustSize();

    Label6 = addLabel("Label6", QStringLiteral("Home Page:"), {24, 64});

    Label5 = new LinkLabel(homePageAddress(), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->move(96, 64);
    Label5->setMaximumWidth(width() - 96 - 4);
    Label5->adjustSize();
    connect(Label5, &LinkLabel::clicked, this, [this] { guarded([this] { Label5Click(); }); });

    Label2 = addLabel("Label2", QStringLiteral("The Tembrel developers"), {16, 96});
    Label3 = addLabel("Label3", QString(), {144, 96});

    Label4 = addLabel("Label4", QString(), {37, 120});
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setFixedSize(206, 26);

    cxButton1 = new QPushButton(QStringLiteral("OK"), this);
    cxButton1->setObjectName(QStringLiteral("cxButton1"));
    cxButton1->setGeometry(112, 152, 75, 25);
    cxButton1->setStyleSheet(QLatin1String(kFlatButtonStyle));
    cxButton1->setDefault(true);
    cxButton1->setFocus();
    connect(cxButton1, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* TfmAbout::addLabel(const char* name, const QString& text, const QPoint& place)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->move(place);
    label->adjustSize();
    return label;
}

void TfmAbout::Label5Click()
{
    UrlOpener::open(QUrl(Label5->text()));
}
