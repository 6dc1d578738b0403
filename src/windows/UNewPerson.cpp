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
#include <variant>

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

// An editor of the window: the member that holds it, its object name and its field.
template <class Widget> struct Bound {
    Widget* TfmNewPerson::*member;
    const char* name;
    const char* field;
};

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
    using T = TfmNewPerson;
    struct Caption {
        QLabel* T::*member;
        const char* name;
        const char* text;
        QRect geometry;
    };
    struct Editor {
        std::variant<DBTextEdit * T::*, DBDateEdit * T::*, DBMemo * T::*> member;
        const char* name;
        const char* field;
        QRect geometry;
    };
    // Each editor with its caption on the left.
    const std::pair<Caption, Editor> rows[] = {
        {{&T::cxLabel1, "cxLabel1", "First Name", {21, 16, 54, 17}},
         {&T::cxDBTextEdit1, "cxDBTextEdit1", "ime", {80, 15, 121, 24}}},
        {{&T::cxLabel2, "cxLabel2", "Second Name", {3, 42, 72, 17}},
         {&T::cxDBTextEdit2, "cxDBTextEdit2", "prezime", {80, 40, 121, 24}}},
        {{&T::cxLabel3, "cxLabel3", "Last Name", {20, 67, 55, 17}},
         {&T::cxDBTextEdit3, "cxDBTextEdit3", "familia", {80, 65, 121, 24}}},
        {{&T::cxLabel4, "cxLabel4", "Birth Day", {268, 35, 47, 17}},
         {&T::cxDBDateEdit1, "cxDBDateEdit1", "rd", {320, 32, 121, 21}}},
        {{&T::cxLabel5, "cxLabel5", "Adress", {39, 106, 36, 17}},
         {&T::cxDBMemo2, "cxDBMemo2", "adres", {80, 105, 361, 56}}},
        {{&T::cxLabel6, "cxLabel6", "Phone", {40, 178, 35, 17}},
         {&T::cxDBTextEdit4, "cxDBTextEdit4", "tel", {80, 176, 121, 24}}},
        {{&T::cxLabel7, "cxLabel7", "Phone", {40, 202, 35, 17}},
         {&T::cxDBTextEdit5, "cxDBTextEdit5", "tel1", {80, 200, 121, 24}}},
        {{&T::cxLabel8, "cxLabel8", "Phone", {40, 226, 35, 17}},
         {&T::cxDBTextEdit6, "cxDBTextEdit6", "tel2", {80, 224, 121, 24}}},
    };
    for (const auto& [caption, field] : rows) {
        this->*caption.member = label(TabSheet1, caption.name, QString::fromLatin1(caption.text),
                                      caption.geometry, Qt::AlignRight);
        std::visit(
            [&]<class Widget>(Widget* T::*member) {
                this->*member = editor<Widget>(TabSheet1, field.name, field.field, field.geometry);
            },
            field.member);
    }
    Bevel1 = bevel(TabSheet1, "Bevel1", {10, 96, 465, 2}, QFrame::Sunken);
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

    // One line per event, 32 pixels apart: its date under "When", its text under "What", and a
    // thin rule below.
    using T = TfmNewPerson;
    struct Event {
        Bound<DBDateEdit> date;
        Bound<DBTextEdit> text;
        struct {
            QFrame* T::*member;
            const char* name;
        } rule;
    };
    const Event events[] = {
        {{&T::cxDBDateEdit2, "cxDBDateEdit2", "timer1"},
         {&T::cxDBTextEdit7, "cxDBTextEdit7", "ts1"},
         {&T::Bevel2, "Bevel2"}},
        {{&T::cxDBDateEdit3, "cxDBDateEdit3", "timer2"},
         {&T::cxDBTextEdit8, "cxDBTextEdit8", "ts2"},
         {&T::Bevel8, "Bevel8"}},
        {{&T::cxDBDateEdit4, "cxDBDateEdit4", "timer3"},
         {&T::cxDBTextEdit9, "cxDBTextEdit9", "ts3"},
         {&T::Bevel9, "Bevel9"}},
        {{&T::cxDBDateEdit5, "cxDBDateEdit5", "timer4"},
         {&T::cxDBTextEdit10, "cxDBTextEdit10", "ts4"},
         {&T::Bevel3, "Bevel3"}},
    };
    int top = 56;
    for (const auto& [date, text, rule] : events) {
        this->*date.member = editor<DBDateEdit>(p, date.name, date.field, {40, top, 121, 24});
        this->*text.member = editor<DBTextEdit>(p, text.name, text.field, {232, top, 193, 24});
        this->*rule.member = bevel(p, rule.name, {32, top + 27, 410, 1}, QFrame::Plain);
        top += 32;
    }
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
