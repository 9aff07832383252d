#include "ui/StartingOptionsPage.h"

#include "app/base/Program.h"
#include "ui/StartingOptions.h"
#include "ui/Win32PageControls.h"

#include "resource.h"

namespace {

// The page's behaviour, carried out on its window.
class PageLogic {
  public:
    explicit PageLogic(HWND page) : controls_(page), logic_(controls_, services_) {}
    StartingOptionsLogic* operator->() { return &logic_; }

  private:
    Win32PageControls controls_;
    Win32PageServices services_;
    StartingOptionsLogic logic_;
};

} // namespace

StartingOptionsPage::StartingOptionsPage() : PropertyPage(IDD_STARTING_OPTIONS) {
    CurrentPage = this;
}

StartingOptionsPage::~StartingOptionsPage() {
    CurrentPage = nullptr;
}

INT_PTR CALLBACK StartingOptionsPage::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) {
    if (!CurrentPage)
        return FALSE;
    return CurrentPage->DialogProc(window, message, wParam, lParam);
}

int StartingOptionsPage::OnInitDialog() {
    return PageLogic(hwnd)->OnInitDialog();
}

int StartingOptionsPage::OnCommand(int notifyCode, int controlId, HWND) {
    return PageLogic(hwnd)->OnCommand(notifyCode, controlId);
}

int StartingOptionsPage::Refresh() {
    return PageLogic(hwnd)->Refresh();
}

void StartingOptionsPage::SelectMusicItem() {
    PageLogic(hwnd)->SelectListItem(IDC_MUSIC);
}

void StartingOptionsPage::SelectFrameDesignItem() {
    PageLogic(hwnd)->SelectListItem(IDC_FRAME_DESIGN);
}

HBRUSH StartingOptionsPage::OnCtlColor(HDC dc, HWND control) {
    return PropertyPage::OnCtlColor(dc, control);
}

int StartingOptionsPage::OnEraseBackground(HDC dc) {
    PropertyPage::OnEraseBackground(dc);
    DrawGroupFrame(dc, IDC_SOUND_FRAME, IDC_SOUND_LABEL);
    DrawGroupFrame(dc, IDC_FRAME_STYLE_FRAME, IDC_FRAME_STYLE_LABEL);
    // Loaded after the backdrop, so it takes the palette the recoloured tile built.
    if (!HeaderBitmap.IsLoaded())
        HeaderBitmap.LoadFromResource(IDB_HEADER, dc, AppInstance);
    HeaderBitmap.Draw(dc, 20, 9);
    return 1;
}
