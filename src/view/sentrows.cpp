#include "view/sentrows.h"

#include "model/programcheck.h"
#include "view/programtablemodel.h"

namespace kr44 {

SentRows::SentRows(ProgramTableModel *model, const LineArray &lines) : m_model(model)
{
    const QList<int> editorLines = editorLinesOfUnit(lines);
    m_rows.reserve(editorLines.size());
    m_texts.reserve(editorLines.size());
    for (const int editor : editorLines) {
        m_rows.append(model->index(editor - 1, ProgramTableModel::LineNumberColumn));
        m_texts.append(lines.at(editor - 1).toByteArray());
    }
}

int SentRows::rowOf(int unitLine) const
{
    if (!m_model || unitLine < 1 || unitLine > m_rows.size())
        return -1;
    const QPersistentModelIndex &index = m_rows.at(unitLine - 1);
    const ProgramRows &rows = m_model->rows();
    if (!index.isValid() || index.row() >= rows.lineCount()
        || rows.storedLine(index.row()) != m_texts.at(unitLine - 1))
        return -1;
    return index.row();
}

int SentRows::unitLineOf(int row) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).isValid() && m_rows.at(i).row() == row)
            return rowOf(int(i + 1)) == row ? int(i + 1) : 0;
    }
    return 0;
}

} // namespace kr44
