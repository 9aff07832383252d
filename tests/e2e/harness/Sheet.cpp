#include "harness/Sheet.h"

#include "harness/KestProcess.h"

#include <commctrl.h>

namespace {

// The page is the sheet's child dialog that holds the "Standard Setup" button.
HWND FindPage(HWND sheet) {
    for (HWND child = FindWindowExA(sheet, nullptr, "#32770", nullptr); child;
         child = FindWindowExA(sheet, child, "#32770", nullptr))
        if (GetDlgItem(child, 1000))
            return child;
    return nullptr;
}

// Memory inside the program, for messages whose pointers Wine does not carry across.
class RemoteBlock {
  public:
    RemoteBlock(DWORD processId, SIZE_T size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId)) {
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* Address() const { return static_cast<char*>(address_); }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return WriteProcessMemory(process_, Address() + offset, data, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return ReadProcessMemory(process_, Address() + offset, data, size, nullptr) != FALSE;
    }

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

} // namespace

Sheet::Sheet(KestProcess& program, DWORD timeoutMs) : processId_(program.ProcessId()) {
    sheet_ = program.WaitForWindow("#32770", SheetCaption, timeoutMs);
    // The page's controls exist before it is initialised; the sheet is shown after that.
    const DWORD start = GetTickCount();
    while (sheet_ && GetTickCount() - start < timeoutMs) {
        page_ = FindPage(sheet_);
        if (page_ && IsWindowVisible(sheet_))
            break;
        page_ = nullptr;
        Sleep(50);
    }
    // Returns once the program is back in its message loop, done with what came before.
    if (page_)
        SendMessageA(page_, WM_NULL, 0, 0);
}

std::string Sheet::Caption() const {
    return Text(sheet_);
}

std::string Sheet::TabText() const {
    HWND tab = FindWindowExA(sheet_, nullptr, WC_TABCONTROLA, nullptr);
    constexpr SIZE_T textRoom = 256;
    RemoteBlock block(processId_, sizeof(TCITEMA) + textRoom);
    if (!tab || !block.Address())
        return "<no tab>";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = block.Address() + sizeof item;
    item.cchTextMax = textRoom;
    const char empty = '\0';
    block.Write(0, &item, sizeof item);
    block.Write(sizeof item, &empty, 1);
    if (!SendMessageA(tab, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.Address())))
        return "<no item>";
    char text[textRoom] = {};
    block.Read(sizeof item, text, textRoom - 1);
    return text;
}

std::string Sheet::Text(HWND window) const {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Narrow(text);
}

bool Sheet::Checked(int id) const {
    return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> Sheet::ComboItems(int id) const {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(Control(id), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(Control(id), CB_GETLBTEXTLEN, i, 0);
        std::wstring text(length > 0 ? length : 0, L'\0');
        text.push_back(L'\0');
        SendMessageW(Control(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(wcslen(text.c_str()));
        items.push_back(Narrow(text));
    }
    return items;
}

int Sheet::ComboSelection(int id) const {
    return static_cast<int>(SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

void Sheet::Click(int id) const {
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

void Sheet::Select(int comboId, int index) const {
    // Arrow keys on the closed list, so the combo box sends its own notifications.
    HWND combo = Control(comboId);
    for (int tries = 0; tries < 64; ++tries) {
        const int current = ComboSelection(comboId);
        if (current == index)
            break;
        const WPARAM key = current < index ? VK_DOWN : VK_UP;
        SendMessageA(combo, WM_KEYDOWN, key, 1);
        SendMessageA(combo, WM_KEYUP, key, 0xC0000001);
    }
}

void Sheet::Press(int psbtn) const {
    PostMessageA(sheet_, PSM_PRESSBUTTON, psbtn, 0);
}
