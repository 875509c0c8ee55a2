// Printers added to the Wine prefix for the Windows tests: Wine's PostScript
// driver with a small PPD, printing to the port FILE: (a document without an
// output name lands in the file "FILE:" of the current directory).
#pragma once

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

namespace zeseal::testing {

inline constexpr char kWinePpd[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"ZESEAL.PPD\"\n"
    "*Manufacturer: \"ZEseal\"\n"
    "*Product: \"(Wine Laser)\"\n"
    "*ModelName: \"ZEseal Wine Laser\"\n"
    "*ShortNickName: \"ZEseal Wine Laser\"\n"
    "*NickName: \"ZEseal Wine Laser\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: False\n"
    "*DefaultColorSpace: Gray\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n"
    "*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"0 0 595 842\"\n"
    "*DefaultPaperDimension: A4\n"
    "*PaperDimension A4/A4: \"595 842\"\n"
    "*DefaultFont: Courier\n"
    "*Font Courier: Standard \"(001.000)\" Standard ROM\n";

// Writes a whole file; false when it cannot.
inline bool WriteWholeFile(const std::string& path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

// Adds the PostScript driver under driverName and a printer that uses it on
// a port: FILE:, or a file name, which Wine prints to without asking.
// Either may exist already from an earlier test.
inline void AddWinePrinter(const std::string& printerName, const std::string& driverName,
                           const std::string& portName = "FILE:") {
    // The PPD goes straight into the driver directory, where the driver
    // looks for its data file.
    char drivers[MAX_PATH] = {};
    DWORD length = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(drivers),
                                           sizeof drivers, &length));
    CreateDirectoryA((std::string(drivers) + "\\3").c_str(), nullptr);
    std::string ppd = std::string(drivers) + "\\3\\zeseal-wine-laser.ppd";
    ASSERT_TRUE(WriteWholeFile(ppd, kWinePpd, sizeof kWinePpd - 1));

    std::string driver = driverName, driverFile = "wineps.drv";
    DRIVER_INFO_3A info3 = {};
    info3.cVersion = 3;
    info3.pName = driver.data();
    info3.pDriverPath = driverFile.data();
    info3.pDataFile = ppd.data();
    info3.pConfigFile = driverFile.data();
    ASSERT_TRUE(AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info3), APD_COPY_NEW_FILES))
        << GetLastError();

    std::string name = printerName, port = portName, processor = "winprint", type = "RAW";
    PRINTER_INFO_2A info2 = {};
    info2.pPrinterName = name.data();
    info2.pPortName = port.data();
    info2.pDriverName = driver.data();
    info2.pPrintProcessor = processor.data();
    info2.pDatatype = type.data();
    info2.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info2));
    if (printer == nullptr) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
    } else {
        ClosePrinter(printer);
    }
}

// The first bytes of a file, or nothing when it cannot be read.
inline std::string FileStart(const char* path, DWORD count) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string start(count, '\0');
    DWORD read = 0;
    if (!ReadFile(file, start.data(), count, &read, nullptr)) read = 0;
    CloseHandle(file);
    start.resize(read);
    return start;
}

}  // namespace zeseal::testing
