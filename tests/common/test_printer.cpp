#include "common/test_printer.h"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char DRIVER_NAME[] = "darad4 PostScript";
constexpr char PPD_NAME[] = "darad4.ppd";
constexpr char GHOSTSCRIPT[] = "/usr/bin/gs";
constexpr DWORD GHOSTSCRIPT_WAIT_MS = 60000;
constexpr DWORD GHOSTSCRIPT_POLL_MS = 100;
#define GHOSTSCRIPT_DONE "gs-report-complete"

// The least a PPD needs for the PostScript driver: the model, the
// resolution and two paper sizes with their printable areas.
constexpr char PPD[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"DARAD4.PPD\"\n"
    "*Manufacturer: \"darad4\"\n"
    "*Product: \"(darad4 PostScript)\"\n"
    "*ModelName: \"darad4 PostScript\"\n"
    "*ShortNickName: \"darad4 PostScript\"\n"
    "*NickName: \"darad4 PostScript\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultColorSpace: RGB\n"
    "*FileSystem: False\n"
    "*Throughput: \"1\"\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 600dpi\n"
    "*OpenUI *PageSize/Page Size: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*PageSize A3/A3: \"<</PageSize[842 1191]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: A4\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*PageRegion A3/A3: \"<</PageSize[842 1191]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n"
    "*ImageableArea A3/A3: \"18 18 824 1173\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n"
    "*PaperDimension A3/A3: \"842 1191\"\n";

bool PrinterExists()
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(TEST_PRINTER_NAME), &printer, nullptr))
        return false;
    ClosePrinter(printer);
    return true;
}

} // namespace

int TestAddPostScriptPrinter()
{
    if (PrinterExists()) {
        SetDefaultPrinterA(TEST_PRINTER_NAME);
        return 1;
    }
    char directory[MAX_PATH] = "";
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE *>(directory), sizeof directory,
                                    &needed))
        return 0;
    char ppd[MAX_PATH];
    std::snprintf(ppd, sizeof ppd, "%s\\%s", directory, PPD_NAME);
    FILE *f = std::fopen(ppd, "wb");
    if (!f)
        return 0;
    std::fwrite(PPD, 1, sizeof PPD - 1, f);
    std::fclose(f);

    DRIVER_INFO_3A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char *>(DRIVER_NAME);
    driver.pDriverPath = const_cast<char *>("wineps.drv");
    driver.pDataFile = ppd;
    driver.pConfigFile = const_cast<char *>("wineps.drv");
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE *>(&driver), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
        return 0;

    PRINTER_INFO_2A info{};
    info.pPrinterName = const_cast<char *>(TEST_PRINTER_NAME);
    info.pPortName = const_cast<char *>("FILE:");
    info.pDriverName = const_cast<char *>(DRIVER_NAME);
    info.pPrintProcessor = const_cast<char *>("winprint");
    info.pDatatype = const_cast<char *>("RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE *>(&info));
    if (!printer)
        return 0;
    ClosePrinter(printer);
    SetDefaultPrinterA(TEST_PRINTER_NAME);
    return 1;
}

std::string TestGhostscriptPath()
{
    std::string dos = "Z:";
    for (const char *p = GHOSTSCRIPT; *p; ++p)
        dos += *p == '/' ? '\\' : *p;
    return GetFileAttributesA(dos.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : dos;
}

int TestGhostscriptBoxes(const std::string &postScriptFile, std::string *log, std::vector<TestPageBox> *boxes)
{
    boxes->clear();
    if (TestGhostscriptPath().empty())
        return 0;
    // The Unix paths of the input and of a file for gs's report.
    char unixInput[MAX_PATH * 2] = "";
    typedef char *(CDECL * ToUnix)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix)
        return 0;
    auto unixOf = [&](const std::string &dos, char *out) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, dos.c_str(), -1, wide, MAX_PATH);
        char *u = toUnix(wide);
        if (!u)
            return false;
        lstrcpynA(out, u, MAX_PATH * 2);
        HeapFree(GetProcessHeap(), 0, u);
        return true;
    };
    char tempDir[MAX_PATH], report[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    GetTempFileNameA(tempDir, "gs", 0, report);
    char unixReport[MAX_PATH * 2] = "";
    if (!unixOf(postScriptFile, unixInput) || !unixOf(report, unixReport))
        return 0;
    std::string command = "Z:\\bin\\sh -c \"gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox '";
    command += unixInput;
    command += "' > '";
    command += unixReport;
    command += "' 2>&1; echo " GHOSTSCRIPT_DONE " >> '";
    command += unixReport;
    command += "'\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        DeleteFileA(report);
        return 0;
    }
    WaitForSingleObject(pi.hProcess, GHOSTSCRIPT_WAIT_MS);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Wine does not wait for a Unix child: the process handle may be
    // signalled while gs still writes, so wait for the shell's closing mark.
    std::string text;
    for (DWORD waited = 0; waited < GHOSTSCRIPT_WAIT_MS; waited += GHOSTSCRIPT_POLL_MS) {
        FILE *f = std::fopen(report, "rb");
        text.clear();
        if (f) {
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                text.append(buffer, n);
            std::fclose(f);
        }
        if (text.find(GHOSTSCRIPT_DONE) != std::string::npos)
            break;
        Sleep(GHOSTSCRIPT_POLL_MS);
    }
    DeleteFileA(report);
    if (log)
        *log = text;
    size_t at = 0;
    while ((at = text.find("%%HiResBoundingBox:", at)) != std::string::npos) {
        TestPageBox box{};
        std::sscanf(text.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &box.x1, &box.y1, &box.x2, &box.y2);
        boxes->push_back(box);
        at += 19;
    }
    return 1;
}
