#include "harness/Pixels.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct ModuleDeleter {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

COLORREF FromQuad(const std::uint8_t* bgr) {
    return RGB(bgr[2], bgr[1], bgr[0]);
}

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A block of memory inside another process, code and data alike.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, SIZE_T size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_EXECUTE_READWRITE)) {}
    ~RemoteMemory() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void* Address() const { return address_; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const {
        return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                                  nullptr) != FALSE;
    }
    void Leak() { address_ = nullptr; }

  private:
    HANDLE process_;
    void* address_;
};

std::uintptr_t ModuleBase(DWORD processId, const char* name) {
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (snapshot.get() == INVALID_HANDLE_VALUE)
        return 0;
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more;
         more = Module32Next(snapshot.get(), &module))
        if (_stricmp(module.szModule, name) == 0)
            return reinterpret_cast<std::uintptr_t>(module.modBaseAddr);
    return 0;
}

template <typename T> void Append(std::vector<std::uint8_t>& code, T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    code.insert(code.end(), bytes, bytes + sizeof value);
}

// A thread routine that calls function(count, first, second) and returns its result.
std::vector<std::uint8_t> CallCode(std::uintptr_t function, std::uint32_t count,
                                   std::uintptr_t first, std::uintptr_t second) {
    std::vector<std::uint8_t> code;
#if defined(__x86_64__) || defined(_M_X64)
    code = {0x48, 0x83, 0xEC, 0x28}; // sub rsp, 40: shadow space, aligned stack
    code.push_back(0xB9);            // mov ecx, count
    Append(code, count);
    code.insert(code.end(), {0x48, 0xBA}); // mov rdx, first
    Append(code, static_cast<std::uint64_t>(first));
    code.insert(code.end(), {0x49, 0xB8}); // mov r8, second
    Append(code, static_cast<std::uint64_t>(second));
    code.insert(code.end(), {0x48, 0xB8}); // mov rax, function
    Append(code, static_cast<std::uint64_t>(function));
    code.insert(code.end(), {0xFF, 0xD0});             // call rax
    code.insert(code.end(), {0x48, 0x83, 0xC4, 0x28}); // add rsp, 40
    code.push_back(0xC3);                              // ret
#else
    code.push_back(0x68); // push second
    Append(code, static_cast<std::uint32_t>(second));
    code.push_back(0x68); // push first
    Append(code, static_cast<std::uint32_t>(first));
    code.push_back(0x68); // push count
    Append(code, count);
    code.push_back(0xB8); // mov eax, function (stdcall: it pops its arguments)
    Append(code, static_cast<std::uint32_t>(function));
    code.insert(code.end(), {0xFF, 0xD0});       // call eax
    code.insert(code.end(), {0xC2, 0x04, 0x00}); // ret 4: the thread routine's parameter
#endif
    return code;
}

} // namespace

ScreenCopy ScreenCopy::Take(const RECT& area) {
    ScreenCopy copy;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return copy;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const auto* quads = static_cast<const std::uint8_t*>(bits);
            copy.width_ = width;
            copy.height_ = height;
            copy.pixels_.resize(static_cast<std::size_t>(width) * height);
            for (std::size_t i = 0; i < copy.pixels_.size(); ++i)
                copy.pixels_[i] = FromQuad(quads + 4 * i);
        }
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copy;
}

ScreenCopy ScreenCopy::OfClient(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return Take(client);
}

ScreenCopy ScreenCopy::OfWindow(HWND window) {
    RECT area = {};
    GetWindowRect(window, &area);
    return Take(area);
}

bool ScreenCopy::SaveBmp(const std::string& path) const {
    if (pixels_.empty())
        return false;
    const DWORD stride = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * height_;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + imageSize;
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_; // bottom row first
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;

    std::vector<std::uint8_t> image(imageSize);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = image.data() + static_cast<std::size_t>(height_ - 1 - y) * stride;
        for (int x = 0; x < width_; ++x) {
            const COLORREF color = At(x, y);
            row[3 * x] = GetBValue(color);
            row[3 * x + 1] = GetGValue(color);
            row[3 * x + 2] = GetRValue(color);
        }
    }

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                   std::fwrite(&info, sizeof info, 1, out) == 1 &&
                   std::fwrite(image.data(), image.size(), 1, out) == 1;
    written = std::fclose(out) == 0 && written;
    return written;
}

std::optional<IndexedBitmap> ReadBitmapResource(const std::string& programPath, int id) {
    ModuleHandle module(LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module)
        return std::nullopt;
    HRSRC found = FindResourceA(module.get(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found ? LoadResource(module.get(), found) : nullptr;
    const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module.get(), found) : 0;
    BITMAPINFOHEADER header;
    if (!data || size < sizeof header)
        return std::nullopt;
    std::memcpy(&header, data, sizeof header);
    if (header.biBitCount != 8 || header.biWidth <= 0 || header.biHeight <= 0 ||
        header.biCompression != BI_RGB)
        return std::nullopt;

    IndexedBitmap bitmap;
    bitmap.width = header.biWidth;
    bitmap.height = header.biHeight;
    const DWORD tableEntries = header.biClrUsed ? header.biClrUsed : 256;
    const DWORD stride = (static_cast<DWORD>(bitmap.width) + 3) & ~3u;
    const std::size_t rowsAt = header.biSize + 4 * tableEntries;
    if (tableEntries > 256 || rowsAt + std::size_t{stride} * bitmap.height > size)
        return std::nullopt;

    bitmap.colors.assign(256, 0);
    for (DWORD i = 0; i < tableEntries; ++i)
        bitmap.colors[i] = FromQuad(data + header.biSize + 4 * i);
    bitmap.indexes.resize(static_cast<std::size_t>(bitmap.width) * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        // Rows are stored bottom-up.
        const std::uint8_t* row = data + rowsAt + std::size_t{stride} * (bitmap.height - 1 - y);
        std::memcpy(&bitmap.indexes[static_cast<std::size_t>(y) * bitmap.width], row, bitmap.width);
    }
    return bitmap;
}

std::string ColorText(COLORREF color) {
    char text[32];
    std::snprintf(text, sizeof text, "(%u, %u, %u)", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

SystemColorChange::SystemColorChange(DWORD processId,
                                     std::initializer_list<std::pair<int, COLORREF>> colors)
    : processId_(processId) {
    std::vector<COLORREF> wanted;
    for (const auto& [index, color] : colors) {
        indexes_.push_back(index);
        previous_.push_back(GetSysColor(index));
        wanted.push_back(color);
    }
    const int count = static_cast<int>(indexes_.size());
    const bool everyone = SetSysColors(count, indexes_.data(), wanted.data()) != FALSE;
    ok_ = SetSysColorsInProcess(processId_, indexes_, wanted) && everyone;
}

SystemColorChange::~SystemColorChange() {
    SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), previous_.data());
    // The program may have ended already; then there is nothing to set back in it.
    SetSysColorsInProcess(processId_, indexes_, previous_);
}

bool SetSysColorsInProcess(DWORD processId, const std::vector<int>& indexes,
                           const std::vector<COLORREF>& colors) {
    if (indexes.size() != colors.size() || indexes.empty() || indexes.size() > 64)
        return false;
    // SetSysColors sits at the same offset in user32 in both processes.
    HMODULE localUser32 = GetModuleHandleA("user32.dll");
    const auto localFunction =
        reinterpret_cast<std::uintptr_t>(GetProcAddress(localUser32, "SetSysColors"));
    const std::uintptr_t remoteUser32 = ModuleBase(processId, "user32.dll");
    if (!localFunction || !remoteUser32)
        return false;
    const std::uintptr_t function =
        remoteUser32 + (localFunction - reinterpret_cast<std::uintptr_t>(localUser32));

    Handle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                   PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                               FALSE, processId));
    if (!process)
        return false;
    RemoteMemory block(process.get(), 4096);
    if (!block.Address())
        return false;
    const auto base = reinterpret_cast<std::uintptr_t>(block.Address());
    const std::size_t indexesAt = 128;
    const std::size_t colorsAt = indexesAt + 4 * indexes.size();
    const std::vector<std::uint8_t> code = CallCode(
        function, static_cast<std::uint32_t>(indexes.size()), base + indexesAt, base + colorsAt);
    if (!block.Write(0, code.data(), code.size()) ||
        !block.Write(indexesAt, indexes.data(), 4 * indexes.size()) ||
        !block.Write(colorsAt, colors.data(), 4 * colors.size()))
        return false;
    FlushInstructionCache(process.get(), block.Address(), code.size());

    Handle thread(CreateRemoteThread(process.get(), nullptr, 0,
                                     reinterpret_cast<LPTHREAD_START_ROUTINE>(block.Address()),
                                     nullptr, 0, nullptr));
    if (!thread || WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0) {
        // Still running: the code must stay where it is.
        block.Leak();
        return false;
    }
    DWORD result = 0;
    return GetExitCodeThread(thread.get(), &result) && result != 0;
}

namespace {

const char* const X11DriverKey = "Software\\Wine\\X11 Driver";

} // namespace

WineDrawnWindowFrames::WineDrawnWindowFrames() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, X11DriverKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    char value[64] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "Decorated", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ)
        previous_ = value;
    RegSetValueExA(key, "Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
}

WineDrawnWindowFrames::~WineDrawnWindowFrames() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, X11DriverKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    if (previous_)
        RegSetValueExA(key, "Decorated", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(previous_->c_str()),
                       static_cast<DWORD>(previous_->size() + 1));
    else
        RegDeleteValueA(key, "Decorated");
    RegCloseKey(key);
}
