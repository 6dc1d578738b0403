#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <vector>

class QKeyEvent;
class QTableView;

enum class SearchDirection {
    Wrap, // from the given row to the last, then from the first row to the one above it
    Down, // the rows below the given one
    Up,   // the rows above the given one, nearest first
};

// Case folding for the search: the same for every script, independent of the locale.
QString foldForSearch(const QString& text);

// The first row, in `direction` from row `from`, whose folded text begins with `foldedPrefix`;
// -1 when there is none.
int findPrefixRow(const std::vector<QString>& foldedTexts, const QString& foldedPrefix, int from,
                  SearchDirection direction);

// How many characters at the start of `text` make up `foldedPrefix` once folded (0 when the
// text does not begin with it).
int matchedLength(const QString& text, const QString& foldedPrefix);

// Incremental search by the beginning of the text in one column of a table view. While the
// focused cell is in that column, each typed character extends the search text and focuses the
// first row, from the focused one on and wrapping around, whose text begins with it (letter case
// ignored); a character with which no row matches is dropped. Backspace shortens the text (the
// search ends when it is empty), Escape ends the search, Ctrl+Down and Ctrl+Up go to the next
// match below or above without wrapping. Typing in another column does nothing. Any other key,
// and a focus change not made by the search, ends the search. The matched beginning of the
// focused row's text is drawn on the highlight colour.
class IncrementalSearch : public QObject {
    Q_OBJECT
public:
    IncrementalSearch(QTableView* view, int column, const QColor& highlight);

    const QString& text() const { return m_text; }
    bool isActive() const { return !m_text.isEmpty(); }
    int column() const { return m_column; }
    QColor highlight() const { return m_highlight; }
    // Characters matched at the start of the cell's text in `row`; 0 outside the focused row.
    int highlightedLength(int row) const;
    void end();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(const QKeyEvent& key);
    void type(const QString& characters);
    void backspace();
    void step(SearchDirection direction);
    // Searches for `text` and focuses the match; false (nothing changed) when there is none.
    bool search(const QString& text, SearchDirection direction);
    const std::vector<QString>& foldedTexts();
    void focusRow(int row);
    int focusedRow() const;
    void repaintFocusedRow();

    QTableView* m_view;
    int m_column;
    QColor m_highlight;
    QString m_text;
    std::vector<QString> m_folded;
    bool m_foldedValid = false;
    bool m_moving = false;
};
