#pragma once

#include "model/instructionset.h"
#include "model/linearray.h"
#include "view/rowjournal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// What a row of the program list is, judged from its Code and Parameters alone.

namespace kr44 {

enum class RowKind {
    Instruction, // a non-empty code
    Comment,     // no code, some text (a stored "*text" line included)
    Empty,       // a program line with neither code nor text: written back as "* "
    End,         // the row after the last program line; never stored
};

// The working copy of a program as list rows: one row per program line, each holding the line's
// code and parameter text, followed by the end row. Line numbers and instruction names are
// derived from the position and the code, never stored.
//
// A row is the span of its whole line in one byte pool; the code and the parameter text are read
// from the line's first bytes. Filling copies the document's line bytes in one block, and a
// write-back hands the pool itself to the document, which shares it: neither touches the bytes
// line by line. A changed line is appended to the pool; the pool is compacted when the bytes no
// row uses outgrow the rest.
class ProgramRows final : public ProgramCodes
{
public:
    // The result of moving jump targets after an insertion or deletion: the rows whose
    // Parameters changed lie in [first, last].
    struct Retargeted
    {
        int count = 0;
        int first = -1;
        int last = -1;
    };

    ProgramRows() = default;
    explicit ProgramRows(const LineArray &lines) { fill(lines); }

    // One row per line; the end row follows.
    void fill(const LineArray &lines);
    // The lines the rows stand for, the end row left out: code and text, "* " for no code.
    // Also rebases the rows onto the returned lines' bytes, so the edit pool starts empty again.
    [[nodiscard]] LineArray writeBack();
    // The same lines without touching the rows' storage.
    [[nodiscard]] LineArray lines() const;
    // A reader of the lines as they are now, for any thread and any later time: taking it copies
    // nothing (the rows copy their storage if they change while a reader holds it), and the
    // reader builds the lines when it runs, once.
    [[nodiscard]] std::function<LineArray()> snapshot() const;

    // ProgramCodes: the program lines (end row excluded) and the code of each, empty for a
    // comment of either form.
    [[nodiscard]] int lineCount() const override { return int(m_rows.size()); }
    [[nodiscard]] QByteArray codeAt(int row) const override;

    [[nodiscard]] int rowCount() const { return lineCount() + 1; }
    [[nodiscard]] int endRow() const { return lineCount(); }
    [[nodiscard]] bool isValidRow(int row) const { return row >= 0 && row <= lineCount(); }

    // The row's stored code: empty for a comment or the end row, "*" for a comment that was
    // stored without its blank (kept so that the line is written back byte for byte).
    [[nodiscard]] QByteArrayView code(int row) const;
    [[nodiscard]] QByteArrayView params(int row) const;
    [[nodiscard]] LineParts parts(int row) const;
    // The line of program row `row` as it is written back.
    [[nodiscard]] QByteArrayView storedLine(int row) const
    {
        Q_ASSERT(row >= 0 && row < lineCount());
        return line(row);
    }
    [[nodiscard]] RowKind kind(int row) const;
    // Code and Parameters both empty: the end row, or an empty line.
    [[nodiscard]] bool isEmptyRow(int row) const;
    // The code the Code column shows: nothing for either form of comment.
    [[nodiscard]] QByteArrayView shownCode(int row) const;

    // Program rows only (row < lineCount()). A code is one byte or empty.
    void setCode(int row, QByteArrayView code);
    void setParams(int row, QByteArrayView params);

    // The end row becomes an empty program line; a new end row follows it. No number changes.
    void appendLine();
    // A new empty line at `row` (0 <= row <= lineCount()); the rows from `row` on move down by
    // one and every jump target that pointed at one of them follows it.
    Retargeted insertLine(int row);
    // `lines` inserted before `row` as that many insertions at once: the rows from `row` on move
    // down and the jump targets that pointed at them follow. Each new line is stored as a file's
    // line is read (an empty one as "* "); its own jump target is left as it is.
    Retargeted insertLines(int row, const LineArray &lines);
    // Removes line `row`; the rows below move up and the jump targets that pointed at them
    // follow. The caller makes sure no jump targets the removed line (see firstReferenceTo).
    Retargeted removeLine(int row);

    // The first row (in order) whose jump refers to line number `line`.
    [[nodiscard]] std::optional<int> firstReferenceTo(int line) const;

    // While a journal is set, every change made through the functions above (fill() aside) is
    // recorded in it. The journal must outlive its use here.
    void setJournal(RowJournal *journal) { m_journal = journal; }
    [[nodiscard]] RowJournal *journal() const { return m_journal; }
    // Does what `entry` of `journal` recorded (forward) or takes it back (backward), moving no
    // other target and recording nothing. Entries must be replayed in order, or in reverse
    // order, on the rows they were recorded on. Returns the rows whose text changed, for a Set
    // or a Shift.
    Retargeted replay(const RowJournal &journal, const RowJournal::Entry &entry, bool forward);

    // The lines as fill() was given them: lines(), except that an empty line given as "" or "*"
    // keeps that form rather than "* ". Meaningful only while the rows are as they were filled.
    [[nodiscard]] LineArray linesAsFilled() const;

private:
    [[nodiscard]] QByteArrayView line(int row) const
    {
        const LineArray::Span &span = m_rows.at(row);
        return QByteArrayView(m_text.constData() + span.offset, span.length);
    }
    // Stores `prefix` followed by `rest` as the line of `row`; either may view the pool itself.
    void storeLine(int row, QByteArrayView prefix, QByteArrayView rest);
    // The span of the "* " that empty comments share, adding it to the pool the first time.
    LineArray::Span emptyCommentSpan();
    // Writes the lines of all rows, in order, into a fresh pool.
    void compact();
    // Adds `delta` to every jump target in [lo, hi], except in rows [skipFrom, skipTo).
    Retargeted shiftTargets(int lo, int hi, int delta, int skipFrom = 0, int skipTo = 0);
    // Rewrites the target of jump row `row` to its target plus `delta`.
    void moveTarget(int row, int delta);
    // Records a Set of `row` from `before` if its line is no longer that.
    void recordChange(int row, const QByteArray &before);

    QList<LineArray::Span> m_rows;
    // Every row's line, stored as it is written back ("* " for an empty comment). Shared with
    // the document's lines after a write-back; appending to it then copies it once.
    QByteArray m_text;
    qsizetype m_emptyComment = -1; // offset of the "* " that empty comments use; -1: none yet
    qsizetype m_compactSize = 0;   // size of the pool when it was last filled or compacted
    // Rows filled from an empty line stored without its blank: the row and the line's length.
    std::vector<std::pair<int, qsizetype>> m_filledForms;
    RowJournal *m_journal = nullptr;
};

} // namespace kr44
