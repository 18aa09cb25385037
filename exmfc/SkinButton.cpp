#include "SkinButton.h"

#include <algorithm>

namespace exmfc
{
CSkinButton::CSkinButton()
    : m_down(false), m_checked(false), m_drawMode(DRAW_NORMAL), m_normalText(::GetSysColor(COLOR_BTNTEXT)),
      m_hoverText(::GetSysColor(COLOR_BTNTEXT)), m_pressedText(::GetSysColor(COLOR_BTNTEXT)),
      m_focusMargin(0), m_hovering(false), m_kind(KIND_PUSH), m_border(true), m_customDisabledText(false),
      m_disabledText(RGB(85, 85, 85)), m_module(GetModuleHandleA(nullptr)), m_selected(false),
      m_captionInFace(false)
{
}

void CSkinButton::PreSubclassWindow()
{
    // The kind from the button type: every bit of an automatic check box set makes a check
    // box, every bit of an automatic radio button a radio button.
    DWORD style = GetStyle();
    if ((style & BS_AUTOCHECKBOX) == BS_AUTOCHECKBOX)
        m_kind = KIND_CHECKBOX;
    else if ((style & BS_AUTORADIOBUTTON) == BS_AUTORADIOBUTTON)
        m_kind = KIND_RADIO;
    else
        m_kind = KIND_PUSH;
    // Owner-draw replaces the button type.
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

int CSkinButton::CutFaces(const CBitmap& strip, int faceMask, int faceWidth)
{
    const int height = strip.GetSize().cy;
    CCompatibleDC source(nullptr, strip);
    // Faces lie side by side in bit order; a clear bit takes no room.
    const struct
    {
        int bit, face;
    } order[] = {{FACE_NORMAL, NORMAL},
                 {FACE_PRESSED, PRESSED},
                 {FACE_HOVER, HOVER},
                 {FACE_DISABLED, DISABLED},
                 {FACE_FOCUSED, FOCUSED}};
    int x = 0;
    for (const auto& entry : order)
    {
        if (!(faceMask & entry.bit))
            continue;
        CBitmap& face = m_faces[entry.face];
        face.CreateCompatibleBitmap(source, faceWidth, height);
        CCompatibleDC target(source, face);
        target.BitBlt(0, 0, faceWidth, height, source, x, 0, SRCCOPY);
        x += faceWidth;
    }
    return height;
}

void CSkinButton::ShapeByMask(int faceWidth, int height)
{
    m_faces[MASK].CreateBitmap(faceWidth, height, 1, 1, nullptr);
    {
        CCompatibleDC maskDC(nullptr, m_faces[MASK]);
        maskDC.FillRect(CRect(0, 0, faceWidth, height), static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        maskDC.FillRgn(m_clipRegion, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    if (m_drawMode != DRAW_NORMAL || !m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    int width = faceWidth;
    if (m_kind != KIND_PUSH)
    {
        // A check box or radio button keeps the room of its text beside the face.
        width = std::max(width, client.Width());
        CRgn rest;
        rest.CreateRectRgn(m_focusMargin + faceWidth + 2, 0, width, height);
        m_clipRegion.CombineRgn(m_clipRegion, rest, RGN_OR);
    }
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowRgn(static_cast<HRGN>(m_clipRegion.Detach()), TRUE);
}

bool CSkinButton::SetSkin(UINT bitmapId, int faceMask, int faceWidth, COLORREF maskColour, int drawMode,
                          bool border, int focusMargin)
{
    m_drawMode = drawMode;
    m_border = border;
    m_focusMargin = focusMargin;
    for (CBitmap& face : m_faces)
        face.DeleteObject();

    CBitmap strip;
    if (!strip.LoadBitmap(bitmapId, m_module))
        return false;
    int height = CutFaces(strip, faceMask, faceWidth);
    // Each face at the screen's DPI; a masked face keeps its mask colour sharp.
    if (GetScreenDpi() != 96)
    {
        for (CBitmap& face : m_faces)
        {
            CBitmap scaled;
            if (face.GetSafeHandle() &&
                ScaleToScreen(face, scaled, (faceMask & FACE_MASK) ? maskColour : CLR_INVALID))
            {
                face.DeleteObject();
                face.Attach(scaled.Detach());
            }
        }
        faceWidth = Scaled(faceWidth);
        height = Scaled(height);
    }
    // Without a face of its own a disabled button shows its normal face greyed.
    if (!(faceMask & FACE_DISABLED) && m_faces[NORMAL].GetSafeHandle())
        GreyedCopy(m_faces[NORMAL], m_faces[DISABLED]);
    if ((faceMask & FACE_MASK) && m_faces[NORMAL].GetSafeHandle() &&
        BitmapToRegion(m_clipRegion, m_faces[NORMAL], maskColour, 0))
        ShapeByMask(faceWidth, height);
    if (m_hWnd)
        Invalidate();
    return true;
}

void CSkinButton::PaintFaceInto(CDC& dc, int face, const RECT& rect)
{
    if (m_faces[MASK].GetSafeHandle())
        PaintMaskedFace(dc, m_faces[face], m_faces[MASK], rect, m_drawMode);
    else
        PaintFace(dc, m_faces[face], rect, m_drawMode);
}

bool CSkinButton::CursorOverButton() const
{
    POINT cursor;
    ::GetCursorPos(&cursor);
    return ::WindowFromPoint(cursor) == m_hWnd;
}

bool CSkinButton::FollowCursorWhileHeld()
{
    // Keep the pressed look in step with the cursor while the button is held; a change
    // of state repaints the button by itself.
    if (!m_down || ::GetCapture() != m_hWnd)
        return false;
    const bool pushed = (GetState() & BST_PUSHED) != 0;
    const bool over = CursorOverButton();
    if (over == pushed)
        return false;
    SetState(over);
    return true;
}

CRect CSkinButton::TextRect(const CRect& item) const
{
    CRect text = item;
    if (m_kind != KIND_PUSH && m_faces[NORMAL].GetSafeHandle())
        text.left += m_faces[NORMAL].GetSize().cx; // beside the box or the dot
    else
    {
        text.left += m_focusMargin + 2;
        text.right -= m_focusMargin + 2;
    }
    return text;
}

void CSkinButton::PaintFaceOrFill(CDC& dc, int face, const CRect& item)
{
    if (m_faces[face].GetSafeHandle())
        PaintFaceInto(dc, face, item);
    else
        dc.FillRect(item, ::GetSysColorBrush(COLOR_BTNFACE));
}

void CSkinButton::DrawDisabled(CDC& dc, const CRect& item, CRect textRect, const CString& caption,
                               UINT format)
{
    PaintFaceOrFill(dc, DISABLED, item);
    if (m_border)
        dc.DrawEdge(item, EDGE_RAISED, BF_RECT);
    if (m_customDisabledText)
    {
        dc.SetTextColor(m_disabledText);
        dc.DrawText(caption, textRect, format);
    }
    else
        DrawEmbossedText(dc, caption, textRect, format);
}

void CSkinButton::DrawPressed(CDC& dc, UINT state, const CRect& item, CRect& textRect)
{
    PaintFaceOrFill(dc, PRESSED, item);
    if (m_kind == KIND_PUSH)
        textRect.OffsetRect(1, 1);
    if (m_border)
        dc.DrawEdge(item, EDGE_SUNKEN, BF_RECT);
    if (m_checked && m_kind != KIND_PUSH && m_hovering)
        dc.SetTextColor(m_hoverText);
    else
        dc.SetTextColor((state & ODS_SELECTED) ? m_pressedText : m_normalText);
}

void CSkinButton::DrawReleased(CDC& dc, UINT state, const CRect& item)
{
    if (!m_faces[NORMAL].GetSafeHandle())
        dc.FillRect(item, ::GetSysColorBrush(COLOR_BTNFACE));
    else if (m_hovering && m_faces[HOVER].GetSafeHandle())
    {
        PaintFaceInto(dc, HOVER, item);
        dc.SetTextColor(m_hoverText);
    }
    else
    {
        const bool focused = (state & ODS_FOCUS) && m_faces[FOCUSED].GetSafeHandle();
        PaintFaceInto(dc, focused ? FOCUSED : NORMAL, item);
        dc.SetTextColor(m_normalText);
    }
    if (m_border)
        dc.DrawEdge(item, EDGE_RAISED, BF_RECT);
    if ((state & ODS_FOCUS) && m_focusMargin > 0)
    {
        CRect focus = item;
        focus.DeflateRect(m_focusMargin);
        dc.DrawFocusRect(focus);
    }
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (FollowCursorWhileHeld())
        return;
    CDC dc;
    dc.Attach(dis->hDC);
    const CRect item = dis->rcItem;
    const CString caption = GetWindowText();
    CRect textRect = TextRect(item);
    const UINT format = DT_SINGLELINE | DT_VCENTER | (m_kind == KIND_PUSH ? DT_CENTER : 0);
    dc.SetBkMode(TRANSPARENT);
    const CString shown = m_captionInFace ? CString() : caption;
    if (dis->itemState & ODS_DISABLED)
        DrawDisabled(dc, item, textRect, shown, format);
    else
    {
        if ((dis->itemState & ODS_SELECTED) || m_checked || m_selected)
            DrawPressed(dc, dis->itemState, item, textRect);
        else
            DrawReleased(dc, dis->itemState, item);
        dc.DrawText(shown, textRect, format);
    }
    dc.Detach();
}

void CSkinButton::OnMouseMove(UINT, CPoint)
{
    if (m_down && ::GetCapture() == m_hWnd)
    {
        bool over = CursorOverButton();
        bool pushed = (GetState() & BST_PUSHED) != 0;
        if (over != pushed)
        {
            SetState(over);
            Invalidate();
        }
    }
    else if (!m_hovering)
    {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        if (_TrackMouseEvent(&track))
        {
            m_hovering = true;
            Invalidate();
        }
    }
    Default();
}

LRESULT CSkinButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_hovering = false;
    Invalidate();
    return 0;
}

void CSkinButton::OnLButtonDown(UINT, CPoint)
{
    if (m_hovering)
    {
        TRACKMOUSEEVENT track = {sizeof(track), TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (_TrackMouseEvent(&track))
            m_hovering = false;
    }
    Default();
    m_down = true;
}

void CSkinButton::OnLButtonDblClk(UINT flags, CPoint point)
{
    OnLButtonDown(flags, point);
}

void CSkinButton::ClickCheckOrRadio()
{
    if (m_kind == KIND_CHECKBOX)
        SendMessage(BM_SETCHECK, m_checked ? BST_UNCHECKED : BST_CHECKED);
    else if (m_kind == KIND_RADIO)
        SendMessage(BM_SETCHECK, BST_CHECKED);
}

void CSkinButton::OnLButtonUp(UINT, CPoint point)
{
    if (m_kind != KIND_PUSH)
    {
        CPoint screen = point;
        ClientToScreen(&screen);
        if (::WindowFromPoint(screen) == m_hWnd)
            ClickCheckOrRadio();
    }
    m_down = false;
    Default();
}

void CSkinButton::OnKeyDown(UINT key, UINT, UINT)
{
    if (m_kind != KIND_PUSH && key == VK_SPACE)
        ClickCheckOrRadio();
    // Enter clicks a focused push button, as in any dialog.
    if (m_kind == KIND_PUSH && key == VK_RETURN && IsWindowEnabled())
    {
        ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
        return;
    }
    Default();
}

LRESULT CSkinButton::OnGetDlgCode(WPARAM, LPARAM message)
{
    LRESULT code = Default();
    // The dialog manager hands Enter to a focused push button rather than to the
    // window's default one.
    const MSG* msg = reinterpret_cast<const MSG*>(message);
    if (m_kind == KIND_PUSH && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

void CSkinButton::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (m_hWnd)
        Invalidate();
}

void CSkinButton::OnKillFocus(CWnd*)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    Default();
}

BOOL CSkinButton::OnEraseBkgnd(CDC* dc)
{
    HWND parent = GetParent();
    if (m_kind == KIND_PUSH || !parent)
        return TRUE;
    HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(
        parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc->m_hDC), reinterpret_cast<LPARAM>(m_hWnd)));
    if (brush)
    {
        CRect client;
        GetClientRect(&client);
        dc->FillRect(client, brush);
    }
    return TRUE;
}

LRESULT CSkinButton::OnSetCheck(WPARAM state, LPARAM)
{
    m_checked = state != 0 && m_kind != KIND_PUSH;
    if (m_kind == KIND_RADIO && m_checked)
    {
        // The group: from the nearest sibling at or before this one that has WS_GROUP
        // (or the first sibling) up to the next WS_GROUP sibling. Walked by sibling
        // order, as GetNextDlgGroupItem does on Windows; Wine's version wraps past
        // the group's start into other controls.
        HWND first = m_hWnd;
        while (!(::GetWindowLongPtrA(first, GWL_STYLE) & WS_GROUP))
        {
            HWND previous = ::GetWindow(first, GW_HWNDPREV);
            if (!previous)
                break;
            first = previous;
        }
        for (HWND other = first; other; other = ::GetWindow(other, GW_HWNDNEXT))
        {
            if (other != first && (::GetWindowLongPtrA(other, GWL_STYLE) & WS_GROUP))
                break;
            if (other != m_hWnd)
                ::PostMessageA(other, WM_SKIN_UNCHECK_RADIO, 0, 0);
        }
    }
    Invalidate();
    return 0;
}

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM)
{
    return m_checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CSkinButton::OnUncheckRadio(WPARAM, LPARAM)
{
    if (m_checked)
    {
        m_checked = false;
        Invalidate();
    }
    return 0;
}
} // namespace exmfc
