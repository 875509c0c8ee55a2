#include "platform/posix/cups/cups_spooler.h"

#include <cups/cups.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posix/cups/cups_mappings.h"
#include "frame/frame_lock.h"
#include "platform/posix/page/png_writer.h"
#include "raster/rgb_page.h"
#include "platform/posix/spooler/spooler_choice.h"

namespace zeseal::platform::posix {
namespace {

constexpr int kFallbackDpi = 600;
constexpr int kA4WidthHundredthMm = 21000;
constexpr int kA4LengthHundredthMm = 29700;
constexpr int kConnectTimeoutMs = 30000;

std::mutex serverMutex;
std::string& ChosenServer() {
    static std::string server;
    return server;
}

// The library never asks for a password: a request that needs one is
// refused, as if the user had given none. (The default callback would prompt
// on the host's terminal and wait there.) The callback belongs to the
// calling thread; it goes back to the default when the thread's last
// connection closes.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }
thread_local int openConnections = 0;

void ConnectionClosed(std::thread::id opener) {
    if (opener != std::this_thread::get_id()) return;  // the opener's callback stays
    if (openConnections > 0 && --openConnections == 0) cupsSetPasswordCB2(nullptr, nullptr);
}

struct HttpCloser {
    std::thread::id opener = std::this_thread::get_id();
    void operator()(http_t* http) const {
        httpClose(http);
        ConnectionClosed(opener);
    }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDeleter>;

// Opens a connection to the chosen scheduler, or nullptr.
Connection Connect() {
    std::string server;
    {
        frame::FrameLock lock(serverMutex);
        server = ChosenServer();
    }
    int port = ippPort();
    if (server.empty()) {
        server = cupsServer();
    } else if (server.front() != '/') {
        const std::size_t colon = server.rfind(':');
        if (colon != std::string::npos && server.find(']', colon) == std::string::npos &&
            colon + 1 < server.size() &&
            server.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
            port = std::atoi(server.c_str() + colon + 1);
            server.resize(colon);
        }
    }
    if (openConnections++ == 0) cupsSetPasswordCB2(NoPassword, nullptr);
    Connection http(httpConnect2(server.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kConnectTimeoutMs, nullptr));
    if (!http) ConnectionClosed(std::this_thread::get_id());
    return http;
}

// A queue name the scheduler can hold: not empty, no '/', '#', blank or
// control character, at most 127 bytes.
bool IsQueueName(std::string_view name) {
    if (name.empty() || name.size() > 127) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '#' || c == ' ' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

std::string PrinterUri(std::string_view name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", std::string(name).c_str());
    return uri;
}

ipp_t* NewRequest(ipp_op_t operation, const std::string& printerUri) {
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

void RequestAttributes(ipp_t* request, const std::vector<const char*>& names) {
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(names.size()), nullptr, names.data());
}

std::string Text(ipp_t* ipp, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    const char* value = attribute != nullptr ? ippGetString(attribute, 0, nullptr) : nullptr;
    return value != nullptr ? value : "";
}

int Integer(ipp_t* ipp, const char* name, int fallback) {
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_ZERO);
    if (attribute == nullptr) return fallback;
    const ipp_tag_t tag = ippGetValueTag(attribute);
    if (tag != IPP_TAG_INTEGER && tag != IPP_TAG_ENUM) return fallback;
    return ippGetInteger(attribute, 0);
}

bool Boolean(ipp_t* ipp, const char* name, bool fallback) {
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_BOOLEAN);
    return attribute != nullptr ? ippGetBoolean(attribute, 0) != 0 : fallback;
}

std::vector<std::string> Keywords(ipp_t* ipp, const char* name) {
    std::vector<std::string> values;
    ipp_attribute_t* attribute = ippFindAttribute(ipp, name, IPP_TAG_KEYWORD);
    if (attribute == nullptr) return values;
    for (int i = 0; i < ippGetCount(attribute); ++i) {
        if (const char* value = ippGetString(attribute, i, nullptr)) values.emplace_back(value);
    }
    return values;
}

// Sends a request and reads the answer. Returns the answer when the
// scheduler carried the request out, and nullptr when it could not be asked
// or refused it; error receives the system error code (0 on success).
Response DoRequest(http_t* http, ipp_t* request, const char* resource, std::uint32_t& error) {
    Response response(cupsDoRequest(http, request, resource));
    error = ErrorOfIppStatus(response ? ippGetStatusCode(response.get()) : cupsLastError());
    if (!response && error == 0) error = kErrorGenFailure;
    if (error != 0) response.reset();
    return response;
}

// The settings and state of one queue, as one Get-Printer-Attributes reads them.
struct QueueAttributes {
    Response ipp;
    std::uint32_t error = kErrorGenFailure;
};

QueueAttributes ReadQueue(http_t* http, std::string_view name) {
    ipp_t* request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, PrinterUri(name));
    RequestAttributes(request, {"printer-name", "device-uri", "printer-make-and-model", "printer-state",
                                "printer-state-reasons", "printer-is-accepting-jobs",
                                "printer-is-shared", "printer-type", "copies-default",
                                "orientation-requested-default", "printer-resolution-default",
                                "media-default", "media-col-default"});
    QueueAttributes queue;
    queue.ipp = DoRequest(http, request, "/", queue.error);
    return queue;
}

std::int16_t OrientationOf(ipp_t* queue) {
    return Integer(queue, "orientation-requested-default", IPP_ORIENT_PORTRAIT) == IPP_ORIENT_LANDSCAPE
               ? kOrientationLandscape
               : kOrientationPortrait;
}

DeviceMode DeviceModeOf(ipp_t* queue) {
    DeviceMode mode;
    mode.copies = static_cast<std::int16_t>(std::clamp(Integer(queue, "copies-default", 1), 1, 9999));
    mode.orientation = OrientationOf(queue);
    return mode;
}

int ResolutionOf(ipp_t* queue) {
    ipp_attribute_t* attribute = ippFindAttribute(queue, "printer-resolution-default", IPP_TAG_RESOLUTION);
    if (attribute == nullptr) return kFallbackDpi;
    ipp_res_t units = IPP_RES_PER_INCH;
    int y = 0;
    int x = ippGetResolution(attribute, 0, &y, &units);
    if (units == IPP_RES_PER_CM) x = (x * 254 + 50) / 100;
    return x >= 72 && x <= 2400 ? x : kFallbackDpi;
}

// The default paper in hundredths of millimetres, A4 when the queue names none.
void PaperOf(ipp_t* queue, int& width, int& length) {
    width = kA4WidthHundredthMm;
    length = kA4LengthHundredthMm;
    const std::string media = Text(queue, "media-default");
    const pwg_media_t* known = nullptr;
    if (!media.empty()) {
        known = pwgMediaForPWG(media.c_str());
        if (known == nullptr) known = pwgMediaForLegacy(media.c_str());
        if (known == nullptr) known = pwgMediaForPPD(media.c_str());
    }
    if (known != nullptr && known->width > 0 && known->length > 0) {
        width = known->width;
        length = known->length;
    }
}

int PixelsAt(int hundredthMm, int dpi) {
    return static_cast<int>((std::int64_t{hundredthMm} * dpi * 2 + 2540) / (2 * 2540));
}

std::uint32_t ReadJobs(http_t* http, std::string_view name, std::vector<JobInfo>& jobs);

// The pages of one CUPS job. Each page is rendered on an RgbPage and sent as
// a PNG document when the next page starts or the document ends (the last
// one is flagged as last, which closes the job). A document destroyed
// before EndDocument cancels its job.
class CupsDocument final : public PrintDocument {
public:
    CupsDocument(Connection http, std::string queue, int jobId, int width, int height, int dpi)
        : http_(std::move(http)), queue_(std::move(queue)), jobId_(jobId), width_(width),
          height_(height), dpi_(dpi) {}

    ~CupsDocument() override {
        if (!ended_) cupsCancelJob2(http_.get(), queue_.c_str(), jobId_, 0);
    }

    std::uint32_t JobId() const override { return static_cast<std::uint32_t>(jobId_); }

    HDC StartPage() override { return ended_ ? nullptr : page_.Start(width_, height_, dpi_); }

    bool EndPage() override {
        const auto page = page_.Finish();
        if (!page) return false;
        if (!pending_.empty() && !SendPage(false)) return false;
        return EncodePng(*page, pending_);
    }

    bool EndDocument() override {
        if (ended_) return false;
        if (page_.IsOpen() && !EndPage()) return false;
        if (pending_.empty()) return false;  // a job without pages prints nothing: it is cancelled
        if (!SendPage(true)) return false;
        ended_ = true;
        return true;
    }

private:
    static bool EncodePng(const raster::RgbPage& page, std::vector<char>& bytes) {
        char path[] = "/tmp/zeseal-page-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0) return false;
        close(fd);
        const bool saved = SaveRgbPng(path, page.width, page.height, page.rgb.data(), page.dpiX, page.dpiY);
        if (saved) {
            std::ifstream in(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        unlink(path);
        return saved && !bytes.empty();
    }

    bool SendPage(bool last) {
        const std::string name = "page-" + std::to_string(++sent_) + ".png";
        if (cupsStartDocument(http_.get(), queue_.c_str(), jobId_, name.c_str(), "image/png",
                              last ? 1 : 0) != HTTP_STATUS_CONTINUE) {
            return false;
        }
        const bool written = cupsWriteRequestData(http_.get(), pending_.data(), pending_.size()) ==
                             HTTP_STATUS_CONTINUE;
        const bool finished = cupsFinishDocument(http_.get(), queue_.c_str()) == IPP_STATUS_OK;
        pending_.clear();
        return written && finished;
    }

    Connection http_;
    std::string queue_;
    int jobId_;
    int width_;
    int height_;
    int dpi_;
    raster::DocumentPage page_;
    std::vector<char> pending_;
    int sent_ = 0;
    bool ended_ = false;
};

class CupsPrinterHandle final : public PrinterHandle {
public:
    explicit CupsPrinterHandle(std::string name) : name_(std::move(name)) {}

    bool ReadInfo(PrinterInfo& info) override {
        Connection http = Connect();
        if (!http) return Error(kErrorGenFailure);
        QueueAttributes queue = ReadQueue(http.get(), name_);
        if (!queue.ipp) return Error(queue.error);
        ipp_t* q = queue.ipp.get();
        info = PrinterInfo{};
        info.name = Text(q, "printer-name");
        info.port = PortFromDeviceUri(Text(q, "device-uri"));
        info.driver = Text(q, "printer-make-and-model");
        info.dataType = "RAW";
        info.deviceMode = DeviceModeOf(q);
        // CUPS spools every job before it prints: always queued.
        info.attributes = kPrinterAttributeQueued;
        const int type = Integer(q, "printer-type", 0);
        info.attributes |= (type & CUPS_PRINTER_REMOTE) != 0 ? kPrinterAttributeNetwork : kPrinterAttributeLocal;
        if (Boolean(q, "printer-is-shared", false)) info.attributes |= kPrinterAttributeShared;
        if (!Boolean(q, "printer-is-accepting-jobs", true)) info.attributes |= kPrinterAttributeWorkOffline;
        if (const char* defaultName = cupsGetDefault2(http.get());
            defaultName != nullptr && info.name == QueueOfDestination(defaultName)) {
            info.attributes |= kPrinterAttributeDefault;
        }
        info.status = PrinterStatusFromCups(Integer(q, "printer-state", kIppPrinterIdle),
                                            Keywords(q, "printer-state-reasons"));
        // A job list the scheduler refuses counts no jobs here; ListJobs
        // reports the refusal.
        std::vector<JobInfo> jobs;
        if (ReadJobs(http.get(), name_, jobs) == 0) info.jobCount = static_cast<std::uint32_t>(jobs.size());
        return true;
    }

    // Writes copies-default; CUPS has no data type or spooling attributes to
    // change, so the rest of the record is accepted as it is.
    bool WriteInfo(const PrinterInfo& info) override {
        if (!info.deviceMode) return true;
        Connection http = Connect();
        if (!http) return Error(kErrorGenFailure);
        ipp_t* request = NewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER, PrinterUri(name_));
        ippAddInteger(request, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "copies-default",
                      std::clamp<int>(info.deviceMode->copies, 1, 9999));
        std::uint32_t error = 0;
        DoRequest(http.get(), request, "/admin/", error);
        return error == 0 || Error(error);
    }

    bool ListJobs(std::uint32_t firstJob, std::uint32_t count, std::vector<JobInfo>& jobs) override {
        jobs.clear();
        Connection http = Connect();
        if (!http) return Error(kErrorGenFailure);
        std::vector<JobInfo> all;
        if (const std::uint32_t error = ReadJobs(http.get(), name_, all); error != 0) return Error(error);
        for (std::size_t i = firstJob; i < all.size() && jobs.size() < count; ++i) jobs.push_back(all[i]);
        return true;
    }

    bool CurrentDeviceMode(DeviceMode& mode) override {
        Connection http = Connect();
        if (!http) return Error(kErrorGenFailure);
        QueueAttributes queue = ReadQueue(http.get(), name_);
        if (!queue.ipp) return Error(queue.error);
        mode = DeviceModeOf(queue.ipp.get());
        return true;
    }

    bool PassThroughDriver(DeviceMode& mode) override {
        mode.copies = std::clamp<std::int16_t>(mode.copies, 1, 9999);
        return true;
    }

    std::unique_ptr<PrintDocument> StartDocument(std::string_view documentName,
                                                 const DeviceMode& mode) override {
        Connection http = Connect();
        if (!http) {
            Error(kErrorGenFailure);
            return nullptr;
        }
        QueueAttributes queue = ReadQueue(http.get(), name_);
        if (!queue.ipp) {
            Error(queue.error);
            return nullptr;
        }
        const int dpi = ResolutionOf(queue.ipp.get());
        int width = 0;
        int length = 0;
        PaperOf(queue.ipp.get(), width, length);
        int widthPx = std::max(PixelsAt(width, dpi), 1);
        int heightPx = std::max(PixelsAt(length, dpi), 1);
        if (mode.orientation == kOrientationLandscape) std::swap(widthPx, heightPx);

        cups_option_t* options = nullptr;
        int optionCount = 0;
        if (mode.copies > 1) {
            optionCount = cupsAddOption("copies", std::to_string(mode.copies).c_str(), optionCount, &options);
        }
        const std::string title(documentName);
        const int jobId = cupsCreateJob(http.get(), name_.c_str(), title.c_str(), optionCount, options);
        cupsFreeOptions(optionCount, options);
        if (jobId <= 0) {
            const std::uint32_t error = ErrorOfIppStatus(cupsLastError());
            Error(error != 0 ? error : kErrorGenFailure);
            return nullptr;
        }
        return std::make_unique<CupsDocument>(std::move(http), name_, jobId, widthPx, heightPx, dpi);
    }

    std::uint32_t LastError() const override { return lastError_; }

private:
    bool Error(std::uint32_t code) {
        lastError_ = code;
        return false;
    }

    std::string name_;
    std::uint32_t lastError_ = 0;
};

// Reads the queue's jobs that have not completed, in the scheduler's order.
// Returns 0, or the system error code when the scheduler cannot be asked or
// refuses the list (jobs is then empty).
std::uint32_t ReadJobs(http_t* http, std::string_view name, std::vector<JobInfo>& jobs) {
    jobs.clear();
    ipp_t* request = NewRequest(IPP_OP_GET_JOBS, PrinterUri(name));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "not-completed");
    RequestAttributes(request, {"job-id", "job-name", "job-state", "job-state-reasons"});
    std::uint32_t error = 0;
    Response response = DoRequest(http, request, "/", error);
    if (!response) return error;
    for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a != nullptr;) {
        while (a != nullptr && ippGetGroupTag(a) != IPP_TAG_JOB) a = ippNextAttribute(response.get());
        if (a == nullptr) break;
        JobInfo job;
        int state = kIppJobPending;
        std::vector<std::string> reasons;
        for (; a != nullptr && ippGetGroupTag(a) == IPP_TAG_JOB; a = ippNextAttribute(response.get())) {
            const std::string attribute = ippGetName(a) != nullptr ? ippGetName(a) : "";
            if (attribute == "job-id") {
                job.id = static_cast<std::uint32_t>(ippGetInteger(a, 0));
            } else if (attribute == "job-name") {
                if (const char* text = ippGetString(a, 0, nullptr)) job.document = text;
            } else if (attribute == "job-state") {
                state = ippGetInteger(a, 0);
            } else if (attribute == "job-state-reasons") {
                for (int i = 0; i < ippGetCount(a); ++i) {
                    if (const char* text = ippGetString(a, i, nullptr)) reasons.emplace_back(text);
                }
            }
        }
        job.status = JobStatusFromCups(state, reasons);
        jobs.push_back(std::move(job));
    }
    return 0;
}

class CupsSpooler final : public Spooler {
public:
    bool ListLocalPrinters(std::vector<LocalPrinter>& printers) override {
        printers.clear();
        Connection http = Connect();
        if (!http) return false;
        ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        RequestAttributes(request, {"printer-name", "device-uri", "printer-make-and-model"});
        std::uint32_t error = 0;
        Response response = DoRequest(http.get(), request, "/", error);
        if (!response) return error == kErrorInvalidPrinterName;  // no queues at all
        for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a != nullptr;) {
            while (a != nullptr && ippGetGroupTag(a) != IPP_TAG_PRINTER) a = ippNextAttribute(response.get());
            if (a == nullptr) break;
            LocalPrinter printer;
            for (; a != nullptr && ippGetGroupTag(a) == IPP_TAG_PRINTER; a = ippNextAttribute(response.get())) {
                const std::string attribute = ippGetName(a) != nullptr ? ippGetName(a) : "";
                const char* text = ippGetString(a, 0, nullptr);
                if (text == nullptr) continue;
                if (attribute == "printer-name") printer.name = text;
                if (attribute == "device-uri") printer.port = PortFromDeviceUri(text);
                if (attribute == "printer-make-and-model") printer.driver = text;
            }
            if (!printer.name.empty()) printers.push_back(std::move(printer));
        }
        std::sort(printers.begin(), printers.end(),
                  [](const LocalPrinter& a, const LocalPrinter& b) { return a.name < b.name; });
        return true;
    }

    std::unique_ptr<PrinterHandle> Open(std::string_view name, PrinterAccess,
                                        std::uint32_t& error) override {
        if (!IsQueueName(name)) {
            error = kErrorInvalidPrinterName;
            return nullptr;
        }
        Connection http = Connect();
        if (!http) {
            error = kErrorGenFailure;
            return nullptr;
        }
        QueueAttributes queue = ReadQueue(http.get(), name);
        if (!queue.ipp) {
            error = queue.error;
            return nullptr;
        }
        // Whether a change is allowed is decided by the scheduler when it is
        // asked to make it.
        error = 0;
        return std::make_unique<CupsPrinterHandle>(Text(queue.ipp.get(), "printer-name"));
    }
};

}  // namespace

int ChooseCupsServer(const char* server) {
    {
        frame::FrameLock lock(serverMutex);
        ChosenServer() = server != nullptr ? server : "";
    }
    ChooseSpoolerBackend(SpoolerBackend::kCups);
    return Connect() ? 0 : -1;
}

Spooler& CupsSpoolerInstance() {
    static CupsSpooler spooler;
    return spooler;
}

std::string CupsDefaultPrinterProfile() {
    Connection http = Connect();
    if (!http) return ",,,";
    const char* destination = cupsGetDefault2(http.get());
    const std::string queue = destination != nullptr ? QueueOfDestination(destination) : "";
    if (queue.empty()) return ",,,";
    QueueAttributes attributes = ReadQueue(http.get(), queue);
    if (!attributes.ipp) return queue;
    return queue + ",winspool," + PortFromDeviceUri(Text(attributes.ipp.get(), "device-uri"));
}

}  // namespace zeseal::platform::posix
