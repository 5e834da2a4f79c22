#include "lineeditor.h"

#include "kr44doc.h"
#include "programtablemodel.h"

#include <QItemSelectionModel>

namespace kr44 {

LineEditor::LineEditor(ProgramTableModel *model, QItemSelectionModel *selection, QObject *parent)
    : QObject(parent), m_model(model), m_selection(selection)
{
    setObjectName(QStringLiteral("lineEditor"));
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            &LineEditor::updateSelectedRow);
    // Rows inserted or removed above the selection move it without a selection signal.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &LineEditor::updateSelectedRow);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &LineEditor::updateSelectedRow);
    connect(m_model, &QAbstractItemModel::modelReset, this, &LineEditor::updateSelectedRow);
}

void LineEditor::setDocument(CKR44Doc *doc)
{
    m_doc = doc;
}

CKR44Doc *LineEditor::document() const
{
    return m_doc;
}

const ProgramRows &LineEditor::rows() const
{
    return m_model->rows();
}

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
}

void LineEditor::FillFromDocument()
{
    if (m_doc) {
        m_model->fill(m_doc->m_lines);
    } else {
        m_model->fill(LineArray());
    }
    selectRow(0);
}

void LineEditor::WriteRowsBack()
{
    if (m_doc)
        m_doc->setLines(m_model->writeBack());
}

DialogResult LineEditor::runDialog(const QByteArray &code, QByteArray &params, int row)
{
    if (!m_runDialog)
        return DialogResult::Rejected;
    return m_runDialog(code, params, rows(), row);
}

bool LineEditor::EditLine(int row)
{
    if (!rows().isValidRow(row))
        return false;
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

    ++m_pauseDepth;
    Q_EMIT commPauseRequested();
    if (isCommentCode(code)) {
        runDialog(QByteArray(), params, row);
        if (!alive)
            return Stored::No;
        storeComment(row, before, params);
        WriteRowsBack();
        stored = Stored::Yes;
    } else if (hasParamFields(code.front())) {
        const DialogResult result = runDialog(code, params, row);
        if (!alive)
            return Stored::No;
        if (result == DialogResult::Accepted && rows().isValidRow(row)
            && row != rows().endRow()) {
            m_model->setParams(row, params);
            WriteRowsBack();
            stored = Stored::Yes;
        }
    } else {
        // K, Z and letters in no table entry have nothing to edit; the lines are stored anyway.
        WriteRowsBack();
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

void LineEditor::EditSelectedLine()
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
    if (rows().isEmptyRow(sel))
        ShowInstructionMenu(false);
    else
        EditLine(sel);
}

void LineEditor::InsertLine()
{
    if (selectedRow() < 0)
        return;
    ShowInstructionMenu(true);
}

void LineEditor::ShowInstructionMenu(bool insertMode)
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
    m_insertMode = insertMode;
    Q_EMIT instructionMenuRequested(sel);
}

void LineEditor::ChooseInstruction(int commandId)
{
    if (commandId < kFirstInstructionCommand || commandId > kLastInstructionCommand)
        return;
    const int sel = selectedRow();
    if (sel < 0)
        return;
    const char code = instructionCode(commandId - kFirstInstructionCommand);
    // Filling a row that is not empty would overwrite its code under its old text: the new
    // instruction goes before it instead.
    if (m_insertMode || !rows().isEmptyRow(sel)) {
        m_model->insertLine(sel);
        selectRow(sel);
    } else {
        m_model->appendEndRow();
    }
    m_model->setCode(sel, QByteArrayView(&code, 1));
    QPointer<LineEditor> alive(this);
    const Stored stored = editRow(sel);
    // A new jump with no line to jump to is refused by its dialog; the rows already hold the
    // bare letter (and any moved jump targets), so the document takes them now rather than at
    // some later edit.
    if (alive && stored == Stored::No)
        WriteRowsBack();
}

void LineEditor::DeleteLine()
{
    const int sel = selectedRow();
    if (sel < 0 || rows().isEmptyRow(sel))
        return;
    if (rows().firstReferenceTo(sel + 1)) {
        if (m_warn)
            m_warn(QString::fromLatin1(kReferencedLineMessage));
        return;
    }
    m_model->removeLine(sel);
    selectRow(sel);
    WriteRowsBack();
}

void LineEditor::AddComment()
{
    const int sel = selectedRow();
    if (sel < 0)
        return;
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
    WriteRowsBack();
}

} // namespace kr44
