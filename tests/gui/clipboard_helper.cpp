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
//   figclip play-file FILE    plays a picture file (".wmf" with its 22-byte header, or
//                             ".emf") at its own size into a white bitmap; prints its
//                             size and the "l t r b" of the dark pixels:
//                             "W H l t r b", or "none"
//   figclip make-shortcut LINK TARGET  a shell shortcut file LINK to TARGET
//   figclip dde APP TOPIC COMMAND  sends COMMAND to a DDE server as the shell does;
//                             "ok", "no server" or "refused"
//   figclip visit             its window comes to the front for a moment and goes, as when
//                             the user looks at another program and comes back
#include <windows.h>

#include <ddeml.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A client that only sends commands answers nothing.
HDDEDATA CALLBACK DdeClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// Whether a 0x00RRGGBB pixel is dark (below half brightness).
bool IsDark(uint32_t p) { return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 384; }

// The box of the pixels of a 32-bit top-down bitmap that are not white (with `dark`: that
// are dark, past a page's light background); false for none.
bool InkBox(const uint32_t* px, int w, int h, int* l, int* t, int* r, int* b, bool dark = false) {
    *l = w, *t = h, *r = 0, *b = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (dark ? IsDark(px[y * w + x]) : (px[y * w + x] & 0xFFFFFF) != 0xFFFFFF) {
                *l = std::min(*l, x);
                *t = std::min(*t, y);
                *r = std::max(*r, x + 1);
                *b = std::max(*b, y + 1);
            }
    return *r > 0;
}

// A white 32-bit top-down bitmap selected into a memory DC, for a picture to play into.
class WhiteCanvas {
public:
    WhiteCanvas(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, w, h, WHITENESS);
    }
    ~WhiteCanvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    WhiteCanvas(const WhiteCanvas&) = delete;
    WhiteCanvas& operator=(const WhiteCanvas&) = delete;
    HDC dc() const { return dc_; }
    // The box of what was drawn (see InkBox).
    bool Ink(int* l, int* t, int* r, int* b, bool dark) const {
        GdiFlush();
        return bits_ && InkBox(static_cast<const uint32_t*>(bits_), w_, h_, l, t, r, b, dark);
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

// A picture file played at its size: "W H l t r b" or "none".
int PlayFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    std::vector<unsigned char> bytes;
    if (file) {
        unsigned char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(file);
    }
    HENHMETAFILE picture = nullptr;
    HMETAFILE old = nullptr;  // an old-style picture after its header
    int w = 0, h = 0;
    auto word = [&bytes](size_t at) { return static_cast<int16_t>(bytes[at] | (bytes[at + 1] << 8)); };
    if (bytes.size() > 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A) {
        const int inch = word(14);
        if (inch > 0) {
            w = (word(10) - word(6)) * 96 / inch;
            h = (word(12) - word(8)) * 96 / inch;
        }
        old = SetMetaFileBitsEx(static_cast<UINT>(bytes.size() - 22), bytes.data() + 22);
    } else if (!bytes.empty()) {
        picture = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
        ENHMETAHEADER header{};
        if (picture && GetEnhMetaFileHeader(picture, sizeof header, &header)) {
            // The frame (0.01 mm) in the screen's pixels, as a reader sizes it.
            HDC screen = GetDC(nullptr);
            w = MulDiv(header.rclFrame.right - header.rclFrame.left, GetDeviceCaps(screen, HORZRES),
                       GetDeviceCaps(screen, HORZSIZE) * 100);
            h = MulDiv(header.rclFrame.bottom - header.rclFrame.top, GetDeviceCaps(screen, VERTRES),
                       GetDeviceCaps(screen, VERTSIZE) * 100);
            ReleaseDC(nullptr, screen);
        }
    }
    if ((!picture && !old) || w <= 0 || h <= 0 || w > 8000 || h > 8000) {
        if (picture) DeleteEnhMetaFile(picture);
        if (old) DeleteMetaFile(old);
        std::puts("none");
        return 1;
    }
    int l, t, r, b;
    bool ink = false;
    {
        WhiteCanvas canvas(w, h);
        if (picture) {
            const RECT all = { 0, 0, w, h };
            PlayEnhMetaFile(canvas.dc(), picture, &all);
        } else {
            // As a reader of placeable files plays one: its own window, our viewport.
            SetMapMode(canvas.dc(), MM_ANISOTROPIC);
            SetViewportExtEx(canvas.dc(), w, h, nullptr);
            PlayMetaFile(canvas.dc(), old);
        }
        ink = canvas.Ink(&l, &t, &r, &b, true);
    }
    if (ink) std::printf("%d %d %d %d %d %d\n", w, h, l, t, r, b);
    else std::puts("none");
    if (picture) DeleteEnhMetaFile(picture);
    if (old) DeleteMetaFile(old);
    return 0;
}

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
    } else if (verb == "dde" && argc > 4) {
        DWORD instance = 0;
        if (DdeInitializeA(&instance, DdeClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return 1;
        HSZ app = DdeCreateStringHandleA(instance, argv[2], CP_WINANSI);
        HSZ topic = DdeCreateStringHandleA(instance, argv[3], CP_WINANSI);
        HCONV conversation = DdeConnect(instance, app, topic, nullptr);
        const char* answer = "no server";
        if (conversation) {
            DWORD result = 0;
            HDDEDATA done = DdeClientTransaction(reinterpret_cast<LPBYTE>(argv[4]),
                                                 static_cast<DWORD>(std::strlen(argv[4]) + 1), conversation, nullptr,
                                                 0, XTYP_EXECUTE, 10000, &result);
            answer = done ? "ok" : "refused";
            DdeDisconnect(conversation);
        }
        DdeFreeStringHandle(instance, app);
        DdeFreeStringHandle(instance, topic);
        DdeUninitialize(instance);
        std::puts(answer);
        return 0;
    } else if (verb == "make-shortcut" && argc > 3) {
        CoInitialize(nullptr);
        IShellLinkA* link = nullptr;
        IPersistFile* file = nullptr;
        bool made = false;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&link)))) {
            link->SetPath(argv[3]);
            if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                wchar_t wide[MAX_PATH];
                MultiByteToWideChar(CP_ACP, 0, argv[2], -1, wide, MAX_PATH);
                made = SUCCEEDED(file->Save(wide, TRUE));
                file->Release();
            }
            link->Release();
        }
        CoUninitialize();
        std::puts(made ? "ok" : "failed");
        return made ? 0 : 1;
    } else if (verb == "play-file" && argc > 2) {
        return PlayFile(argv[2]);
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
        WhiteCanvas canvas(w, h);
        SetMapMode(canvas.dc(), pict->mm);
        SetViewportExtEx(canvas.dc(), w, h, nullptr);
        PlayMetaFile(canvas.dc(), pict->hMF);
        int l, t, r, b;
        const bool ink = canvas.Ink(&l, &t, &r, &b, false);
        GlobalUnlock(data);
        CloseClipboard();
        if (!ink) std::puts("none");
        else std::printf("%d %d %d %d\n", l, t, r, b);
    } else {
        std::fputs("figclip: unknown request\n", stderr);
        return 2;
    }
    return 0;
}
