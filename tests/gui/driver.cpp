// The GUI test driver: sends one request to the program's test hook and prints the
// reply. Exit code 0 with a reply, 2 when no program answers.
//
//   figdriver REQUEST...     (the words are joined with spaces)
//   figdriver -c REQUEST...  (to the test container instead of the program)
//   figdriver -shell VERB FILE  (the shell carries out a verb of the file's type, as
//                               Explorer's menu does; exit code 0 when it took it)
//   figdriver -mac-caption FILE (writes an older Mac document holding one caption, the
//                               Mac text "Area", CR, byte 0xB9 (pi), " r"; no program needed)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "engine/docio/legacy_writer.h"
#include "gui/hook_protocol.h"

namespace {

std::string gReply;
bool gReplied = false;

LRESULT CALLBACK DriverWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        if (data && data->dwData == kHookReply) {
            gReply.assign(static_cast<const char*>(data->lpData), data->cbData);
            gReplied = true;
            return TRUE;
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "-shell") {
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, argv[2], argv[3], nullptr, nullptr,
                                                                    SW_SHOWNORMAL));
        std::printf("%d\n", static_cast<int>(result));
        return result > 32 ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "-mac-caption") {
        LegacyWriter w(true);
        w.Add(LegacyCaption(w, true, "Area\r\xB9 r", 60, 60, 14));
        const std::vector<uint8_t> bytes = w.Bytes();
        FILE* f = std::fopen(argv[2], "wb");
        const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f) std::fclose(f);
        return written ? 0 : 1;
    }
    const bool container = argc > 1 && std::string(argv[1]) == "-c";
    std::string request;
    for (int i = container ? 2 : 1; i < argc; ++i) {
        if (!request.empty()) request += ' ';
        request += argv[i];
    }
    HWND hook = FindWindowA(container ? kContainerWindowClass : kHookWindowClass, nullptr);
    if (!hook) {
        std::fprintf(stderr, "figdriver: no program answers\n");
        return 2;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = DriverWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FigTestDriverWindow";
    RegisterClassA(&wc);
    HWND self = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    COPYDATASTRUCT data{ kHookRequest, static_cast<DWORD>(request.size()), const_cast<char*>(request.data()) };
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hook, WM_COPYDATA, reinterpret_cast<WPARAM>(self), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 10000, &result);
    if (!gReplied) {
        std::fprintf(stderr, "figdriver: no reply\n");
        return 2;
    }
    std::fwrite(gReply.data(), 1, gReply.size(), stdout);
    if (!gReply.empty() && gReply.back() != '\n') std::fputc('\n', stdout);
    return 0;
}
