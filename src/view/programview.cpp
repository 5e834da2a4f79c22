#include "view/programview.h"

#include "dialogs/prompt.h"
#include "model/programdocument.h"
#include "view/lineeditor.h"
#include "view/programchecker.h"
#include "view/programlistview.h"
#include "view/programtablemodel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QUndoStack>
#include <QVBoxLayout>

namespace kr44 {

ProgramView::ProgramView(ProgramDocument *doc, QWidget *parent)
    : QWidget(parent), m_doc(doc), m_model(new kr44::ProgramTableModel(this)),
      m_list(new kr44::ProgramListView(this)), m_runDialog(&kr44::runInstructionDialog)
{
    setObjectName(QStringLiteral("ProgramView"));
    setAccessibleName(tr("Program"));
    m_list->setModel(m_model);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    setFocusProxy(m_list);

    m_editor = new kr44::LineEditor(m_model, m_list->selectionModel(), this);
    m_editor->setDocument(doc);
    m_editor->setDialogRunner([this](const QByteArray &code, QByteArray &params,
                                     const kr44::ProgramCodes &program, int row) {
        return m_runDialog ? m_runDialog(this, code, params, program, row)
                           : kr44::DialogResult::Rejected;
    });
    m_editor->setWarningPrompt([this](const QString &text) {
        if (m_warn)
            m_warn(this, text);
        else
            kr44::showPrompt(this, kr44::PromptIcon::Exclamation, text);
    });

    m_editLineAction = makeAction(tr("&Edit line\tEnter"), "editLineAction");
    m_insertAction = makeAction(tr("&Insert\tIns"), "insertAction");
    m_deleteAction = makeAction(tr("&Delete\tDel"), "deleteAction");
    m_addCommentAction = makeAction(tr("Add a &Comment\tSpace"), "addCommentAction");
    connect(m_editLineAction, &QAction::triggered, this, &ProgramView::editSelectedLine);
    connect(m_insertAction, &QAction::triggered, this, &ProgramView::insertLine);
    connect(m_deleteAction, &QAction::triggered, this, &ProgramView::deleteLine);
    connect(m_addCommentAction, &QAction::triggered, this, &ProgramView::addComment);

    m_lineMenu = new QMenu(this);
    m_lineMenu->setObjectName(QStringLiteral("lineMenu"));
    m_lineMenu->setAccessibleName(tr("Line menu"));
    m_lineMenu->addAction(m_editLineAction);
    m_lineMenu->addAction(m_insertAction);
    m_lineMenu->addAction(m_deleteAction);
    m_lineMenu->addSeparator();
    m_lineMenu->addAction(m_addCommentAction);

    connect(m_list, &kr44::ProgramListView::editRequested, this, &ProgramView::editSelectedLine);
    connect(m_list, &kr44::ProgramListView::insertRequested, this, &ProgramView::insertLine);
    connect(m_list, &kr44::ProgramListView::deleteRequested, this, &ProgramView::deleteLine);
    connect(m_list, &kr44::ProgramListView::commentRequested, this, &ProgramView::addComment);
    connect(m_list, &kr44::ProgramListView::lineMenuRequested, this, &ProgramView::showLineMenu);
    connect(m_list, &kr44::ProgramListView::viewportResized, this, &ProgramView::fitColumnsToList);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fittingColumns)
            m_columnsSizedByUser = true;
    });

    connect(m_editor, &kr44::LineEditor::instructionMenuRequested, this,
            &ProgramView::showInstructionMenu);
    connect(m_editor, &kr44::LineEditor::commPauseRequested, this, &ProgramView::commPauseRequested);
    connect(m_editor, &kr44::LineEditor::commResumeRequested, this,
            &ProgramView::commResumeRequested);
    connect(m_editor, &kr44::LineEditor::selectedRowChanged, this, &ProgramView::selectedRowChanged);
    connect(m_editor, &kr44::LineEditor::commandEnablingChanged, this, [this] {
        m_editLineAction->setEnabled(canEditLine());
        m_deleteAction->setEnabled(canDeleteLine());
        Q_EMIT commandEnablingChanged();
    });
    m_editLineAction->setEnabled(false);
    m_deleteAction->setEnabled(false);

    createEditActions();

    m_checker = new kr44::ProgramChecker(this);
    m_checker->setSource([this] { return m_model->rows().snapshot(); });
    connect(m_editor, &kr44::LineEditor::rowsSettled, m_checker, &kr44::ProgramChecker::schedule);
    connect(m_checker, &kr44::ProgramChecker::findingsChanged, this, [this] {
        m_model->setFindings(m_checker->findings());
        Q_EMIT findingsChanged();
    });

    fillFromDocument();
}

void ProgramView::createEditActions()
{
    m_undoAction = makeAction(tr("&Undo"), "undoAction");
    m_redoAction = makeAction(tr("&Redo"), "redoAction");
    m_cutAction = makeAction(tr("Cu&t"), "cutAction");
    m_copyAction = makeAction(tr("&Copy"), "copyAction");
    m_pasteAction = makeAction(tr("&Paste"), "pasteAction");
    connect(m_undoAction, &QAction::triggered, this, &ProgramView::undo);
    connect(m_redoAction, &QAction::triggered, this, &ProgramView::redo);
    connect(m_cutAction, &QAction::triggered, this, &ProgramView::cut);
    connect(m_copyAction, &QAction::triggered, this, &ProgramView::copy);
    connect(m_pasteAction, &QAction::triggered, this, &ProgramView::paste);
    connect(m_editor, &kr44::LineEditor::editCommandsChanged, this, &ProgramView::updateEditActions);
    connect(m_editor, &kr44::LineEditor::stepRestored, this, [this](int row) {
        if (row >= 0)
            m_list->scrollTo(m_model->index(row, 0));
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &ProgramView::clipboardChanged);
    m_clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    updateEditActions();
}

void ProgramView::clipboardChanged()
{
    const bool hasText = !QGuiApplication::clipboard()->text().isEmpty();
    if (hasText == m_clipboardHasText)
        return;
    m_clipboardHasText = hasText;
    updateEditActions();
}

void ProgramView::updateEditActions()
{
    const QString undoName = undoText();
    const QString redoName = redoText();
    m_undoAction->setText(undoName.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(undoName));
    m_undoAction->setEnabled(canUndo());
    m_redoAction->setText(redoName.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(redoName));
    m_redoAction->setEnabled(canRedo());
    m_cutAction->setEnabled(canCut());
    m_copyAction->setEnabled(canCopy());
    m_pasteAction->setEnabled(canPaste());
    Q_EMIT editCommandsChanged();
}

QUndoStack *ProgramView::undoStack() const { return m_editor->undoStack(); }

bool ProgramView::canUndo() const { return m_editor->canUndo(); }

bool ProgramView::canRedo() const { return m_editor->canRedo(); }

QString ProgramView::undoText() const { return m_editor->undoText(); }

QString ProgramView::redoText() const { return m_editor->redoText(); }

bool ProgramView::canCopy() const { return m_editor->canCopy(); }

bool ProgramView::canCut() const { return m_editor->canCut(); }

bool ProgramView::canPaste() const { return m_clipboardHasText && m_editor->canPaste(); }

void ProgramView::undo() { m_editor->undo(); }

void ProgramView::redo() { m_editor->redo(); }

void ProgramView::cut()
{
    const QString text = m_editor->cut();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void ProgramView::copy()
{
    const QString text = m_editor->copyText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void ProgramView::paste() { m_editor->paste(QGuiApplication::clipboard()->text()); }

void ProgramView::markSaved() { m_editor->markSaved(); }

ProgramView::~ProgramView()
{
    // Closed while one of its dialogs was open: the frame must not stay paused for good.
    if (m_editor->isCommPaused())
        Q_EMIT commResumeRequested();
}

QAction *ProgramView::makeAction(const QString &text, const char *name)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

ProgramDocument *ProgramView::document() const { return m_doc; }

QTableView *ProgramView::list() const { return m_list; }

const kr44::ProgramRows &ProgramView::rows() const { return m_model->rows(); }

int ProgramView::rowCount() const { return m_model->rowCount(); }

QString ProgramView::text(int row, int column) const { return m_model->cellText(row, column); }

int ProgramView::selectedRow() const { return m_editor->selectedRow(); }

void ProgramView::selectRow(int row) { m_editor->selectRow(row); }

void ProgramView::showRow(int row)
{
    m_editor->selectRow(row);
    m_list->scrollTo(m_model->index(row, 0));
}

const kr44::FindingIndex &ProgramView::findings() const { return m_checker->findings(); }

bool ProgramView::insertMode() const { return m_editor->insertMode(); }

bool ProgramView::canEditLine() const { return m_editor->canEditLine(); }

bool ProgramView::canDeleteLine() const { return m_editor->canDeleteLine(); }

void ProgramView::setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

void ProgramView::setWarningPrompt(WarningPrompt prompt) { m_warn = std::move(prompt); }

bool ProgramView::editLine(int row) { return m_editor->editLine(row); }

void ProgramView::editSelectedLine() { m_editor->editSelectedLine(); }

void ProgramView::insertLine() { m_editor->insertLine(); }

void ProgramView::chooseInstruction(char code) { m_editor->chooseInstruction(code); }

void ProgramView::deleteLine() { m_editor->deleteLine(); }

void ProgramView::addComment() { m_editor->addComment(); }

void ProgramView::writeRowsBack() { m_editor->writeRowsBack(); }

void ProgramView::fillFromDocument() { m_editor->fillFromDocument(); }

void ProgramView::showLineMenu(const QPoint &globalPos)
{
    // The context-menu key may arrive both as a key and as a context-menu request.
    if (m_lineMenu->isVisible())
        return;
    m_lineMenu->popup(globalPos);
}

void ProgramView::showInstructionMenu(int row)
{
    // Built afresh for each showing and gone when it closes. If the view itself goes while the
    // menu is open, the menu goes with it, hence the guards.
    QPointer<ProgramView> alive(this);
    QPointer<QMenu> menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("instructionMenu"));
    menu->setAccessibleName(tr("Instruction menu"));
    for (int k = 0; k < kr44::kInstructionCount; ++k) {
        const char code = kr44::kInstructionTable[k].code;
        QAction *action = menu->addAction(QStringLiteral("%1\t%2").arg(
                QString(QLatin1Char(code)), kr44::instructionName(QByteArrayView(&code, 1))));
        action->setData(QChar::fromLatin1(code));
    }
    const QRect rowRect = m_list->visualRect(m_model->index(row, 0));
    QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(rowRect.topLeft()));
    const char code = (menu && chosen) ? chosen->data().toChar().toLatin1() : '\0';
    delete menu.data();
    if (alive && code != '\0')
        m_editor->chooseInstruction(code);
}

void ProgramView::fitColumnsToList()
{
    // The columns share the width the rows are shown in, so that no horizontal scroll bar
    // appears; they follow it as it changes until the user sizes a column.
    if (m_columnsSizedByUser)
        return;
    const QScopedValueRollback<bool> fitting(m_fittingColumns, true);
    const int width = m_list->viewport()->width();
    QHeaderView *header = m_list->horizontalHeader();
    header->resizeSection(kr44::ProgramTableModel::LineNumberColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::CodeColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::InstructionColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::ParametersColumn, width / 2);
}

} // namespace kr44
