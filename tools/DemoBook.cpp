#include "DemoBook.h"

#include "BookWriter.h"
#include "data/DateTimeValue.h"

#include <QTime>
#include <random>
#include <vector>

namespace {

// A birthday `daysAhead` days from today, `age` years back; a 29 February falls back to the
// nearest earlier leap year so the day stays the same.
struct Birthday {
    int daysAhead;
    int age;
};

struct Event {
    int daysAhead;
    const char* text;
    QTime time = QTime(0, 0);
};

struct Loan {
    const char* what;
    int lentDaysAgo;
    int backDaysAgo = -1; // -1: not returned yet
};

struct DemoContact {
    const char* first;
    const char* second;
    const char* last;
    std::optional<Birthday> birthday;
    const char* address;
    const char* notes;
    const char* tel;
    const char* tel1 = nullptr;
    const char* tel2 = nullptr;
    std::vector<Event> events = {};
    std::vector<Loan> loans = {};
};

QString text(const char* utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

double birthDate(const QDate& today, const Birthday& birthday)
{
    const QDate day = today.addDays(birthday.daysAhead);
    int year = day.year() - birthday.age;
    while (!QDate::isValid(year, day.month(), day.day()))
        --year;
    return DateTimeValue::fromDateTime(QDate(year, day.month(), day.day()));
}

// clang-format off
const std::vector<DemoContact>& demoContacts()
{
    static const std::vector<DemoContact> contacts{
        {"Иван", "Петров", "Георгиев", Birthday{0, 42},
         "ул. „Шипка“ 14, ет. 3, ап. 9\n1504 София", "Колега от счетоводството.\nОбича кафе без захар.",
         "+359 888 123 456", "02 943 11 20", nullptr,
         {{0, "Среща за проекта", QTime(10, 30)}},
         {{"Книга „Под игото“", 40}, {"Бормашина", 120, 100}}},
        {"Maria", "Elena", "Ionescu", Birthday{1, 35},
         "Strada Florilor 7\nBl. A2, Sc. 1\n010101 București", "Met at the Cluj conference.",
         "+40 721 555 010", nullptr, nullptr,
         {{1, "Dentist appointment", QTime(15, 0)}}},
        {"Георги", "", "Димитров", Birthday{2, 60},
         "ж.к. „Младост“ 1, бл. 25, вх. Б\n1784 София", "Съсед от петия етаж.",
         "+359 877 400 300", nullptr, nullptr,
         {{2, "Годишнина от сватбата"}},
         {{"Стълба", 15}}},
        {"John", "", "Smith", Birthday{12, 51},
         "221 Baker Street\nLondon NW1 6XE\nUnited Kingdom", "Old friend from university.\nPlays chess on Thursdays.",
         "+44 20 7946 0958", "+44 7700 900123", nullptr,
         {{7, "Chess club final"}},
         {{"Tent (4 persons)", 200, 150}, {"Camera tripod", 30}}},
        {"Елена", "Иванова", "Стоянова", Birthday{-5, 29},
         "бул. „Витоша“ 89\n1463 София", "Преподавател по пиано.",
         "+359 899 222 111", nullptr, nullptr,
         {{1, "Концерт в зала „България“", QTime(19, 0)}}},
        {"Peter", "James", "O'Brien", std::nullopt,
         "14 Grafton Street\nDublin 2\nIreland", "Prefers e-mail to phone calls.",
         "+353 1 555 0142", nullptr, nullptr, {},
         {{"Guitar amplifier", 75}}},
        {"Анна", "Сергеевна", "Кузнецова", Birthday{45, 38},
         "ул. Тверская, д. 12, кв. 40\n125009 Москва", "Переводчик, говорит на пяти языках.",
         "+7 495 123 45 67", nullptr, nullptr,
         {{-365, "Переезд в новую квартиру"}}},
        {"Hans", "", "Müller", Birthday{100, 66},
         "Hauptstraße 5\n80331 München\nDeutschland", "Brings beer to every party.",
         "+49 89 1234567", "+49 170 1234567", nullptr, {},
         {{"Bicycle pump", 10}, {"Drill set", 300, 280}}},
        {"Стефан", "Николов", "Петков", std::nullopt,
         "с. Бистрица\nул. „Рила“ 3", "Майстор на покриви.\nРаботи само през седмицата.",
         "+359 886 010 203", nullptr, nullptr,
         {{0, "Огледи на покрива", QTime(8, 0)}, {30, "Плащане на втората вноска"}}},
        {"Sophie", "", "Martin", Birthday{-1, 24},
         "12 rue de Rivoli\n75001 Paris\nFrance", "Cousin of Marie.",
         "+33 1 42 60 00 00", nullptr, nullptr, {}},
        {"Олга", "Викторовна", "Шевченко", Birthday{200, 47},
         "вул. Хрещатик 22, кв. 7\n01001 Київ", "Лікар, педіатр.",
         "+380 44 123 4567", nullptr, nullptr, {},
         {{"Дитяче крісло для авто", 60}}},
        {"Luca", "", "Rossi", Birthday{9, 33},
         "Via Roma 10\n00184 Roma\nItalia", "Cooks the best carbonara.",
         "+39 06 1234 5678", nullptr, nullptr,
         {{2, "Dinner at Luca's", QTime(20, 0)}}},
        {"Мария", "Петрова", "Иванова", Birthday{2, 71},
         "ул. „Опълченска“ 46\n4000 Пловдив", "Баба на Ники.\nОбича да получава картички.",
         "+359 32 626 262", nullptr, nullptr, {}},
        {"Carlos", "Alberto", "García", std::nullopt,
         "Calle Mayor 23, 2º B\n28013 Madrid\nEspaña", "Flamenco guitarist.",
         "+34 91 123 45 67", "+34 600 123 456", nullptr, {},
         {{"Sleeping bag", 90}, {"Spanish dictionary", 400, 390}, {"Headphones", 5}}},
        {"Дмитрий", "", "Соколов", Birthday{-30, 55},
         "пр. Невский, д. 28\n191186 Санкт-Петербург", "Фотограф.",
         "+7 812 555 12 34", nullptr, nullptr,
         {{14, "Выставка фотографий"}}},
        {"Emma", "Louise", "Johnson", Birthday{1, 28},
         "1600 Pennsylvania Ave\nWashington, DC 20500\nUSA", "Architect.\nAllergic to cats.",
         "+1 202 555 0133", nullptr, nullptr, {}},
        {"Петя", "", "Колева", Birthday{60, 31},
         "ул. „Цар Симеон“ 101\n9000 Варна", "Съученичка.",
         "+359 52 600 700", nullptr, nullptr,
         {{-2, "Рожден ден на Ники"}},
         {{"Рокля за бала", 25, 20}}},
        {"Jan", "", "Kowalski", Birthday{150, 40},
         "ul. Marszałkowska 1\n00-624 Warszawa\nPolska", "Speaks Polish and German.",
         "+48 22 123 45 67", nullptr, nullptr, {}},
        {"Николай", "Димитров", "Тодоров", Birthday{0, 8},
         "ул. „Раковски“ 12\n5000 Велико Търново", "Племенник.",
         "+359 62 600 111", nullptr, nullptr, {},
         {{"Футболна топка", 3}}},
        {"Ingrid", "", "Svensson", std::nullopt,
         "Drottninggatan 50\n111 21 Stockholm\nSverige", "Knits sweaters.",
         "+46 8 123 456 78", nullptr, nullptr,
         {{1, "Return the sweater pattern"}}},
        {"Татьяна", "", "Морозова", Birthday{20, 45},
         "ул. Ленина, д. 5\n620014 Екатеринбург", "Бухгалтер.",
         "+7 343 222 33 44", nullptr, nullptr, {}},
        {"Ahmed", "", "Hassan", Birthday{300, 37},
         "12 Tahrir Square\nCairo\nEgypt", "Tour guide.",
         "+20 2 2345 6789", nullptr, nullptr, {}},
        {"Васил", "Стоянов", "Ангелов", Birthday{3, 50},
         "ул. „Иван Вазов“ 2\n8000 Бургас", "Рибар.\nЛятото е на морето.",
         "+359 56 800 900", "+359 887 765 432", "+359 56 800 901",
         {{3, "Риболов на Созопол"}},
         {{"Въдица", 50}, {"Лодка (гумена)", 365, 300}}},
        {"Yuki", "", "Tanaka", Birthday{-10, 26},
         "1-1 Chiyoda\nTokyo 100-0001\nJapan", "Exchange student.",
         "+81 3 1234 5678", nullptr, nullptr, {}},
        {"Светлана", "", "Павлова", std::nullopt,
         "бул. „България“ 50\n1680 София", "Фризьорка.",
         "+359 2 958 00 00", nullptr, nullptr,
         {{0, "Фризьор", QTime(17, 45)}}},
        {"Michael", "", "Brown", Birthday{75, 44},
         "500 Queen Street\nToronto ON M5A 1T9\nCanada", "Colleague in the Toronto office.",
         "+1 416 555 0199", nullptr, nullptr, {},
         {{"Hockey stick", 45}}},
        {"Красимир", "", "Йорданов", Birthday{-60, 63},
         "ул. „Гурко“ 7\n7000 Русе", "Шахматист, бивш треньор.",
         "+359 82 820 820", nullptr, nullptr, {}},
        {"Lena", "", "Schmidt", Birthday{30, 30},
         "Kurfürstendamm 21\n10719 Berlin\nDeutschland", "Yoga teacher.",
         "+49 30 9876543", nullptr, nullptr,
         {{10, "Yoga retreat"}, {2, "Pick up the mats"}}},
        {"Борис", "Игоревич", "Волков", Birthday{2, 39},
         "ул. Пушкина, д. 10\n420111 Казань", "Программист.",
         "+7 843 111 22 33", nullptr, nullptr, {},
         {{"Ноутбук (старый)", 8}}},
        {"Chiara", "", "Bianchi", Birthday{5, 27},
         "Corso Buenos Aires 33\n20124 Milano\nItalia", "Fashion designer.",
         "+39 02 8765 4321", nullptr, nullptr, {}},
        {"Десислава", "", "Маринова", std::nullopt,
         "ул. „Христо Ботев“ 9\n6000 Стара Загора", "Медицинска сестра.",
         "+359 42 600 600", nullptr, nullptr, {},
         {{"Тенджера под налягане", 70, 10}}},
        {"Thomas", "", "Dubois", Birthday{-200, 58},
         "Rue Neuve 1\n1000 Bruxelles\nBelgique", "Chocolatier.",
         "+32 2 555 12 12", nullptr, nullptr, {}},
    };
    return contacts;
}
// clang-format on

} // namespace

void writeDemoBook(BookWriter& writer, const QDate& today)
{
    for (const DemoContact& demo : demoContacts()) {
        BookContact contact;
        contact.first = text(demo.first);
        contact.second = text(demo.second);
        contact.last = text(demo.last);
        if (demo.birthday)
            contact.birth = birthDate(today, *demo.birthday);
        contact.address = text(demo.address);
        contact.notes = text(demo.notes);
        contact.tel = text(demo.tel);
        contact.tel1 = text(demo.tel1);
        contact.tel2 = text(demo.tel2);
        for (size_t i = 0; i < demo.events.size() && i < 4; ++i) {
            const Event& event = demo.events[i];
            contact.eventDates[i] =
                DateTimeValue::fromDateTime(today.addDays(event.daysAhead), event.time);
            contact.eventTexts[i] = text(event.text);
        }
        const qint64 id = writer.addContact(contact);
        for (const Loan& demoLoan : demo.loans) {
            BookLoan loan;
            loan.what = text(demoLoan.what);
            loan.lent =
                DateTimeValue::fromDateTime(today.addDays(-demoLoan.lentDaysAgo), QTime(12, 0));
            if (demoLoan.backDaysAgo >= 0)
                loan.back = DateTimeValue::fromDateTime(today.addDays(-demoLoan.backDaysAgo));
            loan.client = id;
            writer.addLoan(loan);
        }
    }
}

namespace {

const char* const kFirstNames[] = {"Иван", "Мария", "Георги",  "Елена", "Peter",  "Anna",
                                   "John", "Sofia", "Дмитрий", "Ольга", "Luca",   "Emma",
                                   "Hans", "Petya", "Никола",  "Yana",  "Carlos", "Ingrid"};
const char* const kSecondNames[] = {"",       "Петров", "Ivanova",  "James", "Сергеевич",
                                    "Louise", "",       "Georgiev", "",      "Маринова"};
const char* const kLastNames[] = {"Георгиев", "Smith",   "Иванова",  "Müller",  "Rossi",
                                  "Кузнецов", "García",  "Петкова",  "Johnson", "Соколова",
                                  "Dubois",   "Тодоров", "Kowalski", "Martin",  "Ангелов"};
const char* const kStreets[] = {"ул. „Шипка“", "Main Street", "бул. „Витоша“",
                                "Hauptstraße", "Via Roma",    "пр. Невский"};
const char* const kTowns[] = {"1504 София",    "London NW1", "4000 Пловдив",
                              "80331 München", "00184 Roma", "191186 Санкт-Петербург"};
const char* const kThings[] = {"Книга",  "Drill",        "Бормашина", "Tent",   "Camera",
                               "Стълба", "Bicycle pump", "Въдица",    "Guitar", "Чадър"};
const char* const kEvents[] = {"Среща", "Dentist", "Годишнина", "Concert", "Плащане"};

template <size_t N> const char* pick(const char* const (&items)[N], std::mt19937& random)
{
    return items[random() % N];
}

} // namespace

void writeGeneratedBook(BookWriter& writer, int contacts, quint32 start)
{
    std::mt19937 random(start);
    const double base = DateTimeValue::fromDateTime(QDate(2020, 1, 1));
    qint64 firstId = 0;
    for (int n = 1; n <= contacts; ++n) {
        BookContact contact;
        contact.first = text(pick(kFirstNames, random));
        contact.second = text(pick(kSecondNames, random));
        contact.last = text(pick(kLastNames, random));
        if (random() % 10 != 0) // one in ten without a birth date
            contact.birth = DateTimeValue::fromDateTime(QDate(1940, 1, 1)) + random() % 25000;
        contact.address = QStringLiteral("%1 %2\n%3")
                              .arg(text(pick(kStreets, random)))
                              .arg(random() % 200 + 1)
                              .arg(text(pick(kTowns, random)));
        contact.notes = QStringLiteral("Contact %1\nGenerated for testing.").arg(n);
        contact.tel =
            QStringLiteral("+359 88 %1").arg(random() % 10000000, 7, 10, QLatin1Char('0'));
        if (random() % 4 == 0)
            contact.tel1 = QStringLiteral("02 %1").arg(random() % 1000000, 6, 10, QLatin1Char('0'));
        const int events = int(random() % 3);
        for (int e = 0; e < events; ++e) {
            contact.eventDates[e] = base + random() % 3000;
            contact.eventTexts[e] = text(pick(kEvents, random));
        }
        const qint64 id = writer.addContact(contact);
        if (n == 1)
            firstId = id;
    }
    // Three loans per contact on average, given to contacts at random so some have none.
    for (qint64 n = 0; n < qint64(contacts) * 3; ++n) {
        BookLoan loan;
        loan.what = text(pick(kThings, random));
        loan.lent = base + random() % 2500 + 0.5;
        if (random() % 2 == 0)
            loan.back = loan.lent + 1 + random() % 100;
        loan.client = firstId + qint64(random() % contacts);
        writer.addLoan(loan);
    }
}
