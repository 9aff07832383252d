#include "ui/StartingOptionsPage.h"

#include "app/Application.h"
#include "ui/StartingOptions.h"
#include "ui/Win32PageControls.h"

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

StartingOptionsPage::StartingOptionsPage() : PropertyPage(StartingOptionsTemplateId) {
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
    PageLogic(hwnd)->SelectMusicItem();
}

void StartingOptionsPage::SelectFrameDesignItem() {
    PageLogic(hwnd)->SelectFrameDesignItem();
}

HBRUSH StartingOptionsPage::OnCtlColor(HDC dc, HWND control) {
    return PropertyPage::OnCtlColor(dc, control);
}

int StartingOptionsPage::OnEraseBackground(HDC dc) {
    PropertyPage::OnEraseBackground(dc);
    DrawGroupFrame(dc, 1002, 1003); // "Sound"
    DrawGroupFrame(dc, 1012, 1013); // "Frame Style"
    // Loaded after the backdrop, so it takes the palette the recoloured tile built.
    if (!HeaderBitmap.IsLoaded())
        HeaderBitmap.LoadFromResource(HeaderBitmapId, dc, AppInstance);
    HeaderBitmap.Draw(dc, 20, 9);
    return 1;
}
