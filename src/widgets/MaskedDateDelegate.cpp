#include "MaskedDateDelegate.h"

#include "DataGridModel.h"
#include "data/DateTimeValue.h"
#include "data/Errors.h"
#include "data/Field.h"

#include <QLineEdit>

namespace MaskedDate {

QString inputMask(QChar separator)
{
    const QString literal = QLatin1Char('\\') + separator;
    return QLatin1String("99") + literal + QLatin1String("99") + literal + QLatin1String("9999;_");
}

QString text(double value, QChar separator)
{
    const QDate date = DateTimeValue::toDate(value);
    const auto digits = [](int number, int width) {
        return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
    };
    return digits(date.day(), 2) + separator + digits(date.month(), 2) + separator +
           digits(date.year(), 4);
}

static bool isNumberOfLength(const QString& part, int minLength, int maxLength)
{
    if (part.size() < minLength || part.size() > maxLength)
        return false;
    for (QChar c : part)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

std::optional<QDate> toDate(const QString& text, QChar separator)
{
    QStringList parts = text.split(separator);
    bool typed = false;
    for (QString& part : parts) {
        part.remove(QLatin1Char('_')).remove(QLatin1Char(' '));
        typed |= !part.isEmpty();
    }
    if (!typed)
        return std::nullopt;
    const bool shaped = parts.size() == 3 && isNumberOfLength(parts[0], 1, 2) &&
                        isNumberOfLength(parts[1], 1, 2) && isNumberOfLength(parts[2], 4, 4);
    const QDate date =
        shaped ? QDate(parts[2].toInt(), parts[1].toInt(), parts[0].toInt()) : QDate();
    if (!date.isValid())
        throw TembrelError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

void write(Field& field, const QString& text, QChar separator)
{
    const std::optional<QDate> date = toDate(text, separator);
    if (!date) {
        field.clear();
        return;
    }
    const QTime time = DateTimeValue::toTime(field.asDateTime());
    field.setAsDateTime(DateTimeValue::fromDateTime(*date, time));
}

} // namespace MaskedDate

MaskedDateDelegate::MaskedDateDelegate(QChar separator, QObject* parent)
    : QStyledItemDelegate(parent), m_separator(separator)
{
}

QWidget* MaskedDateDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("maskedDateEditor"));
    editor->setFrame(false);
    editor->setInputMask(MaskedDate::inputMask(m_separator));
    return editor;
}

void MaskedDateDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* edit = static_cast<QLineEdit*>(editor);
    const QVariant value = index.data(DataGridModel::ValueRole);
    edit->setText(value.isNull() ? QString() : MaskedDate::text(value.toDouble(), m_separator));
    edit->setModified(false);
}

void MaskedDateDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const
{
    const auto* edit = static_cast<const QLineEdit*>(editor);
    if (edit->isModified())
        model->setData(index, edit->displayText(), Qt::EditRole);
}
