// CSkinButton: an owner-drawn button whose faces come from one horizontal strip
// bitmap, with a hover face, a pressed look, and check-box and radio kinds.
#pragma once

#include "Drawing.h"
#include "afx/Controls.h"

namespace exmfc
{
enum FaceBit
{
    FACE_NORMAL = 1,
    FACE_PRESSED = 2,
    FACE_HOVER = 4,
    FACE_DISABLED = 8,
    FACE_FOCUSED = 16,
    FACE_MASK = 32
};

// The face sets the program's strips hold.
const int FACES_NORMAL_PRESSED_HOVER = FACE_NORMAL | FACE_PRESSED | FACE_HOVER;
const int FACES_WITH_DISABLED = FACES_NORMAL_PRESSED_HOVER | FACE_DISABLED;

enum ButtonKind
{
    KIND_PUSH = 0,
    KIND_CHECKBOX = 2,
    KIND_RADIO = 4
};

// Posted to the other radio buttons of a group when one becomes checked.
const UINT WM_SKIN_UNCHECK_RADIO = WM_USER + 0x100;

class CSkinButton : public CButton
{
public:
    CSkinButton();

    // Loads the strip and cuts its faces: one face width per bit set in faceMask.
    bool SetSkin(UINT bitmapId, int faceMask, int faceWidth, COLORREF maskColour = 0, int drawMode = 0,
                 bool border = false, int focusMargin = 0);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override { return CButton::PreTranslateMessage(msg); }
    void DrawItem(LPDRAWITEMSTRUCT dis) override;

    int GetKind() const { return m_kind; }
    bool IsChecked() const { return m_checked; }
    bool IsHovering() const { return m_hovering; }
    bool IsDown() const { return m_down; }
    HBITMAP GetFace(int index) const { return m_faces[index]; }
    void SetTextColours(COLORREF normal, COLORREF hover, COLORREF pressed)
    {
        m_normalText = normal, m_hoverText = hover, m_pressedText = pressed;
    }
    void SetResourceModule(HINSTANCE module) { m_module = module; }
    // A push button shown in its pressed face while selected (the page that is open, say).
    void SetSelected(bool selected);
    bool IsSelected() const { return m_selected; }
    // The caption is painted in the faces: the window text only names the button (for
    // screen readers and tests) and is not drawn.
    void SetCaptionInFace(bool inFace) { m_captionInFace = inFace; }

    // Face indexes of GetFace.
    enum
    {
        NORMAL,
        PRESSED,
        DISABLED,
        HOVER,
        FOCUSED,
        MASK,
        FACE_COUNT
    };

    BEGIN_MSG_MAP_EX(CSkinButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(WM_SKIN_UNCHECK_RADIO, OnUncheckRadio)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    END_MSG_MAP_EX()

    BOOL OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKillFocus(CWnd* newFocus);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    LRESULT OnSetCheck(WPARAM state, LPARAM);
    LRESULT OnGetCheck(WPARAM, LPARAM);
    LRESULT OnUncheckRadio(WPARAM, LPARAM);
    LRESULT OnGetDlgCode(WPARAM, LPARAM message);

private:
    int CutFaces(const CBitmap& strip, int faceMask, int faceWidth);
    void ShapeByMask(int faceWidth, int height);
    bool FollowCursorWhileHeld();
    CRect TextRect(const CRect& item) const;
    void PaintFaceOrFill(CDC& dc, int face, const CRect& item);
    void DrawDisabled(CDC& dc, const CRect& item, CRect textRect, const CString& caption, UINT format);
    void DrawPressed(CDC& dc, UINT state, const CRect& item, CRect& textRect);
    void DrawReleased(CDC& dc, UINT state, const CRect& item);
    void PaintFaceInto(CDC& dc, int face, const RECT& rect);
    bool CursorOverButton() const;
    void ClickCheckOrRadio();

    bool m_down;
    bool m_checked;
    int m_drawMode;
    COLORREF m_normalText, m_hoverText, m_pressedText;
    int m_focusMargin;
    CRgn m_clipRegion;
    bool m_hovering;
    int m_kind;
    bool m_border;
    CBitmap m_faces[FACE_COUNT];
    bool m_customDisabledText;
    COLORREF m_disabledText;
    HINSTANCE m_module;
    bool m_selected;
    bool m_captionInFace;
};
} // namespace exmfc
