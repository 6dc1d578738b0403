#include "ULoans.h"

#include "data/DataSource.h"
#include "data/Dataset.h"
#include "data/DateTimeValue.h"
#include "platform/Clock.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"
#include "widgets/DBText.h"
#include "widgets/DataGrid.h"
#include "widgets/MaskedDateDelegate.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

const QSize kDesignSize(666, 368);

QPushButton* makeButton(const char* name, const char* text, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in the grid must not close the window or run a command.
    button->setAutoDefault(false);
    return button;
}

// The separator the program's short date format puts between day and month: the masked cells
// show the dates as the grid does.
QChar shortDateSeparator()
{
    const QString sample = formatDateTime(DateFormats::shortDateFormat(),
                                          DateTimeValue::fromDateTime(QDate(2001, 11, 22)));
    for (QChar c : sample)
        if (!c.isDigit())
            return c;
    return QLatin1Char('.');
}

} // namespace

TfmLoans::TfmLoans(DataSource& DataSource1, DataSource& dsZaemi, QWidget* parent)
    : QDialog(parent), m_contacts(DataSource1), m_loans(dsZaemi)
{
    setObjectName(QStringLiteral("fmLoans"));
    setWindowTitle(QStringLiteral("Loans"));
    resize(kDesignSize);
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);

    DBText1 = new DBText(this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->setGeometry(8, 8, 273, 17);
    QFont bold = DBText1->font();
    bold.setBold(true);
    DBText1->setFont(bold);
    DBText1->setStyleSheet(QStringLiteral("color: #008080"));
    DBText1->bind(&m_contacts, QStringLiteral("fullnames"));

    Label1 = new QLabel(QStringLiteral("Total :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(552, 8, 30, 13);
    Label1->adjustSize(); // the text is wider than 30 pixels in fonts other than the old one

    Label2 = new QLabel(QStringLiteral("0"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(QStringLiteral("color: #ff0000"));
    Label2->move(592, 8);
    Label2->adjustSize();

    cxGrid1 = createGrid();

    cxButton1 = makeButton("cxButton1", "Close", this);
    cxButton2 = makeButton("cxButton2", "New", this);
    cxButton3 = makeButton("cxButton3", "Delete", this);
    cxButton4 = makeButton("cxButton4", "Show All", this);
    setTabOrder(cxButton1, cxButton2);
    setTabOrder(cxButton2, cxButton3);
    setTabOrder(cxButton3, cxGrid1->view());
    setTabOrder(cxGrid1->view(), cxButton4);
    cxButton1->setFocus();

    connect(cxButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(cxButton2, &QPushButton::clicked, this,
            [this] { guarded([this] { cxButton2Click(); }); });
    connect(cxButton3, &QPushButton::clicked, this,
            [this] { guarded([this] { cxButton3Click(); }); });
    connect(cxButton4, &QPushButton::clicked, this,
            [this] { guarded([this] { cxButton4Click(); }); });
}

TfmLoans::~TfmLoans()
{
    guarded([this] { FormDestroy(); });
}

DataGrid* TfmLoans::createGrid()
{
    Dataset& loans = m_loans.dataset();
    Field& lent = loans.fieldByName(QStringLiteral("date_zaem"));
    Field& back = loans.fieldByName(QStringLiteral("date_back"));
    const QChar separator = shortDateSeparator();
    std::vector<GridColumn> columns{
        {QStringLiteral("cxGrid1DBTableView1DBColumn1"), QStringLiteral("What"),
         QStringLiteral("what"), 340, true},
        {QStringLiteral("cxGrid1DBTableView1DBColumn3"),
         QStringLiteral("When"),
         QStringLiteral("date_zaem"),
         72,
         true,
         {},
         [&lent, separator](const QString& text) { MaskedDate::write(lent, text, separator); },
         DateFormats::shortDateFormat()},
        {QStringLiteral("cxGrid1DBTableView1DBColumn4"),
         QStringLiteral("Date Back"),
         QStringLiteral("date_back"),
         71,
         true,
         {},
         [&back, separator](const QString& text) { MaskedDate::write(back, text, separator); }},
        {QStringLiteral("cxGrid1DBTableView1DBColumn2"), QStringLiteral("person"),
         QStringLiteral("client_ID"), 170, false,
         [this](int, const QString& clientId) { return personName(clientId); }},
    };
    auto* grid = new DataGrid(m_loans, std::move(columns), this);
    grid->setObjectName(QStringLiteral("cxGrid1"));
    grid->setGeometry(0, 31, 667, 303);
    QTableView* view = grid->view();
    view->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    view->setTabKeyNavigation(false);
    view->setStyleSheet(QStringLiteral("QTableView { gridline-color: %1 }")
                            .arg(palette().color(QPalette::Active, QPalette::Highlight).name()));
    auto* dates = new MaskedDateDelegate(separator, grid);
    view->setItemDelegateForColumn(1, dates);
    view->setItemDelegateForColumn(2, dates);
    return grid;
}

qint64 TfmLoans::contactId() const
{
    return m_contacts.dataset().fieldByName(QStringLiteral("id")).asInteger();
}

QString TfmLoans::contactName() const
{
    return m_contacts.dataset().fieldByName(QStringLiteral("fullnames")).asString();
}

QString TfmLoans::personName(const QString& clientId) const
{
    bool ok = false;
    const qint64 id = clientId.toLongLong(&ok);
    if (!ok)
        return {};
    Dataset& contacts = m_contacts.dataset();
    return contacts
        .lookup(contacts.fieldByName(QStringLiteral("id")).index(), id,
                contacts.fieldByName(QStringLiteral("fullnames")).index())
        .value_or(QString());
}

void TfmLoans::showCount()
{
    Label2->setText(QString::number(m_loans.dataset().recordCount()));
    Label2->adjustSize();
}

void TfmLoans::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        guarded([this] { FormActivate(); });
    }
}

void TfmLoans::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int dx = width() - kDesignSize.width();
    const int dy = height() - kDesignSize.height();
    cxGrid1->setGeometry(0, 31, 667 + dx, 303 + dy);
    cxButton1->setGeometry(580 + dx, 338 + dy, 75, 25);
    cxButton2->setGeometry(9, 338 + dy, 75, 25);
    cxButton3->setGeometry(89, 338 + dy, 75, 25);
    cxButton4->setGeometry(321, 338 + dy, 75, 25);
}

void TfmLoans::done(int result)
{
    guarded([this] { cxGrid1->commitEditor(); });
    QDialog::done(result);
}

void TfmLoans::FormActivate()
{
    Dataset& loans = m_loans.dataset();
    loans.setFilter(QStringLiteral("client_ID=") + QString::number(contactId()));
    loans.setFiltered(true);
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + contactName());
    showCount();
}

void TfmLoans::cxButton2Click()
{
    Dataset& loans = m_loans.dataset();
    loans.append();
    loans.fieldByName(QStringLiteral("client_ID")).setAsInteger(contactId());
    loans.fieldByName(QStringLiteral("date_zaem"))
        .setAsDateTime(DateTimeValue::fromQDateTime(Clock::now()));
    showCount();
}

void TfmLoans::cxButton3Click()
{
    if (MessageService::instance().confirm(QStringLiteral("You're about DELETING current row?")))
        m_loans.dataset().deleteRecord();
    showCount();
}

void TfmLoans::cxButton4Click()
{
    Dataset& loans = m_loans.dataset();
    if (cxButton4->text() == QLatin1String("Show All")) {
        loans.setFiltered(false);
        cxButton4->setText(QStringLiteral("Filtered"));
    } else {
        loans.setFiltered(true);
        cxButton4->setText(QStringLiteral("Show All"));
    }
    showCount();
}

void TfmLoans::FormDestroy()
{
    // Saving first also keeps a row edited while all loans were shown; switching the filter off
    // would save it only while filtered.
    Dataset& loans = m_loans.dataset();
    loans.finishPending();
    loans.setFiltered(false);
}
