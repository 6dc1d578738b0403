#pragma once

#include <QDate>

class BookWriter;

// A small, realistic contact book for trying the program: Latin and Cyrillic names, multi-line
// addresses and notes, loans, some contacts without a birth date, and birthdays and events due
// today, tomorrow and in two days counted from `today`, besides others that are not due.
void writeDemoBook(BookWriter& writer, const QDate& today);

// A large generated book: `contacts` contacts and three loans per contact on average, spread
// unevenly over the contacts. The same start number gives the same book.
void writeGeneratedBook(BookWriter& writer, int contacts, quint32 start = 20261211);
