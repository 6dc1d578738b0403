#pragma once

#include <QString>
#include <exception>

// Base of every error the program raises; carries the text the error box shows.
class TembrelError : public std::exception {
public:
    explicit TembrelError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }
    // The kind of error, for the fatal start-up box ("Exception <kind> in module ...").
    virtual const char* kind() const noexcept { return "TembrelError"; }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An error of the database engine or of the file: the message carries the engine's text.
class DatabaseError : public TembrelError {
public:
    using TembrelError::TembrelError;
    const char* kind() const noexcept override { return "DatabaseError"; }
};

// An error of the record-set layer: "<dataset name>: <message>".
class DatasetError : public TembrelError {
public:
    DatasetError(const QString& datasetName, const QString& message)
        : TembrelError(datasetName + QStringLiteral(": ") + message)
    {
    }
    const char* kind() const noexcept override { return "DatasetError"; }
};
