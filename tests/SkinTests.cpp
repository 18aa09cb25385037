// The skin toolkit under Wine and Xvfb: regions from bitmaps, nine-slice geometry,
// button faces and states, caption drag, fonts and the tray icon.
#include "afx/Dialog.h"
#include "afx/FrameWnd.h"
#include "exmfc/Fonts.h"
#include "exmfc/SkinButton.h"
#include "exmfc/TrayIcon.h"
#include "exmfc/WindowSkin.h"
#include "resources/resource.h"

#include "TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <string>
#include <vector>

using namespace exmfc;

namespace
{
using testutil::PumpPending;

// A 32-bit picture whose pixels a function gives.
HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)>& pixel)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down, to fill it simply
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    DWORD* p = static_cast<DWORD*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            COLORREF c = pixel(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bitmap;
}

bool SameRegion(HRGN a, HRGN b)
{
    return ::EqualRgn(a, b) != FALSE;
}

const COLORREF kKey = RGB(255, 0, 255);
} // namespace

TEST(RegionTest, OpaqueTransparentAndManyRuns)
{
    CRgn region;
    HBITMAP opaque = MakeBitmap(30, 7, [](int, int) { return RGB(10, 20, 30); });
    ASSERT_TRUE(BitmapToRegion(region, opaque, kKey, 0));
    CRgn full;
    full.CreateRectRgn(0, 0, 30, 7);
    EXPECT_TRUE(SameRegion(region, full));

    HBITMAP clear = MakeBitmap(30, 7, [](int, int) { return kKey; });
    ASSERT_TRUE(BitmapToRegion(region, clear, kKey, 0));
    RECT box;
    EXPECT_EQ(NULLREGION, ::GetRgnBox(region, &box));

    // A checkerboard of single pixels: 50 runs a row, 1500 in all, in two batches.
    HBITMAP checker = MakeBitmap(100, 30, [](int x, int y) { return (x + y) % 2 ? kKey : RGB(0, 0, 0); });
    ASSERT_TRUE(BitmapToRegion(region, checker, kKey, 0));
    CRgn expected;
    expected.CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = (y % 2); x < 100; x += 2)
        {
            HRGN run = ::CreateRectRgn(x, y, x + 1, y + 1);
            expected.CombineRgn(expected, run, RGN_OR);
            ::DeleteObject(run);
        }
    EXPECT_TRUE(SameRegion(region, expected));
    EXPECT_TRUE(region.PtInRegion(0, 0));
    EXPECT_FALSE(region.PtInRegion(1, 0));

    EXPECT_FALSE(BitmapToRegion(region, nullptr, kKey, 0));
    ::DeleteObject(opaque);
    ::DeleteObject(clear);
    ::DeleteObject(checker);
}

TEST(RegionTest, ToleranceWidensTheTransparentRangeUpTo255)
{
    // Columns with red 249, 250, 255 and 0; the transparent colour has red 250.
    const BYTE reds[] = {249, 250, 255, 0};
    HBITMAP bitmap = MakeBitmap(4, 1, [&](int x, int) { return RGB(reds[x], 0, 0); });
    CRgn region;
    ASSERT_TRUE(BitmapToRegion(region, bitmap, RGB(250, 0, 0), RGB(10, 0, 0)));
    EXPECT_TRUE(region.PtInRegion(0, 0));
    EXPECT_FALSE(region.PtInRegion(1, 0));
    EXPECT_FALSE(region.PtInRegion(2, 0)) << "250 + 10 is capped at 255, which stays in range";
    EXPECT_TRUE(region.PtInRegion(3, 0));
    ASSERT_TRUE(BitmapToRegion(region, bitmap, RGB(250, 0, 0), 0));
    EXPECT_TRUE(region.PtInRegion(2, 0)) << "tolerance 0: only the exact colour";
    EXPECT_FALSE(region.PtInRegion(1, 0));
    ::DeleteObject(bitmap);
}

TEST(NineSliceTest, DefaultThirdsForTheDialogAndMainSkins)
{
    CSkinPiece p[9];
    ComputeSkinPieces(520, 317, CNineSlice(), CRect(0, 0, 520, 317), p);
    // Columns: 173 + 173 + 174 = 520, all kept.
    EXPECT_EQ(173, p[0].dw);
    EXPECT_EQ(346, p[1].dx);
    EXPECT_EQ(174, p[1].dw);
    EXPECT_EQ(173, p[8].dw);
    EXPECT_EQ(173, p[8].sw);
    // Rows: 105 + 105 + 106 = 316: the middle band is 106 rows from 105 source rows.
    EXPECT_EQ(105, p[0].dh);
    EXPECT_EQ(211, p[4].dy);
    EXPECT_EQ(106, p[4].dh);
    EXPECT_EQ(106, p[8].dh);
    EXPECT_EQ(105, p[8].sh);
    EXPECT_EQ(211, p[4].sy);

    ComputeSkinPieces(668, 437, CNineSlice(), CRect(0, 0, 668, 437), p);
    EXPECT_EQ(222, p[0].dw);
    EXPECT_EQ(223, p[6].dw);
    EXPECT_EQ(445, p[6].sx);
    EXPECT_EQ(223, p[8].dw) << "the middle is 668 - 222 - 223 wide";
    EXPECT_EQ(222, p[8].sw);

    // A larger window keeps the corners and stretches the rest.
    ComputeSkinPieces(520, 317, CNineSlice(), CRect(10, 20, 1010, 620), p);
    EXPECT_EQ(173, p[0].dw);
    EXPECT_EQ(105, p[0].dh);
    EXPECT_EQ(1010 - 174, p[6].dx);
    EXPECT_EQ(620 - 106, p[6].dy);
    EXPECT_EQ(1000 - 173 - 174, p[2].dw);
    EXPECT_EQ(600 - 105 - 106, p[3].dh);

    CNineSlice exact;
    exact.left = 100, exact.middle = 320, exact.right = 100, exact.top = 40, exact.middleHeight = 237,
    exact.bottom = 40;
    ComputeSkinPieces(520, 317, exact, CRect(0, 0, 520, 317), p);
    for (const CSkinPiece& piece : p)
    {
        EXPECT_EQ(piece.sw, piece.dw);
        EXPECT_EQ(piece.sh, piece.dh);
        EXPECT_EQ(piece.sx, piece.dx);
        EXPECT_EQ(piece.sy, piece.dy);
    }
}

namespace
{
// A parent window for buttons, with a message loop of its own.
class CButtonHost : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent = ::CreateWindowExA(WS_EX_CONTROLPARENT, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 100,
                                     400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_parent);
        m_parentWnd.Attach(m_parent);
    }
    void TearDown() override
    {
        m_parentWnd.Detach();
        ::DestroyWindow(m_parent);
    }

    // The colour DrawItem paints at (x, y) for the given item state.
    COLORREF Painted(CSkinButton& button, UINT state, int x = 3, int y = 3)
    {
        CRect rect;
        button.GetClientRect(&rect);
        HDC screen = ::GetDC(nullptr);
        CDC memory;
        memory.CreateCompatibleDC(screen);
        CBitmap canvas;
        canvas.CreateCompatibleBitmap(screen, rect.Width(), rect.Height());
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = memory.SelectObject(canvas);
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.hwndItem = button.m_hWnd;
        dis.hDC = memory;
        dis.rcItem = rect;
        dis.itemState = state;
        button.DrawItem(&dis);
        COLORREF colour = memory.GetPixel(x, y);
        memory.SelectObject(old);
        return colour;
    }
    static COLORREF FacePixel(HBITMAP face, int x = 3, int y = 3)
    {
        CCompatibleDC dc(nullptr, face);
        return dc.GetPixel(x, y);
    }

    HWND m_parent = nullptr;
    CWnd m_parentWnd;
};
} // namespace

TEST_F(CButtonHost, FacesFromStripsWithMasks7And15)
{
    CSkinButton close;
    ASSERT_TRUE(close.Create("", WS_VISIBLE, CRect(0, 0, 22, 21), &m_parentWnd, IDC_CLOSE));
    ASSERT_TRUE(close.SetSkin(IDB_CLOSE, 7, 22));
    CBitmap strip;
    strip.LoadBitmap(IDB_CLOSE);
    for (int face : {CSkinButton::NORMAL, CSkinButton::PRESSED, CSkinButton::HOVER})
    {
        ASSERT_NE(nullptr, close.GetFace(face));
        // Each face is one face of the strip: its width, and the strip's height.
        BITMAP info = {};
        ASSERT_NE(0, GetObject(close.GetFace(face), sizeof(info), &info));
        EXPECT_EQ(22, info.bmWidth) << face;
        EXPECT_EQ(strip.GetSize().cy, info.bmHeight) << face;
    }
    // Mask 7 has no disabled face of its own: it is the normal face greyed, so that a
    // disabled button looks disabled.
    ASSERT_NE(nullptr, close.GetFace(CSkinButton::DISABLED));
    EXPECT_NE(close.GetFace(CSkinButton::NORMAL), close.GetFace(CSkinButton::DISABLED));
    auto spread = [](COLORREF c)
    {
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        return std::max({r, g, b}) - std::min({r, g, b});
    };
    EXPECT_LT(spread(FacePixel(close.GetFace(CSkinButton::DISABLED))),
              spread(FacePixel(close.GetFace(CSkinButton::NORMAL))));
    EXPECT_EQ(FacePixel(strip, 22 + 3), FacePixel(close.GetFace(CSkinButton::PRESSED)));
    EXPECT_EQ(FacePixel(strip, 44 + 3), FacePixel(close.GetFace(CSkinButton::HOVER)));
    EXPECT_EQ(nullptr, close.GetFace(CSkinButton::FOCUSED));
    EXPECT_EQ(FacePixel(close.GetFace(CSkinButton::DISABLED)), Painted(close, ODS_DISABLED));

    CSkinButton text;
    ASSERT_TRUE(text.Create("OK", WS_VISIBLE, CRect(0, 30, 100, 53), &m_parentWnd, IDOK));
    ASSERT_TRUE(text.SetSkin(IDB_TEXT_BUTTON, 15, 100));
    CBitmap textStrip;
    textStrip.LoadBitmap(IDB_TEXT_BUTTON);
    EXPECT_EQ(FacePixel(textStrip, 300 + 10, 10), FacePixel(text.GetFace(CSkinButton::DISABLED), 10, 10));
    EXPECT_NE(FacePixel(text.GetFace(CSkinButton::NORMAL), 10, 10),
              FacePixel(text.GetFace(CSkinButton::DISABLED), 10, 10));
    EXPECT_EQ(FacePixel(textStrip, 300 + 10, 10), Painted(text, ODS_DISABLED, 10, 10));
    EXPECT_FALSE(text.SetSkin(99999, 15, 100)) << "a missing strip is reported";
}

TEST_F(CButtonHost, HoverAndPressedFacesFollowTheMouse)
{
    CSkinButton button;
    ASSERT_TRUE(button.Create("Scan", WS_VISIBLE, CRect(10, 10, 110, 33), &m_parentWnd, 728));
    ASSERT_TRUE(button.SetSkin(IDB_TEXT_BUTTON, 15, 100));
    const COLORREF normal = FacePixel(button.GetFace(CSkinButton::NORMAL));
    const COLORREF pressed = FacePixel(button.GetFace(CSkinButton::PRESSED));
    const COLORREF hover = FacePixel(button.GetFace(CSkinButton::HOVER));
    ASSERT_NE(normal, hover);
    ASSERT_NE(normal, pressed);

    EXPECT_EQ(normal, Painted(button, 0));
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsHovering());
    EXPECT_EQ(hover, Painted(button, 0));
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(normal, Painted(button, 0));
    EXPECT_EQ(pressed, Painted(button, ODS_SELECTED));

    // A press cancels the hover tracking and marks the button down until release.
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.IsDown());
    EXPECT_FALSE(button.IsHovering());
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(button.IsDown());
}

TEST_F(CButtonHost, PushNeverChecksAndRadiosClearEachOther)
{
    CSkinButton push, check, radios[3], after;
    ASSERT_TRUE(push.Create("push", WS_VISIBLE, CRect(0, 0, 100, 20), &m_parentWnd, 1));
    ASSERT_TRUE(check.Create("check", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(0, 20, 100, 40), &m_parentWnd, 2));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(radios[i].Create("radio", WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0),
                                     CRect(0, 40 + 20 * i, 100, 60 + 20 * i), &m_parentWnd, 10 + i));
    ASSERT_TRUE(after.Create("next group", WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP,
                             CRect(0, 100, 100, 120), &m_parentWnd, 20));
    EXPECT_EQ(KIND_PUSH, push.GetKind());
    EXPECT_EQ(KIND_CHECKBOX, check.GetKind());
    EXPECT_EQ(KIND_RADIO, radios[0].GetKind());
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), push.GetStyle() & 0xF);

    push.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(BST_UNCHECKED, push.SendMessage(BM_GETCHECK));
    check.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, check.SendMessage(BM_GETCHECK));

    after.SendMessage(BM_SETCHECK, BST_CHECKED);
    radios[0].SendMessage(BM_SETCHECK, BST_CHECKED);
    PumpPending();
    radios[2].SendMessage(BM_SETCHECK, BST_CHECKED);
    PumpPending();
    EXPECT_EQ(BST_UNCHECKED, radios[0].SendMessage(BM_GETCHECK));
    EXPECT_EQ(BST_UNCHECKED, radios[1].SendMessage(BM_GETCHECK));
    EXPECT_EQ(BST_CHECKED, radios[2].SendMessage(BM_GETCHECK));
    EXPECT_EQ(BST_CHECKED, after.SendMessage(BM_GETCHECK)) << "another group is left alone";
    EXPECT_EQ(BST_CHECKED, check.SendMessage(BM_GETCHECK)) << "a check box is not in the radio group";

    // The space bar toggles a check box.
    check.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(BST_UNCHECKED, check.SendMessage(BM_GETCHECK));
}

namespace
{
class CSkinnedFrame : public CWindowSkin<CFrameWnd>
{
public:
    CSkinnedFrame() { m_bAutoDelete = false; }
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override
    {
        CFrameWnd::PreCreateWindow(cs);
        cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
        cs.style = WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX;
        cs.cx = 668;
        cs.cy = 437;
        cs.lpszClass = AfxRegisterWndClass(0);
        return TRUE;
    }
    void SetupSkin() override
    {
        ++m_setups;
        m_shaped = true;
        m_transparentColour = RGB(255, 0, 255);
        m_captionRect.SetRect(0, 0, 668, 50);
    }
    int m_setups = 0;
    using CWindowSkin<CFrameWnd>::m_captionRect;
};
} // namespace

TEST(WindowSkinTest, ShapedFrameIsDraggedByItsCaptionOnly)
{
    CSkinnedFrame frame;
    ASSERT_TRUE(frame.Create(nullptr, "skinned", 0, CRect(50, 60, 718, 497)));
    EXPECT_EQ(1, frame.m_setups);
    ASSERT_NE(nullptr, frame.GetComposedBitmap());
    // The corners are cut away by the transparent colour.
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(frame.m_hWnd, shape));
    EXPECT_FALSE(::PtInRegion(shape, 0, 0));
    EXPECT_TRUE(::PtInRegion(shape, 334, 200));
    ::DeleteObject(shape);

    CRect before;
    frame.GetWindowRect(&before);
    // Outside the caption: no drag.
    frame.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 200));
    EXPECT_FALSE(frame.IsDragging());
    frame.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 260));
    CRect after;
    frame.GetWindowRect(&after);
    EXPECT_EQ(before.TopLeft(), after.TopLeft());

    // Inside: the grabbed point stays under the cursor.
    frame.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 20));
    EXPECT_TRUE(frame.IsDragging());
    frame.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 45));
    frame.GetWindowRect(&after);
    EXPECT_EQ(before.left + 30, after.left);
    EXPECT_EQ(before.top + 25, after.top);
    EXPECT_EQ(before.Width(), after.Width());
    frame.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(130, 45));
    EXPECT_FALSE(frame.IsDragging());

    frame.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 20));
    EXPECT_TRUE(frame.IsDragging());
    frame.SendMessage(WM_CAPTURECHANGED);
    EXPECT_FALSE(frame.IsDragging());

    // The system menu of a normal window has Restore greyed.
    AdjustSystemMenu(frame.m_hWnd);
    HMENU menu = ::GetSystemMenu(frame.m_hWnd, FALSE);
    EXPECT_TRUE(::GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(menu, SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);
    frame.DestroyWindow();
}

TEST(FontRegistryTest, TheProgramsTable)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    struct
    {
        int key;
        const char* face;
        int points;
        bool bold, italic;
    } expected[] = {{0, "Tahoma", 13, true, true},      {1, "Tahoma", 8, true, false},
                    {2, "Arial", 14, false, false},     {3, "Arial", 14, false, false},
                    {4, "Tahoma", 8, false, false},     {5, "Tahoma", 8, false, false},
                    {6, "Tahoma", 8, true, false},      {7, "Tahoma", 8, false, false},
                    {8, "Wingdings", 16, false, false}, {9, "Tahoma", 8, false, false}};
    for (const auto& row : expected)
    {
        CFont* font = GetFont(row.key);
        ASSERT_NE(nullptr, font) << row.key;
        LOGFONTA lf = {};
        ASSERT_TRUE(font->GetLogFont(&lf));
        EXPECT_STREQ(row.face, lf.lfFaceName) << row.key;
        EXPECT_EQ(-::MulDiv(row.points, dpi, 72), lf.lfHeight) << row.key;
        EXPECT_EQ(row.bold ? FW_BOLD : FW_NORMAL, lf.lfWeight) << row.key;
        EXPECT_EQ(row.italic ? 1 : 0, lf.lfItalic) << row.key;
        EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet) << row.key;
    }
    EXPECT_EQ(nullptr, GetFont(10));
    EXPECT_EQ(nullptr, GetFont(-1));

    CFont copy;
    ASSERT_TRUE(CopyFont(GetFont(0), copy));
    EXPECT_NE(GetFont(0)->GetSafeHandle(), copy.GetSafeHandle());
    LOGFONTA lf = {};
    copy.GetLogFont(&lf);
    EXPECT_STREQ("Tahoma", lf.lfFaceName);
    EXPECT_FALSE(CopyFont(nullptr, copy));
    EXPECT_EQ(nullptr, copy.GetSafeHandle());
}

namespace
{
struct CNotifyRecord
{
    DWORD message;
    DWORD size;
    UINT flags;
    UINT id;
    std::string tip, infoTitle, info;
    UINT timeout;
};
std::vector<CNotifyRecord> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAA data)
{
    CNotifyRecord r = {message, data->cbSize, data->uFlags, data->uID, data->szTip, "", "", 0};
    if (data->uFlags & NIF_INFO)
    {
        r.infoTitle = data->szInfoTitle;
        r.info = data->szInfo;
        r.timeout = data->uTimeout;
    }
    g_calls.push_back(r);
    return g_answer;
}
} // namespace

TEST(TrayIconTest, AddModifyRemoveAndTextsCutToTheirBuffers)
{
    g_calls.clear();
    SetNotifyIconFunction(RecordNotify);
    {
        CTrayIcon icon, second;
        EXPECT_EQ(icon.GetId() + 1, second.GetId());
        icon.SetTooltip(std::string(100, 't').c_str()); // not added: nothing sent
        icon.SetIcon(::LoadIconA(nullptr, IDI_APPLICATION));
        EXPECT_TRUE(g_calls.empty());

        ASSERT_TRUE(icon.Create(reinterpret_cast<HWND>(0x1234), WM_APP, true));
        ASSERT_EQ(1u, g_calls.size());
        EXPECT_EQ(static_cast<DWORD>(NIM_ADD), g_calls[0].message);
        EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE), g_calls[0].size);
        EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), g_calls[0].flags);
        EXPECT_EQ(std::string(63, 't'), g_calls[0].tip);
        EXPECT_FALSE(icon.Add()) << "already added";

        icon.SetTooltip(std::string(70, 'x').c_str());
        EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls.back().message);
        EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), g_calls.back().size);
        EXPECT_EQ(static_cast<UINT>(NIF_TIP), g_calls.back().flags);
        EXPECT_EQ(std::string(63, 'x'), g_calls.back().tip);

        icon.ShowBalloon(std::string(80, 'T').c_str(), "ignored", std::string(300, 'm').c_str(), 5);
        EXPECT_EQ(static_cast<UINT>(NIF_INFO | NIF_TIP | 0x1000), g_calls.back().flags);
        EXPECT_EQ(std::string(63, 'T'), g_calls.back().infoTitle);
        EXPECT_EQ(std::string(255, 'm'), g_calls.back().info);
        EXPECT_EQ(5000u, g_calls.back().timeout);

        icon.Remove();
        EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls.back().message);
        EXPECT_FALSE(icon.IsAdded());
        size_t count = g_calls.size();
        icon.Remove();
        EXPECT_EQ(count, g_calls.size());

        g_answer = FALSE; // the shell refuses: the icon stays not added
        EXPECT_FALSE(second.Create(nullptr, WM_APP, true));
        EXPECT_FALSE(second.IsAdded());
        g_answer = TRUE;
        ASSERT_TRUE(second.Add());
        g_calls.clear();
    }
    // The destructor removes an added icon.
    ASSERT_EQ(1u, g_calls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls[0].message);
    SetNotifyIconFunction(nullptr);

    // And with the system's own notification area.
    HWND owner =
        ::CreateWindowA("STATIC", "tray owner", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CTrayIcon real;
    real.SetIcon(::LoadIconA(nullptr, IDI_APPLICATION));
    real.SetTooltip("Quorvantis");
    EXPECT_TRUE(real.Create(owner, WM_APP, true));
    real.SetTooltip("Quorvantis, again");
    real.Remove();
    EXPECT_FALSE(real.IsAdded());
    ::DestroyWindow(owner);
}

namespace
{
// A skinned modal dialog from the details template, shaped by the dialog skin.
class CSkinnedDialog : public CWindowSkin<CDialog>
{
public:
    CSkinnedDialog() : CWindowSkin<CDialog>(IDB_DETAILS_SKIN)
    {
        HRSRC found =
            ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_DETAILS), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
        InitModalIndirect(loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr);
    }
    void SetupSkin() override
    {
        ++m_setups;
        m_shaped = true;
        m_transparentColour = RGB(255, 0, 255);
        m_title = "Details";
        m_titleRect.SetRect(47, 9, 300, 31);
        m_titleColour = RGB(255, 255, 255);
        CopyFont(exmfc::GetFont(0), m_titleFont);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        CRect client;
        GetClientRect(&client);
        m_size = client.Size();
        HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
        m_cutToSkin = ::GetWindowRgn(m_hWnd, shape) != ERROR && !::PtInRegion(shape, 0, 0) &&
                      ::PtInRegion(shape, client.Width() / 2, client.Height() / 2);
        ::DeleteObject(shape);
        m_list = GetDlgItem(IDC_FOUND_LIST) != nullptr;
        ::SetTimer(m_hWnd, 1, 10, nullptr);
        return TRUE;
    }
    BEGIN_MSG_MAP_EX(CSkinnedDialog, CWindowSkin<CDialog>)
    ON_WM_TIMER()
    END_MSG_MAP_EX()
    void OnTimer(UINT_PTR)
    {
        ::KillTimer(m_hWnd, 1);
        EndDialog(IDOK);
    }
    int m_setups = 0;
    CSize m_size;
    bool m_list = false;
    bool m_cutToSkin = false;
};
} // namespace

TEST(WindowSkinTest, SkinnedModalDialogFromItsTemplate)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    CSkinnedDialog dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_setups);
    EXPECT_TRUE(dialog.m_list);
    EXPECT_GT(dialog.m_size.cx, 0);
    EXPECT_TRUE(dialog.m_cutToSkin) << "the dialog is cut to its skin";
}
