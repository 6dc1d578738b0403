#include "Ufilters.h"

#include "data/Schema.h"
#include "platform/Guarded.h"
#include "widgets/DataGrid.h"
#include "widgets/MemoPopupDelegate.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTableView>

namespace {

// Typed '%', '_' and the escape character itself are searched for, not taken as wildcards.
constexpr QChar kEscape = QLatin1Char('\\');
const int kClientWidth = 645;
const int kClientHeight = 331;
const QRect kGridPlace(0, 24, 645, 308);

// The fields of `qry`: the day of the birth date, then the columns of the contact table.
const TableDef& queryDef()
{
    static const TableDef def = [] {
        TableDef result{Schema::contacts().table, QStringLiteral("qry"), {}, QStringLiteral("id")};
        result.fields.push_back({QStringLiteral("bday"), FieldKind::SmallInt, 0, true});
        for (const FieldDef& field : Schema::contacts().fields)
            if (!field.calculated)
                result.fields.push_back(field);
        return result;
    }();
    return def;
}

} // namespace

QString TfmFilters::openingStatement()
{
    return QStringLiteral("select *, day(rd) as bday from danni");
}

QString TfmFilters::monthStatement()
{
    return openingStatement() + QStringLiteral(" where month(rd)=?");
}

QString TfmFilters::searchStatement()
{
    static const QStringList columns{QStringLiteral("ime"),     QStringLiteral("prezime"),
                                     QStringLiteral("familia"), QStringLiteral("other"),
                                     QStringLiteral("adres"),   QStringLiteral("tel"),
                                     QStringLiteral("tel1"),    QStringLiteral("tel2")};
    QStringList conditions;
    for (const QString& column : columns)
        conditions << QStringLiteral("%1 like ?1 escape '%2'").arg(column, QString(kEscape));
    return openingStatement() + QStringLiteral(" where ") + conditions.join(QStringLiteral(" or "));
}

QVariant TfmFilters::monthParameter(const QString& text)
{
    bool ok = false;
    const int month = text.toInt(&ok);
    return ok ? QVariant(month) : QVariant();
}

QString TfmFilters::searchPattern(const QString& text)
{
    QString pattern = QStringLiteral("%");
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == kEscape)
            pattern += kEscape;
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

TfmFilters::TfmFilters(Connection& ADOConnection1, DataSource& DataSource1, QWidget* parent)
    : QDialog(parent), qry(ADOConnection1, queryDef(), Dataset::Kind::Query), dsqry(qry),
      cxComboBox1(new QComboBox(this)), cxLabel1(new QLabel(QStringLiteral("Look for:"), this)),
      cxTextEdit1(new QLineEdit(this)), m_contacts(DataSource1),
      m_queryId(qry.fieldByName(QStringLiteral("id")).index()),
      m_contactId(DataSource1.dataset().fieldByName(QStringLiteral("id")).index()),
      m_contactName(DataSource1.dataset().fieldByName(QStringLiteral("fullnames")).index())
{
    setObjectName(QStringLiteral("fmFilters"));
    setWindowTitle(QStringLiteral("Filters"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont windowFont = font();
    windowFont.setPointSize(8);
    setFont(windowFont);
    setFixedSize(kClientWidth, kClientHeight);
    dsqry.setObjectName(QStringLiteral("dsqry"));
    dsqry.setAutoEdit(false);

    qry.setSql(openingStatement());
    qry.open();

    cxComboBox1->setObjectName(QStringLiteral("cxComboBox1"));
    cxComboBox1->setEditable(true);
    cxComboBox1->setInsertPolicy(QComboBox::NoInsert);
    cxComboBox1->setCompleter(nullptr);
    cxComboBox1->setMaxVisibleItems(8);
    for (int month = 1; month <= 12; ++month)
        cxComboBox1->addItem(QString::number(month));
    cxComboBox1->setCurrentIndex(-1);
    cxComboBox1->setEditText(QStringLiteral("BirthDay Month Filtering"));
    cxComboBox1->lineEdit()->setCursorPosition(0); // show the text from its start
    cxComboBox1->setGeometry(8, 1, 158, cxComboBox1->sizeHint().height());

    cxLabel1->setObjectName(QStringLiteral("cxLabel1"));
    cxLabel1->move(200, 3);
    cxLabel1->adjustSize();

    cxTextEdit1->setObjectName(QStringLiteral("cxTextEdit1"));
    cxTextEdit1->setGeometry(251, 1, 121, cxTextEdit1->sizeHint().height());

    buildGrid();

    setTabOrder(cxGrid1->view(), cxComboBox1);
    setTabOrder(cxComboBox1, cxTextEdit1);
    cxGrid1->view()->setFocus();

    // Connected only now, so that setting the initial texts runs no statement.
    connect(cxComboBox1, &QComboBox::editTextChanged, this,
            [this] { guarded([this] { cxComboBox1PropertiesChange(); }); });
    connect(cxTextEdit1, &QLineEdit::textChanged, this,
            [this] { guarded([this] { cxTextEdit1PropertiesChange(); }); });
}

void TfmFilters::buildGrid()
{
    std::vector<GridColumn> columns{
        {QStringLiteral("cxGrid1DBTableView1id"), QStringLiteral("ID"), QStringLiteral("id"), 40},
        {QStringLiteral("cxGrid1DBTableView1fullname"), QStringLiteral("Name"),
         QStringLiteral("id"), 216, false,
         [this](int position, const QString&) { return contactName(position); }},
        {QStringLiteral("cxGrid1DBTableView1Column1"), QStringLiteral("Day"),
         QStringLiteral("bday"), 43},
        // Wide enough for a whole "dd.mm.yyyy" date in this platform's font.
        {QStringLiteral("cxGrid1DBTableView1rd"), QStringLiteral("Birth Day"), QStringLiteral("rd"),
         72},
        {QStringLiteral("cxGrid1DBTableView1other"), QStringLiteral("Other"),
         QStringLiteral("other"), 107},
        {QStringLiteral("cxGrid1DBTableView1DBColumn1"), QStringLiteral("Adress"),
         QStringLiteral("adres"), 116}};
    cxGrid1 = new DataGrid(dsqry, std::move(columns), this);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    cxGrid1->view()->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    cxGrid1->view()->setItemDelegateForColumn(4, new MemoPopupDelegate(cxGrid1->view()));
    cxGrid1->setFooterCountColumn(0);
    cxGrid1->setGeometry(kGridPlace);
}

QString TfmFilters::contactName(int position) const
{
    const qint64 id = qint64(qry.numberAt(position, m_queryId));
    return m_contacts.dataset().lookup(m_contactId, id, m_contactName).value_or(QString());
}

void TfmFilters::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The grid keeps its distance to all four sides.
    cxGrid1->setGeometry(
        kGridPlace.adjusted(0, 0, width() - kClientWidth, height() - kClientHeight));
}

void TfmFilters::cxComboBox1PropertiesChange()
{
    qry.setSql(monthStatement(), {monthParameter(cxComboBox1->currentText())});
    qry.open();
}

void TfmFilters::cxTextEdit1PropertiesChange()
{
    const QString text = cxTextEdit1->text();
    qry.setSql(searchStatement(), {searchPattern(text)});
    qry.open();
}
