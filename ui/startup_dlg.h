// The start-up registration dialog: Set writes the value that makes Windows start the
// program at log-on, Clear removes it. Which button is enabled shows the current state.
#pragma once
#include "framework/fw_dialog.h"

class CStartupDlg : public CDialog {
public:
    explicit CStartupDlg(CWnd* parent = nullptr);
    ~CStartupDlg() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnSetStartup();
    void OnClearStartup();

    DECLARE_MESSAGE_MAP()

private:
    void ShowRegistered(bool registered);
};
