#pragma once

#include <QDate>
#include <QStyledItemDelegate>
#include <optional>

class Field;

// Dates typed into a masked cell: day and month of one or two digits, the year of exactly four,
// separated by the date separator; "_" stands where nothing has been typed yet.
namespace MaskedDate {

QString inputMask(QChar separator);
// The masked text of the date part of a date-time.
QString text(double value, QChar separator);
// The day-month-year date the text stands for; empty when nothing was typed. Throws when the
// text is no valid date.
std::optional<QDate> toDate(const QString& text, QChar separator);
// Clears the date-time field when nothing was typed; otherwise sets it to the typed date and
// keeps the time of day it held.
void write(Field& field, const QString& text, QChar separator);

} // namespace MaskedDate

// The in-place editor of a masked date column: a masked line edit showing the cell's date. It
// hands its text to the model only when the user changed it, so that an untouched cell keeps
// its time of day; the column's writer turns the text into a date.
class MaskedDateDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    MaskedDateDelegate(QChar separator, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QChar m_separator;
};
