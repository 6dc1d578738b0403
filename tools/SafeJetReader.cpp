#include "ChildProcess.h"
#include "JetReader.h"

#include <QDataStream>
#include <QIODevice>

// The contents travel from the child process as a QDataStream: per table the number of rows,
// then per value the index of its alternative and the value.
namespace {

void writeRows(QDataStream& stream, const std::vector<JetRow>& rows)
{
    stream << quint64(rows.size());
    for (const JetRow& row : rows) {
        stream << quint32(row.size());
        for (const JetValue& value : row) {
            stream << quint8(value.index());
            if (const auto* number = std::get_if<qint64>(&value))
                stream << *number;
            else if (const auto* dateTime = std::get_if<double>(&value))
                stream << *dateTime;
            else if (const auto* text = std::get_if<QString>(&value))
                stream << *text;
        }
    }
}

JetValue readValue(QDataStream& stream)
{
    quint8 index = 0;
    stream >> index;
    switch (index) {
    case 1: {
        qint64 number = 0;
        stream >> number;
        return number;
    }
    case 2: {
        double dateTime = 0;
        stream >> dateTime;
        return dateTime;
    }
    case 3: {
        QString text;
        stream >> text;
        return text;
    }
    default:
        return {};
    }
}

std::vector<JetRow> readRows(QDataStream& stream)
{
    quint64 count = 0;
    stream >> count;
    std::vector<JetRow> rows;
    for (quint64 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        quint32 size = 0;
        stream >> size;
        JetRow row;
        for (quint32 j = 0; j < size && stream.status() == QDataStream::Ok; ++j)
            row.push_back(readValue(stream));
        rows.push_back(std::move(row));
    }
    return rows;
}

QByteArray encode(const JetContents& contents)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    writeRows(stream, contents.contacts);
    writeRows(stream, contents.loans);
    stream << contents.unknownColumns;
    return bytes;
}

JetContents decode(const QString& path, const QByteArray& bytes)
{
    QDataStream stream(bytes);
    JetContents contents;
    contents.contacts = readRows(stream);
    contents.loans = readRows(stream);
    stream >> contents.unknownColumns;
    if (stream.status() != QDataStream::Ok || !stream.atEnd())
        throw DatabaseError(
            QStringLiteral("'%1': the Jet reader's answer arrived incomplete").arg(path));
    return contents;
}

} // namespace

JetContents readJetFileSafely(const QString& path)
{
    try {
        return decode(path, runInChildProcess([&path] { return encode(readJetFile(path)); }));
    } catch (const ChildProcessError& error) {
        throw DatabaseError(QStringLiteral("'%1' is damaged: reading it stopped the Jet reader "
                                           "(%2)")
                                .arg(path, error.message()));
    }
}
