#include "shell/DatabaseErrorBox.h"

#include "base/UserPrompt.h"

void CPromptDatabaseErrorSink::ShowDatabaseError(const DatabaseError &error)
{
    if (error.kind != DatabaseError::Kind::SqlError)
        m_prompt.ShowError(m_parent, error.caption, error.text);
    else
        m_prompt.Inform(m_parent, error.text);
}
