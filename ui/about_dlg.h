// The About box: icon, internal name, product version, copyright line and company,
// read from the version resource of the program's own file each time it opens.
#pragma once
#include "framework/fw_dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    ~CAboutDlg() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // No message map of its own: OK and Cancel end the box through the framework's map.
};
