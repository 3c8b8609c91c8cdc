// The GUI scenarios' clipboard helper: puts images and text on the clipboard and lists
// what it holds, like another program would.
//
//   figclip list              one line per format: its number and name
//   figclip text              the CF_TEXT block's text, or nothing
//   figclip block NAME        the registered format's block size in bytes, or "none"
//   figclip put-text TEXT     CF_TEXT only
//   figclip put-text-behind TEXT  CF_TEXT only, from a program that stays in the background
//   figclip put-dib24 W H     a 24-bit bottom-up DIB, left half red, right half blue
//   figclip put-rle8          a 16 x 8 run-length DIB, all green
//   figclip put-truncated     a 24-bit DIB one byte shorter than its header says
//   figclip put-metafile W H  an enhanced metafile, W x H pixels at 96 dpi, filled green
//   figclip put-file NAME FILE  the file's bytes as format NAME (registered, or CF_...)
//   With FIGCLIP_LINGER=S in the environment, a put-... request stays S seconds after it
//   has put its data, as a program the user copied from stays open (another Wine server
//   reads the data only while the program that put it runs).
//   figclip hold SECONDS      holds the clipboard open with a window for that long
//   figclip try-open          "opened" or "busy": one attempt to open the clipboard
//   figclip save NAME FILE    the block of format NAME (registered, or CF_...) into FILE
//   figclip window-text TITLE the text of the edit box of the top-level window whose
//                             title holds TITLE, or "none"
//   figclip place TITLE X Y W H  moves and sizes that window, as a user dragging it would
//   figclip play-wmf W H      plays the CF_METAFILEPICT picture into a white W x H bitmap as
//                             a reader of old-style pictures would; prints "l t r b" of the
//                             pixels that are not white, or "none"
//   figclip visit             its window comes to the front for a moment and goes, as when
//                             the user looks at another program and comes back
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Known {
    UINT format;
    const char* name;
};
const Known kKnown[] = {
    { CF_TEXT, "CF_TEXT" },           { CF_BITMAP, "CF_BITMAP" },
    { CF_METAFILEPICT, "CF_METAFILEPICT" }, { CF_OEMTEXT, "CF_OEMTEXT" },
    { CF_DIB, "CF_DIB" },             { CF_UNICODETEXT, "CF_UNICODETEXT" },
    { CF_ENHMETAFILE, "CF_ENHMETAFILE" }, { CF_LOCALE, "CF_LOCALE" },
    { CF_DIBV5, "CF_DIBV5" },
};

bool Open() {
    for (int i = 0; i < 50; ++i) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(100);
    }
    return false;
}

HWND HelperWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FigClipWindow";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "figclip", WS_OVERLAPPEDWINDOW, 600, 600, 60, 40, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Like a program the user copies from: its window comes to the front while it puts the
// data, and goes when it is done, so that the window behind it is activated again.
void Put(UINT format, HANDLE data) {
    HWND window = HelperWindow();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    Pump();
    if (!Open()) {
        std::puts("busy");
        std::exit(1);
    }
    EmptyClipboard();
    SetClipboardData(format, data);
    CloseClipboard();
    Sleep(200);
    Pump();
    DestroyWindow(window);
    Pump();
    if (const char* linger = std::getenv("FIGCLIP_LINGER")) {
        const DWORD end = GetTickCount() + DWORD(std::atoi(linger) * 1000);
        while (GetTickCount() < end) {
            Pump();
            Sleep(20);
        }
    }
}

HGLOBAL Global(const std::vector<uint8_t>& bytes) {
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(g), bytes.data(), bytes.size());
    GlobalUnlock(g);
    return g;
}

std::vector<uint8_t> Dib24(int w, int h) {
    const int row = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> b(40 + size_t(row) * h, 0);
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biPlanes = 1;
    hd.biBitCount = 24;
    std::memcpy(b.data(), &hd, 40);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b[40 + size_t(row) * y + 3 * x + (x < w / 2 ? 2 : 0)] = 255;
    return b;
}

// 16 x 8 pixels of colour 1 (green), a run of 16 on each row.
std::vector<uint8_t> Rle8() {
    BITMAPINFOHEADER hd{};
    hd.biSize = 40;
    hd.biWidth = 16;
    hd.biHeight = 8;
    hd.biPlanes = 1;
    hd.biBitCount = 8;
    hd.biCompression = BI_RLE8;
    hd.biClrUsed = 2;
    std::vector<uint8_t> rows;
    for (int y = 0; y < 8; ++y) {
        const uint8_t run[4] = { 16, 1, 0, uint8_t(y == 7 ? 1 : 0) };  // end of line; of bitmap
        rows.insert(rows.end(), run, run + 4);
    }
    hd.biSizeImage = DWORD(rows.size());
    std::vector<uint8_t> b(40);
    std::memcpy(b.data(), &hd, 40);
    const uint8_t palette[8] = { 0, 0, 0, 0, 0, 255, 0, 0 };
    b.insert(b.end(), palette, palette + 8);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

UINT FormatByName(const char* name) {
    for (const Known& k : kKnown)
        if (std::strcmp(k.name, name) == 0) return k.format;
    return RegisterClipboardFormatA(name);
}

struct TitleSearch {
    const char* part;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TitleSearch*>(param);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::strstr(title, search->part)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WindowTitled(const char* part) {
    TitleSearch search{ part, nullptr };
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The plain or rich edit box a text program types into.
BOOL CALLBACK MatchEditBox(HWND window, LPARAM param) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (_stricmp(name, "Edit") == 0 || _strnicmp(name, "RichEdit", 8) == 0) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "try-open") {
        const bool opened = OpenClipboard(nullptr) != FALSE;
        if (opened) CloseClipboard();
        std::puts(opened ? "opened" : "busy");
    } else if (verb == "list") {
        if (!Open()) return 1;
        for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
            char name[128] = "";
            for (const Known& k : kKnown)
                if (k.format == f) std::strcpy(name, k.name);
            if (!name[0]) GetClipboardFormatNameA(f, name, sizeof name);
            std::printf("%u %s\n", f, name);
        }
        CloseClipboard();
    } else if (verb == "text") {
        if (!Open()) return 1;
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            std::fputs(static_cast<const char*>(GlobalLock(h)), stdout);
            GlobalUnlock(h);
        }
        CloseClipboard();
    } else if (verb == "block" && argc > 2) {
        const UINT f = RegisterClipboardFormatA(argv[2]);
        if (!Open()) return 1;
        HANDLE h = GetClipboardData(f);
        if (h) std::printf("%lu\n", static_cast<unsigned long>(GlobalSize(h)));
        else std::puts("none");
        CloseClipboard();
    } else if (verb == "put-text-behind" && argc > 2) {
        // No window comes to the front: the program in front is not activated again after.
        HWND window = HelperWindow();
        if (!OpenClipboard(window)) {
            std::puts("busy");
            return 1;
        }
        EmptyClipboard();
        SetClipboardData(CF_TEXT, Global(std::vector<uint8_t>(argv[2], argv[2] + std::strlen(argv[2]) + 1)));
        CloseClipboard();
        Sleep(200);
        Pump();
        DestroyWindow(window);
    } else if (verb == "put-text" && argc > 2) {
        Put(CF_TEXT, Global(std::vector<uint8_t>(argv[2], argv[2] + std::strlen(argv[2]) + 1)));
    } else if (verb == "put-dib24" && argc > 3) {
        Put(CF_DIB, Global(Dib24(std::atoi(argv[2]), std::atoi(argv[3]))));
    } else if (verb == "put-rle8") {
        Put(CF_DIB, Global(Rle8()));
    } else if (verb == "put-truncated") {
        std::vector<uint8_t> b = Dib24(8, 8);
        b.pop_back();
        Put(CF_DIB, Global(b));
    } else if (verb == "put-file" && argc > 3) {
        std::vector<uint8_t> bytes;
        if (FILE* in = std::fopen(argv[3], "rb")) {
            for (int c; (c = std::fgetc(in)) != EOF;) bytes.push_back(uint8_t(c));
            std::fclose(in);
        }
        if (bytes.empty()) return 1;
        Put(FormatByName(argv[2]), Global(bytes));
    } else if (verb == "put-metafile" && argc > 3) {
        const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
        const RECT frame = { 0, 0, (w * 2540 + 95) / 96, (h * 2540 + 95) / 96 };
        HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
        HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
        const RECT all = { 0, 0, w, h };
        FillRect(dc, &all, green);
        DeleteObject(green);
        Put(CF_ENHMETAFILE, CloseEnhMetaFile(dc));
    } else if (verb == "hold" && argc > 2) {
        HWND owner = HelperWindow();
        if (!owner || !OpenClipboard(owner)) return 1;
        std::puts("holding");
        std::fflush(stdout);
        const DWORD end = GetTickCount() + DWORD(std::atoi(argv[2]) * 1000);
        while (GetTickCount() < end) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(20);
        }
        CloseClipboard();
        DestroyWindow(owner);
    } else if (verb == "save" && argc > 3) {
        if (!Open()) return 1;
        HANDLE h = GetClipboardData(FormatByName(argv[2]));
        const void* bytes = h ? GlobalLock(h) : nullptr;
        if (bytes) {
            if (FILE* out = std::fopen(argv[3], "wb")) {
                std::fwrite(bytes, 1, GlobalSize(h), out);
                std::fclose(out);
            }
            GlobalUnlock(h);
        }
        CloseClipboard();
        if (!bytes) std::puts("none");
    } else if (verb == "window-text" && argc > 2) {
        HWND edit = nullptr;
        if (HWND top = WindowTitled(argv[2])) EnumChildWindows(top, MatchEditBox, reinterpret_cast<LPARAM>(&edit));
        if (!edit) {
            std::puts("none");
            return 1;
        }
        std::vector<char> text(size_t(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0)) + 1, 0);
        SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        std::fputs(text.data(), stdout);
    } else if (verb == "visit") {
        HWND window = HelperWindow();
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        Pump();
        Sleep(200);
        Pump();
        DestroyWindow(window);
        Pump();
    } else if (verb == "place" && argc > 6) {
        HWND top = WindowTitled(argv[2]);
        if (!top || !SetWindowPos(top, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                                  std::atoi(argv[6]), SWP_NOZORDER | SWP_NOACTIVATE)) {
            std::puts("none");
            return 1;
        }
    } else if (verb == "play-wmf" && argc > 3) {
        const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
        if (!Open()) return 1;
        HANDLE data = GetClipboardData(CF_METAFILEPICT);
        const auto* pict = data ? static_cast<const METAFILEPICT*>(GlobalLock(data)) : nullptr;
        if (!pict || w <= 0 || h <= 0) {
            if (pict) GlobalUnlock(data);
            CloseClipboard();
            std::puts("none");
            return 1;
        }
        BITMAPINFO info{};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        SetMapMode(dc, pict->mm);
        SetViewportExtEx(dc, w, h, nullptr);
        PlayMetaFile(dc, pict->hMF);
        GdiFlush();
        GlobalUnlock(data);
        CloseClipboard();
        int l = w, t = h, r = 0, b = 0;
        const auto* px = static_cast<const uint32_t*>(bits);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((px[y * w + x] & 0xFFFFFF) != 0xFFFFFF) {
                    l = std::min(l, x);
                    t = std::min(t, y);
                    r = std::max(r, x + 1);
                    b = std::max(b, y + 1);
                }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        if (r == 0) std::puts("none");
        else std::printf("%d %d %d %d\n", l, t, r, b);
    } else {
        std::fputs("figclip: unknown request\n", stderr);
        return 2;
    }
    return 0;
}
