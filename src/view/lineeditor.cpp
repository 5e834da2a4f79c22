#include "view/lineeditor.h"

#include "model/programdocument.h"
#include "view/lineclipboard.h"
#include "view/programtablemodel.h"
#include "view/rowjournal.h"

#include <QItemSelectionModel>
#include <QScopedValueRollback>
#include <QUndoStack>

// One operation of the editor as a history step: the journal of its changes to the rows and
// the selected row before and after it. It is pushed once the operation has been done.

namespace kr44 {

class EditStep final : public QUndoCommand
{
public:
    EditStep(LineEditor *editor, std::unique_ptr<RowJournal> journal, const QString &name,
             int selectionBefore, int selectionAfter, bool fromFill)
        : QUndoCommand(name), m_editor(editor), m_journal(std::move(journal)),
          m_before(selectionBefore), m_after(selectionAfter), m_fromFill(fromFill)
    {}

    [[nodiscard]] qsizetype memoryBytes() const
    {
        return qsizetype(sizeof(*this)) + text().capacity() * qsizetype(sizeof(QChar))
                + m_journal->memoryBytes();
    }

    void undo() override { m_editor->restoreStep(*m_journal, false, m_before, m_fromFill); }
    void redo() override
    {
        // QUndoStack::push() redoes what the operation has just done.
        if (m_pushed)
            m_editor->restoreStep(*m_journal, true, m_after, false);
        m_pushed = true;
    }

private:
    LineEditor *m_editor;
    std::unique_ptr<RowJournal> m_journal;
    int m_before;
    int m_after;
    bool m_fromFill; // undoing this step gives the rows as they were filled
    bool m_pushed = false;
};

LineEditor::StepScope::StepScope(LineEditor *editor) : m_editor(editor) { editor->beginStep(); }

LineEditor::StepScope::~StepScope()
{
    // A dialog of the operation may have outlived the editor.
    if (m_editor)
        m_editor->endStep();
}

LineEditor::LineEditor(ProgramTableModel *model, QItemSelectionModel *selection, QObject *parent)
    : QObject(parent), m_model(model), m_modelAlive(model), m_selection(selection),
      m_history(new QUndoStack(this))
{
    setObjectName(QStringLiteral("lineEditor"));
    m_history->setObjectName(QStringLiteral("undoStack"));
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            &LineEditor::updateSelectedRow);
    // Rows inserted or removed above the selection move it without a selection signal.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &LineEditor::updateSelectedRow);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &LineEditor::updateSelectedRow);
    connect(m_model, &QAbstractItemModel::modelReset, this, &LineEditor::updateSelectedRow);

    connect(m_history, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (m_doc && !m_refilling)
            m_doc->setModified(!clean);
    });
    // Every change to the rows is a push, an undo or a redo, and each moves the index.
    connect(m_history, &QUndoStack::indexChanged, this, &LineEditor::editCommandsChanged);
}

LineEditor::~LineEditor()
{
    // Destroyed inside an operation (its window closed under a dialog): the model, if it is
    // still there, must not record into the journal that goes with this editor.
    if (m_journal && m_modelAlive)
        m_modelAlive->setJournal(nullptr);
}

void LineEditor::setDocument(ProgramDocument *doc)
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = doc;
    if (!doc)
        return;
    // A save clears the flag: the state shown is then the saved one.
    connect(doc, &ProgramDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified && !m_history->isClean())
            m_history->setClean();
    });
}

ProgramDocument *LineEditor::document() const { return m_doc; }

const ProgramRows &LineEditor::rows() const { return m_model->rows(); }

int LineEditor::selectedRow() const
{
    const QItemSelection selection = m_selection->selection();
    for (const QItemSelectionRange &range : selection) {
        if (range.isValid())
            return range.top();
    }
    return -1;
}

void LineEditor::selectRow(int row)
{
    m_selection->setCurrentIndex(m_model->index(row, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void LineEditor::updateSelectedRow()
{
    const int row = selectedRow();
    if (row == m_lastSelectedRow)
        return;
    const bool enablingChanged = (row >= 0) != (m_lastSelectedRow >= 0);
    m_lastSelectedRow = row;
    Q_EMIT selectedRowChanged(row);
    if (enablingChanged)
        Q_EMIT commandEnablingChanged();
    Q_EMIT editCommandsChanged();
}

void LineEditor::fillFromDocument()
{
    if (m_doc) {
        m_model->fill(m_doc->lines());
    } else {
        m_model->fill(LineArray());
    }
    {
        // The history of other rows does not apply to these. Their state is the unmodified one
        // unless the document's lines were already changed from their file.
        const QScopedValueRollback<bool> refilling(m_refilling, true);
        m_history->clear();
        if (m_doc && m_doc->isModified())
            m_history->resetClean();
    }
    selectRow(0);
    Q_EMIT editCommandsChanged();
    Q_EMIT rowsSettled();
}

void LineEditor::writeRowsBack()
{
    if (m_stepDepth > 0)
        m_stepWritten = true;
    if (m_doc)
        m_doc->setLines(m_model->writeBack());
    Q_EMIT rowsSettled();
}

void LineEditor::beginStep()
{
    if (m_stepDepth++ > 0)
        return;
    m_journal = std::make_unique<RowJournal>();
    m_model->setJournal(m_journal.get());
    m_stepName.clear();
    m_stepSelection = selectedRow();
    m_stepWritten = false;
}

void LineEditor::endStep()
{
    if (--m_stepDepth > 0)
        return;
    m_model->setJournal(nullptr);
    std::unique_ptr<RowJournal> journal = std::move(m_journal);
    // An operation that stored nothing and changed nothing (a dialog cancelled, a deletion
    // refused) is no step. One that stored the rows unchanged is: it marked the document
    // modified, and undoing it takes that back.
    if (!m_stepWritten) {
        if (journal->isEmpty())
            return;
        writeRowsBack();
    }
    journal->squeeze();
    const bool fromFill = m_history->index() == 0;
    m_history->push(new EditStep(this, std::move(journal),
                                 m_stepName.isEmpty() ? tr("Edit") : m_stepName, m_stepSelection,
                                 selectedRow(), fromFill));
}

void LineEditor::nameStep(const char *name)
{
    if (m_stepDepth > 0 && m_stepName.isEmpty())
        m_stepName = tr(name);
}

void LineEditor::restoreStep(const RowJournal &journal, bool forward, int selection, bool asFilled)
{
    m_model->replay(journal, forward);
    if (m_doc) {
        LineArray lines = m_model->writeBack();
        // Empty lines stored as "" or "*" are shown and written back as "* "; the lines the
        // document was filled from are given back as they were.
        if (asFilled)
            lines = rows().linesAsFilled();
        m_doc->setLines(std::move(lines));
    }
    if (rows().isValidRow(selection))
        selectRow(selection);
    else
        m_selection->clear();
    Q_EMIT stepRestored(selection);
    Q_EMIT rowsSettled();
}

bool LineEditor::canUndo() const { return m_history->canUndo(); }

bool LineEditor::canRedo() const { return m_history->canRedo(); }

QString LineEditor::undoText() const { return m_history->undoText(); }

QString LineEditor::redoText() const { return m_history->redoText(); }

void LineEditor::undo()
{
    // Not from inside an operation (under its dialog or menu): its step is not recorded yet.
    if (m_stepDepth == 0)
        m_history->undo();
}

void LineEditor::redo()
{
    if (m_stepDepth == 0)
        m_history->redo();
}

qsizetype LineEditor::historyBytes() const
{
    qsizetype bytes = 0;
    for (int i = 0; i < m_history->count(); ++i)
        bytes += static_cast<const EditStep *>(m_history->command(i))->memoryBytes();
    return bytes;
}

void LineEditor::markSaved() { m_history->setClean(); }

bool LineEditor::canCopy() const
{
    const int sel = selectedRow();
    return sel >= 0 && sel < rows().lineCount();
}

bool LineEditor::canCut() const { return canCopy() && !rows().isEmptyRow(selectedRow()); }

QString LineEditor::copyText() const
{
    if (!canCopy())
        return {};
    return clipboardText({rows().storedLine(selectedRow())});
}

QString LineEditor::cut()
{
    if (!canCut())
        return {};
    const QString text = copyText();
    return removeSelectedLine(QT_TR_NOOP("Cut")) ? text : QString();
}

bool LineEditor::paste(const QString &text)
{
    const int sel = selectedRow();
    if (sel < 0)
        return false;
    const LineArray lines = linesFromClipboardText(text);
    if (lines.isEmpty())
        return false;
    StepScope step(this);
    nameStep(QT_TR_NOOP("Paste"));
    m_model->insertLines(sel, lines);
    selectRow(sel);
    writeRowsBack();
    return true;
}

DialogResult LineEditor::runDialog(const QByteArray &code, QByteArray &params, int row)
{
    if (!m_runDialog)
        return DialogResult::Rejected;
    return m_runDialog(code, params, rows(), row);
}

bool LineEditor::editLine(int row)
{
    if (!rows().isValidRow(row))
        return false;
    StepScope step(this);
    editRow(row);
    return true;
}

LineEditor::Stored LineEditor::editRow(int row)
{
    const QByteArray code = rows().code(row).toByteArray();
    const QByteArray before = rows().params(row).toByteArray();
    QByteArray params = before;
    QPointer<LineEditor> alive(this);
    Stored stored = Stored::No;
    nameStep(QT_TR_NOOP("Edit"));

    ++m_pauseDepth;
    Q_EMIT commPauseRequested();
    if (isCommentCode(code)) {
        runDialog(QByteArray(), params, row);
        if (!alive)
            return Stored::No;
        storeComment(row, before, params);
        writeRowsBack();
        stored = Stored::Yes;
    } else if (hasParamFields(code.front())) {
        const DialogResult result = runDialog(code, params, row);
        if (!alive)
            return Stored::No;
        if (result == DialogResult::Accepted && rows().isValidRow(row) && row != rows().endRow()) {
            m_model->setParams(row, params);
            writeRowsBack();
            stored = Stored::Yes;
        }
    } else {
        // K, Z and letters in no table entry have nothing to edit; the lines are stored anyway.
        writeRowsBack();
        stored = Stored::Yes;
    }
    --m_pauseDepth;
    Q_EMIT commResumeRequested();
    return stored;
}

void LineEditor::storeComment(int row, const QByteArray &before, const QByteArray &after)
{
    if (!rows().isValidRow(row))
        return;
    if (row == rows().endRow()) {
        // The end row is never stored, so a text given to it would be lost: it becomes a line.
        if (after.isEmpty())
            return;
        m_model->appendEndRow();
    }
    if (after == before)
        return;
    if (!rows().code(row).isEmpty())
        m_model->setCode(row, {});
    m_model->setParams(row, after);
}

void LineEditor::editSelectedLine()
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
    StepScope step(this);
    if (rows().isEmptyRow(sel))
        requestInstructionMenu(false);
    else
        editLine(sel);
}

void LineEditor::insertLine()
{
    if (selectedRow() < 0)
        return;
    requestInstructionMenu(true);
}

void LineEditor::requestInstructionMenu(bool insertMode)
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
    // The menu may run its choice before it returns.
    StepScope step(this);
    m_insertMode = insertMode;
    Q_EMIT instructionMenuRequested(sel);
}

void LineEditor::chooseInstruction(char code)
{
    if (instructionIndex(code) < 0)
        return;
    const int sel = selectedRow();
    if (sel < 0)
        return;
    StepScope step(this);
    // Filling a row that is not empty would overwrite its code under its old text: the new
    // instruction goes before it instead.
    if (m_insertMode || !rows().isEmptyRow(sel)) {
        nameStep(QT_TR_NOOP("Insert"));
        m_model->insertLine(sel);
        selectRow(sel);
    } else {
        nameStep(QT_TR_NOOP("New Instruction"));
        m_model->appendEndRow();
    }
    m_model->setCode(sel, QByteArrayView(&code, 1));
    QPointer<LineEditor> alive(this);
    const Stored stored = editRow(sel);
    // A new jump with no line to jump to is refused by its dialog; the rows already hold the
    // bare letter (and any moved jump targets), so the document takes them now rather than at
    // some later edit.
    if (alive && stored == Stored::No)
        writeRowsBack();
}

void LineEditor::deleteLine() { removeSelectedLine(QT_TR_NOOP("Delete")); }

bool LineEditor::removeSelectedLine(const char *stepName)
{
    const int sel = selectedRow();
    if (sel < 0 || rows().isEmptyRow(sel))
        return false;
    if (rows().firstReferenceTo(sel + 1)) {
        if (m_warn)
            m_warn(tr(kReferencedLineMessage));
        return false;
    }
    StepScope step(this);
    nameStep(stepName);
    m_model->removeLine(sel);
    selectRow(sel);
    writeRowsBack();
    return true;
}

void LineEditor::addComment()
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
    StepScope step(this);
    nameStep(QT_TR_NOOP("Comment"));
    QByteArray start;
    switch (rows().kind(sel)) {
    case RowKind::Comment:
        start = rows().params(sel).toByteArray();
        break;
    case RowKind::Empty:
    case RowKind::End:
        m_model->appendEndRow();
        break;
    case RowKind::Instruction:
        m_model->insertLine(sel);
        selectRow(sel);
        break;
    }
    // Unlike the dispatcher, no pause of the polling around this dialog.
    QByteArray text = start;
    QPointer<LineEditor> alive(this);
    runDialog(QByteArray(), text, sel);
    if (!alive)
        return;
    storeComment(sel, start, text);
    writeRowsBack();
}

} // namespace kr44
