#include "ContactStore.h"
#include "DemoCommands.h"
#include "ExchangeCommands.h"
#include "TestSupport.h"
#include "VCard.h"
#include "data/DateTimeValue.h"
#include "data/SqliteStatement.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

// Readable failure output for contact comparisons.
char* toString(const ContactRecord& contact)
{
    QStringList parts{contact.first, contact.second,
                      contact.last,  DateTimeValue::toStorageText(contact.birthDate),
                      contact.notes, contact.address};
    for (const QString& phone : contact.phones)
        parts << phone;
    for (const ContactEvent& event : contact.events)
        parts << DateTimeValue::toStorageText(event.date) + QLatin1Char(' ') + event.text;
    return qstrdup(parts.join(QLatin1Char('|')).toUtf8().constData());
}

namespace {

double date(int year, int month, int day, QTime time = QTime(0, 0))
{
    return DateTimeValue::fromDateTime(QDate(year, month, day), time);
}

QByteArray fixture(const char* name)
{
    QFile file(qEnvironmentVariable("TEMBREL_SOURCE_DIR") + QStringLiteral("/tests/tools/data/") +
               QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

QByteArray card(const QByteArray& version, const QByteArray& body)
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + body + "END:VCARD\r\n";
}

// The one contact of a text that must hold exactly one readable card.
ContactRecord single(const QByteArray& text)
{
    const VCard::ParseResult result = VCard::parse(text);
    for (const VCard::Problem& problem : result.problems)
        qWarning("line %d: %s", problem.line, qPrintable(problem.message));
    if (result.contacts.size() != 1 || !result.problems.empty())
        qFatal("expected one readable card");
    return result.contacts.front();
}

QString normalisedLineBreaks(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// What a contact looks like after a trip through a file: every line break is "\n".
ContactRecord afterTrip(ContactRecord contact)
{
    contact.id = 0;
    contact.notes = normalisedLineBreaks(contact.notes);
    contact.address = normalisedLineBreaks(contact.address);
    return contact;
}

ContactRecord trickyContact()
{
    ContactRecord contact;
    contact.first = QStringLiteral("Иван");
    contact.second = QStringLiteral("Сергеевич");
    contact.last = QStringLiteral("Петров; Jr, \\x");
    contact.birthDate = date(1975, 6, 1);
    contact.notes = QStringLiteral("Line 1\r\nLine 2\nLine 3\rLine 4; with, all \\n\\ kinds");
    contact.address = QStringLiteral("ул. Тверская, 7\r\nМосква;\n125009");
    contact.phones = {QStringLiteral("+7 912 345-67-89"), QString(), QStringLiteral("0888;1,2")};
    contact.events[1] = {date(2026, 12, 24, QTime(18, 30)),
                         QStringLiteral("Ёлка: купить, нарядить")};
    contact.events[3] = {0, QStringLiteral("text without a date")};
    return contact;
}

QStringList tableRows(const QString& path)
{
    Connection connection;
    openDatabase(connection, path);
    SqliteStatement statement(connection.handle(),
                              QStringLiteral("SELECT ime, prezime, familia, rd, other, adres, tel, "
                                             "tel1, tel2, timer1, timer2, timer3, timer4, ts1, "
                                             "ts2, ts3, ts4 FROM danni ORDER BY id"));
    QStringList rows;
    while (statement.step()) {
        QStringList columns;
        for (int c = 0; c < statement.columnCount(); ++c)
            columns << statement.columnText(c); // NULL and empty text are alike to the program
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

struct CommandRun {
    int status = 0;
    QString out;
    QString err;
};

CommandRun run(int (*command)(const QStringList&, QTextStream&, QTextStream&),
               const QStringList& arguments)
{
    CommandRun result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = command(arguments, out, err);
    return result;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class TestVCard : public QObject {
    Q_OBJECT

private slots:
    void shouldRoundTripTrickyContacts_data();
    void shouldRoundTripTrickyContacts();
    void shouldFoldAt75OctetsWithoutSplittingCharacters_data();
    void shouldFoldAt75OctetsWithoutSplittingCharacters();
    void shouldWriteYearlessBirthdayForEachVersion_data();
    void shouldWriteYearlessBirthdayForEachVersion();

    void shouldReadPhoneStyleQuotedPrintableUtf8();
    void shouldReadWindows1251Card();
    void shouldReadFoldedLinesAndEscapes();
    void shouldReadYearlessBirthday();
    void shouldReadTextEscapesOfEachVersion_data();
    void shouldReadTextEscapesOfEachVersion();
    void shouldReadBirthdayForms_data();
    void shouldReadBirthdayForms();
    void shouldKeepPhonesThatDoNotFitInNotes_data();
    void shouldKeepPhonesThatDoNotFitInNotes();
    void shouldJoinSeveralAddressesAndNotes();
    void shouldSplitFormattedNameWithoutN_data();
    void shouldSplitFormattedNameWithoutN();
    void shouldSkipMalformedCardAndReportItsLine_data();
    void shouldSkipMalformedCardAndReportItsLine();

    void shouldRoundTripThroughDatabase_data();
    void shouldRoundTripThroughDatabase();
    void shouldRoundTripTheDemoBook_data();
    void shouldRoundTripTheDemoBook();
    void shouldNotAddDuplicatesOnSecondImport();
    void shouldReportMalformedCardWithFileAndLine();
    void shouldChangeNothingWhenImportFails_data();
    void shouldChangeNothingWhenImportFails();
    void shouldRefuseToOverwriteAnExport();
    void shouldRejectBadArguments_data();
    void shouldRejectBadArguments();
};

void TestVCard::shouldRoundTripTrickyContacts_data()
{
    QTest::addColumn<ContactRecord>("contact");

    QTest::newRow("cyrillic, punctuation, CR/LF, phone and event gaps") << trickyContact();

    ContactRecord longNames;
    longNames.first = QString(200, QChar(0x0416));      // Ж: two octets each
    longNames.last = QStringLiteral("😀").repeated(100); // four octets each
    longNames.notes = QStringLiteral("a").repeated(74) + QStringLiteral("ж").repeated(80);
    QTest::newRow("long multi-octet text folded") << longNames;

    ContactRecord yearless;
    yearless.first = QStringLiteral("Ann");
    yearless.birthDate = date(kYearlessBirthYear, 2, 29);
    QTest::newRow("year-less birthday on 29 February") << yearless;

    ContactRecord timed;
    timed.last = QStringLiteral("Lee");
    timed.birthDate = date(1980, 3, 15, QTime(10, 15, 30));
    timed.events[0] = {date(1999, 12, 31, QTime(23, 59, 59)), QString()};
    QTest::newRow("dates with a time of day") << timed;

    ContactRecord blanks;
    blanks.first = QStringLiteral("  spaced ");
    blanks.second = QStringLiteral(" ");
    blanks.notes = QStringLiteral("\n\nleading and trailing breaks\n");
    blanks.phones[1] = QStringLiteral(" 12 ");
    QTest::newRow("blanks and empty lines kept") << blanks;
}

void TestVCard::shouldRoundTripTrickyContacts()
{
    QFETCH(ContactRecord, contact);
    for (const VCard::Version version : {VCard::Version::V4, VCard::Version::V3}) {
        const ContactRecord back = single(VCard::write({contact}, version));
        QCOMPARE(back, afterTrip(contact));
    }
}

void TestVCard::shouldFoldAt75OctetsWithoutSplittingCharacters_data()
{
    QTest::addColumn<QString>("line");

    QTest::newRow("short") << QStringLiteral("NOTE:short");
    QTest::newRow("exactly 75 octets") << QStringLiteral("NOTE:") + QString(70, QLatin1Char('x'));
    QTest::newRow("76 octets") << QStringLiteral("NOTE:") + QString(71, QLatin1Char('x'));
    QTest::newRow("two-octet letter across the limit")
        << QStringLiteral("NOTE:") + QString(69, QLatin1Char('x')) + QStringLiteral("жжжж");
    QTest::newRow("four-octet sign across the limit") << QStringLiteral("NOTE:") +
                                                             QString(68, QLatin1Char('x')) +
                                                             QStringLiteral("😀").repeated(40);
    QTest::newRow("three-octet signs only") << QStringLiteral("€").repeated(200);
}

void TestVCard::shouldFoldAt75OctetsWithoutSplittingCharacters()
{
    QFETCH(QString, line);
    const QByteArray folded = VCard::foldLine(line.toUtf8());
    QVERIFY(folded.endsWith("\r\n"));
    const QList<QByteArray> pieces = folded.chopped(2).split('\n');
    QByteArray unfolded;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QByteArray piece = pieces[i];
        if (piece.endsWith('\r'))
            piece.chop(1);
        QVERIFY2(piece.size() <= 75, piece.constData());
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(piece);
        QVERIFY2(!decoder.hasError(), "a UTF-8 sequence was split");
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        if (i > 0) {
            QVERIFY(piece.startsWith(' '));
            piece.remove(0, 1);
        }
        unfolded += piece;
    }
    QCOMPARE(QString::fromUtf8(unfolded), line);
    QCOMPARE(pieces.size() > 1, line.toUtf8().size() > 75);
}

void TestVCard::shouldWriteYearlessBirthdayForEachVersion_data()
{
    QTest::addColumn<VCard::Version>("version");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("4.0") << VCard::Version::V4 << QByteArray("BDAY:--0229\r\n");
    QTest::newRow("3.0") << VCard::Version::V3
                         << QByteArray("BDAY;X-APPLE-OMIT-YEAR=1604:1604-02-29\r\n");
}

void TestVCard::shouldWriteYearlessBirthdayForEachVersion()
{
    QFETCH(VCard::Version, version);
    QFETCH(QByteArray, expected);
    ContactRecord contact;
    contact.first = QStringLiteral("Li");
    contact.birthDate = date(kYearlessBirthYear, 2, 29);
    const QByteArray text = VCard::write({contact}, version);
    QVERIFY2(text.contains(expected), text.constData());
}

void TestVCard::shouldReadPhoneStyleQuotedPrintableUtf8()
{
    const VCard::ParseResult result = VCard::parse(fixture("phone-2.1-utf8.vcf"));
    QVERIFY(result.problems.empty());
    QCOMPARE(result.contacts.size(), size_t(2));
    const ContactRecord& ivan = result.contacts[0];
    QCOMPARE(ivan.last, QStringLiteral("Петров"));
    QCOMPARE(ivan.first, QStringLiteral("Иван"));
    QCOMPARE(ivan.second, QStringLiteral("Сергеевич"));
    QCOMPARE(ivan.birthDate, date(1975, 6, 1));
    QCOMPARE(ivan.notes, QStringLiteral("Друг детства\r\nвторая строка"));
    QCOMPARE(ivan.address, QStringLiteral("ул. Тверская, 7\nМосква\n125009\nРоссия"));
    QCOMPARE(ivan.phones[0], QStringLiteral("+7 912 345-67-89"));
    QCOMPARE(ivan.phones[1], QStringLiteral("+7 495 123-45-67"));
    QCOMPARE(result.contacts[1].last, QStringLiteral("Смирнова"));
    QCOMPARE(result.contacts[1].first, QStringLiteral("Ольга"));
    QCOMPARE(result.contacts[1].phones[0], QStringLiteral("+7 900 111-22-33"));
}

void TestVCard::shouldReadWindows1251Card()
{
    const ContactRecord anna = single(fixture("phone-2.1-cp1251.vcf"));
    QCOMPARE(anna.last, QStringLiteral("Сидорова"));
    QCOMPARE(anna.first, QStringLiteral("Анна"));
    QCOMPARE(anna.second, QStringLiteral("Петровна"));
    QCOMPARE(anna.notes, QStringLiteral("Привет, соседка!"));
    QCOMPARE(anna.phones[0], QStringLiteral("+7 900 000-00-01"));
}

void TestVCard::shouldReadFoldedLinesAndEscapes()
{
    const ContactRecord mary = single(fixture("folded-3.0.vcf"));
    QCOMPARE(mary.last, QStringLiteral("O'Brien, Jr."));
    QCOMPARE(mary.first, QStringLiteral("Mary"));
    QCOMPARE(mary.second, QStringLiteral("Ann;Beth"));
    QCOMPARE(mary.address, QStringLiteral("12 Long Street, Flat 3\nDublin\nD02 X285\nIreland"));
    QCOMPARE(mary.notes, QStringLiteral("First line\nSecond line with a backslash \\ and a comma, "
                                        "that goes on and on past the fold\n"
                                        "A second note, folded with a\ttab\n"
                                        "E-mail: mary@example.org"));
    QCOMPARE(mary.phones[0], QStringLiteral("+353 1 234 5678"));
    QCOMPARE(mary.birthDate, date(1970, 1, 1));
}

void TestVCard::shouldReadYearlessBirthday()
{
    const ContactRecord li = single(fixture("yearless-4.0.vcf"));
    QCOMPARE(li.last, QStringLiteral("Li"));
    QCOMPARE(DateTimeValue::toStorageText(li.birthDate), QStringLiteral("1604-02-29 00:00:00"));
    QCOMPARE(li.phones[0], QStringLiteral("+86-10-1234-5678"));
}

void TestVCard::shouldReadTextEscapesOfEachVersion_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("notes");

    QTest::newRow("3.0 line break") << QByteArray("3.0") << QByteArray("a\\nb") << "a\nb";
    QTest::newRow("4.0 capital N") << QByteArray("4.0") << QByteArray("a\\Nb") << "a\nb";
    QTest::newRow("3.0 comma, semicolon, backslash")
        << QByteArray("3.0") << QByteArray("a\\,b\\;c\\\\d") << "a,b;c\\d";
    QTest::newRow("3.0 unknown escape kept") << QByteArray("3.0") << QByteArray("a\\qb") << "a\\qb";
    QTest::newRow("2.1 path kept") << QByteArray("2.1") << QByteArray("C:\\new") << "C:\\new";
    QTest::newRow("2.1 escaped semicolon") << QByteArray("2.1") << QByteArray("a\\;b") << "a;b";
    QTest::newRow("utf-8 by default") << QByteArray("2.1") << QByteArray("Ёжик") << "Ёжик";
}

void TestVCard::shouldReadTextEscapesOfEachVersion()
{
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, value);
    QFETCH(QString, notes);
    QCOMPARE(single(card(version, "N:X;Y;;;\r\nNOTE:" + value + "\r\n")).notes, notes);
}

void TestVCard::shouldReadBirthdayForms_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("notes");

    QTest::newRow("extended") << QByteArray("BDAY:1980-03-15") << "1980-03-15 00:00:00"
                              << "";
    QTest::newRow("basic") << QByteArray("BDAY:19800315") << "1980-03-15 00:00:00"
                           << "";
    QTest::newRow("typed date") << QByteArray("BDAY;VALUE=date:19800315") << "1980-03-15 00:00:00"
                                << "";
    QTest::newRow("year-less") << QByteArray("BDAY:--0315") << "1604-03-15 00:00:00"
                               << "";
    QTest::newRow("year-less extended") << QByteArray("BDAY:--03-15") << "1604-03-15 00:00:00"
                                        << "";
    QTest::newRow("year-less 29 February") << QByteArray("BDAY:--0229") << "1604-02-29 00:00:00"
                                           << "";
    QTest::newRow("date-time with zone")
        << QByteArray("BDAY:1980-03-15T10:15:00Z") << "1980-03-15 10:15:00"
        << "";
    QTest::newRow("basic date-time") << QByteArray("BDAY:19800315T1015") << "1980-03-15 10:15:00"
                                     << "";
    QTest::newRow("omitted year 1604")
        << QByteArray("BDAY;X-APPLE-OMIT-YEAR=1604:1604-03-15") << "1604-03-15 00:00:00"
        << "";
    QTest::newRow("omitted year 1900")
        << QByteArray("BDAY;X-APPLE-OMIT-YEAR=1900:1900-03-15") << "1604-03-15 00:00:00"
        << "";
    QTest::newRow("free text kept in notes") << QByteArray("BDAY;VALUE=text:circa 1800") << ""
                                             << "Birthday: circa 1800";
}

void TestVCard::shouldReadBirthdayForms()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, stored);
    QFETCH(QString, notes);
    const ContactRecord contact = single(card("4.0", "N:X;Y;;;\r\n" + line + "\r\n"));
    QCOMPARE(contact.birthDate == 0 ? QString() : DateTimeValue::toStorageText(contact.birthDate),
             stored);
    QCOMPARE(contact.notes, notes);
}

void TestVCard::shouldKeepPhonesThatDoNotFitInNotes_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("phones");
    QTest::addColumn<QString>("notes");

    QTest::newRow("four phones") << QByteArray("TEL;TYPE=cell:1\r\nTEL:2\r\nTEL:3\r\n"
                                               "TEL;TYPE=work,voice:4\r\n")
                                 << QStringList{"1", "2", "3"} << "Phone (work, voice): 4";
    QTest::newRow("five phones of vCard 2.1")
        << QByteArray("TEL;CELL:1\r\nTEL;HOME:2\r\nTEL;WORK:3\r\nTEL;FAX:4\r\nTEL:5\r\n")
        << QStringList{"1", "2", "3"} << "Phone (fax): 4\nPhone: 5";
    QTest::newRow("numbered slots first")
        << QByteArray("TEL:a\r\nTEL;X-TEMBREL-SLOT=1:b\r\nTEL:c\r\nTEL;X-TEMBREL-SLOT=1:d\r\n")
        << QStringList{"b", "a", "c"} << "Phone: d";
    QTest::newRow("too long for a phone field")
        << QByteArray("TEL:" + QByteArray(51, '9') + "\r\nTEL:2\r\n") << QStringList{"2", "", ""}
        << "Phone: " + QString(51, QLatin1Char('9'));
    QTest::newRow("URI value") << QByteArray("TEL;VALUE=uri:tel:+1-555-0100\r\n")
                               << QStringList{"+1-555-0100", "", ""} << "";
}

void TestVCard::shouldKeepPhonesThatDoNotFitInNotes()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, phones);
    QFETCH(QString, notes);
    const ContactRecord contact = single(card("3.0", "N:X;Y;;;\r\n" + lines));
    QCOMPARE(QStringList(contact.phones.begin(), contact.phones.end()), phones);
    QCOMPARE(contact.notes, notes);
}

void TestVCard::shouldJoinSeveralAddressesAndNotes()
{
    const ContactRecord contact =
        single(card("3.0", "N:X;Y;;;\r\nNOTE:first\r\nADR;TYPE=home:;;1 Home St;Town;;;\r\n"
                           "NOTE:second\r\nADR;TYPE=work:PO 5;;;City;;;Land\r\nADR:;;;;;;\r\n"
                           "ORG:Acme;Sales\r\nTITLE:Boss\r\nURL:https://example.org\r\n"));
    QCOMPARE(contact.address, QStringLiteral("1 Home St\nTown\n\nPO 5\nCity\nLand"));
    QCOMPARE(contact.notes, QStringLiteral("first\nsecond\nOrganisation: Acme, Sales\nTitle: Boss\n"
                                           "Web: https://example.org"));
}

void TestVCard::shouldSplitFormattedNameWithoutN_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QStringList>("names"); // first, second, last

    QTest::newRow("one word") << QByteArray("FN:Cher\r\n") << QStringList{"Cher", "", ""};
    QTest::newRow("two words") << QByteArray("FN:Ann  Lee\r\n") << QStringList{"Ann", "", "Lee"};
    QTest::newRow("four words") << QByteArray("FN:Mary Ann Beth Smith\r\n")
                                << QStringList{"Mary", "Ann Beth", "Smith"};
    QTest::newRow("empty N") << QByteArray("N:;;;;\r\nFN:Ann Lee\r\n")
                             << QStringList{"Ann", "", "Lee"};
    QTest::newRow("N wins") << QByteArray("FN:Someone Else\r\nN:Lee;Ann;;;\r\n")
                            << QStringList{"Ann", "", "Lee"};
}

void TestVCard::shouldSplitFormattedNameWithoutN()
{
    QFETCH(QByteArray, lines);
    QFETCH(QStringList, names);
    const ContactRecord contact = single(card("3.0", lines));
    QCOMPARE((QStringList{contact.first, contact.second, contact.last}), names);
}

void TestVCard::shouldSkipMalformedCardAndReportItsLine_data()
{
    QTest::addColumn<QByteArray>("badCard");
    QTest::addColumn<bool>("last");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");

    // The good card before the bad one takes lines 1 to 4; the bad card starts at line 5 and its
    // faulty property is on line 7.
    auto body = [](const QByteArray& line) {
        return QByteArray("BEGIN:VCARD\nVERSION:3.0\n" + line + "\nEND:VCARD\n");
    };
    QTest::newRow("no colon") << body("N this has no colon") << false << 7 << "has no ':'";
    QTest::newRow("unclosed parameter quote")
        << body("N;TYPE=\"home:X;Y;;;") << false << 7 << "has no ':'";
    QTest::newRow("broken quoted-printable")
        << body("N;ENCODING=QUOTED-PRINTABLE:=D0=Z1;;;;") << false << 7 << "quoted-printable";
    QTest::newRow("unknown character set")
        << body("N;CHARSET=x-no-such:X;Y;;;") << false << 7 << "unknown character set";
    QTest::newRow("not UTF-8") << body("N:\xff\xfe;Y;;;") << false << 7 << "not valid UTF-8";
    QTest::newRow("impossible birth date")
        << body("BDAY:1980-13-45") << false << 7 << "BDAY \"1980-13-45\" is not a date";
    QTest::newRow("year-less 30 February") << body("BDAY:--0230") << false << 7 << "not a date";
    QTest::newRow("bad event date")
        << body("X-TEMBREL-EVENT1:soon;party") << false << 7 << "event date \"soon\"";
    QTest::newRow("name too long") << body("N:" + QByteArray(201, 'x') + ";Y;;;") << false << 7
                                   << "last name is longer than 200 characters";
    QTest::newRow("event text too long")
        << body("X-TEMBREL-EVENT2:;" + QByteArray(201, 'x')) << false << 7 << "longer than 200";
    QTest::newRow("no END before the next card")
        << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:X;Y;;;\n") << false << 5 << "no END:VCARD";
    QTest::newRow("file cut off") << QByteArray("BEGIN:VCARD\nVERSION:3.0\nN:X;Y;;;\n") << true << 5
                                  << "no END:VCARD";
    QTest::newRow("empty card") << body("NOTE:") << false << 5 << "no name and no data";
}

void TestVCard::shouldSkipMalformedCardAndReportItsLine()
{
    QFETCH(QByteArray, badCard);
    QFETCH(bool, last);
    QFETCH(int, line);
    QFETCH(QString, message);
    const QByteArray first = "BEGIN:VCARD\nVERSION:3.0\nN:First;Good;;;\nEND:VCARD\n";
    const QByteArray second = "BEGIN:VCARD\nVERSION:3.0\nN:Second;Good;;;\nEND:VCARD\n";
    const VCard::ParseResult result =
        VCard::parse(last ? first + second + badCard : first + badCard + second);
    QCOMPARE(result.cardCount, 3);
    QCOMPARE(result.contacts.size(), size_t(2));
    QCOMPARE(result.contacts[0].last, QStringLiteral("First"));
    QCOMPARE(result.contacts[1].last, QStringLiteral("Second"));
    QCOMPARE(result.problems.size(), size_t(1));
    QCOMPARE(result.problems[0].line, last ? line + 4 : line);
    QVERIFY2(result.problems[0].message.contains(message), qPrintable(result.problems[0].message));
}

void TestVCard::shouldRoundTripThroughDatabase_data()
{
    QTest::addColumn<QStringList>("versionOption");
    QTest::newRow("4.0") << QStringList();
    QTest::newRow("3.0") << QStringList{QStringLiteral("--version"), QStringLiteral("3.0")};
}

void TestVCard::shouldRoundTripThroughDatabase()
{
    QFETCH(QStringList, versionOption);
    TestDatabase source;
    source.execute(QStringLiteral(
        "INSERT INTO danni (ime, prezime, familia, rd, other, adres, tel, tel1, tel2, timer1, "
        "timer2, timer3, timer4, ts1, ts2, ts3, ts4, status) VALUES "
        "('Иван', 'Сергеевич', 'Петров; Jr, \\x', '1975-06-01 00:00:00', 'a' || char(13, 10) || "
        "'b, c; d \\ e', 'ул. Тверская, 7' || char(10) || 'Москва', '+7 912', NULL, '0888', "
        "'2026-12-24 18:30:00', NULL, '2027-01-01 00:00:00', NULL, 'Ёлка', 'lonely text', "
        "'Новый год', NULL, 'x'),"
        "(NULL, NULL, 'Lee', '1604-02-29 00:00:00', NULL, NULL, NULL, '12', NULL, NULL, NULL, "
        "NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
        "('Ann', '', NULL, NULL, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
        "'1999-12-31 23:59:59', NULL, NULL, NULL, NULL, NULL)"));
    TestDatabase target;
    const QString file = target.directory() + QStringLiteral("/contacts.vcf");

    const CommandRun exported =
        run(runExportVCard, QStringList{source.path(), file} + versionOption);
    QCOMPARE(exported.status, 0);
    QCOMPARE(exported.out, QStringLiteral("Wrote 3 cards to %1\n").arg(file));
    const CommandRun imported = run(runImportVCard, {target.path(), file});
    QCOMPARE(imported.status, 0);
    QCOMPARE(imported.err, QString());
    QCOMPARE(imported.out, QStringLiteral("Added 3 contacts from %1.\n").arg(file));

    QStringList expected = tableRows(source.path());
    expected.replaceInStrings(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(tableRows(target.path()), expected);
}

void TestVCard::shouldRoundTripTheDemoBook_data()
{
    QTest::addColumn<QStringList>("demoOptions");
    QTest::addColumn<QStringList>("versionOption");
    const QStringList v3{QStringLiteral("--version"), QStringLiteral("3.0")};
    QTest::newRow("demo book, 4.0") << QStringList() << QStringList();
    QTest::newRow("demo book, 3.0") << QStringList() << v3;
    QTest::newRow("generated book")
        << QStringList{QStringLiteral("--contacts"), QStringLiteral("300")} << QStringList();
}

void TestVCard::shouldRoundTripTheDemoBook()
{
    QFETCH(QStringList, demoOptions);
    QFETCH(QStringList, versionOption);
    TestDatabase target;
    const QString demo = target.directory() + QStringLiteral("/demo.mdb");
    const QString file = target.directory() + QStringLiteral("/demo.vcf");
    QCOMPARE(run(runDemo, QStringList{demo} + demoOptions).status, 0);
    QCOMPARE(run(runExportVCard, QStringList{demo, file} + versionOption).status, 0);
    const CommandRun imported = run(runImportVCard, {target.path(), file});
    QCOMPARE(imported.err, QString());
    QVERIFY2(!imported.out.contains(QStringLiteral("Not added")), qPrintable(imported.out));

    QStringList expected = tableRows(demo);
    QVERIFY(!expected.isEmpty());
    expected.replaceInStrings(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(tableRows(target.path()), expected);
}

void TestVCard::shouldNotAddDuplicatesOnSecondImport()
{
    TestDatabase database;
    database.execute(QStringLiteral(
        "INSERT INTO danni (ime, familia, rd) VALUES ('Ivan', 'Petrov', '1975-06-01 00:00:00')"));
    const QString file = database.directory() + QStringLiteral("/in.vcf");
    // Same name and birthday as the stored contact; same name with another birthday; a card
    // repeated within the file.
    writeFile(file, card("3.0", "N:Petrov;Ivan;;;\nBDAY:1975-06-01\n") +
                        card("3.0", "N:Petrov;Ivan;;;\nBDAY:1980-01-01\n") +
                        card("3.0", "N:Lee;Ann;;;\n") + card("3.0", "N:Lee;Ann;;;\n"));

    const CommandRun first = run(runImportVCard, {database.path(), file});
    QCOMPARE(first.status, 0);
    QCOMPARE(first.out, QStringLiteral("Added 2 contacts from %1.\n"
                                       "Not added again, already in the database with the same "
                                       "full name and birth date: 2\n  Ivan Petrov\n  Ann Lee\n")
                            .arg(file));
    QCOMPARE(database.scalar(QStringLiteral("SELECT count(*) FROM danni")), 3);

    const CommandRun second = run(runImportVCard, {database.path(), file});
    QCOMPARE(second.status, 0);
    QVERIFY(second.out.startsWith(QStringLiteral("Added 0 contacts")));
    QVERIFY(second.out.contains(QStringLiteral("birth date: 4\n")));
    QCOMPARE(database.scalar(QStringLiteral("SELECT count(*) FROM danni")), 3);
}

void TestVCard::shouldReportMalformedCardWithFileAndLine()
{
    TestDatabase database;
    const QString file = qEnvironmentVariable("TEMBREL_SOURCE_DIR") +
                         QStringLiteral("/tests/tools/data/malformed.vcf");
    const CommandRun result = run(runImportVCard, {database.path(), file});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QStringLiteral("%1:8: \"this line has no colon\" is not a property: it "
                                        "has no ':'; card skipped\n")
                             .arg(file));
    QCOMPARE(result.out, QStringLiteral("Added 2 contacts from %1.\nSkipped: 1 card that could not "
                                        "be read.\n")
                             .arg(file));
    QCOMPARE(database.scalar(QStringLiteral("SELECT count(*) FROM danni WHERE familia IN "
                                            "('One', 'Three')")),
             2);
}

void TestVCard::shouldChangeNothingWhenImportFails_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("databaseName"); // a copy of the database under this name

    const QByteArray good = card("3.0", "N:A;B;;;\n") + card("3.0", "N:C;D;;;\n");
    QTest::newRow("missing file") << QByteArray() << QString() << "Cannot read" << QString();
    QTest::newRow("no card in the file")
        << QByteArray("hello\n") << QString() << "holds no vCard" << QString();
    QTest::newRow("database refuses the last contact")
        << good + card("3.0", "N:Refused;X;;;\n")
        << "CREATE TRIGGER refuse BEFORE INSERT ON danni WHEN NEW.familia = 'Refused' "
           "BEGIN SELECT RAISE(ABORT, 'refused by the database'); END"
        << "refused by the database" << QString();
    QTest::newRow("database name with a semicolon") << good << QString() << "cannot contain ';'"
                                                    << "a;b.mdb";
    QTest::newRow("contact table missing") << good << "DROP TABLE danni"
                                           << "Table 'danni' not found" << QString();
}

void TestVCard::shouldChangeNothingWhenImportFails()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, setup);
    QFETCH(QString, error);
    QFETCH(QString, databaseName);
    TestDatabase database;
    database.execute(QStringLiteral("INSERT INTO danni (familia) VALUES ('Kept')"));
    if (!setup.isEmpty())
        database.execute(setup);
    const QString file = database.directory() + QStringLiteral("/in.vcf");
    if (!content.isNull())
        writeFile(file, content);
    QString path = database.path();
    if (!databaseName.isEmpty()) {
        path = database.directory() + QLatin1Char('/') + databaseName;
        QVERIFY(QFile::copy(database.path(), path));
    }

    const CommandRun result = run(runImportVCard, {path, file});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(error), qPrintable(result.err));
    QCOMPARE(result.out, QString());
    if (!setup.startsWith(QLatin1String("DROP")))
        QCOMPARE(tableRows(database.path()).size(), 1);
}

void TestVCard::shouldRefuseToOverwriteAnExport()
{
    TestDatabase database;
    const QString file = database.directory() + QStringLiteral("/out.vcf");
    writeFile(file, "precious");
    const CommandRun result = run(runExportVCard, {database.path(), file});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, QStringLiteral("tembrel-db: '%1' already exists\n").arg(file));
    QFile kept(file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("precious"));
}

void TestVCard::shouldRejectBadArguments_data()
{
    QTest::addColumn<int>("command"); // 0 export, 1 import
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("export without file") << 0 << QStringList{"a.mdb"};
    QTest::newRow("export unknown version")
        << 0 << QStringList{"a.mdb", "b.vcf", "--version", "2.1"};
    QTest::newRow("export version without value")
        << 0 << QStringList{"a.mdb", "b.vcf", "--version"};
    QTest::newRow("import with extra argument") << 1 << QStringList{"a.mdb", "b.vcf", "c"};
}

void TestVCard::shouldRejectBadArguments()
{
    QFETCH(int, command);
    QFETCH(QStringList, arguments);
    const CommandRun result = run(command == 0 ? runExportVCard : runImportVCard, arguments);
    QCOMPARE(result.status, 2);
    QVERIFY(result.err.startsWith(QStringLiteral("usage: tembrel-db ")));
}

QTEST_GUILESS_MAIN(TestVCard)
#include "tst_vcard.moc"
