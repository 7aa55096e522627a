// CDialog: a modal dialog built from a dialog template resource.
//
// DoModal creates the dialog (owned by the given parent, or by the application's main
// window), disables the owner and runs its own message loop. A template that is not
// visible is shown with SW_SHOWNORMAL once, when the queue first runs empty; an end
// requested before that (even from OnInitDialog) ends the dialog without showing it.
#pragma once
#include "framework/fw_wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override = default;

    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Moves values between members and controls; see CDataExchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The dialog object behind a window that DoModal created, or null.
    static CDialog* FromHandle(HWND hwnd);

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) override;

    UINT m_templateId;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void RunModalLoop();
    void CenterOnOwner();

    bool continueModal = false;
    bool defaultPending = false;  // the next call of DialogProc comes from DefDlgProc
    bool focusPending = false;    // initialisation asked for the focus before the first show
    int modalResult = -1;
};
