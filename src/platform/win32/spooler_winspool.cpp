// The spooler of the Windows build: winspool. Every read asks for the size
// first (no buffer), accepts success or ERROR_INSUFFICIENT_BUFFER as the
// answer, and reads again into a block of that size. Enumeration buffers
// come from LocalAlloc, printer records and device modes from GlobalAlloc.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "seams/spooler.h"

namespace zeseal::platform {
namespace {

// A fixed block from GlobalAlloc (zero-filled) or LocalAlloc.
template <bool kGlobal>
class SystemBlock {
public:
    SystemBlock() = default;
    explicit SystemBlock(DWORD size) {
        if (size == 0) return;
        if constexpr (kGlobal) {
            block_ = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
        } else {
            block_ = LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, size);
        }
        size_ = block_ != nullptr ? size : 0;
    }
    ~SystemBlock() {
        if (block_ == nullptr) return;
        if constexpr (kGlobal) {
            GlobalFree(block_);
        } else {
            LocalFree(block_);
        }
    }
    SystemBlock(const SystemBlock&) = delete;
    SystemBlock& operator=(const SystemBlock&) = delete;

    void swap(SystemBlock& other) noexcept {
        std::swap(block_, other.block_);
        std::swap(size_, other.size_);
    }
    BYTE* data() const noexcept { return static_cast<BYTE*>(block_); }
    DWORD size() const noexcept { return size_; }
    explicit operator bool() const noexcept { return block_ != nullptr; }

private:
    void* block_ = nullptr;
    DWORD size_ = 0;
};

using GlobalBlock = SystemBlock<true>;
using LocalBlock = SystemBlock<false>;

// The size answer of a two-step read: the call with no buffer must succeed
// or fail only for want of room.
bool SizeAnswered(BOOL ok) noexcept { return ok || GetLastError() == ERROR_INSUFFICIENT_BUFFER; }

std::string TextOf(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

std::optional<std::string> OptionalTextOf(const char* text) {
    if (text == nullptr) return std::nullopt;
    return std::string(text);
}

// The bytes a DEVMODE must have for the fields the library reads.
constexpr std::size_t kDeviceModeFieldsEnd = offsetof(DEVMODEA, dmCopies) + sizeof(short);

// The fields of a DEVMODE and its whole block: dmSize + dmDriverExtra bytes,
// at most the available ones (all of them when the sizes are missing).
DeviceMode DeviceModeOf(const DEVMODEA& mode, std::size_t available) {
    DeviceMode result{static_cast<std::uint32_t>(mode.dmFields), mode.dmOrientation, mode.dmCopies, {}};
    std::size_t size = std::size_t{mode.dmSize} + mode.dmDriverExtra;
    if (size < kDeviceModeFieldsEnd || size > available) size = available;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&mode);
    result.block.assign(bytes, bytes + size);
    return result;
}

void StoreDeviceMode(const DeviceMode& from, DEVMODEA& to) {
    to.dmFields = from.fields;
    to.dmOrientation = from.orientation;
    to.dmCopies = from.copies;
}

class GdiDocument final : public PrintDocument {
public:
    GdiDocument(HDC dc, std::uint32_t jobId) : dc_(dc), jobId_(jobId) {}
    ~GdiDocument() override {
        if (!ended_) AbortDoc(dc_);
        DeleteDC(dc_);
    }
    GdiDocument(const GdiDocument&) = delete;
    GdiDocument& operator=(const GdiDocument&) = delete;

    std::uint32_t JobId() const override { return jobId_; }
    HDC StartPage() override { return ::StartPage(dc_) > 0 ? dc_ : nullptr; }
    bool EndPage() override { return ::EndPage(dc_) > 0; }
    bool EndDocument() override {
        ended_ = true;
        return EndDoc(dc_) > 0;
    }

private:
    HDC dc_;
    std::uint32_t jobId_;
    bool ended_ = false;
};

class WinspoolPrinter final : public PrinterHandle {
public:
    WinspoolPrinter(HANDLE handle, std::string name) : handle_(handle), name_(std::move(name)) {}
    ~WinspoolPrinter() override { ClosePrinter(handle_); }
    WinspoolPrinter(const WinspoolPrinter&) = delete;
    WinspoolPrinter& operator=(const WinspoolPrinter&) = delete;

    bool ReadInfo(PrinterInfo& info) override {
        GlobalBlock record;
        if (!ReadRecord(record)) return false;
        const auto& p = *reinterpret_cast<const PRINTER_INFO_2A*>(record.data());
        info.name = TextOf(p.pPrinterName);
        info.port = TextOf(p.pPortName);
        info.driver = TextOf(p.pDriverName);
        info.dataType = OptionalTextOf(p.pDatatype);
        info.deviceMode.reset();
        if (p.pDevMode != nullptr) {
            // The record's DEVMODE lies inside the record's block.
            const BYTE* start = reinterpret_cast<const BYTE*>(p.pDevMode);
            const BYTE* end = record.data() + record.size();
            const std::size_t available =
                start >= record.data() && start < end ? static_cast<std::size_t>(end - start) : 0;
            if (available >= kDeviceModeFieldsEnd) info.deviceMode = DeviceModeOf(*p.pDevMode, available);
        }
        info.attributes = p.Attributes;
        info.status = p.Status;
        info.jobCount = p.cJobs;
        return true;
    }

    bool WriteInfo(const PrinterInfo& info) override {
        // The stored record is read again and only the fields the library
        // changes are replaced, so everything else is written back as it was.
        GlobalBlock record;
        if (!ReadRecord(record)) return false;
        auto& p = *reinterpret_cast<PRINTER_INFO_2A*>(record.data());
        std::string dataType = info.dataType.value_or(std::string());
        p.pDatatype = info.dataType ? dataType.data() : nullptr;
        GlobalBlock ownMode;
        if (info.deviceMode) {
            if (!info.deviceMode->block.empty() || p.pDevMode == nullptr) {
                if (!ModeBlock(*info.deviceMode, ownMode)) return false;
                p.pDevMode = reinterpret_cast<DEVMODEA*>(ownMode.data());
            } else {
                StoreDeviceMode(*info.deviceMode, *p.pDevMode);
            }
        }
        p.Attributes = info.attributes;
        p.pSecurityDescriptor = nullptr;
        return Check(SetPrinterA(handle_, 2, record.data(), 0));
    }

    bool ListJobs(std::uint32_t firstJob, std::uint32_t count,
                  std::vector<JobInfo>& jobs) override {
        jobs.clear();
        // The whole list is read at level 1, a counted one at level 2.
        const DWORD level = count == kAllJobs ? 1 : 2;
        DWORD needed = 0;
        DWORD returned = 0;
        SetLastError(ERROR_SUCCESS);
        if (!SizeAnswered(EnumJobsA(handle_, firstJob, count, level, nullptr, 0, &needed,
                                    &returned))) {
            return Fail();
        }
        if (needed == 0) return true;  // no jobs
        const LocalBlock buffer(needed);
        if (!buffer) return Fail(kErrorNotEnoughMemory);
        if (!Check(EnumJobsA(handle_, firstJob, count, level, buffer.data(), buffer.size(),
                             &needed, &returned))) {
            return false;
        }
        jobs.reserve(returned);
        for (DWORD i = 0; i < returned; ++i) {
            if (level == 1) {
                const auto& j = reinterpret_cast<const JOB_INFO_1A*>(buffer.data())[i];
                jobs.push_back({j.JobId, OptionalTextOf(j.pDocument), j.Status});
            } else {
                const auto& j = reinterpret_cast<const JOB_INFO_2A*>(buffer.data())[i];
                jobs.push_back({j.JobId, OptionalTextOf(j.pDocument), j.Status});
            }
        }
        return true;
    }

    bool CurrentDeviceMode(DeviceMode& mode) override {
        GlobalBlock block;
        if (!DriverDeviceMode(block)) return false;
        mode = DeviceModeOf(*reinterpret_cast<const DEVMODEA*>(block.data()), block.size());
        return true;
    }

    bool PassThroughDriver(DeviceMode& mode) override {
        GlobalBlock block;
        if (!ModeBlock(mode, block)) return false;
        auto* devMode = reinterpret_cast<DEVMODEA*>(block.data());
        if (!PassThrough(devMode)) return false;
        mode = DeviceModeOf(*devMode, block.size());
        return true;
    }

    std::unique_ptr<PrintDocument> StartDocument(std::string_view documentName,
                                                 const DeviceMode& mode) override {
        GlobalBlock block;
        if (!ModeBlock(mode, block)) return nullptr;
        HDC dc = CreateDCA(nullptr, name_.c_str(), nullptr, reinterpret_cast<DEVMODEA*>(block.data()));
        if (dc == nullptr) {
            Fail();
            return nullptr;
        }
        const std::string docName(documentName);
        DOCINFOA doc = {};
        doc.cbSize = sizeof doc;
        doc.lpszDocName = docName.c_str();
        doc.lpszDatatype = "RAW";
        const int job = StartDocA(dc, &doc);
        if (job <= 0) {
            Fail();
            DeleteDC(dc);
            return nullptr;
        }
        return std::make_unique<GdiDocument>(dc, static_cast<std::uint32_t>(job));
    }

    std::uint32_t LastError() const override { return lastError_; }

private:
    bool Fail(std::uint32_t error) {
        lastError_ = error;
        return false;
    }
    bool Fail() {
        const DWORD error = GetLastError();
        return Fail(error != ERROR_SUCCESS ? error : kErrorGenFailure);
    }
    bool Check(BOOL ok) { return ok ? true : Fail(); }

    // The level-2 record, two-step, into a zero-filled global block.
    bool ReadRecord(GlobalBlock& record) {
        DWORD needed = 0;
        SetLastError(ERROR_SUCCESS);
        if (!SizeAnswered(GetPrinterA(handle_, 2, nullptr, 0, &needed)) || needed == 0) {
            return Fail();
        }
        GlobalBlock block(needed);
        if (!block) return Fail(kErrorNotEnoughMemory);
        if (!Check(GetPrinterA(handle_, 2, block.data(), block.size(), &needed))) return false;
        record.swap(block);
        return true;
    }

    // The driver's current device mode in a zero-filled global block of the
    // size the driver asks for.
    bool DriverDeviceMode(GlobalBlock& mode) {
        const LONG size = DocumentPropertiesA(nullptr, handle_, name_.data(), nullptr, nullptr, 0);
        if (size <= 0) return Fail();
        GlobalBlock block(static_cast<DWORD>(size));
        if (!block) return Fail(kErrorNotEnoughMemory);
        if (DocumentPropertiesA(nullptr, handle_, name_.data(),
                                reinterpret_cast<DEVMODEA*>(block.data()), nullptr,
                                DM_OUT_BUFFER) != IDOK) {
            return Fail();
        }
        mode.swap(block);
        return true;
    }

    // A zero-filled global block holding the mode's own DEVMODE, or the
    // driver's current one when the mode carries none, with the mode's
    // fields, orientation and copies put in.
    bool ModeBlock(const DeviceMode& mode, GlobalBlock& block) {
        if (mode.block.empty()) {
            if (!DriverDeviceMode(block)) return false;
        } else {
            GlobalBlock own(static_cast<DWORD>(std::max(mode.block.size(), sizeof(DEVMODEA))));
            if (!own) return Fail(kErrorNotEnoughMemory);
            std::memcpy(own.data(), mode.block.data(), mode.block.size());
            block.swap(own);
        }
        StoreDeviceMode(mode, *reinterpret_cast<DEVMODEA*>(block.data()));
        return true;
    }

    bool PassThrough(DEVMODEA* mode) {
        if (DocumentPropertiesA(nullptr, handle_, name_.data(), mode, mode,
                                DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK) {
            return Fail();
        }
        return true;
    }

    HANDLE handle_;
    std::string name_;
    std::uint32_t lastError_ = 0;
};

class WinspoolSpooler final : public Spooler {
public:
    bool ListLocalPrinters(std::vector<LocalPrinter>& printers) override {
        printers.clear();
        DWORD needed = 0;
        DWORD returned = 0;
        SetLastError(ERROR_SUCCESS);
        if (!SizeAnswered(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed,
                                        &returned))) {
            return false;
        }
        if (needed == 0) return true;  // no printers
        const LocalBlock buffer(needed);
        if (!buffer) return false;
        if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), buffer.size(), &needed,
                           &returned)) {
            return false;
        }
        const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        printers.reserve(returned);
        for (DWORD i = 0; i < returned; ++i) {
            printers.push_back({TextOf(records[i].pPrinterName), TextOf(records[i].pPortName),
                                TextOf(records[i].pDriverName)});
        }
        return true;
    }

    std::unique_ptr<PrinterHandle> Open(std::string_view name, PrinterAccess access,
                                        std::uint32_t& error) override {
        std::string printerName(name);
        PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE handle = nullptr;
        SetLastError(ERROR_SUCCESS);
        const BOOL ok = OpenPrinterA(printerName.data(), &handle,
                                     access == PrinterAccess::kFull ? &defaults : nullptr);
        if (!ok || handle == nullptr) {
            error = GetLastError();
            if (error == ERROR_SUCCESS) error = kErrorInvalidPrinterName;
            return nullptr;
        }
        error = 0;
        return std::make_unique<WinspoolPrinter>(handle, std::move(printerName));
    }
};

}  // namespace

Spooler& ActiveSpooler() {
    static WinspoolSpooler spooler;
    return spooler;
}

}  // namespace zeseal::platform
