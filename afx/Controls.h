// The common controls the program uses, as thin CWnd classes.
#pragma once

#include "Wnd.h"

class CButton : public CWnd
{
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, "BUTTON", caption, style | WS_CHILD, rect, parent, id);
    }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL pushed) const { SendMessage(BM_SETSTATE, pushed); }
};

class CStatic : public CWnd
{
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF)
    {
        return CWnd::CreateEx(0, "STATIC", text, style | WS_CHILD, rect, parent, id);
    }
    HBITMAP SetBitmap(HBITMAP bitmap) const
    {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CListBox : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, "LISTBOX", nullptr, style | WS_CHILD, rect, parent, id);
    }
    int AddString(const char* text) const { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, (LPARAM)text)); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int GetItemRect(int index, RECT* rect) const
    {
        return static_cast<int>(SendMessage(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
    }
    int SetItemHeight(int index, int height) const
    {
        return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, index, height));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }
    int DeleteString(int index) const { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
    int FindStringExact(int after, const char* text) const
    {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, after, reinterpret_cast<LPARAM>(text)));
    }
    CString GetText(int index) const;
};

class CEdit : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(WS_EX_CLIENTEDGE, "EDIT", nullptr, style | WS_CHILD, rect, parent, id);
    }
    void LimitText(int characters) const { SendMessage(EM_LIMITTEXT, characters); }
};

class CComboBox : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, "COMBOBOX", nullptr, style | WS_CHILD, rect, parent, id);
    }
    int AddString(const char* text) const { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, (LPARAM)text)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
};

class CTabCtrl : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, WC_TABCONTROLA, nullptr, style | WS_CHILD, rect, parent, id);
    }
    int InsertItem(int index, const char* text) const;
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, index)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
};

class CDateTimeCtrl : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, DATETIMEPICK_CLASSA, nullptr, style | WS_CHILD, rect, parent, id);
    }
    DWORD GetTime(SYSTEMTIME* time) const
    {
        return static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(time)));
    }
    BOOL SetTime(const SYSTEMTIME* time) const
    {
        return static_cast<BOOL>(SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(time)));
    }
};

class CProgressCtrl : public CWnd
{
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(0, PROGRESS_CLASSA, nullptr, style | WS_CHILD, rect, parent, id);
    }
    void SetRange32(int low, int high) const { SendMessage(PBM_SETRANGE32, low, high); }
    int SetStep(int step) const { return static_cast<int>(SendMessage(PBM_SETSTEP, step)); }
    int StepIt() const { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    int SetPos(int pos) const { return static_cast<int>(SendMessage(PBM_SETPOS, pos)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};
