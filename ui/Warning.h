// CWarning: the notice shown before free space is wiped, with a box to stop it.
#pragma once

#include "afx/Controls.h"
#include "afx/Dialog.h"

class CWarning : public CDialog
{
public:
    explicit CWarning(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    // 1 when "Don't show this message again" was ticked as OK was pressed.
    int GetCheckState() const { return m_checkState; }

private:
    CButton m_dontShowAgain;
    int m_checkState;
};
