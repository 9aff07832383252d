#include "ui/Win32PageControls.h"

#include "probes/DiagnosticTool.h"

#include "resource.h"

#include <commctrl.h>

#include <initializer_list>

static_assert(CbnSelChange == CBN_SELCHANGE, "the page reads the platform's notification");

void Win32PageControls::SetCheck(int id, int flag) {
    Send(id, BM_SETCHECK, static_cast<WPARAM>(flag), 0);
}

void Win32PageControls::ReportChange() {
    SendMessageA(GetParent(page_), PSM_CHANGED, reinterpret_cast<WPARAM>(page_), 0);
}

void Win32PageControls::Enable(int id, bool enable) {
    EnableWindow(Control(id), enable);
}

void Win32PageControls::Show(int id, bool show) {
    ShowWindow(Control(id), show ? SW_SHOWNORMAL : SW_HIDE);
}

void Win32PageControls::InvalidateSoundArea() {
    // Where the options stand on this page, which grows with the display's scale.
    RECT area = {};
    for (int id :
         {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_DIRECTSOUND_NONE, IDC_REVERB_EFFECT}) {
        RECT place;
        if (!GetWindowRect(Control(id), &place))
            continue;
        MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&place), 2);
        UnionRect(&area, &area, &place);
    }
    InvalidateRect(page_, &area, TRUE);
}

bool Win32PageControls::HasControl(int id) {
    return Control(id) != nullptr;
}

int Win32PageControls::ComboAddString(int id, const char* text) {
    return static_cast<int>(Send(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void Win32PageControls::ComboSetItemData(int id, int index, std::uint32_t value) {
    Send(id, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

int Win32PageControls::ComboGetCount(int id) {
    return static_cast<int>(Send(id, CB_GETCOUNT, 0, 0));
}

int Win32PageControls::ComboGetCurSel(int id) {
    return static_cast<int>(Send(id, CB_GETCURSEL, 0, 0));
}

void Win32PageControls::ComboSetCurSel(int id, int index) {
    Send(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32PageServices::LaunchDiagnosticTool() {
    ::LaunchDiagnosticTool();
}
