// Idle stand-in of the template editor until the template feature is built: it edits nothing,
// keeps its editing flag and counts how often it was asked to return to its start state.
#pragma once

#include <memory>

class CTemplateLoadEventImp;

class CTemplateEditEventImp {
public:
    CTemplateEditEventImp();

    void SetEditMode(bool editing) { m_bEditing = editing; }
    bool IsEditMode() const { return m_bEditing; }
    // Nothing is ever open, so there is nothing to save: back to the start state.
    void AskSaveCurrent() { m_bEditing = false; ++m_nResets; }
    int GetResetCount() const { return m_nResets; }
    std::shared_ptr<CTemplateLoadEventImp> GetLoadPage() const { return m_pLoadPage; }

private:
    bool m_bEditing = false;
    int m_nResets = 0;
    std::shared_ptr<CTemplateLoadEventImp> m_pLoadPage;
};
