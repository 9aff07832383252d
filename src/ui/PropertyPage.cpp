#include "ui/PropertyPage.h"

#include "app/base/ErrorReport.h"
#include "app/base/MessageBoxes.h"
#include "app/base/Program.h"
#include "ui/PagePainting.h"
#include "ui/Win32PageControls.h"
#include "ui/Win32Painting.h"

#include "resource.h"

#include <commctrl.h>

PropertyPage* CurrentPage;

namespace {

unsigned windowsCreated;

// Posted to the page by Apply; it arrives once the sheet has dealt with the button.
constexpr UINT WmApplied = WM_APP + 1;

} // namespace

unsigned PropertyPage::WindowsCreated() {
    return windowsCreated;
}

void EndProgram() {
    // Destroyed from inside one of its own messages, the sheet would go on writing into the
    // memory it had freed. Cancelled, it ends on its own, and its page's end closes the main
    // window.
    if (CurrentPage && CurrentPage->hwnd)
        PostMessageA(GetParent(CurrentPage->hwnd), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    else
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
}

int PropertyPage::OnNotify(int code, UINT_PTR) {
    switch (static_cast<UINT>(code)) {
    case PSN_APPLY:
        if (const LRESULT error = SendMessageA(MainWindow, WM_SAVESETTINGS, 0, 0)) {
            // The sheet stays open with the choices, to try again or to cancel.
            ShowSystemError("The choices could not be saved.\n[%s]", MB_OK | MB_ICONWARNING,
                            static_cast<DWORD>(error));
            SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, PSNRET_INVALID_NOCHANGEPAGE);
            return TRUE;
        }
        PostMessageA(hwnd, WmApplied, 0, 0);
        return 0;
    case PSN_KILLACTIVE:
        return 1;
    default:
        return 0;
    }
}

HBRUSH PropertyPage::OnCtlColor(HDC dc, HWND) {
    // Text and check marks go straight onto the painted background.
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}

int PropertyPage::OnEraseBackground(HDC dc) {
    Win32Painting painting(dc);
    BitmapTile tile(BackdropBitmap, IDB_BACKDROP, dc, AppInstance);
    RECT page = {};
    GetClientRect(hwnd, &page);
    PaintBackdrop(painting, tile, BackdropColors, page.right, page.bottom);
    return 1;
}

void PropertyPage::DrawGroupFrame(HDC dc, int frameId, int labelId) {
    // Page client pixels: the top left corner from the window rectangle, the size from the
    // client rectangle.
    auto placeOf = [this](int id) {
        HWND control = GetDlgItem(hwnd, id);
        RECT window = {}, client = {};
        GetWindowRect(control, &window);
        GetClientRect(control, &client);
        POINT corner = {window.left, window.top};
        ScreenToClient(hwnd, &corner);
        return PixelRect{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
    };
    Win32Painting painting(dc);
    DrawGroupOutline(painting, placeOf(frameId), placeOf(labelId));
}

bool PropertyPage::ReadComboSelection(int notifyCode, int controlId, std::uint32_t* field) {
    Win32PageControls controls(hwnd);
    return ::ReadComboSelection(controls, notifyCode, controlId, field);
}

BOOL PropertyPage::RealizePalette() {
    InvalidateRect(hwnd, nullptr, TRUE);
    HDC dc = GetDC(hwnd);
    const bool realized = BackdropBitmap.Realize(dc);
    ReleaseDC(hwnd, dc);
    return realized ? TRUE : FALSE;
}

INT_PTR PropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The sheet reads its notifications' answers from the message result, which stays 0 unless
    // a failed save stores its refusal there.
    try {
        switch (message) {
        case WM_INITDIALOG: {
            hwnd = window;
            ++windowsCreated;
            const int result = OnInitDialog();
            Refresh();
            return result;
        }
        case WM_COMMAND:
            return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return OnNotify(static_cast<int>(header->code), header->idFrom);
        }
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_ERASEBKGND:
            return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORDLG:
            return Refresh();
        case WM_SETTINGCHANGE:
            InvalidateRect(hwnd, nullptr, FALSE);
            return Refresh();
        case WM_QUERYNEWPALETTE:
            return RealizePalette();
        case WM_PALETTECHANGED:
            if (reinterpret_cast<HWND>(wParam) == window)
                return FALSE;
            return RealizePalette();
        case WmApplied:
            // Apply pressed from the keyboard leaves the focus on the button the sheet then
            // disables, and no key would reach the sheet any more; OK takes it instead.
            if (!GetFocus())
                SendMessageA(GetParent(window), WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(GetDlgItem(GetParent(window), IDOK)), TRUE);
            return FALSE;
        case WM_DESTROY:
            hwnd = nullptr;
            PostMessageA(MainWindow, WM_CLOSE, 0, 0);
            return FALSE;
        default:
            return FALSE;
        }
    } catch (runtime_error&) {
        EndProgram(); // the failure is recorded
        return FALSE;
    }
}
