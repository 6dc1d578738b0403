#include "VCard.h"

#include "data/DateTimeValue.h"
#include "data/Schema.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

namespace VCard {

namespace {

const QString kEventProperty = QStringLiteral("X-TEMBREL-EVENT");
const QByteArray kSlotParameter = QByteArrayLiteral("X-TEMBREL-SLOT");
const QByteArray kOmitYearParameter = QByteArrayLiteral("X-APPLE-OMIT-YEAR");

// ---------------------------------------------------------------------------------------------
// Writing

QString escapeText(const QString& text)
{
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';')) {
            result += QLatin1Char('\\');
            result += c;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // CR LF, a lone LF and a lone CR are all one line break.
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            result += QLatin1String("\\n");
        } else {
            result += c;
        }
    }
    return result;
}

QString formatDate(double value, Version version)
{
    const QDate date = DateTimeValue::toDate(value);
    const int second = DateTimeValue::secondOfDay(value);
    QString text;
    if (version == Version::V4)
        text =
            date.toString(isYearless(date) ? QStringLiteral("--MMdd") : QStringLiteral("yyyyMMdd"));
    else
        text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (second != 0) {
        const QTime time = QTime(0, 0).addSecs(second);
        text += time.toString(version == Version::V4 ? QStringLiteral("'T'HHmmss")
                                                     : QStringLiteral("'T'HH:mm:ss"));
    }
    return text;
}

class CardWriter {
public:
    explicit CardWriter(Version version) : m_version(version) {}

    void add(const QString& nameAndParameters, const QString& value)
    {
        m_text += foldLine((nameAndParameters + QLatin1Char(':') + value).toUtf8());
    }

    QByteArray card(const ContactRecord& contact)
    {
        m_text.clear();
        const bool v4 = m_version == Version::V4;
        add(QStringLiteral("BEGIN"), QStringLiteral("VCARD"));
        add(QStringLiteral("VERSION"), v4 ? QStringLiteral("4.0") : QStringLiteral("3.0"));
        add(QStringLiteral("PRODID"), QStringLiteral("-//Tembrel//Tembrel contact book//EN"));
        add(QStringLiteral("FN"), escapeText(displayName(contact)));
        add(QStringLiteral("N"), QStringList{escapeText(contact.last), escapeText(contact.first),
                                             escapeText(contact.second), QString(), QString()}
                                     .join(QLatin1Char(';')));
        if (contact.birthDate != 0) {
            const QDate birth = DateTimeValue::toDate(contact.birthDate);
            const bool omitYear = !v4 && isYearless(birth);
            add(omitYear ? QStringLiteral("BDAY;%1=%2")
                               .arg(QString::fromLatin1(kOmitYearParameter))
                               .arg(kYearlessBirthYear)
                         : QStringLiteral("BDAY"),
                formatDate(contact.birthDate, m_version));
        }
        if (!contact.address.isEmpty())
            add(QStringLiteral("ADR"), QStringLiteral(";;%1;;;;").arg(escapeText(contact.address)));
        for (size_t i = 0; i < contact.phones.size(); ++i)
            if (!contact.phones[i].isEmpty())
                add(QStringLiteral("TEL;%1%2=%3")
                        .arg(v4 ? QStringLiteral("VALUE=text;") : QString(),
                             QString::fromLatin1(kSlotParameter))
                        .arg(i + 1),
                    escapeText(contact.phones[i]));
        if (!contact.notes.isEmpty())
            add(QStringLiteral("NOTE"), escapeText(contact.notes));
        for (size_t i = 0; i < contact.events.size(); ++i) {
            const ContactEvent& event = contact.events[i];
            if (event.date != 0 || !event.text.isEmpty())
                add(kEventProperty + QString::number(i + 1),
                    (event.date != 0 ? formatDate(event.date, m_version) : QString()) +
                        QLatin1Char(';') + escapeText(event.text));
        }
        add(QStringLiteral("END"), QStringLiteral("VCARD"));
        return m_text;
    }

private:
    Version m_version;
    QByteArray m_text;
};

// ---------------------------------------------------------------------------------------------
// Reading: physical lines, unfolded content lines, properties, cards.

struct Line {
    QByteArray text;
    int number = 0;
};

std::vector<Line> splitLines(const QByteArray& data)
{
    std::vector<Line> lines;
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int number = 1;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        lines.push_back({data.mid(pos, end - pos), number++});
        if (end + 1 < data.size() && data[end] == '\r' && data[end + 1] == '\n')
            ++end;
        pos = end + 1;
    }
    return lines;
}

bool isQuotedPrintable(const QByteArray& contentLine)
{
    const qsizetype colon = contentLine.indexOf(':');
    return colon > 0 && contentLine.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Joins folded lines (a line starting with a blank or a tab continues the one before) and the
// soft line breaks of quoted-printable values (a line ending in "=" goes on in the next one).
std::vector<Line> unfold(const std::vector<Line>& physical)
{
    std::vector<Line> lines;
    bool softBreak = false;
    for (const Line& line : physical) {
        if (softBreak) {
            lines.back().text.chop(1);
            lines.back().text += line.text;
        } else if (!lines.empty() && !line.text.isEmpty() &&
                   (line.text[0] == ' ' || line.text[0] == '\t')) {
            lines.back().text += line.text.mid(1);
        } else if (line.text.trimmed().isEmpty()) {
            continue;
        } else {
            lines.push_back(line);
        }
        softBreak = lines.back().text.endsWith('=') && isQuotedPrintable(lines.back().text);
    }
    return lines;
}

struct CardError {
    int line;
    QString message;
};

struct Property {
    QByteArray name;                                            // upper case, without group
    QList<std::pair<QByteArray, QList<QByteArray>>> parameters; // names upper case
    QByteArray value;
    int line = 0;

    QByteArray parameter(const QByteArray& wanted) const
    {
        for (const auto& [name, values] : parameters)
            if (name == wanted && !values.isEmpty())
                return values.first();
        return {};
    }
    QList<QByteArray> parameterValues(const QByteArray& wanted) const
    {
        QList<QByteArray> result;
        for (const auto& [name, values] : parameters)
            if (name == wanted)
                result += values;
        return result;
    }
};

// The end of a parameter or of the name: the next ';' or ':' outside double quotes.
qsizetype parameterEnd(const QByteArray& text, qsizetype pos)
{
    bool quoted = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ';' || c == ':'))
            return pos;
    }
    return -1;
}

std::pair<QByteArray, QList<QByteArray>> parseParameter(const QByteArray& text)
{
    const qsizetype eq = text.indexOf('=');
    QList<QByteArray> values;
    if (eq < 0) {
        // vCard 2.1 names only the value: "TEL;HOME;VOICE:", "NOTE;QUOTED-PRINTABLE:".
        const QByteArray value = text.trimmed().toUpper();
        static const QList<QByteArray> encodings{"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT"};
        values << value;
        return {encodings.contains(value) ? QByteArrayLiteral("ENCODING")
                                          : QByteArrayLiteral("TYPE"),
                values};
    }
    for (QByteArray value : text.mid(eq + 1).split(',')) {
        value = value.trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        values << value;
    }
    return {text.left(eq).trimmed().toUpper(), values};
}

Property parseProperty(const Line& line)
{
    Property property;
    property.line = line.number;
    const QByteArray& text = line.text;
    qsizetype pos = parameterEnd(text, 0);
    if (pos <= 0 || (text[pos] == ';' && parameterEnd(text, pos + 1) < 0))
        throw CardError{line.number, QStringLiteral("\"%1\" is not a property: it has no ':'")
                                         .arg(QString::fromUtf8(text.left(40)))};
    property.name = text.left(pos).trimmed().toUpper();
    const qsizetype dot = property.name.lastIndexOf('.');
    if (dot >= 0)
        property.name = property.name.mid(dot + 1);
    while (text[pos] == ';') {
        const qsizetype end = parameterEnd(text, pos + 1);
        if (end < 0)
            throw CardError{line.number, QStringLiteral("the parameters of %1 have no end")
                                             .arg(QString::fromLatin1(property.name))};
        property.parameters << parseParameter(text.mid(pos + 1, end - pos - 1));
        pos = end;
    }
    property.value = text.mid(pos + 1);
    return property;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& text, int line)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            bytes += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            throw CardError{line, QStringLiteral("broken quoted-printable text near \"%1\"")
                                      .arg(QString::fromLatin1(text.mid(i, 3)))};
        bytes += char(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// The value of a property as text: quoted-printable undone, bytes decoded by CHARSET.
QString decodeValue(const Property& property)
{
    const QByteArray encoding = property.parameter("ENCODING").toUpper();
    QByteArray bytes = property.value;
    if (encoding == "QUOTED-PRINTABLE")
        bytes = decodeQuotedPrintable(bytes, property.line);
    else if (!encoding.isEmpty() && encoding != "8BIT" && encoding != "7BIT")
        throw CardError{property.line, QStringLiteral("%1 in encoding %2 is not text")
                                           .arg(QString::fromLatin1(property.name),
                                                QString::fromLatin1(encoding))};
    QByteArray charset = property.parameter("CHARSET");
    if (charset.isEmpty())
        charset = "UTF-8";
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid())
        throw CardError{
            property.line,
            QStringLiteral("unknown character set \"%1\"").arg(QString::fromLatin1(charset))};
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw CardError{property.line,
                        QStringLiteral("%1 is not valid %2 text")
                            .arg(QString::fromLatin1(property.name), QString::fromLatin1(charset))};
    return text;
}

// Splits a structured value at the ';' that are not escaped; escapes stay for unescape().
QStringList splitComponents(const QString& value)
{
    QStringList components;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            current += value[i];
            current += value[++i];
        } else if (value[i] == QLatin1Char(';')) {
            components << current;
            current.clear();
        } else {
            current += value[i];
        }
    }
    components << current;
    return components;
}

// Undoes the escapes of a text value. vCard 2.1 knows no "\n": there a backslash before
// anything but '\', ';' and ',' is an ordinary character (as in "C:\new").
QString unescape(const QString& value, bool lineBreakEscapes)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value[i + 1];
        if (next == QLatin1Char('\\') || next == QLatin1Char(';') || next == QLatin1Char(',')) {
            result += next;
            ++i;
        } else if (lineBreakEscapes && (next == QLatin1Char('n') || next == QLatin1Char('N'))) {
            result += QLatin1Char('\n');
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::optional<double> parseDate(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(\\d{4})-?(\\d{2})-?(\\d{2})|--(\\d{2})-?(\\d{2}))"
                       "(?:T(\\d{2})(?::?(\\d{2})(?::?(\\d{2})(?:[.,]\\d+)?)?)?(?:Z|[+-]\\d{2}(?::?"
                       "\\d{2})?)?)?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool yearless = match.capturedLength(1) == 0;
    const QDate date(yearless ? kYearlessBirthYear : match.captured(1).toInt(),
                     match.captured(yearless ? 4 : 2).toInt(),
                     match.captured(yearless ? 5 : 3).toInt());
    const QTime time(match.captured(6).toInt(), match.captured(7).toInt(),
                     match.captured(8).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return DateTimeValue::fromDateTime(date, time);
}

int columnSize(const QString& column)
{
    for (const FieldDef& field : Schema::contacts().fields)
        if (field.name == column)
            return field.size;
    return 0;
}

// Builds one contact from the properties of a card.
class CardReader {
public:
    CardReader(const std::vector<Property>& properties, int beginLine) : m_beginLine(beginLine)
    {
        for (const Property& property : properties)
            if (property.name == "VERSION")
                m_lineBreakEscapes = property.value.trimmed() != "2.1";
        for (const Property& property : properties)
            read(property);
    }

    ContactRecord contact()
    {
        if (!m_haveName)
            splitFormattedName();
        checkLength(m_contact.first, QStringLiteral("ime"), QStringLiteral("first name"),
                    m_nameLine);
        checkLength(m_contact.second, QStringLiteral("prezime"), QStringLiteral("second name"),
                    m_nameLine);
        checkLength(m_contact.last, QStringLiteral("familia"), QStringLiteral("last name"),
                    m_nameLine);
        placePhones();
        m_contact.address = m_addresses.join(QStringLiteral("\n\n"));
        m_notes += m_extraNotes;
        m_contact.notes = m_notes.join(QLatin1Char('\n'));
        if (m_contact == ContactRecord{})
            throw CardError{m_beginLine, QStringLiteral("the card holds no name and no data")};
        return m_contact;
    }

private:
    struct Phone {
        QString number;
        QString label;
        int slot;
    };

    QString text(const Property& property) const
    {
        return unescape(decodeValue(property), m_lineBreakEscapes);
    }
    QStringList components(const Property& property) const
    {
        QStringList result;
        for (const QString& component : splitComponents(decodeValue(property)))
            result << unescape(component, m_lineBreakEscapes);
        return result;
    }

    void read(const Property& property)
    {
        const QByteArray& name = property.name;
        if (name == "N")
            readName(property);
        else if (name == "FN")
            m_formattedName = text(property);
        else if (name == "BDAY")
            readBirthday(property);
        else if (name == "ADR")
            readAddress(property);
        else if (name == "TEL")
            readPhone(property);
        else if (name == "NOTE")
            m_notes << text(property);
        else if (name.startsWith(kEventProperty.toLatin1()))
            readEvent(property);
        else if (name == "EMAIL")
            m_extraNotes << QStringLiteral("E-mail: ") + text(property);
        else if (name == "ORG")
            m_extraNotes << QStringLiteral("Organisation: ") + joinNonEmpty(property, u", ");
        else if (name == "TITLE")
            m_extraNotes << QStringLiteral("Title: ") + text(property);
        else if (name == "URL")
            m_extraNotes << QStringLiteral("Web: ") + text(property);
    }

    QString joinNonEmpty(const Property& property, QStringView separator) const
    {
        QStringList parts = components(property);
        parts.removeAll(QString());
        return parts.join(separator);
    }

    void readName(const Property& property)
    {
        const QStringList parts = components(property);
        if (m_haveName || parts.join(QString()).isEmpty())
            return;
        m_haveName = true;
        m_nameLine = property.line;
        m_contact.last = parts.value(0);
        m_contact.first = parts.value(1);
        m_contact.second = parts.value(2);
    }

    // Without N, the formatted name gives the parts: the first word is the first name, the
    // last word the last name, any words between them the second name.
    void splitFormattedName()
    {
        const QStringList words =
            m_formattedName.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            return;
        m_contact.first = words.first();
        if (words.size() > 1)
            m_contact.last = words.last();
        if (words.size() > 2)
            m_contact.second = words.mid(1, words.size() - 2).join(QLatin1Char(' '));
    }

    void readBirthday(const Property& property)
    {
        if (m_contact.birthDate != 0)
            return;
        const QString value = text(property);
        if (property.parameter("VALUE").toLower() == "text") {
            m_extraNotes << QStringLiteral("Birthday: ") + value;
            return;
        }
        const std::optional<double> date = parseDate(value);
        if (!date)
            throw CardError{property.line,
                            QStringLiteral("BDAY \"%1\" is not a date").arg(value.trimmed())};
        m_contact.birthDate = *date;
        const QDate day = DateTimeValue::toDate(*date);
        const QByteArray omitted = property.parameter(kOmitYearParameter);
        if (!omitted.isEmpty() && omitted.toInt() == day.year())
            m_contact.birthDate = DateTimeValue::fromDateTime(
                QDate(kYearlessBirthYear, day.month(), day.day()), DateTimeValue::toTime(*date));
    }

    void readAddress(const Property& property)
    {
        const QString address = joinNonEmpty(property, u"\n");
        if (!address.isEmpty())
            m_addresses << address;
    }

    void readPhone(const Property& property)
    {
        QStringList types;
        for (const QByteArray& type : property.parameterValues("TYPE"))
            types << QString::fromUtf8(type).toLower();
        const QString label = types.isEmpty() ? QStringLiteral("Phone")
                                              : QStringLiteral("Phone (%1)").arg(types.join(u", "));
        QString number = text(property);
        // vCard 4.0 may give the number as a URI.
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number.remove(0, 4);
        m_phones.push_back({number, label, property.parameter(kSlotParameter).toInt()});
    }

    // Numbered phones go to their slot first, the others fill the free slots in order; what
    // does not fit is kept in the notes.
    void placePhones()
    {
        const int size = columnSize(QStringLiteral("tel"));
        std::vector<bool> placed(m_phones.size(), false);
        auto place = [&](size_t i, int slot) {
            QString& target = m_contact.phones[size_t(slot)];
            if (placed[i] || !target.isEmpty() || m_phones[i].number.size() > size)
                return;
            target = m_phones[i].number;
            placed[i] = true;
        };
        for (size_t i = 0; i < m_phones.size(); ++i)
            if (m_phones[i].slot >= 1 && m_phones[i].slot <= int(m_contact.phones.size()))
                place(i, m_phones[i].slot - 1);
        for (size_t i = 0; i < m_phones.size(); ++i)
            for (int slot = 0; slot < int(m_contact.phones.size()); ++slot)
                place(i, slot);
        for (size_t i = 0; i < m_phones.size(); ++i)
            if (!placed[i] && !m_phones[i].number.isEmpty())
                m_extraNotes << m_phones[i].label + QStringLiteral(": ") + m_phones[i].number;
    }

    void readEvent(const Property& property)
    {
        bool numbered = false;
        const int number =
            QString::fromLatin1(property.name.mid(kEventProperty.size())).toInt(&numbered);
        if (!numbered || number < 1 || number > int(m_contact.events.size()))
            return;
        const QStringList parts = splitComponents(decodeValue(property));
        const QString dateText = parts.first().trimmed();
        ContactEvent event;
        if (!dateText.isEmpty()) {
            const std::optional<double> date = parseDate(dateText);
            if (!date)
                throw CardError{property.line,
                                QStringLiteral("event date \"%1\" is not a date").arg(dateText)};
            event.date = *date;
        }
        event.text = unescape(parts.mid(1).join(QLatin1Char(';')), m_lineBreakEscapes);
        checkLength(event.text, QStringLiteral("ts1"), QStringLiteral("event text"), property.line);
        ContactEvent& slot = m_contact.events[size_t(number - 1)];
        if (slot == ContactEvent{})
            slot = event;
        else
            m_extraNotes << QStringLiteral("Event: %1 %2").arg(dateText, event.text);
    }

    void checkLength(const QString& value, const QString& column, const QString& what,
                     int line) const
    {
        const int size = columnSize(column);
        if (value.size() > size)
            throw CardError{
                line, QStringLiteral("the %1 is longer than %2 characters").arg(what).arg(size)};
    }

    int m_beginLine;
    int m_nameLine = 0;
    bool m_lineBreakEscapes = true;
    bool m_haveName = false;
    QString m_formattedName;
    ContactRecord m_contact;
    QStringList m_addresses;
    QStringList m_notes;
    QStringList m_extraNotes;
    std::vector<Phone> m_phones;
};

bool isMarker(const Line& line, const char* marker)
{
    return line.text.trimmed().toUpper() == marker;
}

} // namespace

QByteArray foldLine(const QByteArray& line)
{
    constexpr qsizetype kLimit = 75;
    QByteArray folded;
    qsizetype pos = 0;
    qsizetype limit = kLimit;
    while (line.size() - pos > limit) {
        qsizetype cut = pos + limit;
        while (cut > pos && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        folded += line.mid(pos, cut - pos);
        folded += "\r\n ";
        pos = cut;
        limit = kLimit - 1; // the continuation's leading blank counts
    }
    folded += line.mid(pos);
    folded += "\r\n";
    return folded;
}

QByteArray write(const std::vector<ContactRecord>& contacts, Version version)
{
    CardWriter writer(version);
    QByteArray text;
    for (const ContactRecord& contact : contacts)
        text += writer.card(contact);
    return text;
}

ParseResult parse(const QByteArray& data)
{
    ParseResult result;
    const std::vector<Line> lines = unfold(splitLines(data));
    size_t i = 0;
    while (i < lines.size()) {
        if (!isMarker(lines[i], "BEGIN:VCARD")) {
            ++i;
            continue;
        }
        const int beginLine = lines[i].number;
        ++result.cardCount;
        std::vector<Property> properties;
        std::optional<CardError> error;
        size_t j = i + 1;
        for (; j < lines.size() && !isMarker(lines[j], "END:VCARD"); ++j) {
            if (isMarker(lines[j], "BEGIN:VCARD"))
                break;
            try {
                if (!error)
                    properties.push_back(parseProperty(lines[j]));
            } catch (const CardError& e) {
                error = e;
            }
        }
        const bool ended = j < lines.size() && isMarker(lines[j], "END:VCARD");
        if (!ended && !error)
            error = CardError{beginLine, QStringLiteral("the card has no END:VCARD")};
        if (!error) {
            try {
                result.contacts.push_back(CardReader(properties, beginLine).contact());
            } catch (const CardError& e) {
                error = e;
            }
        }
        if (error)
            result.problems.push_back({error->line, error->message});
        i = ended ? j + 1 : j;
    }
    return result;
}

} // namespace VCard
