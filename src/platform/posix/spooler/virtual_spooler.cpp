// The Spooler of the POSIX build over the virtual spooler's file.
#include "platform/posix/spooler/virtual_spooler.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "base/ascii_case.h"
#include "frame/frame_lock.h"
#include "platform/posix/page/png_writer.h"
#include "platform/posix/spooler/printers_file_io.h"
#include "raster/rgb_page.h"
#include "platform/posix/spooler/spooler_choice.h"
#include "seams/spooler.h"

namespace zeseal::platform {
namespace posix {
namespace {

std::mutex choiceMutex;

std::string& Chosen() {
    static std::string chosen;
    return chosen;
}

// A parsed printers file with what lookups by name need.
struct ParsedPrinters {
    PrintersFile file;
    std::unordered_map<std::string, std::size_t> byName;  // lower-cased name: first such printer
    std::uint32_t highestJob = 0;                         // over every printer

    explicit ParsedPrinters(PrintersFile parsed) : file(std::move(parsed)) {
        for (std::size_t i = 0; i < file.printers.size(); ++i) {
            byName.emplace(base::LowerCased(file.printers[i].name), i);
            for (const VirtualJob& job : file.printers[i].jobs) highestJob = std::max(highestJob, job.id);
        }
    }

    const VirtualPrinter* Find(std::string_view name) const {
        const auto found = byName.find(base::LowerCased(name));
        return found == byName.end() ? nullptr : &file.printers[found->second];
    }
};

// What tells one state of a file from another without reading it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    timespec changed = {};

    explicit FileIdentity(const struct stat& st)
        : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim),
          changed(st.st_ctim) {}

    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

std::int64_t Nanoseconds(const timespec& t) {
    return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

// Whether a change made to the file after `now` is bound to show in its
// identity. File times come from a clock that ticks coarsely (and on some
// file systems only by whole seconds), so a change in the same tick as the
// one identity records may leave the identity as it was: only a file last
// changed well before now can be known by its identity alone.
bool IdentityIsTelling(const FileIdentity& identity, const timespec& now) {
    const bool wholeSeconds = identity.modified.tv_nsec == 0 && identity.changed.tv_nsec == 0;
    const std::int64_t margin = wholeSeconds ? 2'000'000'000 : 50'000'000;
    const std::int64_t before = Nanoseconds(now) - margin;
    return Nanoseconds(identity.modified) < before && Nanoseconds(identity.changed) < before;
}

// The last file parsed: its path, its identity and text when read, and
// whether that identity alone tells a later change. A listing opens every
// printer in turn, so each open must not read and parse the whole file again.
struct ParseCache {
    std::mutex mutex;
    std::string path;
    std::optional<FileIdentity> identity;
    bool telling = false;
    std::string text;
    std::shared_ptr<const ParsedPrinters> parsed;
};

ParseCache& Cache() {
    static ParseCache cache;
    return cache;
}

// The chosen file, parsed: from the cache while the file's identity shows
// no change, else read afresh (and parsed again only when its text differs).
std::shared_ptr<const ParsedPrinters> LoadChosen() {
    const std::string path = VirtualSpoolerFile();
    if (path.empty()) return nullptr;
    ParseCache& cache = Cache();
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    struct stat st = {};
    std::optional<FileIdentity> identity;
    if (stat(path.c_str(), &st) == 0) identity.emplace(st);
    {
        frame::FrameLock lock(cache.mutex);
        if (cache.parsed && cache.telling && identity && cache.path == path && cache.identity == identity) {
            return cache.parsed;
        }
    }
    // The identity was taken before the read: a change in between shows as
    // a different identity next time, or falls within the untrusted margin.
    std::string text;
    FileProblem problem;
    if (!ReadPrintersText(path, text, problem)) {
        ReportFileProblem(path, problem);
        return nullptr;
    }
    std::shared_ptr<const ParsedPrinters> parsed;
    {
        frame::FrameLock lock(cache.mutex);
        if (cache.parsed && cache.path == path && cache.text == text) parsed = cache.parsed;
    }
    if (!parsed) {
        auto file = ParsePrintersFile(text, problem);
        if (!file) {
            ReportFileProblem(path, problem);
            return nullptr;
        }
        parsed = std::make_shared<const ParsedPrinters>(std::move(*file));
    }
    frame::FrameLock lock(cache.mutex);
    cache.path = path;
    cache.identity = identity;
    cache.telling = identity && IdentityIsTelling(*identity, now);
    cache.text = std::move(text);
    cache.parsed = parsed;
    return parsed;
}

const VirtualPrinter* FindPrinter(const PrintersFile& file, std::string_view name, std::size_t* index) {
    for (std::size_t i = 0; i < file.printers.size(); ++i) {
        if (base::SameIgnoringCase(file.printers[i].name, name)) {
            if (index != nullptr) *index = i;
            return &file.printers[i];
        }
    }
    return nullptr;
}

std::int32_t PixelsAt(std::int32_t tenthMm, std::int32_t dpi) {
    return static_cast<std::int32_t>((std::int64_t{tenthMm} * dpi * 2 + 254) / (2 * 254));
}

std::string PagePath(const std::string& folder, std::uint32_t job, std::uint32_t page) {
    return folder + "/job-" + std::to_string(job) + "-page-" + std::to_string(page) + ".png";
}

// The pages of one document: each a registered RgbPage behind an HDC,
// saved as a PNG when it ends.
class VirtualDocument final : public PrintDocument {
public:
    VirtualDocument(std::string folder, std::uint32_t jobId, std::string marker, std::int32_t width,
                    std::int32_t height, std::int32_t dpi)
        : folder_(std::move(folder)), jobId_(jobId), marker_(std::move(marker)), width_(width),
          height_(height), dpi_(dpi) {}

    ~VirtualDocument() override {
        if (!ended_) {
            for (const std::string& path : written_) unlink(path.c_str());
        }
        unlink(marker_.c_str());
    }

    std::uint32_t JobId() const override { return jobId_; }

    HDC StartPage() override { return ended_ ? nullptr : page_.Start(width_, height_, dpi_); }

    bool EndPage() override {
        const auto page = page_.Finish();
        if (!page) return false;
        const std::string path = PagePath(folder_, jobId_, std::uint32_t(written_.size() + 1));
        if (!SaveRgbPng(path, page->width, page->height, page->rgb.data(), page->dpiX, page->dpiY,
                        PngCompression::kFast)) {
            return false;
        }
        written_.push_back(path);
        return true;
    }

    bool EndDocument() override {
        if (ended_) return false;
        if (page_.IsOpen() && !EndPage()) return false;
        ended_ = true;
        return true;
    }

private:
    std::string folder_;
    std::uint32_t jobId_;
    std::string marker_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t dpi_;
    raster::DocumentPage page_;
    std::vector<std::string> written_;
    bool ended_ = false;
};

// Takes the first job id above every queued job that no other document in
// the folder holds or has printed: a marker file created exclusively
// reserves the id while its document is printed.
bool ReserveJobId(const std::string& folder, std::uint32_t first, std::uint32_t& id,
                  std::string& marker) {
    for (std::uint32_t candidate = std::max<std::uint32_t>(first, 1), tries = 0; tries < 100000;
         ++candidate, ++tries) {
        std::string path = folder + "/job-" + std::to_string(candidate) + ".printing";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        close(fd);
        if (access(PagePath(folder, candidate, 1).c_str(), F_OK) == 0) {
            unlink(path.c_str());
            continue;
        }
        id = candidate;
        marker = std::move(path);
        return true;
    }
    return false;
}

class VirtualPrinterHandle final : public PrinterHandle {
public:
    VirtualPrinterHandle(std::string path, const ParsedPrinters& parsed, VirtualPrinter printer,
                         PrinterAccess access)
        : path_(std::move(path)), printer_(std::move(printer)), access_(access),
          outputFolder_(OutputFolderOf(path_, parsed.file)), highestJob_(parsed.highestJob) {}

    bool ReadInfo(PrinterInfo& info) override {
        if (Fails(kFailReadInfo)) return false;
        info = PrinterInfo{};
        info.name = printer_.name;
        info.port = printer_.port;
        info.driver = printer_.driver;
        info.dataType = printer_.dataType;
        if (printer_.hasDeviceMode) info.deviceMode = DeviceModeOf(printer_);
        info.attributes = printer_.attributes;
        info.status = printer_.status;
        info.jobCount = static_cast<std::uint32_t>(printer_.jobs.size());
        return true;
    }

    bool WriteInfo(const PrinterInfo& info) override {
        if (access_ != PrinterAccess::kFull) return Error(kErrorAccessDenied);
        if (Fails(kFailWriteInfo)) return false;
        VirtualPrinter written;
        const bool ok = UpdatePrintersFile(path_, [&](const PrintersFile& file) -> std::optional<std::string> {
            std::size_t index = 0;
            const VirtualPrinter* current = FindPrinter(file, printer_.name, &index);
            if (current == nullptr) return std::nullopt;
            written = *current;
            ApplyChanges(printer_, info, written);
            return RewriteSettings(file, index, written);
        });
        if (!ok) return Error(kErrorGenFailure);
        printer_ = std::move(written);
        return true;
    }

    bool ListJobs(std::uint32_t firstJob, std::uint32_t count, std::vector<JobInfo>& jobs) override {
        if (Fails(kFailListJobs)) return false;
        jobs.clear();
        for (std::size_t i = firstJob; i < printer_.jobs.size() && jobs.size() < count; ++i) {
            const VirtualJob& job = printer_.jobs[i];
            jobs.push_back(JobInfo{job.id, job.document, job.status});
        }
        return true;
    }

    bool CurrentDeviceMode(DeviceMode& mode) override {
        if (Fails(kFailDriver)) return false;
        mode = DeviceModeOf(printer_);
        return true;
    }

    bool PassThroughDriver(DeviceMode& mode) override {
        if (Fails(kFailDriver)) return false;
        // The driver's corrections: at least one copy, at most what the
        // file can hold.
        mode.copies = std::clamp<std::int16_t>(mode.copies, 1, 9999);
        return true;
    }

    std::unique_ptr<PrintDocument> StartDocument(std::string_view, const DeviceMode& mode) override {
        if (Fails(kFailStartDocument)) return nullptr;
        // A folder that cannot be made shows below, when no job id can be reserved in it.
        std::error_code error;
        std::filesystem::create_directories(outputFolder_, error);
        std::uint32_t id = 0;
        std::string marker;
        if (!ReserveJobId(outputFolder_, highestJob_ + 1, id, marker)) {
            Error(kErrorAccessDenied);
            return nullptr;
        }
        std::int32_t width = PixelsAt(printer_.paperWidthTenthMm, printer_.resolution);
        std::int32_t height = PixelsAt(printer_.paperHeightTenthMm, printer_.resolution);
        if (mode.orientation == kOrientationLandscape) std::swap(width, height);
        return std::make_unique<VirtualDocument>(outputFolder_, id, std::move(marker),
                                                 std::max(width, 1), std::max(height, 1),
                                                 printer_.resolution);
    }

    std::uint32_t LastError() const override { return lastError_; }

private:
    // Puts onto current (the record as it is in the file now) only what the
    // caller changed from the record this handle read: another process may
    // have changed the other fields since, and its changes must stay.
    static void ApplyChanges(const VirtualPrinter& read, const PrinterInfo& info,
                             VirtualPrinter& current) {
        if (info.dataType != read.dataType) current.dataType = info.dataType;
        if (info.deviceMode.has_value() != read.hasDeviceMode) {
            current.hasDeviceMode = info.deviceMode.has_value();
        }
        if (info.deviceMode) {
            if (info.deviceMode->copies != read.copies) current.copies = info.deviceMode->copies;
            if (info.deviceMode->orientation != read.orientation) {
                current.orientation = info.deviceMode->orientation;
            }
        }
        const std::uint32_t flipped = info.attributes ^ read.attributes;
        current.attributes = (current.attributes & ~flipped) | (info.attributes & flipped);
    }

    static DeviceMode DeviceModeOf(const VirtualPrinter& printer) {
        DeviceMode mode;
        mode.orientation = printer.orientation;
        mode.copies = printer.copies;
        return mode;
    }

    bool Fails(std::uint32_t call) {
        if ((printer_.failures & call) == 0) return false;
        lastError_ = kErrorGenFailure;
        return true;
    }

    bool Error(std::uint32_t code) {
        lastError_ = code;
        return false;
    }

    std::string path_;
    VirtualPrinter printer_;
    PrinterAccess access_;
    std::string outputFolder_;
    std::uint32_t highestJob_ = 0;
    std::uint32_t lastError_ = 0;
};

class VirtualSpooler final : public Spooler {
public:
    bool ListLocalPrinters(std::vector<LocalPrinter>& printers) override {
        printers.clear();
        const auto parsed = LoadChosen();
        if (!parsed) return VirtualSpoolerFile().empty();  // no file chosen: no printers
        printers.reserve(parsed->file.printers.size());
        for (const VirtualPrinter& p : parsed->file.printers) printers.push_back({p.name, p.port, p.driver});
        return true;
    }

    std::unique_ptr<PrinterHandle> Open(std::string_view name, PrinterAccess access,
                                        std::uint32_t& error) override {
        const auto parsed = LoadChosen();
        const VirtualPrinter* printer = parsed ? parsed->Find(name) : nullptr;
        if (printer == nullptr) {
            error = kErrorInvalidPrinterName;
            return nullptr;
        }
        if (access == PrinterAccess::kFull && !printer->fullAccess) {
            error = kErrorAccessDenied;
            return nullptr;
        }
        error = 0;
        return std::make_unique<VirtualPrinterHandle>(VirtualSpoolerFile(), *parsed, *printer, access);
    }
};

}  // namespace

int ChooseVirtualSpoolerFile(const char* path) {
    ChooseSpoolerBackend(SpoolerBackend::kVirtual);
    {
        frame::FrameLock lock(choiceMutex);
        Chosen() = path != nullptr ? path : "";
    }
    const std::string chosen = VirtualSpoolerFile();
    if (chosen.empty()) return 0;
    PrintersFile file;
    FileProblem problem;
    const LoadOutcome outcome = LoadPrintersFile(chosen, file, problem);
    if (outcome == LoadOutcome::kLoaded) return 0;
    ReportFileProblem(chosen, problem);
    return outcome == LoadOutcome::kUnreadable ? -1 : -2;
}

std::string VirtualSpoolerFile() {
    {
        frame::FrameLock lock(choiceMutex);
        if (!Chosen().empty()) return Chosen();
    }
    const char* env = std::getenv("ZESEAL_PRINTERS");
    return env != nullptr ? env : "";
}

std::shared_ptr<const PrintersFile> LoadChosenPrintersFile() {
    auto parsed = LoadChosen();
    if (!parsed) return nullptr;
    return std::shared_ptr<const PrintersFile>(parsed, &parsed->file);
}

std::string OutputFolderOf(const std::string& path, const PrintersFile& file) {
    const std::filesystem::path output = file.output.empty() ? "printed" : file.output;
    if (output.is_absolute()) return output.string();
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return (folder.empty() ? output : folder / output).string();
}

Spooler& VirtualSpoolerInstance() {
    static VirtualSpooler spooler;
    return spooler;
}

}  // namespace posix

}  // namespace zeseal::platform
