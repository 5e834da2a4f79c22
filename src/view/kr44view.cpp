#include "kr44view.h"

#include "kr44doc.h"
#include "lineeditor.h"
#include "programlistview.h"
#include "programtablemodel.h"
#include "prompt.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

CKR44View::CKR44View(CKR44Doc *doc, QWidget *parent)
    : QWidget(parent),
      m_doc(doc),
      m_model(new kr44::ProgramTableModel(this)),
      m_list(new kr44::ProgramListView(this)),
      m_runDialog(&kr44::runInstructionDialog)
{
    setObjectName(QStringLiteral("CKR44View"));
    setAccessibleName(QStringLiteral("Program"));
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

    m_editLineAction = makeAction("&Edit line\tEnter", "editLineAction");
    m_insertAction = makeAction("&Insert\tIns", "insertAction");
    m_deleteAction = makeAction("&Delete\tDel", "deleteAction");
    m_addCommentAction = makeAction("Add a &Comment\tSpace", "addCommentAction");
    connect(m_editLineAction, &QAction::triggered, this, &CKR44View::EditSelectedLine);
    connect(m_insertAction, &QAction::triggered, this, &CKR44View::InsertLine);
    connect(m_deleteAction, &QAction::triggered, this, &CKR44View::DeleteLine);
    connect(m_addCommentAction, &QAction::triggered, this, &CKR44View::AddComment);

    m_lineMenu = new QMenu(this);
    m_lineMenu->setObjectName(QStringLiteral("lineMenu"));
    m_lineMenu->setAccessibleName(QStringLiteral("Line menu"));
    m_lineMenu->addAction(m_editLineAction);
    m_lineMenu->addAction(m_insertAction);
    m_lineMenu->addAction(m_deleteAction);
    m_lineMenu->addSeparator();
    m_lineMenu->addAction(m_addCommentAction);

    connect(m_list, &kr44::ProgramListView::editRequested, this, &CKR44View::EditSelectedLine);
    connect(m_list, &kr44::ProgramListView::insertRequested, this, &CKR44View::InsertLine);
    connect(m_list, &kr44::ProgramListView::deleteRequested, this, &CKR44View::DeleteLine);
    connect(m_list, &kr44::ProgramListView::commentRequested, this, &CKR44View::AddComment);
    connect(m_list, &kr44::ProgramListView::lineMenuRequested, this, &CKR44View::ShowLineMenu);

    connect(m_editor, &kr44::LineEditor::instructionMenuRequested, this,
            &CKR44View::showInstructionMenu);
    connect(m_editor, &kr44::LineEditor::commPauseRequested, this,
            &CKR44View::commPauseRequested);
    connect(m_editor, &kr44::LineEditor::commResumeRequested, this,
            &CKR44View::commResumeRequested);
    connect(m_editor, &kr44::LineEditor::selectedRowChanged, this,
            &CKR44View::selectedRowChanged);
    connect(m_editor, &kr44::LineEditor::commandEnablingChanged, this, [this] {
        m_editLineAction->setEnabled(canEditLine());
        m_deleteAction->setEnabled(canDeleteLine());
        Q_EMIT commandEnablingChanged();
    });
    m_editLineAction->setEnabled(false);
    m_deleteAction->setEnabled(false);

    FillFromDocument();
}

CKR44View::~CKR44View()
{
    // Closed while one of its dialogs was open: the frame must not stay paused for good.
    if (m_editor->isCommPaused())
        Q_EMIT commResumeRequested();
}

QAction *CKR44View::makeAction(const char *text, const char *name)
{
    auto *action = new QAction(QString::fromLatin1(text), this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

CKR44Doc *CKR44View::GetDocument() const
{
    return m_doc;
}

QTableView *CKR44View::list() const
{
    return m_list;
}

const kr44::ProgramRows &CKR44View::rows() const
{
    return m_model->rows();
}

int CKR44View::rowCount() const
{
    return m_model->rowCount();
}

QString CKR44View::text(int row, int column) const
{
    return m_model->cellText(row, column);
}

int CKR44View::selectedRow() const
{
    return m_editor->selectedRow();
}

void CKR44View::selectRow(int row)
{
    m_editor->selectRow(row);
}

bool CKR44View::insertMode() const
{
    return m_editor->insertMode();
}

bool CKR44View::canEditLine() const
{
    return m_editor->canEditLine();
}

bool CKR44View::canDeleteLine() const
{
    return m_editor->canDeleteLine();
}

void CKR44View::setDialogRunner(DialogRunner runner)
{
    m_runDialog = std::move(runner);
}

void CKR44View::setWarningPrompt(WarningPrompt prompt)
{
    m_warn = std::move(prompt);
}

bool CKR44View::EditLine(int row)
{
    return m_editor->EditLine(row);
}

void CKR44View::EditSelectedLine()
{
    m_editor->EditSelectedLine();
}

void CKR44View::InsertLine()
{
    m_editor->InsertLine();
}

void CKR44View::ChooseInstruction(int commandId)
{
    m_editor->ChooseInstruction(commandId);
}

void CKR44View::DeleteLine()
{
    m_editor->DeleteLine();
}

void CKR44View::AddComment()
{
    m_editor->AddComment();
}

void CKR44View::WriteRowsBack()
{
    m_editor->WriteRowsBack();
}

void CKR44View::FillFromDocument()
{
    m_editor->FillFromDocument();
}

void CKR44View::ShowLineMenu(const QPoint &globalPos)
{
    // The context-menu key may arrive both as a key and as a context-menu request.
    if (m_lineMenu->isVisible())
        return;
    m_lineMenu->popup(globalPos);
}

void CKR44View::showInstructionMenu(int row)
{
    // Built afresh for each showing and gone when it closes. If the view itself goes while the
    // menu is open, the menu goes with it, hence the guards.
    QPointer<CKR44View> alive(this);
    QPointer<QMenu> menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("instructionMenu"));
    menu->setAccessibleName(QStringLiteral("Instruction menu"));
    for (int k = 0; k < kr44::kInstructionCount; ++k) {
        QAction *action = menu->addAction(QString::fromLatin1(kr44::kInstructionTable[k]));
        action->setData(kr44::kFirstInstructionCommand + k);
    }
    const QRect rowRect = m_list->visualRect(m_model->index(row, 0));
    QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(rowRect.topLeft()));
    const int commandId = (menu && chosen) ? chosen->data().toInt() : 0;
    delete menu.data();
    if (alive && commandId != 0)
        m_editor->ChooseInstruction(commandId);
}

void CKR44View::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_columnsSized)
        return;
    m_columnsSized = true;
    setInitialColumnWidths();
    // The window that shows the view may still settle its size (maximising) before anything is
    // painted; the widths follow that size, then are left to the user.
    QTimer::singleShot(0, this, &CKR44View::setInitialColumnWidths);
}

void CKR44View::setInitialColumnWidths()
{
    const int width = m_list->contentsRect().width();
    QHeaderView *header = m_list->horizontalHeader();
    header->resizeSection(kr44::ProgramTableModel::LineNumberColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::CodeColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::InstructionColumn, width / 6);
    header->resizeSection(kr44::ProgramTableModel::ParametersColumn, width / 2);
}
