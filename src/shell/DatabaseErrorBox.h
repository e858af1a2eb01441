#pragma once

#include "storage/CCorvaneODBC.h"

class IUserPrompt;
class QWidget;

// Shows the database-access object's failures to the operator: "Fail to link database" as an
// error box captioned "ERROR", SQL errors as a plain notice.
class CPromptDatabaseErrorSink final : public IDatabaseErrorSink {
public:
    // The prompt and the parent must outlive the sink.
    CPromptDatabaseErrorSink(IUserPrompt &prompt, QWidget *parent) : m_prompt(prompt), m_parent(parent) {}
    void ShowDatabaseError(const DatabaseError &error) override;

private:
    IUserPrompt &m_prompt;
    QWidget *m_parent;
};
