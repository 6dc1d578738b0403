#include "Utembrel.h"

#include "DetailsPanel.h"
#include "ReminderScan.h"
#include "StatusClock.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "platform/DateFormat.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"
#include "platform/ModalRunner.h"
#include "widgets/AnchorLayout.h"
#include "widgets/DataGrid.h"
#include "widgets/IncrementalSearch.h"
#include "widgets/ShadowProgressBar.h"
#include "windows/UAbout.h"
#include "windows/ULoans.h"
#include "windows/UNewPerson.h"
#include "windows/Ufilters.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <memory>

// Resources of a static library are registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(tembrel);
}

namespace {

const QColor kTeal(0, 128, 128);
const QColor kRed(255, 0, 0);
const QSize kClientSize(688, 446);

// Foreground (and optionally background) colour of a widget through its palette.
void setColors(QWidget* widget, const QColor& text, const QColor& background = {})
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background.isValid()) {
        palette.setColor(QPalette::Window, background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

// The font here may be wider than the one the box was laid out for: a caption then grows to
// the left, so that it still ends where its figure begins.
QRect captionRect(const QLabel* label, QRect design)
{
    design.setLeft(design.right() + 1 - qMax(design.width(), label->sizeHint().width()));
    return design;
}

QLabel* createLabel(const QString& objectName, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

TFtembrel::TFtembrel(QWidget* parent)
    : QMainWindow(parent), tbldanni(ADOConnection1, Schema::contacts()),
      tblzaemi(ADOConnection1, Schema::loans()), DataSource1(tbldanni), dsZaemi(tblzaemi),
      ImageList1((initResources(), QStringLiteral(":/icons/icon%1.png")), 12, QSize(16, 16)),
      m_contactChanges(DataSource1, [this](const Field* field) {
          guarded([&] { DataSource1DataChange(field); });
      })
{
    setObjectName(QStringLiteral("Ftembrel"));
    setWindowTitle(QStringLiteral("Tembrel"));
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    ADOConnection1.setObjectName(QStringLiteral("ADOConnection1"));
    DataSource1.setObjectName(QStringLiteral("DataSource1"));
    dsZaemi.setObjectName(QStringLiteral("dsZaemi"));
    tbldanni.setCalcFieldsHandler(tbldanniCalcFields);

    auto* face = new QWidget(this);
    face->setObjectName(QStringLiteral("face"));
    face->setBackgroundRole(QPalette::Button);
    face->setAutoFillBackground(true);
    setCentralWidget(face);
    createControls(face);
    layOutControls(face);
    move(204, 123);
    resize(kClientSize);

    connect(cxGrid1, &DataGrid::cellClicked, this,
            [this] { guarded([this] { cxGrid1DBTableView1CellClick(); }); });
}

void TFtembrel::createControls(QWidget* face)
{
    createToolBar();
    ActionToolBar1->setParent(face);
    createContactList(face);

    Memo1 = new QPlainTextEdit(face);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);

    ProgressBar1 = new ShadowProgressBar(face);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(50);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setFormat(QStringLiteral("%p%"));
    ProgressBar1->setAlignment(Qt::AlignCenter);

    createLoansBox(face);
    createStatusBar(face);

    Image1 = new QLabel(face);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo.gif")));

    setTabOrder(cxGrid1->view(), Memo1);
    cxGrid1->view()->setFocus();
}

void TFtembrel::createToolBar()
{
    ActionToolBar1 = new QToolBar(this);
    ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
    ActionToolBar1->setMovable(false);
    ActionToolBar1->setFloatable(false);
    ActionToolBar1->setIconSize(ImageList1.size());
    ActionToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ActionToolBar1->setContentsMargins(0, 0, 0, 0);
    ActionToolBar1->setStyleSheet(QStringLiteral(
        "QToolBar { border: none; border-bottom: 1px solid palette(mid); spacing: 0px;"
        " padding: 0px; background: palette(button); }"
        "QToolBar::separator { width: 4px; }"
        "QToolButton { border: 1px solid transparent; padding: 1px; }"
        "QToolButton:hover { background: rgb(247, 246, 238); border-color: palette(mid); }"
        "QToolButton:pressed { background: palette(button); }"));

    struct Command {
        QAction*& action;
        const char* name;
        const char* toolbarCaption; // "&" marks the underlined letter
        const char* caption;
        int icon;
        void (TFtembrel::*handler)();
    };
    const Command commands[] = {
        {Action1, "Action1", "&New Contact", "New Contact", 4, &TFtembrel::Action1Execute},
        {Action7, "Action7", "E&dit", "Edit", 6, &TFtembrel::Action7Execute},
        {Action6, "Action6", "De&lete", "Delete", 5, &TFtembrel::Action6Execute},
        {Action5, "Action5", "L&oans", "Loans", 1, &TFtembrel::Action5Execute},
        {Action8, "Action8", "&Filters", "Filters", 11, &TFtembrel::Action8Execute},
        {Action3, "Action3", "&Check events", "Check events", 2, &TFtembrel::Action3Execute},
        {Action4, "Action4", "&About", "About", 0, &TFtembrel::Action4Execute},
        {Action2, "Action2", "&Exit", "Exit", 3, &TFtembrel::Action2Execute},
    };
    for (const Command& command : commands) {
        if (!ActionToolBar1->actions().isEmpty())
            ActionToolBar1->addSeparator();
        command.action =
            new QAction(ImageList1.icon(command.icon), QString::fromLatin1(command.caption), this);
        command.action->setObjectName(QString::fromLatin1(command.name));
        command.action->setIconText(QString::fromLatin1(command.toolbarCaption));
        ActionToolBar1->addAction(command.action);
        connect(command.action, &QAction::triggered, this,
                [this, handler = command.handler] { guarded([&] { (this->*handler)(); }); });
    }
}

void TFtembrel::createContactList(QWidget* face)
{
    cxGrid1 = new DataGrid(DataSource1,
                           {{QStringLiteral("cxGrid1DBTableView1DBColumn1"), QStringLiteral("ID"),
                             QStringLiteral("id"), 30},
                            {QStringLiteral("cxGrid1DBTableView1DBColumn2"), QStringLiteral("Name"),
                             QStringLiteral("fullnames"), 250}},
                           face);
    cxGrid1->setObjectName(QStringLiteral("cxGrid1"));
    QTableView* view = cxGrid1->view();
    view->setObjectName(QStringLiteral("cxGrid1DBTableView1"));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFrameShape(QFrame::Box);
    view->horizontalHeader()->setSectionsMovable(false);
    view->horizontalHeader()->setHighlightSections(false);
    // The selected row keeps its colours also while the list has no keyboard focus.
    QPalette palette = view->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, kTeal);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    view->setPalette(palette);
    cxGrid1->setFooterCountColumn(0);
    cxGrid1->setFooterColors(kTeal, Qt::white);
    cxGrid1->setFocusColumn(1);
    new IncrementalSearch(view, 1, kRed);
}

void TFtembrel::createLoansBox(QWidget* face)
{
    GroupBox1 = new QGroupBox(QStringLiteral("Loans"), face);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = createLabel(QStringLiteral("Label1"), QStringLiteral("Current :"), GroupBox1);
    Label2 = createLabel(QStringLiteral("Label2"), QStringLiteral("0"), GroupBox1);
    Label3 = createLabel(QStringLiteral("Label3"), QStringLiteral("Total:"), GroupBox1);
    Label4 = createLabel(QStringLiteral("Label4"), QStringLiteral("0"), GroupBox1);
    setColors(Label2, kTeal);
    setColors(Label4, kRed);
}

void TFtembrel::createStatusBar(QWidget* face)
{
    LMDStatusBar1 = new QFrame(face);
    LMDStatusBar1->setObjectName(QStringLiteral("LMDStatusBar1"));
    LMDStatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LMDInformationLabel1 = createLabel(QStringLiteral("LMDInformationLabel1"), {}, LMDStatusBar1);
    LMDInformationLabel1->setAlignment(Qt::AlignCenter);
    LMDInformationLabel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    LMDInformationLabel1->setAutoFillBackground(true);
    new StatusClock(LMDInformationLabel1, FormatSettings::fromLocale(QLocale::system()));
}

void TFtembrel::layOutControls(QWidget* face)
{
    using A = AnchorLayout;
    auto* layout = new AnchorLayout(face, kClientSize);
    layout->addWidget(ActionToolBar1, {0, 0, 688, 27}, A::Left | A::Top | A::Right);
    layout->addWidget(cxGrid1, {10, 28, 305, 393}, A::Left | A::Top | A::Bottom);
    layout->addWidget(Memo1, {352, 40, 313, 241});
    layout->addWidget(ProgressBar1, {352, 288, 313, 21});
    layout->addWidget(GroupBox1, {360, 320, 305, 65});
    layout->addWidget(LMDStatusBar1, {0, 427, 688, 19}, A::Left | A::Right | A::Bottom);
    layout->addWidget(Image1, {571, 392, 113, 35}, A::Right | A::Bottom);

    auto* loans = new AnchorLayout(GroupBox1, GroupBox1->size().expandedTo({305, 65}));
    loans->addWidget(Label1, captionRect(Label1, {32, 24, 40, 13}));
    loans->addWidget(Label2, {72, 24, 6, 13}, A::Left | A::Top, true);
    loans->addWidget(Label3, captionRect(Label3, {180, 24, 27, 13}));
    loans->addWidget(Label4, {208, 24, 6, 13}, A::Left | A::Top, true);

    auto* statusBar = new AnchorLayout(LMDStatusBar1, {688, 19});
    statusBar->addWidget(LMDInformationLabel1, {1, 1, 190, 17}, A::Left | A::Top | A::Bottom);
}

TFtembrel::~TFtembrel()
{
    // A row still pending at the end is dropped, not written.
    tbldanni.close();
    tblzaemi.close();
    ADOConnection1.close();
}

void TFtembrel::loadDatabase(const std::function<void()>& betweenTables)
{
    guarded([this] { ADOConnection1.open(); });
    guarded([this] { tbldanni.open(); });
    if (betweenTables)
        betweenTables();
    guarded([this] { tblzaemi.open(); });
}

bool TFtembrel::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_activatedOnce) {
        m_activatedOnce = true;
        QTimer::singleShot(0, this, [this] { guarded([this] { FormActivate(); }); });
    }
    return QMainWindow::event(event);
}

template <class Window, class... Args> void TFtembrel::showSecondaryWindow(Args&... args)
{
    const auto window = std::make_unique<Window>(args..., this);
    ModalRunner::run(*window);
}

void TFtembrel::Action1Execute()
{
    tbldanni.append();
    showSecondaryWindow<TfmNewPerson>(DataSource1);
}

void TFtembrel::Action2Execute()
{
    close();
}

void TFtembrel::Action3Execute()
{
    FormActivate();
}

void TFtembrel::Action4Execute()
{
    showSecondaryWindow<TfmAbout>();
}

void TFtembrel::Action5Execute()
{
    showSecondaryWindow<TfmLoans>(DataSource1, dsZaemi);
}

void TFtembrel::Action6Execute()
{
    if (MessageService::instance().confirm(QStringLiteral("Deleting person,are you sure?")))
        tbldanni.deleteRecord();
}

void TFtembrel::Action7Execute()
{
    showSecondaryWindow<TfmNewPerson>(DataSource1);
}

void TFtembrel::Action8Execute()
{
    showSecondaryWindow<TfmFilters>(ADOConnection1, DataSource1);
}

void TFtembrel::FormActivate()
{
    ReminderScan(tbldanni, tblzaemi, *ProgressBar1, *Label4, Scanning).run();
}

void TFtembrel::DataSource1DataChange(const Field*)
{
    // The loan table opens after the contact table; the scan walks the contacts without it.
    if (!tblzaemi.isActive() || Scanning)
        return;
    rebuildDetails();
}

void TFtembrel::cxGrid1DBTableView1CellClick()
{
    rebuildDetails();
}

void TFtembrel::rebuildDetails()
{
    Memo1->clear();
    Memo1->setPlainText(
        detailsPanelText(readContactDetails(tbldanni), DateFormats::shortDateFormat()));
    Label4->setText(QString::number(tblzaemi.recordCount()));
    tblzaemi.setFilter(QString());
    const qint64 id = tbldanni.fieldByName(QStringLiteral("id")).asInteger();
    tblzaemi.setFilter(QStringLiteral("client_ID=") + QString::number(id));
    tblzaemi.setFiltered(true);
    Label2->setText(QString::number(tblzaemi.recordCount()));
    tblzaemi.setFiltered(false);
}
