#include "Utembrel.h"

#include "ReminderScan.h"
#include "data/FullName.h"
#include "data/Schema.h"
#include "platform/Guarded.h"
#include "platform/MessageService.h"
#include "platform/ModalRunner.h"
#include "widgets/ShadowProgressBar.h"
#include "windows/UAbout.h"
#include "windows/ULoans.h"
#include "windows/UNewPerson.h"
#include "windows/Ufilters.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <memory>

TFtembrel::TFtembrel(QWidget* parent)
    : QMainWindow(parent), tbldanni(ADOConnection1, Schema::contacts()),
      tblzaemi(ADOConnection1, Schema::loans()), DataSource1(tbldanni), dsZaemi(tblzaemi)
{
    setObjectName(QStringLiteral("Ftembrel"));
    setWindowTitle(QStringLiteral("Tembrel"));
    ADOConnection1.setObjectName(QStringLiteral("ADOConnection1"));
    DataSource1.setObjectName(QStringLiteral("DataSource1"));
    dsZaemi.setObjectName(QStringLiteral("dsZaemi"));
    tbldanni.setCalcFieldsHandler(tbldanniCalcFields);
    auto* face = new QWidget(this);
    setCentralWidget(face);
    Memo1 = new QPlainTextEdit(face);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    ProgressBar1 = new ShadowProgressBar(face);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(50);
    Label2 = new QLabel(QStringLiteral("0"), face);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = new QLabel(QStringLiteral("0"), face);
    Label4->setObjectName(QStringLiteral("Label4"));
    move(204, 123);
    resize(688, 446);
    connect(&DataSource1, &DataSource::dataChange, this,
            [this](const Field* field) { guarded([&] { DataSource1DataChange(field); }); });
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

void TFtembrel::DataSource1DataChange(const Field*) {}
