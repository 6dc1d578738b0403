#include "UNewPerson.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBMemo.h"
#include "widgets/DBTextEdit.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace {

// A label at its place. A caption beside an editor keeps its right edge (five pixels left of
// the editor) when the text needs more room than planned; a heading keeps its left edge.
QLabel* label(QWidget* page, const char* name, const QString& text, QRect geometry,
              Qt::Alignment side)
{
    auto* label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(side | Qt::AlignVCenter);
    const int needed = label->sizeHint().width();
    if (needed > geometry.width()) {
        if (side & Qt::AlignRight)
            geometry.setLeft(geometry.right() + 1 - needed);
        else
            geometry.setWidth(needed);
    }
    label->setGeometry(geometry);
    return label;
}

// A separator line, horizontal or vertical after its shape.
QFrame* bevel(QWidget* page, const char* name, const QRect& geometry, QFrame::Shadow shadow)
{
    auto* line = new QFrame(page);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(geometry.width() >= geometry.height() ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(shadow);
    if (shadow == QFrame::Plain)
        line->setForegroundRole(QPalette::Mid); // a thin grey rule, not a black one
    line->setGeometry(geometry);
    return line;
}

QWidget* page(QTabWidget* pages, const char* name, const QString& caption)
{
    auto* sheet = new QWidget(pages);
    sheet->setObjectName(QLatin1String(name));
    pages->addTab(sheet, caption);
    return sheet;
}

} // namespace

TfmNewPerson::TfmNewPerson(DataSource& DataSource1, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_contacts(DataSource1)
{
    setObjectName(QStringLiteral("fmNewPerson"));
    setWindowTitle(QStringLiteral("New Person"));
    QFont windowFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(512, 370);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 497, 321);
    PageControl1->setTabPosition(QTabWidget::South);
    TabSheet1 = page(PageControl1, "TabSheet1", QStringLiteral("Private info"));
    TabSheet2 = page(PageControl1, "TabSheet2", QStringLiteral("Add Info"));
    TabSheet3 = page(PageControl1, "TabSheet3", QStringLiteral("Timers"));
    PageControl1->setCurrentIndex(0);

    cxButton1 = new QPushButton(QStringLiteral("OK"), this);
    cxButton1->setObjectName(QStringLiteral("cxButton1"));
    cxButton1->setGeometry(430, 340, 75, 25);
    // Enter in an editor must not close the window.
    cxButton1->setAutoDefault(false);
    cxButton1->setDefault(false);
    connect(cxButton1, &QPushButton::clicked, this, &TfmNewPerson::okClicked);

    buildPrivateInfo();
    buildAddInfo();
    buildTimers();
    setFocusOrder();
    // At opening the focus is on the page tabs, not in an editor.
    PageControl1->tabBar()->setFocus();
    FormCreate();
}

template <class Editor>
Editor* TfmNewPerson::editor(QWidget* page, const char* name, const char* field,
                             const QRect& geometry)
{
    auto* editor = new Editor(page);
    editor->setObjectName(QLatin1String(name));
    editor->setGeometry(geometry);
    editor->bind(&m_contacts, QLatin1String(field));
    return editor;
}

void TfmNewPerson::buildPrivateInfo()
{
    QWidget* p = TabSheet1;
    const Qt::Alignment caption = Qt::AlignRight;
    cxLabel1 = label(p, "cxLabel1", QStringLiteral("First Name"), {21, 16, 54, 17}, caption);
    cxDBTextEdit1 = editor<DBTextEdit>(p, "cxDBTextEdit1", "ime", {80, 15, 121, 24});
    cxLabel2 = label(p, "cxLabel2", QStringLiteral("Second Name"), {3, 42, 72, 17}, caption);
    cxDBTextEdit2 = editor<DBTextEdit>(p, "cxDBTextEdit2", "prezime", {80, 40, 121, 24});
    cxLabel3 = label(p, "cxLabel3", QStringLiteral("Last Name"), {20, 67, 55, 17}, caption);
    cxDBTextEdit3 = editor<DBTextEdit>(p, "cxDBTextEdit3", "familia", {80, 65, 121, 24});
    cxLabel4 = label(p, "cxLabel4", QStringLiteral("Birth Day"), {268, 35, 47, 17}, caption);
    cxDBDateEdit1 = editor<DBDateEdit>(p, "cxDBDateEdit1", "rd", {320, 32, 121, 21});
    Bevel1 = bevel(p, "Bevel1", {10, 96, 465, 2}, QFrame::Sunken);
    cxLabel5 = label(p, "cxLabel5", QStringLiteral("Adress"), {39, 106, 36, 17}, caption);
    cxDBMemo2 = editor<DBMemo>(p, "cxDBMemo2", "adres", {80, 105, 361, 56});
    cxLabel6 = label(p, "cxLabel6", QStringLiteral("Phone"), {40, 178, 35, 17}, caption);
    cxDBTextEdit4 = editor<DBTextEdit>(p, "cxDBTextEdit4", "tel", {80, 176, 121, 24});
    cxLabel7 = label(p, "cxLabel7", QStringLiteral("Phone"), {40, 202, 35, 17}, caption);
    cxDBTextEdit5 = editor<DBTextEdit>(p, "cxDBTextEdit5", "tel1", {80, 200, 121, 24});
    cxLabel8 = label(p, "cxLabel8", QStringLiteral("Phone"), {40, 226, 35, 17}, caption);
    cxDBTextEdit6 = editor<DBTextEdit>(p, "cxDBTextEdit6", "tel2", {80, 224, 121, 24});
}

void TfmNewPerson::buildAddInfo()
{
    cxLabel9 =
        label(TabSheet2, "cxLabel9", QStringLiteral("Other Info :"), {8, 8, 61, 17}, Qt::AlignLeft);
    cxDBMemo1 = editor<DBMemo>(TabSheet2, "cxDBMemo1", "other", {8, 26, 473, 257});
}

void TfmNewPerson::buildTimers()
{
    QWidget* p = TabSheet3;
    Label1 = label(p, "Label1", QStringLiteral("When"), {64, 32, 29, 13}, Qt::AlignLeft);
    Label2 = label(p, "Label2", QStringLiteral("What"), {240, 32, 26, 13}, Qt::AlignLeft);
    Bevel6 = bevel(p, "Bevel6", {32, 48, 409, 2}, QFrame::Sunken);
    Bevel7 = bevel(p, "Bevel7", {196, 24, 2, 177}, QFrame::Sunken);
    cxDBDateEdit2 = editor<DBDateEdit>(p, "cxDBDateEdit2", "timer1", {40, 56, 121, 24});
    cxDBTextEdit7 = editor<DBTextEdit>(p, "cxDBTextEdit7", "ts1", {232, 56, 193, 24});
    Bevel2 = bevel(p, "Bevel2", {32, 83, 410, 1}, QFrame::Plain);
    cxDBDateEdit3 = editor<DBDateEdit>(p, "cxDBDateEdit3", "timer2", {40, 88, 121, 24});
    cxDBTextEdit8 = editor<DBTextEdit>(p, "cxDBTextEdit8", "ts2", {232, 88, 193, 24});
    Bevel8 = bevel(p, "Bevel8", {32, 115, 410, 1}, QFrame::Plain);
    cxDBDateEdit4 = editor<DBDateEdit>(p, "cxDBDateEdit4", "timer3", {40, 120, 121, 24});
    cxDBTextEdit9 = editor<DBTextEdit>(p, "cxDBTextEdit9", "ts3", {232, 120, 193, 24});
    Bevel9 = bevel(p, "Bevel9", {32, 147, 410, 1}, QFrame::Plain);
    cxDBDateEdit5 = editor<DBDateEdit>(p, "cxDBDateEdit5", "timer4", {40, 152, 121, 24});
    cxDBTextEdit10 = editor<DBTextEdit>(p, "cxDBTextEdit10", "ts4", {232, 152, 193, 24});
    Bevel3 = bevel(p, "Bevel3", {32, 179, 410, 1}, QFrame::Plain);
}

void TfmNewPerson::setFocusOrder()
{
    // The page tabs, the editors of each page in their order (the Birth Day editor last on its
    // page, the Timers page down "When" then down "What"), then OK.
    const QList<QWidget*> order{PageControl1,  cxDBTextEdit1,  cxDBTextEdit2, cxDBTextEdit3,
                                cxDBMemo2,     cxDBTextEdit4,  cxDBTextEdit5, cxDBTextEdit6,
                                cxDBDateEdit1, cxDBMemo1,      cxDBDateEdit2, cxDBDateEdit3,
                                cxDBDateEdit4, cxDBDateEdit5,  cxDBTextEdit7, cxDBTextEdit8,
                                cxDBTextEdit9, cxDBTextEdit10, cxButton1};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfmNewPerson::FormCreate()
{
    const QString format = DateFormats::shortDateFormat();
    for (DBDateEdit* dateEditor :
         {cxDBDateEdit1, cxDBDateEdit2, cxDBDateEdit3, cxDBDateEdit4, cxDBDateEdit5})
        dateEditor->setDateFormat(format);
}

void TfmNewPerson::cxButton1Click()
{
    setResult(QDialog::Accepted);
    m_contacts.dataset().refresh();
}

void TfmNewPerson::okClicked()
{
    // The window closes with OK also when the save fails: the record then stays pending with
    // what was typed, and the error has been shown.
    guarded([this] { cxButton1Click(); });
    done(QDialog::Accepted);
}

void TfmNewPerson::keyPressEvent(QKeyEvent* event)
{
    // The window has no cancel path: Escape does not close it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfmNewPerson::closeEvent(QCloseEvent* event)
{
    // Closing by the window manager works as OK, so nothing typed is left pending unnoticed.
    event->accept();
    if (isVisible())
        okClicked();
}
